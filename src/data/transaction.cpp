#include "data/transaction.h"

namespace fvn {

Transaction::Transaction(PassthroughTable& table, HostUi& ui) : table_(table), ui_(ui) {
  open_ = table_.open() == 1 && table_.execute("Begin") == 1;
}

Transaction::~Transaction() {
  try {
    rollback();
  } catch (...) {
    // A destructor reports nothing more than send_rollback's box; a failure
    // to build that text (memory) must not end the program.
  }
}

int Transaction::commit() {
  if (!open_) return 0;
  if (table_.execute("Commit") != 1) return 0;
  open_ = false;
  return 1;
}

int Transaction::rollback() {
  if (!open_) return 1;
  open_ = false;
  return send_rollback(table_, ui_);
}

}  // namespace fvn
