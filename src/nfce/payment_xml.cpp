// Gera_XML_Pagamentos: the pag group, one detPag per payment and the change.
#include "data/passthrough_table.h"
#include "nfce/nfce_documento.h"
#include "nfce/xml_fields.h"
#include "runtime/rounding.h"

namespace fvn {

namespace {
constexpr std::string_view kFuncao = "Gera_XML_Pagamentos";
}  // namespace

int NFCE_DOCUMENTO::Gera_XML_Pagamentos() {
  TABELA_PAGAMENTOS pagamento;
  PassthroughTable tabela("Tabela_Pagamentos", connection_);
  bind_record(tabela, pagamento);
  if (tabela.open() != 1) return set_error(tabela.error_text("Erro ao abrir tabela|"), 0, kFuncao);
  if (tabela.execute(pagamentos_statement(ID)) != 1) {
    set_error(tabela.error_text("Erro ao selecionar dados dos pagamentos|"), 0, kFuncao);
    tabela.close();
    return 0;
  }
  if (TEXT.open() != 1) {
    set_error(TEXT.error_text(), 0, kFuncao);
    tabela.close();
    return 0;
  }

  xml::Campos c(FORMATA);
  const bool falha_antes = falha_escrita_;
  falha_escrita_ = false;
  escreve("<pag>", kFuncao);
  double troco = 0;
  int detalhes = 0;
  while (tabela.next() == 1) {
    const std::string codigo = pagamento.S_TP_COD_PAGAMENTO;
    if (codigo == "TR") {
      troco = round_to(pagamento.N_TP_VALOR_PAGAMENTO.value(), 2);
      continue;
    }
    std::string detalhe =
        "<detPag>" + xml::tag("tPag", c.plano(codigo, 2)) + xml::tag("vPag", c.money(pagamento.N_TP_VALOR_PAGAMENTO));
    if (codigo == "03" || codigo == "04") {
      detalhe += "<card>" + xml::tag("tpIntegra", c.inteiro(pagamento.I_TP_INTEGRACAO, 1)) + "</card>";
    }
    escreve(detalhe + "</detPag>", kFuncao);
    ++detalhes;
  }
  // The schema requires at least one detPag: a sale without payment rows
  // states "no payment" (code 90) instead of leaving the group empty.
  if (detalhes == 0) {
    escreve("<detPag>" + xml::tag("tPag", "90") + xml::tag("vPag", c.money(0.0)) + "</detPag>", kFuncao);
  }
  bool falha = falha_escrita_;
  if (!tabela.at_end()) {
    set_error(tabela.error_text("Erro ao ler pagamentos|"), 0, kFuncao);
    falha = true;
  }
  if (!escreve(xml::tag("vTroco", c.money(troco)) + "</pag>", kFuncao)) falha = true;
  falha_escrita_ = falha_antes || falha;
  if (TEXT.close() != 1) {
    set_error(TEXT.error_text(), 0, kFuncao);
    falha = true;
  }
  if (tabela.close() != 1) {
    set_error(tabela.error_text("Erro ao fechar Tabela_Pagamentos|"), 0, kFuncao);
    falha = true;
  }
  return falha ? 0 : 1;
}

}  // namespace fvn
