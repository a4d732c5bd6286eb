#include "runtime/runtime_messages.h"

#include <climits>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace fvn {
namespace {

// The table itself is data; what matters is the look-up at its ends and
// between its gaps.
TEST(RuntimeMessages, CodesOutsideTheTableAreUnknown) {
  EXPECT_EQ(runtime_message(2), "Arquivo não encontrado");
  EXPECT_EQ(runtime_message(801), "Variavel não encontrada");
  for (const int code : {1, 6, 31, 99, 802, -1, INT_MAX, INT_MIN}) {
    EXPECT_EQ(runtime_message(code), "Erro desconhecido") << code;
  }
  EXPECT_EQ(runtime_message(0), "");
}

TEST(RuntimeMessages, LastErrorIsKeptPerThread) {
  set_runtime_error(rt::kEndOfFile);
  EXPECT_EQ(last_runtime_message(), "Final de Arquivo");
  int seen_by_other_thread = -1;
  std::thread([&] {
    seen_by_other_thread = last_runtime_error();
    set_runtime_error(rt::kFileLocked);
  }).join();
  EXPECT_EQ(seen_by_other_thread, 0);
  EXPECT_EQ(last_runtime_error(), 33);
  clear_runtime_error();
  EXPECT_EQ(last_runtime_message(), "");
}

}  // namespace
}  // namespace fvn
