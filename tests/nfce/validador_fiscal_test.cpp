#include "nfce/validador_fiscal.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/scripted_ui.h"
#include "runtime/text.h"
#include "runtime/working_folder.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

using fvn::testing::TempFolder;
using fvn::testing::write_file;

using Check = int (VALIDADOR_FISCAL::*)(std::string_view);

// A working folder of its own with small code tables; the module's working
// folder points at it for the test and is put back afterwards.
class ValidatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = working_folder();
    set_working_folder(tmp_.path().string());
    table(2, "5101|Venda de produção do estabelecimento\n5102|Venda de mercadoria adquirida\n");
    table(3, "00|Serviço\n");
    table(19, "000|ICMS a recolher\n");
    table(57, "00|Entrada com Recuperação de Crédito\n50|Saída Tributada\n");
    table(68, "0132|AFEGANISTAO\n1058|BRASIL\n");
    table(81, "3550308|São Paulo|SP\n3106200|Belo Horizonte|MG\n");
    table(113, "01|Operação Tributável com Alíquota Básica\n49|Outras Operações de Saída\n");
    table(114, "01|Operação Tributável com Alíquota Básica\n99|Outras Operações\n");
    table(221, "999|Tributação normal IPI; Outros\n");
    table(222, "0302100|Cerveja em garrafa de vidro retornável\n");
  }
  void TearDown() override { set_working_folder(previous_); }

  void table(int number, std::string_view content) const { write_file(path(number), content); }
  [[nodiscard]] std::string path(int number) const { return tmp_.file(code_table::file_name(number)); }

  TempFolder tmp_;
  ScriptedUi ui_;
  std::string previous_;
};

// ---------------------------------------------------------------- construction

TEST_F(ValidatorTest, WithEveryTableInPlaceConstructionShowsNothing) {
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(ValidatorTest, EachMissingTableGetsItsOwnErrorMessageInTableOrder) {
  for (const int number : {2, 3, 81, 19, 68, 57, 114, 113, 221, 222}) std::filesystem::remove(path(number));
  VALIDADOR_FISCAL validator(ui_);
  const std::vector<std::string> expected = {
      "Não foi possível encontrar a Tabela de Código Fiscal de Operação e Prestação - CFOP (tb2.txt)!",
      "Não foi possível encontrar a Tabela de Gênero do Item de Mercadoria/Serviço (tb3.txt)!",
      "Tabela de Municípios (tb81.txt)!",
      "Não foi possível encontrar a Tabela de Obrigações do ICMS a Recolher (tb19.txt)!",
      "Não foi possível encontrar a Tabela de Países IBGE (tb68.txt)!",
      "Não foi possível encontrar a Tabela de IPI (tb57.txt)!",
      "Não foi possível encontrar a Tabela de PIS (tb114.txt)!",
      "Não foi possível encontrar a Tabela de COFINS (tb113.txt)!",
      "Não foi possível encontrar a Tabela de Enquadramento Legal de IPI (tb221.txt)!",
      "Não foi possível encontrar a Tabela de CEST (tb222.txt)!",
  };
  ASSERT_EQ(ui_.messages().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(ui_.messages()[i].text, expected[i]);
    EXPECT_EQ(ui_.messages()[i].title, "Erro!");
  }
  // The validator works all the same; look-ups in the missing tables fail.
  EXPECT_EQ(validator.Valida_CPF("111.444.777-35"), 1);
  EXPECT_EQ(validator.Valida_CFOP("5102"), 0);
  EXPECT_EQ(validator.Get_Error(), "CFOP não consta na tabela de CFOPs");
}

// ---------------------------------------------------------------- the checks

struct CheckCase {
  const char* name;
  Check check;
  const char* value;
  int result;
  const char* error;     // ERROR after the check ("" for a valid value)
  const char* function;  // ERROR_FUNCTION after a failure
};

constexpr CheckCase kChecks[] = {
    {"PIS_two_digits", &VALIDADOR_FISCAL::Valida_PIS, "01", 1, "", ""},
    {"PIS_one_digit_looked_up_zero_filled", &VALIDADOR_FISCAL::Valida_PIS, "1", 1, "", ""},
    {"PIS_empty", &VALIDADOR_FISCAL::Valida_PIS, "", 0, "Nenhum código de PIS foi informado.", "Valida_PIS"},
    {"PIS_three_characters", &VALIDADOR_FISCAL::Valida_PIS, "001", 0, "Tamanho do código PIS inválido = \"001\"",
     "Valida_PIS"},
    {"PIS_not_in_table", &VALIDADOR_FISCAL::Valida_PIS, "07", 0, "Código não consta na tabela de PIS.", "Valida_PIS"},
    {"PIS_leading_blank_stays", &VALIDADOR_FISCAL::Valida_PIS, " 1", 0, "Código não consta na tabela de PIS.",
     "Valida_PIS"},
    {"IPI_zero_looked_up_as_00", &VALIDADOR_FISCAL::Valida_IPI, "0", 1, "", ""},
    {"IPI_letter_is_not_zero_filled", &VALIDADOR_FISCAL::Valida_IPI, "A", 0, "Código não consta na tabela de IPI.",
     "Valida_IPI"},
    {"COFINS_in_table", &VALIDADOR_FISCAL::Valida_Cofins, "49", 1, "", ""},
    {"COFINS_not_in_table", &VALIDADOR_FISCAL::Valida_Cofins, "99", 0, "Código não consta na tabela de COFINS.",
     "Valida_Cofins"},

    {"CFOP_plain", &VALIDADOR_FISCAL::Valida_CFOP, "5102", 1, "", ""},
    {"CFOP_dotted", &VALIDADOR_FISCAL::Valida_CFOP, "5.102", 1, "", ""},
    {"CFOP_empty", &VALIDADOR_FISCAL::Valida_CFOP, "", 0, "Nenhum CFOP foi informado.", "Valida_CFOP"},
    {"CFOP_three_digits", &VALIDADOR_FISCAL::Valida_CFOP, "510", 0, "Tamanho do CFOP inválido = \"510\"",
     "Valida_CFOP"},
    {"CFOP_not_in_table", &VALIDADOR_FISCAL::Valida_CFOP, "5.405", 0, "CFOP não consta na tabela de CFOPs",
     "Valida_CFOP"},

    {"Pais_in_table", &VALIDADOR_FISCAL::Valida_Pais, "1058", 1, "", ""},
    {"Pais_with_its_leading_zero", &VALIDADOR_FISCAL::Valida_Pais, "0132", 1, "", ""},
    {"Pais_empty", &VALIDADOR_FISCAL::Valida_Pais, "", 0, "Nenhum código de país foi informado.", "Valida_Pais"},
    {"Pais_compared_exactly", &VALIDADOR_FISCAL::Valida_Pais, "132", 0,
     "Código do país não consta na tabela de países.", "Valida_Pais"},

    {"Municipio_in_table", &VALIDADOR_FISCAL::Valida_Municipio, "3550308", 1, "", ""},
    {"Municipio_empty", &VALIDADOR_FISCAL::Valida_Municipio, "", 0, "Nenhum código de município foi informado.",
     "Valida_Municipio"},
    {"Municipio_not_in_table", &VALIDADOR_FISCAL::Valida_Municipio, "3550309", 0,
     "Código do município não consta na tabela de municípios", "Valida_Municipio"},
    {"Municipio_length_counts_characters_not_bytes", &VALIDADOR_FISCAL::Valida_Municipio, "355030é", 0,
     "Código do município não consta na tabela de municípios", "Valida_Municipio"},
    {"Municipio_with_a_bar_never_matches", &VALIDADOR_FISCAL::Valida_Municipio, "355|308", 0,
     "Código do município não consta na tabela de municípios", "Valida_Municipio"},

    {"CPF_classic_example", &VALIDADOR_FISCAL::Valida_CPF, "111.444.777-35", 1, "", ""},
    {"CPF_first_digit_from_remainder_1", &VALIDADOR_FISCAL::Valida_CPF, "123.456.789-09", 1, "", ""},
    {"CPF_all_digits_equal", &VALIDADOR_FISCAL::Valida_CPF, "111.111.111-11", 0,
     "CPF com todo os dígitos iguais é inválido.", "Valida_CPF"},
    {"CPF_first_digit_wrong", &VALIDADOR_FISCAL::Valida_CPF, "111.444.777-25", 0, "CPF Inválido = 111.444.777-25",
     "Valida_CPF"},
    {"CPF_last_digit_wrong", &VALIDADOR_FISCAL::Valida_CPF, "111.444.777-36", 0,
     "CPF Inválido, o digito de validação não confere com cálculo do validador = 111.444.777-36", "Valida_CPF"},
    {"CPF_empty", &VALIDADOR_FISCAL::Valida_CPF, "", 0,
     "Quantidade de caracteres informados no CPF é inválida = ", "Valida_CPF"},
    {"CPF_ten_digits", &VALIDADOR_FISCAL::Valida_CPF, "111.444.777-3", 0,
     "Quantidade de caracteres informados no CPF é inválida = 111.444.777-3", "Valida_CPF"},

    {"CNPJ_classic_example", &VALIDADOR_FISCAL::Valida_CNPJ, "11.222.333/0001-81", 1, "", ""},
    {"CNPJ_federal_revenue", &VALIDADOR_FISCAL::Valida_CNPJ, "00.394.460/0058-87", 1, "", ""},
    {"CNPJ_second_digit_wrong", &VALIDADOR_FISCAL::Valida_CNPJ, "11.222.333/0001-80", 0,
     "CNPJ inválido, o digito de validação não confere com cálculo do validador = 11.222.333/0001-80", "Valida_CNPJ"},
    {"CNPJ_first_digit_wrong", &VALIDADOR_FISCAL::Valida_CNPJ, "11222333000171", 0,
     "CNPJ inválido, o digito de validação não confere com cálculo do validador = 11222333000171", "Valida_CNPJ"},
    {"CNPJ_thirteen_digits", &VALIDADOR_FISCAL::Valida_CNPJ, "1122233300018", 0,
     "Quantidade de caracteres informados no CNPJ é inválida = 1122233300018", "Valida_CNPJ"},

    {"Placa_plain", &VALIDADOR_FISCAL::Valida_Placa, "ABC1234", 1, "", ""},
    {"Placa_lower_case_with_hyphen", &VALIDADOR_FISCAL::Valida_Placa, "abc-1234", 1, "", ""},
    {"Placa_mercosur", &VALIDADOR_FISCAL::Valida_Placa, "BRA2E19", 1, "", ""},
    {"Placa_eight_characters", &VALIDADOR_FISCAL::Valida_Placa, "ABC-12345", 0,
     "Valor Inválido, a placa informada contém mais de 7 caracteres = ABC-12345", "Valida_Placa"},
    {"Placa_six_characters", &VALIDADOR_FISCAL::Valida_Placa, "ABC123", 0,
     "Valor Inválido, a placa informada contém menos de 7 caracteres = ABC123", "Valida_Placa"},
    {"Placa_accented_letter_dropped", &VALIDADOR_FISCAL::Valida_Placa, "ÁBC1234", 0,
     "Valor Inválido, a placa informada contém menos de 7 caracteres = ÁBC1234", "Valida_Placa"},
    {"Placa_digit_among_the_letters", &VALIDADOR_FISCAL::Valida_Placa, "AB12345", 0,
     "Valor Inválido, contém número nas posições das letras = \"AB12345\"", "Valida_Placa"},
    {"Placa_letter_in_position_4", &VALIDADOR_FISCAL::Valida_Placa, "ABCD123", 0,
     "Valor Inválido, contém letras nas posições dos números = \"ABCD123\"", "Valida_Placa"},

    {"Telefone_ten_digits", &VALIDADOR_FISCAL::Valida_Telefone, "(11) 3456-7890", 1, "", ""},
    {"Telefone_no_upper_limit", &VALIDADOR_FISCAL::Valida_Telefone, "+55 (11) 98765-4321", 1, "", ""},
    {"Telefone_empty", &VALIDADOR_FISCAL::Valida_Telefone, "", 0, "Parâmetro vazio, nenhum telefone foi informado.",
     "Valida_Telefone"},
    {"Telefone_eight_digits", &VALIDADOR_FISCAL::Valida_Telefone, "3456-7890", 0,
     "Telefone informado está preenchido incorretamente.|Preenchimento correto -> DDD+TELEFONE", "Valida_Telefone"},
};

class ValidatorCheck : public ValidatorTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(ValidatorCheck, GivesTheResultAndMessage) {
  const CheckCase& c = GetParam();
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_EQ((validator.*c.check)(c.value), c.result);
  EXPECT_EQ(validator.Get_Error(), c.error);
  EXPECT_EQ(validator.Get_Error_Function(), c.function);
  EXPECT_EQ(validator.Get_Error_Code(), 0);
}

INSTANTIATE_TEST_SUITE_P(Checks, ValidatorCheck, ::testing::ValuesIn(kChecks),
                         [](const ::testing::TestParamInfo<CheckCase>& row) { return std::string{row.param.name}; });

TEST_F(ValidatorTest, StateRegistrationGoesThroughItsDigits) {
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_EQ(validator.Valida_IE("110.042.490.114", "SP"), 1);
  EXPECT_EQ(validator.Valida_IE("062.307.904/0081", "MG "), 1);  // a UF field padded with blanks
  EXPECT_EQ(validator.Valida_IE("110.042.490.115", "SP"), 0);
  EXPECT_EQ(validator.Get_Error(),
            "Inscrição Estadual informada é inválida : 110042490115|Verifique a Inscrição Estadual e a UF informada.");
  EXPECT_EQ(validator.Get_Error_Function(), "Valida_IE");
}

TEST_F(ValidatorTest, StateRegistrationOfAnotherStateOrNoneIsInvalid) {
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_EQ(validator.Valida_IE("110042490114", "MG"), 0);
  EXPECT_EQ(validator.Valida_IE("110042490114", "XX"), 0);
  EXPECT_EQ(validator.Valida_IE("ISENTO", "SP"), 0);
  EXPECT_EQ(validator.Get_Error(),
            "Inscrição Estadual informada é inválida : |Verifique a Inscrição Estadual e a UF informada.");
}

TEST_F(ValidatorTest, SaoPauloRuralProducerKeepsItsP) {
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_EQ(validator.Valida_IE("P-01100424.3/002", "SP"), 1);
  EXPECT_EQ(validator.Valida_IE("P-01100424.4/002", "SP"), 0);
  EXPECT_EQ(validator.Get_Error(),
            "Inscrição Estadual informada é inválida : P011004244002|Verifique a Inscrição Estadual e a UF informada.");
  // Elsewhere the letter is dropped like any other non-digit.
  EXPECT_EQ(validator.Valida_IE("P-01100424.3/002", "MG"), 0);
}

TEST_F(ValidatorTest, AtMostTwentyDigitsOfARegistrationAreUsed) {
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_EQ(validator.Valida_IE(std::string(30, '7'), "SP"), 0);
  EXPECT_EQ(validator.Get_Error(), "Inscrição Estadual informada é inválida : " + std::string(20, '7') +
                                       "|Verifique a Inscrição Estadual e a UF informada.");
}

TEST_F(ValidatorTest, ASuccessKeepsTheLastFailure) {
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_EQ(validator.Valida_CPF("111.111.111-11"), 0);
  EXPECT_EQ(validator.Valida_CFOP("5102"), 1);
  EXPECT_EQ(validator.Get_Error(), "CPF com todo os dígitos iguais é inválido.");
  EXPECT_EQ(validator.Get_Error_Function(), "Valida_CPF");
}

// Whatever a user or a file hands over, the answer is one of the messages.
TEST_F(ValidatorTest, AMegabyteOfTextGetsTheMessagesCutToTheirField) {
  VALIDADOR_FISCAL validator(ui_);
  const std::string digits(1 << 20, '1');
  const std::string letters(1 << 20, 'x');
  const std::string accented = [] {
    std::string s;
    for (int i = 0; i < (1 << 19); ++i) s += "é";
    return s;
  }();
  const Check checks[] = {&VALIDADOR_FISCAL::Valida_PIS,    &VALIDADOR_FISCAL::Valida_IPI,
                          &VALIDADOR_FISCAL::Valida_Cofins, &VALIDADOR_FISCAL::Valida_CFOP,
                          &VALIDADOR_FISCAL::Valida_Pais,   &VALIDADOR_FISCAL::Valida_Municipio,
                          &VALIDADOR_FISCAL::Valida_CPF,    &VALIDADOR_FISCAL::Valida_CNPJ,
                          &VALIDADOR_FISCAL::Valida_Placa,  &VALIDADOR_FISCAL::Valida_Telefone};
  for (const std::string* value : {&digits, &letters, &accented}) {
    for (const Check check : checks) {
      const int result = (validator.*check)(*value);
      // A megabyte of digits is a long telephone number: there is no upper limit.
      if (check == &VALIDADOR_FISCAL::Valida_Telefone && value == &digits) {
        EXPECT_EQ(result, 1);
        continue;
      }
      EXPECT_EQ(result, 0);
      EXPECT_FALSE(validator.Get_Error().empty());
      EXPECT_LE(text::length(validator.Get_Error()), 4095U);
    }
    EXPECT_EQ(validator.Valida_IE(*value, "SP"), 0);
  }
  EXPECT_EQ(validator.Valida_CPF(digits), 0);
  EXPECT_EQ(validator.Get_Error(),
            text::cut("Quantidade de caracteres informados no CPF é inválida = " + digits, 4095));
  EXPECT_EQ(validator.Valida_Placa(accented), 0);
  EXPECT_TRUE(validator.Get_Error().starts_with("Valor Inválido, a placa informada contém menos de 7 caracteres = "));
}

TEST(DigitsOf, KeepsOnlyDigitsUpTo1023) {
  EXPECT_EQ(digits_of("(11) 3456-7890"), "1134567890");
  EXPECT_EQ(digits_of("ABC"), "");
  EXPECT_EQ(digits_of("٣٤5"), "5");  // digits of other scripts are not 0-9
  EXPECT_EQ(digits_of(std::string(5000, '9')).size(), 1023U);
}

// ---------------------------------------------------------------- table look-up

TEST_F(ValidatorTest, ASecondLookUpIsAnsweredWithoutTheFile) {
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_EQ(validator.Valida_CFOP("5102"), 1);
  std::filesystem::remove(path(2));
  EXPECT_EQ(validator.Valida_CFOP("5.102"), 1);
  EXPECT_EQ(validator.TABELAS.records(), 1U);
}

TEST_F(ValidatorTest, AMissIsCachedUntilANewValidator) {
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_EQ(validator.Valida_Municipio("3106209"), 0);
  table(81, "3550308|São Paulo|SP\n3106209|Outra|MG\n");
  EXPECT_EQ(validator.Valida_Municipio("3106209"), 0);
  std::filesystem::remove(path(81));
  EXPECT_EQ(validator.Valida_Municipio("3106209"), 0);
  ASSERT_EQ(validator.TABELAS.records(), 1U);
  EXPECT_EQ(validator.TABELAS.at(1).TABELA, 81);
  EXPECT_EQ(validator.TABELAS.at(1).VALOR, "3106209");
  EXPECT_EQ(validator.TABELAS.at(1).EXISTE, 0);

  table(81, "3106209|Outra|MG\n");
  VALIDADOR_FISCAL fresh(ui_);
  EXPECT_EQ(fresh.Valida_Municipio("3106209"), 1);
}

TEST_F(ValidatorTest, AMissingTableIsReadAgainOnceItAppears) {
  std::filesystem::remove(path(68));
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_EQ(validator.Valida_Pais("1058"), 0);
  EXPECT_EQ(validator.Get_Error(), "Código do país não consta na tabela de países.");
  EXPECT_EQ(validator.TABELAS.records(), 0U);
  table(68, "1058|BRASIL\n");
  EXPECT_EQ(validator.Valida_Pais("1058"), 1);
}

TEST_F(ValidatorTest, AnswersAreKeptPerTable) {
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_EQ(validator.Valida_PIS("99"), 1);
  EXPECT_EQ(validator.Valida_Cofins("99"), 0);
  EXPECT_EQ(validator.Valida_PIS("99"), 1);
}

TEST_F(ValidatorTest, TheCodeIsTheExactTextBeforeTheFirstBar) {
  table(2, std::string{"\xEF\xBB\xBF"} + "5101|a|b\n" +  // a byte-order mark before the first line
               "5405\n"                                  // no bar: not a code
               " 5152|blank before\n"
               "5153 |blank after\n"
               "5949|Windows line end\r\n" +
               std::string(100000, 'x') + "|a very long line\n" + "5929");  // last line without a line end
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_EQ(validator.lookup(2, "5101"), 1);
  EXPECT_EQ(validator.lookup(2, "5405"), 0);
  EXPECT_EQ(validator.lookup(2, "5152"), 0);
  EXPECT_EQ(validator.lookup(2, " 5152"), 1);
  EXPECT_EQ(validator.lookup(2, "5153"), 0);
  EXPECT_EQ(validator.lookup(2, "5949"), 1);
  EXPECT_EQ(validator.lookup(2, "5929"), 0);
  EXPECT_EQ(validator.lookup(2, "a|b"), 0);
  EXPECT_EQ(validator.Valida_CFOP(" 5.101 "), 1);
}

TEST_F(ValidatorTest, ATableThatIsAFolderIsNotCached) {
  std::filesystem::remove(path(2));
  std::filesystem::create_directory(path(2));
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_EQ(validator.Valida_CFOP("5102"), 0);
  EXPECT_EQ(validator.TABELAS.records(), 0U);
}

}  // namespace
}  // namespace fvn
