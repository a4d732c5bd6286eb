// Base of the invoice tests: the recorded-sales base (database clone, working
// folder, sale builder), an output folder and the document writer with a
// fixed clock.
#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "nfce/nfce_documento.h"
#include "sales_fixture.h"
#include "support/temp_folder.h"

namespace fvn::testing {

class DocumentTest : public SalesDbTest {
 protected:
  void SetUp() override {
    SalesDbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    doc_ = std::make_unique<NFCE_DOCUMENTO>(ui_);
    doc_->set_connection(db);
    doc_->set_pasta_nfce(out_.path().string());
    doc_->set_relogio([] { return NFCE_DOCUMENTO::Momento{date_from_civil(2026, 5, 6), time_from_civil(8, 30, 15)}; });
  }
  void TearDown() override {
    doc_.reset();
    SalesDbTest::TearDown();
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

  TempFolder out_;
  std::unique_ptr<NFCE_DOCUMENTO> doc_;
  pugi::xml_document parsed_;
};

// The text of the first element at `path` ("dest/CPF") below `node`.
inline std::string text_at(pugi::xml_node node, const char* path) {
  return node.first_element_by_path(path).child_value();
}

}  // namespace fvn::testing
