#include "screens/importacao_pedidos.h"

#include <cmath>
#include <string_view>
#include <utility>

#include "data/passthrough_table.h"
#include "data/record_columns.h"
#include "data/sql_values.h"
#include "runtime/clock.h"
#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/text.h"
#include "screens/browses.h"
#include "screens/entrada_item.h"
#include "screens/gravacao_venda_linhas.h"
#include "screens/partes_venda.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do Sistema";
constexpr std::string_view kErro = "Erro";
constexpr std::string_view kErroBanco = "Erro!";

// The header of one order, as the loads read it.
struct Pedido {
  std::int32_t codigo = 0;
  std::int32_t cliente = 0;
  std::int32_t condicao = 0;
  std::int32_t vendedor = 0;
  std::int32_t transportadora = 0;
  std::int32_t parceiro = 0;
  std::int32_t evento = 0;
  std::int32_t finalidade = 1;
  std::int32_t modalidade_frete = 9;
  double desconto = 0;
  double acrescimo = 0;
  double despesas = 0;
  double frete = 0;
  double juro = 0;
  std::int32_t faturado_por = 0;  // i_pdi_ide_asaidas, 0 when free
  std::int32_t quebra = 0;
};

const RecordColumns<Pedido>& colunas_pedido() {
  static const RecordColumns<Pedido> colunas = {
      {"i_pdi_codigo", &Pedido::codigo},
      {"i_pdi_codigo_cli", &Pedido::cliente},
      {"coalesce(i_pdi_codigo_tfo, 0)", &Pedido::condicao},
      {"coalesce(i_pdi_codigo_tve, 0)", &Pedido::vendedor},
      {"coalesce(i_pdi_codigo_tra, 0)", &Pedido::transportadora},
      {"coalesce(i_pdi_codigo_prc, 0)", &Pedido::parceiro},
      {"coalesce(i_pdi_codigo_eve, 0)", &Pedido::evento},
      {"i_pdi_finalidade", &Pedido::finalidade},
      {"i_pdi_modalidade_frete", &Pedido::modalidade_frete},
      {"n_pdi_valor_desconto", &Pedido::desconto},
      {"n_pdi_valor_acrescimo", &Pedido::acrescimo},
      {"n_pdi_valor_despesas", &Pedido::despesas},
      {"n_pdi_valor_frete", &Pedido::frete},
      {"n_pdi_perc_juro", &Pedido::juro},
      {"coalesce(i_pdi_ide_asaidas, 0)", &Pedido::faturado_por},
      {"i_pdi_tipo_quebra", &Pedido::quebra},
  };
  return colunas;
}

// A line of an order, with its place among all the order's lines.
struct LinhaLida {
  std::int32_t codigo = 0;
  std::int32_t numero = 0;
  std::int32_t produto = 0;
  double quantidade = 0;
  double unitario = 0;
  double desconto = 0;
  double acrescimo = 0;
  std::string descricao;
  double a_faturar = 0;
  double pendente = 0;
};

// An installment of an order, with the order's terms on each row.
struct ParcelaPedido {
  std::int32_t numero = 0;
  Date vencimento = 0;
  double valor = 0;
  double valor_entrada = 0;
  std::int32_t dias = 0;
  std::int32_t mesmo_dia = 0;
  std::int32_t primeira = 0;  // days from today to the first installment
  Date data_primeira = 0;
  double juro = 0;
  std::int32_t tipo_juro = 0;
  double total = 0;  // the installments' sum
};

const RecordColumns<ParcelaPedido>& colunas_parcela() {
  using P = ParcelaPedido;
  static const RecordColumns<ParcelaPedido> colunas = {
      {"i_dpe_numero_duplicata", &P::numero},
      RecordColumn<P>::day("d_dpe_data_vencimento", &P::vencimento),
      {"n_dpe_valor", &P::valor},
      {"n_pdi_valor_entrada", &P::valor_entrada},
      {"i_pdi_dias_prestacao", &P::dias},
      {"i_pdi_venc_mesmo_dia", &P::mesmo_dia},
      {"(select d_dpe_data_vencimento from duplicata_pedido where i_dpe_codigo_pdi = i_pdi_codigo and "
       "i_dpe_numero_duplicata = 1 ) - current_date",
       &P::primeira},
      RecordColumn<P>::day("coalesce(d_pdi_data_primeira_prest, (select d_dpe_data_vencimento from duplicata_pedido "
                           "where i_dpe_codigo_pdi = i_pdi_codigo and i_dpe_numero_duplicata = 1 ))",
                           &P::data_primeira),
      {"n_pdi_perc_juro", &P::juro},
      {"i_pdi_tipo_juro", &P::tipo_juro},
      {"(Select sum ( n_dpe_valor ) from duplicata_pedido where i_dpe_codigo_pdi = i_pdi_codigo)", &P::total},
  };
  return colunas;
}

const RecordColumns<LinhaLida>& colunas_linha() {
  static const RecordColumns<LinhaLida> colunas = {
      {"i_ipe_codigo", &LinhaLida::codigo},
      {"numero", &LinhaLida::numero},
      {"i_ipe_codigo_apr", &LinhaLida::produto},
      {"n_ipe_quantidade", &LinhaLida::quantidade},
      {"n_ipe_valor_unitario", &LinhaLida::unitario},
      {"n_ipe_valor_desconto", &LinhaLida::desconto},
      {"n_ipe_valor_acrescimo", &LinhaLida::acrescimo},
      {"s_ipe_desc_produto", &LinhaLida::descricao, 300},
      {"coalesce(n_ipe_qtd_afaturar, 0)", &LinhaLida::a_faturar},
      {"coalesce(n_ipe_qtd_pendente, 0)", &LinhaLida::pendente},
  };
  return colunas;
}

// A service order and one of its product lines.
struct Ordem {
  std::int32_t codigo = 0;
  std::int32_t cliente = 0;
  std::int32_t faturada_por = 0;
};

const RecordColumns<Ordem>& colunas_ordem() {
  static const RecordColumns<Ordem> colunas = {
      {"CideOrd", &Ordem::codigo},
      {"i_aor_codigo_cli", &Ordem::cliente},
      {"coalesce(ide_asaidas, 0)", &Ordem::faturada_por},
  };
  return colunas;
}

struct LinhaOrdem {
  std::int32_t ordem = 0;
  std::int32_t produto = 0;
  double quantidade = 0;
  double unitario = 0;
};

const RecordColumns<LinhaOrdem>& colunas_linha_ordem() {
  static const RecordColumns<LinhaOrdem> colunas = {
      {"ide_aordem", &LinhaOrdem::ordem},
      {"coalesce(CCodProduto, 0)", &LinhaOrdem::produto},
      {"qtd_pro_hisordem", &LinhaOrdem::quantidade},
      {"val_uni_hisordem", &LinhaOrdem::unitario},
  };
  return colunas;
}

}  // namespace

struct ImportacaoPedidos::Estado {
  Estado(HostUi& u, std::string c, const ModuleValues& v, sale::CLASSE_VENDA& s, PartesVenda& p, EntradaItem& e)
      : ui(u), valores(v), venda(s), partes(p), entrada(e), tabela("IMPORTACAO_PEDIDOS", std::move(c)) {}

  HostUi& ui;
  const ModuleValues& valores;
  sale::CLASSE_VENDA& venda;
  PartesVenda& partes;
  EntradaItem& entrada;
  PassthroughTable tabela;
  std::function<bool()> limites;
  CargaPedidos carga;

  int aviso(std::string_view texto, std::string_view titulo = kAviso) {
    ui.message(texto, titulo);
    return 0;
  }
  int falha_banco(std::string_view contexto) { return aviso(tabela.error_text(contexto), kErroBanco); }
  // A facade refusal: `contexto` + "Retorno: …|Erro: …|Função: …".
  int falha_venda(std::string_view contexto) { return aviso(std::string{contexto} + venda.display(), kErro); }

  int vazia(std::string_view recusa) {
    if (venda.Get_Quantidade_Itens() == 0) return 1;
    return aviso(recusa);
  }
  int le_pedidos(const std::vector<std::int32_t>& codigos, std::vector<Pedido>& pedidos, std::string_view falha,
                 std::string_view nenhum);
  int cliente(std::int32_t cliente, bool pergunta);
  int linhas(std::int32_t pedido);
  int totais(double frete, double desconto, double acrescimo, double despesas, std::string_view desconto_alto,
             bool igual_recusa);
  int pagamento(const Pedido& p);
  int prestacoes(std::int32_t pedido);
  std::string ids_ordens() const { return sql_integer_list(carga.ordens_servico); }
  std::vector<std::int32_t> escolhe(Browse browse, std::string_view origem, std::string_view coluna,
                                    std::string_view coluna_cliente);
};

// The orders `codigos`, every one found and none invoiced yet. 1 read; 0
// after a message.
int ImportacaoPedidos::Estado::le_pedidos(const std::vector<std::int32_t>& codigos, std::vector<Pedido>& pedidos,
                                          std::string_view falha, std::string_view nenhum) {
  if (codigos.empty()) return aviso(nenhum);
  if (tabela.open() != 1 ||
      select_records(tabela, colunas_pedido(),
                     " from pedidos where i_pdi_codigo in (" + sql_integer_list(codigos) + ") order by i_pdi_codigo;",
                     pedidos) != 1) {
    return falha_banco(falha);
  }
  tabela.close();
  if (pedidos.empty()) return aviso(nenhum);
  for (const std::int32_t codigo : codigos) {
    bool achou = false;
    for (const Pedido& lido : pedidos) achou = achou || lido.codigo == codigo;
    if (!achou) return aviso("Pedido " + std::to_string(codigo) + " não encontrado.");
  }
  for (const Pedido& lido : pedidos) {
    if (lido.faturado_por != 0) {
      return aviso("O pedido " + std::to_string(lido.codigo) + " já foi faturado pela venda " +
                   std::to_string(lido.faturado_por) + ".|Não pode ser importado duas vezes.");
    }
  }
  return 1;
}

// The order's customer, or the one the cashier picks instead when the
// parameter allows a change; through the customer checks of the parties.
int ImportacaoPedidos::Estado::cliente(std::int32_t codigo, bool pergunta) {
  std::int32_t escolhido = codigo;
  if (pergunta && valores.I_PAR_TROCA_CLIENTE_CARGA_PED == 1 &&
      ui.message("Deseja alterar o cliente do pedido?", kAviso, MessageIcon::Question, "&Sim|&Não", 1) == 1) {
    if (tabela.open() == 1) {
      if (const auto outro = pick_browse(ui, tabela, browse_clientes())) {
        escolhido = como_inteiro(*outro).value_or(codigo);
      }
    }
  }
  if (partes.cliente(escolhido) != 1) {
    return aviso("Erro ao carregar cliente do pedido. Por favor, verifique o cadastro de cliente.");
  }
  carga.cliente_alterado = carga.cliente_alterado || escolhido != codigo;
  return 1;
}

// The lines of `pedido` with something pending or to invoice, in line
// order, sold through the item entry. The line number is its place among
// all the order's lines. A line blocked by negative stock stays pending.
int ImportacaoPedidos::Estado::linhas(std::int32_t pedido) {
  std::vector<LinhaLida> lidas;
  if (tabela.open() != 1 ||
      select_records(tabela, colunas_linha(),
                     " from (select *, row_number() over (order by i_ipe_codigo)::integer as numero from itens_pedidos "
                     "where i_ipe_codigo_pdi = " +
                         sql_integer(pedido) +
                         ") as linhas where Coalesce ( n_ipe_qtd_pendente , 0 ) > 0 or Coalesce ( n_ipe_qtd_afaturar , "
                         "0 ) > 0 order by i_ipe_codigo;",
                     lidas) != 1) {
    return falha_banco("Erro ao consultar tabela itens_pedido.|Erro: ");
  }
  tabela.close();
  for (const LinhaLida& lida : lidas) {
    LinhaPedido linha;
    linha.produto = lida.produto;
    linha.quantidade = lida.a_faturar > 0 ? lida.a_faturar : lida.pendente;
    linha.unitario = lida.unitario;
    // The order's discount and surcharge are for the whole line: a part of
    // it takes its share.
    const double parte = lida.quantidade > 0 ? std::min(1.0, linha.quantidade / lida.quantidade) : 1.0;
    linha.desconto = round_to(lida.desconto * parte, 2);
    linha.acrescimo = round_to(lida.acrescimo * parte, 2);
    linha.descricao = lida.descricao;
    linha.pedido = std::to_string(pedido);
    linha.item_pedido = lida.numero;
    const int vendida = entrada.vende_linha_pedido(linha);
    if (vendida == 0) return 0;
    if (vendida == 2) carga.pendentes.push_back(std::to_string(pedido) + "/" + std::to_string(lida.numero));
  }
  return 1;
}

// Freight, discount (checked against the items' total), surcharge and
// expenses, then the consumer limits.
int ImportacaoPedidos::Estado::totais(double frete, double desconto, double acrescimo, double despesas,
                                      std::string_view desconto_alto, bool igual_recusa) {
  if (venda.Set_Frete_Venda(round_to(frete, 2)) != 1) return falha_venda("Erro ao setar frete.|");
  if (venda.Calcula_Tot() != 1) return falha_venda("Erro em Calcula_Total_Venda|");
  const double itens = round_to(venda.Get_Total_Liquido_Itens(), 2);
  const double d = round_to(desconto, 2);
  if (d > itens || (igual_recusa && d > 0 && d >= itens)) return aviso(desconto_alto);
  if (venda.Set_Desconto_Venda(d) != 1) return falha_venda("Erro ao setar valor de desconto no total da venda.|");
  if (venda.Set_Acrescimo_Venda(round_to(acrescimo, 2)) != 1) {
    return falha_venda("Erro ao setar valor de acréscimo no total da venda.|");
  }
  if (venda.Set_Desp_Acessorias_Venda(round_to(despesas, 2)) != 1) {
    return falha_venda("Erro ao setar despesas acessórias.|");
  }
  if (limites && !limites()) return 0;
  return 1;
}

// The order's payment condition and interest; a credit condition takes the
// order's installments and down payment over.
int ImportacaoPedidos::Estado::pagamento(const Pedido& p) {
  std::int32_t condicao = 0;
  std::int32_t tipo = 0;
  tabela.clear_fields();
  tabela.bind_long(condicao).bind_long(tipo);
  if (tabela.open() != 1 ||
      tabela.execute("Select coalesce(i_pdi_codigo_tfo, 0), coalesce(ctipformapagto, 0) from pedidos left join "
                     "tformapagto on i_pdi_codigo_tfo = ccodformapgto where i_pdi_codigo = " +
                     sql_integer(p.codigo) + " order by i_pdi_codigo;") != 1) {
    return falha_banco("Erro ao consultar tabela pedidos.|Erro: ");
  }
  if (tabela.next() != 1) return aviso("Nenhum registro foi encontrado na tabela de PEDIDOS.");
  tabela.close();
  if (condicao == 0) return 1;  // the cashier chooses it at payment
  // The order's rounding of the installments, or the company's.
  if (venda.Set_Quebra(p.quebra >= 1 && p.quebra <= 4 ? p.quebra : valores.tipo_quebra()) != 1) {
    return falha_venda("Erro ao setar tipo de quebra padrão.|");
  }
  if (venda.Set_Condicao_Pagamento(condicao) != 1) {
    return falha_venda("Erro ao setar condição de pagamento na venda.|");
  }
  if (tipo != 2) return 1;  // a cash condition has no installments
  if (venda.Set_Juro(p.juro) != 1) return falha_venda("Erro ao setar o juro.|");
  if (venda.Calcula_Parcelas() != 1) return falha_venda("Erro ao calcular parcelas.|");
  return prestacoes(p.codigo);
}

// The order's installments (duplicata_pedido) into the sale's plan: the
// plan's properties in the order's terms, then its values and due dates.
int ImportacaoPedidos::Estado::prestacoes(std::int32_t pedido) {
  std::vector<ParcelaPedido> parcelas;
  if (tabela.open() != 1 ||
      select_records(tabela, colunas_parcela(),
                     " from duplicata_pedido inner join pedidos on i_pdi_codigo = i_dpe_codigo_pdi where "
                     "i_dpe_codigo_pdi = " +
                         sql_integer(pedido) + " order by i_dpe_numero_duplicata ",
                     parcelas) != 1) {
    return falha_banco("Erro ao consultar tabela duplicata_pedido.|Erro: ");
  }
  tabela.close();
  if (parcelas.empty()) return 1;  // the condition's own plan stays
  // A plan that falls due before today cannot be taken over (the sale's
  // installments start today at the earliest): the condition's plan stays.
  if (parcelas.front().vencimento < today()) {
    aviso("As parcelas do pedido " + std::to_string(pedido) +
          " vencem antes de hoje.|Foram calculadas pela condição de pagamento.");
    return 1;
  }

  // The order's terms, the same on every row.
  const ParcelaPedido& termos = parcelas.front();
  const auto passo = [this](std::string_view mensagem, int resultado) {
    if (resultado == 1) return true;
    aviso(std::string{mensagem} + "|Erro: " + venda.Get_Error() + "|Função: " + venda.Get_Error_Function(), kErro);
    return false;
  };
  if (!passo("Erro ao zerar as prestações. ", venda.Zera_Prestacoes()) ||
      !passo("Erro ao setar valor da entrada. ", venda.Set_Valor_Entrada(termos.valor_entrada)) ||
      !passo("Erro ao setar valor total a parcelar. ", venda.Set_Total_Parcelar(round_to(termos.total, 2))) ||
      !passo("Erro ao setar valor da entrada. ", venda.Set_Valor_Entrada(termos.valor_entrada)) ||
      !passo("Erro ao setar o número de parcelas. ",
             venda.Set_Numero_Parcelas(static_cast<std::int32_t>(parcelas.size()))) ||
      !passo("Erro ao setar o número de dia entre as prestações. ", venda.Set_Dias(termos.dias)) ||
      !passo("Erro ao setar o número de dias para a primeira prestação. ",
             venda.Set_Primeira(std::max(0, termos.primeira))) ||
      !passo("Erro ao setar o juro. ", venda.Set_Juro(termos.juro)) ||
      // An order without an interest type keeps its condition's.
      !passo("Erro ao setar o tipo de juro. ",
             venda.Set_Tipo_Juro(termos.tipo_juro >= 1 && termos.tipo_juro <= 3 ? termos.tipo_juro
                                                                                : venda.Get_Tipo_Juro())) ||
      !passo("Erro ao setar se as prestações serão para o mesmo dia dia do mês. ",
             venda.Set_Dia_Mes(termos.mesmo_dia)) ||
      !passo("Erro ao setar data da primeira parcela. ", venda.Set_Data_Primeira(termos.data_primeira)) ||
      !passo("Erro ao limpar as prestações. ", venda.Limpa_Prestacoes())) {
    return 0;
  }
  for (const ParcelaPedido& p : parcelas) {
    payment::QUEUE_PARCELAS parcela;
    parcela.NUMERO = p.numero;
    parcela.VENCIMENTO = p.vencimento;
    parcela.VALOR = round_to(p.valor, 2);
    if (venda.Adiciona_Prestacao(parcela) != 1) return falha_venda("Erro ao adicionar prestação da Nota.| ");
  }
  return 1;
}

// Repeated picks over `browse` of table `origem`, keyed by `coluna`: each
// lists the rows not chosen yet, of the first row's customer
// (`coluna_cliente`); leaving the list ends it.
std::vector<std::int32_t> ImportacaoPedidos::Estado::escolhe(Browse browse, std::string_view origem,
                                                             std::string_view coluna, std::string_view coluna_cliente) {
  std::vector<std::int32_t> escolhidos;
  const std::string filtro = browse.filter;
  const std::string titulo = browse.title;
  std::string cliente;  // the first row's customer, once chosen
  if (tabela.open() != 1) {
    falha_banco("Erro ao consultar a lista.|");
    return escolhidos;
  }
  while (true) {
    const auto codigo = pick_browse(ui, tabela, browse);
    const auto numero = codigo ? como_inteiro(*codigo) : std::nullopt;
    if (!numero) break;
    escolhidos.push_back(*numero);
    browse.title = titulo + " - escolhidos: " + lista(escolhidos, ", ");
    if (escolhidos.size() == 1) {
      // The browse closed the table behind it.
      tabela.clear_fields();
      if (tabela.open() != 1 ||
          tabela.execute("select " + std::string{coluna_cliente} + " from " + std::string{origem} + " where " +
                         std::string{coluna} + " = " + sql_integer(*numero)) != 1 ||
          tabela.next() != 1) {
        falha_banco("Erro ao consultar a lista.|");
        return {};
      }
      cliente = " and " + std::string{coluna_cliente} + " = " + sql_integer(como_inteiro(tabela.value(0)).value_or(0));
    }
    browse.filter = filtro + cliente + " and " + std::string{coluna} + " not in (" + sql_integer_list(escolhidos) + ")";
  }
  tabela.close();
  return escolhidos;
}

ImportacaoPedidos::ImportacaoPedidos(HostUi& ui, std::string connection, const ModuleValues& valores,
                                     sale::CLASSE_VENDA& venda, PartesVenda& partes, EntradaItem& entrada)
    : estado_(std::make_unique<Estado>(ui, std::move(connection), valores, venda, partes, entrada)) {}

ImportacaoPedidos::~ImportacaoPedidos() = default;

void ImportacaoPedidos::set_limites(std::function<bool()> limites) { estado_->limites = std::move(limites); }

void ImportacaoPedidos::nova_venda() { estado_->carga = {}; }

const CargaPedidos& ImportacaoPedidos::carga() const { return estado_->carga; }

int ImportacaoPedidos::carrega_pedido(std::int32_t pedido) {
  Estado& e = *estado_;
  if (e.vazia("Não é possível carregar um pedido após o início da venda de itens.") != 1) return 0;
  e.carga = {};
  std::vector<Pedido> lidos;
  if (e.le_pedidos({pedido}, lidos, "Erro ao consultar informações do pedido.|",
                   "Nenhum registro foi encontrado na tabela de PEDIDOS.") != 1) {
    return 0;
  }
  const Pedido& p = lidos.front();
  e.partes.set_carregando(true);
  const auto carrega = [&]() {
    if (e.cliente(p.cliente, true) != 1) return 0;
    if (e.venda.Set_Finalidade_Operacao(p.finalidade) != 1) {
      return e.falha_venda("Erro ao setar finalidade da operação.|");
    }
    if (p.evento != 0 && e.partes.evento(p.evento) != 1) return 0;
    if (p.parceiro != 0 && e.partes.parceiro(p.parceiro) != 1) return 0;
    if (e.partes.transportadora(p.transportadora) != 1) return 0;
    if (p.vendedor != 0 && e.partes.vendedor(p.vendedor) != 1) return 0;
    if (e.linhas(p.codigo) != 1) return 0;
    if (e.venda.Get_Quantidade_Itens() == 0) {
      return e.aviso("Nenhum item do pedido " + std::to_string(p.codigo) + " foi carregado.");
    }
    if (e.partes.tipo_frete(p.modalidade_frete) != 1) return 0;
    if (e.totais(p.frete, p.desconto, p.acrescimo, p.despesas,
                 "O valor de desconto não pode ser igual ou maior que o valor do total dos itens.", true) != 1) {
      return 0;
    }
    return e.pagamento(p);
  };
  const int r = carrega();
  e.partes.set_carregando(false);
  if (r != 1) {
    e.carga = {};
    return 0;
  }
  e.carga.pedidos = {p.codigo};
  return 1;
}

int ImportacaoPedidos::carrega_pedidos(const std::vector<std::int32_t>& pedidos) {
  Estado& e = *estado_;
  if (e.vazia("Não é possível carregar um pedido após o início da venda de itens.") != 1) return 0;
  e.carga = {};
  std::vector<Pedido> lidos;
  if (e.le_pedidos(pedidos, lidos, "Erro ao consultar informações dos pedidos.|",
                   "Nenhum registro retornou da busca na tabela pedidos.") != 1) {
    return 0;
  }
  std::vector<std::int32_t> codigos;
  double frete = 0;
  double desconto = 0;
  double acrescimo = 0;
  double despesas = 0;
  for (const Pedido& p : lidos) {
    codigos.push_back(p.codigo);
    frete += p.frete;
    desconto += p.desconto;
    acrescimo += p.acrescimo;
    despesas += p.despesas;
  }
  e.partes.set_carregando(true);
  const auto carrega = [&]() {
    if (e.cliente(lidos.front().cliente, true) != 1) return 0;
    // The user's defaults, not the orders': seller, carrier, freight; no event.
    if (e.valores.VEN_PADRA != 0 && e.partes.vendedor(e.valores.VEN_PADRA) != 1) return 0;
    if (e.partes.transportadora(e.valores.TRANSP) != 1) return 0;
    e.venda.Limpa_Evento_Venda();
    for (const std::int32_t codigo : codigos) {
      if (e.linhas(codigo) != 1) return 0;
    }
    if (e.venda.Get_Quantidade_Itens() == 0) {
      return e.aviso("Nenhum item dos pedidos " + lista(codigos, ", ") + " foi carregado.");
    }
    e.aviso("Pedido(s) " + lista(codigos, ", ") + " carregado(s) com sucesso.");
    if (e.partes.tipo_frete(e.valores.I_PAR_TIPO_FRETE_PADRAO) != 1) return 0;
    if (e.totais(frete, desconto, acrescimo, despesas,
                 "O valor do desconto não pode ser superior a soma  total dos itens.| Por favor verifique!",
                 false) != 1) {
      return 0;
    }
    e.aviso(std::string{"Os pedidos selecionados foram carregados com os seguintes dados: "} +
            "|* Transportadora padrão do usuário;" + "|* Frete padrão do usuário;" + "|* Parceria padrão do cliente;" +
            "|* Não carrega evento;" +
            (e.valores.VEN_PADRA != 0 ? "|* Vendedor padrão do usuário." : "|* Vendedor padrão do cliente."));
    return 1;
  };
  const int r = carrega();
  e.partes.set_carregando(false);
  if (r != 1) {
    e.carga = {};
    return 0;
  }
  e.carga.pedidos = codigos;
  return 1;
}

int ImportacaoPedidos::carrega_ordens(const std::vector<std::int32_t>& ordens) {
  Estado& e = *estado_;
  if (e.vazia("Não é possível carregar uma OS após o início da venda de itens.") != 1) return 0;
  e.carga = {};
  if (ordens.empty()) return e.aviso("Nenhum registro retornou da busca na tabela aordens.");
  const std::string ids = sql_integer_list(ordens);

  std::vector<Ordem> lidas;
  if (e.tabela.open() != 1 ||
      select_records(e.tabela, colunas_ordem(), " from aordens where CideOrd in ( " + ids + " ) order by CideOrd;",
                     lidas) != 1) {
    return e.falha_banco("Erro ao consultar tabela aordens.|Erro: ");
  }
  if (lidas.size() != ordens.size()) return e.aviso("Nenhum registro retornou da busca na tabela aordens.");
  for (const Ordem& lida : lidas) {
    if (lida.faturada_por != 0) {
      return e.aviso("A ordem de serviço " + std::to_string(lida.codigo) + " já foi faturada pela venda " +
                     std::to_string(lida.faturada_por) + ".|Não pode ser importada duas vezes.");
    }
    if (lida.cliente != lidas.front().cliente) {
      return e.aviso("As ordens de serviço selecionadas são de clientes diferentes.");
    }
  }

  std::vector<LinhaOrdem> linhas;
  if (e.tabela.open() != 1 ||
      select_records(e.tabela, colunas_linha_ordem(),
                     " from ahisordem left join aprodutos on cod_pro_histordem = CCodProduto where ide_aordem in ( " +
                         ids + " ) and coalesce ( cod_pro_histordem, 0 ) <> 0 order by ide_aordem, i_aho_codigo",
                     linhas) != 1) {
    return e.falha_banco("Erro ao consultar tabela ahisordem.|Erro: ");
  }
  e.tabela.close();
  if (linhas.empty()) return e.aviso("Nenhum registro retornou da busca na tabela ahisordem.");

  e.partes.set_carregando(true);
  const auto carrega = [&]() {
    if (e.cliente(lidas.front().cliente, false) != 1) return 0;
    if (e.valores.VEN_PADRA != 0 && e.partes.vendedor(e.valores.VEN_PADRA) != 1) return 0;
    if (e.entrada.escolhe_tabela(e.valores.TAB_PRE_PADRAO) != 1) return 0;
    for (const LinhaOrdem& linha : linhas) {
      if (linha.produto == 0) return e.aviso("Não achou o produto.");
      LinhaPedido item;
      item.produto = linha.produto;
      item.quantidade = linha.quantidade;
      item.unitario = linha.unitario;
      const int vendida = e.entrada.vende_linha_pedido(item);
      if (vendida == 0) return 0;
      if (vendida == 2) e.carga.pendentes.push_back("OS " + std::to_string(linha.ordem));
    }
    if (e.venda.Get_Quantidade_Itens() == 0) return e.aviso("Nenhum item das ordens de serviço foi carregado.");
    return e.limites && !e.limites() ? 0 : 1;
  };
  const int r = carrega();
  e.partes.set_carregando(false);
  if (r != 1) {
    e.carga = {};
    return 0;
  }
  e.carga.ordens_servico = ordens;
  return 1;
}

int ImportacaoPedidos::prestacoes_pedido() {
  Estado& e = *estado_;
  if (e.carga.pedidos.size() != 1 || e.venda.Get_Condicao() == 0) return 1;
  return e.prestacoes(e.carga.pedidos.front());
}

std::optional<double> ImportacaoPedidos::total_sinais() {
  Estado& e = *estado_;
  if (e.carga.ordens_servico.empty()) return 0.0;
  double soma = 0;
  e.tabela.clear_fields();
  e.tabela.bind_real(soma);
  if (e.tabela.open() != 1 ||
      e.tabela.execute("select coalesce(sum(cvalorcreditohistorico), 0) from ahcontas where i_ahc_tip_lancto = 2 and "
                       "i_ahc_estornado_por is null and i_ahc_ide_oservico in ( " +
                       e.ids_ordens() + " ) ") != 1 ||
      e.tabela.next() != 1) {
    e.falha_banco("Erro ao consultar quantidade de registros de sinal OS na tabela resultado14.|Erro: ");
    return std::nullopt;
  }
  e.tabela.close();
  return round_to(soma, 2);
}

int ImportacaoPedidos::avisa_sinais() {
  const auto soma = total_sinais();
  if (!soma) return 0;
  if (*soma > 0) {
    estado_->ui.message("Existem lançamentos de sinais OS no valor de R$ " +
                            text::trim(format_picture(*soma, "N10.2")) +
                            " para a(s) ordem(s) de serviço selecionada(s).",
                        "Aviso do sistema");
  }
  return 1;
}

int ImportacaoPedidos::paga_sinais() {
  Estado& e = *estado_;
  if (e.carga.ordens_servico.empty()) return 1;
  struct Sinal {
    std::int32_t favorecido = 0;
    double valor = 0;
    std::int32_t forma = 0;
  } s;
  std::vector<Sinal> sinais;
  e.tabela.clear_fields();
  e.tabela.bind_long(s.favorecido).bind_real(s.valor).bind_long(s.forma);
  // The deposit is paid with the payment form it was taken with, or else
  // with this company's form of its payee.
  if (e.tabela.open() != 1 ||
      e.tabela.execute(
          "select ccodigofavorecidohistorico, cvalorcreditohistorico, coalesce(i_ahc_codigo_forma, (select "
          "min(i_tef_codigo) "
          "from tabempfavorecido where i_tef_codigo_afa = ccodigofavorecidohistorico and "
          "i_tef_codigo_tem = " +
          sql_integer(e.valores.COD_EMPR) +
          "), 0) from ahcontas where i_ahc_tip_lancto = 2 and i_ahc_estornado_por is null and "
          "i_ahc_ide_oservico in ( " +
          e.ids_ordens() + " ) order by idhistorico ") != 1) {
    return e.falha_banco("Erro ao realizar consulta de sinal OS na tabela resultado14.|Erro: ");
  }
  while (e.tabela.next() == 1) sinais.push_back(s);
  e.tabela.close();
  payment::PaymentOptions opcoes;
  opcoes.sinal = true;
  for (const Sinal& sinal : sinais) {
    if (!(round_to(sinal.valor, 2) > 0)) continue;
    if (e.venda.Paga(sinal.forma, round_to(sinal.valor, 2), 0, opcoes) != 1) {
      return e.falha_venda("Erro ao efetuar pagamento utilizando sinal OS.|");
    }
  }
  return 1;
}

std::optional<std::int32_t> ImportacaoPedidos::SELECIONA_PEDIDO(std::int32_t cliente) {
  Estado& e = *estado_;
  if (e.tabela.open() != 1) {
    e.falha_banco("Erro ao consultar a lista.|");
    return std::nullopt;
  }
  const auto codigo = pick_browse(e.ui, e.tabela, browse_pedidos(e.valores.COD_EMPR, cliente));
  e.tabela.close();
  return codigo ? como_inteiro(*codigo) : std::nullopt;
}

std::vector<std::int32_t> ImportacaoPedidos::SELECIONA_MULTIPLOS_PEDIDOS(std::int32_t cliente) {
  return estado_->escolhe(browse_pedidos(estado_->valores.COD_EMPR, cliente), "pedidos", "i_pdi_codigo",
                          "i_pdi_codigo_cli");
}

std::vector<std::int32_t> ImportacaoPedidos::SELECIONA_ORDEM(std::int32_t cliente) {
  return estado_->escolhe(browse_ordens_servico(estado_->valores.COD_EMPR, cliente), "aordens", "cideord",
                          "i_aor_codigo_cli");
}

}  // namespace fvn
