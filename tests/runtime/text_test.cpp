#include "runtime/text.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace fvn::text {
namespace {

TEST(Text, ClipAndTrimRemoveBlanksOnly) {
  EXPECT_EQ(clip("  ab c  "), "  ab c");
  EXPECT_EQ(left_trim("  ab c  "), "ab c  ");
  EXPECT_EQ(trim("    "), "");
  EXPECT_EQ(clip("ab\t"), "ab\t");
}

TEST(Text, LengthCountsCodePointsAndEachBrokenByte) {
  EXPECT_EQ(length("ação"), 4U);
  EXPECT_EQ(length("\xF0\x9F\x98\x80!"), 2U);
  EXPECT_EQ(length("\xC3("), 2U);             // lead byte without continuation
  EXPECT_EQ(length("\xC3"), 1U);              // lead byte at the end
  EXPECT_EQ(length("\xFF\x80\x80"), 3U);      // 0xFF never starts a sequence
  EXPECT_EQ(length("\xF8\x80\x80\x80"), 4U);  // nor does 0xF8
}

TEST(Text, CutAndFitNeverSplitACharacter) {
  EXPECT_EQ(cut("ação", 2), "aç");
  EXPECT_EQ(cut("ação", 10), "ação");
  EXPECT_EQ(cut("\xF0\x9F\x98\x80x", 1), "\xF0\x9F\x98\x80");
  EXPECT_EQ(cut("\xFF\x80\x80", 1), "\xFF");
  EXPECT_EQ(fit("ação", 4), "açã");
  EXPECT_EQ(fit("abc", 1), "");
  EXPECT_EQ(fit("abc", 0), "");
}

TEST(Text, UpperCoversPortugueseLetters) {
  EXPECT_EQ(upper("ação é órgão à vista, ü ê ô õ"), "AÇÃO É ÓRGÃO À VISTA, Ü Ê Ô Õ");
  EXPECT_EQ(upper("÷ ÿ ß \xC3"), "÷ ÿ ß \xC3");  // no capital in the block, or a broken byte
}

TEST(Text, SplitKeepsEmptyParts) {
  EXPECT_EQ(split("", ','), std::vector<std::string>{""});
  EXPECT_EQ(split("a,,b,", ','), (std::vector<std::string>{"a", "", "b", ""}));
}

TEST(Text, DigitsAreAsciiOnly) {
  EXPECT_EQ(digits("CPF 529.982.247-25 ½ ٣"), "52998224725");
  EXPECT_TRUE(all_digits("0123456789"));
  for (const char* text : {"", " 1", "1a", "١"}) EXPECT_FALSE(all_digits(text)) << text;
  EXPECT_EQ(strip_leading_zeros("000120"), "120");
  EXPECT_EQ(strip_leading_zeros("000"), "0");
  EXPECT_EQ(strip_leading_zeros(""), "0");
}

}  // namespace
}  // namespace fvn::text
