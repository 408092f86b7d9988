#include "verse_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "literal_search.h"
#include "test_data.h"

namespace quran {
namespace {

using testing::HandmadeRoots;
using testing::HandmadeVerses;
using testing::TempDir;
using testing::W;

int Flagged(const VerseStore& s) {
  return s.VerseCount();
}

class StoreTest : public ::testing::Test {
 protected:
  // Verse 0..n of the store hold these search texts; every other verse is filler.
  void Load(const std::vector<std::string>& verses,
            const std::vector<std::vector<std::string>>& roots = {}) {
    testing::WriteFiles(dir_, HandmadeVerses(verses), HandmadeRoots(roots));
    store_ = std::make_unique<VerseStore>(dir_.str().c_str());
    ASSERT_EQ(store_->LoadFailed, 0);
  }
  std::int32_t Text(const std::string& q, const std::uint8_t* filter = nullptr) {
    return store_->FindText(W(q).c_str(), filter, true);
  }
  std::int32_t Word(const std::string& q) { return Text(" " + q + " "); }

  TempDir dir_;
  std::unique_ptr<VerseStore> store_;
};

TEST_F(StoreTest, TextSearchCountsEveryOccurrenceAndFlagsItsVerse) {
  Load({"كتب كتب قال", "قال", "ببب", "سمع سمع"});
  EXPECT_EQ(Text("كتب"), 2);
  EXPECT_EQ(Flagged(*store_), 1);
  EXPECT_EQ(store_->ResultFlags[0], 1);
  // Overlapping occurrences all count: "بب" twice in "ببب".
  EXPECT_EQ(Text("بب"), 2);
  EXPECT_EQ(store_->ResultFlags[2], 1);
  // A word twice in a row shares the space between its padded occurrences.
  EXPECT_EQ(Word("سمع"), 2);
  EXPECT_EQ(Word("قال"), 2);
  EXPECT_EQ(Flagged(*store_), 2);
}

TEST_F(StoreTest, QueryThatOccursNowhereLeavesNoFlag) {
  Load({"كتب"});
  Text("كتب");
  EXPECT_EQ(Text("غغغغ"), 0);
  EXPECT_EQ(Flagged(*store_), 0);
  EXPECT_EQ(store_->OccurrenceCount, 0);
}

TEST_F(StoreTest, OccurrenceBelongsToTheVerseOfItsSecondByte) {
  Load({"كتب", "قال"});
  // The space before "قال" is the first byte of verse 1's range; the padded word
  // " قال" starts there, and so does " ق".
  EXPECT_EQ(Text(" قال"), 1);
  EXPECT_EQ(store_->ResultFlags[1], 1);
  // "ب ق" runs from verse 0 into verse 1: its second byte, the space, is verse 1's.
  EXPECT_EQ(Text("ب ق"), 1);
  EXPECT_EQ(store_->ResultFlags[1], 1);
  EXPECT_EQ(store_->ResultFlags[0], 0);
  // The last byte of verse 0 is "ب"; an occurrence starting there goes to verse 1.
  EXPECT_EQ(Text("ب "), 1);
  EXPECT_EQ(store_->ResultFlags[1], 1);
}

TEST_F(StoreTest, PaddedQueryFindsFirstAndLastWordOfTheBlock) {
  std::vector<std::string> verses(kVerseCount, "ظظظ");
  verses.front() = "أول كلمة";
  verses.back() = "كلمة آخر";
  Load(verses);
  EXPECT_EQ(Word("أول"), 1);
  EXPECT_EQ(store_->ResultFlags[0], 1);
  EXPECT_EQ(Word("آخر"), 1);
  EXPECT_EQ(store_->ResultFlags[kVerseCount - 1], 1);
  // The block's very last byte is a space; an occurrence starting there stays in range.
  EXPECT_EQ(store_->VerseAtPosition(store_->VerseIndex[kVerseCount - 1].searchOffset +
                                    store_->VerseIndex[kVerseCount - 1].searchLength),
            kVerseCount - 1);
  EXPECT_EQ(store_->VerseAtPosition(0xFFFFFFFFu), kVerseCount - 1);
}

TEST_F(StoreTest, FilterLimitsResultsToEarlierVerses) {
  Load({"كتب قلم", "كتب", "قلم"});
  std::vector<std::uint8_t> none(kVerseCount, 0);
  EXPECT_EQ(Text("كتب", none.data()), 0);
  EXPECT_EQ(Flagged(*store_), 0);

  Text("كتب");
  std::vector<std::uint8_t> previous(store_->ResultFlags, store_->ResultFlags + kVerseCount);
  EXPECT_EQ(Text("قلم", previous.data()), 1);
  EXPECT_EQ(store_->ResultFlags[0], 1);
  EXPECT_EQ(store_->ResultFlags[2], 0);
}

TEST_F(StoreTest, SearchesWithoutResetAddUp) {
  Load({"كتب", "قلم"});
  store_->FindText(W("كتب").c_str(), nullptr, true);
  EXPECT_EQ(store_->FindText(W("قلم").c_str(), nullptr, false), 2);
  EXPECT_EQ(Flagged(*store_), 2);
}

TEST_F(StoreTest, RootSearchFindsDerivativesAsWholeWordsOnly) {
  Load({"كتب الكتاب", "مكتوب", "الكتابة", "كتب كتب"},
       {{"كتب", "كتب", "الكتاب", "مكتوب"}, {"قول", "قال"}});
  const std::string root = W("كتب");
  EXPECT_EQ(store_->FindRoot(root.c_str(), nullptr, true), 5);
  EXPECT_EQ(Flagged(*store_), 3);  // "الكتابة" holds "الكتاب" but is no derivative
  EXPECT_EQ(store_->ResultFlags[2], 0);
}

TEST_F(StoreTest, RootMustMatchWhole) {
  Load({"كتب قال"}, {{"كتب", "كتب"}, {"قول", "قال"}});
  for (const char* r : {"كت", "كتب ", " كتب", "سمع", ""}) {
    EXPECT_EQ(store_->FindRoot(W(r).c_str(), nullptr, true), 0) << r;
    EXPECT_EQ(Flagged(*store_), 0);
  }
  // A word listed only as a root, not as a derivative, is not found by word.
  EXPECT_EQ(store_->FindWordRoots(W("قول").c_str(), nullptr, true), 0);
  EXPECT_EQ(store_->FindWordRoots("", nullptr, true), 0);
}

TEST_F(StoreTest, WordUnderTwoRootsCountsOncePerRoot) {
  Load({"عين", "عان", "عيون"}, {{"عين", "عين", "عيون"}, {"عون", "عان", "عين"}});
  EXPECT_EQ(store_->FindWordRoots(W("عين").c_str(), nullptr, true), 4);
  EXPECT_EQ(Flagged(*store_), 3);
  EXPECT_EQ(store_->FindRoot(W("عون").c_str(), nullptr, true), 2);
}

TEST_F(StoreTest, RootWithTwoEntriesUsesTheFirst) {
  Load({"كتب", "كاتب"}, {{"كتب", "كتب"}, {"قول", "قال"}, {"كتب", "كاتب"}});
  EXPECT_EQ(store_->FindRoot(W("كتب").c_str(), nullptr, true), 1);
  EXPECT_EQ(store_->ResultFlags[0], 1);
  EXPECT_EQ(store_->ResultFlags[1], 0);
}

TEST_F(StoreTest, OverlongRootOrWordIsRefused) {
  Load({"كتب"}, {{"كتب", "كتب"}});
  std::string longText(1022, W("ك")[0]);
  EXPECT_EQ(store_->FindRoot(longText.c_str(), nullptr, true), 0);
  EXPECT_EQ(store_->FindWordRoots(longText.c_str(), nullptr, true), 0);
  longText.pop_back();  // 1,021 bytes is still taken
  EXPECT_EQ(store_->FindRoot(longText.c_str(), nullptr, true), 0);
}

TEST_F(StoreTest, RootListIsEveryRootInBlockOrder) {
  Load({"كتب"}, {{"كتب", "كتب", "كاتب"}, {"قول"}, {"علم", "علم"}});
  auto roots = store_->Roots();
  ASSERT_EQ(roots.size(), 3u);
  EXPECT_EQ(roots[1], W("قول"));
  auto derivatives = store_->Derivatives(W("كتب"));
  ASSERT_EQ(derivatives.size(), 2u);
  EXPECT_EQ(derivatives[1], W("كاتب"));
  EXPECT_TRUE(store_->Derivatives(W("قول")).empty());
}

TEST_F(StoreTest, VerseTextIsTrimmedOfSpacesOnly) {
  auto verses = HandmadeVerses({"كتب"});
  verses[0].display = W("  بِسمِ  اللَّهِ ");
  verses[1].display = W("   ");
  verses[kVerseCount - 1].display = W("آخر");
  testing::WriteFiles(dir_, verses, {});
  VerseStore store(dir_.str().c_str());
  ASSERT_EQ(store.LoadFailed, 0);
  char buffer[64];
  ASSERT_EQ(store.GetVerseText(0, buffer), 1);
  EXPECT_EQ(std::string(buffer), W("بِسمِ  اللَّهِ"));
  ASSERT_EQ(store.GetVerseText(1, buffer), 1);
  EXPECT_EQ(std::string(buffer), "");
  ASSERT_EQ(store.GetVerseText(kVerseCount - 1, buffer), 1);
  EXPECT_EQ(std::string(buffer), W("آخر"));
  std::strcpy(buffer, "kept");
  EXPECT_EQ(store.GetVerseText(kVerseCount, buffer), 0);
  EXPECT_STREQ(buffer, "kept");

  // The bounded read takes a text that fills the buffer with its zero, and no longer.
  std::size_t fits = std::strlen(W("آخر").c_str()) + 1;
  EXPECT_EQ(store.GetVerseText(kVerseCount - 1, buffer, fits - 1), 0);
  EXPECT_STREQ(buffer, "kept");
  EXPECT_EQ(store.GetVerseText(kVerseCount - 1, buffer, fits), 1);
  EXPECT_EQ(std::string(buffer), W("آخر"));
}

// The one-pass searches must give exactly what the plain definition gives, also on
// texts full of repeats, shared derivatives and filters.
// Thousands of distinct words, each twice: the word tables outgrow their first size
// while holding words, and every word is still found where it stands.
TEST(StoreEquivalence, WordTablesGrowWithWordsInThem) {
  const std::string letters = W("ابتثجحخدذرزسشصضطظعغفقكلمنهوية");
  std::vector<std::string> verses, words;
  std::string text;
  for (std::size_t a = 0; a < letters.size(); ++a) {
    for (std::size_t b = 0; b < letters.size(); ++b) {
      for (std::size_t c = 0; c < letters.size(); ++c) {
        words.push_back({letters[a], letters[b], letters[c]});
      }
    }
  }
  for (std::size_t i = 0; i < words.size(); ++i) {
    text += (text.empty() ? "" : " ") + words[i] + " " + words[(i * 7) % words.size()];
    if (i % 40 == 39) verses.push_back(*Cp1256ToUtf8(text)), text.clear();
  }
  TempDir dir;
  testing::WriteFiles(dir, HandmadeVerses(verses), {});
  VerseStore fast(dir.str().c_str()), plain(dir.str().c_str());
  ASSERT_EQ(fast.LoadFailed, 0);
  for (std::size_t i = 0; i < words.size(); i += 61) {
    std::string padded = " " + words[i] + " ";
    fast.FindText(padded.c_str(), nullptr, true);
    literal::FindText(plain, padded.c_str(), nullptr, true);
    ASSERT_EQ(fast.OccurrenceCount, plain.OccurrenceCount) << i;
    ASSERT_EQ(0, std::memcmp(fast.ResultFlags, plain.ResultFlags, kVerseCount)) << i;
    fast.FindText(padded.c_str(), nullptr, true, Matching::kLoose);
    literal::FindLooseText(plain, padded.c_str(), nullptr, true);
    ASSERT_EQ(fast.OccurrenceCount, plain.OccurrenceCount) << i;
  }
}

TEST(StoreEquivalence, MatchesThePlainDefinitionOnRandomData) {
  const std::vector<std::string> words = {"كتب", "كاتب", "الكتاب", "قال", "قل", "ق", "بب", "ب"};
  std::mt19937 rng(7);
  std::vector<std::string> verses;
  for (int v = 0; v < 300; ++v) {
    std::string text;
    int n = 1 + rng() % 6;
    for (int k = 0; k < n; ++k) text += (k ? " " : "") + words[rng() % words.size()];
    verses.push_back(text);
  }
  TempDir dir;
  testing::WriteFiles(dir, HandmadeVerses(verses),
                      HandmadeRoots({{"كتب", "كتب", "كاتب", "الكتاب", "بب"},
                                     {"قول", "قال", "قل", "كتب"},
                                     {"بوب", "ب", "بب"}}));
  VerseStore fast(dir.str().c_str()), plain(dir.str().c_str());
  ASSERT_EQ(fast.LoadFailed, 0);
  // Half the verses, and a quarter: a scan reads a filter keeping few verses its own way.
  std::vector<std::uint8_t> filter(kVerseCount), few(kVerseCount);
  for (int i = 0; i < kVerseCount; ++i) filter[i] = rng() % 2, few[i] = rng() % 4 == 0;
  auto same = [&](const std::string& what) {
    EXPECT_EQ(fast.OccurrenceCount, plain.OccurrenceCount) << what;
    EXPECT_EQ(0, std::memcmp(fast.ResultFlags, plain.ResultFlags, kVerseCount)) << what;
  };
  for (const std::uint8_t* f :
       {static_cast<const std::uint8_t*>(nullptr), static_cast<const std::uint8_t*>(filter.data()),
        static_cast<const std::uint8_t*>(few.data())}) {
    for (const std::string& w : words) {
      std::string q = W(w), padded = " " + q + " ";
      fast.FindText(q.c_str(), f, true), literal::FindText(plain, q.c_str(), f, true);
      same("text " + w);
      fast.FindText(padded.c_str(), f, true), literal::FindText(plain, padded.c_str(), f, true);
      same("word " + w);
      fast.FindRoot(q.c_str(), f, true), literal::FindRoot(plain, q.c_str(), f, true);
      same("root " + w);
      fast.FindWordRoots(q.c_str(), f, true), literal::FindWordRoots(plain, q.c_str(), f, true);
      same("derivatives " + w);
    }
  }
  for (std::uint32_t p = 0; p < fast.VerseIndex[400].searchOffset; p += 3) {
    ASSERT_EQ(fast.VerseAtPosition(p), literal::VerseAtPosition(plain, p)) << p;
  }

  // A damaged root file: text before the first root, a derivative listed in a row, a
  // root with two entries, delimiters inside roots and derivatives, empty ones, spaces.
  testing::WriteRaw(dir.path() / kRootFileName,
                    EncodeBlock(W("قل/\\كتب\\/كتب/كتب/كتب/الكتاب//\\قول\\/قال/قل/كتب/\\ق/ل\\/بب/"
                                  "\\كتب\\/كاتب/\\\\/قال قل/ /ب/\\\\\\بوب\\/ب/ب/قل")));
  VerseStore damaged(dir.str().c_str()), damagedPlain(dir.str().c_str());
  ASSERT_EQ(damaged.LoadFailed, 0);
  std::vector<std::string> queries = {"",       "/",          "\\",        " ",
                                      W("ق/ل"), W("كتب/كتب"), W("ل\\/بب"), W("قال قل")};
  for (std::string_view r : damaged.Roots()) queries.emplace_back(r);
  for (const std::string& w : words) queries.push_back(W(w));
  for (const std::string& q : queries) {
    for (const std::uint8_t* f : {static_cast<const std::uint8_t*>(nullptr),
                                  static_cast<const std::uint8_t*>(filter.data())}) {
      damaged.FindRoot(q.c_str(), f, true), literal::FindRoot(damagedPlain, q.c_str(), f, true);
      EXPECT_EQ(damaged.OccurrenceCount, damagedPlain.OccurrenceCount) << "root " << q;
      EXPECT_EQ(0, std::memcmp(damaged.ResultFlags, damagedPlain.ResultFlags, kVerseCount));
      damaged.FindWordRoots(q.c_str(), f, true),
          literal::FindWordRoots(damagedPlain, q.c_str(), f, true);
      EXPECT_EQ(damaged.OccurrenceCount, damagedPlain.OccurrenceCount) << "derivatives " << q;
      EXPECT_EQ(0, std::memcmp(damaged.ResultFlags, damagedPlain.ResultFlags, kVerseCount));
    }
  }
}

// Malformed or missing files are load failures, never reads out of bounds.
class LoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteFiles(dir_, HandmadeVerses({"كتب"}), HandmadeRoots({{"كتب", "كتب"}}));
    good_ = testing::ReadFile(VersePath());
  }
  std::filesystem::path VersePath() const { return dir_.path() / kVerseFileName; }
  std::filesystem::path RootPath() const { return dir_.path() / kRootFileName; }
  bool LoadsWith(const std::string& verseFile) {
    testing::WriteRaw(VersePath(), verseFile);
    VerseStore store(dir_.str().c_str());
    return store.LoadFailed == 0;
  }
  static void Put32(std::string& bytes, std::size_t at, std::uint32_t w) {
    for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<char>((w >> (8 * k)) & 0xFF);
  }
  static std::size_t RecordAt(int i) { return 8 + kRecordSize * i; }
  static constexpr std::size_t kDisplayLengthAt = 8 + kRecordSize * kVerseCount + 4;

  TempDir dir_;
  std::string good_;
};

TEST_F(LoadTest, WellFormedFilesLoad) {
  EXPECT_TRUE(LoadsWith(good_));
  testing::WriteRaw(RootPath(), "");
  VerseStore store(dir_.str().c_str());
  EXPECT_EQ(store.LoadFailed, 0);  // an empty root dictionary is still a dictionary
  EXPECT_STREQ(store.RootBlock.get(), "");
  EXPECT_TRUE(store.Roots().empty());
}

TEST_F(LoadTest, MissingFilesFail) {
  std::filesystem::remove(RootPath());
  VerseStore noRoots(dir_.str().c_str());
  EXPECT_EQ(noRoots.LoadFailed, 1);
  EXPECT_NE(noRoots.SearchText, nullptr);  // what was read stays held
  std::filesystem::remove(VersePath());
  VerseStore nothing(dir_.str().c_str());
  EXPECT_EQ(nothing.LoadFailed, 1);
  EXPECT_EQ(nothing.SearchText, nullptr);
  EXPECT_EQ(nothing.RootBlock, nullptr);  // the root file is not even tried
  char buffer[8] = "kept";
  EXPECT_EQ(nothing.GetVerseText(0, buffer), 0);
  EXPECT_EQ(nothing.FindText("x", nullptr, true), 0);
}

TEST_F(LoadTest, MalformedVerseFileFails) {
  std::string bad = good_;
  EXPECT_FALSE(LoadsWith(good_.substr(0, good_.size() - 1))) << "short by one byte";
  EXPECT_FALSE(LoadsWith(good_.substr(0, 6))) << "header cut";
  EXPECT_FALSE(LoadsWith(good_.substr(0, RecordAt(100)))) << "index cut";

  Put32(bad = good_, 0, 21);
  EXPECT_FALSE(LoadsWith(bad)) << "record size";
  Put32(bad = good_, 4, kVerseCount - 1);
  EXPECT_FALSE(LoadsWith(bad)) << "record count";
  Put32(bad = good_, kDisplayLengthAt, 0x7FFFFFFF);
  EXPECT_FALSE(LoadsWith(bad)) << "display length beyond the file";
  Put32(bad = good_, RecordAt(5) + 4, 0xFFFFFFF0);
  EXPECT_FALSE(LoadsWith(bad)) << "display range outside its block";
  Put32(bad = good_, RecordAt(5) + 16, 1);
  EXPECT_FALSE(LoadsWith(bad)) << "search ranges with a gap";
  Put32(bad = good_, RecordAt(0) + 12, 1);
  EXPECT_FALSE(LoadsWith(bad)) << "search text not starting at 0";
  Put32(bad = good_, RecordAt(kVerseCount - 1) + 16, 0xFFFFFFFF);
  EXPECT_FALSE(LoadsWith(bad)) << "last range past the block";
  EXPECT_TRUE(LoadsWith(good_ + "trailing bytes are not read"));
}

TEST_F(LoadTest, DataDirectoryIsCutToItsBuffer) {
  std::string longPath(400, 'd');
  VerseStore store(longPath.c_str());
  EXPECT_EQ(store.LoadFailed, 1);
  EXPECT_EQ(std::strlen(store.DataDirectory), 259u);
  EXPECT_EQ(store.SetDataDirectory(nullptr), 0);
  EXPECT_GT(std::strlen(store.DataDirectory), 0u);
}

// Damaged files found by fuzzing: each is refused at load or answered right,
// quickly, without reading or writing out of bounds.
TEST_F(LoadTest, RefusesVersesLongerThanEveryReadersBuffer) {
  // 2,047 bytes and the zero fill the buffer.
  auto verses = HandmadeVerses({"كتب"});
  verses[0].display = W("ب") + std::string(kVerseTextSize - 3, ' ') + W("ب");
  testing::WriteFiles(dir_, verses, {});
  VerseStore fits(dir_.str().c_str());
  ASSERT_EQ(fits.LoadFailed, 0);
  char buffer[kVerseTextSize];
  EXPECT_EQ(fits.GetVerseText(0, buffer, sizeof buffer), 1);

  verses[0].display += W("ب");
  testing::WriteFiles(dir_, verses, {});
  VerseStore tooLong(dir_.str().c_str());
  EXPECT_EQ(tooLong.LoadFailed, 1);
}

TEST_F(LoadTest, RefusesChaptersAndVersesThatDoNotExist) {
  std::string bad;
  auto putByte = [](std::string& bytes, std::size_t at, int value) {
    bytes[at] = static_cast<char>(value);
  };
  for (int chapter : {0, 115, -1}) {
    putByte(bad = good_, RecordAt(3), chapter);
    EXPECT_FALSE(LoadsWith(bad)) << "chapter " << chapter;
  }
  putByte(bad = good_, RecordAt(3) + 2, 0);
  EXPECT_FALSE(LoadsWith(bad)) << "verse 0";
  putByte(bad = good_, RecordAt(0) + 2, 8);  // Al-Fatiha has seven verses
  EXPECT_FALSE(LoadsWith(bad)) << "verse 8 of chapter 1";
  putByte(bad = good_, RecordAt(0) + 2, 7);  // a duplicate number names a real verse
  EXPECT_TRUE(LoadsWith(bad));
}

// Many verses holding the word "كتب" many times, and a root file that lists it
// over and over: counts that would pass the largest 32-bit value stay there.
class RepeatedListingTest : public ::testing::Test {
 protected:
  static constexpr int kWordsPerVerse = 8;
  static constexpr std::int64_t kOccurrences = std::int64_t{kWordsPerVerse} * kVerseCount;

  // One entry "\كتب\" listing "كتب" `listings` times, then `others` other words.
  void Write(int listings, int others) {
    std::vector<std::string> texts(kVerseCount);
    for (auto& text : texts) {
      for (int k = 0; k < kWordsPerVerse; ++k) text += k ? " كتب" : "كتب";
    }
    std::vector<std::string> entry(listings + 1, "كتب");
    const char* extra[] = {"ا", "ب", "ت", "ث", "ج", "ح", "خ", "د", "ذ",
                           "ر", "ز", "س", "ش", "ص", "ض", "ط", "ظ"};
    for (int k = 0; k < others; ++k) entry.push_back(extra[k]);
    testing::WriteFiles(dir_, HandmadeVerses(texts), HandmadeRoots({entry}));
    store_ = std::make_unique<VerseStore>(dir_.str().c_str());
    ASSERT_EQ(store_->LoadFailed, 0);
  }

  TempDir dir_;
  std::unique_ptr<VerseStore> store_;
};

TEST_F(RepeatedListingTest, CountsSaturateInsteadOfWrapping) {
  const int listings = 44000;  // 44,000 x 49,888 occurrences is past 2^31
  for (int others : {0, 17}) {
    SCOPED_TRACE(others);
    Write(listings, others);
    EXPECT_EQ(store_->FindRoot(W("كتب").c_str(), nullptr, true), INT32_MAX);
    EXPECT_EQ(store_->VerseCount(), kVerseCount);
    EXPECT_EQ(store_->FindWordRoots(W("كتب").c_str(), nullptr, true), INT32_MAX);
    EXPECT_EQ(store_->VerseCount(), kVerseCount);
  }
}

// Each listing counts, but the text is read once per distinct word: 5,000 listings
// took minutes when each one was searched again.
TEST_F(RepeatedListingTest, RepeatsCountWithoutSearchingAgain) {
  const int listings = 5000;
  for (int others : {0, 17}) {
    SCOPED_TRACE(others);
    Write(listings, others);
    EXPECT_EQ(store_->FindRoot(W("كتب").c_str(), nullptr, true),
              std::min<std::int64_t>(listings * kOccurrences, INT32_MAX));
    EXPECT_EQ(store_->Derivatives(W("كتب")).size(), static_cast<std::size_t>(listings + others));
  }
  // A word's search reaches the entry once per listing it finds there.
  Write(3, 0);
  EXPECT_EQ(store_->FindWordRoots(W("كتب").c_str(), nullptr, true),
            std::int64_t{2} * 3 * kOccurrences);
}

TEST_F(StoreTest, ARootWithANulInsideHasNoEntry) {
  Load({"كتب"}, {{"كتب", "كتب"}});
  std::string withNul = W("كتب") + std::string(1, '\0') + W("ب");
  EXPECT_TRUE(store_->Derivatives(withNul).empty());
  EXPECT_TRUE(store_->Derivatives(std::string_view(withNul.data(), 3 + 1)).empty());
  EXPECT_EQ(store_->Derivatives(W("كتب")).size(), 1u);
}

}  // namespace
}  // namespace quran
