#include "quran_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "codepage.h"
#include "test_data.h"

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

// Two publications of the Uthmani text that differ only in tatweel and spacing are one
// text; any other difference stops the build, naming the verse.
TEST(Uthmani, TheSecondPublicationChecksEveryVerse) {
  testing::TempDir dir;
  auto write = [&](const char* name, const nlohmann::json& doc) {
    std::ofstream(dir.path() / name) << doc.dump();
    return (dir.path() / name).string();
  };
  nlohmann::json verses = nlohmann::json::array();
  for (int i = 0; i < kVerseCount; ++i) verses.push_back("بِسۡمِ ٱللَّهِ");
  nlohmann::json chapters = nlohmann::json::array();
  for (int c = 0; c < kChapterCount; ++c) {
    nlohmann::json chapter = {{"verses", nlohmann::json::array()}};
    for (int v = 0; v < kChapterVerseCounts[c]; ++v)
      chapter["verses"].push_back({{"text", "بِسۡمِ\u00A0ٱللَّـهِ"}});
    chapters.push_back(chapter);
  }
  std::string source = write("hafs.json", verses);
  EXPECT_EQ(LoadUthmani(source, write("same.json", chapters)).at(7), U"بِسۡمِ ٱللَّهِ");
  chapters[1]["verses"][254]["text"] = "بِسۡمِ ٱللَّهُ";
  try {
    LoadUthmani(source, write("other.json", chapters));
    ADD_FAILURE() << "a different verse was taken";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("verse 2:255 differs"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace quran
