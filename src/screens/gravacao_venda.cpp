// Recording of a sale: steps 1-21 of GRAVACAO_VENDA (see the header).
#include "screens/gravacao_venda.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <set>
#include <utility>

#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "data/transaction.h"
#include "runtime/clock.h"
#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/text.h"
#include "screens/gravacao_venda_linhas.h"
#include "service/nfce_processo.h"

namespace fvn {

namespace {

constexpr std::string_view kErro = "Erro!";
constexpr std::string_view kAviso = "Aviso do sistema";
constexpr std::size_t kObservacaoNota = 5000;  // cobssaidas

std::string inteiro(std::int64_t valor) { return sql_integer(valor); }
// An optional foreign key: NULL for 0.
std::string chave(std::int32_t valor) { return valor == 0 ? std::string{"NULL"} : sql_integer(valor); }

double como_real(std::string_view texto) {
  try {
    return std::stod(text::trim(texto));
  } catch (...) {
    return 0;
  }
}

}  // namespace

std::string junta_mensagem(std::string_view texto, std::string_view mensagem) {
  const std::string m = text::trim(mensagem);
  std::string out{texto};
  if (m.empty() || out.find(m) != std::string::npos) return out;
  if (!out.empty()) out += " ";
  out += m;
  return out;
}

// One recording in progress: what was read and written so far.
struct GRAVACAO_VENDA::Gravacao {
  const CONTEXTO_VENDA& c;
  PassthroughTable t;
  sale::DADOS_NF dados;
  std::string falha;  // the message of the step that failed
  std::int32_t venda = 0;
  std::int32_t numero = 0;
  std::int32_t transacao = 0;
  std::int32_t serie = 0;
  std::int32_t venda_futura = 0;
  std::int32_t atualiza_custo = 0;
  std::string texto_nota;  // cobssaidas
  std::vector<LinhaItem> itens;
  Destinatario destinatario;
  sale::GRUPO_TRANSPORTADORA transportadora;
  sale::GRUPO_VOLUME volume;
  std::string local_embarque;
  std::string uf_embarque;
  Date emissao = 0;

  explicit Gravacao(const CONTEXTO_VENDA& contexto) : c(contexto), t("GRAVACAO_VENDA", contexto.conexao) {}

  // The steps of the recording, in order; each false with `falha` set.
  bool numera_venda();
  bool estorna_recarregada();
  bool le_destinatario();
  bool junta_pedidos();
  bool le_embarque();
  bool numera_nota();
  bool grava_cabecalho();
  bool vincula_pedidos();
  bool grava_itens();
  bool grava_pagamentos();
  bool grava_parcelas();
  bool grava_liberacoes();
  bool grava_comissoes();
  bool grava_texto_nota();

  // Runs a statement; false with the message of `contexto` when refused.
  bool executa(const std::string& sql, std::string_view contexto) {
    if (t.execute(sql) == 1) return true;
    falha = t.error_text(contexto);
    return false;
  }
  // Runs a query and reads its first row.
  bool le(const std::string& sql, std::string_view contexto_consulta, std::string_view contexto_leitura) {
    if (!executa(sql, contexto_consulta)) return false;
    if (t.next() == 1) return true;
    falha = t.error_text(contexto_leitura);
    return false;
  }
  bool le(const std::string& sql, std::string_view contexto) { return le(sql, contexto, contexto); }
  std::string texto(std::string_view valor) { return t.literal(valor); }
};

// Locks the imported orders and service orders for the recording's
// transaction and refuses the first one already invoiced. Service orders are
// claimed for the sale right away: their other invoicing columns are written
// after the commit, and without the claim a second station could pass this
// check meanwhile.
int GRAVACAO_VENDA::trava_pedidos(Gravacao& g) {
  const CONTEXTO_VENDA& c = g.c;
  // `consulta` selects (code, invoicing sale) FOR UPDATE.
  const auto livres = [&g](const std::string& consulta, std::string_view erro, std::string_view rotulo,
                           std::string_view faturado) {
    if (!g.executa(consulta, erro)) return false;
    while (g.t.next() == 1) {
      const std::string venda = text::trim(g.t.value(1));
      if (venda.empty()) continue;
      g.falha = std::string{rotulo} + text::trim(g.t.value(0)) + std::string{faturado} + venda +
                ".|Não pode ser importado duas vezes. A venda não foi gravada.";
      return false;
    }
    return true;
  };
  if (!c.pedidos.empty() &&
      !livres("select i_pdi_codigo, i_pdi_ide_asaidas from pedidos where i_pdi_codigo in (" +
                  sql_integer_list(c.pedidos) + ") order by i_pdi_codigo for update",
              "Erro ao consultar informações do pedido.|", "O pedido ", " já foi faturado pela venda ")) {
    return 0;
  }
  if (c.ordens_servico.empty()) return 1;
  const std::string ids = sql_integer_list(c.ordens_servico);
  if (!livres("select cideord, ide_asaidas from aordens where cideord in ( " + ids + " ) order by cideord for update",
              "Erro ao consultar tabela aordens.|", "A ordem de serviço ", " já foi faturada pela venda ")) {
    return 0;
  }
  return g.executa("update aordens set ide_asaidas = " + sql_integer(g.venda) + " where cideord in ( " + ids + " );",
                   "Erro ao atualizar faturamento de Ordens de Serviço.|")
             ? 1
             : 0;
}

GRAVACAO_VENDA::GRAVACAO_VENDA(HostUi& ui, sale::CLASSE_VENDA& venda, NFCE_PROCESSO& processo)
    : ui_(ui), facade_(venda), processo_(processo) {}

int GRAVACAO_VENDA::Fecha_Venda(const CONTEXTO_VENDA& contexto) {
  if (Grava_Venda(contexto) != 1) return 0;
  return Emite_Venda(contexto);
}

int GRAVACAO_VENDA::Grava_Venda(const CONTEXTO_VENDA& contexto) {
  venda_ = 0;
  numero_ = 0;
  resultado_ = ResultadoEmissao::NaoEmitida;
  Gravacao g(contexto);

  // 1-2: the sale out of the facade, with its totals recomputed.
  if (facade_.Get_Dados_NF(g.dados) != 1) {
    ui_.message("Erro ao buscar dados da nota fiscal.|" + facade_.display(), kErro, MessageIcon::Error);
    return 0;
  }
  if (facade_.Calcula_Total_Venda(g.dados.TOTAIS_VENDA) != 1) {
    ui_.message("Erro em Calcula_Total_Venda|" + facade_.display(), kErro, MessageIcon::Error);
    return 0;
  }
  // The consumer-invoice limits, checked again on the totals that are recorded.
  const double total = round_to(g.dados.TOTAIS_VENDA.TOTAL_LIQUIDO, 2);
  if (text::upper(text::trim(g.dados.CLIENTE.NOME)) == "CONSUMIDOR" && total > kLimiteConsumidor) {
    ui_.message(
        "Para nota fiscal ao consumidor com valor acima de R$ 10.000,00 o cadastro do cliente deve estar "
        "completo.|Por favor, escolha um cliente que não seja consumidor.",
        kAviso, MessageIcon::Exclamation);
    return 0;
  }
  if (total > kLimiteNota) {
    ui_.message("Nota fiscal ao consumidor não deve possuir valor superior a R$ 200.000,00.", kAviso,
                MessageIcon::Exclamation);
    return 0;
  }
  g.itens = linhas_itens(g.dados);
  ajusta_arredondamento(g.itens, g.dados.TOTAIS_VENDA.TOTAL_LIQUIDO);
  // An item whose PIS or COFINS code the invoice cannot carry is refused
  // here, as the tax engine refuses an unknown ICMS code.
  if (const std::string invalida = situacao_contribuicao_invalida(g.itens); !invalida.empty()) {
    ui_.message(invalida, kErro, MessageIcon::Error);
    return 0;
  }

  // 3: the transaction.
  Transaction transacao(g.t, ui_);
  if (!transacao.begun()) {
    ui_.message(g.t.error_text("Erro ao abrir transação para gravação.|"), kErro, MessageIcon::Error);
    return 0;
  }
  if (grava(g) != 1) {
    transacao.rollback();
    ui_.message(g.falha, kErro, MessageIcon::Error);
    return 0;
  }
  // 18.
  if (transacao.commit() != 1) {
    const std::string falha = g.t.error_text("Erro ao confirmar gravação da Nota!|");
    transacao.rollback();
    ui_.message(falha, kErro, MessageIcon::Error);
    return 0;
  }
  venda_ = g.venda;
  numero_ = g.numero;
  total_ = total;
  nome_cliente_ = g.dados.CLIENTE.NOME;
  pos_gravacao(g);
  return 1;
}

// Steps 3-17 of the header, in order, each a step of the recording over its
// state; the first that fails ends it with its message in g.falha.
int GRAVACAO_VENDA::grava(Gravacao& g) {
  g.serie = g.c.emissor != 0 ? g.c.emissor : g.dados.EMISSOR.CODIGO;
  // Imported orders and service orders are locked for this transaction and
  // must still be free: another station that recorded them first (or is
  // recording them now, and commits) makes this recording stop and roll back.
  if (!g.numera_venda() || !g.estorna_recarregada() || !g.le_destinatario() || trava_pedidos(g) != 1 ||
      !g.junta_pedidos()) {
    return 0;
  }
  // 7: carrier and volumes.
  if (facade_.Get_Dados_Transportadora(g.transportadora) != 1 || facade_.Get_Dados_Volume(g.volume) != 1) {
    g.falha = "Erro ao buscar dados da transportadora.|" + facade_.display();
    return 0;
  }
  const bool gravada = g.le_embarque() && g.numera_nota() && g.grava_cabecalho() && g.vincula_pedidos() &&
                       g.grava_itens() && g.grava_pagamentos() && g.grava_parcelas() && g.grava_liberacoes() &&
                       g.grava_comissoes() && g.grava_texto_nota();
  return gravada ? 1 : 0;
}

// The new sale's id first: the reversal of a reloaded sale names it.
bool GRAVACAO_VENDA::Gravacao::numera_venda() {
  if (!le("select nextval('seque_asaidas')::integer", "Erro ao incluir nota fiscal.|")) return false;
  venda = como_inteiro(t.value(0)).value_or(0);
  return true;
}

// 4: a reloaded rejected sale: one the service never authorised, either
// reversed as rejected when its issue failed or still waiting in
// contingency. Its row is locked until the commit; another station that
// reloaded it first has already taken its number.
bool GRAVACAO_VENDA::Gravacao::estorna_recarregada() {
  if (c.venda_recarregada == 0) return true;
  const std::string antiga = inteiro(c.venda_recarregada);
  if (!le("select case when coalesce(s_asa_protocolo_nfe,'') = '' and i_asa_oid_quorvex = 0 and "
          "i_asa_numero_reutilizado = 0 and (s_asa_estorno = 'R' or (s_asa_estorno is null and "
          "i_asa_contigencia = 1)) then 1 else 0 end from asaidas where cidesaidas = " +
              antiga + " for update",
          "Erro ao consultar nota fiscal rejeitada.|")) {
    return false;
  }
  if (t.value(0) != "1") {
    falha = "A nota fiscal rejeitada " + antiga +
            " já foi recarregada ou resolvida em outra estação.|A venda não foi gravada.";
    return false;
  }
  const std::string motivo = "Cancelamento de Nfe Rejeitada - Emitida nota ID " + std::to_string(venda) + " no dia " +
                             format_picture(today(), "d06") +
                             " para substituir. OBS - Nota estornada foi sobreescrita no servidor Quorvex.";
  return executa("select estorna_transacao( " + antiga + " , " + texto(motivo) + ", 'R' );",
                 "Erro ao estornar nota fiscal rejeitada.|");
}

// 5: the customer.
bool GRAVACAO_VENDA::Gravacao::le_destinatario() {
  if (!le("select coalesce(i_acl_cep, 0), i_acl_endereco_numero, s_acl_bairro, s_acl_endereco, s_acl_cidade, "
          "s_acl_uf, coalesce(cfoneresidencial, cfonecomercial, cfonecelular, ''), s_acl_inscricao_estadual, "
          "s_acl_cpf, s_acl_cnpj, cnomecliente from aclientes where ccodigo = " +
              inteiro(dados.CLIENTE.CODIGO),
          "Erro ao buscar informações do cliente.|")) {
    return false;
  }
  destinatario = destinatario_da_venda(dados.CLIENTE, c, t);
  return true;
}

// 6: orders and service orders in the note's text.
bool GRAVACAO_VENDA::Gravacao::junta_pedidos() {
  texto_nota = text::trim(c.observacoes);
  std::string pedidos;
  if (!c.pedidos.empty()) {
    std::vector<std::string> observacoes;
    if (!executa("select s_pdi_observacao from pedidos where i_pdi_codigo in (" + sql_integer_list(c.pedidos) +
                     ") order by i_pdi_codigo",
                 "Erro ao consultar informações do pedido.|")) {
      return false;
    }
    while (t.next() == 1) observacoes.push_back(text::trim(t.value(0)));
    if (c.pedidos.size() == 1) {
      pedidos = "Pedido N.: " + std::to_string(c.pedidos.front());
      if (!observacoes.empty() && !observacoes.front().empty()) pedidos += " Obs. Pedido: " + observacoes.front();
    } else {
      pedidos = "Pedidos N.: " + lista(c.pedidos, ",");
      for (const std::string& obs : observacoes) {
        if (!obs.empty()) pedidos += " Obs. Pedido: " + obs;
      }
    }
  }
  if (!c.ordens_servico.empty()) pedidos = junta_mensagem(pedidos, "OS N.: " + lista(c.ordens_servico, " - "));
  texto_nota = junta_mensagem(texto_nota, pedidos);
  return true;
}

// 8: export place.
bool GRAVACAO_VENDA::Gravacao::le_embarque() {
  if (c.codigo_exportacao == 0) return true;
  if (!le("select s_nfs_local_embarque,s_nfs_uf_embarque from nfe_exportacao where i_nfs_codigo = " +
              inteiro(c.codigo_exportacao),
          "Erro ao buscar dados de exportação.|")) {
    return false;
  }
  local_embarque = t.value(0);
  uf_embarque = t.value(1);
  return true;
}

// 9: the invoice number (a reloaded sale's own, handed over by step 4).
bool GRAVACAO_VENDA::Gravacao::numera_nota() {
  if (!executa("select inclui_sequencia ( " + inteiro(serie) + " );", "Erro ao gerar sequência da venda!|")) {
    return false;
  }
  if (t.next() != 1 || !como_inteiro(t.value(0))) {
    falha = t.error_text("Erro ao ler sequência da venda!|");
    return false;
  }
  numero = *como_inteiro(t.value(0));
  return true;
}

// 10: the financial transaction and the header.
bool GRAVACAO_VENDA::Gravacao::grava_cabecalho() {
  if (!le("insert into atransacao_fin (i_atf_codigo_tem, i_atf_operador, s_atf_descricao) values (" +
              inteiro(c.empresa) + ", " + inteiro(c.operador) + ", " + texto("Venda NF: " + std::to_string(numero)) +
              ") returning i_atf_codigo",
          "Erro ao inserir sequência de transação financeira.|")) {
    return false;
  }
  transacao = como_inteiro(t.value(0)).value_or(0);

  const sale::DADOS_NF& d = dados;
  const Totais totais = soma_itens(itens);
  emissao = d.DATA_EMISSAO != 0 ? d.DATA_EMISSAO : today();
  const Time hora = d.HORA != 0 ? d.HORA : clock_now();
  const bool com_transportadora = transportadora.CODIGO_TRANSPORTADORA != 0;
  const Colunas cabecalho = {
      {"cidesaidas", inteiro(venda)},
      {"cempresasaidas", inteiro(c.empresa)},
      {"cemisaidas", sql_date(emissao)},
      {"cdtsaisaidas", sql_date(d.DATA_SAIDA != 0 ? d.DATA_SAIDA : emissao)},
      {"chocsaidas", sql_time(hora)},
      {"csrisaidas", inteiro(serie)},
      {"cnotsaidas", inteiro(numero)},
      {"ctessaidas", "'S'"},
      {"caviaprsaidas", c.tipo_condicao == 'P' ? "'P'" : "'V'"},
      {"cnatsaidas", texto(text::cut(itens.empty() ? std::string{} : itens.front().cfop, 10))},
      {"cclisaidas", inteiro(d.CLIENTE.CODIGO)},
      {"cvensaidas", chave(d.VENDEDOR.CODIGO)},
      {"ctrasaidas", chave(transportadora.CODIGO_TRANSPORTADORA)},
      {"cmsgsaidas", chave(c.mensagem_nota)},
      {"cfpgsaidas", chave(c.condicao_pagamento != 0 ? c.condicao_pagamento : d.CONDICAO)},
      {"i_asa_codigo_tna", inteiro(d.OPERACAO.CODIGO)},
      {"i_asa_tipo_pagto", c.tipo_condicao == 'P' ? "1" : "0"},
      {"i_asa_codigo_tab_preco", inteiro(c.tabela_preco)},
      {"i_asa_finalidade_venda", inteiro(d.FINALIDADE_OPERACAO != 0 ? d.FINALIDADE_OPERACAO : 1)},
      {"i_asa_codigo_eve", chave(d.EVENTO.CODIGO)},
      {"i_asa_cod_parceria", chave(d.PARCEIRO.CODIGO)},
      {"i_asa_codigo_transacao_fin", inteiro(transacao)},
      {"i_asa_operador", inteiro(c.operador)},
      {"i_asa_usuario", inteiro(c.usuario)},
      {"nome_saidas", texto(text::cut(destinatario.nome, 200))},
      {"cpf_saidas", texto(destinatario.cpf)},
      {"cnpj_saidas", texto(destinatario.cnpj)},
      {"endereco_saidas", texto(text::cut(destinatario.endereco, 200))},
      {"bairro_saidas", texto(text::cut(destinatario.bairro, 200))},
      {"cidade_saidas", texto(text::cut(destinatario.cidade, 200))},
      {"uf_saidas", texto(text::cut(destinatario.uf, 2))},
      {"cep_saidas", inteiro(destinatario.cep)},
      {"fone_saidas", t.literal_or_null(text::cut(destinatario.fone, 100))},
      {"inscricao_saidas", t.literal_or_null(text::cut(destinatario.ie, 20))},
      {"cbtrsaidas", sql_number(totais.base_icms, 2)},
      {"cicmsaidas", sql_number(totais.icms, 2)},
      {"cbstsaidas", sql_number(totais.base_st, 2)},
      {"cvstsaidas", sql_number(totais.st, 2)},
      {"cmersaidas", sql_number(totais.mercadorias, 2)},
      {"cvalorfrete", sql_number(totais.frete, 2)},
      {"n_asa_valor_seguro", sql_number(totais.seguro, 2)},
      {"cdessaidas", sql_number(totais.desconto, 2)},
      {"n_asa_valor_ii", sql_number(totais.ii, 2)},
      {"cipisaidas", sql_number(totais.ipi, 2)},
      {"n_asa_valor_pis", sql_number(totais.pis, 2)},
      {"n_asa_valor_cofins", sql_number(totais.cofins, 2)},
      {"cacesosaidas", sql_number(totais.despesas, 2)},
      {"cacrsaidas", sql_number(totais.acrescimo, 2)},
      {"ctotsaidas", sql_number(d.TOTAIS_VENDA.TOTAL_LIQUIDO, 2)},
      {"cvbrsaidas", sql_number(d.TOTAIS_VENDA.TOTAL_BRUTO, 2)},
      {"centsaidas", sql_number(d.VALOR_ENTRADA, 2)},
      {"csersaidas", sql_number(totais.servicos, 2)},
      {"cimpsaidas", sql_number(totais.iss, 2)},
      {"n_asa_tot_impostos", sql_number(totais.aproximados, 2)},
      {"ctfresaidas", inteiro(com_transportadora ? d.TIPO_FRETE : 9)},
      {"cvqtdsaidas", volume.QTDE_VOLUME != 0 ? texto(std::to_string(volume.QTDE_VOLUME)) : "NULL"},
      {"cvespsaidas", t.literal_or_null(text::cut(volume.ESPECIE_VOLUME, 50))},
      {"cvmarsaidas", t.literal_or_null(text::cut(volume.MARCA_VOLUME, 50))},
      {"cvnumsaidas", t.literal_or_null(text::cut(volume.NUMERO_VOLUME, 15))},
      {"cpliqvolsaidas", volume.PESO_LIQUIDO_VOLUME != 0 ? sql_number(volume.PESO_LIQUIDO_VOLUME, 4) : "NULL"},
      {"cpbrusaidas", volume.PESO_BRUTO_VOLUME != 0 ? sql_number(volume.PESO_BRUTO_VOLUME, 4) : "NULL"},
      {"cobssaidas", texto(text::cut(texto_nota, kObservacaoNota))},
      {"s_asa_obs_digitadas", texto(c.observacoes)},
      {"s_asa_local_embarque", texto(text::cut(local_embarque, 60))},
      {"s_asa_uf_embarque", texto(text::cut(uf_embarque, 2))},
      {"ide_futura", chave(c.venda_recarregada)},
      // An electronic note is in doubt from the commit on: a station that
      // stops before sending it leaves a sale the resolution settles.
      {"i_asa_situacao_nfce", c.tipo_emissor == 2 ? "0" : "1"},
      {"t_asa_envio_nfce", c.tipo_emissor == 2 ? "NULL" : "clock_timestamp()"},
  };
  return executa(insercao("asaidas", cabecalho), "Erro ao incluir nota fiscal.|");
}

// 11: imported orders. Each line sold from an order (X_PED / N_ITEM_PED,
// its place among the order's lines) is taken off what the line has
// pending and to invoice and added to what it delivered; a line that no
// longer has that quantity was invoiced meanwhile, and the recording
// stops. An order is marked as invoiced by this sale once none of its
// lines has anything left, so a line skipped at the import (negative
// stock) keeps its order open for a later sale.
bool GRAVACAO_VENDA::Gravacao::vincula_pedidos() {
  if (c.pedidos.empty()) return true;
  const bool varios = c.pedidos.size() > 1;
  const std::string ids = sql_integer_list(c.pedidos);
  const std::string_view contexto = varios ? "Erro ao atualizar pedidos que foram utilizados na carga.|"
                                           : "Erro ao atualizar pedido que foi utilizado na carga.|";
  for (const LinhaItem& item : itens) {
    const auto pedido = como_inteiro(item.pedido);
    if (!pedido || item.item_pedido <= 0 || std::find(c.pedidos.begin(), c.pedidos.end(), *pedido) == c.pedidos.end()) {
      continue;
    }
    const std::string q = sql_number(item.quantidade, 4);
    if (!executa("update itens_pedidos set n_ipe_qtd_entregue = coalesce(n_ipe_qtd_entregue, 0) + " + q +
                     ", n_ipe_qtd_afaturar = greatest(coalesce(n_ipe_qtd_afaturar, 0) - " + q +
                     ", 0), n_ipe_qtd_pendente = greatest(coalesce(n_ipe_qtd_pendente, 0) - " + q +
                     ", 0) where i_ipe_codigo = (select i_ipe_codigo from itens_pedidos where i_ipe_codigo_pdi = " +
                     inteiro(*pedido) + " order by i_ipe_codigo offset " + inteiro(item.item_pedido - 1) +
                     " limit 1) and greatest(coalesce(n_ipe_qtd_afaturar, 0), coalesce(n_ipe_qtd_pendente, 0)) >= " +
                     q + " returning i_ipe_codigo",
                 contexto)) {
      return false;
    }
    if (t.next() != 1) {
      falha = "O item " + std::to_string(item.item_pedido) + " do pedido " + std::to_string(*pedido) +
              " já foi faturado.|Não pode ser importado duas vezes. A venda não foi gravada.";
      return false;
    }
  }
  if (!executa("update pedidos set i_pdi_ide_asaidas = " + inteiro(venda) + " where i_pdi_codigo in (" + ids +
                   ") and not exists (select 1 from itens_pedidos where i_ipe_codigo_pdi = i_pdi_codigo and "
                   "(coalesce(n_ipe_qtd_afaturar, 0) > 0 or coalesce(n_ipe_qtd_pendente, 0) > 0));",
               contexto)) {
    return false;
  }
  for (const std::int32_t pedido : c.pedidos) {
    if (!executa("insert into tnota_pedido (i_tnp_asaidas, i_tnp_pedido) values (" + inteiro(venda) + ", " +
                     inteiro(pedido) + ");",
                 contexto)) {
      return false;
    }
  }
  if (c.troca_cliente_carga_pedido != 1 || !c.cliente_alterado) return true;
  const std::string onde =
      varios ? " where i_pdi_codigo in (" + ids + ") ;" : " where i_pdi_codigo = " + inteiro(c.pedidos.front()) + " ;";
  return executa(
      "update pedidos set i_pdi_codigo_cli = " + inteiro(dados.CLIENTE.CODIGO) + onde,
      varios ? "Erro ao atualizar cliente dos multiplos pedidos.|" : "Erro ao atualizar cliente do pedido.|");
}

// 12: the items, each with its product's cost and tax classification read again.
bool GRAVACAO_VENDA::Gravacao::grava_itens() {
  if (!le("select i_tna_venda_futura, i_tna_atualiza_custo, s_tna_mesagem_nf from tnaturezaoperacao where "
          "i_tna_codigo_operacao = " +
              inteiro(dados.OPERACAO.CODIGO),
          "Erro ao buscar dados da tabela tnaturezaoperacao.|")) {
    return false;
  }
  venda_futura = como_inteiro(t.value(0)).value_or(0);
  atualiza_custo = como_inteiro(t.value(1)).value_or(0);
  for (LinhaItem& item : itens) {
    if (!le("select cpcuproduto, ctriproduto, n_apr_base_st_retido, n_apr_valor_st_retido from aprodutos where "
            "ccodproduto = " +
                inteiro(item.produto),
            "Erro ao buscar informações do produto.|")) {
      return false;
    }
    item.custo = como_real(t.value(0));
    aplica_st_retido(item, como_real(t.value(2)), como_real(t.value(3)));
    if (!le("select ccodtributacao from ttributacao where ccodtributacao = " +
                inteiro(como_inteiro(t.value(1)).value_or(0)),
            "Erro ao buscar informações da tributação.|")) {
      return false;
    }
    if (!executa(insercao("ahistorico", colunas_item(item, venda, c, t)), "Erro ao incluir item da nota fiscal.|")) {
      return false;
    }
  }
  return true;
}

// 13: payments, change and the customer credits they used. Every row
// shares the sale's transaction, company, operator, user and customer.
bool GRAVACAO_VENDA::Gravacao::grava_pagamentos() {
  const auto lancamento = [&](std::int32_t favorecido, double credito, double debito, const std::string& descricao,
                              std::int32_t tipo, Date data) {
    return Colunas{{"ccodigofavorecidohistorico", inteiro(favorecido)},
                   {"cvalorcreditohistorico", sql_number(credito, 2)},
                   {"cvalordebitohistorico", sql_number(debito, 2)},
                   {"cdescricaohistorico", texto(descricao)},
                   {"i_ahc_tip_lancto", inteiro(tipo)},
                   {"i_ahc_ide_transacao_fin", inteiro(transacao)},
                   {"i_ahc_codigo_tem", inteiro(c.empresa)},
                   {"i_ahc_operador", inteiro(c.operador)},
                   {"i_ahc_usuario", inteiro(c.usuario)},
                   {"d_ahc_data", sql_date(data)}};
  };
  constexpr std::string_view kInsercaoConta = "Erro ao gravar pagamentos da nota fiscal!|Erro ao inserir ahcontas|";
  const std::string emissor = std::to_string(serie);
  for (const payment::Payment& p : dados.PAGAMENTOS) {
    // Service-order deposits are postings already; step 21 links them to the sale.
    if (p.SINAL_OS != 0 || round_to(p.VALOR, 2) <= 0) continue;
    if (!le("select i_tef_codigo_afa, coalesce(i_tef_tef_cheque, 0), coalesce(i_tef_codigo_tba, 0) from "
            "tabempfavorecido where i_tef_codigo = " +
                inteiro(p.CODIGO_FORMA),
            "Erro ao gravar pagamentos da nota fiscal!|Erro ao selecionar favorecido.|")) {
      return false;
    }
    const std::int32_t favorecido = como_inteiro(t.value(0)).value_or(0);
    const std::int32_t tef_cheque = como_inteiro(t.value(1)).value_or(0);
    const std::int32_t conta = como_inteiro(t.value(2)).value_or(0);
    std::int32_t origem = 0;
    if (p.ID_CREDITO != 0) {
      const std::string credito = inteiro(p.ID_CREDITO);
      constexpr std::string_view kLeitura = "Erro ao dar get na tabela ahcontas para gravar a nota fiscal!|Erro |";
      if (!le("select cvalorcreditohistorico, ccodigofavorecidohistorico, coalesce(i_ahc_codigo_cli, 0) from "
              "ahcontas where idhistorico = " +
                  credito + " and i_ahc_tip_lancto = 3 and i_ahc_credito_utilizado = 0 for update",
              kLeitura)) {
        return false;
      }
      const double saldo = round_to(como_real(t.value(0)) - p.VALOR, 2);
      if (saldo < 0) {
        falha = std::string{kLeitura} + "Crédito do cliente menor que o pagamento.";
        return false;
      }
      const std::int32_t favorecido_credito = como_inteiro(t.value(1)).value_or(0);
      const std::int32_t cliente_credito = como_inteiro(t.value(2)).value_or(0);
      if (!executa("update ahcontas set i_ahc_credito_utilizado = 1 where idhistorico = " + credito,
                   "Erro ao atualizar registro de crédito utilizado.|")) {
        return false;
      }
      if (saldo > 0) {
        Colunas restante =
            lancamento(favorecido_credito, saldo, 0, "Crédito restante NF: " + std::to_string(numero), 3, today());
        restante.emplace_back("i_ahc_codigo_cli", chave(cliente_credito));
        restante.emplace_back("i_ahc_ide_credito_origem", credito);
        if (!executa(insercao("ahcontas", restante),
                     "Erro ao sincronizar.Erro ao adicionar novo registro de crédito restante.|")) {
          return false;
        }
      }
      origem = p.ID_CREDITO;
    }
    Colunas linha = lancamento(favorecido, p.VALOR, 0, "Venda NF: " + std::to_string(numero) + " - Emissor: " + emissor,
                               1, emissao);
    linha.emplace_back("cidesaivenhist", inteiro(venda));
    linha.emplace_back("ctef_cheque", inteiro(tef_cheque));
    linha.emplace_back("i_ahc_conta", inteiro(conta));
    linha.emplace_back("i_ahc_codigo_forma", inteiro(p.CODIGO_FORMA));
    linha.emplace_back("i_ahc_codigo_cli", inteiro(dados.CLIENTE.CODIGO));
    linha.emplace_back("i_ahc_ide_credito_origem", chave(origem));
    if (!executa(insercao("ahcontas", linha), kInsercaoConta)) return false;
  }
  const double troco = round_to(-dados.VALOR_TROCO, 2);
  if (troco <= 0) return true;
  if (!le("select ccodigofavorecido from afavorecidos where i_afa_tipo = 2 order by ccodigofavorecido limit 1",
          "Erro ao buscar favorecido de troco.|")) {
    return false;
  }
  Colunas linha =
      lancamento(como_inteiro(t.value(0)).value_or(0), 0, troco, "Troco NF: " + std::to_string(numero), 1, emissao);
  linha.emplace_back("cidesaivenhist", inteiro(venda));
  linha.emplace_back("ctef_cheque", "0");
  linha.emplace_back("i_ahc_codigo_cli", inteiro(dados.CLIENTE.CODIGO));
  return executa(insercao("ahcontas", linha), kInsercaoConta);
}

// 14: installments of a credit condition.
bool GRAVACAO_VENDA::Gravacao::grava_parcelas() {
  if (c.tipo_condicao != 'P') return true;
  for (const payment::QUEUE_PARCELAS& parcela : dados.PARCELAS) {
    const Colunas linha = {{"cisadupli", inteiro(venda)},
                           {"cnotdupli", inteiro(numero)},
                           {"cnprdupli", inteiro(parcela.NUMERO)},
                           {"cemidupli", sql_date(today())},
                           {"cvendupli", sql_date(parcela.VENCIMENTO)},
                           {"cvprdupli", sql_number(parcela.VALOR, 2)}};
    if (!executa(insercao("asduplicatas", linha),
                 "Erro ao sincronizar duplicatas notas!|Erro ao inserir ASDUPLICATAS|")) {
      return false;
    }
  }
  return true;
}

// 16: release records, on this connection inside the transaction.
bool GRAVACAO_VENDA::Gravacao::grava_liberacoes() {
  for (const Colunas& linha : colunas_liberacoes(dados, venda, t)) {
    if (!executa(insercao("aliberacao", linha), "Erro ao gravar dados da liberação de desconto no banco de dados.|")) {
      return false;
    }
  }
  return true;
}

// 16: the commission percentages set for this sale, one row per
// commission that is not zero, numbered 1 to 10 as the form shows them.
bool GRAVACAO_VENDA::Gravacao::grava_comissoes() {
  for (std::size_t n = 0; n < c.comissoes.size(); ++n) {
    if (round_to(c.comissoes[n], 2) == 0) continue;
    const Colunas linha = {{"i_asc_ide_asaidas", inteiro(venda)},
                           {"i_asc_ordem", inteiro(static_cast<std::int32_t>(n + 1))},
                           {"n_asc_percentual", sql_number(c.comissoes[n], 2)}};
    if (!executa(insercao("asaidas_comissao", linha), "Erro ao gravar comissões da venda.|")) return false;
  }
  return true;
}

// 17: additional information merged into the note's text.
bool GRAVACAO_VENDA::Gravacao::grava_texto_nota() {
  const auto mensagem = [this](const std::string& sql, std::string_view tabela) {
    const std::string consulta = "Erro ao efetuar consulta na tabela " + std::string{tabela} + ".|";
    const std::string leitura = "Erro ao setar registro na tabela " + std::string{tabela} + ".|";
    if (!executa(sql, consulta)) return false;
    while (t.next() == 1) texto_nota = junta_mensagem(texto_nota, t.value(0));
    if (!t.at_end()) {
      falha = t.error_text(leitura);
      return false;
    }
    return true;
  };
  if (!mensagem("select s_tna_mesagem_nf from tnaturezaoperacao where i_tna_codigo_operacao = " +
                    inteiro(dados.OPERACAO.CODIGO),
                "tnaturezaoperacao") ||
      !mensagem("select s_acl_mensagem_nfe from aclientes where ccodigo = " + inteiro(dados.CLIENTE.CODIGO),
                "aclientes")) {
    return false;
  }
  std::set<std::int32_t> produtos;
  for (const LinhaItem& item : itens) {
    if (!produtos.insert(item.produto).second) continue;
    if (!mensagem("select s_atr_msg_tributacao from ttributacao inner join aprodutos on ccodproduto = " +
                      inteiro(item.produto) + " and ctriproduto = ccodtributacao",
                  "ttributacao")) {
      return false;
    }
  }
  return executa("update asaidas set cobssaidas = " + texto(text::cut(texto_nota, kObservacaoNota)) +
                     " where cidesaidas = " + inteiro(venda),
                 "Erro ao incluir nota fiscal.|");
}

int GRAVACAO_VENDA::pos_gravacao(const Gravacao& g) {
  const CONTEXTO_VENDA& c = g.c;
  PassthroughTable t("GRAVACAO_VENDA", c.conexao);
  // Each step in its own transaction: it is written whole or not at all.
  const auto transacao = [&](std::string_view contexto, const std::function<bool(std::string&)>& passos) {
    std::string falha;
    Transaction guarda(t, ui_);
    if (!guarda.begun()) {
      ui_.message(t.error_text("Erro ao abrir transação para gravação.|"), kErro, MessageIcon::Error);
      return false;
    }
    if (passos(falha) && guarda.commit() == 1) return true;
    if (falha.empty()) falha = t.error_text(contexto);
    guarda.rollback();
    ui_.message(falha, kErro, MessageIcon::Error);
    return false;
  };
  int resultado = 1;

  // 19: a reloaded future-delivery sale with nothing left to deliver.
  if (c.venda_recarregada != 0 && g.venda_futura == 1) {
    const std::string antiga = inteiro(c.venda_recarregada);
    const std::string contexto = "Erro ao atualizar situação da nota de venda futura |";
    const bool ok = transacao(contexto, [&](std::string& falha) {
      if (t.execute("Select (Select sum(csaihisotorico) from ahistorico where CISAHistorico = " + antiga +
                    ") - (Select sum(csaihisotorico) from ahistorico,asaidas where CISAHistorico = cidesaidas and "
                    "ide_futura = " +
                    antiga + ")") != 1 ||
          t.next() != 1) {
        falha = t.error_text(contexto);
        return false;
      }
      if (t.is_null(0) || como_real(t.value(0)) > 0) return true;
      return t.execute("update asaidas set situ_futura = 1 where cidesaidas = " + antiga) == 1;
    });
    if (!ok) resultado = 0;
  }

  // 20: the products' cost, when the operation asks for it.
  if (g.atualiza_custo == 1 && ui_.message("Deseja atualizar o valor de custo dos produtos?", "Aviso do Sistema",
                                           MessageIcon::Question, "&Sim|&Não", 1) == 1) {
    const bool ok = transacao("Erro ao consultar tabela ahistorico e tabela aprodutos.|", [&](std::string&) {
      for (const LinhaItem& item : g.itens) {
        const std::string custo = sql_number(item.unitario, 4);
        const std::string produto = inteiro(item.produto);
        if (t.execute("update ahistorico set CVcuHistorico = " + custo + " where cisahistorico = " + inteiro(g.venda) +
                      " and cprohistorico = " + produto + ";") != 1 ||
            t.execute("update aprodutos set cpcuproduto = " + custo + " where CCodProduto = " + produto + ";") != 1) {
          return false;
        }
      }
      return true;
    });
    if (!ok) resultado = 0;
  }

  // 21: service orders invoiced by this sale, and their deposits.
  if (!c.ordens_servico.empty()) {
    const std::string ids = sql_integer_list(c.ordens_servico);
    const std::string data = sql_date(today());
    const std::string hora = sql_time(clock_now());
    std::string contexto = "Erro ao atualizar faturamento de Ordens de Serviço.|";
    const bool ok = transacao("", [&](std::string& falha) {
      if (t.execute("update aordens set  ide_asaidas = " + inteiro(g.venda) + "," + " data_fat = " + data + "," +
                    " hora_fat = " + hora + "," + " ope_fat = " + inteiro(c.operador) + "," + " cdbaiord  = " + data +
                    "," + " hora_exe = " + hora + "," + " ope_exe = " + inteiro(c.operador) + " " +
                    " where cideord in ( " + ids + " );") != 1) {
        falha = t.error_text(contexto);
        return false;
      }
      if (t.execute("update ahcontas set cidesaivenhist = " + inteiro(g.venda) + " , i_ahc_ide_transacao_fin  = " +
                    inteiro(g.transacao) + " where i_ahc_ide_oservico in ( " + ids + " );") != 1) {
        falha = t.error_text("Erro ao atualizar ID asaidas e ID transação do sinal OS na tabela AHCONTAS.|");
        return false;
      }
      return true;
    });
    if (!ok) resultado = 0;
  }
  return resultado;
}

}  // namespace fvn
