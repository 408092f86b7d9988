// Checks on the data files the build wrote from the real Quran text and corpus.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <set>

#include "codepage.h"
#include "literal_search.h"
#include "qdt_writer.h"
#include "quran_text.h"
#include "roots.h"
#include "test_data.h"
#include "uthmani_text.h"
#include "verse_store.h"

namespace quran {
namespace {

using testing::W;

class RealData : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    store_ = new VerseStore(QURAN_DATA_DIR);
    std::ifstream corpus(QURAN_CORPUS, std::ios::binary);
    auto search = LoadVerses(std::string(QURAN_TEXT_DIR) + "/quran-text-tanzil-simple-clean.json",
                             TextForm::Search);
    roots_ = new std::vector<RootDerivatives>(BuildRootDictionary(corpus, search, &stats_));
  }
  static void TearDownTestSuite() {
    delete store_;
    delete roots_;
  }
  void SetUp() override { ASSERT_EQ(store_->LoadFailed, 0) << "run the build first"; }

  static std::string Verse(int i) {
    std::vector<char> buffer(2048);
    EXPECT_EQ(store_->GetVerseText(static_cast<std::uint32_t>(i), buffer.data()), 1);
    return buffer.data();
  }
  static std::vector<std::string> SplitWordsOf(const std::string& text) {
    std::vector<std::string> words;
    for (std::string_view w : SplitWords(text)) words.emplace_back(w);
    return words;
  }
  static std::string Utf8Of(const std::string& cp1256) {
    return Cp1256ToUtf8(cp1256).value_or("?");
  }
  static std::string SearchVerse(int i) {
    const VerseIndexRecord& r = store_->VerseIndex[i];
    std::string s(store_->SearchText.get() + r.searchOffset, r.searchLength);
    return s.substr(s.find_first_not_of(' '),
                    s.find_last_not_of(' ') - s.find_first_not_of(' ') + 1);
  }

  // Whether the store's last answer is the plain one's; the first few differences
  // are reported by what was searched.
  static void Same(const VerseStore& plain, const std::string& what, int* differences) {
    if (store_->OccurrenceCount == plain.OccurrenceCount &&
        std::memcmp(store_->ResultFlags, plain.ResultFlags, kVerseCount) == 0) {
      return;
    }
    if (++*differences <= 5) ADD_FAILURE() << what;
  }

  static VerseStore* store_;
  static std::vector<RootDerivatives>* roots_;
  static RootAlignmentStats stats_;
};

VerseStore* RealData::store_ = nullptr;
std::vector<RootDerivatives>* RealData::roots_ = nullptr;
RootAlignmentStats RealData::stats_;

TEST_F(RealData, VerseNumbersFollowTheCorpusNumbering) {
  std::map<int, int> versesPerChapter;
  std::ifstream corpus(QURAN_CORPUS, std::ios::binary);
  std::string line;
  while (std::getline(corpus, line)) {
    int sura = 0, aya = 0;
    if (std::sscanf(line.c_str(), "(%d:%d:", &sura, &aya) == 2) {
      versesPerChapter[sura] = std::max(versesPerChapter[sura], aya);
    }
  }
  ASSERT_EQ(versesPerChapter.size(), 114u);
  int i = 0;
  for (auto [chapter, count] : versesPerChapter) {
    for (int verse = 1; verse <= count; ++verse, ++i) {
      ASSERT_LT(i, kVerseCount);
      ASSERT_EQ(store_->VerseIndex[i].chapter, chapter) << i;
      ASSERT_EQ(store_->VerseIndex[i].verse, verse) << i;
    }
  }
  EXPECT_EQ(i, kVerseCount);
  // Shadda comes before the short vowel in this text.
  EXPECT_EQ(Verse(0), W("بِسمِ الل\u0651\u064Eهِ الر\u0651\u064Eحمنِ الر\u0651\u064Eحيمِ"));
  EXPECT_EQ(SearchVerse(kVerseCount - 1), W("من الجنة والناس"));
}

TEST_F(RealData, DisplayTextWithoutHarakatIsTheSearchText) {
  const std::string harakat = W("ًٌٍَُِّ");
  int differing = 0;
  for (int i = 0; i < kVerseCount; ++i) {
    std::string bare;
    for (char c : Verse(i)) {
      if (harakat.find(c) == std::string::npos) bare += c;
    }
    if (bare != SearchVerse(i) && ++differing <= 3) ADD_FAILURE() << "verse index " << i;
  }
  EXPECT_EQ(differing, 0);
}

TEST_F(RealData, FilesDecodeAndEncodeBackToThemselves) {
  std::string file = testing::ReadFile(std::string(QURAN_DATA_DIR) + "/" + kVerseFileName);
  std::size_t at = 8 + kRecordSize * kVerseCount;
  for (int block = 0; block < 2; ++block) {
    std::uint32_t length;
    std::memcpy(&length, file.data() + at + 4, 4);
    std::string raw = file.substr(at + 8, length);
    std::string text = raw;
    DecodeBlock(text.data(), text.size());
    EXPECT_EQ(EncodeBlock(text), raw);
    at += 8 + length;
  }
  std::string roots = testing::ReadFile(std::string(QURAN_DATA_DIR) + "/" + kRootFileName);
  std::string text = roots;
  DecodeBlock(text.data(), text.size());
  EXPECT_EQ(EncodeBlock(text), roots);
  EXPECT_EQ(text, store_->RootBlock.get());
}

TEST_F(RealData, EveryCorpusRootIsListed) {
  EXPECT_EQ(stats_.misalignedVerses, 0);
  auto listed = store_->Roots();
  std::set<std::string_view> distinct(listed.begin(), listed.end());
  EXPECT_EQ(listed.size(), 1642u);
  EXPECT_EQ(distinct.size(), listed.size());
  EXPECT_EQ(roots_->size(), listed.size());
}

TEST_F(RealData, RootSearchCountsWhatTheCorpusCounts) {
  const std::map<std::string, int> known = {{"كتب", 319}, {"علم", 854}, {"رحم", 339}, {"كفر", 525}};
  for (const auto& [root, count] : known) {
    EXPECT_EQ(store_->FindRoot(W(root).c_str(), nullptr, true), count) << root;
  }
  int exact = 0, lower = 0;
  for (const RootDerivatives& r : *roots_) {
    std::string root = W(r.root);
    int found = store_->FindRoot(root.c_str(), nullptr, true);
    exact += found == r.corpusWords;
    if (found < r.corpusWords) {
      ++lower;
      ADD_FAILURE() << r.root << ": " << found << " < " << r.corpusWords;
    }
  }
  EXPECT_EQ(lower, 0);
  EXPECT_GT(exact, 1642 * 9 / 10);
  std::printf("roots matching the corpus count exactly: %d of %zu\n", exact, roots_->size());
}

TEST_F(RealData, SearchesAgreeWithThePlainDefinition) {
  VerseStore plain(QURAN_DATA_DIR);
  std::vector<std::string> queries = {"ا", " الله ", "الرحمن", " قال ", "ي ا", " "};
  for (const std::string& q : queries) {
    std::string cp = q == " " ? q : W(q);
    store_->FindText(cp.c_str(), nullptr, true);
    literal::FindText(plain, cp.c_str(), nullptr, true);
    EXPECT_EQ(store_->OccurrenceCount, plain.OccurrenceCount) << q;
    EXPECT_EQ(0, std::memcmp(store_->ResultFlags, plain.ResultFlags, kVerseCount)) << q;
  }
  auto roots = store_->Roots();
  std::vector<std::uint8_t> filter(kVerseCount);
  for (int i = 0; i < kVerseCount; ++i) filter[i] = i % 3 == 0;
  for (std::size_t k = 0; k < roots.size(); k += 97) {
    std::string root(roots[k]);
    store_->FindRoot(root.c_str(), filter.data(), true);
    literal::FindRoot(plain, root.c_str(), filter.data(), true);
    EXPECT_EQ(store_->OccurrenceCount, plain.OccurrenceCount) << k;
    EXPECT_EQ(0, std::memcmp(store_->ResultFlags, plain.ResultFlags, kVerseCount)) << k;
    auto derivatives = store_->Derivatives(roots[k]);
    if (derivatives.empty()) continue;
    std::string word(derivatives.front());
    store_->FindWordRoots(word.c_str(), nullptr, true);
    literal::FindWordRoots(plain, word.c_str(), nullptr, true);
    EXPECT_EQ(store_->OccurrenceCount, plain.OccurrenceCount) << k;
    EXPECT_EQ(0, std::memcmp(store_->ResultFlags, plain.ResultFlags, kVerseCount)) << k;
  }
}

// The indexed searches give what the plain scan gives for every word of the text,
// every root and every derivative.
TEST_F(RealData, IndexedSearchesAgreeWithTheScanEverywhere) {
  VerseStore plain(QURAN_DATA_DIR);
  int differences = 0;
  auto same = [&](const std::string& what) { Same(plain, what, &differences); };
  std::set<std::string_view> words;
  std::string_view text(store_->SearchText.get());
  for (std::size_t a = text.find(' '), b; a != text.npos; a = b) {
    b = text.find(' ', a + 1);
    if (b != text.npos && b > a + 1) words.insert(text.substr(a + 1, b - a - 1));
  }
  EXPECT_GT(words.size(), 14000u);
  for (std::string_view w : words) {
    std::string padded;
    padded.append(1, ' ').append(w).append(1, ' ');
    store_->FindText(padded.c_str(), nullptr, true);
    literal::FindText(plain, padded.c_str(), nullptr, true);
    same("word " + padded);
  }

  // A root's answer, as the scan gives it; each derivative is listed once under
  // each of its roots in these files, so its answer is theirs added up.
  std::map<std::string_view, std::pair<std::int32_t, std::vector<std::uint8_t>>> byRoot;
  std::map<std::string_view, std::vector<std::string_view>> rootsOf;
  for (std::string_view root : store_->Roots()) {
    std::string r(root);
    store_->FindRoot(r.c_str(), nullptr, true);
    literal::FindRoot(plain, r.c_str(), nullptr, true);
    same("root " + r);
    byRoot[root] = {plain.OccurrenceCount,
                    std::vector<std::uint8_t>(plain.ResultFlags, plain.ResultFlags + kVerseCount)};
    for (std::string_view d : store_->Derivatives(root)) rootsOf[d].push_back(root);
  }
  EXPECT_EQ(byRoot.size(), 1642u);
  for (const auto& [d, roots] : rootsOf) {
    std::memset(plain.ResultFlags, 0, kVerseCount);
    plain.OccurrenceCount = 0;
    for (std::string_view root : roots) {
      const auto& [count, flags] = byRoot[root];
      plain.OccurrenceCount += count;
      for (int v = 0; v < kVerseCount; ++v) plain.ResultFlags[v] |= flags[v];
    }
    store_->FindWordRoots(std::string(d).c_str(), nullptr, true);
    same("derivative " + std::string(d));
  }
  EXPECT_GT(rootsOf.size(), 14000u);
  EXPECT_EQ(differences, 0);
}

// The loose searches against the rule's table applied by a plain scan: a wrong
// table, a lost occurrence or a wrong verse shows as a difference.
TEST_F(RealData, LooseSearchesAgreeWithTheRule) {
  VerseStore plain(QURAN_DATA_DIR);
  int differences = 0;
  auto same = [&](const std::string& what) { Same(plain, what, &differences); };
  std::set<std::string> words;
  std::string_view text(store_->SearchText.get());
  for (std::size_t a = text.find(' '), b; a != text.npos; a = b) {
    b = text.find(' ', a + 1);
    if (b != text.npos && b > a + 1) words.insert(std::string(text.substr(a + 1, b - a - 1)));
  }
  // Every word of the text as a whole word: the words it finds, each searched exactly
  // (which the scan is checked against elsewhere); every 100th also by a scan.
  std::map<std::size_t, std::vector<const std::string*>> bySize;
  for (const std::string& w : words) bySize[w.size()].push_back(&w);
  std::size_t n = 0;
  for (const std::string& w : words) {
    std::string padded = " " + w + " ";
    store_->FindText(padded.c_str(), nullptr, true, Matching::kLoose);
    if (n++ % 100 == 0) {
      literal::FindLooseText(plain, padded.c_str(), nullptr, true);
    } else {
      plain.FindText("", nullptr, true);
      for (const std::string* d : bySize[w.size()]) {
        if (literal::LooseFinds(w, *d)) plain.FindText((" " + *d + " ").c_str(), nullptr, false);
      }
    }
    same("loose word " + padded);
  }

  // Every root, and every root with one hamza form typed bare; every 25th derivative
  // the same way.
  auto bare = [](std::string s) {
    const std::string forms = W("أإآؤئ"), bares = W("ااووي");
    std::size_t at = s.find_first_of(forms);
    if (at != s.npos) s[at] = bares[forms.find(s[at])];
    return s;
  };
  for (std::string_view root : store_->Roots()) {
    for (const std::string& r : {std::string(root), bare(std::string(root))}) {
      store_->FindRoot(r.c_str(), nullptr, true, Matching::kLoose);
      literal::FindLooseRoot(plain, r.c_str(), nullptr, true);
      same("loose root " + r);
    }
  }
  n = 0;
  for (std::string_view root : store_->Roots()) {
    for (std::string_view d : store_->Derivatives(root)) {
      if (n++ % 25 != 0) continue;
      std::string w = bare(std::string(d));
      store_->FindWordRoots(w.c_str(), nullptr, true, Matching::kLoose);
      literal::FindLooseWordRoots(plain, w.c_str(), nullptr, true);
      same("loose derivative " + w);
    }
  }

  // Pieces of the text typed loosely: hamza forms bare, ى and ة swapped, harakat and
  // tatweel between letters; half within the previous result.
  std::mt19937 random(21);
  const std::string from = W("أإآؤئىةيه"), to = W("اااوييهىة"), marks = W("َُِّْـ");
  std::vector<std::uint8_t> previous(kVerseCount);
  for (int i = 0; i < 200; ++i) {
    std::size_t size = 1 + random() % 12;
    std::string typed;
    for (char c : std::string(text.substr(random() % (text.size() - size), size))) {
      std::size_t at = from.find(c);
      typed.push_back(at != from.npos && random() % 2 ? to[at] : c);
      if (random() % 8 == 0) typed.push_back(marks[random() % marks.size()]);
    }
    const std::uint8_t* filter = i % 2 ? previous.data() : nullptr;
    store_->FindText(typed.c_str(), filter, true, Matching::kLoose);
    literal::FindLooseText(plain, typed.c_str(), filter, true);
    same("loose part " + typed);
    std::memcpy(previous.data(), plain.ResultFlags, kVerseCount);
  }

  // A typed hamza form finds itself only.
  for (const char* form : {"أ", "إ", "آ", "ؤ", "ئ", "سأل"}) {
    std::string typed = W(form);
    store_->FindText(typed.c_str(), nullptr, true, Matching::kLoose);
    plain.FindText(typed.c_str(), nullptr, true);
    same(std::string("hamza ") + form);
  }
  EXPECT_EQ(differences, 0);
}

// All the words in any order: each word's own search, the verses intersected, its
// occurrences counted in them; a word typed twice changes nothing, one word is its
// own search.
TEST_F(RealData, AllWordsAgreeWithEachWordsOwnSearchIntersected) {
  VerseStore plain(QURAN_DATA_DIR);
  std::mt19937 random(31);
  int differences = 0;
  for (int i = 0; i < 60; ++i) {
    // Two to four words of one verse, or of two, now and then one repeated.
    std::vector<std::string> words;
    std::vector<std::string> from =
        SplitWordsOf(SearchVerse(static_cast<int>(random() % kVerseCount)));
    std::vector<std::string> other =
        SplitWordsOf(SearchVerse(static_cast<int>(random() % kVerseCount)));
    if (from.empty() || other.empty()) continue;
    std::size_t count = 2 + random() % 3;
    for (std::size_t k = 0; k < count; ++k) {
      const auto& source = i % 3 == 0 && k == count - 1 ? other : from;
      words.push_back(source[random() % source.size()]);
    }
    if (i % 5 == 0) words.push_back(words.front());
    std::string typed;
    for (const std::string& w : words) typed += (typed.empty() ? "" : " ") + w;
    const std::uint8_t* filter = i % 4 == 1 ? plain.ResultFlags : nullptr;
    std::vector<std::uint8_t> kept(filter ? filter : plain.ResultFlags,
                                   (filter ? filter : plain.ResultFlags) + kVerseCount);
    for (bool whole : {false, true}) {
      for (Matching matching : {Matching::kExact, Matching::kLoose}) {
        std::int32_t got = store_->FindAllWords(typed.c_str(), whole,
                                                filter ? kept.data() : nullptr, true, matching);
        std::vector<std::uint8_t> in(kVerseCount, 1);
        if (filter) in = kept;
        for (const std::string& w : words) {
          std::string q = whole ? " " + w + " " : w;
          plain.FindText(q.c_str(), in.data(), true, matching);
          std::memcpy(in.data(), plain.ResultFlags, kVerseCount);
        }
        std::int64_t expected = 0;
        std::set<std::string> distinct(words.begin(), words.end());
        for (const std::string& w : distinct) {
          std::string q = whole ? " " + w + " " : w;
          expected += plain.FindText(q.c_str(), in.data(), true, matching);
        }
        bool same =
            got == expected && std::memcmp(in.data(), store_->ResultFlags, kVerseCount) == 0;
        if (!same && ++differences < 5) {
          ADD_FAILURE() << Utf8Of(typed) << (whole ? " whole" : " part")
                        << (matching == Matching::kLoose ? " loose: " : ": ") << got << " vs "
                        << expected;
        }
      }
    }
    std::memcpy(plain.ResultFlags, store_->ResultFlags, kVerseCount);
  }
  EXPECT_EQ(differences, 0);
  // One word, and one word typed twice, are that word's own search.
  std::string allah = W("الله");
  std::int32_t own = store_->FindText((" " + allah + " ").c_str(), nullptr, true);
  EXPECT_EQ(store_->FindAllWords((allah + " " + allah).c_str(), true, nullptr, true), own);
  // The forgiving derivatives search takes each root once: امن finds آمن and أمن, one root.
  EXPECT_EQ(store_->FindWordRoots(W("امن").c_str(), nullptr, true, Matching::kLoose),
            store_->FindWordRoots(W("أمن").c_str(), nullptr, true));
}

// The Uthmani file holds every verse of the Complex's text as the package writes it;
// for other fonts the marks of data/uthmani_marks.txt are written in their standard
// code, and nothing else changes.
TEST_F(RealData, UthmaniTextIsTheSourceText) {
  UthmaniText uthmani;
  std::string path = (std::filesystem::path(QURAN_DATA_DIR) / kUthmaniFileName).string();
  ASSERT_TRUE(uthmani.Load(path.c_str()));
  std::ifstream in(std::string(QURAN_TEXT_DIR) + "/quran-text-hafs-v13.json");
  nlohmann::json source = nlohmann::json::parse(in);
  const std::u16string complexMarks = u"\u0657\u065E\u0656", standardMarks = u"\u08F0\u08F1\u08F2";
  for (int v = 0; v < kVerseCount; ++v) {
    std::u16string complex(uthmani.ComplexVerse(v)), standard = uthmani.StandardVerse(v);
    ASSERT_EQ(Utf16ToUtf8(complex), source[v].get<std::string>()) << "verse index " << v;
    ASSERT_EQ(standard.size(), complex.size());
    for (std::size_t k = 0; k < complex.size(); ++k) {
      std::size_t mark = complexMarks.find(complex[k]);
      ASSERT_EQ(standard[k], mark == std::u16string::npos ? complex[k] : standardMarks[mark]);
    }
  }
}

// Every verse in the standard form shapes in the Quranic font the installers bring
// with no missing glyph, by HarfBuzz (hb-shape), which LibreOffice and Chromium use;
// the Complex's own form does not, which is why it is kept for its own font alone.
TEST_F(RealData, UthmaniVersesShapeInAmiriQuranWithNoMissingGlyph) {
  const std::filesystem::path font = "/usr/share/fonts/opentype/fonts-hosny-amiri/AmiriQuran.ttf";
  if (!std::filesystem::exists(font) || std::system("command -v hb-shape >/dev/null") != 0)
    GTEST_SKIP() << "needs fonts-hosny-amiri and libharfbuzz-bin, which ./quran test installs";
  UthmaniText uthmani;
  std::string path = (std::filesystem::path(QURAN_DATA_DIR) / kUthmaniFileName).string();
  ASSERT_TRUE(uthmani.Load(path.c_str()));
  testing::TempDir dir;
  auto missing = [&](bool standard) {
    std::ofstream(dir.path() / "verses.txt") << [&] {
      std::string all;
      for (int v = 0; v < kVerseCount; ++v) {
        std::u16string verse =
            standard ? uthmani.StandardVerse(v) : std::u16string(uthmani.ComplexVerse(v));
        all += *Utf16ToUtf8(verse) + "\n";
      }
      return all;
    }();
    std::string command = "hb-shape --no-glyph-names --no-positions --no-clusters --text-file='" +
                          (dir.path() / "verses.txt").string() + "' '" + font.string() + "'";
    std::FILE* shaped = popen(command.c_str(), "r");
    EXPECT_NE(shaped, nullptr);
    std::vector<int> verses;
    int lines = 0;
    for (std::string line; shaped;) {
      char buffer[1 << 16];
      if (!std::fgets(buffer, sizeof buffer, shaped)) break;
      line += buffer;
      if (line.back() != '\n') continue;
      if (line.find("[0|") != std::string::npos || line.find("|0|") != std::string::npos ||
          line.find("|0]") != std::string::npos)
        verses.push_back(lines);
      ++lines;
      line.clear();
    }
    if (shaped) {
      EXPECT_EQ(pclose(shaped), 0);
    }
    EXPECT_EQ(lines, kVerseCount);
    return verses;
  };
  EXPECT_EQ(missing(true), std::vector<int>{});
  EXPECT_GT(missing(false).size(), 1000u);  // U+065E has no glyph in Amiri Quran
}

// A damaged Uthmani file is refused whole, and the verse file beside it still loads.
TEST_F(RealData, ADamagedUthmaniFileIsRefusedWhole) {
  std::string good = testing::ReadFile(std::filesystem::path(QURAN_DATA_DIR) / kUthmaniFileName);
  testing::TempDir dir;
  std::string path = (dir.path() / kUthmaniFileName).string();
  auto loads = [&](const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    UthmaniText uthmani;
    return uthmani.Load(path.c_str());
  };
  EXPECT_TRUE(loads(good));
  std::string damaged = good;
  damaged[0] = 'X';  // magic
  EXPECT_FALSE(loads(damaged));
  EXPECT_FALSE(loads(good.substr(0, good.size() - 1)));  // cut short
  EXPECT_FALSE(loads(good + "xx"));                      // longer than it says
  damaged = good;
  std::size_t offsets = sizeof(UthmaniHeader) + 3 * sizeof(UthmaniMark);
  std::memset(&damaged[offsets + 4 * 100], 0xFF, 4);  // a verse past the text
  EXPECT_FALSE(loads(damaged));
  damaged = good;
  damaged[damaged.size() - 2] = 0x07;  // a control character in the last verse
  damaged[damaged.size() - 1] = 0x00;
  EXPECT_FALSE(loads(damaged));
  UthmaniText none;
  EXPECT_FALSE(none.Load((dir.path() / "missing.qdt").string().c_str()));
  EXPECT_TRUE(none.ComplexVerse(0).empty());
}

TEST_F(RealData, WriterIsDeterministic) {
  testing::TempDir dir;
  auto display = LoadVerses(std::string(QURAN_TEXT_DIR) + "/quran-text-tanzil-simple-min.json",
                            TextForm::Display);
  auto search = LoadVerses(std::string(QURAN_TEXT_DIR) + "/quran-text-tanzil-simple-clean.json",
                           TextForm::Search);
  std::vector<std::string> d, s;
  for (std::size_t i = 0; i < display.size(); ++i) {
    d.push_back(W(display[i]));
    s.push_back(W(search[i]));
  }
  std::vector<RootEntry> entries;
  for (const RootDerivatives& r : *roots_) {
    RootEntry e{W(r.root), {}};
    for (const std::string& w : r.derivatives) e.derivatives.push_back(W(w));
    entries.push_back(e);
  }
  testing::WriteFiles(dir, NumberVerses(d, s), entries);
  for (const char* name : {kVerseFileName, kRootFileName}) {
    EXPECT_EQ(testing::ReadFile(dir.path() / name),
              testing::ReadFile(std::filesystem::path(QURAN_DATA_DIR) / name))
        << name;
  }
}

}  // namespace
}  // namespace quran
