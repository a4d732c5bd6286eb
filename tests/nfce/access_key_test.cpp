#include <string>

#include <gtest/gtest.h>

#include "document_fixture.h"
#include "nfce/nfce_documento.h"
#include "runtime/scripted_ui.h"

namespace fvn {
namespace {

using testing::DocumentTest;
using testing::text_at;

struct DigitRow {
  const char* name;
  const char* base;
  const char* expected_key;  // empty when refused
  const char* error;         // the refusal, when refused
};

class CheckDigit : public ::testing::TestWithParam<DigitRow> {};

TEST_P(CheckDigit, AppendsTheModulo11DigitOrRefusesTheBase) {
  const DigitRow& row = GetParam();
  ScriptedUi ui;
  NFCE_DOCUMENTO doc(ui);
  std::string key = row.base;
  if (*row.expected_key != '\0') {
    EXPECT_EQ(doc.Calcula_Digito_NFE(key), 1) << doc.ERROR;
    EXPECT_EQ(key, row.expected_key);
  } else {
    EXPECT_EQ(doc.Calcula_Digito_NFE(key), 0);
    EXPECT_EQ(key, row.base) << "a refused base is left as it was";
    EXPECT_EQ(doc.ERROR, row.error);
    EXPECT_EQ(doc.ERROR_FUNCTION, "Calcula_Digito_NFE");
  }
}

// Bases built from UF 35, March 2024, the CNPJ 44555666000181, model 65,
// series 1, note 123, normal emission and a sale id; the expected digits were
// computed independently of this code.
INSTANTIATE_TEST_SUITE_P(
    Table, CheckDigit,
    ::testing::Values(
        DigitRow{"LayoutExample", "3524034455566600018165001000000123100004567",
                 "35240344555666000181650010000001231000045677", ""},
        DigitRow{"RemainderZeroGivesZero", "3524034455566600018165001000000123100004579",
                 "35240344555666000181650010000001231000045790", ""},
        DigitRow{"RemainderOneGivesZero", "3524034455566600018165001000000123100004574",
                 "35240344555666000181650010000001231000045740", ""},
        DigitRow{"RemainderTwoGivesNine", "3524034455566600018165001000000123100004583",
                 "35240344555666000181650010000001231000045839", ""},
        DigitRow{"RemainderTenGivesOne", "3524034455566600018165001000000123100004573",
                 "35240344555666000181650010000001231000045731", ""},
        DigitRow{"PunctuatedCnpjKeepsDigitsOnly", "35 2403 44.555.666/0001-81 65 001 000000123 1 00004567",
                 "35240344555666000181650010000001231000045677", ""},
        DigitRow{"FortyFourDigitsRefused", "35240344555666000181650010000001231000045677", "",
                 "Calcula_Digito_NFE Quantidade de caracteres informados na Chave é inválida = "
                 "35240344555666000181650010000001231000045677"},
        DigitRow{"ShortBaseRefused", "35-2403", "",
                 "Calcula_Digito_NFE Quantidade de caracteres informados na Chave é inválida = 352403"},
        DigitRow{"NoDigitsRefused", "NFe", "", "Calcula_Digito_NFE Nenhum caracter foi informado na Chave."}),
    [](const ::testing::TestParamInfo<DigitRow>& row) { return std::string{row.param.name}; });

TEST_F(DocumentTest, KeyIsComposedFromTheRecordedSale) {
  builder_->sale({{"cidesaidas", "4567"},
                  {"cempresasaidas", "2"},
                  {"csrisaidas", "2"},
                  {"cnotsaidas", "123"},
                  {"cemisaidas", "date '2024-03-15'"}});
  std::string key;
  ASSERT_EQ(doc_->Monta_Chave_Acesso(4567, key), 1) << doc_->ERROR;
  EXPECT_EQ(key, "35240344555666000181650010000001231000045677");
}

TEST_F(DocumentTest, KeyOfAMissingSaleLeavesTheTextAlone) {
  std::string key = "unchanged";
  EXPECT_EQ(doc_->Monta_Chave_Acesso(999, key), 0);
  EXPECT_EQ(key, "unchanged");
}

// The key and the serie tag come from one value: the series' number per
// model, else 1 (never the internal series code, which the tag never shows).
TEST_F(DocumentTest, KeyAndSerieTagAlwaysAgree) {
  struct Case {
    int series;
    const char* per_model;
    const char* serie;
  };
  for (const Case& c : {Case{3, "null", "1"}, Case{3, "0", "1"}, Case{1, "7", "7"}, Case{2, "12", "12"}}) {
    sql("update tseriesnf set i_tse_serie_por_modelo = " + std::string{c.per_model} +
        " where cserserie = " + std::to_string(c.series));
    const auto sale = builder_->sale({{"csrisaidas", std::to_string(c.series)}});
    builder_->item(sale, {{"cprohistorico", "42"},
                          {"csaihisotorico", "1"},
                          {"cvtothistorico", "17.90"},
                          {"ccfohistorico", "'5.102'"},
                          {"s_ahi_sit_tributaria", "'0102'"},
                          {"i_ahi_csosn", "102"}});
    const auto inf = invoice(sale);
    const std::string id = inf.attribute("Id").value();
    ASSERT_EQ(id.size(), 47U) << id;
    EXPECT_EQ(std::stoi(id.substr(3 + 22, 3)), std::stoi(c.serie)) << "series " << c.series;
    EXPECT_EQ(text_at(inf, "ide/serie"), c.serie);
    EXPECT_EQ(text_at(inf, "ide/cDV"), id.substr(46, 1));
  }
}

}  // namespace
}  // namespace fvn
