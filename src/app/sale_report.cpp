#include "app/sale_report.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "runtime/rounding.h"

namespace fvn::app {

Json number(double x) {
  if (!std::isfinite(x)) return nullptr;
  return std::strtod(decimal_text(x).c_str(), nullptr);
}

namespace {

template <typename Record>
Json list_json(const OrderedList<Record>& list) {
  Json out = Json::array();
  for (const Record& record : list) out.push_back(to_json(record));
  return out;
}

// An installment plan: its properties, then its installments.
Json plan_json(const payment::Parcelas& p) {
  Json out = Json::object();
  out["DATA_EMISSAO"] = p.DATA_EMISSAO;
  out["TOTAL_PARCELAR"] = number(p.TOTAL_PARCELAR);
  out["NUMERO_PARCELAS"] = p.NUMERO_PARCELAS;
  out["DIAS"] = p.DIAS;
  out["PRIMEIRA"] = p.PRIMEIRA;
  out["JURO"] = number(p.JURO);
  out["TIPO_JURO"] = p.TIPO_JURO;
  out["DIA_MES"] = p.DIA_MES;
  out["QUEBRA"] = p.QUEBRA;
  out["DATA_PRIMEIRA"] = p.DATA_PRIMEIRA;
  out["TOTAL_PARCELADO"] = number(p.TOTAL_PARCELADO);
  out["ACRESCIMO"] = number(p.ACRESCIMO);
  out["CODIGO_ENTIDADE"] = p.CODIGO_ENTIDADE;
  out["FLAG_IGNORA_QUEBRA"] = p.FLAG_IGNORA_QUEBRA;
  out["PARCELAS"] = list_json(p.PARCELAS);
  return out;
}

Json ledger_json(const payment::PaymentLedger& l) {
  Json out = Json::object();
  out["VALOR_TOTAL"] = number(l.VALOR_TOTAL);
  out["VALOR_PAGO"] = number(l.VALOR_PAGO);
  out["VALOR_PAGAR"] = number(l.VALOR_PAGAR);
  out["VALOR_TROCO"] = number(l.VALOR_TROCO);
  out["QUEBRA"] = l.QUEBRA;
  out["DATA_EMISSAO"] = l.DATA_EMISSAO;
  out["ENTIDADES"] = list_json(l.ENTIDADES);
  out["FORMAS_PAGAMENTO"] = list_json(l.FORMAS_PAGAMENTO);
  Json pagamentos = Json::array();
  for (const payment::Payment& p : l.PAGAMENTOS) {
    Json line = to_json(p);
    line["PARCELAS"] = p.PARCELAS ? plan_json(*p.PARCELAS) : Json(nullptr);
    pagamentos.push_back(std::move(line));
  }
  out["PAGAMENTOS"] = std::move(pagamentos);
  return out;
}

// The condition chosen, the down payment and the conditions offered.
Json conditions_json(const sale::CLASSE_VENDA& venda) {
  Json out = Json::object();
  out["CONDICAO"] = venda.CONDICAO;
  out["PERMITE_ENTRADA"] = venda.PERMITE_ENTRADA;
  out["VALOR_ENTRADA"] = number(venda.VALOR_ENTRADA);
  out["VALOR_TOTAL_PAGAR"] = number(venda.VALOR_TOTAL_PAGAR);
  out["CONDICAO_PAGAMENTO"] = list_json(venda.CONDICAO_PAGAMENTO->CONDICOES);
  return out;
}

Json parties_json(const sale::CLASSE_VENDA& venda) {
  Json out = Json::object();
  out["TRANSPORTADORA"] = to_json(venda.TRANSPORTADORA);
  out["VOLUME"] = to_json(venda.VOLUME);
  out["PARCEIRO"] = to_json(venda.PARCEIRO);
  out["EVENTO"] = to_json(venda.EVENTO);
  out["GRUPO_DADOS_LIBERACAO_DESCONTO"] = to_json(venda.GRUPO_DADOS_LIBERACAO_DESCONTO);
  out["GRUPO_DADOS_LIBERACAO_CANCELAMENTO"] = to_json(venda.GRUPO_DADOS_LIBERACAO_CANCELAMENTO);
  out["GRUPO_DADOS_LIBERACAO_VENDA_PRAZO"] = to_json(venda.GRUPO_DADOS_LIBERACAO_VENDA_PRAZO);
  return out;
}

Json sale_values(const sale::CLASSE_VENDA& venda) {
  Json out = Json::object();
  out["DATA_EMISSAO"] = venda.DATA_EMISSAO;
  out["DATA_SAIDA"] = venda.DATA_SAIDA;
  out["QUEBRA"] = venda.QUEBRA;
  out["FINALIDADE_OPERACAO"] = venda.FINALIDADE_OPERACAO;
  out["ACRESCIMO"] = number(venda.ACRESCIMO);
  out["JUROS"] = number(venda.JUROS);
  out["ACRESCIMO_TOTAL"] = number(venda.ACRESCIMO_TOTAL);
  out["PERC_COMISSAO_VENDA"] = number(venda.PERC_COMISSAO_VENDA);
  out["OBSERVACAO"] = venda.OBSERVACAO;
  out["DESCONTO_VENDA"] = number(venda.ITEM->DESCONTO_VENDA);
  out["ACRESCIMO_VENDA"] = number(venda.ITEM->ACRESCIMO_VENDA);
  out["JUROS_VENDA"] = number(venda.ITEM->JUROS_VENDA);
  out["FRETE_VENDA"] = number(venda.ITEM->FRETE_VENDA);
  out["SEGURO_VENDA"] = number(venda.ITEM->SEGURO_VENDA);
  out["DESP_ACESSORIAS"] = number(venda.ITEM->DESP_ACESSORIAS);
  out["VALOR_IMPOSTOS"] = number(venda.ITEM->VALOR_IMPOSTOS);
  out["PERCENTUAL_IMPOSTOS"] = number(venda.ITEM->PERCENTUAL_IMPOSTOS);
  return out;
}

}  // namespace

void add_sale_report(Json& report, const sale::CLASSE_VENDA& venda) {
  Json items = Json::array();
  for (std::int32_t n = 1; n <= venda.Get_Quantidade_Itens(); ++n) {
    sale::QUEUE_ITEM item;
    if (venda.ITEM->ITENS.get(static_cast<std::size_t>(n), item)) items.push_back(to_json(item));
  }
  report["items"] = std::move(items);
  report["totals"] = to_json(venda.TOTAIS_VENDA);
  report["venda"] = sale_values(venda);
  report["pagamento"] = ledger_json(*venda.PAGAMENTO);
  report["prestacao"] = plan_json(*venda.PRESTACAO);
  report["condicoes"] = conditions_json(venda);
  report["partes"] = parties_json(venda);
}

}  // namespace fvn::app
