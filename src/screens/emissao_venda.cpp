// Issuing a recorded sale: the electronic emitter's server check and
// sending, or the printed form; then the NSU, the receipt and the message.
#include <string>

#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "data/transaction.h"
#include "runtime/picture.h"
#include "screens/gravacao_venda.h"
#include "screens/gravacao_venda_linhas.h"
#include "service/nfce_processo.h"

namespace fvn {

namespace {

constexpr std::string_view kErro = "Erro!";
constexpr std::string_view kAviso = "Aviso do Sistema";
constexpr std::string_view kNovaLinha = "\r\n";

}  // namespace

int GRAVACAO_VENDA::Emite_Venda(const CONTEXTO_VENDA& contexto) {
  if (venda_ == 0) return 0;
  return contexto.tipo_emissor == 2 ? emite_formulario(contexto) : emite_eletronica(contexto);
}

int GRAVACAO_VENDA::emite_eletronica(const CONTEXTO_VENDA& c) {
  processo_.set_connection(c.conexao);
  processo_.Carrega_Pastas(c.empresa);
  PassthroughTable t("EMISSAO_VENDA", c.conexao);
  if (processo_.Checar_Servidor(c.cnpj, c.grupo_edoc, c.login_edoc, c.senha_edoc, c.url_edoc, venda_, c.usa_http,
                                c.porta_edoc) != 1) {
    return estorna(t, venda_, "Erro ao consultar status do servidor|", processo_.Traduz_Erro());
  }
  if (processo_.Enviar_Nota(venda_) == 1) {
    conclui(c, processo_.current_sale());
    resultado_ = ResultadoEmissao::Emitida;
    return 1;
  }
  const std::string erro = processo_.Traduz_Erro();
  if (processo_.Nota_Aceita() || processo_.Nota_Em_Duvida()) {
    // The authority holds this note, or may hold it: reversing the sale
    // would leave an authorised invoice without its sale. The pending-note
    // resolution settles it; the cashier is told it was kept.
    resultado_ = ResultadoEmissao::Mantida;
    ui_.message("Erro ao efetuar emissão da Nfe.|" + erro + "||" +
                    (processo_.Nota_Aceita() ? "A Nfe foi aceita pelo servidor e não foi estornada."
                                             : "Não foi possível confirmar se o servidor recebeu a Nfe; ela não foi "
                                               "estornada.") +
                    "|Ela será concluída na verificação das notas pendentes.",
                kAviso, MessageIcon::Exclamation);
    return 0;
  }
  return estorna(t, processo_.current_sale(), "Erro ao efetuar emissão da Nfe.|", erro);
}

int GRAVACAO_VENDA::emite_formulario(const CONTEXTO_VENDA& c) {
  PassthroughTable t("EMISSAO_VENDA", c.conexao);
  const std::string id = sql_integer(venda_);
  if (t.open() != 1 ||
      t.execute("Select (Select count(*) from ahistorico where CISAHistorico = " + id +
                " and CTipPHistorico = 0),(Select count(*) from ahistorico where CISAHistorico = " + id +
                " and CTipPHistorico = 1)") != 1 ||
      t.next() != 1) {
    ui_.message(t.error_text("Erro ao consultar itens da nota fiscal.|"), kErro, MessageIcon::Error);
    return 0;
  }
  conclui(c, venda_);
  resultado_ = ResultadoEmissao::Emitida;
  return 1;
}

int GRAVACAO_VENDA::estorna(PassthroughTable& t, std::int32_t venda, std::string_view contexto,
                            const std::string& erro) {
  if (t.open() != 1 ||
      t.execute("select estorna_transacao( " + sql_integer(venda) + " , 'Estorno de Nfe Rejeitada' , 'R' );") != 1) {
    resultado_ = ResultadoEmissao::FalhaEstorno;
    ui_.message("Erro ao estornar nota eletrônica rejeitada|" + t.driver_message(), kErro, MessageIcon::Error);
    return 0;
  }
  resultado_ = ResultadoEmissao::Estornada;
  ui_.message(std::string{contexto} + erro + "||A Nfe foi estornada!", kAviso, MessageIcon::Exclamation);
  return 0;
}

// The NSU (its own transaction: drawn and stored together), the receipt and
// the closing message of an issued sale.
void GRAVACAO_VENDA::conclui(const CONTEXTO_VENDA& c, std::int32_t venda) {
  PassthroughTable t("EMISSAO_VENDA", c.conexao);
  const std::string id = sql_integer(venda);
  std::int32_t numero = numero_;
  if (venda != venda_ && t.open() == 1 && t.execute("select cnotsaidas from asaidas where cidesaidas = " + id) == 1 &&
      t.next() == 1) {
    numero = como_inteiro(t.value(0)).value_or(numero);  // a note duplicated under the service's number
  }
  std::string falha;
  Transaction transacao(t, ui_);
  if (!transacao.begun()) {
    falha = t.error_text("Erro ao abrir transação para gravação.|");
  } else if (t.execute("Select inclui_sequencia_nsu ( " + sql_integer(c.empresa) + " );") != 1) {
    falha = t.error_text("Erro ao selecionar NSU em TEMPRESA.|");
  } else if (t.next() != 1 || !como_inteiro(t.value(0))) {
    falha = t.error_text("Erro ao ler NSU em TEMPRESA.|");
  } else if (t.execute("update asaidas set i_asa_nsu = " + sql_integer(*como_inteiro(t.value(0))) +
                       " where cidesaidas = " + id) != 1 ||
             transacao.commit() != 1) {
    falha = t.error_text("Erro ao salvar NSU em ASAIDAS.|");
  }
  if (!falha.empty()) {
    transacao.rollback();
    ui_.message(falha, kErro, MessageIcon::Error);
  }
  if (c.imprime_danfe) c.imprime_danfe(venda, c.resumido);
  ui_.message("Nota Fiscal finalizada com sucesso." + std::string{kNovaLinha} + "Nº Nota: " + std::to_string(numero) +
                  std::string{kNovaLinha} + "Valor: " + format_picture(total_, "n14.2") + std::string{kNovaLinha} +
                  "Cliente: " + nome_cliente_,
              kAviso, MessageIcon::Information);
}

}  // namespace fvn
