// A tax calculator ready to compute items, for the tax tests: its working
// folder holds the fiscal code tables, and it holds a regular-regime company
// of Minas Gerais (industry, charging IPI), an NF-e emitter, an exit
// operation with every CFOP, a consumer of the same state and the purpose
// "consumption". Each test changes what its case needs.
#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "nfce/nfe_ini_file.h"
#include "runtime/working_folder.h"
#include "sale/sale_test_support.h"
#include "support/temp_folder.h"
#include "tax/calculo_impostos.h"

namespace fvn::tax::testing {

using sale::QUEUE_ITEM;
using sale::testing::RowName;

inline constexpr double kCentesimo = 1e-9;  // amounts compared to well below a cent

inline sale::GRUPO_CLIENTE consumidor(std::string uf = "MG") {
  sale::GRUPO_CLIENTE c;
  c.CODIGO = 1;
  c.NOME = "CONSUMIDOR";
  c.UF = std::move(uf);
  c.TIPO = 1;
  return c;
}

// An item of value `valor` (its subtotal and net value) with the neutral tax
// settings of the sale tests: CST 00 / CSOSN 102 without rates, PIS and
// COFINS exempt, IPI not taxed, ISSQN normal.
inline QUEUE_ITEM item_de(double valor) {
  QUEUE_ITEM i = sale::testing::item(valor);
  i.TOTAL_BRUTO = valor;
  i.SUBTOTAL_ITEM = valor;
  i.TOTAL_LIQUIDO_VENDA = valor;
  i.ICMS.CST_ICMS.clear();
  i.ICMS_SIMPLES.CSOSN.clear();
  return i;
}

class Calculadora {
 public:
  Calculadora() {
    sale::testing::use_code_tables(folder.path());
    set_working_folder(folder.path().string());
    nfe_ini_forget();
    calc = std::make_unique<CALCULO_IMPOSTOS>();
    sale::GRUPO_EMPRESA empresa = sale::testing::empresa_regime_normal();
    empresa.RAMO = 1;
    empresa.UTILIZA_IPI = 1;
    EXPECT_EQ(calc->Set_Dados(emissor(2), sale::testing::operacao_venda(), empresa, consumidor()), 1) << calc->ERROR;
    EXPECT_EQ(calc->Set_Finalidade_Operacao(kConsumo), 1);
  }
  ~Calculadora() {
    set_working_folder(".");
    nfe_ini_forget();
  }
  Calculadora(const Calculadora&) = delete;
  Calculadora& operator=(const Calculadora&) = delete;

  static sale::GRUPO_EMISSOR emissor(std::int32_t tipo) { return {1, tipo, 0}; }

  // Makes the company a Simples Nacional one (same state and branch).
  void simples() {
    sale::GRUPO_EMPRESA e = calc->EMPRESA;
    e.TIPO = 1;
    e.ALIQUOTA_SIMPLES = 4;
    ASSERT_EQ(calc->Set_Dados_Empresa(e), 1) << calc->ERROR;
  }

  fvn::testing::TempFolder folder;
  std::unique_ptr<CALCULO_IMPOSTOS> calc;
};

}  // namespace fvn::tax::testing
