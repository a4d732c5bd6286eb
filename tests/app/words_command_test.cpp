// `fvn words` as support staff and scripts see it.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/fvn_cli.h"

namespace fvn::app {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome fvn(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = run(args, out, err, nullptr);
  return {status, out.str(), err.str()};
}

TEST(WordsCommand, PrintsTheWordsWithTheirLeadingBlank) {
  const Outcome r = fvn({"words", "1,50"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out, " um Real e Cincoenta Centavos\n");
}

TEST(WordsCommand, RefusesWhatIsNotOneWritableAmount) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"words"}, {"words", "abc"}, {"words", "1", "2"}, {"words", "-5"}, {"words", "1000000000000000"}}) {
    const Outcome r = fvn(args);
    EXPECT_EQ(r.status, kExitUsage) << args.back();
    EXPECT_EQ(r.out, "") << args.back();
    EXPECT_NE(r.err, "") << args.back();
  }
}

}  // namespace
}  // namespace fvn::app
