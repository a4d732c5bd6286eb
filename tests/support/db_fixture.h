// A database of its own for each test program, cloned from the template
// database that scripts/test prepares and names in FVN_TEST_DB (a connection
// text). The clone is made on first use and dropped when the program ends.
//
// Without a server: under CI (CI set and not "false") a test that needs the
// database fails with a message saying why; elsewhere it is skipped.
#pragma once

#include <string>

#include <gtest/gtest.h>

namespace fvn::testing {

// The connection text of this program's database, or empty when there is
// none (reason() says why).
const std::string& test_database();
const std::string& reason();

// The connection text of another database of the same server ("postgres"
// for administration).
std::string connection_to(const std::string& dbname);

// Base of the tests that need the database: skips or fails in SetUp when
// there is none, gives every test the template's data, and forgets the
// module's sessions after each test.
class DbTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::string db;  // connection text of the test database
  // Set by a test that rolls all its work back: the clone it leaves needs
  // no renewal before the next test.
  bool rolls_back_ = false;
};

}  // namespace fvn::testing
