// A sale ready to take items, for the engine tests: a regular-regime company,
// an NFC-e emitter, an exit operation, a consumer buying for consumption, a
// seller and an issue date, with the working folder in a fresh folder of the
// test that holds the fiscal code tables.
#pragma once

#include <filesystem>
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

// Links the fiscal code tables (CFOP, municipalities, PIS, COFINS, IPI...)
// into a test's working folder.
inline void use_code_tables(const std::filesystem::path& folder) {
  for (const auto& table : std::filesystem::directory_iterator(FVN_TABLES_DIR)) {
    std::filesystem::create_symlink(table.path(), folder / table.path().filename());
  }
}

inline GRUPO_EMPRESA empresa_regime_normal() {
  GRUPO_EMPRESA e;
  e.CODIGO = 1;
  e.RAMO = 2;
  e.TIPO = 2;
  e.ALIQUOTA_SIMPLES = 4;  // used once a test makes it a Simples company
  e.UF = "MG";
  e.CEP = "30130-000";
  e.MUNICIPIO = 3106200;  // Belo Horizonte
  e.IM = "1234567";
  return e;
}

// An exit operation with every goods and service CFOP filled.
inline GRUPO_OPERACAO operacao_venda() {
  GRUPO_OPERACAO o;
  o.CODIGO = 5;
  o.DESCRICAO = "VENDA";
  o.TIPO = 1;
  o.TIPO_MOVIMENTO = 2;
  o.CFOP_IND_DENTRO = "5.101";
  o.CFOP_IND_FORA = "6.101";
  o.CFOP_ADQUIRIDO_DENTRO = "5.102";
  o.CFOP_ADQUIRIDO_FORA = "6.102";
  o.CFOP_IND_ST_DENTRO = "5.401";
  o.CFOP_IND_ST_FORA = "6.401";
  o.CFOP_ADQUIRIDO_ST_DENTRO = "5.405";
  o.CFOP_ADQUIRIDO_ST_FORA = "6.404";
  o.CFOP_SERVICO_DENTRO = "5.933";
  o.CFOP_SERVICO_FORA = "6.933";
  return o;
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
  // Tax settings that charge nothing unless a test gives rates: CST 00 /
  // CSOSN 102 with no ICMS rate, PIS and COFINS exempt, ISSQN normal.
  i.ICMS.CST_ICMS = "00";
  i.ICMS.CST_ICMS_CONSUMO = "00";
  i.ICMS.CST_ICMS_REVENDA = "00";
  i.ICMS.CST_FORA_UF = "00";
  i.ICMS.CST_FORA_UF_CONSUMO = "00";
  i.ICMS_SIMPLES.CSOSN = "102";
  i.ICMS_SIMPLES.CSOSN_CONSUMO = "102";
  i.ICMS_SIMPLES.CSOSN_REVENDA = "102";
  i.ICMS_SIMPLES.CSOSN_FORA_UF = "102";
  i.ICMS_SIMPLES.CSOSN_FORA_UF_CONSUMO = "102";
  i.PIS.CST_PIS = "07";
  i.COFINS.CST_COFINS = "07";
  i.IPI.CST_IPI = "53";
  i.ISSQN.CST_ISSQN = "N";
  return i;
}

class SaleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    use_code_tables(folder.path());
    set_working_folder(folder.path().string());
    venda = std::make_unique<CLASSE_VENDA>();
    ASSERT_EQ(venda->Set_Dados_Emissor(emissor_nfce()), 1);
    ASSERT_EQ(venda->Set_Dados_Operacao(operacao_venda()), 1) << venda->ERROR;
    ASSERT_EQ(venda->Set_Dados_Empresa(empresa_regime_normal()), 1);
    GRUPO_CLIENTE cliente;
    cliente.CODIGO = 1;
    cliente.NOME = "CONSUMIDOR";
    cliente.UF = "MG";
    cliente.TIPO = 1;
    ASSERT_EQ(venda->Set_Dados_Cliente(cliente), 1);
    ASSERT_EQ(venda->Set_Finalidade_Operacao(1), 1);
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
