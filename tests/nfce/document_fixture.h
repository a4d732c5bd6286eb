// Base of the invoice tests: a database clone with the demo shop, a working
// folder with the code tables and "nfe_ini.ini" (CEST on), an output folder,
// a sale builder and the document writer with a fixed clock.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "../data/db_fixture.h"
#include "data/passthrough_table.h"
#include "nfce/nfce_documento.h"
#include "runtime/scripted_ui.h"
#include "runtime/working_folder.h"
#include "support/temp_folder.h"
#include "test_sales.h"

namespace fvn::testing {

class DocumentTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    previous_folder_ = working_folder();
    for (const auto& entry : std::filesystem::directory_iterator(FVN_TABLES_DIR)) {
      std::filesystem::create_symlink(entry.path(), work_.path() / entry.path().filename());
    }
    write_file(work_.file("nfe_ini.ini"), "[nfce]\ncst_csosn=0\ncest=1\n");
    set_working_folder(work_.path().string());
    table_ = std::make_unique<PassthroughTable>("TESTE", db);
    ASSERT_EQ(table_->open(), 1) << table_->error_text("");
    builder_ = std::make_unique<SaleBuilder>(*table_);
    doc_ = std::make_unique<NFCE_DOCUMENTO>(ui_);
    doc_->set_connection(db);
    doc_->set_pasta_nfce(out_.path().string());
    doc_->set_relogio([] { return NFCE_DOCUMENTO::Momento{date_from_civil(2026, 5, 6), time_from_civil(8, 30, 15)}; });
  }
  void TearDown() override {
    doc_.reset();
    builder_.reset();
    table_.reset();
    set_working_folder(previous_folder_);
    DbTest::TearDown();
  }

  // Writes the invoice of `sale`; its file's text in `xml`.
  int generate(std::int32_t sale, std::string& xml) {
    doc_->ID = sale;
    const int result = doc_->Gera_XML_NFCe();
    xml = read_file(doc_->arquivo_xml(sale));
    return result;
  }

  // Writes the invoice of `sale`, expecting success, and parses it.
  pugi::xml_node invoice(std::int32_t sale) {
    std::string xml;
    EXPECT_EQ(generate(sale, xml), 1) << doc_->ERROR;
    const auto parsed = parsed_.load_string(xml.c_str());
    EXPECT_TRUE(parsed) << parsed.description() << "\n" << xml;
    return parsed_.child("NFe").child("infNFe");
  }

  std::int32_t scenario(std::string_view name) {
    const std::int32_t sale = build_scenario(name, *builder_);
    EXPECT_GT(sale, 0) << name;
    return sale;
  }

  // Runs a statement on the test database.
  void sql(const std::string& statement) { builder_->run(statement); }

  ScriptedUi ui_;
  TempFolder work_;
  TempFolder out_;
  std::unique_ptr<PassthroughTable> table_;
  std::unique_ptr<SaleBuilder> builder_;
  std::unique_ptr<NFCE_DOCUMENTO> doc_;
  pugi::xml_document parsed_;
  std::string previous_folder_;
};

// The text of the first element at `path` ("dest/CPF") below `node`.
inline std::string text_at(pugi::xml_node node, const char* path) {
  return node.first_element_by_path(path).child_value();
}

}  // namespace fvn::testing
