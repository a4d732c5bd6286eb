// The sale screen: opening, the new-sale reset, the accepted fields, the keys
// and what the window reads back. The closings are in
// nota_padrao_nfce_fechamento.cpp.
#include "screens/nota_padrao_nfce.h"

#include <charconv>
#include <cmath>

#include "data/passthrough_table.h"
#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "screens/browses.h"
#include "screens/desconto_venda.h"
#include "screens/entrada_item.h"
#include "screens/importacao_pedidos.h"
#include "screens/partes_venda.h"
#include "screens/recarga_venda.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do Sistema";

const sale::QUEUE_ITEM kItemVazio{};

std::optional<std::int32_t> codigo_escolhido(const std::optional<std::string>& escolha) {
  if (!escolha) return std::nullopt;
  std::int32_t codigo = 0;
  const char* fim = escolha->data() + escolha->size();
  if (std::from_chars(escolha->data(), fim, codigo).ptr != fim) return std::nullopt;
  return codigo;
}

}  // namespace

NotaPadraoNfcePresenter::NotaPadraoNfcePresenter(HostUi& ui, JanelasVenda& janelas, const ModuleValues& valores,
                                                 sale::CLASSE_VENDA& venda, NFCE_PROCESSO& processo,
                                                 EstacaoVenda estacao)
    : ui_(ui),
      janelas_(janelas),
      valores_(valores),
      venda_(venda),
      processo_(processo),
      estacao_(std::move(estacao)),
      desconto_(std::make_unique<DescontoVenda>(ui, janelas, valores, venda)),
      partes_(std::make_unique<PartesVenda>(ui, janelas, estacao_.contexto.conexao, valores, venda, *desconto_)),
      entrada_(std::make_unique<EntradaItem>(ui, janelas, estacao_.contexto.conexao, valores, venda)),
      importacao_(
          std::make_unique<ImportacaoPedidos>(ui, estacao_.contexto.conexao, valores, venda, *partes_, *entrada_)),
      recarga_(std::make_unique<RecargaVenda>(ui, estacao_.contexto.conexao, valores, venda, *partes_, *entrada_)) {
  // Item entry and the discount run the consumer-invoice limits on the new
  // total; a refusal undoes what they just did.
  entrada_->set_limites([this] { return limites_consumidor(); });
  desconto_->set_limites([this] { return limites_consumidor(); });
  importacao_->set_limites([this] { return limites_consumidor(); });
  // The import-content sheet of a product with an FCI: shown before it is
  // sold; leaving it sells nothing.
  entrada_->set_ficha_conteudo([this](sale::QUEUE_ITEM& item) {
    return ui_.message("Produto: " + item.CODIGO + " - " + item.DESCRICAO +
                           "|Ficha de Conteúdo de Importação (FCI): " + item.CHAVE_FCI,
                       "Ficha de Conteúdo de Importação", MessageIcon::Information, "&Ok|&Cancelar") == 1
               ? 1
               : 0;
  });
}

NotaPadraoNfcePresenter::~NotaPadraoNfcePresenter() = default;

void NotaPadraoNfcePresenter::abre() {
  venda_.Set_Cores(kCorLinhaImpar, kCorLinhaPar, kCorCancelado);
  nova_venda();
}

void NotaPadraoNfcePresenter::nova_venda() {
  estado_ = EstadoTela::Livre;
  // 1: the empty sale, its event, partner and volumes.
  if (venda_.Limpa_Venda() != 1) falha_facade("Erro ao limpar venda.|");
  venda_.Limpa_Evento_Venda();
  venda_.Limpa_Parceiro_Venda();
  venda_.Set_Dados_Volume({});
  campos_ = CamposVenda{};
  tela_ = TelaFechamento{};
  partes_->set_carregando(false);
  importacao_->nova_venda();
  recarga_->limpa();
  comissoes_ = {};
  sinais_pagos_ = false;
  // 2: status and the maximum discount.
  desconto_->nova_venda();
  // 3: freight modality, exit and issue dates.
  partes_->tipo_frete(valores_.I_PAR_TIPO_FRETE_PADRAO);
  datas(today(), today());
  // The purpose field starts at "CONSUMO", the sale to the final consumer.
  if (venda_.Set_Finalidade_Operacao(1) != 1) falha_facade("Erro ao setar finalidade da operação.|", "Erro");
  // 4-13: company, emitter, conditions, banks, operation, payees, customer,
  // carrier, price table, seller. The banks come before the emitter: a
  // change of emitter reloads the payees of its series, which name banks.
  partes_->empresa();
  partes_->bancos();
  partes_->emissor(valores_.I_PAR_EMISSOR_PADRAO_NFCE);
  partes_->condicoes_pagamento();
  partes_->operacao(valores_.NAT_PADRAO);
  partes_->favorecidos();
  partes_->cliente(valores_.CLI_PADRA);
  if (valores_.TRANSP != 0) partes_->transportadora(valores_.TRANSP);
  partes_->tipo_frete(valores_.I_PAR_TIPO_FRETE_PADRAO);
  entrada_->nova_venda();
  partes_->vendedor(valores_.VEN_PADRA);
  // 14: refresh.
  refresca();
  // 15: the start-of-sale prompts, in the order their parameters give;
  // none while an order or an invoice is being loaded into the new sale.
  if (carregando_) return;
  for (int passo = 1; passo <= 3; ++passo) {
    int aplicado = 1;
    if (valores_.I_PAR_SELECIONA_CLIENTE_INICIO_VENDA == passo) aplicado = escolhe(Busca::Cliente);
    if (aplicado != 0 && valores_.I_PAR_SELECIONA_TELA_PADORES_INICIO_VENDA == passo) {
      aplicado = escolhe(Busca::Emissor);
    }
    if (aplicado != 0 && valores_.I_PAR_SELECIONA_VENDEDOR_INICIO_VENDA == passo) {
      aplicado = escolhe(Busca::Vendedor);
    }
    if (aplicado == 0) break;
  }
  // 16: the generic consumer's CPF or CNPJ.
  pergunta_consumidor();
  refresca();
}

int NotaPadraoNfcePresenter::pergunta_consumidor() {
  if (!partes_->consumidor()) return 0;
  if (ui_.message("Deseja incluir o CPF/CNPJ ao cliente consumidor?", kAviso, MessageIcon::Question, "&Sim|&Não", 2) !=
      1) {
    return 0;
  }
  return identificacao_consumidor();
}

int NotaPadraoNfcePresenter::identificacao_consumidor() {
  IdentificacaoConsumidor consumidor = tela_.consumidor;
  if (janelas_.CPF_CNPJ_OPCIONAL(consumidor) != 1) return 0;
  tela_.consumidor = std::move(consumidor);
  return 1;
}

void NotaPadraoNfcePresenter::refresca() {
  campos_.operacao = venda_.OPERACAO.CODIGO;
  campos_.emissor = venda_.EMISSOR.CODIGO;
  campos_.cliente = venda_.CLIENTE.CODIGO;
  campos_.vendedor = venda_.VENDEDOR.CODIGO;
  campos_.transportadora = venda_.TRANSPORTADORA.CODIGO_TRANSPORTADORA;
  campos_.tipo_frete = venda_.TIPO_FRETE;
  campos_.finalidade = venda_.FINALIDADE_OPERACAO != 0 ? venda_.FINALIDADE_OPERACAO : campos_.finalidade;
  campos_.data_emissao = venda_.Get_Data_Emissao();
  campos_.data_saida = venda_.Get_Data_Saida();
  campos_.perc_desconto = desconto_->perc();
  campos_.desconto = desconto_->valor_desconto();
  campos_.despesas = venda_.Get_Desp_Acessorias_Venda();
  campos_.seguro = venda_.Get_Seguro_Venda();
  campos_.frete = venda_.Get_Frete_Venda();
  campos_.parceria = venda_.PARCEIRO.CODIGO;
  campos_.evento = venda_.EVENTO.CODIGO;
  if (estado_ == EstadoTela::Livre || estado_ == EstadoTela::EmAndamento) {
    estado_ = quantidade_itens() > 0 ? EstadoTela::EmAndamento : EstadoTela::Livre;
  }
}

int NotaPadraoNfcePresenter::falha_facade(std::string_view contexto, std::string_view titulo) {
  ui_.message(std::string{contexto} + venda_.display(), titulo, MessageIcon::Error);
  return 0;
}

bool NotaPadraoNfcePresenter::depois_do_primeiro_item(std::string_view mensagem) {
  if (quantidade_itens() == 0) return false;
  ui_.message(mensagem, kAviso, MessageIcon::Exclamation);
  return true;
}

// ---- Accepted fields ----

int NotaPadraoNfcePresenter::codigo_produto(std::string_view codigo) {
  const int vendido = entrada_->vende_codigo(codigo, campos_.quantidade);
  if (vendido == 1) {
    campos_.quantidade = 1;  // the quantity field serves the next item only
    desconto_->reaplica();   // a percentage (the customer's too) follows the items' total
  }
  refresca();
  return vendido;
}

int NotaPadraoNfcePresenter::quantidade(double quantidade) {
  // The field's picture holds 11 positions; what does not fit, is not
  // positive or is not a number is refused and the field keeps its value.
  if (!(quantidade > 0) || quantidade >= 1e7) {
    ui_.message("Quantidade inválida.|Informe uma quantidade maior que zero e menor que 10.000.000.", kAviso,
                MessageIcon::Exclamation);
    return 0;
  }
  campos_.quantidade = quantidade;
  return 1;
}

int NotaPadraoNfcePresenter::perc_desconto(double percentual) {
  const int r = desconto_->percentual(percentual);
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::desconto(double valor) {
  const int r = desconto_->valor(valor);
  refresca();
  return r;
}

// A sale-level value through its facade setter; the consumer limits refuse a
// value that takes the sale past them, and the previous value comes back.
int NotaPadraoNfcePresenter::aplica_valor(double valor, int (sale::CLASSE_VENDA::*setter)(double),
                                          std::string_view contexto) {
  const double antes = setter == &sale::CLASSE_VENDA::Set_Desp_Acessorias_Venda ? venda_.Get_Desp_Acessorias_Venda()
                       : setter == &sale::CLASSE_VENDA::Set_Seguro_Venda        ? venda_.Get_Seguro_Venda()
                                                                                : venda_.Get_Frete_Venda();
  if ((venda_.*setter)(valor) != 1) {
    falha_facade(contexto);
    refresca();
    return 0;
  }
  if (!limites_consumidor()) {
    (venda_.*setter)(antes);
    refresca();
    return 0;
  }
  refresca();
  return 1;
}

int NotaPadraoNfcePresenter::perc_despesas(double percentual) {
  // The percentage applies to the items' net total, as the discount's does.
  const double valor = round_to(venda_.Get_Total_Liquido_Itens() * percentual / 100.0, 2);
  const int r =
      aplica_valor(valor, &sale::CLASSE_VENDA::Set_Desp_Acessorias_Venda, "Erro ao setar despesas acessórias.|");
  if (r == 1) campos_.perc_despesas = percentual;
  return r;
}

int NotaPadraoNfcePresenter::despesas(double valor) {
  const int r =
      aplica_valor(valor, &sale::CLASSE_VENDA::Set_Desp_Acessorias_Venda, "Erro ao setar despesas acessórias.|");
  if (r == 1) {
    const double itens = venda_.Get_Total_Liquido_Itens();
    campos_.perc_despesas = itens > 0 ? round_to(valor * 100.0 / itens, 2) : 0;
  }
  return r;
}

int NotaPadraoNfcePresenter::seguro(double valor) {
  return aplica_valor(valor, &sale::CLASSE_VENDA::Set_Seguro_Venda, "Erro ao setar seguro.|");
}

int NotaPadraoNfcePresenter::frete(double valor) {
  return aplica_valor(valor, &sale::CLASSE_VENDA::Set_Frete_Venda, "Erro ao setar frete.|");
}

int NotaPadraoNfcePresenter::finalidade(std::int32_t finalidade) {
  if (venda_.Set_Finalidade_Operacao(finalidade) != 1) {
    ui_.message("Erro ao setar finalidade da operação.|" + venda_.display(), "Erro", MessageIcon::Error);
    refresca();
    return 0;
  }
  campos_.finalidade = finalidade;
  refresca();
  return 1;
}

int NotaPadraoNfcePresenter::datas(Date saida, Date emissao) {
  if (saida != 0 && emissao != 0 && saida < emissao) {
    ui_.message("Data de saída não pode ser menor que a data da emissão.", kAviso, MessageIcon::Exclamation);
    return 0;
  }
  if (venda_.Set_Data_Emissao(emissao) != 1) return falha_facade("Erro ao Setar data de Emissão |");
  if (venda_.Set_Data_Saida(saida) != 1) return falha_facade("Erro ao Setar data de Saída |");
  return 1;
}

int NotaPadraoNfcePresenter::data_saida(Date data) {
  const int r = datas(data, venda_.Get_Data_Emissao());
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::data_emissao(Date data) {
  const int r = datas(venda_.Get_Data_Saida(), data);
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::operacao(std::int32_t codigo) {
  const int r = partes_->operacao(codigo);
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::emissor(std::int32_t codigo) {
  const int r = partes_->emissor(codigo);
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::cliente(std::int32_t codigo) {
  const int r = partes_->cliente(codigo);
  if (r == 1 && !partes_->consumidor()) tela_.consumidor = {};
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::vendedor(std::int32_t codigo) {
  const int r = partes_->vendedor(codigo);
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::transportadora(std::int32_t codigo) {
  const int r = partes_->transportadora(codigo);
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::tipo_frete(std::int32_t modalidade) {
  const int r = partes_->tipo_frete(modalidade);
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::volumes(const sale::GRUPO_VOLUME& volume) {
  const int r = partes_->volumes(volume);
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::parceria(std::int32_t codigo) {
  const int r = partes_->parceiro(codigo);
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::evento(std::int32_t codigo) {
  const int r = partes_->evento(codigo);
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::tabela(std::int32_t tabela) {
  const int r = entrada_->escolhe_tabela(tabela);
  if (r == 1 && quantidade_itens() > 0) desconto_->zera();
  refresca();
  return r;
}

void NotaPadraoNfcePresenter::observacoes(std::string nota, std::string pedido) {
  campos_.observacoes_nota = std::move(nota);
  campos_.observacoes_pedido = std::move(pedido);
}

// ---- Browses ----

// Opens the browse and applies the chosen code: 1 applied, 0 refused, -1
// nothing chosen.
int NotaPadraoNfcePresenter::escolhe(Busca busca) {
  PassthroughTable tabela("BROWSE", estacao_.contexto.conexao);
  const Browse b = [&] {
    switch (busca) {
      case Busca::Operacao: return BROWSE_OPERACAO_VENDA(valores_.OPERADOR);
      case Busca::Emissor: return BROWSE_SERIE_PERMITIDAS(valores_.COD_EMPR, valores_.OPERADOR, 1);
      case Busca::Cliente: return browse_clientes();
      case Busca::Vendedor: return browse_vendedores(valores_.COD_EMPR);
      case Busca::Transportadora: return browse_transportadoras();
      case Busca::Parceria: return browse_parceiros();
      case Busca::Evento: return browse_eventos();
    }
    return browse_clientes();
  }();
  const auto codigo = codigo_escolhido(pick_browse(ui_, tabela, b));
  if (!codigo) return -1;
  switch (busca) {
    case Busca::Operacao: return operacao(*codigo);
    case Busca::Emissor: return emissor(*codigo);
    case Busca::Cliente: return cliente(*codigo);
    case Busca::Vendedor: return vendedor(*codigo);
    case Busca::Transportadora: return transportadora(*codigo);
    case Busca::Parceria: return parceria(*codigo);
    case Busca::Evento: return evento(*codigo);
  }
  return 0;
}

int NotaPadraoNfcePresenter::busca(Busca busca) { return escolhe(busca) == 1 ? 1 : 0; }

// ---- Keys ----

int NotaPadraoNfcePresenter::tecla(TeclaVenda tecla) {
  if (estado_ == EstadoTela::Fechada || estado_ == EstadoTela::Pagando) return 0;
  int r = 0;
  switch (tecla) {
    case TeclaVenda::CtrlF2: r = desconto_->libera(); break;
    case TeclaVenda::AltF5: return pagamento_rapido();
    case TeclaVenda::F5: return pagamento();
    case TeclaVenda::Sair: return sair();
    case TeclaVenda::ShiftC: r = cadastro_cliente(); break;
    case TeclaVenda::F2: r = lista_precos(); break;
    case TeclaVenda::F4: r = opcoes(); break;
    case TeclaVenda::F6: {
      const std::vector<TabelaPreco> tabelas = entrada_->tabelas_permitidas();
      if (tabelas.empty()) break;
      PickListRequest pedido;
      pedido.title = "Tabelas de Preço";
      pedido.columns = {"Tabela"};
      for (std::size_t i = 0; i < tabelas.size(); ++i) {
        pedido.rows.push_back({tabelas[i].nome});
        if (tabelas[i].codigo == entrada_->tabela()) pedido.default_row = static_cast<int>(i) + 1;
      }
      const int escolhida = ui_.pick_list(pedido);
      if (escolhida >= 1 && escolhida <= static_cast<int>(tabelas.size())) {
        r = tabela(tabelas[static_cast<std::size_t>(escolhida) - 1].codigo);
      }
      break;
    }
    case TeclaVenda::F7: r = escolhe(Busca::Vendedor) == 1 ? 1 : 0; break;
    case TeclaVenda::F8: r = escolhe(Busca::Cliente) == 1 ? 1 : 0; break;
    case TeclaVenda::AltO:
      if (depois_do_primeiro_item("Não é possível carregar uma OS após o início da venda de itens.")) break;
      r = carrega_ordens();
      break;
    case TeclaVenda::ShiftN:
      if (!partes_->consumidor()) {
        ui_.message("Inclusão de CPF/CNPJ só poderá ser realizada para clientes com nome CONSUMIDOR.",
                    "Aviso do sistema", MessageIcon::Exclamation);
        break;
      }
      r = identificacao_consumidor();
      break;
    case TeclaVenda::ShiftP: r = consulta_preco(); break;
  }
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::sair() {
  if (ui_.message("Deseja realmente sair do emissor de nota fiscal?|Todas as informações serão descartadas e a "
                  "nota cancelada.",
                  kAviso, MessageIcon::Question, "&Sim|&Não") != 1) {
    return 0;
  }
  if (venda_.Limpa_Venda() != 1) return falha_facade("Erro ao limpar venda.|");
  estado_ = EstadoTela::Fechada;
  return 1;
}

int NotaPadraoNfcePresenter::cadastro_cliente() {
  if (depois_do_primeiro_item("Não é possível alterar o cliente após o início da venda de itens.")) return 0;
  if (valores_.CADASTRA_CLIENTE == 0) {
    ui_.message("Usuário não possui permissão para cadastrar clientes.", kAviso, MessageIcon::Exclamation);
    return escolhe(Busca::Cliente) == 1 ? 1 : 0;
  }
  const std::int32_t codigo = janelas_.CADASTRO_CONSUMIDOR_SIMPLIFICADO();
  return codigo > 0 ? cliente(codigo) : 0;
}

int NotaPadraoNfcePresenter::lista_precos() {
  PassthroughTable tabela("LISTA_DE_PRECOS", estacao_.contexto.conexao);
  const Browse lista = valores_.I_PAR_TIPO_LISTA_PRECO == 1 ? LISTA_DE_PRECOS_2()
                                                            : LISTA_DE_PRECOS(entrada_->tabela(), valores_.COD_EMPR);
  const auto produto = codigo_escolhido(pick_browse(ui_, tabela, lista));
  if (!produto) return 0;
  const int r = entrada_->vende_produto(*produto, campos_.quantidade);
  if (r == 1) {
    campos_.quantidade = 1;
    desconto_->reaplica();
  }
  refresca();
  return r;
}

int NotaPadraoNfcePresenter::consulta_preco() {
  PassthroughTable tabela("CONSULTA_PRECO", estacao_.contexto.conexao);
  return pick_browse(ui_, tabela, TELA_CONSULTA_PRECO(entrada_->tabela(), valores_.COD_EMPR)) ? 1 : 0;
}

// ---- What the window shows ----

std::int32_t NotaPadraoNfcePresenter::quantidade_itens() const {
  return static_cast<std::int32_t>(venda_.ITEM->ITENS.records());
}

const sale::QUEUE_ITEM& NotaPadraoNfcePresenter::item(std::int32_t n) const {
  if (n < 1 || n > quantidade_itens()) return kItemVazio;
  return venda_.ITEM->ITENS.at(static_cast<std::size_t>(n));
}

std::string NotaPadraoNfcePresenter::status() const { return totais().itens > 0 ? "Venda em andamento" : "PDV Livre"; }

TotaisTela NotaPadraoNfcePresenter::totais() const {
  TotaisTela t;
  const std::int32_t n = quantidade_itens();
  for (std::int32_t i = 1; i <= n; ++i) {
    const sale::QUEUE_ITEM& it = venda_.ITEM->ITENS.at(static_cast<std::size_t>(i));
    if (it.CANCELADO != 0) continue;
    ++t.itens;
    t.quantidade += it.QUANTIDADE;
  }
  t.quantidade = round_to(t.quantidade, 4);
  t.total = venda_.Get_Total_Liquido();
  t.produtos = venda_.Get_Total_Bruto();
  t.subtotal = venda_.Get_Total_Liquido_Itens();
  t.base_icms = venda_.Get_Valor_BC_ICMS();
  t.icms = venda_.Get_Valor_ICMS();
  t.base_icms_st = venda_.Get_Valor_BC_ICMS_ST();
  t.icms_st = venda_.Get_Valor_ICMS_ST();
  t.ipi = venda_.Get_Valor_IPI();
  t.pis = venda_.Get_Valor_PIS();
  t.cofins = venda_.Get_Valor_COFINS();
  return t;
}

std::string NotaPadraoNfcePresenter::descricao_operacao() const { return partes_->descricao_operacao(); }
std::string NotaPadraoNfcePresenter::descricao_emissor() const { return partes_->descricao_emissor(); }
std::string NotaPadraoNfcePresenter::nome_cliente() const { return partes_->nome_cliente(); }
std::string NotaPadraoNfcePresenter::nome_vendedor() const { return partes_->nome_vendedor(); }
std::string NotaPadraoNfcePresenter::nome_tabela() const { return entrada_->nome_tabela(); }
double NotaPadraoNfcePresenter::desconto_maximo() const { return desconto_->maximo(); }

std::vector<std::string> NotaPadraoNfcePresenter::barra_status(Date data, Time hora) const {
  return {format_picture(data, "d06") + " " + format_picture(hora, "t04"),
          "USUÁRIO: " + std::to_string(valores_.OPERADOR) + " - " + valores_.NOME_USUARIO,
          "CAIXA: " + format_picture(estacao_.conta_caixa, "N03"),
          "EMPRESA: " + std::to_string(valores_.COD_EMPR) + " - " + valores_.EMPRESA};
}

std::string NotaPadraoNfcePresenter::picture_quantidade() const {
  return valores_.I_PAR_QTD_CASAS_QTD_VENDA == 4 ? "@n11`4" : "@n11`3";
}

std::string NotaPadraoNfcePresenter::picture_preco() const {
  const int casas = valores_.I_PAR_CASAS_DECI_VENDA;
  return "@n14`" + std::to_string(casas == 3 || casas == 4 ? casas : 2);
}

std::optional<double> NotaPadraoNfcePresenter::numero(std::string_view texto, std::string_view picture) {
  std::optional<double> valor = deformat_picture(texto, picture);
  if (!valor || !std::isfinite(*valor)) {
    ui_.message("Valor inválido: \"" + std::string{texto} + "\".|Informe um número, com vírgula para os decimais.",
                kAviso, MessageIcon::Exclamation);
    return std::nullopt;
  }
  return valor;
}

// The consumer-invoice limits: a sale to the generic consumer above
// 10000.00 needs an identified customer (the cashier is asked for one), and
// no sale may pass 200000.00.
bool NotaPadraoNfcePresenter::limites_consumidor() {
  const double total = venda_.Get_Total_Liquido();
  if (partes_->consumidor() && total > kLimiteConsumidor) {
    ui_.message(
        "Para nota fiscal ao consumidor com valor acima de R$ 10.000,00 o cadastro do cliente deve estar "
        "completo.|Por favor, escolha um cliente que não seja consumidor.",
        "Aviso do sistema", MessageIcon::Exclamation);
    // The customer may change here even after the first item: otherwise the
    // sale could never be paid.
    PassthroughTable tabela("BROWSE", estacao_.contexto.conexao);
    const auto codigo = codigo_escolhido(pick_browse(ui_, tabela, browse_clientes()));
    if (!codigo || partes_->cliente_acima_limite(*codigo) != 1 || partes_->consumidor()) return false;
  }
  if (venda_.Get_Total_Liquido() > kLimiteNotaConsumidor) {
    ui_.message("Nota fiscal ao consumidor não deve possuir valor superior a R$ 200.000,00.", "Aviso do sistema",
                MessageIcon::Exclamation);
    return false;
  }
  return true;
}

}  // namespace fvn
