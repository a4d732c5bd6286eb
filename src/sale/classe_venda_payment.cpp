// CLASSE_VENDA, its payment side: the operations the facade forwards to the
// installment plan, the payment ledger and the list of payment conditions,
// and the readers of those objects. Failures are converted as everywhere in
// the facade: its context text, then the object's text, under the facade
// operation's name.
#include <cmath>
#include <string>

#include "payment/parcelas.h"
#include "runtime/rounding.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"
#include "sale/classe_venda.h"

namespace fvn::sale {

// ---- Installment plan of the payment condition ----

int CLASSE_VENDA::Set_Total_Parcelar(double valor) {
  if (!PRESTACAO->Set_Total_Parcelar(valor)) {
    return falha("Erro ao dar set no total a parcelar ", *PRESTACAO, "Set_Total_Parcelar");
  }
  return 1;
}

std::int32_t CLASSE_VENDA::Get_Quantidade_Parcelas() const {
  return static_cast<std::int32_t>(PRESTACAO->PARCELAS.records());
}

int CLASSE_VENDA::Get_Parcela(std::int32_t numero, payment::QUEUE_PARCELAS& parcela) {
  if (numero <= 0 || !PRESTACAO->PARCELAS.get(static_cast<std::size_t>(numero), parcela)) {
    return set_error("Erro ao dar GET na QUEUE Parcelas ", 0, "Get_Parcela");
  }
  return 1;
}

int CLASSE_VENDA::Set_Valor_Parcela(std::int32_t numero, double valor) {
  if (!PRESTACAO->Set_Valor_Parcela(numero, valor)) {
    return falha("Erro no Set_Valor_Parcela ", *PRESTACAO, "Set_Valor_Parcela");
  }
  return 1;
}

int CLASSE_VENDA::Set_Vencimento_Parcela(std::int32_t numero, Date vencimento) {
  if (!PRESTACAO->Set_Vencimento_Parcela(numero, vencimento)) {
    return falha("Erro no Set_Vencimento_Parcela ", *PRESTACAO, "Set_Vencimento_Parcela");
  }
  return 1;
}

int CLASSE_VENDA::Recalcula_Parcelas_Seguintes(std::int32_t numero) {
  if (!PRESTACAO->Recalcula_Parcelas_Seguintes(numero)) {
    return falha("Erro no Recalcula_Parcelas_Seguintes ", *PRESTACAO, "Recalcula_Parcelas_Seguintes");
  }
  return 1;
}

int CLASSE_VENDA::Set_Tipo_Juro(std::int32_t tipo) {
  if (!PRESTACAO->Set_Tipo_Juro(tipo)) return falha("Erro ao dar set no tipo de juro ", *PRESTACAO, "Set_Tipo_Juro");
  return 1;
}

int CLASSE_VENDA::Set_Numero_Parcelas(std::int32_t numero) {
  if (!PRESTACAO->Set_Parcelas(numero)) {
    return falha("Erro ao dar set no número de parcelas ", *PRESTACAO, "Set_Numero_Parcelas");
  }
  return 1;
}

int CLASSE_VENDA::Set_Dias(std::int32_t dias) {
  if (!PRESTACAO->Set_Dias(dias)) return falha("Erro ao dar set nos dias ", *PRESTACAO, "Set_Dias");
  return 1;
}

int CLASSE_VENDA::Set_Dia_Mes(std::int32_t flag) {
  if (!PRESTACAO->Set_Dia_Mes(flag)) return falha("Erro ao dar set no dia do mês ", *PRESTACAO, "Set_Dia_Mes");
  return 1;
}

int CLASSE_VENDA::Set_Juro(double juro) {
  if (!PRESTACAO->Set_Juro(juro)) return falha("Erro ao dar set no juro ", *PRESTACAO, "Set_Juro");
  return 1;
}

int CLASSE_VENDA::Set_Primeira(std::int32_t dias) {
  if (!PRESTACAO->Set_Primeira(dias)) return falha("Erro ao dar set na primeira ", *PRESTACAO, "Set_Primeira");
  return 1;
}

int CLASSE_VENDA::Set_Data_Primeira(Date data) {
  if (!PRESTACAO->Set_Data_Primeira(data)) {
    return falha("Erro ao dar set na data da primeira ", *PRESTACAO, "Set_Data_Primeira");
  }
  return 1;
}

int CLASSE_VENDA::Checa_Valores() {
  if (!PRESTACAO->Checa_Valores()) return falha("Erro no Checa_Valores ", *PRESTACAO, "Checa_Valores");
  return 1;
}

int CLASSE_VENDA::Zera_Prestacoes() {
  if (!PRESTACAO->Zera_Prestacoes()) return falha("Erro no Zera_Prestacoes ", *PRESTACAO, "Zera_Prestacoes");
  return 1;
}

// ---- Payment conditions ----

int CLASSE_VENDA::Calcula_Tot() { return Calcula_Total_Venda(TOTAIS_VENDA); }

int CLASSE_VENDA::Limpa_Prestacoes() {
  if (!PRESTACAO->Limpa_Prestacoes()) return falha("Erro no Limpa_Prestacoes ", *PRESTACAO, "Limpa_Prestacoes");
  return 1;
}

int CLASSE_VENDA::Adiciona_Prestacao(const payment::QUEUE_PARCELAS& parcela) {
  if (!PRESTACAO->Adiciona_Parcela(parcela)) {
    return falha("Erro no Adiciona_Prestacao ", *PRESTACAO, "Adiciona_Prestacao");
  }
  return 1;
}

int CLASSE_VENDA::Calcula_Simulacao() {
  const double base = TOTAIS_VENDA.TOTAL_LIQUIDO_ITENS + ITEM->ACRESCIMO_VENDA - ITEM->DESCONTO_VENDA;
  if (!CONDICAO_PAGAMENTO->Calcula_Simulacao(round_to(base, 2), DATA_EMISSAO)) {
    return falha("", *CONDICAO_PAGAMENTO, "Calcula_Simulacao");
  }
  return 1;
}

// The plan of the sale's condition splits what is left after the down
// payment; the sale carries the plan's interest.
int CLASSE_VENDA::Calcula_Parcelas() {
  if (!PRESTACAO->Calcula_Parcelas()) return falha("Erro no Calcula_Parcelas ", *PRESTACAO, "Calcula_Parcelas");
  if (!Set_Juros_Venda(PRESTACAO->ACRESCIMO)) return 0;
  const double a_parcelar = round_to(TOTAIS_VENDA.TOTAL_PARCELAR - VALOR_ENTRADA, 2);
  if (PRESTACAO->TOTAL_PARCELAR == a_parcelar) return 1;
  if (!PRESTACAO->Set_Total_Parcelar(a_parcelar)) {
    return falha("Erro setar valor a parcelar ", *PRESTACAO, "Calcula_Parcelas - Set_Total_Parcelar");
  }
  if (!PRESTACAO->Calcula_Parcelas()) return falha("Erro no Calcula_Parcelas ", *PRESTACAO, "Calcula_Parcelas");
  return Set_Juros_Venda(PRESTACAO->ACRESCIMO);
}

int CLASSE_VENDA::Set_Valor_Entrada(double valor) {
  constexpr std::string_view kFuncao = "Set_Valor_Entrada";
  if (std::isnan(valor) || valor < 0) return set_error("Valor da entrada menor que zero", 0, kFuncao);
  if (PERMITE_ENTRADA == 0) {
    if (valor != 0) return set_error("Condição de Pagamento não permite entrada.", 0, kFuncao);
    VALOR_ENTRADA = 0;
    return 1;
  }
  if (!Calcula_Tot()) return 0;
  const double total = TOTAIS_VENDA.TOTAL_PARCELAR;
  if (!(round_to(valor, 2) < round_to(total, 2))) {
    return set_error("Valor de entrada maior ou igual ao valor total a parcelar.", 0, kFuncao);
  }
  VALOR_ENTRADA = round_to(valor, 2);
  // Paid now at the counter, and left to split: never below zero, the down
  // payment being below the total.
  if (!Set_Valor_Total_Pagar(VALOR_ENTRADA)) return 0;
  if (!PRESTACAO->Set_Total_Parcelar(round_to(total - VALOR_ENTRADA, 2))) {
    return falha("Erro ao dar set no total a parcelar ", *PRESTACAO, kFuncao);
  }
  return Calcula_Parcelas();
}

int CLASSE_VENDA::Set_Condicao_Pagamento(std::int32_t codigo) {
  payment::PaymentCondition condicao;
  if (!CONDICAO_PAGAMENTO->CONDICOES.get_by_key(&payment::PaymentCondition::CODIGO, codigo, condicao)) {
    return set_error("Condição de pagamento inexistente! " + std::string{last_runtime_message()}, 0,
                     "Set_Condicao_Pagamento");
  }
  if (!Set_Permite_Entrada(condicao.COM_ENTRADA) || !Calcula_Tot() || !Zera_Prestacoes()) return 0;
  if (condicao.TIPO != 2) {
    // Cash: the whole total is paid at the counter, and the interest of a
    // credit condition chosen before no longer applies.
    if (!Set_Valor_Entrada(0) || !Set_Juros_Venda(0) || !Set_Valor_Total_Pagar(TOTAIS_VENDA.TOTAL_PARCELAR)) {
      return 0;
    }
  } else {
    // Credit: only the down payment is paid at the counter.
    if (!Set_Valor_Entrada(condicao.VALOR_ENTRADA_SIMULACAO) || !Set_Numero_Parcelas(condicao.PRESTACOES) ||
        !Set_Valor_Total_Pagar(VALOR_ENTRADA) ||
        !Set_Total_Parcelar(round_to(TOTAIS_VENDA.TOTAL_PARCELAR - VALOR_ENTRADA, 2)) ||
        !Set_Dias(condicao.DIAS_ENTRE_PRESTACOES) || !Set_Primeira(condicao.DIAS_PRIMEIRO_VENCIMENTO) ||
        !Set_Juro(condicao.JURO) || !Set_Tipo_Juro(condicao.TIPO_JURO) || !Set_Dia_Mes(condicao.DIA_MES)) {
      return 0;
    }
    if (!PRESTACAO->Set_Quebra(QUEBRA)) return falha("Erro ao dar set na quebra ", *PRESTACAO, "Set_Quebra");
    if (!Set_Data_Primeira(condicao.DATA_PRIMEIRA) || !Calcula_Parcelas()) return 0;
  }
  CONDICAO = codigo;
  return 1;
}

int CLASSE_VENDA::Set_Permite_Entrada(std::int32_t permite) {
  if (permite < 0) return set_error("Campo de verificação da entrada negativo.", 0, "Set_Permite_Entrada");
  PERMITE_ENTRADA = permite;
  return 1;
}

double CLASSE_VENDA::Get_Entrada_Simulacao(std::int32_t posicao) {
  payment::PaymentCondition condicao;
  if (posicao <= 0 || !CONDICAO_PAGAMENTO->CONDICOES.get(static_cast<std::size_t>(posicao), condicao)) {
    set_error("Erro ao dar get na queue de condições de pagamento!", 0, "Get_Entrada_Simulacao");
    return 0;
  }
  return condicao.VALOR_ENTRADA_SIMULACAO;
}

int CLASSE_VENDA::Limpa_Condicoes_Pagamento() {
  CONDICAO_PAGAMENTO->Limpa();
  return 1;
}

int CLASSE_VENDA::Adiciona_Condicao(const payment::PaymentCondition& condicao) {
  if (!CONDICAO_PAGAMENTO->Adiciona_Condicao(condicao)) return falha("", *CONDICAO_PAGAMENTO, "Adiciona_Condicao");
  return 1;
}

// ---- Payment ledger ----

int CLASSE_VENDA::Set_Valor_Total_Pagar(double valor) {
  if (!PAGAMENTO->Set_Valor_Total(valor)) {
    return falha("Erro ao dar set no valor pagar ", *PAGAMENTO, "Set_Valor_Total_Pagar");
  }
  VALOR_TOTAL_PAGAR = valor;
  return 1;
}

int CLASSE_VENDA::Paga(std::int32_t codigo_forma, double valor, std::int32_t id_credito,
                       const payment::PaymentOptions& opcoes) {
  if (!PAGAMENTO->Paga(codigo_forma, valor, id_credito, opcoes)) return falha("Paga ", *PAGAMENTO, "Paga");
  return 1;
}

int CLASSE_VENDA::Estorna_Pagamento(std::int32_t numero) {
  if (!PAGAMENTO->Estorna(numero)) return falha("Estorna_Pagamento ", *PAGAMENTO, "Estorna_Pagamento");
  return 1;
}

int CLASSE_VENDA::Conclui_Pagamento() {
  if (!PAGAMENTO->Conclui_Pagamento()) return falha("Conclui_Pagamento ", *PAGAMENTO, "Conclui_Pagamento");
  return 1;
}

int CLASSE_VENDA::Adiciona_Parcela_Pagamento(const payment::QUEUE_PARCELAS& parcela) {
  if (!PAGAMENTO->Adiciona_Parcela(parcela)) {
    return falha("Adiciona_Parcela_Pagamento ", *PAGAMENTO, "Adiciona_Parcela_Pagamento");
  }
  return 1;
}

int CLASSE_VENDA::Set_Numero_Parcelas_Pagamento(std::int32_t numero) {
  if (!PAGAMENTO->Set_Numero_Parcelas(numero)) {
    return falha("Set_Numero_Parcelas_Pagamento ", *PAGAMENTO, "Set_Numero_Parcelas_Pagamento");
  }
  return 1;
}

int CLASSE_VENDA::Set_Dias_Parcelas_Pagamento(std::int32_t dias) {
  if (!PAGAMENTO->Set_Dias_Parcelas(dias)) {
    return falha("Set_Dias_Parcelas_Pagamento ", *PAGAMENTO, "Set_Dias_Parcelas_Pagamento");
  }
  return 1;
}

int CLASSE_VENDA::Calcula_Parcelas_Pagamento() {
  if (!PAGAMENTO->Calcula_Parcelas()) {
    return falha("Calcula_Parcelas_Pagamento ", *PAGAMENTO, "Calcula_Parcelas_Pagamento");
  }
  return 1;
}

int CLASSE_VENDA::Estorna_Parcela_Pagamento(std::int32_t numero) {
  if (!PAGAMENTO->Estorna_Parcela(numero)) {
    return falha("Estorna_Parcela_Pagamento ", *PAGAMENTO, "Estorna_Parcela_Pagamento");
  }
  return 1;
}

int CLASSE_VENDA::Set_Valor_Parcela_Pagamento(std::int32_t numero, double valor) {
  if (!PAGAMENTO->Set_Valor_Parcela(numero, valor)) {
    return falha("Set_Valor_Parcela_Pagamento ", *PAGAMENTO, "Set_Valor_Parcela_Pagamento");
  }
  return 1;
}

int CLASSE_VENDA::Set_Vencimento_Parcela_Pagamento(std::int32_t numero, Date vencimento) {
  if (!PAGAMENTO->Set_Vencimento_Parcela(numero, vencimento)) {
    return falha("Set_Vencimento_Parcela_Pagamento ", *PAGAMENTO, "Set_Vencimento_Parcela_Pagamento");
  }
  return 1;
}

int CLASSE_VENDA::Set_Documento_Parcela_Pagamento(std::int32_t numero, std::string_view documento) {
  if (!PAGAMENTO->Set_Documento_Parcela(numero, documento)) {
    return falha("Set_Documento_Parcela_Pagamento ", *PAGAMENTO, "Set_Documento_Parcela_Pagamento");
  }
  return 1;
}

int CLASSE_VENDA::Set_Conta_Parcela_Pagamento(std::int32_t numero, std::string_view conta) {
  if (!PAGAMENTO->Set_Conta_Parcela(numero, conta)) {
    return falha("Set_Conta_Parcela_Pagamento ", *PAGAMENTO, "Set_Conta_Parcela_Pagamento");
  }
  return 1;
}

int CLASSE_VENDA::Set_Entidade_Parcela_Pagamento(std::int32_t numero, std::int32_t entidade) {
  if (!PAGAMENTO->Set_Entidade_Parcela(numero, entidade)) {
    return falha("Set_Entidade_Parcela_Pagamento ", *PAGAMENTO, "Set_Entidade_Parcela_Pagamento");
  }
  return 1;
}

std::int32_t CLASSE_VENDA::Get_Quantidade_Pagamentos() const {
  return static_cast<std::int32_t>(PAGAMENTO->PAGAMENTOS.records());
}

int CLASSE_VENDA::Get_Pagamento(std::int32_t numero, payment::Payment& pagamento) {
  if (numero <= 0 || !PAGAMENTO->PAGAMENTOS.get(static_cast<std::size_t>(numero), pagamento)) {
    return set_error("Erro ao dar GET na queue pagamentos ", 0, "Get_Pagamento");
  }
  return 1;
}

std::int32_t CLASSE_VENDA::Get_Quantidade_Formas_Pagamento() const {
  return static_cast<std::int32_t>(PAGAMENTO->FORMAS_PAGAMENTO.records());
}

int CLASSE_VENDA::Get_Forma_Pagamento(std::int32_t codigo, payment::GRUPO_FORMAS_PAGAMENTO& forma) {
  if (!PAGAMENTO->FORMAS_PAGAMENTO.get_by_key(&payment::GRUPO_FORMAS_PAGAMENTO::CODIGO, codigo, forma)) {
    return set_error(" Forma de Pagamento Inexistente! ", 0, "Get_Forma_Pagamento");
  }
  return 1;
}

}  // namespace fvn::sale
