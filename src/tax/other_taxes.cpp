// The base-times-rate taxes of an item: IPI, PIS, COFINS and ISSQN, each
// gated by its tax situation code; the import tax; and the INSS, IR and CSLL
// withholdings of the sale. Values are rounded to the cent, halves away from
// zero, except the withholdings, which are kept as computed.
#include <string>
#include <string_view>

#include "runtime/rounding.h"
#include "runtime/text.h"
#include "tax/calculo_impostos.h"

namespace fvn::tax {

namespace {

double C(double x) { return round_to(x, 2); }

// A situation code as the validator reads it: trailing blanks dropped and a
// one-digit code zero-filled ("1" is "01").
std::string codigo(std::string_view cst) {
  std::string c = text::clip(cst);
  if (c.size() == 1) c.insert(c.begin(), '0');
  return c;
}

bool um_de(const std::string& c, std::initializer_list<std::string_view> lista) {
  for (const std::string_view x : lista) {
    if (c == x) return true;
  }
  return false;
}

// Base and value of a taxed code, or all three zero for any other valid code.
void base_vezes_aliquota(bool tributado, double valor, double& base, double& aliquota, double& imposto) {
  if (tributado) {
    base = valor;
    imposto = C(base * aliquota / 100);
  } else {
    base = 0;
    aliquota = 0;
    imposto = 0;
  }
}

}  // namespace

int CALCULO_IMPOSTOS::IPI(sale::GRUPO_IPI& ipi, double valor) {
  if (!VALIDADOR->Valida_IPI(ipi.CST_IPI)) return set_error("|IPI |" + VALIDADOR->ERROR, 0, "IPI");
  const bool tributado = um_de(codigo(ipi.CST_IPI), {"00", "49", "50", "99"});
  base_vezes_aliquota(tributado, valor, ipi.VALOR_BC_IPI, ipi.ALIQUOTA_IPI, ipi.VALOR_IPI);
  VALOR_IPI = ipi.VALOR_IPI;
  return 1;
}

int CALCULO_IMPOSTOS::PIS(sale::GRUPO_PIS& pis, double valor) {
  if (!VALIDADOR->Valida_PIS(pis.CST_PIS)) return set_error("|PIS |" + VALIDADOR->ERROR, 0, "PIS");
  const bool tributado = um_de(codigo(pis.CST_PIS), {"01", "02", "03", "99"});
  base_vezes_aliquota(tributado, valor, pis.VALOR_BC_PIS, pis.ALIQUOTA_PIS, pis.VALOR_PIS);
  return 1;
}

int CALCULO_IMPOSTOS::COFINS(sale::GRUPO_COFINS& cofins, double valor) {
  if (!VALIDADOR->Valida_Cofins(cofins.CST_COFINS)) return set_error("|COFINS |" + VALIDADOR->ERROR, 0, "COFINS");
  const bool tributado = um_de(codigo(cofins.CST_COFINS), {"01", "02", "03", "49", "99"});
  base_vezes_aliquota(tributado, valor, cofins.VALOR_BC_COFINS, cofins.ALIQUOTA_COFINS, cofins.VALOR_COFINS);
  return 1;
}

int CALCULO_IMPOSTOS::ISSQN(sale::GRUPO_ISSQN& issqn, double valor) {
  const std::string cst = text::trim(issqn.CST_ISSQN);
  if (cst != "N" && cst != "R" && cst != "S" && cst != "I") {
    return set_error("|ISSQN |CST ISSQN Inválida", 0, "ISSQN");
  }
  issqn.VALOR_BC_ISSQN = valor;
  issqn.VALOR_ISSQN = C(valor * issqn.ALIQUOTA_ISSQN / 100);
  return 1;
}

int CALCULO_IMPOSTOS::II(sale::QUEUE_ITEM& item) {
  const double aliquota = item.ALIQUOTA_II.value();
  if (aliquota > 0) {
    item.II.VALOR_BC_II = item.TOTAL_LIQUIDO_VENDA;
    item.II.VALOR_II = C(item.II.VALOR_BC_II * aliquota / 100);
    BASE_II = item.II.VALOR_BC_II;
    VALOR_II = item.II.VALOR_II;
  }
  return 1;
}

namespace {

// One withholding: when the company uses it and the value reaches its
// minimum, base, rate and value (not rounded) are written.
void retencao(std::int32_t usa, double minimo, double percentual, double valor, double& base, double& aliquota,
              double& retido) {
  if (usa != 1 || minimo > valor) return;
  base = valor;
  aliquota = percentual;
  retido = valor * percentual / 100;
}

}  // namespace

int CALCULO_IMPOSTOS::INSS(sale::GRUPO_INSS& inss, double valor) {
  retencao(EMPRESA.UTILIZA_RETENCAO_INSS, EMPRESA.VALOR_MINIMO_INSS, EMPRESA.PERC_RETENCAO_INSS, valor,
           inss.VALOR_BC_INSS, inss.ALIQUOTA_INSS, inss.VALOR_INSS);
  return 1;
}

int CALCULO_IMPOSTOS::IR(sale::GRUPO_IR& ir, double valor) {
  retencao(EMPRESA.UTILIZA_RETENCAO_IR, EMPRESA.VALOR_MINIMO_IR, EMPRESA.PERC_RETENCAO_IR, valor, ir.VALOR_BC_IR,
           ir.ALIQUOTA_IR, ir.VALOR_IR);
  return 1;
}

int CALCULO_IMPOSTOS::CSLL(sale::GRUPO_CSLL& csll, double valor) {
  retencao(EMPRESA.UTILIZA_RETENCAO_CSLL, EMPRESA.VALOR_MINIMO_CSLL, EMPRESA.PERC_RETENCAO_CSLL, valor,
           csll.VALOR_BC_CSLL, csll.ALIQUOTA_CSLL, csll.VALOR_CSLL);
  return 1;
}

}  // namespace fvn::tax
