// A sale ready to take items, for the engine tests: a regular-regime company,
// an NFC-e emitter, an exit operation, a consumer, a seller and an issue
// date, with the working folder in a fresh folder of the test.
#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "runtime/clock.h"
#include "runtime/rounding.h"
#include "runtime/working_folder.h"
#include "sale/classe_venda.h"
#include "support/temp_folder.h"

// Money computed by sums and differences of doubles, compared at the
// precision the runtime reads it (0.01 held as 0.0099999999999998 is 0.01).
#define EXPECT_MONEY(actual, expected) EXPECT_EQ(::fvn::round_to((actual), 6), (expected))

namespace fvn::sale::testing {

// Names the rows of a parameter table after their `name` member.
struct RowName {
  template <typename Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
    return row.param.name;
  }
};

inline GRUPO_EMPRESA empresa_regime_normal() {
  GRUPO_EMPRESA e;
  e.CODIGO = 1;
  e.RAMO = 2;
  e.TIPO = 2;
  e.UF = "MG";
  return e;
}

inline GRUPO_EMISSOR emissor_nfce() { return {1, 11, 0}; }

inline GRUPO_EMISSOR emissor_ecf(std::int32_t marca) { return {2, 1, marca}; }

// A goods item: code 1, one unit at `unitario`.
inline QUEUE_ITEM item(double unitario, double quantidade = 1, std::string codigo = "1") {
  QUEUE_ITEM i;
  i.CODIGO = std::move(codigo);
  i.DESCRICAO = "PRODUTO";
  i.UNITARIO = unitario;
  i.QUANTIDADE = quantidade;
  i.UNIDADE = "UN";
  i.TIPO_PRODUTO = 1;
  i.IAT = "A";
  i.IPPT = "T";
  return i;
}

class SaleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_working_folder(folder.path().string());
    venda = std::make_unique<CLASSE_VENDA>();
    ASSERT_EQ(venda->Set_Dados_Emissor(emissor_nfce()), 1);
    GRUPO_OPERACAO operacao;
    operacao.CODIGO = 5;
    operacao.DESCRICAO = "VENDA";
    operacao.TIPO = 1;
    operacao.TIPO_MOVIMENTO = 2;
    ASSERT_EQ(venda->Set_Dados_Operacao(operacao), 1);
    ASSERT_EQ(venda->Set_Dados_Empresa(empresa_regime_normal()), 1);
    GRUPO_CLIENTE cliente;
    cliente.CODIGO = 1;
    cliente.NOME = "CONSUMIDOR";
    cliente.TIPO = 1;
    ASSERT_EQ(venda->Set_Dados_Cliente(cliente), 1);
    ASSERT_EQ(venda->Set_Dados_Vendedor({3, "JOANA"}), 1);
    ASSERT_EQ(venda->Set_Data_Emissao(date_from_civil(2026, 5, 4)), 1);
  }
  void TearDown() override {
    venda.reset();
    set_working_folder(".");
  }

  // Sells an item and expects it to be accepted.
  void vende(QUEUE_ITEM& i) {
    ASSERT_EQ(venda->Vende_Item(i), 1) << venda->ERROR << " (" << venda->ERROR_FUNCTION << ")";
  }
  void vende(QUEUE_ITEM&& i) { vende(i); }

  [[nodiscard]] QUEUE_ITEM item_vendido(std::int32_t numero) const {
    QUEUE_ITEM i;
    EXPECT_EQ(venda->ITEM->ITENS.get(static_cast<std::size_t>(numero), i), true);
    return i;
  }

  fvn::testing::TempFolder folder;
  std::unique_ptr<CLASSE_VENDA> venda;
};

}  // namespace fvn::sale::testing
