// CLASSE_VENDA: the operations the facade forwards to the installment plan,
// the payment ledger, the list of payment conditions and the scale reader,
// and the readers of those objects. Failures are converted as everywhere in
// the facade: its context text, then the object's text, under the facade
// operation's name.
#include "payment/parcelas.h"
#include "runtime/text.h"
#include "sale/classe_venda.h"

namespace fvn::sale {

int CLASSE_VENDA::nao_disponivel(std::string_view operacao) {
  return set_error(payment::kOperacaoNaoDisponivel, 0, operacao);
}

// ---- Installment plan of the payment condition ----

int CLASSE_VENDA::Set_Total_Parcelar(double valor) {
  if (!PRESTACAO->Set_Total_Parcelar(valor)) {
    return falha("Erro ao dar set no total a parcelar ", *PRESTACAO, "Set_Total_Parcelar");
  }
  return 1;
}

int CLASSE_VENDA::Calcula_Parcelas() {
  if (!PRESTACAO->Calcula_Parcelas()) return falha("Erro no Calcula_Parcelas ", *PRESTACAO, "Calcula_Parcelas");
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

int CLASSE_VENDA::Calcula_Simulacao() { return nao_disponivel("Calcula_Simulacao"); }

int CLASSE_VENDA::Set_Condicao_Pagamento(std::int32_t) { return nao_disponivel("Set_Condicao_Pagamento"); }

int CLASSE_VENDA::Set_Valor_Entrada(double) { return nao_disponivel("Set_Valor_Entrada"); }

int CLASSE_VENDA::Set_Permite_Entrada(std::int32_t permite) {
  if (permite < 0) return set_error("Campo de verificação da entrada negativo.", 0, "Set_Permite_Entrada");
  PERMITE_ENTRADA = permite;
  return 1;
}

double CLASSE_VENDA::Get_Entrada_Simulacao(std::int32_t posicao) {
  payment::CondicaoPagamento condicao;
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

int CLASSE_VENDA::Adiciona_Condicao(const payment::CondicaoPagamento& condicao) {
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
                       const payment::OpcoesPagamento& opcoes) {
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

int CLASSE_VENDA::Get_Pagamento(std::int32_t numero, payment::Pagamento& pagamento) {
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

// ---- Parties and release records not written yet ----

int CLASSE_VENDA::Set_Parceiro_Venda(const GRUPO_PARCEIRO&) { return nao_disponivel("Set_Parceiro_Venda"); }

int CLASSE_VENDA::Get_Parceiro_Venda(GRUPO_PARCEIRO& parceiro) {
  parceiro = PARCEIRO;
  return 1;
}

int CLASSE_VENDA::Set_Evento_Venda(const GRUPO_EVENTO&) { return nao_disponivel("Set_Evento_Venda"); }

int CLASSE_VENDA::Get_Evento_Venda(GRUPO_EVENTO& evento) {
  evento = EVENTO;
  return 1;
}

int CLASSE_VENDA::Set_Dados_Transportadora(const GRUPO_TRANSPORTADORA&) {
  return nao_disponivel("Set_Dados_Transportadora");
}

int CLASSE_VENDA::Get_Dados_Transportadora(GRUPO_TRANSPORTADORA& transportadora) {
  transportadora = TRANSPORTADORA;
  return 1;
}

int CLASSE_VENDA::Set_Dados_Volume(const GRUPO_VOLUME& volume) {
  VOLUME = volume;
  return 1;
}

int CLASSE_VENDA::Get_Dados_Volume(GRUPO_VOLUME& volume) {
  volume = VOLUME;
  return 1;
}

int CLASSE_VENDA::Seta_Dados_Liberacao_Cancelamento(const GRUPO_DADOS_LIBERACAO&) {
  return nao_disponivel("Seta_Dados_Liberacao_Cancelamento");
}

int CLASSE_VENDA::Seta_Dados_Liberacao_Desconto(const GRUPO_DADOS_LIBERACAO&) {
  return nao_disponivel("Seta_Dados_Liberacao_Desconto");
}

int CLASSE_VENDA::Seta_Dados_Liberacao_Cancelamento(const GRUPO_DADOS_LIBERACAO&, std::int32_t) {
  return nao_disponivel("Seta_Dados_Liberacao_Cancelamento");
}

int CLASSE_VENDA::Seta_Dados_Liberacao_Desconto(const GRUPO_DADOS_LIBERACAO&, std::int32_t) {
  return nao_disponivel("Seta_Dados_Liberacao_Desconto");
}

int CLASSE_VENDA::Seta_Dados_Liberacao_Venda_Prazo(const GRUPO_DADOS_LIBERACAO&) {
  return nao_disponivel("Seta_Dados_Liberacao_Venda_Prazo");
}

// ---- Scale ----

int CLASSE_VENDA::Get_Peso(double& peso) {
  if (BALANCA->Get_Peso(peso)) return 1;
  return set_error("Erro ao ler peso: " + BALANCA->Get_Error(), 0, "Get_Peso");
}

}  // namespace fvn::sale
