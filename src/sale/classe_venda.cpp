#include "sale/classe_venda.h"

#include <cmath>

#include "runtime/rounding.h"
#include "runtime/text.h"

namespace fvn::sale {

CLASSE_VENDA::CLASSE_VENDA()
    : ITEM(std::make_unique<CLASSE_ITEM>()),
      BALANCA(std::make_unique<devices::Classe_Balanca>()),
      PRESTACAO(std::make_unique<payment::Parcelas>()),
      PAGAMENTO(std::make_unique<payment::PaymentLedger>()),
      CONDICAO_PAGAMENTO(std::make_unique<payment::PaymentConditions>()) {}

CLASSE_VENDA::~CLASSE_VENDA() {
  ITEM.reset();
  BALANCA.reset();
  PRESTACAO.reset();
  PAGAMENTO.reset();
  CONDICAO_PAGAMENTO->Limpa();
  CONDICAO_PAGAMENTO.reset();
}

int CLASSE_VENDA::falha(std::string_view prefixo, const ErrorTriple& origem, std::string_view operacao) {
  return wrap_error(prefixo, origem, operacao);
}

int CLASSE_VENDA::Vende_Item(QUEUE_ITEM& item) {
  if (DATA_EMISSAO == 0) return set_error("Data de emissão não preenchida.", 0, "Vende_Item");
  if (!ITEM->Vende_Item(item)) return falha("Erro em vende item ", *ITEM, ITEM->ERROR_FUNCTION);
  return recalcula();
}

int CLASSE_VENDA::Calcula_Total_Venda(::fvn::sale::TOTAIS_VENDA& totais) {
  if (!ITEM->Calcula_Total_Venda(totais)) return falha("Total venda", *ITEM, "Calcula_Total_Venda");
  return 1;
}

int CLASSE_VENDA::set_valor_venda(double valor, int (CLASSE_ITEM::*setter)(double), std::string_view prefixo,
                                  std::string_view operacao) {
  if (!((*ITEM).*setter)(round_to(valor, 2))) return falha(prefixo, *ITEM, operacao);
  return recalcula();
}

int CLASSE_VENDA::Set_Desconto_Venda(double valor) {
  return set_valor_venda(valor, &CLASSE_ITEM::Set_Desconto_Venda, "Desconto venda ", "Set_Desconto_Venda");
}

int CLASSE_VENDA::Set_Frete_Venda(double valor) {
  return set_valor_venda(valor, &CLASSE_ITEM::Set_Frete_Venda, "Frete venda ", "Set_Frete_Venda");
}

int CLASSE_VENDA::Set_Seguro_Venda(double valor) {
  return set_valor_venda(valor, &CLASSE_ITEM::Set_Seguro_Venda, "Seguro venda ", "Set_Seguro_Venda");
}

int CLASSE_VENDA::Set_Desp_Acessorias_Venda(double valor) {
  return set_valor_venda(valor, &CLASSE_ITEM::Set_Desp_Acessorias_Venda, "Despesas acessórias venda ",
                         "Set_Desp_Acessorias_Venda");
}

// The surcharge and the interest are checked here first and mirrored in
// ACRESCIMO / JUROS before the sale object is called; the mirror is kept even
// when the sale object then refuses.
int CLASSE_VENDA::Set_Acrescimo_Venda(double valor) {
  if (!std::isfinite(valor) || valor < 0) {
    return set_error("Valor de acréscimo não pode ser menor que zero.", 0, "Set_Acrescimo_Venda");
  }
  ACRESCIMO = round_to(valor, 2);
  ACRESCIMO_TOTAL = ACRESCIMO + JUROS;
  if (!ITEM->Set_Acrescimo_Venda(ACRESCIMO)) return falha("Acréscimo venda ", *ITEM, "Set_Acrescimo_Venda");
  return recalcula();
}

int CLASSE_VENDA::Set_Juros_Venda(double valor) {
  if (!std::isfinite(valor) || valor < 0) {
    return set_error("Valor de acréscimo não pode ser menor que zero.", 0, "Set_Acrescimo_Venda");
  }
  JUROS = round_to(valor, 2);
  ACRESCIMO_TOTAL = ACRESCIMO + JUROS;
  if (!ITEM->Set_Juros_Venda(JUROS)) return falha("Acréscimo venda ", *ITEM, "Set_Juros_Venda");
  return recalcula();
}

int CLASSE_VENDA::Cancela_Item(std::int32_t numero) {
  if (!ITEM->Cancela_Item(numero)) return falha("Erro no cancela item ", *ITEM, "Cancela_Item");
  return recalcula();
}

std::int32_t CLASSE_VENDA::Calcula_Qtde_Itens_Vendidos() {
  const std::int32_t vivos = ITEM->Calcula_Qtde_Itens_Vendidos();
  if (vivos == 0) falha("Venda sem itens ", *ITEM, "Calcula_Qtde_Itens_Vendidos");
  return vivos;
}

int CLASSE_VENDA::Get_Item_Venda(std::int32_t numero, QUEUE_ITEM& item) {
  if (!ITEM->Get_Item_Venda(numero, item)) return falha("", *ITEM, "Get_Item_Venda");
  return 1;
}

double CLASSE_VENDA::Get_Quantidade_Produto(std::int32_t id_produto) const {
  return ITEM->Get_Quantidade_Produto(id_produto);
}

int CLASSE_VENDA::Set_Data_Emissao(Date data) {
  DATA_EMISSAO = data;
  if (!PAGAMENTO->Set_Data_Emissao(data))
    return falha("Erro ao dar set no data emissão ", *PAGAMENTO, "Set_Data_Emissao");
  if (!PRESTACAO->Set_Data_Emissao(data))
    return falha("Erro ao dar set no data emissão ", *PRESTACAO, "Set_Data_Emissao");
  return 1;
}

int CLASSE_VENDA::Set_Quebra(std::int32_t quebra) {
  QUEBRA = quebra;
  if (!PAGAMENTO->Set_Quebra(quebra)) return falha("Erro ao dar set na quebra ", *PAGAMENTO, "Set_Quebra");
  if (!PRESTACAO->Set_Quebra(quebra)) return falha("Erro ao dar set na quebra ", *PRESTACAO, "Set_Quebra");
  return 1;
}

int CLASSE_VENDA::Set_Data_Saida(Date data) {
  if (data < kFirstDate || data > kLastDate) return set_error("Data de saída inválida", 0, "Set_Data_Saida");
  DATA_SAIDA = data;
  return 1;
}

int CLASSE_VENDA::Set_Perc_Comissao_Venda(double percentual) {
  // A value that is not a number would reach the commission records.
  if (!std::isfinite(percentual)) {
    return set_error("Percentual de comissão inválido.", 0, "Set_Perc_Comissao_Venda");
  }
  PERC_COMISSAO_VENDA = percentual;
  return 1;
}

int CLASSE_VENDA::Set_Observacao(std::string_view observacao) {
  OBSERVACAO = text::fit(observacao, 1024);
  return 1;
}

int CLASSE_VENDA::Limpa_Itens_Venda() {
  if (!ITEM->Limpa_Itens()) return falha("Erro ao limpar itens ", *ITEM, "Limpa_Itens_Venda");
  return recalcula();
}

int CLASSE_VENDA::Limpa_Venda() {
  if (!ITEM->Limpa_Itens()) return falha(" Erro ao limpar itens ", *ITEM, "Limpa_Venda");
  PRESTACAO = std::make_unique<payment::Parcelas>();
  PAGAMENTO = std::make_unique<payment::PaymentLedger>();
  GRUPO_DADOS_LIBERACAO_DESCONTO = {};
  GRUPO_DADOS_LIBERACAO_CANCELAMENTO = {};
  GRUPO_DADOS_LIBERACAO_VENDA_PRAZO = {};
  if (DATA_EMISSAO != 0 && !Set_Data_Emissao(DATA_EMISSAO)) return 0;
  if (QUEBRA != 0 && !Set_Quebra(QUEBRA)) return 0;
  CONDICAO_PAGAMENTO->Limpa();
  if (!Set_Acrescimo_Venda(0) || !Set_Desconto_Venda(0) || !Set_Juros_Venda(0) || !Set_Frete_Venda(0) ||
      !Set_Seguro_Venda(0) || !Set_Desp_Acessorias_Venda(0)) {
    return 0;
  }
  return recalcula();
}

// Parties. The tax-relevant ones go to the sale object, which reports its
// failures in full; the facade keeps its copy only on success.
int CLASSE_VENDA::Set_Dados_Cliente(const GRUPO_CLIENTE& cliente) {
  if (!ITEM->Set_Dados_Cliente(cliente)) return falha("", *ITEM, "Set_Dados_Cliente");
  CLIENTE = cliente;
  return recalcula();
}

int CLASSE_VENDA::Set_Dados_Empresa(const GRUPO_EMPRESA& empresa) {
  if (!ITEM->Set_Dados_Empresa(empresa)) return falha("", *ITEM, "Set_Dados_Empresa");
  EMPRESA = empresa;
  return recalcula();
}

int CLASSE_VENDA::Set_Dados_Operacao(const GRUPO_OPERACAO& operacao) {
  if (!ITEM->Set_Dados_Operacao(operacao)) return falha("", *ITEM, "Set_Dados_Operacao");
  OPERACAO = operacao;
  return recalcula();
}

int CLASSE_VENDA::Set_Dados_Emissor(const GRUPO_EMISSOR& emissor) {
  if (!ITEM->Set_Dados_Emissor(emissor)) return falha("", *ITEM, "Set_Dados_Emissor");
  EMISSOR = emissor;
  return recalcula();
}

int CLASSE_VENDA::Set_Dados_Vendedor(const GRUPO_VENDEDOR& vendedor) {
  if (!ITEM->Set_Dados_Vendedor(vendedor)) return falha("", *ITEM, "Set_Dados_Vendedor");
  VENDEDOR = vendedor;
  return 1;
}

int CLASSE_VENDA::Set_Finalidade_Operacao(std::int32_t finalidade) {
  if (!ITEM->Set_Finalidade_Operacao(finalidade)) return falha("", *ITEM, "Set_Finalidade_Operacao");
  FINALIDADE_OPERACAO = finalidade;
  return recalcula();
}

int CLASSE_VENDA::Get_Dados_Cliente(GRUPO_CLIENTE& cliente) {
  cliente = CLIENTE;
  if (CLIENTE.CODIGO == 0) return set_error("Cliente não definido.", 0, "Get_Dados_Cliente");
  return 1;
}

int CLASSE_VENDA::Get_Dados_Operacao(GRUPO_OPERACAO& operacao) {
  operacao = OPERACAO;
  if (OPERACAO.CODIGO == 0) return set_error("Operação não definida.", 0, "Get_Dados_Operacao");
  return 1;
}

int CLASSE_VENDA::Get_Dados_Vendedor(GRUPO_VENDEDOR& vendedor) {
  vendedor = VENDEDOR;
  if (VENDEDOR.CODIGO == 0) return set_error("Vendedor não definido.", 0, "Get_Dados_Vendedor");
  return 1;
}

// ---- Carrier, volumes, partner and event ----

namespace {

// A CPF or CNPJ that is given: not blank and not numerically zero.
bool documento_informado(std::string_view documento) {
  for (const char c : documento) {
    if (c >= '1' && c <= '9') return true;
  }
  return false;
}

bool vazio(std::string_view texto) { return text::trim(texto).empty(); }

}  // namespace

int CLASSE_VENDA::Set_Dados_Transportadora(const GRUPO_TRANSPORTADORA& t) {
  constexpr std::string_view kFuncao = "Set_Dados_Transportadora";
  if (t.CODIGO_TRANSPORTADORA == 0) return set_error("Código da transportadora não pode ser zero!", 0, kFuncao);
  if (vazio(t.RAZAO_SOCIAL)) return set_error("Razão social da transportadora não pode ser vazia!", 0, kFuncao);
  if (documento_informado(t.CPF) || documento_informado(t.CNPJ)) {
    if (vazio(t.ENDERECO)) return set_error("Endereço da transportadora não pode ser vazio!", 0, kFuncao);
    if (vazio(t.MUNICIPIO)) return set_error("Munícipio da transportadora não pode ser vazio!", 0, kFuncao);
  }
  TRANSPORTADORA = t;
  return 1;
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

int CLASSE_VENDA::Set_Parceiro_Venda(const GRUPO_PARCEIRO& parceiro) {
  constexpr std::string_view kFuncao = "Set_Parceiro_Venda";
  if (parceiro.CODIGO == 0) return set_error("O código do parceiro não foi informado.", 0, kFuncao);
  if (vazio(parceiro.DESCRICAO)) return set_error("A descrição do parceiro não foi informada.", 0, kFuncao);
  PARCEIRO = parceiro;
  return 1;
}

int CLASSE_VENDA::Get_Parceiro_Venda(GRUPO_PARCEIRO& parceiro) {
  parceiro = PARCEIRO;
  return 1;
}

int CLASSE_VENDA::Set_Evento_Venda(const GRUPO_EVENTO& evento) {
  constexpr std::string_view kFuncao = "Set_Evento_Venda";
  if (evento.CODIGO == 0) return set_error("Código do evento não informado.", 0, kFuncao);
  if (vazio(evento.DESCRICAO)) return set_error("Descrição do evento não foi informada.", 0, kFuncao);
  if (evento.CODIGO_CLIENTE == 0) return set_error("O evento informado não possuí código de cliente.", 0, kFuncao);
  if (evento.CODIGO_VENDEDOR == 0) return set_error("O evento informado não possui código de vendedor.", 0, kFuncao);
  if (evento.CODIGO_EMPRESA == 0) return set_error("O evento informado não possui código de empresa.", 0, kFuncao);
  EVENTO = evento;
  return 1;
}

int CLASSE_VENDA::Get_Evento_Venda(GRUPO_EVENTO& evento) {
  evento = EVENTO;
  return 1;
}

// ---- Scale ----

int CLASSE_VENDA::Get_Peso(double& peso) {
  // The facade's DADOS_BALANCA is the scale's configuration.
  BALANCA->Configura(DADOS_BALANCA);
  if (BALANCA->Get_Peso(peso)) return 1;
  return set_error("Erro ao ler peso: " + BALANCA->Get_Error(), 0, "Get_Peso");
}

int CLASSE_VENDA::Get_Dados_NF(DADOS_NF& dados) {
  constexpr std::string_view kFuncao = "Get_Dados_NF";
  DADOS_NF copia;
  if (CLIENTE.CODIGO == 0) return set_error("Cliente não definido.", 0, kFuncao);
  copia.ITENS.reserve(ITEM->ITENS.records());
  bool vivo = false;
  for (std::size_t n = 1; n <= ITEM->ITENS.records(); ++n) {
    QUEUE_ITEM item;
    if (!ITEM->ITENS.get(n, item)) return set_error("Erro ao dar GET na QUEUE de itens ", 0, kFuncao);
    vivo = vivo || item.CANCELADO == 0;
    copia.ITENS.push_back(std::move(item));
  }
  if (!vivo) return set_error("Venda sem itens.", 0, kFuncao);
  for (std::size_t n = 1; n <= PAGAMENTO->PAGAMENTOS.records(); ++n) {
    payment::Payment pagamento;
    if (!PAGAMENTO->PAGAMENTOS.get(n, pagamento)) return set_error("Erro ao dar GET na queue pagamentos ", 0, kFuncao);
    copia.PAGAMENTOS.push_back(std::move(pagamento));
  }
  for (std::size_t n = 1; n <= PRESTACAO->PARCELAS.records(); ++n) {
    payment::QUEUE_PARCELAS parcela;
    if (!PRESTACAO->PARCELAS.get(n, parcela)) return set_error("Erro ao dar GET na QUEUE Parcelas ", 0, kFuncao);
    copia.PARCELAS.push_back(std::move(parcela));
  }
  copia.NUMERO_NOTA = NUMERO_NOTA;
  copia.DATA = DATA;
  copia.HORA = HORA;
  copia.DATA_EMISSAO = DATA_EMISSAO;
  copia.DATA_SAIDA = DATA_SAIDA;
  copia.TOTAIS_VENDA = TOTAIS_VENDA;
  copia.EMPRESA = EMPRESA;
  copia.OPERACAO = OPERACAO;
  copia.EMISSOR = EMISSOR;
  copia.CLIENTE = CLIENTE;
  copia.VENDEDOR = VENDEDOR;
  copia.TRANSPORTADORA = TRANSPORTADORA;
  copia.VOLUME = VOLUME;
  copia.PARCEIRO = PARCEIRO;
  copia.EVENTO = EVENTO;
  copia.FINALIDADE_OPERACAO = FINALIDADE_OPERACAO;
  copia.TIPO_FRETE = TIPO_FRETE;
  copia.CONDICAO = CONDICAO;
  copia.OBSERVACAO = OBSERVACAO;
  copia.DESCONTO_VENDA = Get_Desconto_Venda();
  copia.ACRESCIMO_VENDA = Get_Acrescimo_Venda();
  copia.JUROS_VENDA = Get_Juros_Venda();
  copia.FRETE_VENDA = Get_Frete_Venda();
  copia.SEGURO_VENDA = Get_Seguro_Venda();
  copia.DESP_ACESSORIAS_VENDA = Get_Desp_Acessorias_Venda();
  copia.VALOR_ENTRADA = VALOR_ENTRADA;
  copia.LIBERACAO_DESCONTO = GRUPO_DADOS_LIBERACAO_DESCONTO;
  copia.LIBERACAO_CANCELAMENTO = GRUPO_DADOS_LIBERACAO_CANCELAMENTO;
  copia.LIBERACAO_VENDA_PRAZO = GRUPO_DADOS_LIBERACAO_VENDA_PRAZO;
  copia.VALOR_TOTAL_PAGAMENTO = PAGAMENTO->VALOR_TOTAL;
  copia.VALOR_PAGO = PAGAMENTO->VALOR_PAGO;
  copia.VALOR_TROCO = PAGAMENTO->VALOR_TROCO;
  dados = std::move(copia);
  return 1;
}

}  // namespace fvn::sale
