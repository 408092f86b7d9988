#include "roots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unordered_map>

#include "quran_text.h"

namespace quran {
namespace {

constexpr int kVerses = 6236;

const char kHeader[] =
    "# handmade corpus lines in the morphology file's layout\r\n"
    "#\r\n"
    "LOCATION\tFORM\tTAG\tFEATURES\r\n";

std::vector<RootDerivatives> Build(const std::string& corpus,
                                   const std::vector<std::string>& firstVerses,
                                   RootAlignmentStats* stats = nullptr) {
  std::vector<std::string> verses(kVerses);
  std::copy(firstVerses.begin(), firstVerses.end(), verses.begin());
  std::istringstream in(kHeader + corpus);
  return BuildRootDictionary(in, verses, stats);
}

const RootDerivatives* Find(const std::vector<RootDerivatives>& roots, const std::string& root) {
  auto it = std::find_if(roots.begin(), roots.end(),
                         [&](const RootDerivatives& r) { return r.root == root; });
  return it == roots.end() ? nullptr : &*it;
}

using Words = std::vector<std::string>;

TEST(RootDictionary, SplitWordsGiveTheRootToTheStem) {
  // "qaAla" + "ya qawomi": the vocative could join either neighbour; it belongs to the
  // word after it. "ya bona &um~a" is one corpus word with two stems, three text words.
  const std::string corpus =
      "(1:1:1:1)\tqaAla\tV\tSTEM|POS:V|PERF|LEM:qaAla|ROOT:qwl|3MS\r\n"
      "(1:1:2:1)\tya\tVOC\tPREFIX|ya+\r\n"
      "(1:1:2:2)\tqawomi\tN\tSTEM|POS:N|LEM:qawom|ROOT:qwm|M|GEN\r\n"
      "(1:2:1:1)\tqaAla\tV\tSTEM|POS:V|PERF|LEM:qaAla|ROOT:qwl|3MS\r\n"
      "(1:2:2:1)\tya\tVOC\tPREFIX|ya+\r\n"
      "(1:2:2:2)\tbona\tN\tSTEM|POS:N|LEM:{bon|ROOT:bny|M|ACC\r\n"
      "(1:2:2:3)\t&um~a\tN\tSTEM|POS:N|LEM:>um~|ROOT:Amm|FS|GEN\r\n"
      "(1:2:2:4)\t\tPRON\tSUFFIX|PRON:1S\r\n";
  RootAlignmentStats stats;
  auto roots = Build(corpus, {"قال يا قوم", "قال يا ابن أم"}, &stats);
  EXPECT_EQ(stats.verses, 2);
  EXPECT_EQ(stats.misalignedVerses, 0);
  EXPECT_EQ(stats.splitWords, 2);
  EXPECT_EQ(stats.versesWithSplits, 2);

  ASSERT_EQ(roots.size(), 4u);
  EXPECT_EQ(roots[0].root, "قول");
  EXPECT_EQ(roots[0].derivatives, Words{"قال"});
  EXPECT_EQ(roots[0].corpusWords, 2);
  EXPECT_EQ(roots[1].root, "قوم");
  EXPECT_EQ(roots[1].derivatives, Words{"قوم"});
  EXPECT_EQ(roots[2].root, "بني");
  EXPECT_EQ(roots[2].derivatives, Words{"ابن"});
  EXPECT_EQ(roots[3].root, "أمم");
  EXPECT_EQ(roots[3].derivatives, Words{"أم"});
  EXPECT_EQ(roots[3].corpusWords, 1);
}

TEST(RootDictionary, SpellsHamzaAndKeepsFirstOccurrenceOrder) {
  // The Uthmani "layl" has one lam where the simple text writes two; "S:" reads as seen.
  const std::string corpus =
      "(1:1:1:1)\tfa\tCONJ\tPREFIX|f:CONJ+\r\n"
      "(1:1:1:2)\tso_#'alu\tV\tSTEM|POS:V|IMPV|LEM:sa>ala|ROOT:sAl|2MP\r\n"
      "(1:1:2:1)\t{l\tDET\tPREFIX|Al+\r\n"
      "(1:1:2:2)\tl~ayola\tN\tSTEM|POS:N|LEM:layol|ROOT:lyl|M|ACC\r\n"
      "(1:2:1:1)\t{qora>o\tV\tSTEM|POS:V|IMPV|LEM:qara>a|ROOT:qrA|2MS\r\n"
      "(1:2:2:1)\tsa>ala\tV\tSTEM|POS:V|PERF|LEM:sa>ala|ROOT:sAl|3MS\r\n"
      "(1:2:3:1)\tyaboS:uTu\tV\tSTEM|POS:V|IMPF|LEM:basaTa|ROOT:bsT|3MS\r\n"
      "(1:2:4:1)\tfa\tCONJ\tPREFIX|f:CONJ+\r\n"
      "(1:2:4:2)\tso_#'alu\tV\tSTEM|POS:V|IMPV|LEM:sa>ala|ROOT:sAl|2MP\r\n"
      "(1:3:1:1)\t{ll~ahu\tPN\tSTEM|POS:PN|LEM:{ll~ah|ROOT:Alh|NOM\r\n";
  RootAlignmentStats stats;
  auto roots = Build(corpus, {"فاسأل الليل", "اقرأ سأل يبسط فاسأل", "الله"}, &stats);
  EXPECT_EQ(stats.misalignedVerses, 0);
  EXPECT_EQ(stats.nearMatchVerses, 0);
  EXPECT_EQ(stats.splitWords, 0);
  ASSERT_EQ(roots.size(), 5u);
  EXPECT_EQ(roots[0].root, "سأل");
  EXPECT_EQ(roots[0].derivatives, (Words{"فاسأل", "سأل"}));
  EXPECT_EQ(roots[0].corpusWords, 3);
  EXPECT_EQ(roots[1].root, "ليل");
  EXPECT_EQ(roots[1].derivatives, Words{"الليل"});
  EXPECT_EQ(roots[2].root, "قرأ");
  EXPECT_EQ(roots[2].derivatives, Words{"اقرأ"});
  EXPECT_EQ(roots[3].root, "بسط");
  EXPECT_EQ(roots[3].derivatives, Words{"يبسط"});
  EXPECT_EQ(roots[4].root, "أله");
}

TEST(RootDictionary, CountsAVerseItCannotAlignAndKeepsItsRoots) {
  const std::string corpus = "(1:1:1:1)\tqaAla\tV\tSTEM|POS:V|PERF|LEM:qaAla|ROOT:qwl|3MS\r\n";
  RootAlignmentStats stats;
  auto roots = Build(corpus, {"كتب"}, &stats);
  EXPECT_EQ(stats.misalignedVerses, 1);
  EXPECT_EQ(stats.misalignedVerseIndexes, std::vector<int>{0});
  ASSERT_EQ(roots.size(), 1u);
  EXPECT_EQ(roots[0].corpusWords, 1);
  EXPECT_TRUE(roots[0].derivatives.empty());
}

TEST(RootDictionary, RejectsAMalformedCorpus) {
  const std::string good = "(1:1:1:1)\tqaAla\tV\tSTEM|POS:V|PERF|LEM:qaAla|ROOT:qwl|3MS\r\n";
  const struct {
    std::string line;
    std::string message;
  } cases[] = {
      {"(1:1:1)\tqaAla\tV\tSTEM|ROOT:qwl\r\n", "corpus line 5: location"},
      {"(1:1:2:1)\tqaAla\tV\r\n", "corpus line 5: expected four"},
      {"(1:1:2:1)\tqaAla\tV\tSTEM|ROOT:qwo\r\n", "unknown Buckwalter letter 'o'"},
      {"(1:1:2:1)\tqaAla\tV\tSTEM|ROOT:\r\n", "empty root"},
      {"(1:1:3:1)\tqaAla\tV\tSTEM|ROOT:qwl\r\n", "words out of order"},
      {"(115:1:1:1)\tqaAla\tV\tSTEM|ROOT:qwl\r\n", "out of range"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    try {
      Build(good + c.line, {"قال قال"});
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(Build("", {}), std::runtime_error);
}

class RealRootDictionary : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    verses_ = new std::vector<std::string>(LoadVerses(
        std::string(QURAN_TEXT_DIR) + "/quran-text-tanzil-simple-clean.json", TextForm::Search));
    std::ifstream corpus(QURAN_CORPUS, std::ios::binary);
    ASSERT_TRUE(corpus) << QURAN_CORPUS;
    stats_ = new RootAlignmentStats;
    roots_ = new std::vector<RootDerivatives>(BuildRootDictionary(corpus, *verses_, stats_));
  }
  static void TearDownTestSuite() {
    delete verses_;
    delete stats_;
    delete roots_;
  }

  // Whole-word occurrences in the search text of a root's derivatives.
  static int Occurrences(const RootDerivatives& r) {
    static const auto* counts = [] {
      auto* m = new std::unordered_map<std::string, int>;
      for (const auto& v : *verses_) {
        for (auto w : SplitWords(v)) ++(*m)[std::string(w)];
      }
      return m;
    }();
    int n = 0;
    for (const auto& d : r.derivatives) {
      auto it = counts->find(d);
      if (it != counts->end()) n += it->second;
    }
    return n;
  }

  static std::vector<std::string>* verses_;
  static RootAlignmentStats* stats_;
  static std::vector<RootDerivatives>* roots_;
};

std::vector<std::string>* RealRootDictionary::verses_ = nullptr;
RootAlignmentStats* RealRootDictionary::stats_ = nullptr;
std::vector<RootDerivatives>* RealRootDictionary::roots_ = nullptr;

TEST_F(RealRootDictionary, AlignsEveryVerse) {
  EXPECT_EQ(stats_->verses, kVerses);
  EXPECT_EQ(stats_->misalignedVerses, 0);
  EXPECT_EQ(stats_->splitWords, 370);
  EXPECT_EQ(stats_->versesWithSplits, 367);
  EXPECT_EQ(stats_->nearMatchVerses, 1);  // 72:16, "wa-allaw" written "وأن لو"
}

TEST_F(RealRootDictionary, HasEveryRootWithDerivativesThatCountTrue) {
  ASSERT_EQ(roots_->size(), 1642u);
  int exact = 0;
  for (const auto& r : *roots_) {
    SCOPED_TRACE(r.root);
    EXPECT_FALSE(r.derivatives.empty());
    int n = Occurrences(r);
    EXPECT_GE(n, r.corpusWords);  // fewer would mean a word lost its root
    if (n == r.corpusWords) ++exact;
  }
  EXPECT_GE(exact, 1550);
  for (auto [root, count] :
       {std::pair<const char*, int>{"كتب", 319}, {"علم", 854}, {"رحم", 339}, {"كفر", 525}}) {
    const RootDerivatives* r = Find(*roots_, root);
    ASSERT_NE(r, nullptr) << root;
    EXPECT_EQ(r->corpusWords, count) << root;
    EXPECT_EQ(Occurrences(*r), count) << root;
  }
}

TEST_F(RealRootDictionary, GivesSplitWordsRootsToTheirStems) {
  // 20:94 "يا ابن أم": two stems in one corpus word; no vocative carries a root.
  for (const auto& r : *roots_) {
    for (const auto& d : r.derivatives) {
      EXPECT_NE(d, "يا") << r.root;
      EXPECT_NE(d, "ها") << r.root;
    }
  }
  const auto& ibn = Find(*roots_, "بني")->derivatives;
  EXPECT_NE(std::find(ibn.begin(), ibn.end(), "ابن"), ibn.end());
  const auto& umm = Find(*roots_, "أمم")->derivatives;
  EXPECT_NE(std::find(umm.begin(), umm.end(), "أم"), umm.end());
}

}  // namespace
}  // namespace quran
