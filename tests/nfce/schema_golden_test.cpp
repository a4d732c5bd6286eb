// Every test sale and every demo sale gives a document that the official
// schema accepts once signed; a few representative ones are compared byte
// for byte with their expected files (FVN_UPDATE_GOLDEN=1 rewrites those).
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "document_fixture.h"
#include "support/xml_signing.h"

namespace fvn {
namespace {

using testing::DocumentTest;

// A test sale by name, or a demo sale as "demo_N".
class EveryInvoice : public DocumentTest, public ::testing::WithParamInterface<std::string> {
 protected:
  std::int32_t sale() {
    const std::string& name = GetParam();
    return name.starts_with("demo_") ? std::stoi(name.substr(5)) : scenario(name);
  }
};

std::vector<std::string> every_sale() {
  std::vector<std::string> names = testing::scenario_names();
  for (int demo = 1; demo <= 5; ++demo) names.push_back("demo_" + std::to_string(demo));
  return names;
}

TEST_P(EveryInvoice, IsSchemaValidOnceSigned) {
  FVN_SCHEMA_FOLDER(folder);
  std::string xml;
  ASSERT_EQ(generate(sale(), xml), 1) << doc_->ERROR;
  std::string signed_xml;
  std::string error;
  ASSERT_TRUE(testing::sign_nfe(doc_->XML_NFCE, signed_xml, error)) << error;
  const std::vector<std::string> problems = testing::schema_errors(folder, signed_xml);
  for (const std::string& problem : problems) ADD_FAILURE() << problem;
  if (!problems.empty()) ADD_FAILURE() << doc_->XML_NFCE;
}

INSTANTIATE_TEST_SUITE_P(Sales, EveryInvoice, ::testing::ValuesIn(every_sale()),
                         [](const ::testing::TestParamInfo<std::string>& row) { return row.param; });

// The harness itself: a signed document that breaks one schema rule is refused.
TEST(SchemaHarness, RefusesADocumentWithAnEmptyTelephone) {
  FVN_SCHEMA_FOLDER(folder);
  std::string xml = testing::read_file(std::string{FVN_GOLDEN_DIR} + "/consumidor_sem_cpf.xml");
  const auto phone = xml.find("<fone>3132224455</fone>");
  ASSERT_NE(phone, std::string::npos);
  std::string signed_xml;
  std::string error;
  ASSERT_TRUE(testing::sign_nfe(xml, signed_xml, error)) << error;
  EXPECT_TRUE(testing::schema_errors(folder, signed_xml).empty());
  ASSERT_TRUE(testing::sign_nfe(xml.replace(phone, 23, "<fone></fone>"), signed_xml, error)) << error;
  const auto problems = testing::schema_errors(folder, signed_xml);
  ASSERT_EQ(problems.size(), 1U);
  EXPECT_NE(problems[0].find("fone"), std::string::npos) << problems[0];
  EXPECT_FALSE(testing::schema_errors(folder, xml).empty()) << "an unsigned document is refused";
}

class Golden : public EveryInvoice {};

TEST_P(Golden, MatchesTheExpectedFileByteForByte) {
  std::string xml;
  ASSERT_EQ(generate(sale(), xml), 1) << doc_->ERROR;
  const std::string expected_path = std::string{FVN_GOLDEN_DIR} + "/" + GetParam() + ".xml";
  const char* update = std::getenv("FVN_UPDATE_GOLDEN");
  if (update != nullptr && std::string_view{update} == "1") {
    testing::write_file(expected_path, xml);
    GTEST_SKIP() << "rewrote " << expected_path;
  }
  ASSERT_TRUE(std::filesystem::exists(expected_path)) << expected_path;
  EXPECT_EQ(xml, testing::read_file(expected_path)) << "FVN_UPDATE_GOLDEN=1 rewrites it after a reviewed change";
}

INSTANTIATE_TEST_SUITE_P(Sales, Golden,
                         ::testing::Values("consumidor_sem_cpf", "cliente_cnpj_email", "regime_normal_st_fcp",
                                           "servico_issqn", "transportadora_cpf_volumes", "cartao_credenciadora_troco",
                                           "demo_2"),
                         [](const ::testing::TestParamInfo<std::string>& row) { return row.param; });

}  // namespace
}  // namespace fvn
