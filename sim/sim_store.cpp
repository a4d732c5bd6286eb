#include "sim_store.h"

#include <initializer_list>
#include <string_view>
#include <variant>

#include <sqlite3.h>

namespace fvn::sim {

namespace {

constexpr const char* kSchema = R"sql(
create table if not exists notas (
  chave text primary key, cnpj text not null, serie integer, numero integer, ambiente integer,
  estado text not null, contingencia integer not null default 0,
  resolver_apos integer not null default 0, resolver_para text not null default 'OK',
  resolver_cstat integer not null default 0,
  protocolo text, oid integer, url_qrcode text, dh_autorizacao text, dh_emissao text, ano_mes text,
  c_stat integer, x_motivo text, nfe_assinada text, digest_value text, nfe_proc text,
  chave_substituta text);
create index if not exists notas_numero on notas (cnpj, serie, numero, ambiente);
create index if not exists notas_mes on notas (cnpj, ano_mes);
create table if not exists cancelamentos (
  chave text primary key, protocolo text, dh_evento text, justificativa text, xml_evento text);
create table if not exists exportacoes (
  id integer primary key autoincrement, cnpj text not null, ano integer, mes integer, solicitada_em integer);
create table if not exists contas (
  cnpj text primary key, login text, grupo text, senha text, csc_id text, csc text);
create table if not exists contadores (nome text primary key, valor integer not null);
)sql";

constexpr const char* kNoteColumns =
    "chave, cnpj, serie, numero, ambiente, estado, contingencia, resolver_apos, resolver_para, resolver_cstat, "
    "protocolo, oid, url_qrcode, dh_autorizacao, dh_emissao, ano_mes, c_stat, x_motivo, nfe_assinada, "
    "digest_value, nfe_proc, chave_substituta";

using Value = std::variant<std::int64_t, std::string>;

// One prepared statement, finalised when it goes out of scope.
class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) { sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& bind(std::initializer_list<Value> values) {
    int index = 1;
    for (const Value& value : values) {
      if (const auto* number = std::get_if<std::int64_t>(&value)) {
        sqlite3_bind_int64(stmt_, index, *number);
      } else {
        const std::string& text = std::get<std::string>(value);
        sqlite3_bind_text(stmt_, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
      }
      ++index;
    }
    return *this;
  }
  bool step_row() { return stmt_ != nullptr && sqlite3_step(stmt_) == SQLITE_ROW; }
  bool run() { return stmt_ != nullptr && sqlite3_step(stmt_) == SQLITE_DONE; }
  std::int64_t integer(int column) { return sqlite3_column_int64(stmt_, column); }
  std::string text(int column) {
    const auto* value = sqlite3_column_text(stmt_, column);
    return value == nullptr ? std::string{}
                            : std::string(reinterpret_cast<const char*>(value),
                                          static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

NoteRow read_note(Statement& s) {
  NoteRow n;
  n.key = s.text(0);
  n.cnpj = s.text(1);
  n.series = static_cast<int>(s.integer(2));
  n.number = s.integer(3);
  n.environment = static_cast<int>(s.integer(4));
  n.state = s.text(5);
  n.contingency = static_cast<int>(s.integer(6));
  n.resolve_after = static_cast<int>(s.integer(7));
  n.resolve_to = s.text(8);
  n.resolve_cstat = static_cast<int>(s.integer(9));
  n.protocol = s.text(10);
  n.oid = s.integer(11);
  n.qr_code = s.text(12);
  n.authorised_at = s.text(13);
  n.emitted = s.text(14);
  n.year_month = s.text(15);
  n.cstat = static_cast<int>(s.integer(16));
  n.reason = s.text(17);
  n.signed_nfe = s.text(18);
  n.digest_value = s.text(19);
  n.proc = s.text(20);
  n.replaced_by = s.text(21);
  return n;
}

Account read_account(Statement& s) { return {s.text(0), s.text(1), s.text(2), s.text(3), s.text(4), s.text(5)}; }

ExportRow read_export(Statement& s) {
  return {s.integer(0), s.text(1), static_cast<int>(s.integer(2)), static_cast<int>(s.integer(3)), s.integer(4)};
}

}  // namespace

std::unique_ptr<Store> Store::open(const std::string& path, std::string& error) {
  std::unique_ptr<Store> store{new Store};
  if (sqlite3_open_v2(path.c_str(), &store->db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    error = "não foi possível abrir o banco do simulador " + path;
    return nullptr;
  }
  sqlite3_busy_timeout(store->db_, 5000);
  if (!store->exec("pragma journal_mode=wal; pragma synchronous=normal;") || !store->exec(kSchema)) {
    error = "não foi possível preparar o banco do simulador " + path + ": " + sqlite3_errmsg(store->db_);
    return nullptr;
  }
  // A store written before notes recorded their replacement gains the
  // column; on a current store the statement fails harmlessly.
  store->exec("alter table notas add column chave_substituta text");
  return store;
}

Store::~Store() { sqlite3_close(db_); }

bool Store::exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

std::optional<NoteRow> Store::find_note_locked(const std::string& key) {
  Statement s(db_, std::string{"select "} + kNoteColumns + " from notas where chave = ?");
  if (!s.bind({key}).step_row()) return std::nullopt;
  return read_note(s);
}

bool Store::write_note_locked(const NoteRow& n) {
  Statement s(db_, std::string{"insert or replace into notas ("} + kNoteColumns +
                       ") values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
  return s
      .bind({n.key,
             n.cnpj,
             std::int64_t{n.series},
             n.number,
             std::int64_t{n.environment},
             n.state,
             std::int64_t{n.contingency},
             std::int64_t{n.resolve_after},
             n.resolve_to,
             std::int64_t{n.resolve_cstat},
             n.protocol,
             n.oid,
             n.qr_code,
             n.authorised_at,
             n.emitted,
             n.year_month,
             std::int64_t{n.cstat},
             n.reason,
             n.signed_nfe,
             n.digest_value,
             n.proc,
             n.replaced_by})
      .run();
}

std::optional<NoteRow> Store::find_note(const std::string& key) {
  const std::lock_guard lock(mutex_);
  return find_note_locked(key);
}

std::optional<NoteRow> Store::save_new_note(const NoteRow& note) {
  const std::lock_guard lock(mutex_);
  auto existing = find_note_locked(note.key);
  if (existing && (existing->state == "OK" || existing->state == "PENDENTE")) return existing;
  write_note_locked(note);
  return std::nullopt;
}

bool Store::update_note(const NoteRow& note) {
  const std::lock_guard lock(mutex_);
  return write_note_locked(note);
}

std::optional<NoteRow> Store::find_same_number(const NoteRow& note) {
  const std::lock_guard lock(mutex_);
  Statement s(db_, std::string{"select "} + kNoteColumns +
                       " from notas where cnpj = ? and serie = ? and numero = ? and ambiente = ? and chave <> ? "
                       "and estado in ('OK', 'PENDENTE') limit 1");
  if (!s.bind({note.cnpj, std::int64_t{note.series}, note.number, std::int64_t{note.environment}, note.key})
           .step_row()) {
    return std::nullopt;
  }
  return read_note(s);
}

std::int64_t Store::highest_number(const std::string& cnpj, int series) {
  const std::lock_guard lock(mutex_);
  Statement s(db_, "select coalesce(max(numero), 0) from notas where cnpj = ? and serie = ?");
  return s.bind({cnpj, std::int64_t{series}}).step_row() ? s.integer(0) : 0;
}

std::vector<NoteRow> Store::authorised_notes(const std::string& cnpj, const std::string& year_month) {
  const std::lock_guard lock(mutex_);
  Statement s(db_, std::string{"select "} + kNoteColumns +
                       " from notas where cnpj = ? and ano_mes = ? and estado = 'OK' order by oid");
  s.bind({cnpj, year_month});
  std::vector<NoteRow> notes;
  while (s.step_row()) notes.push_back(read_note(s));
  return notes;
}

std::optional<CancellationRow> Store::find_cancellation(const std::string& key) {
  const std::lock_guard lock(mutex_);
  Statement s(db_, "select chave, protocolo, dh_evento, justificativa, xml_evento from cancelamentos where chave = ?");
  if (!s.bind({key}).step_row()) return std::nullopt;
  return CancellationRow{s.text(0), s.text(1), s.text(2), s.text(3), s.text(4)};
}

bool Store::save_cancellation(const CancellationRow& row) {
  const std::lock_guard lock(mutex_);
  Statement s(db_, "insert or ignore into cancelamentos values (?,?,?,?,?)");
  return s.bind({row.key, row.protocol, row.registered_at, row.justification, row.event_xml}).run();
}

std::int64_t Store::add_export(const std::string& cnpj, int year, int month, std::int64_t now) {
  const std::lock_guard lock(mutex_);
  Statement s(db_, "insert into exportacoes (cnpj, ano, mes, solicitada_em) values (?,?,?,?)");
  if (!s.bind({cnpj, std::int64_t{year}, std::int64_t{month}, now}).run()) return 0;
  return sqlite3_last_insert_rowid(db_);
}

std::vector<ExportRow> Store::exports(const std::string& cnpj) {
  const std::lock_guard lock(mutex_);
  Statement s(db_, "select id, cnpj, ano, mes, solicitada_em from exportacoes where cnpj = ? order by id");
  s.bind({cnpj});
  std::vector<ExportRow> rows;
  while (s.step_row()) rows.push_back(read_export(s));
  return rows;
}

std::optional<ExportRow> Store::find_export(std::int64_t id) {
  const std::lock_guard lock(mutex_);
  Statement s(db_, "select id, cnpj, ano, mes, solicitada_em from exportacoes where id = ?");
  if (!s.bind({id}).step_row()) return std::nullopt;
  return read_export(s);
}

bool Store::age_exports(std::int64_t seconds) {
  const std::lock_guard lock(mutex_);
  Statement s(db_, "update exportacoes set solicitada_em = solicitada_em - ?");
  return s.bind({seconds}).run();
}

bool Store::save_account(const Account& a) {
  const std::lock_guard lock(mutex_);
  Statement s(db_, "insert or replace into contas values (?,?,?,?,?,?)");
  return s.bind({a.cnpj, a.login, a.group, a.password, a.token_id, a.csc}).run();
}

std::optional<Account> Store::find_account(const std::string& cnpj) {
  const std::lock_guard lock(mutex_);
  Statement s(db_, "select cnpj, login, grupo, senha, csc_id, csc from contas where cnpj = ?");
  if (!s.bind({cnpj}).step_row()) return std::nullopt;
  return read_account(s);
}

std::optional<Account> Store::find_account_by_login(const std::string& login) {
  const std::lock_guard lock(mutex_);
  Statement s(db_, "select cnpj, login, grupo, senha, csc_id, csc from contas where login = ?");
  if (!s.bind({login}).step_row()) return std::nullopt;
  return read_account(s);
}

bool Store::has_accounts() {
  const std::lock_guard lock(mutex_);
  Statement s(db_, "select count(*) from contas where login <> ''");
  return s.step_row() && s.integer(0) > 0;
}

std::int64_t Store::next(const std::string& counter) {
  const std::lock_guard lock(mutex_);
  Statement s(db_,
              "insert into contadores values (?, 1) on conflict(nome) do update set valor = valor + 1 "
              "returning valor");
  return s.bind({counter}).step_row() ? s.integer(0) : 0;
}

}  // namespace fvn::sim
