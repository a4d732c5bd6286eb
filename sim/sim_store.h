// The simulator's store: notes, cancellations, export requests, accounts and
// counters in one SQLite file (WAL journal), so a restart loses nothing that
// was answered. One connection, used under a mutex.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace fvn::sim {

struct NoteRow {
  std::string key;
  std::string cnpj;
  int series = 0;
  std::int64_t number = 0;
  int environment = 2;
  std::string state;  // OK, PENDENTE, ERRO, INUTILIZADO
  int contingency = 0;
  int resolve_after = 0;   // status queries left before a pending note resolves
  std::string resolve_to;  // OK or ERRO
  int resolve_cstat = 0;   // the rejection a pending note resolves to
  std::string protocol;
  std::int64_t oid = 0;
  std::string qr_code;
  std::string authorised_at;  // dhAutorizacao
  std::string emitted;        // dhEmi
  std::string year_month;     // "2026-05"
  int cstat = 0;
  std::string reason;        // xMotivo of the last answer
  std::string signed_nfe;    // the signed NFe element
  std::string digest_value;  // of its signature
  std::string proc;          // nfeProc once authorised
  std::string replaced_by;   // key of the note that replaced a voided number
};

struct CancellationRow {
  std::string key;
  std::string protocol;
  std::string registered_at;
  std::string justification;
  std::string event_xml;
};

struct ExportRow {
  std::int64_t id = 0;
  std::string cnpj;
  int year = 0;
  int month = 0;
  std::int64_t requested_at = 0;  // seconds since 1970
};

struct Account {
  std::string cnpj;
  std::string login;
  std::string group;
  std::string password;
  std::string token_id;  // CSC identifier
  std::string csc;
};

class Store {
 public:
  // Opens (creating when missing) the database file; nullptr with `error`.
  static std::unique_ptr<Store> open(const std::string& path, std::string& error);
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  std::optional<NoteRow> find_note(const std::string& key);
  // Saves a note unless one with the same key is already authorised or
  // pending; that one is returned instead and nothing is written.
  std::optional<NoteRow> save_new_note(const NoteRow& note);
  // Writes the note as it is (state changes of a known note).
  bool update_note(const NoteRow& note);
  // An authorised note with the same emitter, series and number but
  // another key, if any.
  std::optional<NoteRow> find_same_number(const NoteRow& note);
  std::int64_t highest_number(const std::string& cnpj, int series);
  std::vector<NoteRow> authorised_notes(const std::string& cnpj, const std::string& year_month);

  std::optional<CancellationRow> find_cancellation(const std::string& key);
  bool save_cancellation(const CancellationRow& row);

  std::int64_t add_export(const std::string& cnpj, int year, int month, std::int64_t now);
  std::vector<ExportRow> exports(const std::string& cnpj);
  std::optional<ExportRow> find_export(std::int64_t id);
  // Moves every export request `seconds` into the past; false on a store error.
  bool age_exports(std::int64_t seconds);

  bool save_account(const Account& account);
  std::optional<Account> find_account(const std::string& cnpj);
  std::optional<Account> find_account_by_login(const std::string& login);
  bool has_accounts();

  // The next value of a named counter (1, 2, ...).
  std::int64_t next(const std::string& counter);

 private:
  Store() = default;
  bool exec(const char* sql);
  std::optional<NoteRow> find_note_locked(const std::string& key);
  bool write_note_locked(const NoteRow& note);

  std::mutex mutex_;
  sqlite3* db_ = nullptr;
};

}  // namespace fvn::sim
