#include "data_format.h"

#include <gtest/gtest.h>

#include <set>

#include "qdt_writer.h"
#include "test_data.h"

namespace quran {
namespace {

using testing::W;

TEST(Alphabet, HoldsEveryCharacterTheTextsUseOnceAndNoNul) {
  std::set<unsigned char> seen;
  for (std::size_t k = 0; k < kAlphabetSize; ++k) {
    auto c = static_cast<unsigned char>(DecodeAlphabet[k]);
    EXPECT_NE(c, 0);
    EXPECT_TRUE(seen.insert(c).second) << "duplicate at " << k;
    EXPECT_EQ(AlphabetPosition(c), static_cast<int>(k));
  }
  for (const char* s : {" ", "\\", "/", "ءآأؤإئابةتثجحخدذرزسشصضطظعغـفقكلمنهوىي", "ًٌٍَُِّ"}) {
    for (char c : W(s)) EXPECT_GE(AlphabetPosition(static_cast<unsigned char>(c)), 0) << s;
  }
  EXPECT_EQ(AlphabetPosition('?'), -1);
}

TEST(Alphabet, DecodingTakesEachByteModulo47) {
  // Every byte value, at every place of a block decoded sixteen bytes at a time and
  // of its tail.
  std::string bytes;
  for (int round = 0; round < 3; ++round) {
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>((b + round * 7) % 256);
  }
  bytes += bytes.substr(0, 11);
  std::string decoded = bytes;
  DecodeBlock(decoded.data(), decoded.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    ASSERT_EQ(decoded[i], DecodeAlphabet[static_cast<unsigned char>(bytes[i]) % 47]) << i;
  }
  char untouched[] = {5, 6};
  DecodeBlock(untouched, 0);
  EXPECT_EQ(untouched[0], 5);
}

TEST(Alphabet, EncodingRoundTripsAndRefusesForeignCharacters) {
  std::string text = W("\\كتب\\/كتاب/ بِسمِ اللَّهِ");
  std::string encoded = EncodeBlock(text);
  DecodeBlock(encoded.data(), encoded.size());
  EXPECT_EQ(encoded, text);
  EXPECT_THROW(EncodeBlock("abc"), std::runtime_error);
  EXPECT_THROW(EncodeBlock(W("كتب؟")), std::runtime_error);
}

TEST(SuraNames, TableHoldsTheChapterNamesInWindows1256) {
  EXPECT_STREQ(SuraNameTable[0], "");
  EXPECT_STREQ(SuraNameTable[115], "");
  EXPECT_EQ(SuraNameTable[1], W("سورة الفاتحة"));
  EXPECT_EQ(SuraNameTable[3], W("سورة آل عمران"));
  EXPECT_EQ(SuraNameTable[15], W("سورة الحِجْر"));
  EXPECT_EQ(SuraNameTable[114], W("سورة الناس"));
  for (int n = 1; n <= 114; ++n) {
    EXPECT_EQ(std::string(SuraNameTable[n]).rfind(W("سورة "), 0), 0u) << n;
  }
  EXPECT_STREQ(SuraName(-1), "");
  EXPECT_STREQ(SuraName(116), "");
  EXPECT_STREQ(SuraName(0), "");
  EXPECT_STREQ(SuraName(2), SuraNameTable[2]);
}

TEST(Writer, RootBlockFollowsTheGrammar) {
  std::vector<RootEntry> roots = {{"a", {"b", "c"}}, {"d", {}}};
  EXPECT_EQ(RootBlockText(roots), "\\a\\/b/c/\\d\\/");
  testing::TempDir dir;
  EXPECT_THROW(WriteRootFile((dir.path() / "r").string(), {{"a/b", {}}}), std::runtime_error);
  EXPECT_THROW(WriteRootFile((dir.path() / "r").string(), {{"a", {""}}}), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "r"));
}

TEST(Writer, VerseNumbersFollowTheChapterLengths) {
  std::vector<std::string> texts(kVerseCount, W("ك"));
  auto verses = NumberVerses(texts, texts);
  EXPECT_EQ(verses[0].chapter, 1);
  EXPECT_EQ(verses[7].chapter, 2);
  EXPECT_EQ(verses[7].verse, 1);
  EXPECT_EQ(verses.back().chapter, 114);
  EXPECT_EQ(verses.back().verse, 6);
  texts.pop_back();
  EXPECT_THROW(NumberVerses(texts, texts), std::runtime_error);
}

}  // namespace
}  // namespace quran
