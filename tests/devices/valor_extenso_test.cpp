// The amount in words: every text below was worked out by hand from the word
// tables and the joining rules, blanks included.
#include "devices/valor_extenso.h"

#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace fvn::devices {
namespace {

struct Words {
  const char* name;
  double amount;
  const char* words;
};
void PrintTo(const Words& row, std::ostream* os) { *os << row.name; }

class ValorExtenso : public ::testing::TestWithParam<Words> {};

TEST_P(ValorExtenso, WritesTheAmountInWords) {
  const std::optional<std::string> words = valor_extenso(GetParam().amount);
  ASSERT_TRUE(words.has_value());
  EXPECT_EQ(*words, GetParam().words);
}

// One row per line.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Amounts, ValorExtenso, ::testing::Values(
    Words{"Zero", 0, "zero Reais"},
    Words{"OneKeepsItsLeadingBlank", 1, " um Real"},
    Words{"TensAndUnits", 21, "Vinte e Um Reais"},
    Words{"Hundred", 100, "cem Reais"},
    Words{"HundredAndUnits", 105, "Cento e Cinco Reais"},
    Words{"HundredAndTens", 150, "Cento e Cincoenta Reais"},
    Words{"LongestGroupIsNotCut", 454, "Quatrocentos e Cincoenta e Quatro Reais"},
    Words{"OneThousandHasNoShortForm", 1000, "Um Mil Reais"},
    Words{"ThousandAndHundreds", 1500, "Um Mil e Quinhentos Reais"},
    Words{"ThousandAndOne", 1001, "Um Mil e  um Real"},
    Words{"OneMillion", 1'000'000, " Um Milhao de Reais"},
    Words{"Millions", 2'000'000, "Dois Milhoes de Reais"},
    Words{"OneTrillion", 1'000'000'000'000, " um Trilhao de Reais"},
    Words{"LongestTrillionsAreNotCut", 454'000'000'000'000, "Quatrocentos e Cincoenta e Quatro Trilhoes de Reais"},
    Words{"CommasAboveTheLowestGroup", 1'234'567.89,
          " Um Milhao, Duzentos e Trinta e Quatro Mil, Quinhentos e Sessenta e Sete Reais e Oitenta e Nove Centavos"},
    Words{"LargestAmount", 999'999'999'999'999,
          "Novecentos e Noventa e Nove Trilhoes, Novecentos e Noventa e Nove Bilhoes, "
          "Novecentos e Noventa e Nove Milhoes, Novecentos e Noventa e Nove Mil e Novecentos e Noventa e Nove Reais"},
    Words{"OneAndCents", 1.50, " um Real e Cincoenta Centavos"},
    Words{"UnitsAndTeenCents", 19.19, "Dezenove Reais e Dezenove Centavos"},
    Words{"UnitsAndOneCent", 2.01, "Dois Reais e  um centavo"},
    Words{"ThousandsAndCentsWithoutUnits", 1000.50, "Um Mil Reais e Cincoenta Centavos"},
    Words{"ConnectorBeforeCentsIsNotCut", 554'000'000.50, "Quinhentos e Cincoenta e Quatro Milhoes de Reais e Cincoenta Centavos"},
    Words{"CentsAlone", 0.50, " Cincoenta Centavos de Reais"},
    Words{"OneCentAlone", 0.01, " um centavo de Real"},
    Words{"HalfCentRoundsUp", 1.005, " um Real e  um centavo"},
    Words{"BelowHalfACentIsZero", 0.004, "zero Reais"}),
    [](const ::testing::TestParamInfo<Words>& row) { return std::string{row.param.name}; });
// clang-format on

TEST(ValorExtensoRange, RefusesWhatCannotBeWritten) {
  for (const double amount : {-0.01, -1500.0, 1e15, std::nan(""), std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(valor_extenso(amount), std::nullopt) << amount;
  }
}

}  // namespace
}  // namespace fvn::devices
