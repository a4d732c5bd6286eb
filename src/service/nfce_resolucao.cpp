// Settling notes against the service: the duplicate of a note renumbered in
// contingency (Duplica_Nota) and the resolution of contingency notes and of
// notes owed a cancellation (Resolve_Notas_Offline).
//
// Both are safe when two stations run them at once and when they are
// interrupted: Duplica_Nota runs in one transaction (a failure leaves no
// half-copied sale and no temporary table behind), and each note is settled
// in a transaction of its own under a row lock taken with "skip locked", so
// a note another station is settling is left to it. A reversed note is no
// longer selected, so running the resolution twice changes nothing the
// second time.
#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "runtime/text.h"
#include "service/nfce_processo.h"
#include "service/traduz_erro.h"

namespace fvn {

namespace {

constexpr std::string_view kJustification =
    "NFCe cancelada apos realizar tentativa de cancelamento quando o sefaz estava offline para o PDV.";

// The notes to settle: unresolved contingency notes and notes owed a
// cancellation, of sales that stand.
constexpr std::string_view kCondition =
    "((coalesce(s_asa_protocolo_nfe,'') = '' and i_asa_contigencia = 1 and i_asa_oid_quorvex = 0) or "
    "i_asa_quorvex_canc = 1) and s_asa_estorno is null";

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
  table.bind_long(new_sale).bind_long(series).bind_long(nsu);
  if (table.open() != 1) return set_error(table.error_text("Erro ao abrir tabela|"), 0, kFunction);
  const auto key = sql_service_key(authorisation_.access_key);
  const auto number = sql_service_integer(authorisation_.number);
  if (!key || *key == "NULL" || !number || *number == "NULL") {
    return set_error("Chave ou número inválido devolvido pelo serviço: \"" + authorisation_.access_key + "\", \"" +
                         authorisation_.number + "\".",
                     0, kFunction);
  }
  const std::string old_id = sql_integer(old_sale);
  const std::string own = sql_integer(invoice_number());
  if (table.execute("Begin") != 1) return set_error(table.error_text("Erro ao abrir transação|"), 0, kFunction);
  auto fail = [&](std::string_view context) {
    const std::string text = table.error_text(context);
    send_rollback(table, ui_);
    current_sale_ = old_sale;
    return set_error(text, 0, kFunction);
  };
  if (table.execute("select nextval('seque_asaidas'), csrisaidas, inclui_sequencia_nsu(cempresasaidas) from "
                    "asaidas where cidesaidas = " +
                    old_id + ";") != 1 ||
      table.next() != 1) {
    return fail("Erro ao consultar sequencia futura da tabela asaidas|");
  }
  current_sale_ = new_sale;
  const std::string new_id = sql_integer(new_sale);
  struct Statement {
    std::string sql;
    std::string_view context;
  };
  const std::vector<Statement> statements = {
      {"select * into temp table asaidas_nfce from asaidas where cidesaidas = " + old_id + " ;",
       "Erro ao inserir dados na tabela temporária asaidas_nfce|"},
      {"update asaidas_nfce set cidesaidas = " + new_id + ", s_asa_chave_nfe = " + *key + ", cnotsaidas = " + *number +
           ", i_asa_nsu  = " + sql_integer(nsu) + " ;",
       "Erro ao atualizar ID na tabela temporária asaidas_nfce|"},
      {"insert into asaidas select * from asaidas_nfce;", "Erro ao inserir registros duplicados na tabela asaidas |"},
      {"drop table asaidas_nfce;", "Erro ao dar drop na tabela temporária asaidas_nfce  |"},
      {"insert into anosequencia values (" + sql_integer(series) + ", " + *number + ", '1'  );",
       "Erro ao inserir nota duplicada na tabela anosequencia |"},
      {"select * into temp table xmlnfe_nfce from xmlnfe where i_nfe_codigo_asa =" + old_id + " ;",
       "Erro ao inserir dados na tabela temporária xmlnfe_nfce|"},
      {"update xmlnfe_nfce set i_nfe_codigo = nextval('seque_xmlnfe'), s_nfe_chave = " + *key +
           ", i_nfe_codigo_asa = " + new_id + ";",
       "Erro ao atualizar ID na tabela temporária xmlnfe_nfce|"},
      {"insert into xmlnfe select * from xmlnfe_nfce;", "Erro ao inserir registros duplicados na tabela xmlnfe |"},
      {"drop table xmlnfe_nfce;", "Erro ao dar drop na tabela temporária xmlnfe_nfce |"},
      {"select * into temp table ahistorico_nfce from ahistorico where cisahistorico =" + old_id + " ;",
       "Erro ao inserir dados na tabela temporária ahistorico_nfce|"},
      {"update ahistorico_nfce set cidehistorico = nextval('seque_ahistorico'), cisahistorico = " + new_id + ";",
       "Erro ao atualizar ID na tabela temporária ahistorico_nfce|"},
      {"insert into ahistorico select * from ahistorico_nfce;",
       "Erro ao inserir registros duplicados na tabela ahistorico |"},
      {"drop table ahistorico_nfce;", "Erro ao dar drop na tabela temporária ahistorico_nfce |"},
      {"select * into temp table ahcontas_nfce from ahcontas where cidesaivenhist =" + old_id + " ;",
       "Erro ao inserir dados na tabela temporária ahcontas_nfce|"},
      {"update ahcontas_nfce set idhistorico = nextval('seque_ahcontas'), cidesaivenhist = " + new_id +
           ", cdescricaohistorico = replace(cdescricaohistorico, '" + own + "' , '" + *number + "');",
       "Erro ao atualizar ID na tabela temporária ahcontas_nfce|"},
      {"insert into ahcontas select * from ahcontas_nfce;",
       "Erro ao inserir registros duplicados na tabela ahcontas |"},
      {"drop table ahcontas_nfce;", "Erro ao dar drop na tabela temporária ahcontas_nfce  |"},
      {"select * into temp table asduplicatas_nfce from asduplicatas where cisadupli = " + old_id + " ;", ""},
      {"update asduplicatas_nfce set cidedupli = nextval('seque_asduplicatas'), cnotdupli = " + *number +
           ", cisadupli = " + new_id + ";",
       "Erro ao atualizar ID na tabela temporária asduplicatas_nfce|"},
      {"insert into asduplicatas select * from asduplicatas_nfce;",
       "Erro ao inserir registros duplicados na tabela asduplicatas |"},
      {"drop table asduplicatas_nfce;", "Erro ao dar drop na tabela temporária asduplicatas_nfce  |"},
  };
  for (const Statement& statement : statements) {
    if (table.execute(statement.sql) != 1) return fail(statement.context);
  }
  if (table.execute("Commit") != 1) return fail("Erro ao confirmar duplicação da nota|");
  if (table.close() != 1) return set_error(table.error_text("Erro ao fechar Tabela_Duplica_Nota|"), 0, kFunction);
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
  if (table.open() != 1 || table.execute("Begin") != 1) {
    post_failure(table.error_text("Erro ao abrir transação|"));
    return 0;
  }
  auto fail = [&](const std::string& log_text, const std::string& error_text) {
    LOG.Gera_Arquivo_Log(log_text);
    post_failure(error_text);
    send_rollback(table, ui_);
    return 0;
  };
  auto fail_db = [&](std::string_view log_text, std::string_view error_text) {
    const std::string suffix = why(table);
    return fail(std::string{log_text} + suffix, std::string{error_text} + suffix);
  };
  // The row, locked; another station settling it (or a settled row) is skipped.
  if (table.execute("select cidesaidas from asaidas where cidesaidas = " + id + " and " + std::string{kCondition} +
                    " for update skip locked") != 1) {
    return fail_db("Erro ao bloquear NFC-e para resolução.", "Erro ao bloquear NFC-e para resolução.");
  }
  if (table.row_count() == 0) {
    table.execute("Commit");
    return 1;
  }
  status_ = StatusResult{};
  if (SERVICO.statuschave_nfce(key, status_) != 1) {
    return fail("Retorno Quorvex - Erro ao consultar status da NFCe," + SERVICO.error_text(),
                "Erro ao consultar status da NFCe.|" + SERVICO.error_text());
  }
  const std::string state = text::upper(text::clip(status_.authorisation_status));
  if (state == "OK") {
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
    // The XML kept while the note was in contingency gives way to the
    // authorised one, when the service has it.
    std::string xml;
    if (SERVICO.busca_documento(key, xml) == 1 && !xml.empty() &&
        table.execute("update xmlnfe set b_nfe_xml = $1::bytea where i_nfe_codigo_asa = " + id +
                          " and s_nfe_chave = " + table.literal(key),
                      {SqlParam::bytes(xml)}) != 1) {
      return fail_db("Erro ao atualizar XML autorizado da NFC-e tabela xmlnfe.",
                     "Erro ao atualizar XML autorizado da NFC-e na tabela xmlnfe.");
    }
  } else if (state == "ERRO") {
    ++errors;
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
  if (table.execute("Commit") != 1)
    return fail_db("Erro ao confirmar resolução da NFC-e.", "Erro ao confirmar resolução da NFC-e.");
  return 1;
}

}  // namespace fvn
