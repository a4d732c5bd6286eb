#include "screens/consulta_vendas_futuras.h"

#include <algorithm>

#include "data/passthrough_table.h"
#include "data/record_columns.h"
#include "data/sql_values.h"
#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "screens/notas_pendentes.h"
#include "screens/ping_servico.h"
#include "service/nfce_processo.h"

namespace fvn {

namespace {

constexpr std::string_view kAvisoSistema = "Aviso do sistema";
constexpr std::string_view kAvisoSistemaMaiusculo = "Aviso do Sistema";
constexpr std::string_view kErro = "Erro!";

std::string quantidade(double valor) { return format_picture(valor, "n14.4"); }
std::string dinheiro(double valor) { return format_picture(valor, "n14.2"); }

const RecordColumns<ItemEntrega>& colunas_item() {
  static const RecordColumns<ItemEntrega> colunas = {
      {"cidehistorico", &ItemEntrega::linha},
      {"cprohistorico", &ItemEntrega::produto},
      {"cvtothistorico", &ItemEntrega::valor},
      {"csaihisotorico", &ItemEntrega::quantidade_nota},
      {"CDesHistorico", &ItemEntrega::descricao, 100},
      {"coalesce(cuniproduto, '')", &ItemEntrega::unidade, 10},
      {"cvdeshistorico", &ItemEntrega::desconto},
      {"cvfihistorico", &ItemEntrega::acrescimo},
      {"cnotsaidas", &ItemEntrega::nota},
  };
  return colunas;
}

// The V/P column is one character: its capacity counts the terminator.
const RecordColumns<VendaRejeitada>& colunas_venda() {
  static const RecordColumns<VendaRejeitada> colunas = {
      {"cidesaidas", &VendaRejeitada::id},
      {"cclisaidas", &VendaRejeitada::cliente},
      {"coalesce(cnomecliente, '')", &VendaRejeitada::nome_cliente, 200},
      RecordColumn<VendaRejeitada>::day("cemisaidas", &VendaRejeitada::emissao),
      {"cnotsaidas", &VendaRejeitada::nota},
      {"caviaprsaidas", &VendaRejeitada::vp, 2},
      {"ctotsaidas", &VendaRejeitada::total},
      {"cdessaidas", &VendaRejeitada::desconto},
      {"cacrsaidas", &VendaRejeitada::acrescimo},
      {"centsaidas", &VendaRejeitada::entrada},
      {"coalesce(cdesformapgto, '')", &VendaRejeitada::forma_pagamento, 255},
      {"cicmsaidas", &VendaRejeitada::icms},
      {"n_asa_valor_isento", &VendaRejeitada::isento},
      {"cimpsaidas", &VendaRejeitada::iss},
      {"cvstsaidas", &VendaRejeitada::st},
      {"cipisaidas", &VendaRejeitada::ipi},
      {"s_asa_chave_nfe", &VendaRejeitada::chave, 61},
  };
  return colunas;
}

}  // namespace

// ---- The items-to-deliver list ----

ItemEntrega* ItensEntrega::busca(std::int32_t linha) {
  const auto it = std::find_if(itens.begin(), itens.end(), [&](const ItemEntrega& i) { return i.linha == linha; });
  return it == itens.end() ? nullptr : &*it;
}

const ItemEntrega* ItensEntrega::busca(std::int32_t linha) const {
  return const_cast<ItensEntrega*>(this)->busca(linha);
}

bool ItensEntrega::algum_marcado() const {
  return std::any_of(itens.begin(), itens.end(), [](const ItemEntrega& i) { return i.marcado; });
}

ItensEntrega& itens_a_entregar() {
  static ItensEntrega itens;
  return itens;
}

// ---- SELECIONA_ITENS_VENDA_FUTURA ----

const std::vector<std::string>& SELECIONA_ITENS_VENDA_FUTURA::colunas() {
  static const std::vector<std::string> kColunas{"M",        "Nota Fiscal", "Produto",        "Descrição Produto",
                                                 "UN",       "Qtde. Nota",  "Qtde. Pendente", "Valor Líquido",
                                                 "Desconto", "Acréscimo",   "Valor Total"};
  return kColunas;
}

SELECIONA_ITENS_VENDA_FUTURA::SELECIONA_ITENS_VENDA_FUTURA(HostUi& ui, std::string connection, ItensEntrega& itens,
                                                           std::int32_t venda)
    : ui_(ui), connection_(std::move(connection)), itens_(itens), venda_(venda) {}

int SELECIONA_ITENS_VENDA_FUTURA::falha_sql(const PassthroughTable& t) {
  ui_.message(t.error_text("Erro ao executar consulta na tabela ahistorico.|Erro:"), kErro, MessageIcon::Error);
  return 0;
}

std::optional<double> SELECIONA_ITENS_VENDA_FUTURA::pendente(const ItemEntrega& item) {
  PassthroughTable t("TABELA_ENTREGUE", connection_);
  if (t.open() != 1 ||
      t.execute("select sum(csaihisotorico) from ahistorico a inner join asaidas b on CISAHistorico = cidesaidas "
                "where cprohistorico = " +
                sql_integer(item.produto) + " and i_ahi_ide_entregue = " + sql_integer(item.linha) +
                " and ide_futura = " + sql_integer(venda_) + " and s_asa_estorno is null;") != 1) {
    falha_sql(t);
    return std::nullopt;
  }
  double entregue = 0;
  t.bind_real(entregue);
  t.next();  // a NULL sum (nothing delivered) reads as 0
  return round_to(item.quantidade_nota - entregue, 4);
}

int SELECIONA_ITENS_VENDA_FUTURA::abre() {
  itens_.limpa();
  PassthroughTable t("TABELA_AHISTORICO", connection_);
  std::vector<ItemEntrega> lidos;
  if (t.open() != 1 ||
      select_records(t, colunas_item(),
                     " from ahistorico a inner join asaidas s on s.cidesaidas = a.cisahistorico left join aprodutos p "
                     "on p.ccodproduto = a.cprohistorico where cisahistorico in (" +
                         sql_integer(venda_) + ") order by cidehistorico; ",
                     lidos) != 1) {
    return falha_sql(t);
  }
  for (ItemEntrega& item : lidos) {
    const auto pendente_item = pendente(item);
    if (!pendente_item) {
      itens_.limpa();
      return 0;
    }
    if (*pendente_item <= 0) continue;
    item.pendente = *pendente_item;
    item.entrega = *pendente_item;
    item.liquido = round_to(item.valor - item.desconto + item.acrescimo, 2);
    itens_.itens.push_back(item);
  }
  if (itens_.itens.empty()) {
    ui_.message("Nenhum registro retornou a tabela ahistorico", kAvisoSistema, MessageIcon::Exclamation);
    return 0;
  }
  itens_.venda = venda_;
  return 1;
}

std::vector<std::vector<std::string>> SELECIONA_ITENS_VENDA_FUTURA::linhas() const {
  std::vector<std::vector<std::string>> linhas;
  for (const ItemEntrega& i : itens_.itens) {
    linhas.push_back({i.marcado ? "X" : "", std::to_string(i.nota), std::to_string(i.produto), i.descricao, i.unidade,
                      quantidade(i.pendente), quantidade(i.entrega), dinheiro(i.liquido), dinheiro(i.desconto),
                      dinheiro(i.acrescimo), dinheiro(i.valor)});
  }
  return linhas;
}

int SELECIONA_ITENS_VENDA_FUTURA::marca(int linha) {
  if (linha < 1 || linha > static_cast<int>(itens_.itens.size())) return 0;
  ItemEntrega& item = itens_.itens[static_cast<std::size_t>(linha - 1)];
  const auto agora = pendente(item);
  if (!agora) return 0;
  if (*agora <= 0) {
    item.marcado = false;
    ui_.message("O item " + std::to_string(item.produto) + " - " + item.descricao +
                    " não pode ser marcado para entrega pois já não dispõe de quantidades pendentes.",
                kAvisoSistemaMaiusculo, MessageIcon::Exclamation);
    return 0;
  }
  // Another station may have delivered part of it meanwhile.
  item.pendente = *agora;
  item.entrega = std::min(item.entrega, *agora);
  item.marcado = true;
  return 1;
}

int SELECIONA_ITENS_VENDA_FUTURA::desmarca(int linha) {
  if (linha < 1 || linha > static_cast<int>(itens_.itens.size())) return 0;
  itens_.itens[static_cast<std::size_t>(linha - 1)].marcado = false;
  return 1;
}

int SELECIONA_ITENS_VENDA_FUTURA::marca_todos() {
  int todos = 1;
  for (int linha = 1; linha <= static_cast<int>(itens_.itens.size()); ++linha) {
    if (marca(linha) != 1) todos = 0;
  }
  return todos;
}

void SELECIONA_ITENS_VENDA_FUTURA::desmarca_todos() {
  for (ItemEntrega& item : itens_.itens) item.marcado = false;
}

std::int32_t SELECIONA_ITENS_VENDA_FUTURA::total_itens() const {
  return static_cast<std::int32_t>(
      std::count_if(itens_.itens.begin(), itens_.itens.end(), [](const ItemEntrega& i) { return i.marcado; }));
}

double SELECIONA_ITENS_VENDA_FUTURA::valor_total_itens() const {
  double total = 0;
  for (const ItemEntrega& i : itens_.itens) {
    if (i.marcado && i.quantidade_nota > 0) total += i.liquido * i.entrega / i.quantidade_nota;
  }
  return round_to(total, 2);
}

int SELECIONA_ITENS_VENDA_FUTURA::confirma() {
  const std::int32_t marcados = total_itens();
  if (marcados == 0) {
    ui_.message("Nenhum item marcado para entrega.", kAvisoSistemaMaiusculo, MessageIcon::Exclamation);
  }
  return marcados;
}

// ---- ALTERA_QTDE_ITEM ----

ALTERA_QTDE_ITEM::ALTERA_QTDE_ITEM(HostUi& ui, std::string connection, ItensEntrega& itens, std::int32_t linha)
    : ui_(ui), connection_(std::move(connection)), itens_(itens), linha_(linha) {}

int ALTERA_QTDE_ITEM::abre() {
  const ItemEntrega* item = itens_.busca(linha_);
  if (item == nullptr) {
    ui_.message("Erro ao buscar produto na queue.|Item " + std::to_string(linha_) + " não está na lista.", kErro,
                MessageIcon::Error);
    return 0;
  }
  codigo_ = item->produto;
  descricao_ = item->descricao;
  qtde_nota_ = item->pendente;
  qtde_entrega_ = item->entrega;
  return 1;
}

int ALTERA_QTDE_ITEM::qtde_entrega(double quantidade) {
  if (quantidade > qtde_nota_) {
    ui_.message("A quantidade de entrega não pode ser superior a quantidade de venda.", kAvisoSistemaMaiusculo,
                MessageIcon::Exclamation);
    qtde_entrega_ = qtde_nota_;
    return 0;
  }
  qtde_entrega_ = round_to(quantidade, 4);
  return 1;
}

int ALTERA_QTDE_ITEM::salva() {
  PassthroughTable t("TABELA_APRODUTOS", connection_);
  std::int32_t fraciona = 0;
  t.bind_long(fraciona);
  if (t.open() != 1 ||
      t.execute("select i_apr_fraciona from aprodutos where ccodproduto = " + sql_integer(codigo_)) != 1 ||
      t.next() != 1) {
    ui_.message(t.error_text("Erro ao buscar produto na tabela aprodutos.|"), kErro, MessageIcon::Error);
    return 0;
  }
  if (int_part(qtde_entrega_) != qtde_entrega_ && fraciona != 1) {
    ui_.message("Venda de quantidade fracionada proibida para este produto.", kAvisoSistemaMaiusculo,
                MessageIcon::Exclamation);
    return 0;
  }
  ItemEntrega* item = itens_.busca(linha_);
  if (item == nullptr) {
    ui_.message("Erro ao buscar produto na queue.|Item " + std::to_string(linha_) + " não está na lista.", kErro,
                MessageIcon::Error);
    return 0;
  }
  if (qtde_entrega_ <= 0) {
    ui_.message("A quantidade para entrega não pode ser inferior ou igual a zero.", kAvisoSistemaMaiusculo,
                MessageIcon::Exclamation);
    return 0;
  }
  item->entrega = qtde_entrega_;
  return 1;
}

// ---- CONSULTA_VENDAS_FUTURAS ----

const std::vector<std::string>& CONSULTA_VENDAS_FUTURAS::colunas() {
  static const std::vector<std::string> kColunas{
      "ID",           "Cliente",   "Nome Cliente", "Emissão",   "Nota Fiscal",     "V/P",
      "Valor Total",  "Desconto",  "Acréscimo",    "Entrada",   "Forma Pagamento", "Valor Icms",
      "Valor Isento", "Valor ISS", "Valor ST",     "Valor IPI", "Chave de Acesso"};
  return kColunas;
}

CONSULTA_VENDAS_FUTURAS::CONSULTA_VENDAS_FUTURAS(HostUi& ui, NFCE_PROCESSO& processo, ExportCompany empresa,
                                                 ItensEntrega& itens)
    : ui_(ui), processo_(processo), empresa_(std::move(empresa)), itens_(itens) {}

int CONSULTA_VENDAS_FUTURAS::abre(Date hoje) {
  filtro_ = {hoje, hoje, 0, 0};
  escolhida_ = 0;
  vendas_.clear();
  if (PING_WEB_SERVICE_QUORVEX(ui_, processo_) != 1) return 0;
  ATUALIZA_NOTAS_PENDENTES(ui_, processo_, empresa_, 0);
  atualiza();
  return 1;
}

int CONSULTA_VENDAS_FUTURAS::filtro(const FiltroVendasFuturas& filtro) {
  if (filtro.ate != 0 && filtro.ate < filtro.de) {
    ui_.message("A data final não pode ser menor que a data inicial", kAvisoSistema, MessageIcon::Exclamation);
    return 0;
  }
  filtro_ = filtro;
  return atualiza();
}

int CONSULTA_VENDAS_FUTURAS::atualiza() {
  vendas_.clear();
  std::string sql =
      " from asaidas inner join tnaturezaoperacao on i_tna_codigo_operacao = i_asa_codigo_tna "
      "inner join aclientes on ccodigo = cclisaidas "
      "left join tformapagto on ccodformapgto = cfpgsaidas where " +
      std::string{kNotasRejeitadas};
  if (filtro_.cliente != 0) sql += " and ccodigo = " + sql_integer(filtro_.cliente);
  if (filtro_.emissor != 0) sql += " and csrisaidas = " + sql_integer(filtro_.emissor);
  if (filtro_.de != 0) sql += " and CEmisaidas >= " + sql_date(filtro_.de);
  if (filtro_.ate != 0) sql += " and CEmisaidas <= " + sql_date(filtro_.ate);
  if (empresa_.code != 0) sql += " and CEmpresaSaidas = " + sql_integer(empresa_.code);
  sql += " order by cidesaidas";

  PassthroughTable t("TABELA_VENDAS_FUTURAS", processo_.connection());
  if (t.open() != 1 || select_records(t, colunas_venda(), sql, vendas_) != 1) {
    ui_.message(t.error_text("Erro ao consultar notas fiscais rejeitadas.|"), kErro, MessageIcon::Error);
    return 0;
  }
  return 1;
}

std::vector<std::vector<std::string>> CONSULTA_VENDAS_FUTURAS::linhas() const {
  std::vector<std::vector<std::string>> linhas;
  for (const VendaRejeitada& v : vendas_) {
    linhas.push_back({std::to_string(v.id), std::to_string(v.cliente), v.nome_cliente, format_picture(v.emissao, "d06"),
                      std::to_string(v.nota), v.vp, dinheiro(v.total), dinheiro(v.desconto), dinheiro(v.acrescimo),
                      dinheiro(v.entrada), v.forma_pagamento, dinheiro(v.icms), dinheiro(v.isento), dinheiro(v.iss),
                      dinheiro(v.st), dinheiro(v.ipi), v.chave});
  }
  return linhas;
}

int CONSULTA_VENDAS_FUTURAS::seleciona(int linha) {
  if (linha < 1 || linha > static_cast<int>(vendas_.size())) return 0;
  const VendaRejeitada& v = vendas_[static_cast<std::size_t>(linha - 1)];
  if (processo_.Verifica_Reenvio(v.chave) != 1) {
    ui_.message("Erro ao selecionar NFCe para reenvio.|Erro: " + processo_.Traduz_Erro(), "Erro!", MessageIcon::Error);
    return 0;
  }
  SELECIONA_ITENS_VENDA_FUTURA itens(ui_, processo_.connection(), itens_, v.id);
  int resultado = 0;
  if (janela_itens_) {
    resultado = janela_itens_(itens);
  } else if (itens.abre() == 1) {
    itens.marca_todos();
    resultado = itens.confirma();
  }
  if (resultado == 0) return 0;
  escolhida_ = v.id;
  return 1;
}

}  // namespace fvn
