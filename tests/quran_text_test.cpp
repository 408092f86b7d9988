#include "quran_text.h"

#include <gtest/gtest.h>

#include "codepage.h"

namespace quran {
namespace {

TEST(CleanVerse, RemovesMarksAndNormalisesSpaces) {
  // A no-break space before a pause mark, then a sajdah sign at the end.
  EXPECT_EQ(CleanVerse(" قال\u00A0\u06D6 ربي  ۩ ", TextForm::Search), "قال ربي");
  EXPECT_EQ(CleanVerse("\u06DA", TextForm::Search), "");
}

TEST(CleanVerse, DropsSuperscriptAlefWithItsTatweelInDisplayFormOnly) {
  EXPECT_EQ(CleanVerse("الرَّحمـٰنِ", TextForm::Display), "الرَّحمنِ");
  EXPECT_EQ(CleanVerse("ذٰلِكَ", TextForm::Display), "ذلِكَ");
  EXPECT_EQ(CleanVerse("عالـم", TextForm::Display), "عالـم");  // a lone tatweel stays
  EXPECT_THROW(CleanVerse("\xFF", TextForm::Search), std::runtime_error);
}

TEST(Codepage, ConvertsArabicAndRefusesWhatWindows1256Lacks) {
  auto cp = Utf8ToCp1256("كتب");
  ASSERT_TRUE(cp);
  EXPECT_EQ(*cp, "\xDF\xCA\xC8");
  EXPECT_EQ(Cp1256ToUtf8(*cp), "كتب");
  EXPECT_FALSE(Utf8ToCp1256("ذٰلك"));   // superscript alef
  EXPECT_FALSE(Utf8ToCp1256("\xC3"));  // cut-off sequence
  EXPECT_EQ(Utf8ToUtf32("aب"), std::u32string(U"aب"));
}

TEST(SplitWords, SplitsAtSpaces) {
  auto words = SplitWords("يا قوم  اعبدوا");
  ASSERT_EQ(words.size(), 3u);
  EXPECT_EQ(words[1], "قوم");
}

}  // namespace
}  // namespace quran
