// One transaction on the session of a passthrough table, from "Begin" to
// "Commit". The guard sends "RollBack" when it goes out of scope without a
// successful commit, so no return path can leave a transaction open on the
// shared session (every other table of the owner would run inside it).
//
//   Transaction tx(table, ui);
//   if (!tx.begun()) return report(table.error_text("Erro ao abrir transação|"));
//   ... statements through `table` or any table of the same owner ...
//   if (tx.commit() != 1) return report(table.error_text("Erro ao confirmar|"));
//
// Failures are left on the table as by any statement (error_text composes
// the caller's message); a rollback that fails shows the box of
// send_rollback. A caller that shows its own failure message rolls back
// first with rollback(), so the boxes keep their order. Nothing here throws.
#pragma once

#include "data/passthrough_table.h"

namespace fvn {

class HostUi;

class Transaction {
 public:
  // Opens the table when needed and sends "Begin".
  Transaction(PassthroughTable& table, HostUi& ui);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // True while "Begin" succeeded and neither commit() nor rollback() ended
  // the transaction.
  [[nodiscard]] bool begun() const { return open_; }

  // Sends "Commit": 1, or 0 with the table's error (the transaction is then
  // rolled back by rollback() or the destructor). 0 too when not begun.
  int commit();

  // Sends "RollBack" now (see send_rollback); 1 when nothing was open.
  int rollback();

 private:
  PassthroughTable& table_;
  HostUi& ui_;
  bool open_ = false;
};

}  // namespace fvn
