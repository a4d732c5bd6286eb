// A tax calculator ready to compute items, for the tax tests: its working
// folder holds the fiscal code tables, and it holds a regular-regime company
// of Minas Gerais (industry, charging IPI), an NF-e emitter, an exit
// operation with every CFOP, a consumer of the same state and the purpose
// "consumption". Each test changes what its case needs; helpers set up the
// context and the item block of an ICMS case.
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

// A table of cases, each run on a fresh calculator.
template <typename Row>
class CalculadoraTabela : public ::testing::TestWithParam<Row> {
 protected:
  Calculadora c;
};

// The sale side of an ICMS case: the operation type, a consumer of the
// company's state (another one when `fora`; a rural producer when `rural`)
// and the purpose.
struct Contexto {
  std::int32_t op_tipo;
  bool fora;
  bool rural;
  std::int32_t finalidade;
};

// Sets `ctx` on the calculator, with `operacao` and `cliente` adjusting the
// groups further before they are set.
template <typename Operacao, typename Cliente>
void usa_contexto(CALCULO_IMPOSTOS& calc, const Contexto& ctx, Operacao&& operacao, Cliente&& cliente) {
  sale::GRUPO_OPERACAO op = calc.OPERACAO;
  op.TIPO = ctx.op_tipo;
  operacao(op);
  ASSERT_EQ(calc.Set_Dados_Operacao(op), 1) << calc.ERROR;
  sale::GRUPO_CLIENTE cli = consumidor(ctx.fora ? "SP" : "MG");
  if (ctx.rural) cli.INSCRICAO_RURAL = "PR-123";
  cliente(cli);
  ASSERT_EQ(calc.Set_Dados_Cliente(cli), 1);
  ASSERT_EQ(calc.Set_Finalidade_Operacao(ctx.finalidade), 1);
}

// The rates of an ICMS case.
struct Aliquotas {
  double aliq;
  double aliq_st;
  double red;
  double mva;
  double red_st;
};

// Fills the ICMS block `g` (regular or Simples) of `item`: `codigo` goes in
// the source field that the purpose and the client's state pick out of
// `fontes` (in-state consumption and resale, out-of-state resale and
// consumption), `outro` in the other three; the rates and the margin go on
// that state's side, with 7% rates and a 99% margin on the other side, which
// would show if read. Returns the source field.
template <typename Grupo>
std::string& prepara_icms(QUEUE_ITEM& item, Grupo& g, std::string* const (&fontes)[4], const Contexto& ctx,
                          const std::string& codigo, const std::string& outro, const Aliquotas& a) {
  for (std::string* fonte : fontes) *fonte = outro;
  const bool consumo = ctx.finalidade == kConsumo;
  std::string& fonte = *fontes[ctx.fora ? (consumo ? 3 : 2) : (consumo ? 0 : 1)];
  fonte = codigo;
  (ctx.fora ? g.ALIQUOTA_ICMS_FORA : g.ALIQUOTA_ICMS) = a.aliq;
  (ctx.fora ? g.ALIQUOTA_ICMS_ST_FORA : g.ALIQUOTA_ICMS_ST) = a.aliq_st;
  (ctx.fora ? g.ALIQUOTA_ICMS : g.ALIQUOTA_ICMS_FORA) = 7;
  (ctx.fora ? g.ALIQUOTA_ICMS_ST : g.ALIQUOTA_ICMS_ST_FORA) = 7;
  (ctx.fora ? item.MVA.PERCENTUAL_MVA_ESTADO : item.MVA.PERCENTUAL_MVA_NCM) = a.mva;
  (ctx.fora ? item.MVA.PERCENTUAL_MVA_NCM : item.MVA.PERCENTUAL_MVA_ESTADO) = 99;
  g.PERCENTUAL_RED_BC_ICMS = a.red;
  g.PERCENTUAL_RED_BC_ICMS_ST = a.red_st;
  return fonte;
}

// The values an ICMS run leaves in block `g`, common to both regimes.
template <typename Grupo>
void espera_valores(const Grupo& g, double bc, double icms, double bc_st, double st) {
  EXPECT_NEAR(g.VALOR_BC_ICMS, bc, kCentesimo);
  EXPECT_NEAR(g.VALOR_ICMS.value(), icms, kCentesimo);
  EXPECT_NEAR(g.VALOR_BC_ICMS_ST, bc_st, kCentesimo);
  EXPECT_NEAR(g.VALOR_ICMS_ST.value(), st, kCentesimo);
}

}  // namespace fvn::tax::testing
