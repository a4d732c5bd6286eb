// PRESTACAO_VENDA: the installment plan of a credit sale. Each parameter
// field goes to its facade setter and the plan is rebuilt; an installment's
// due date or amount is changed with "F8-Alterar" (the following ones are
// recomputed). "F5-Continuar" checks the plan, the consumer-note limits and
// the customer's total and monthly credit limits; a limit exceeded needs a
// supervisor's release (AUTENTICACAO) before the window closes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/clock.h"
#include "runtime/host_ui.h"
#include "screens/servicos_cliente.h"

namespace fvn {

namespace sale {
class VENDA_INTERFACE;
}
class JanelasVenda;

// One row of the installment list: "Número" (n03), "Vencimento" (d06b),
// "Valor Prestação" (n10.2).
struct LinhaParcela {
  std::string numero;
  std::string vencimento;
  std::string valor;
};

class PrestacaoVendaPresenter {
 public:
  static constexpr std::string_view kTitle = "Parcelamento";

  // The window's fields, as read back from the facade after every change.
  struct Campos {
    double parcelar = 0;             // "Parcelar:"
    double entrada = 0;              // "Entrada:"
    std::int32_t parcelas = 0;       // "Parcelas:"
    std::int32_t dias = 0;           // "Dias:"
    bool mesmo_dia = false;          // "Mesmo Dia"
    std::int32_t primeira = 0;       // "Primeira em:" (days)
    Date data_primeira = 0;          // "Data Primeira:"
    double juros = 0;                // "Juros %:"
    std::int32_t tipo_juro = 1;      // "Tipo Juro:" 1 Simples, 2 Composto, 3 Simplificado
    std::int32_t quebra = 1;         // "Quebra:" 1..4
    double acrescimo = 0;            // "Valor Juros:"
    double total_parcelado = 0;      // "Parcelas:" (total)
    double total_com_acrescimo = 0;  // "Total:": down payment plus the installments
  };

  PrestacaoVendaPresenter(HostUi& ui, sale::VENDA_INTERFACE& venda, ServicosCliente& servicos, JanelasVenda& janelas);

  // Reads the plan; the day-of-month flag from the sale's condition.
  int abre();

  // Parameter fields accepted; each rebuilds the plan.
  int entrada(std::string_view texto);
  int parcelas(std::string_view texto);
  int dias(std::string_view texto);
  int mesmo_dia(bool marcado);
  int primeira(std::string_view texto);
  int data_primeira(std::string_view texto);  // dd/mm/yyyy; blank: none
  int juros(std::string_view texto);
  int tipo_juro(std::int32_t tipo);
  int quebra(std::int32_t quebra);
  // "F8-Alterar" on installment `posicao` (1-based) with the group
  // "Alteração de Parcelas:"; a blank field is left as it is.
  int altera(std::int32_t posicao, std::string_view vencimento, std::string_view valor);
  // "F5-Continuar": 1 closes the window.
  int continuar();
  // "F12-Voltar": 0, closes.
  int voltar();

  [[nodiscard]] const Campos& campos() const { return campos_; }
  [[nodiscard]] const std::vector<LinhaParcela>& linhas() const { return linhas_; }
  [[nodiscard]] bool fechada() const { return fechada_; }
  [[nodiscard]] int resultado() const { return resultado_; }

 private:
  template <typename Setter>
  int ajusta(std::string_view contexto, Setter setter);
  int le();
  int libera();
  HostUi& ui_;
  sale::VENDA_INTERFACE& venda_;
  ServicosCliente& servicos_;
  JanelasVenda& janelas_;
  Campos campos_;
  std::vector<LinhaParcela> linhas_;
  bool fechada_ = false;
  int resultado_ = 0;
};

// The monthly-limit warning: the heading, then "     Mês/Ano: MM-YYYY" and
// "Valor Mensal: " with the month's amount, a line each.
std::string mensagem_limite_mensal(const std::vector<MesAcimaLimite>& meses);

}  // namespace fvn
