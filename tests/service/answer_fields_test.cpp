// Reading named fields of the service's answers, decoding HTML references
// and the two small readers of the client: the authorisation moment and the
// cancellation protocol.
#include "service/answer_fields.h"

#include <gtest/gtest.h>

#include "service/nfce_servico.h"

namespace fvn {
namespace {

TEST(ObterValorCampo, ReadsMembersAsText) {
  const std::string answer = R"({"numero": "12", "oid": 345, "ok": false, "nada": null, "lista": [1]})";
  EXPECT_EQ(ObterValorCampo(answer, "numero"), "12");
  EXPECT_EQ(ObterValorCampo(answer, "oid"), "345");
  EXPECT_EQ(ObterValorCampo(answer, "ok"), "false");
  EXPECT_EQ(ObterValorCampo(answer, "nada"), "");
  EXPECT_EQ(ObterValorCampo(answer, "ausente"), "");
  EXPECT_EQ(ObterValorCampo(answer, "lista"), "[1]");
  EXPECT_EQ(ObterValorCampo(answer, "Numero"), "");  // names are exact
}

TEST(ObterValorCampo, AnAnswerThatIsNotAnObjectHasNoFields) {
  EXPECT_EQ(ObterValorCampo(R"({"numero": "12")", "numero"), "");
  EXPECT_EQ(ObterValorCampo(R"(["numero"])", "numero"), "");
  EXPECT_EQ(ObterValorCampo("numero=12", "numero"), "");
  EXPECT_EQ(ObterValorCampo("", "numero"), "");
}

// A member nested a million levels deep once overflowed the stack while it
// was written back as text; such an answer is now not read at all.
TEST(ObterValorCampo, AnAnswerNestedTooDeepHasNoFields) {
  const auto nested = [](std::size_t depth) {
    return R"({"s": "[[{\"", "numero": )" + std::string(depth, '[') + std::string(depth, ']') + "}";
  };
  EXPECT_EQ(ObterValorCampo(nested(63), "s"), "[[{\"") << "brackets inside texts do not count";
  EXPECT_EQ(ObterValorCampo(nested(63), "numero").size(), 126U);
  EXPECT_TRUE(is_answer_object(nested(63)));
  const std::string deep = nested(1'000'000);
  EXPECT_EQ(ObterValorCampo(deep, "numero"), "");
  EXPECT_EQ(ObterValorCampo(deep, "s"), "");
  EXPECT_FALSE(is_answer_object(deep));
  EXPECT_FALSE(is_answer_object("[1]"));
}

TEST(FailureAnswer, NamesTheCauseAndCountsAsAnException) {
  const std::string answer = failure_answer("tempo esgotado \"x\"");
  EXPECT_EQ(ObterValorCampo(answer, "exMessage"), "Exception: tempo esgotado \"x\"");
  EXPECT_EQ(ObterValorCampo(answer, "numero"), "");
  EXPECT_TRUE(is_exception_answer(answer));
  EXPECT_FALSE(is_exception_answer(R"({"status": "OK"})"));
  EXPECT_FALSE(is_exception_answer("EXCEPTION"));  // exact case
}

TEST(DecodificarHtml, DecodesNamedAndNumericReferences) {
  EXPECT_EQ(DecodificarHtml("a&amp;b&lt;c&gt;d&quot;e&apos;f"), "a&b<c>d\"e'f");
  EXPECT_EQ(DecodificarHtml("p=1&#124;2&#x7C;3&#X7c;"), "p=1|2|3|");
  EXPECT_EQ(DecodificarHtml("S&#227;o Jos&#xe9;"), "São José");
  EXPECT_EQ(DecodificarHtml("&nbsp;"), "\xC2\xA0");
}

TEST(DecodificarHtml, KeepsWhatIsNotAReference) {
  EXPECT_EQ(DecodificarHtml("a & b"), "a & b");
  EXPECT_EQ(DecodificarHtml("&copy;&#0;&#xD800;&#1114112;&#12a;"), "&copy;&#0;&#xD800;&#1114112;&#12a;");
  EXPECT_EQ(DecodificarHtml("fim &amp"), "fim &amp");
  EXPECT_EQ(DecodificarHtml("&amp;amp;"), "&amp;");  // decoded once
}

TEST(AuthorisationMoment, SplitsDateAndTimeAtTheZone) {
  struct Row {
    const char* value;
    const char* date;
    const char* time;
  };
  const Row rows[] = {
      {"2026-01-31T14:05:09-03:00", "2026-01-31", "14:05:09"},
      {"2026-01-31t14:05:09-03:00", "2026-01-31", "14:05:09"},
      {"2026-01-31T14:05:09+01:00", "2026-01-31", ""},
      {"2026-01-31T14:05:09Z", "2026-01-31", ""},
      {"2026-01-31 14:05:09", "", ""},
      {"", "", ""},
      {"2026-01-31T14:05:09.123-03:00", "2026-01-31", "14:05:09"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    const AuthorisationMoment moment = split_authorisation_moment(row.value);
    EXPECT_EQ(moment.date, row.date);
    EXPECT_EQ(moment.time, row.time);
  }
}

TEST(CancellationProtocol, EndsAtTheFirstCommaAfterTheMarker) {
  EXPECT_EQ(cancellation_protocol("cStat: 135, nProt: 1352, dhRegEvento: x"), "1352");
  EXPECT_EQ(cancellation_protocol("cStat: 135, nProt: 1352, dhRegEvento: x,"), "1352");
  EXPECT_EQ(cancellation_protocol("cStat: 135, nProt: 1352"), "1352");
  EXPECT_EQ(cancellation_protocol("cStat: 135, nProt:1352 , x"), "1352");
  EXPECT_EQ(cancellation_protocol("cStat: 135"), "");
  EXPECT_EQ(cancellation_protocol("nProt: " + std::string(80, '9')), std::string(49, '9'));
}

}  // namespace
}  // namespace fvn
