// Settling notes against the service: the move of a note renumbered in
// contingency (Duplica_Nota) and the resolution of every note the service
// may hold that the shop has not settled (Resolve_Notas_Offline).
//
// The issue state (asaidas.i_asa_situacao_nfce) and how the resolution
// decides. A note to settle is a standing sale (s_asa_estorno null) with
//   i_asa_situacao_nfce = 1  in doubt: marked before it was sent, not yet
//                            stored as authorised nor refused; or
//   i_asa_situacao_nfce = 2  original of a renumbered note, waiting for the
//                            service to void its number; or
//   contingency 1, oid 0, no protocol  (accepted in contingency); or
//   i_asa_quorvex_canc = 1   (owed a cancellation).
// A sale of an electronic emitter is recorded in state 1; the key (none
// yet for a sale never sent: the one it would be sent under is computed) and
// the moment are stored just before the sending.
// For each, the status of its key (s_asa_chave_nfe) is asked, with bounded
// retries when the service does not answer (then it is left for the next
// run), and:
//   OK           the authorisation is stored: oid, protocol, QR address,
//                moment, the authorised XML (inserted when the sale has no
//                xmlnfe row yet), the NSU when it has none; state 0;
//   PENDENTE     left for the next run (counted as pending);
//   ERRO         the service refused it: reversed ('R'), counted as error;
//   INUTILIZADO  its number was voided: a voided row in asaidas_canc, and
//                the sale's rows are deleted; but a sale in doubt whose
//                number was voided in favour of a replacement (the answer
//                names its key and number) is moved to it (Duplica_Nota)
//                and settled under the new key, then the original as voided;
//   unknown key  (cStat 217) the service never received it: reversed ('R')
//                once unknown_key_grace_ms has passed since it was sent (a
//                request still in flight may yet arrive), else left; the
//                original of a renumbered note is treated as voided.
// A sale a station is sending right now (its advisory lock is held) and a
// row another station is settling (row lock, "skip locked") are left alone;
// each note is settled in a transaction of its own, so two stations settle
// each note exactly once. Duplica_Nota runs in one transaction (a failure
// leaves no half-moved sale and no temporary table behind).
#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "data/transaction.h"
#include "runtime/text.h"
#include "service/nfce_processo.h"
#include "service/traduz_erro.h"

namespace fvn {

namespace {

constexpr std::string_view kJustification =
    "NFCe cancelada apos realizar tentativa de cancelamento quando o sefaz estava offline para o PDV.";

// The notes to settle, of sales that stand (see the top of this file).
constexpr std::string_view kCondition = kNotasPendentes;

std::string why(const PassthroughTable& table) {
  return table.driver_message() + "|" + std::string{table.runtime_message()};
}

}  // namespace

int NFCE_PROCESSO::Duplica_Nota(std::int32_t old_sale) {
  constexpr std::string_view kFunction = "Duplica_Nota";
  PassthroughTable table("Tabela_Duplica_Nota", connection_);
  std::int32_t new_sale = 0;
  std::int32_t series = 0;
  std::int32_t nsu = 0;
  std::int32_t own_number = 0;
  table.bind_long(new_sale).bind_long(series).bind_long(nsu).bind_long(own_number);
  if (table.open() != 1) return set_error(table.error_text("Erro ao abrir tabela|"), 0, kFunction);
  // The key the sale was sent under, which the original keeps: the service
  // reports that one voided.
  std::string original_key;
  if (DOCUMENTO.Monta_Chave_Acesso(old_sale, original_key) != 1 || !sql_service_key(original_key) ||
      original_key.size() != 44) {
    return set_error("Erro ao gerar chave pelo velto da NFCe que será duplicada" + DOCUMENTO.ERROR, 0, kFunction);
  }
  const auto key = sql_service_key(authorisation_.access_key);
  const auto number = sql_service_integer(authorisation_.number);
  if (!key || *key == "NULL" || !number || *number == "NULL") {
    return set_error("Chave ou número inválido devolvido pelo serviço: \"" + authorisation_.access_key + "\", \"" +
                         authorisation_.number + "\".",
                     0, kFunction);
  }
  const std::string old_id = sql_integer(old_sale);
  Transaction transaction(table, ui_);
  if (!transaction.begun()) return set_error(table.error_text("Erro ao abrir transação|"), 0, kFunction);
  auto fail = [&](std::string_view context) {
    const std::string text = table.error_text(context);
    transaction.rollback();
    current_sale_ = old_sale;
    return set_error(text, 0, kFunction);
  };
  if (table.execute("select nextval('seque_asaidas'), csrisaidas, inclui_sequencia_nsu(cempresasaidas), cnotsaidas "
                    "from asaidas where cidesaidas = " +
                    old_id + ";") != 1 ||
      table.next() != 1) {
    return fail("Erro ao consultar sequencia futura da tabela asaidas|");
  }
  const std::string own = sql_integer(own_number);
  current_sale_ = new_sale;
  const std::string new_id = sql_integer(new_sale);
  struct Statement {
    std::string sql;
    std::string_view context;
  };
  // A sale of this shop that was given the service's number and has no
  // authorisation cannot be authorised under it (the service holds that
  // number now): it takes the series' next number, so neither sale is lost
  // to the unique number index. A sale reversed as refused (the service
  // refused it because it held the number) gives the number up too.
  PassthroughTable other("Tabela_Duplica_Outra", connection_);  // same session: same transaction
  if (other.open() != 1 ||
      other.execute(
          "update asaidas set cnotsaidas = inclui_sequencia(csrisaidas) where csrisaidas = " + sql_integer(series) +
          " and cnotsaidas = " + *number + " and coalesce(s_asa_estorno, 'R') = 'R' and cidesaidas <> " + old_id +
          " and s_asa_protocolo_nfe = '' returning cidesaidas, cnotsaidas") != 1) {
    const std::string text = other.error_text("Erro ao renumerar venda com o número devolvido pelo servidor|");
    transaction.rollback();
    current_sale_ = old_sale;
    return set_error(text, 0, kFunction);
  }
  std::vector<Statement> statements;
  while (other.next() == 1) {
    const std::string other_id = other.value(0);  // digits read back from the database
    const std::string other_number = other.value(1);
    statements.push_back(
        {"update asduplicatas set cnotdupli = " + other_number + " where cisadupli = " + other_id + ";",
         "Erro ao renumerar duplicatas da venda com o número devolvido pelo servidor|"});
    statements.push_back({"update ahcontas set cdescricaohistorico = replace(cdescricaohistorico, '" + *number +
                              "' , '" + other_number + "') where cidesaivenhist = " + other_id + ";",
                          "Erro ao renumerar pagamentos da venda com o número devolvido pelo servidor|"});
  }
  const std::vector<Statement> moves = {
      {"select * into temp table asaidas_nfce from asaidas where cidesaidas = " + old_id + " ;",
       "Erro ao inserir dados na tabela temporária asaidas_nfce|"},
      {"update asaidas_nfce set cidesaidas = " + new_id + ", s_asa_chave_nfe = " + *key + ", cnotsaidas = " + *number +
           ", i_asa_nsu  = " + sql_integer(nsu) + " ;",
       "Erro ao atualizar ID na tabela temporária asaidas_nfce|"},
      {"insert into asaidas select * from asaidas_nfce;", "Erro ao inserir registros duplicados na tabela asaidas |"},
      {"drop table asaidas_nfce;", "Erro ao dar drop na tabela temporária asaidas_nfce  |"},
      {"insert into anosequencia values (" + sql_integer(series) + ", " + *number +
           ", '1'  ) on conflict (i_ano_serie, i_ano_numero) do update set s_ano_origem = '1';",
       "Erro ao inserir nota duplicada na tabela anosequencia |"},
      {"update xmlnfe set s_nfe_chave = " + *key + ", i_nfe_codigo_asa = " + new_id +
           " where i_nfe_codigo_asa = " + old_id + ";",
       "Erro ao mover XML da NFC-e duplicada na tabela xmlnfe |"},
      {"update ahistorico set cisahistorico = " + new_id + " where cisahistorico = " + old_id + ";",
       "Erro ao mover itens da NFC-e duplicada na tabela ahistorico |"},
      {"update ahcontas set cidesaivenhist = " + new_id + ", cdescricaohistorico = replace(cdescricaohistorico, '" +
           own + "' , '" + *number + "') where cidesaivenhist = " + old_id + ";",
       "Erro ao mover pagamentos da NFC-e duplicada na tabela ahcontas |"},
      {"update asduplicatas set cnotdupli = " + *number + ", cisadupli = " + new_id + " where cisadupli = " + old_id +
           ";",
       "Erro ao mover duplicatas da NFC-e duplicada na tabela asduplicatas |"},
      {"update tnota_pedido set i_tnp_asaidas = " + new_id + " where i_tnp_asaidas = " + old_id + ";",
       "Erro ao mover pedidos da NFC-e duplicada na tabela tnota_pedido |"},
      {"update aliberacao set i_ali_ide_asaidas = " + new_id + " where i_ali_ide_asaidas = " + old_id + ";",
       "Erro ao mover liberações da NFC-e duplicada na tabela aliberacao |"},
      {"update carta_correcao set i_cce_ide_asaidas = " + new_id + " where i_cce_ide_asaidas = " + old_id + ";",
       "Erro ao mover cartas de correção da NFC-e duplicada na tabela carta_correcao |"},
      {"update asaidas_comissao set i_asc_ide_asaidas = " + new_id + " where i_asc_ide_asaidas = " + old_id + ";",
       "Erro ao mover comissões da NFC-e duplicada na tabela asaidas_comissao |"},
      {"update pedidos set i_pdi_ide_asaidas = " + new_id + " where i_pdi_ide_asaidas = " + old_id + ";",
       "Erro ao mover pedidos faturados pela NFC-e duplicada na tabela pedidos |"},
      {"update aordens set ide_asaidas = " + new_id + " where ide_asaidas = " + old_id + ";",
       "Erro ao mover ordens de serviço faturadas pela NFC-e duplicada na tabela aordens |"},
      // The original number stays tracked, with no financial effect, until
      // the service reports it voided.
      {"update asaidas set i_asa_situacao_nfce = 2, s_asa_chave_nfe = " + *sql_service_key(original_key) +
           " where cidesaidas = " + old_id + ";",
       "Erro ao marcar NFC-e original da duplicada na tabela asaidas |"},
  };
  statements.insert(statements.end(), moves.begin(), moves.end());
  for (const Statement& statement : statements) {
    if (table.execute(statement.sql) != 1) return fail(statement.context);
  }
  if (transaction.commit() != 1) return fail("Erro ao confirmar duplicação da nota|");
  if (table.close() != 1) return set_error(table.error_text("Erro ao fechar Tabela_Duplica_Nota|"), 0, kFunction);
  return 1;
}

// The rest of an authorisation found by the resolution, in its
// transaction: the authorised XML (a new xmlnfe row when the sale has none,
// else the one kept in contingency gives way to it), the NSU when the sale
// has none, and nothing left outstanding.
int NFCE_PROCESSO::store_resolved(PassthroughTable& table, std::int32_t sale, const std::string& key) {
  const std::string id = sql_integer(sale);
  if (table.execute("select count(*) from xmlnfe where i_nfe_codigo_asa = " + id) != 1 || table.next() != 1) {
    return set_error(table.error_text("Erro ao consultar tabela xmlnfe|"), 0, "store_resolved");
  }
  if (table.value(0) == "0") {
    authorisation_ = AuthorisationResult{};
    authorisation_.access_key = text::clip(status_.access_key).empty() ? key : text::clip(status_.access_key);
    authorisation_.protocol = status_.protocol;
    authorisation_.qr_code_url = status_.qr_code_url;
    starting_sale_ = sale;
    current_sale_ = sale;
    if (Incluir_XML_Banco(sale) != 1) return 0;
  } else {
    std::string xml;
    if (SERVICO.busca_documento(key, xml) == 1 && !xml.empty() &&
        table.execute("update xmlnfe set b_nfe_xml = $1::bytea where i_nfe_codigo_asa = " + id +
                          " and s_nfe_chave = " + table.literal(key),
                      {SqlParam::bytes(xml)}) != 1) {
      return set_error(table.error_text("Erro ao atualizar XML autorizado da NFC-e na tabela xmlnfe.|"), 0,
                       "store_resolved");
    }
  }
  if (table.execute("update asaidas set i_asa_situacao_nfce = 0, i_asa_nsu = case when i_asa_nsu = 0 then "
                    "inclui_sequencia_nsu(cempresasaidas) else i_asa_nsu end where cidesaidas = " +
                    id) != 1) {
    return set_error(table.error_text("Erro ao salvar NSU em ASAIDAS.|"), 0, "store_resolved");
  }
  return 1;
}

int NFCE_PROCESSO::Lista_Notas_Offline(std::vector<std::pair<std::int32_t, std::string>>& notes) {
  PassthroughTable table("Tabela_Notas_Offline", connection_);
  std::int32_t sale = 0;
  std::string key;
  table.bind_long(sale).bind_text(key, 61);
  if (table.open() != 1 || table.execute("select cidesaidas, s_asa_chave_nfe from asaidas where " +
                                         std::string{kCondition} + " order by cidesaidas ") != 1) {
    return set_error(table.error_text("Erro ao realizar consulta de notas fiscais emitidas em contingência.|"), 0,
                     "Lista_Notas_Offline");
  }
  notes.clear();
  while (table.next() == 1) notes.emplace_back(sale, text::clip(key));
  table.close();
  return 1;
}

int NFCE_PROCESSO::Resolve_Notas_Offline(std::int32_t& pending, std::int32_t& errors) {
  pending = 0;
  errors = 0;
  flags_ = Flags{};
  int result = 1;
  PassthroughTable table("Tabela_Notas_Offline", connection_);
  struct Row {
    std::int32_t sale = 0;
    std::string key;
    std::int32_t number = 0;
    std::int32_t series = 0;
    std::int32_t cancel = 0;
  };
  Row row;
  table.bind_long(row.sale).bind_text(row.key, 61).bind_long(row.number).bind_long(row.series).bind_long(row.cancel);
  if (table.open() != 1 ||
      table.execute("select cidesaidas, s_asa_chave_nfe, cnotsaidas, csrisaidas, i_asa_quorvex_canc from asaidas "
                    "where " +
                    std::string{kCondition} + " order by cidesaidas ") != 1) {
    const std::string text = "Erro ao realizar consulta de notas fiscais emitidas em contingência." + why(table);
    LOG.Gera_Arquivo_Log(text);
    post_failure(text);
    return 0;
  }
  std::vector<Row> rows;
  while (table.next() == 1) rows.push_back(row);
  for (const Row& r : rows) {
    status_line("Resolvendo NFC-e da venda " + std::to_string(r.sale) + "...");
    if (resolve_row(r.sale, text::clip(r.key), r.number, r.series, r.cancel, pending, errors) != 1) result = 0;
  }
  if (table.close() != 1) {
    post_failure(table.error_text("Erro ao fechar Tabela_Notas_Offline|"));
    result = 0;
  }
  return result;
}

// Settles one note in a transaction of its own, under a lock on its row.
int NFCE_PROCESSO::resolve_row(std::int32_t sale, const std::string& key, std::int32_t number, std::int32_t series,
                               std::int32_t cancel_pending, std::int32_t& pending, std::int32_t& errors) {
  PassthroughTable table("Tabela_Resolve_Nota", connection_);
  const std::string id = sql_integer(sale);
  Transaction transaction(table, ui_);
  if (!transaction.begun()) {
    post_failure(table.error_text("Erro ao abrir transação|"));
    return 0;
  }
  auto fail = [&](const std::string& log_text, const std::string& error_text) {
    LOG.Gera_Arquivo_Log(log_text);
    post_failure(error_text);
    transaction.rollback();
    return 0;
  };
  auto fail_db = [&](std::string_view log_text, std::string_view error_text) {
    const std::string suffix = why(table);
    return fail(std::string{log_text} + suffix, std::string{error_text} + suffix);
  };
  // The row, locked; a sale being sent, another station settling it (or a
  // settled row) is skipped.
  if (table.execute("select pg_try_advisory_xact_lock(" + std::to_string(kSendLock) + ", " + id + ")") != 1 ||
      table.next() != 1) {
    return fail_db("Erro ao bloquear NFC-e para resolução.", "Erro ao bloquear NFC-e para resolução.");
  }
  if (table.value(0) != "t") {
    transaction.commit();
    ++pending;
    return 1;
  }
  if (table.execute("select i_asa_situacao_nfce, s_asa_protocolo_nfe = '', t_asa_envio_nfce is null or "
                    "clock_timestamp() - t_asa_envio_nfce >= make_interval(secs => " +
                    std::to_string(SERVICO.gateway().config().unknown_key_grace_ms) + " / 1000.0" +
                    ") from asaidas where cidesaidas = " + id + " and " + std::string{kCondition} +
                    " for update skip locked") != 1) {
    return fail_db("Erro ao bloquear NFC-e para resolução.", "Erro ao bloquear NFC-e para resolução.");
  }
  if (table.next() != 1) {
    transaction.commit();
    return 1;
  }
  const bool renumbered = table.value(0) == "2";
  // Only a sale without an authorisation may be reversed for a key the
  // service does not know, and only once a request still in flight would
  // have reached the service.
  const bool unauthorised = table.value(1) == "t";
  const bool grace_over = table.value(2) == "t";
  // A sale recorded and never sent has no key yet: the one it would be sent
  // under.
  std::string sent_key = key;
  if (sent_key.empty() && DOCUMENTO.Monta_Chave_Acesso(sale, sent_key) != 1) {
    return fail("Erro ao gerar chave da NFC-e." + DOCUMENTO.ERROR, "Erro ao gerar chave da NFC-e." + DOCUMENTO.ERROR);
  }
  std::string state;
  if (query_status(sent_key) == 1) {
    state = text::upper(text::clip(status_.authorisation_status));
  } else if (!SERVICO.Chave_Desconhecida() || !unauthorised) {
    return fail("Retorno Quorvex - Erro ao consultar status da NFCe," + SERVICO.error_text(),
                "Erro ao consultar status da NFCe.|" + SERVICO.error_text());
  } else if (renumbered) {
    state = "INUTILIZADO";  // the service never held the original number: nothing left to void
  } else if (!grace_over) {
    ++pending;
    transaction.commit();
    return 1;
  } else {
    state = "ERRO";  // never received: reversed as not issued
  }
  // The note the service holds under another number: authorised under it
  // (renumbered, and the move failed when it was sent), or the number sent
  // was voided in favour of a replacement (renumbered, and the sender died
  // before it recorded the answer).
  const bool replaced = state == "INUTILIZADO" && !text::clip(status_.replacement_key).empty();
  const auto returned_number = sql_service_integer(replaced ? status_.replacement_number : status_.number);
  if ((state == "OK" || replaced) && !renumbered && returned_number && *returned_number != sql_integer(number)) {
    // The sale moves to that number now; the note is settled under its new
    // key and the original, left with no financial effect, under its own.
    transaction.commit();
    authorisation_ = AuthorisationResult{};
    authorisation_.number = *returned_number;
    authorisation_.access_key = text::clip(replaced ? status_.replacement_key : status_.access_key);
    if (Duplica_Nota(sale) != 1) {
      const std::string text = "Erro ao duplicar NFCe emitida em contingência|" + Traduz_Erro();
      LOG.Gera_Arquivo_Log(text);
      post_failure(text);
      return 0;
    }
    // The number fitted its integer column, or the move would have failed.
    const int moved = resolve_row(current_sale_, authorisation_.access_key, std::stoi(*returned_number), series,
                                  cancel_pending, pending, errors);
    // The original's key is the one it was recorded under (computed again:
    // the sale may have followed the service's key).
    const int original = resolve_row(sale, std::string{}, number, series, 0, pending, errors);
    return moved == 1 && original == 1 ? 1 : 0;
  }
  // The first and the last branch both count a pending note, for different
  // reasons; they cannot be merged, since a pending note whose cancellation
  // was accepted takes the cancellation branch between them.
  // NOLINTNEXTLINE(bugprone-branch-clone)
  if (renumbered && state != "INUTILIZADO") {
    // The original of a renumbered note has no financial effect: only the
    // voiding of its number settles it.
    ++pending;
  } else if (state == "OK") {
    const auto oid = sql_service_integer(status_.oid);
    const auto date = sql_service_date(status_.authorisation_date);
    const auto time = sql_service_time(status_.authorisation_time);
    if (!oid || *oid == "NULL" || !date || !time || text::clip(status_.protocol).empty()) {
      const std::string text = "Erro ao atualizar oid e procotolo de autorização da NFC-e na tabela asaidas." +
                               std::string{"Valores inválidos devolvidos pelo serviço."};
      return fail(text, text);
    }
    if (table.execute("update asaidas set i_asa_oid_quorvex = " + *oid +
                      ", s_asa_protocolo_nfe = " + table.literal(status_.protocol) + ", i_asa_url_code_nfce = " +
                      table.literal(status_.qr_code_url) + ", d_asa_data_autorizacao_nfce = " + *date +
                      " , h_asa_hora_autorizacao_nfce = " + *time + "  where cidesaidas = " + id) != 1) {
      return fail_db("Erro ao atualizar oid e procotolo de autorização da NFC-e tabela asaidas.",
                     "Erro ao atualizar oid e procotolo de autorização da NFC-e na tabela asaidas.");
    }
    if (table.execute("update xmlnfe set s_nfe_protocolo_autorizacao = " + table.literal(status_.protocol) +
                      " where i_nfe_codigo_asa = " + id) != 1) {
      return fail_db("Erro ao atualizar procotolo de autorização da NFC-e tabela xmlnfe.",
                     "Erro ao atualizar procotolo de autorização da NFC-e na tabela xmlnfe.");
    }
    if (store_resolved(table, sale, sent_key) != 1) {
      const std::string text = "Erro ao gravar Arquivo NFCe|" + Traduz_Erro();
      return fail(text, text);
    }
  } else if (state == "ERRO") {
    ++errors;
    if (table.execute("select estorna_transacao(" + id + ", 'Estorno de Nfe Rejeitada', 'R');") != 1) {
      return fail_db("Erro ao estornar nota eletrônica rejeitada.", "Erro ao estornar nota eletrônica rejeitada.");
    }
  } else if (state == "INUTILIZADO") {
    const std::pair<std::string, std::string_view> steps[] = {
        {"insert into asaidas_canc (cidesaidas,caviaprsaidas,ctessaidas,cemisaidas,cdtsaisaidas,cnatsaidas,"
         "cnotsaidas,csrisaidas,s_asa_status_nf) values (nextval('seque_asaidas_canc'),'V','S', CURRENT_DATE , "
         "CURRENT_DATE,'5.102'," +
             sql_integer(number) + "," + sql_integer(series) + ",'I') ; ",
         "Erro ao inserir NFCe inutilizada e duplicada na tabela asaidas_canc."},
        {"delete from asduplicatas where cisadupli = " + id + ";",
         "Erro ao deletar duplicatas NFCe inutilizada e duplicada na tabela asduplicatas."},
        {"delete from ahcontas where cidesaivenhist = " + id + ";",
         "Erro ao deletar pagamentos de NFCe inutilizada e duplicada na tabela ahcontas."},
        {"delete from ahistorico where cisahistorico = " + id + ";",
         "Erro ao deletar itens de NFCe inutilizada e duplicada na tabela ahistorico."},
        {"delete from xmlnfe where i_nfe_codigo_asa = " + id + ";",
         "Erro ao deletar nota de NFCe inutilizada e duplicada na tabela xmlnfe."},
        {"delete from tnota_pedido where i_tnp_asaidas = " + id + ";",
         "Erro ao deletar nota de NFCe inutilizada e duplicada na tabela tnota_pedido"},
        {"delete from aliberacao where i_ali_ide_asaidas = " + id + ";",
         "Erro ao deletar liberações de NFCe inutilizada e duplicada na tabela aliberacao."},
        {"delete from carta_correcao where i_cce_ide_asaidas = " + id + ";",
         "Erro ao deletar cartas de correção de NFCe inutilizada e duplicada na tabela carta_correcao."},
        {"delete from asaidas where cidesaidas = " + id + ";",
         "Erro ao deletar NFCe inutilizada e duplicada na tabela asaidas."},
    };
    for (const auto& [sql, context] : steps) {
      if (table.execute(sql) != 1) return fail_db(context, context);
    }
  } else if (text::upper(text::clip(status_.cancellation_status)) == "OK") {
    if (table.execute(
            "select estorna_transacao(" + id +
            ",'Nota fiscal cancelada devido a instabilidade no servidor quorvex, nota foi duplicada.','C');") != 1) {
      return fail_db("Erro ao estornar NFCe cancelada devido a instabilidade no servidor quorvex.",
                     "Erro ao estornar NFCe cancelada devido a instabilidade no servidor quorvex.");
    }
  } else if (state == "PENDENTE") {
    ++pending;
  }
  if (cancel_pending == 1 && state == "OK") {
    cancellation_protocol_.clear();
    if (SERVICO.cancelarxml_nfce(key, kJustification, cancellation_protocol_) != 1) {
      return fail("Erro ao gerar Arquivo de Cancelamento." + SERVICO.error_text(),
                  "Erro ao gerar Arquivo de Cancelamento.|" + SERVICO.error_text());
    }
    if (Incluir_XML_Cancelamento(sale) != 1) {
      const std::string text = "Erro ao gravar Arquivo NFCe|" + Traduz_Erro();
      return fail(text, text);
    }
    if (table.execute("select estorna_transacao(" + id + ", " + table.literal(kJustification) + ",'C');") != 1) {
      return fail_db("Erro ao estornar NFCe cancelada após tentativa de cancelemento.",
                     "Erro ao estornar NFCe cancelada após tentativa de cancelemento.");
    }
  }
  if (transaction.commit() != 1)
    return fail_db("Erro ao confirmar resolução da NFC-e.", "Erro ao confirmar resolução da NFC-e.");
  return 1;
}

}  // namespace fvn
