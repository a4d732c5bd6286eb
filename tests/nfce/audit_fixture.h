// Base of the audit tests: the test database with the demo shop, each test
// inside a transaction that is rolled back (rows built for a case never
// reach the next one), a working folder with the code tables and an
// nfe_ini.ini the test controls, and a fresh auditor.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "data/transaction.h"
#include "nfce/auditor_fiscal.h"
#include "runtime/scripted_ui.h"
#include "runtime/working_folder.h"
#include "support/code_tables.h"
#include "support/db_fixture.h"
#include "support/temp_folder.h"

namespace fvn::testing {

inline constexpr int kAceita = -1;  // the expected error code of an accepted row

inline const std::string kPipe = "Caracter especial pipe na descrição.";
inline const std::string kO = "Caracter especial Ø na descrição.";

class AuditTest : public DbTest {
 protected:
  AuditTest() { rolls_back_ = true; }
  void SetUp() override {
    DbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    previous_folder_ = working_folder();
    link_code_tables(work_.path(), skipped_table_);
    set_working_folder(work_.path().string());
    table_ = std::make_unique<PassthroughTable>("AUDITORIA", db);
    ASSERT_EQ(table_->open(), 1) << table_->error_text("");
    tx_.emplace(*table_, ui_);
    ASSERT_TRUE(tx_->begun()) << table_->error_text("");
    auditor_ = std::make_unique<AUDITOR_FISCAL>(ui_);
  }
  void TearDown() override {
    auditor_.reset();
    tx_.reset();  // rolls the test's rows back
    table_.reset();
    if (!previous_folder_.empty()) set_working_folder(previous_folder_);
    DbTest::TearDown();
  }

  // Runs statements on the test database (inside the test's transaction).
  void sql(const std::string& statements) {
    if (statements.empty()) return;
    ASSERT_EQ(table_->execute(statements), 1) << table_->error_text(statements + "\n");
  }

  // Writes nfe_ini.ini with `cst_csosn` in section [nfce]; std::nullopt removes the file.
  void cst_csosn(const std::optional<std::string>& value) {
    const std::string file = work_.file("nfe_ini.ini");
    if (!value) {
      std::filesystem::remove(file);
      return;
    }
    write_file(file, "[nfce]\ncst_csosn=" + *value + "\ncest=1\n");
  }

  // Audits the emitter that makes the following audits NFC-e ones (series 1,
  // an NFC-e series of the demo shop) or not (series 3, a printed form).
  void emissor(bool nfce) {
    ASSERT_EQ(auditor_->Audita_Emissor({nfce ? 1 : 3, nfce ? 11 : 2}), 1);
    ASSERT_EQ(auditor_->NFCE, nfce ? 1 : 0);
  }

  // A refusal that no audit produces, to see whether an acceptance keeps it.
  void marca_erro_anterior() { auditor_->set_error("erro anterior", 99, "Teste"); }
  void espera_erro_anterior() {
    EXPECT_EQ(auditor_->ERROR, "erro anterior");
    EXPECT_EQ(auditor_->ERROR_CODE, 99);
    EXPECT_EQ(auditor_->ERROR_FUNCTION, "Teste");
  }

  // Checks the outcome `resultado` of audit `funcao` run after
  // marca_erro_anterior(): accepted with the earlier refusal kept when
  // `codigo_erro` is kAceita, else refused with that code and `mensagem`.
  void espera_resultado(int resultado, int codigo_erro, const std::string& mensagem, std::string_view funcao) {
    if (codigo_erro == kAceita) {
      EXPECT_EQ(resultado, 1) << auditor_->display();
      espera_erro_anterior();
    } else {
      EXPECT_EQ(resultado, 0);
      EXPECT_EQ(auditor_->ERROR, mensagem);
      EXPECT_EQ(auditor_->ERROR_CODE, codigo_erro);
      EXPECT_EQ(auditor_->ERROR_FUNCTION, funcao);
    }
  }

  std::string skipped_table_;  // a code table left out of the working folder
  std::string previous_folder_;
  TempFolder work_;
  ScriptedUi ui_;
  std::unique_ptr<PassthroughTable> table_;
  std::optional<Transaction> tx_;
  std::unique_ptr<AUDITOR_FISCAL> auditor_;
};

}  // namespace fvn::testing
