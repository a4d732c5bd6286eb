#include "screens/condicao_pagto.h"

#include <utility>

#include "data/module_values.h"
#include "data/sql_values.h"
#include "runtime/text.h"
#include "sale/venda_interface.h"
#include "screens/pagamento_comum.h"

namespace fvn {

namespace {

constexpr std::string_view kErro = "Erro";
constexpr std::string_view kAviso = "Aviso do Sistema";

}  // namespace

const RecordColumns<FormaPagtoLida>& colunas_forma_pagto() {
  using F = FormaPagtoLida;
  using C = payment::PaymentCondition;
  static const RecordColumns<FormaPagtoLida> colunas = {
      {"ccodformapgto", &F::condicao, &C::CODIGO},
      {"cdesformapgto", &F::condicao, &C::DESCRICAO, 256},
      {"ctipformapagto", &F::condicao, &C::TIPO},
      {"i_tfor_dias_entre_prestacoes", &F::condicao, &C::DIAS_ENTRE_PRESTACOES},
      {"i_tfor_num_prestacoes", &F::condicao, &C::PRESTACOES},
      {"i_tfor_ndias_primeiro_vencto", &F::condicao, &C::DIAS_PRIMEIRO_VENCIMENTO},
      {"i_com_entrada", &F::condicao, &C::COM_ENTRADA},
      {"n_perc_juros_mes", &F::condicao, &C::JURO},
      {"n_perc_descto_forma_pagto", &F::desconto},
      {"s_obs_forma_pagto", &F::observacao, 256},
      {"i_tfo_perm_alt_cond_pgto", &F::permite_alterar},
      {"i_tfo_imprime_relatorio", &F::imprime_relatorio},
      {"TFormaPagto.i_paf_ide", &F::paf_ide},
  };
  return colunas;
}

CondicaoPagtoPresenter::CondicaoPagtoPresenter(HostUi& ui, sale::VENDA_INTERFACE& venda, std::string connection,
                                               std::int32_t tabela_preco, const ModuleValues& valores)
    : ui_(ui),
      venda_(venda),
      table_("TFORMAPAGTO", std::move(connection)),
      tabela_preco_(tabela_preco),
      valores_(valores) {}

int CondicaoPagtoPresenter::abre() {
  linhas_.clear();
  total_ = venda_.Get_Total_Liquido();
  if (venda_.Limpa_Condicoes_Pagamento() != 1) {
    ui_.message(falha_venda("Erro ao limpar condições de pagamento.", venda_), kErro, MessageIcon::Error);
    return 0;
  }
  FormaPagtoLida lida;
  payment::PaymentCondition& c = lida.condicao;
  if (table_.open() != 1 ||
      select_record(table_, colunas_forma_pagto(), lida,
                    " from TFormaPagto inner join PRECO_FORMA_PAGTO on ccodformapgto = i_pfp_codigo_tfo where "
                    "i_pfp_codigo_tab_apr = " +
                        sql_integer(tabela_preco_) + " order by CCodFormaPgto;") != 1) {
    ui_.message(table_.error_text("Erro ao Buscar Registros na Tabela TFormaPagto.|Erro: "), kErro, MessageIcon::Error);
    return 0;
  }
  while (table_.next() == 1) {
    c.TIPO_JURO = valores_.tipo_juros();
    c.QUEBRA = valores_.tipo_quebra();
    if (venda_.Adiciona_Condicao(c) != 1) {
      ui_.message(falha_venda("Erro ao adicionar Condição de pagamento: ", venda_), "Erro!", MessageIcon::Error);
      continue;
    }
  }
  table_.close();
  sale::TOTAIS_VENDA totais;
  if (venda_.Calcula_Total_Venda(totais) != 1) {
    ui_.message(falha_venda("Erro ao calcular totais da transação.", venda_), kErro, MessageIcon::Error);
    return 0;
  }
  if (venda_.Calcula_Simulacao() != 1) {
    ui_.message(falha_venda("Erro ao calcular simulação das condições de pagamento.", venda_), kErro,
                MessageIcon::Error);
    return 0;
  }
  for (const payment::PaymentCondition& condicao : venda_.Get_Condicoes_Pagamento().CONDICOES) {
    linhas_.push_back({condicao.CODIGO, text::cut(condicao.DESCRICAO, 20), text::cut(condicao.SIMULACAO, 20)});
  }
  return 1;
}

int CondicaoPagtoPresenter::escolhe(std::int32_t posicao) {
  if (fechada_) return 0;
  payment::PaymentCondition c;
  if (posicao < 1 || static_cast<std::size_t>(posicao) > linhas_.size() ||
      venda_.Get_Condicoes_Pagamento().CONDICOES.get(static_cast<std::size_t>(posicao), c) != 1) {
    ui_.message("Erro ao dar get na queue local de condições de pagamento.|Erro: " +
                    std::string{"Registro não encontrado na lista."},
                kErro, MessageIcon::Error);
    return 0;
  }
  const auto excede = [](std::int32_t limite, std::int32_t da_condicao) { return limite > 0 && limite < da_condicao; };
  if (excede(valores_.I_PAR_NUMERO_MAX_PARCELAS, c.PRESTACOES)) {
    ui_.message("Número máximo de prestações do usuário é menor que o número de prestações da condição de pagamento.",
                kAviso, MessageIcon::Exclamation);
    return 0;
  }
  if (excede(valores_.I_PAR_DIAS_MAX_ENTRE_PARCELAS, c.DIAS_ENTRE_PRESTACOES)) {
    ui_.message(
        "Número máximo de dia entre prestações do usuário é menor que o número de dias entre prestações da "
        "condição de pagamento.",
        kAviso, MessageIcon::Exclamation);
    return 0;
  }
  if (excede(valores_.I_PAR_DIAS_MAX_PRIMEIRA_PARCELA, c.DIAS_PRIMEIRO_VENCIMENTO)) {
    ui_.message(
        "Número máximo de dias para o primeiro vencimento do usuário é menor que o número de dias para o "
        "primeiro vencimento da condição de pagamento.",
        kAviso, MessageIcon::Exclamation);
    return 0;
  }
  if (c.TIPO == 2 && !(venda_.Get_Total_Liquido() > 0)) {
    ui_.message("TRANSAÇÃO ISENTA DE PAGAMENTO!|A condição de pagamento não deve ser a prazo.", kAviso,
                MessageIcon::Exclamation);
    return 0;
  }
  // The permission first: a down payment is refused under a condition that
  // does not allow one. A refusal on the way puts the sale's permission back.
  const std::int32_t permissao_anterior = venda_.Get_Permite_Entrada();
  const auto recusa = [&](std::string_view contexto) {
    ui_.message(falha_venda(contexto, venda_), kErro, MessageIcon::Error);
    venda_.Set_Permite_Entrada(permissao_anterior);
    return 0;
  };
  if (venda_.Set_Permite_Entrada(c.COM_ENTRADA) != 1) {
    return recusa("Erro ao setar parâmetro de permissão de entrada na condição de pagamento.");
  }
  if (venda_.Set_Valor_Entrada(c.COM_ENTRADA != 0 ? venda_.Get_Entrada_Simulacao(posicao) : 0) != 1) {
    return recusa("Erro ao setar valor de entrada da condição de pagamento.");
  }
  if (venda_.Set_Condicao_Pagamento(c.CODIGO) != 1) return recusa("Erro ao setar condição de pagamento na venda.");
  fechada_ = true;
  resultado_ = 1;
  return 1;
}

int CondicaoPagtoPresenter::voltar() {
  fechada_ = true;
  resultado_ = 0;
  return 0;
}

std::int32_t CondicaoPagtoPresenter::posicao(std::int32_t codigo) const {
  for (std::size_t i = 0; i < linhas_.size(); ++i) {
    if (linhas_[i].codigo == codigo) return static_cast<std::int32_t>(i + 1);
  }
  return 0;
}

}  // namespace fvn
