// `fvn words` as support staff and scripts see it.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_run.h"

namespace fvn::app {
namespace {

using fvn::testing::CliResult;
using fvn::testing::run_cli;

TEST(WordsCommand, PrintsTheWordsWithTheirLeadingBlank) {
  const CliResult r = run_cli({"words", "1,50"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out, " um Real e Cincoenta Centavos\n");
}

TEST(WordsCommand, RefusesWhatIsNotOneWritableAmount) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"words"}, {"words", "abc"}, {"words", "1", "2"}, {"words", "-5"}, {"words", "1000000000000000"}}) {
    const CliResult r = run_cli(args);
    EXPECT_EQ(r.status, kExitUsage) << args.back();
    EXPECT_EQ(r.out, "") << args.back();
    EXPECT_NE(r.err, "") << args.back();
  }
}

}  // namespace
}  // namespace fvn::app
