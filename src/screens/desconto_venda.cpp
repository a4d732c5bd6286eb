#include "screens/desconto_venda.h"

#include <cmath>
#include <optional>

#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/text.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do Sistema";
constexpr std::string_view kIgualTotal =
    "O valor de desconto não pode ser igual ou maior que o valor do total dos itens.";
constexpr std::string_view kTextoLiberacao = "Liberação para desconto na nota fiscal.";
constexpr std::string_view kPromptPercentual = "Indique o percentual máximo de desconto no subtotal:";

// Two decimals with a decimal comma, trimmed: 10 -> "10,00".
std::string duas_casas(double valor) { return text::trim(format_picture(valor, "@n12`2")); }

}  // namespace

void completa_liberacao(sale::GRUPO_DADOS_LIBERACAO& liberacao, const ModuleValues& valores,
                        const UserAccount& supervisor) {
  if (liberacao.DATA == 0) liberacao.DATA = today();
  if (liberacao.HORA == 0) liberacao.HORA = clock_now();
  if (liberacao.OPERADOR_LOGADO == 0) liberacao.OPERADOR_LOGADO = valores.OPERADOR;
  if (text::trim(liberacao.USUARIO_LOGADO).empty()) liberacao.USUARIO_LOGADO = text::cut(valores.NOME_USUARIO, 30);
  if (liberacao.OPERADOR_LIBERACAO == 0) liberacao.OPERADOR_LIBERACAO = supervisor.codigo;
  if (text::trim(liberacao.USUARIO_LIBERACAO).empty()) liberacao.USUARIO_LIBERACAO = text::cut(supervisor.login, 30);
  if (liberacao.CODIGO_EMPRESA == 0) liberacao.CODIGO_EMPRESA = valores.COD_EMPR;
}

DescontoVenda::DescontoVenda(HostUi& ui, JanelasVenda& janelas, const ModuleValues& valores, sale::CLASSE_VENDA& venda)
    : ui_(ui), janelas_(janelas), valores_(valores), venda_(venda), maximo_(valores.MAX_DESC) {}

void DescontoVenda::nova_venda() {
  maximo_ = valores_.MAX_DESC;
  perc_ = 0;
  valor_ = 0;
  origem_.clear();
  liberacao_ = {};
}

void DescontoVenda::falha_facade() {
  ui_.message("Erro ao setar desconto.|" + venda_.display(), "Erro!", MessageIcon::Error);
}

int DescontoVenda::recusa_total(std::string_view texto) {
  ui_.message(texto, kAviso, MessageIcon::Exclamation);
  zera();
  return 0;
}

int DescontoVenda::percentual(double percentual) { return aplica_percentual(percentual, {}); }

int DescontoVenda::do_cliente(double percentual) { return aplica_percentual(percentual, kOrigemCliente); }

int DescontoVenda::aplica_percentual(double percentual, std::string_view origem) {
  // A typed field never holds these, but a paste or a bad row could.
  if (!std::isfinite(percentual) || percentual < 0) {
    ui_.message("Percentual de desconto inválido.", kAviso, MessageIcon::Exclamation);
    return 0;
  }
  const double p = round_to(percentual, 2);
  if (p >= 100) return recusa_total(kIgualTotal);
  if (p > round_to(maximo_, 2)) {
    ui_.message(
        "Percentual de desconto maior que o máximo permitido para esta transação.|Percentual máximo de "
        "desconto é " +
            duas_casas(maximo_) + "%.",
        kAviso, MessageIcon::Exclamation);
    return 0;
  }
  return aplica(round_to(venda_.Get_Total_Liquido_Itens() * p / 100, 2), p, origem);
}

int DescontoVenda::valor(double valor) {
  if (!std::isfinite(valor) || valor < 0) {
    ui_.message("Valor de desconto inválido.", kAviso, MessageIcon::Exclamation);
    return 0;
  }
  const double v = round_to(valor, 2);
  if (v == 0) return aplica(0, 0, {});  // clearing the discount
  const double total = round_to(venda_.Get_Total_Liquido_Itens(), 2);
  if (v >= total) return recusa_total(kIgualTotal);
  const double maximo = round_to(total * maximo_ / 100, 2);
  if (v > maximo) {
    ui_.message("Valor de desconto maior que o máximo permitido para esta transação.|Valor máximo de desconto é R$ " +
                    duas_casas(maximo),
                kAviso, MessageIcon::Exclamation);
    return 0;
  }
  return aplica(v, round_to(v * 100 / total, 2), {});
}

int DescontoVenda::aplica(double valor, double percentual, std::string_view origem) {
  if (valor > round_to(venda_.Get_Total_Liquido_Itens(), 2)) {
    return recusa_total("O valor do desconto não deve ser superior ao valor total dos produtos.");
  }
  if (venda_.Set_Desconto_Venda(valor) != 1) {
    falha_facade();
    return 0;
  }
  valor_ = valor;
  perc_ = percentual;
  origem_ = origem;
  if (limites_) limites_();  // shows its own messages; the discount stays applied
  return 1;
}

int DescontoVenda::reaplica() {
  if (perc_ <= 0) return 1;
  const double valor = round_to(venda_.Get_Total_Liquido_Itens() * perc_ / 100, 2);
  if (valor == valor_ && valor == round_to(venda_.Get_Desconto_Venda(), 2)) return 1;
  return aplica(valor, perc_, origem_);
}

void DescontoVenda::zera() {
  perc_ = 0;
  valor_ = 0;
  origem_.clear();
  if (venda_.Set_Desconto_Venda(0) != 1) {
    falha_facade();
  }
}

int DescontoVenda::libera() {
  UserAccount supervisor;
  sale::GRUPO_DADOS_LIBERACAO liberacao;
  if (janelas_.AUTENTICACAO(Direito::Desconto, kTextoLiberacao, {}, supervisor, liberacao) != 1) return 0;

  // SETA_VALOR_PERMISSAO: the percentage the supervisor releases, within
  // their own maximum.
  NumberRequest pedido;
  pedido.title = "Liberação de Desconto";
  pedido.group = "Desconto";
  pedido.prompt = kPromptPercentual;
  pedido.decimals = 2;
  pedido.initial = maximo_;
  const std::optional<double> digitado = ui_.ask_number(pedido);
  if (!digitado) return 0;
  double liberado = 0;
  std::string motivo;
  if (libera_percentual(supervisor, *digitado, liberado, motivo) != 1) {
    ui_.message(motivo, kAviso, MessageIcon::Exclamation);
    return 0;
  }

  completa_liberacao(liberacao, valores_, supervisor);
  liberacao.TIPO_LIBERACAO = tipo_liberacao(Direito::Desconto);
  liberacao.MOTIVO_LIBERACAO = "Percentual de desconto liberado: " + duas_casas(liberado);
  // The new maximum holds only once its release is recorded with the sale:
  // a raise nobody could trace afterwards is not given.
  if (venda_.Seta_Dados_Liberacao_Desconto(liberacao) != 1) {
    ui_.message(
        "Erro ao setar dados da liberação de cancelamento de venda.|" + venda_.ERROR + "|" + venda_.ERROR_FUNCTION,
        "Erro", MessageIcon::Error);
    return 0;
  }
  maximo_ = liberado;
  liberacao_ = venda_.GRUPO_DADOS_LIBERACAO_DESCONTO;
  return 1;
}

}  // namespace fvn
