// CALCULO_IMPOSTOS: the tax calculator the sale object owns. It holds the
// tax-relevant parties of the sale (emitter, operation, company, customer and
// the purpose of the operation) and computes the taxes of one item record at
// a time: CFOP and fiscal-printer tax code, IPI, MVA, ICMS by CST (regular
// regime) or by CSOSN (Simples Nacional) with substitution (ST) and the
// poverty fund on substitution (FCP-ST), PIS, COFINS and ISSQN. The sale
// object also asks it for the import tax of an item and the INSS, IR and
// CSLL withholdings of the sale.
//
// Every operation returns 1, or 0 with ERROR, ERROR_CODE (always 0) and
// ERROR_FUNCTION set. Results are written into the item record; a failing
// step leaves what was computed before it.
//
// Rounding: every ICMS base and value goes through the fiscal rounding
// (Arredonda_Fiscal, the digit rule of the Brazilian rounding standard);
// IPI, PIS, COFINS, ISSQN, the import tax and the fiscal-printer ICMS are
// rounded to the cent, halves away from zero. A value "stored" in a
// two-decimal field is rounded half away from zero by the field itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "nfce/validador_fiscal.h"
#include "records/item_tax_groups.h"
#include "records/party_groups.h"
#include "records/queue_item.h"
#include "runtime/error_triple.h"
#include "runtime/host_ui.h"

namespace fvn::tax {

// Purpose of the operation (FINALIDADE_OPERACAO).
inline constexpr std::int32_t kConsumo = 1;
inline constexpr std::int32_t kRevenda = 2;
inline constexpr std::int32_t kOutras = 3;

// True when the sale is taxed as in-state: the company's state is the
// customer's (its delivery state when one is given). The ICMS groups then
// use the in-state rates, otherwise the interstate ones.
bool mesmo_estado(const sale::GRUPO_EMPRESA& empresa, const sale::GRUPO_CLIENTE& cliente);

class CALCULO_IMPOSTOS : public ErrorTriple {
 public:
  // `ui` receives the validator's messages about missing code tables; without
  // one they are not shown (a look-up in a missing table still fails).
  explicit CALCULO_IMPOSTOS(HostUi* ui = nullptr);
  ~CALCULO_IMPOSTOS();
  CALCULO_IMPOSTOS(const CALCULO_IMPOSTOS&) = delete;
  CALCULO_IMPOSTOS& operator=(const CALCULO_IMPOSTOS&) = delete;

  sale::GRUPO_EMISSOR EMISSOR;
  sale::GRUPO_OPERACAO OPERACAO;
  sale::GRUPO_EMPRESA EMPRESA;
  sale::GRUPO_CLIENTE CLIENTE;
  double VALOR_IPI = 0;    // IPI of the item being computed (0 when IPI did not run)
  double BASE_FCP_ST = 0;  // copies of the last item's FCP-ST base and value
  double VALOR_FCP_ST = 0;
  double BASE_II = 0;  // copies written by II
  double VALOR_II = 0;
  std::int32_t FINALIDADE_OPERACAO = 0;  // 1 consumption, 2 resale, 3 other (no ICMS)

  // Parties: validate and copy the whole group; on failure the group held
  // before stays.
  int Set_Dados_Emissor(const sale::GRUPO_EMISSOR& emissor);
  int Set_Dados_Operacao(const sale::GRUPO_OPERACAO& operacao);
  int Set_Dados_Empresa(const sale::GRUPO_EMPRESA& empresa);
  int Set_Dados_Cliente(const sale::GRUPO_CLIENTE& cliente);
  // All four in the order emitter, operation, company, customer; stops at
  // the first failure.
  int Set_Dados(const sale::GRUPO_EMISSOR& emissor, const sale::GRUPO_OPERACAO& operacao,
                const sale::GRUPO_EMPRESA& empresa, const sale::GRUPO_CLIENTE& cliente);
  int Set_Finalidade_Operacao(std::int32_t finalidade);

  // Checks that every party was given and the purpose is known, before an
  // item is taxed.
  int Valida_Dados_Geral();

  // Computes every tax of one item in place. The steps after a failed one
  // still run (except COFINS after a failed PIS); the error triple holds the
  // last failure.
  int Calcula_Item(sale::QUEUE_ITEM& item);

  // Regular-regime ICMS: document path and fiscal-printer path.
  int ICMS(sale::GRUPO_ICMS& icms, double valor);
  int ICMS_CUPOM(sale::GRUPO_ICMS& icms, double valor);
  // Simples Nacional ICMS: document path and fiscal-printer path.
  int ICMS_SIMPLES(sale::GRUPO_ICMS_SIMPLES& icms, double valor);
  int ICMS_CUPOM_SIMPLES(sale::GRUPO_ICMS_SIMPLES& icms, double valor);
  // The value-added margin for ST, chosen by state, customer registration
  // and the reduced margins of the item; always succeeds.
  void Seleciona_MVA(sale::GRUPO_ICMS& icms, const sale::GRUPO_MVA& mva) const;
  void Seleciona_MVA_Simples(sale::GRUPO_ICMS_SIMPLES& icms, const sale::GRUPO_MVA& mva) const;

  int IPI(sale::GRUPO_IPI& ipi, double valor);
  int PIS(sale::GRUPO_PIS& pis, double valor);
  int COFINS(sale::GRUPO_COFINS& cofins, double valor);
  int ISSQN(sale::GRUPO_ISSQN& issqn, double valor);

  // Import tax of one item (import operations); never fails.
  int II(sale::QUEUE_ITEM& item);

  // Withholdings on `valor` (the sale's net total) into the totals' groups,
  // by the company's settings; never fail.
  int INSS(sale::GRUPO_INSS& inss, double valor);
  int IR(sale::GRUPO_IR& ir, double valor);
  int CSLL(sale::GRUPO_CSLL& csll, double valor);

  // The fiscal rounding to two decimals shared by every ICMS computation.
  static double Arredonda_Fiscal(double valor);

  // The validator used for CFOP, tax situation codes, municipality and
  // state registration.
  VALIDADOR_FISCAL& validador() { return *VALIDADOR; }

 private:
  // The sale is in the company's state (the customer's UF, or the delivery
  // UF during a calculation, equals the company's).
  [[nodiscard]] bool dentro_estado() const;
  void escolhe_cfop(sale::QUEUE_ITEM& item, bool& falhou);
  void confere_cfop_nfce(const sale::QUEUE_ITEM& item, bool& falhou);
  void caminho_cupom(sale::QUEUE_ITEM& item, bool& falhou);
  void caminho_documento(sale::QUEUE_ITEM& item, bool& falhou);
  void fcp_st(sale::QUEUE_ITEM& item);

  std::unique_ptr<HostUi> ui_proprio_;
  std::unique_ptr<VALIDADOR_FISCAL> VALIDADOR;
};

}  // namespace fvn::tax
