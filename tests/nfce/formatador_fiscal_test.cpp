#include "nfce/formatador_fiscal.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/clock.h"
#include "runtime/scripted_ui.h"
#include "runtime/text.h"
#include "runtime/working_folder.h"

namespace fvn {
namespace {

// A formatter over the project's code tables; the working folder is put
// back after each test.
class FormatterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = working_folder();
    set_working_folder(FVN_TABLES_DIR);
    formatter_ = std::make_unique<FORMATADOR_FISCAL>(ui_);
    formatter_->SEPARADOR_DECIMAL = ".";
  }
  void TearDown() override { set_working_folder(previous_); }

  FORMATADOR_FISCAL& f() { return *formatter_; }

  // The diagnostics registered so far, "CAMPO: ERRO".
  std::vector<std::string> diagnostics() const {
    std::vector<std::string> out;
    for (const auto& e : formatter_->ERROS) out.push_back(e.CAMPO + ": " + e.ERRO);
    return out;
  }

  // Exactly one diagnostic, starting with `prefix`; none when it is empty.
  void expect_only_diagnostic(std::string_view prefix) const {
    const auto found = diagnostics();
    if (prefix.empty()) {
      EXPECT_TRUE(found.empty()) << found.front();
      return;
    }
    ASSERT_EQ(found.size(), 1U);
    EXPECT_TRUE(found[0].starts_with(prefix)) << found[0];
  }

  ScriptedUi ui_;
  std::unique_ptr<FORMATADOR_FISCAL> formatter_;
  std::string previous_;
};

// Test names of the table rows.
template <typename Row>
std::string row_name(const ::testing::TestParamInfo<Row>& row) {
  return row.param.name;
}

// --- Numerico -------------------------------------------------------------------

struct NumericRow {
  const char* name;
  const char* value;
  int width;
  int places;
  bool zero_fill;
  bool integer_only;
  const char* separator;
  const char* expected;
  const char* diagnostic;  // the registered "CAMPO: ERRO", or "" for none
};

class NumericoRules : public FormatterTest, public ::testing::WithParamInterface<NumericRow> {};

TEST_P(NumericoRules, WritesTheFieldOrMarksIt) {
  const NumericRow& row = GetParam();
  f().SEPARADOR_DECIMAL = row.separator;
  EXPECT_EQ(f().Numerico(std::string_view{row.value}, row.width, row.places, row.zero_fill, row.integer_only),
            row.expected);
  const std::vector<std::string> expected =
      std::string_view{row.diagnostic}.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.diagnostic};
  EXPECT_EQ(diagnostics(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumericoRules,
    ::testing::Values(
        NumericRow{"HalfUpWithPoint", "12.345", 15, 2, false, false, ".", "12.35", ""},
        NumericRow{"CommaWhenSeparatorEmpty", "12.345", 15, 2, false, false, "", "12,35", ""},
        NumericRow{"CommaForAnyOtherSeparator", "1.5", 15, 2, false, false, ",", "1,50", ""},
        NumericRow{"ZeroFillPadsOneDigit", "5", 2, 0, true, true, ".", "05", ""},
        NumericRow{"NoZeroFillNoPadding", "5", 9, 0, false, true, ".", "5", ""},
        NumericRow{"IntegerOnlyRoundsHalfAway", "2.5", 3, 0, false, true, ".", "3", ""},
        NumericRow{"FourPlaces", "0.212", 12, 4, false, false, ".", "0.2120", ""},
        NumericRow{"ZeroFillWithDecimals", "1.5", 6, 2, true, false, ".", "001.50", ""},
        NumericRow{"BlanksAroundAccepted", " 7 ", 3, 0, false, true, ".", "7", ""},
        NumericRow{"ExactFitOfWidth", "12345", 5, 0, false, true, ".", "12345", ""},
        NumericRow{"LongDigitsKeptExactly", "12345678901234567890123", 23, 0, true, true, ".",
                   "12345678901234567890123", ""},
        NumericRow{"Negative", "-1", 15, 2, false, false, ".", "?-", "Numerico: Valor Negativo = \"-1\""},
        NumericRow{"NotANumber", "12a", 15, 2, false, false, ".", "?", "Numerico: Valor Inválido = \"12a\""},
        NumericRow{"Infinity", "inf", 15, 2, false, false, ".", "?", "Numerico: Valor Inválido = \"inf\""},
        NumericRow{"TooWide", "123456", 5, 0, false, true, ".", "?#####", "Numerico: Mascara Inválida = \"123456\""},
        NumericRow{"DecimalsMakeItTooWide", "100", 5, 2, false, false, ".", "?#####",
                   "Numerico: Mascara Inválida = \"100\""}),
    row_name<NumericRow>);

TEST_F(FormatterTest, NumericoOfADoubleUsesItsDecimalDigits) {
  EXPECT_EQ(f().Numerico(10.0 * 33.33, 15, 2, false, false), "333.30");
  EXPECT_EQ(f().Numerico(2.675, 15, 2, false, false), "2.68");
  EXPECT_EQ(f().Numerico(12.0, 15, 2, false, false, /*largura_maxima=*/true), "12.00");
}

TEST_F(FormatterTest, NumeroDigitosKeepsLeadingZerosAndMarksAValueWithoutDigits) {
  EXPECT_EQ(f().Numero_Digitos("0901.21.00"), "09012100");
  EXPECT_EQ(f().Numero_Digitos("00"), "00");
  EXPECT_TRUE(diagnostics().empty());
  EXPECT_EQ(f().Numero_Digitos("SEM"), "?");
  EXPECT_EQ(diagnostics(), std::vector<std::string>{"Numerico: Valor Inválido = \"\""});
}

// --- dates ----------------------------------------------------------------------

TEST_F(FormatterTest, DateTimeIsIsoWithTheOffsetUnchanged) {
  const Date day = date_from_civil(2024, 1, 1);
  const Time time = time_from_civil(14, 5, 9, 37);
  EXPECT_EQ(f().Formata_Data_Hora_UTC(day, time, "-03:00"), "2024-01-01T14:05:09-03:00");
  EXPECT_EQ(f().Formata_Data_Hora_UTC(day, kFirstTime, "-03:00"), "2024-01-01T00:00:00-03:00");
  EXPECT_EQ(f().Formata_Data_Hora_UTC(kLastDate, kLastTime, ""), "9999-12-31T23:59:59");
  EXPECT_EQ(f().Data_Servico(date_from_civil(1801, 1, 1)), "1801-01-01");
  EXPECT_TRUE(diagnostics().empty());
}

TEST_F(FormatterTest, DateZeroIsEmptyWhateverTheTime) {
  EXPECT_EQ(f().Formata_Data_Hora_UTC(0, 0, "-03:00"), "");
  EXPECT_EQ(f().Formata_Data_Hora_UTC(0, 99'999'999, "-03:00"), "");
  EXPECT_EQ(f().Data_Servico(0), "");
  EXPECT_TRUE(diagnostics().empty());
}

TEST_F(FormatterTest, DatesAndTimesOutOfRangeAreMarked) {
  const Date day = date_from_civil(2024, 1, 1);
  EXPECT_EQ(f().Formata_Data_Hora_UTC(day, 0, "-03:00"), "?");
  EXPECT_EQ(f().Formata_Data_Hora_UTC(day, kLastTime + 1, "-03:00"), "?");
  EXPECT_EQ(f().Formata_Data_Hora_UTC(3, kFirstTime, "-03:00"), "?");
  EXPECT_EQ(f().Data_Servico(kLastDate + 1), "?");
  EXPECT_EQ(diagnostics(), (std::vector<std::string>{
                               "Formata_Data_Hora_UTC: Valor Inválido = \"0\"",
                               "Formata_Data_Hora_UTC: Valor Inválido = \"8640001\"",
                               "Formata_Data_Hora_UTC: Valor Inválido = \"3\"",
                               "Data_Servico: Valor Inválido = \"2994627\"",
                           }));
}

// --- free text ------------------------------------------------------------------

enum class TextRoutine { TextoXml, Alpha, Acentos, Escapa, QuebraLinha };

struct TextRow {
  const char* name;
  TextRoutine routine;
  std::string input;
  int maximum;
  std::string expected;
  const char* diagnostic;
};

class TextRules : public FormatterTest, public ::testing::WithParamInterface<TextRow> {};

TEST_P(TextRules, ProducesTheFieldText) {
  const TextRow& row = GetParam();
  std::string out;
  switch (row.routine) {
    case TextRoutine::TextoXml: out = f().Texto_XML(row.input, row.maximum); break;
    case TextRoutine::Alpha: out = f().Alpha(row.input, row.maximum); break;
    case TextRoutine::Acentos: out = f().Remove_Acentos(row.input); break;
    case TextRoutine::Escapa: out = f().Escapa_XML(row.input); break;
    case TextRoutine::QuebraLinha: out = f().Remove_Quebra_Linha(row.input); break;
  }
  EXPECT_EQ(out, row.expected);
  expect_only_diagnostic(row.diagnostic);
}

const std::string k70(70, 'x');

INSTANTIATE_TEST_SUITE_P(
    Table, TextRules,
    ::testing::Values(
        TextRow{"EscapesMarkup", TextRoutine::TextoXml, "A & B <C>", 60, "A &amp; B &lt;C&gt;", ""},
        TextRow{"EscapesQuotes", TextRoutine::TextoXml, "D'Avila \"X\"", 60, "D&#39;Avila &quot;X&quot;", ""},
        TextRow{"PipeIsMarked", TextRoutine::TextoXml, "a|b", 60, "?a|b", "Alpha: Campo contém | (pipe) = \"a|b\""},
        TextRow{"CutToMaximum", TextRoutine::TextoXml, k70, 60, std::string(60, 'x'),
                "Alpha: Valor do campo maior que mascara = \"xxxxxxxxxx"},
        TextRow{"MaximumBeforeEscaping", TextRoutine::TextoXml, "&&&", 3, "&amp;&amp;&amp;", ""},
        TextRow{"CutCountsCharactersNotBytes", TextRoutine::TextoXml, "ÁÉÍÓÚ", 3, "ÁÉÍ",
                "Alpha: Valor do campo maior que mascara = \"ÁÉÍÓÚ\""},
        TextRow{"CrLfBecomesBlank", TextRoutine::TextoXml, "a\r\nb", 60, "a b", ""},
        TextRow{"LoneLineBreakAndTabBecomeBlanks", TextRoutine::TextoXml, "a\nb\tc\rd", 60, "a b c d", ""},
        TextRow{"ControlCharacterBecomesBlank", TextRoutine::TextoXml,
                std::string{"a\x01"
                            "b"},
                60, "a b", ""},
        TextRow{"AlphaTrimsBothEnds", TextRoutine::Alpha, "  nome  ", 60, "nome", ""},
        TextRow{"WholeAccentTable", TextRoutine::Acentos, "ÁáÀàÂâÃãÄäÉéÈèÊêËëÍíÌìÎîÏïÓóÒòÕõÔôÖöÚúÙùÛûÜüÝýÇçºª", 0,
                "AaAaAaAaAaEeEeEeEeIiIiIiIiOoOoOoOoOoUuUuUuUuYyCcoa", ""},
        TextRow{"OutsideTheTablePasses", TextRoutine::Acentos, "{|}~ ° ´ € ñ  ", 0, "{|}~ ° ´ € ñ", ""},
        TextRow{"EscapeCedillaAndKeepsLineBreaks", TextRoutine::Escapa, "Ç ç\r\n", 0, "C c\r\n", ""},
        TextRow{"EscapeInvalidUtf8AndSurrogates", TextRoutine::Escapa, std::string{"a\xC3(b\xFF\xED\xA0\x80"}, 0,
                "a?(b????", ""},
        TextRow{"OnlyWhatTheSchemaAccepts", TextRoutine::TextoXml,
                "\U0001F600 Ana\u202E \uE000Maria\u0301 \u2014 \u201Cok\u201D\u2026\u0085x\u200F", 60,
                "Ana Maria - &quot;ok&quot;... x", ""},
        TextRow{"CrLfPair", TextRoutine::QuebraLinha, "a\r\nb", 0, "a b", ""},
        TextRow{"LoneLfUnchanged", TextRoutine::QuebraLinha, "a\nb", 0, "a\nb", ""},
        TextRow{"LoneCrUnchanged", TextRoutine::QuebraLinha, "a\rb", 0, "a\rb", ""}),
    row_name<TextRow>);

TEST_F(FormatterTest, LongTextsAreNeverCutSilently) {
  // 200 x 25 = 5,000 characters; the legacy accent removal stopped at 1,024.
  std::string observation;
  std::string expected;
  for (int i = 0; i < 200; ++i) {
    observation += "Observação número 1 & 2. ";
    expected += "Observacao numero 1 &amp; 2. ";
  }
  ASSERT_EQ(text::length(observation), 5000U);
  EXPECT_EQ(f().Texto_XML(f().Remove_Acentos(observation), 5000), text::clip(expected));
  EXPECT_TRUE(diagnostics().empty());
  // Beyond the maximum the text is cut, and the cut is registered.
  EXPECT_EQ(f().Texto_XML(observation + "xyz", 5000), text::clip(f().Escapa_XML(observation)));
  expect_only_diagnostic("Alpha: Valor do campo maior que mascara = ");
}

TEST_F(FormatterTest, TextsOfAMillionCharactersAreReported) {
  const std::string huge(1'000'000, 'a');
  EXPECT_EQ(f().Alpha(huge, 1'000'000).size(), 1'000'000U);
  ASSERT_EQ(diagnostics().size(), 2U);
  EXPECT_TRUE(diagnostics()[0].starts_with("Alpha: Valor do campo maior que o campo de retorno = "));
  EXPECT_TRUE(diagnostics()[1].starts_with("Alpha: Tamanho máximo maior que o campo de retorno = "));
}

TEST_F(FormatterTest, SubstituiReplacesWithoutRescanning) {
  EXPECT_EQ(f().Substitui("14.01", ".", ""), "1401");
  EXPECT_EQ(f().Substitui("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(f().Substitui("abab", "aba", "x"), "xb");
  EXPECT_EQ(f().Substitui("", ".", "x"), "");
  EXPECT_EQ(f().Substitui("abc", "", "x"), "");
  EXPECT_EQ(f().STRING_RETORNO, "");
}

// --- codes ----------------------------------------------------------------------

enum class Code { Cep, Telefone, Ean, Ie, Cpf, Cnpj, Cfop, Pais, Municipio };

struct CodeRow {
  const char* name;
  Code routine;
  const char* value;
  const char* expected;
  const char* diagnostic;
};

class CodeRules : public FormatterTest, public ::testing::WithParamInterface<CodeRow> {};

TEST_P(CodeRules, ReducesOrMarksTheCode) {
  const CodeRow& row = GetParam();
  std::string out;
  switch (row.routine) {
    case Code::Cep: out = f().CEP(row.value); break;
    case Code::Telefone: out = f().Telefone(row.value); break;
    case Code::Ean: out = f().EAN(row.value); break;
    case Code::Ie: out = f().IE(row.value, "MG"); break;
    case Code::Cpf: out = f().CPF(row.value); break;
    case Code::Cnpj: out = f().CNPJ(row.value); break;
    case Code::Cfop: out = f().CFOP(row.value); break;
    case Code::Pais: out = f().Pais(row.value); break;
    case Code::Municipio: out = f().Municipio(row.value); break;
  }
  EXPECT_EQ(out, row.expected);
  expect_only_diagnostic(row.diagnostic);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CodeRules,
    ::testing::Values(CodeRow{"CepWithHyphen", Code::Cep, "01310-100", "01310100", ""},
                      CodeRow{"CepWithoutLeadingZero", Code::Cep, "1310100", "01310100", ""},
                      CodeRow{"CepTooShort", Code::Cep, "123", "?123", "CEP: CEP Inválido = \"123\""},
                      CodeRow{"PhoneWithBrackets", Code::Telefone, "(31) 3222-4455", "3132224455", ""},
                      CodeRow{"PhoneEmpty", Code::Telefone, "", "", ""},
                      CodeRow{"PhoneEightDigits", Code::Telefone, "3222-4455", "?3222-4455",
                              "Telefone: Telefone Inválido = \"3222-4455\""},
                      CodeRow{"Ean13", Code::Ean, "7891000000014", "7891000000014", ""},
                      CodeRow{"EanSemGtin", Code::Ean, "SEM GTIN", "SEM GTIN", ""},
                      CodeRow{"EanFiveCharacters", Code::Ean, "12345", "?12345",
                              "EAN: Valor fora do limite ( 8 , 12 , 13 ou 14 ) = \"12345\""},
                      CodeRow{"EanTooLong", Code::Ean, "123456789012345", "?1234567890123",
                              "EAN: Valor maior que o máximo permitido (14) = \"123456789012345\""},
                      CodeRow{"IeIsento", Code::Ie, "ISENTO", "", ""},
                      CodeRow{"IeValid", Code::Ie, "062.307.904/0081", "0623079040081", ""},
                      CodeRow{"IeInvalid", Code::Ie, "0623079040082", "?0623079040082", "Valida_IE: "},
                      CodeRow{"CpfPunctuated", Code::Cpf, "123.456.789-09", "12345678909", ""},
                      CodeRow{"CpfWrongDigit", Code::Cpf, "12345678900", "?12345678900", "Valida_CPF: "},
                      CodeRow{"CnpjPunctuated", Code::Cnpj, "11.222.333/0001-81", "11222333000181", ""},
                      CodeRow{"CnpjNoDigits", Code::Cnpj, "null", "", ""},
                      CodeRow{"CnpjWrongDigit", Code::Cnpj, "11222333000182", "?11222333000182", "Valida_CNPJ: "},
                      CodeRow{"CfopWithPoint", Code::Cfop, "5.102", "5102", ""},
                      CodeRow{"CfopUnknown", Code::Cfop, "5.999", "?5.999", "Valida_CFOP: "},
                      CodeRow{"PaisUnknown", Code::Pais, "9999", "?9999", "Valida_Pais: "},
                      CodeRow{"MunicipioEmpty", Code::Municipio, "", "", ""},
                      CodeRow{"MunicipioZero", Code::Municipio, "0", "?0", "Valida_Municipio: "}),
    row_name<CodeRow>);

// --- diagnostics ----------------------------------------------------------------

TEST_F(FormatterTest, RegistraErroNeedsDescriptionAndField) {
  f().Registra_Erro("", "CEP");
  f().Registra_Erro("CEP Inválido = \"1\"  ", "   ");
  ASSERT_EQ(ui_.messages().size(), 2U);
  EXPECT_EQ(ui_.messages()[0].text, "Não é possível registrar erro sem descrição!|Campo = CEP|Erro = ");
  EXPECT_EQ(ui_.messages()[0].title, "Erro!");
  EXPECT_EQ(ui_.messages()[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(ui_.messages()[1].text, "Não é possível registrar erro sem campo!|Campo = |Erro = CEP Inválido = \"1\"");
  EXPECT_TRUE(diagnostics().empty());
}

TEST_F(FormatterTest, RegistraErroCutsToTheRecordSizes) {
  f().Registra_Erro(std::string(150, 'e'), std::string(50, 'c'));
  ASSERT_EQ(f().ERROS.records(), 1U);
  EXPECT_EQ(f().ERROS.at(1).CAMPO, std::string(39, 'c'));
  EXPECT_EQ(f().ERROS.at(1).ERRO, std::string(99, 'e'));
}

TEST_F(FormatterTest, SuffixFollowsEveryResultButTheBarcode) {
  f().SUFIXO = "; ";
  EXPECT_EQ(f().CEP("30130000"), "30130000;");
  EXPECT_EQ(f().Numerico(std::string_view{"1"}, 3, 0, true, true), "001;");
  EXPECT_EQ(f().EAN("7891000000014"), "7891000000014");
}

}  // namespace
}  // namespace fvn
