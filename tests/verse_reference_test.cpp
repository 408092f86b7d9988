// References read as writers write them, refused with their reason, and every
// citation the add-in writes read back to its own verses.
#include "verse_reference.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "citation_text.h"
#include "codepage.h"
#include "data_format.h"
#include "verse_store.h"

namespace quran {
namespace {

std::u16string Utf16(const std::string& utf8) {
  std::u16string out;
  std::u32string wide = Utf8ToUtf32(utf8).value();
  for (char32_t c : wide) {
    if (c > 0xFFFF) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

Reference Read(const std::string& utf8) {
  return ReadReference(ReferenceText(Utf16(utf8)));
}

// Appended piece by piece: GCC 12's -Wrestrict misreads "text" + std::string at -O3.
std::string Show(const Reference& r) {
  std::string s = "error ";
  s.append(std::to_string(static_cast<int>(r.error))).append(":");
  for (const VerseRange& v : r.ranges) {
    s.append(" ").append(std::to_string(v.chapter)).append(":");
    s.append(std::to_string(v.first)).append("-").append(std::to_string(v.last));
  }
  return s.append(r.explicitForm ? " explicit" : "");
}

struct Form {
  const char* text;
  std::vector<VerseRange> ranges;
  bool explicitForm;
};

TEST(VerseReference, ReadsTheFormsWritersUse) {
  const std::vector<Form> forms = {
      {"2:255", {{2, 255, 255}}, true},
      {"2/255", {{2, 255, 255}}, true},
      {"2 255", {{2, 255, 255}}, false},
      {"٢:٢٥٥", {{2, 255, 255}}, true},
      {"۲:۲۵۵", {{2, 255, 255}}, true},
      {"2:255-257", {{2, 255, 257}}, true},
      {"2:255 - 257", {{2, 255, 257}}, true},
      {"2:255–257", {{2, 255, 257}}, true},
      {"2:255—257", {{2, 255, 257}}, true},
      {"2:257-255", {{2, 255, 257}}, true},
      {"2:255 إلى 257", {{2, 255, 257}}, true},
      {"2:255، 3:18", {{2, 255, 255}, {3, 18, 18}}, true},
      {"2:255, 3:18", {{2, 255, 255}, {3, 18, 18}}, true},
      {"البقرة 255", {{2, 255, 255}}, true},
      {"البقرة: 255", {{2, 255, 255}}, true},
      {"سورة البقرة، الآية 255", {{2, 255, 255}}, true},
      {"سورة البقرة آية ٢٥٥", {{2, 255, 255}}, true},
      {"البقرة 255، 257", {{2, 255, 255}, {2, 257, 257}}, true},
      {"الآية 255 من سورة البقرة", {{2, 255, 255}}, true},
      {"(آل عمران: 190-191)", {{3, 190, 191}}, true},
      {"ال عمران 190", {{3, 190, 190}}, true},
      {"الانعام 1", {{6, 1, 1}}, true},
      {"الاسراء 1", {{17, 1, 1}}, true},
      {"المومنون 1", {{23, 1, 1}}, true},
      {"الشوري 1", {{42, 1, 1}}, true},
      {"سوره البقره 2", {{2, 2, 2}}, true},
      {"بقرة 3", {{2, 3, 3}}, true},
      {"ق 1", {{50, 1, 1}}, true},
      {"ص 1", {{38, 1, 1}}, true},
      {"يس 1", {{36, 1, 1}}, true},
      {"طه 1", {{20, 1, 1}}, true},
      {"الحجر 9", {{15, 9, 9}}, true},
      {"Al-Baqarah 255", {{2, 255, 255}}, true},
      {"baqarah 255", {{2, 255, 255}}, true},
      {"Al Baqara 255", {{2, 255, 255}}, true},
      {"Surah Al-Ikhlas", {{112, 1, 4}}, true},
      {"surat al-ikhlas 1-4", {{112, 1, 4}}, true},
      {"An-Nas 1", {{114, 1, 1}}, true},
      {"Ash-Shams 1", {{91, 1, 1}}, true},
      {"Ali 'Imran 190", {{3, 190, 190}}, true},
      {"Ali ʿImran 190", {{3, 190, 190}}, true},
      {"Yaseen 1", {{36, 1, 1}}, true},
      {"Q 2:255", {{2, 255, 255}}, true},
      {"سورة البقرة", {{2, 1, 286}}, true},
      {"الإخلاص", {{112, 1, 4}}, false},
      {"الرحمن", {{55, 1, 78}}, false},
      {"112", {{112, 1, 4}}, false},
      {"(سورة البقرة: 255)", {{2, 255, 255}}, true},
      {"[البقرة: ٢٥٥]", {{2, 255, 255}}, true},
      {"(سورة الإخلاص: من الآية 1)", {{112, 1, 1}}, true},
      {"[الإخلاص: ١ - ٤]", {{112, 1, 4}}, true},
      {"قال تعالى (سورة البقرة: 255)", {{2, 255, 255}}, true},
      {"(الرحمن) (سورة الرحمن: 1)", {{55, 1, 1}}, true},
      // A chapter's name and number together, in either order, bracketed or not.
      {"Al-Baqarah 2:255", {{2, 255, 255}}, true},
      {"2:255 (Al-Baqarah)", {{2, 255, 255}}, true},
      {"البقرة 2:255", {{2, 255, 255}}, true},
      {"12:4 (يوسف)", {{12, 4, 4}}, true},
      {"Yusuf (12) 4", {{12, 4, 4}}, true},
      {"Yusuf 12 4", {{12, 4, 4}}, true},
      {"سورة يوسف 12/4", {{12, 4, 4}}, true},
      {"2 (البقرة): 255", {{2, 255, 255}}, true},
      {"(Al-Baqarah) (2:255)", {{2, 255, 255}}, true},
      {"2:255 (Al-Baqarah), 3:18 (Al Imran)", {{2, 255, 255}, {3, 18, 18}}, true},
      {"النجم 62 سجدة", {{53, 62, 62}}, true},
      // Lists with و, the tatweel typed as a dash, the words between name and verse.
      {"البقرة الآيتان 255 و256", {{2, 255, 255}, {2, 256, 256}}, true},
      {"البقرة الآية 35 والآية 36", {{2, 35, 35}, {2, 36, 36}}, true},
      {"البقرة 255 و آل عمران 18", {{2, 255, 255}, {3, 18, 18}}, true},
      {"الآيتان 255 و256 من سورة البقرة", {{2, 255, 255}, {2, 256, 256}}, true},
      {"البقرة ٢٥٥ـ٢٥٧", {{2, 255, 257}}, true},
      {"آل عمران الآيات 190-191", {{3, 190, 191}}, true},
      {"البقرة الآية رقم 255", {{2, 255, 255}}, true},
      {"البقرة آية: 255", {{2, 255, 255}}, true},
      {"الآية: 255 من سورة البقرة", {{2, 255, 255}}, true},
      {"chapter 2, verse 255", {{2, 255, 255}}, true},
      {"Surah Al-Baqarah (2), verse 255", {{2, 255, 255}}, true},
      {"Surah Al-Baqarah, 2:255", {{2, 255, 255}}, true},
      {"An-Nas (114)", {{114, 1, 6}}, true},
      {"Q. 2.255", {{2, 255, 255}}, true},
      {"Q 2.255", {{2, 255, 255}}, true},
      {"Quran 2.255", {{2, 255, 255}}, true},
      {"2.255", {{2, 255, 255}}, false},
      {"Al-Baqarah, v. 255", {{2, 255, 255}}, true},
      {"Surah 2, vv. 255-257", {{2, 255, 257}}, true},
      // Other names, and English spellings.
      {"براءة 1", {{9, 1, 1}}, true},
      {"سورة بني إسرائيل 1", {{17, 1, 1}}, true},
      {"تبارك 1", {{67, 1, 1}}, true},
      {"عم 1", {{78, 1, 1}}, true},
      {"Kauthar 1", {{108, 1, 1}}, true},
      {"Anbiya 1", {{21, 1, 1}}, true},
      {"Aal-e-Imran 190", {{3, 190, 190}}, true},
      {"Inshirah 1", {{94, 1, 1}}, true},
      {"Albaqarah 255", {{2, 255, 255}}, true},
      {"Annas 1", {{114, 1, 1}}, true},
      {"﴿قُل هُوَ اللَّهُ أَحَدٌ ۝١ اللَّهُ الصَّمَدُ "
       "۝٢﴾ "
       "[الإخلاص: "
       "١ "
       "- "
       "٢]",
       {{112, 1, 2}},
       true},
  };
  for (const Form& f : forms) {
    Reference r = Read(f.text);
    EXPECT_EQ(r.error, ReferenceError::kNone) << f.text << " " << Show(r);
    EXPECT_EQ(r.ranges, f.ranges) << f.text << " " << Show(r);
    EXPECT_EQ(r.explicitForm, f.explicitForm) << f.text << " " << Show(r);
  }
}

TEST(VerseReference, RefusesWithItsReason) {
  const std::vector<std::pair<const char*, ReferenceError>> refused = {
      {"", ReferenceError::kEmpty},
      {" ، ( ) ", ReferenceError::kEmpty},
      {"115:1", ReferenceError::kNoSuchChapter},
      {"0:1", ReferenceError::kNoSuchChapter},
      {"سورة البقرة 286 آية", ReferenceError::kUnseparated},
      {"البقرة 287", ReferenceError::kPastChapterEnd},
      {"2:0", ReferenceError::kVerseZero},
      {"Yusuf (0)", ReferenceError::kVerseZero},
      {"2:99999999999999999999999", ReferenceError::kNumberTooLarge},
      {"99999999999999999999:1", ReferenceError::kNumberTooLarge},
      {"سورة الفلانية 3", ReferenceError::kUnknownName},
      {"الرحمن الرحيم", ReferenceError::kNotAReference},
      {"hello world", ReferenceError::kNotAReference},
      {"2:", ReferenceError::kNotAReference},
      {"2:255-", ReferenceError::kNotAReference},
      {"2:255?", ReferenceError::kUnseparated},
      {"2:255 3", ReferenceError::kUnseparated},
      {"البقرة 255 (2)", ReferenceError::kNoSuchChapter},
      {"يوسف 2:255", ReferenceError::kChaptersDisagree},
      {"4:88 (Al-A'la)", ReferenceError::kChaptersDisagree},
      {"النجم 62 السجدة", ReferenceError::kChaptersDisagree},
      {"البقرة 3 4", ReferenceError::kChaptersDisagree},
      {"الدهر 1", ReferenceError::kAmbiguousName},
      {"Inshi 1", ReferenceError::kAmbiguousName},
      {"يوسف (12)", ReferenceError::kAmbiguous},
      {"Surah Yusuf 12, verse 4", ReferenceError::kAmbiguous},
  };
  for (const auto& [text, error] : refused) {
    Reference r = Read(text);
    EXPECT_EQ(r.error, error) << text << " " << Show(r);
    EXPECT_TRUE(r.ranges.empty()) << text;
  }
  Reference past = Read("البقرة 300");
  EXPECT_EQ(past.chapter, 2);
  EXPECT_EQ(past.number, 300u);
  EXPECT_TRUE(past.explicitForm);
  // Both chapters are named, the name's first.
  Reference two = Read("يوسف 2:255");
  EXPECT_EQ(std::pair(two.chapter, two.otherChapter), std::pair(12, 2));
  EXPECT_TRUE(MeantAsReference(two));
  Reference shared = Read("الدهر 1");
  EXPECT_EQ(std::set({shared.chapter, shared.otherChapter}), std::set({45, 76}));
  Reference spelled = Read("Inshi 1");  // Al-Inshiqaq, or Al-Inshirah (Ash-Sharh)
  EXPECT_EQ(std::set({spelled.chapter, spelled.otherChapter}), std::set({84, 94}));
}

// Every name of the table, with and without its article and "سورة", and with its
// hamza forms, ى and ة typed bare; every Latin name as the package writes it.
TEST(VerseReference, EveryChapterByEveryNameItHas) {
  auto bare = [](std::string name) {
    for (auto [from, to] : {std::pair{"أ", "ا"},
                            {"إ", "ا"},
                            {"آ", "ا"},
                            {"ؤ", "و"},
                            {"ئ", "ي"},
                            {"ى", "ي"},
                            {"ة", "ه"}}) {
      for (std::size_t at; (at = name.find(from)) != std::string::npos;)
        name.replace(at, std::string(from).size(), to);
    }
    return name;
  };
  for (int c = 1; c <= kChapterCount; ++c) {
    std::string name = Cp1256ToUtf8(WithoutMarks(SuraNameTable[c])).value();
    std::string withoutSura = name.substr(std::string("سورة ").size());
    std::vector<std::string> names = {name, withoutSura, bare(withoutSura)};
    if (withoutSura.starts_with("ال"))
      names.push_back(withoutSura.substr(std::string("ال").size()));
    names.push_back(kChapterLatinNames[c - 1]);
    for (const std::string& n : names) {
      Reference r = Read(n + " 1");
      ASSERT_EQ(r.ranges, (std::vector<VerseRange>{{c, 1, 1}})) << n << " " << Show(r);
      EXPECT_EQ(ChapterByName(ReferenceText(Utf16(n))), c) << n;
    }
  }
}

// For random verses, every way writers put a chapter's name beside its number gives
// that verse when the two agree and is refused when they do not; a number or a name
// after a reference with nothing between is never a chapter of its own.
TEST(VerseReference, ANameBesideItsNumberNeverGivesAnotherVerse) {
  std::mt19937 random(20261210);
  auto arabic = [](int c) { return Cp1256ToUtf8(WithoutMarks(ChapterName(c))).value(); };
  auto forms = [](const std::string& name, const std::string& c, const std::string& v) {
    return std::vector<std::string>{
        name + " " + c + ":" + v,        c + ":" + v + " (" + name + ")",
        c + ":" + v + " " + name,        name + " (" + c + ") " + v,
        name + " [" + c + ":" + v + "]", "سورة " + name + " " + c + "/" + v,
        "(" + name + ") " + c + ":" + v, c + " (" + name + "): " + v,
        name + " " + c + " " + v,
    };
  };
  for (int trial = 0; trial < 60; ++trial) {
    int c = static_cast<int>(random() % kChapterCount) + 1;
    int v = static_cast<int>(random() % kChapterVerseCounts[c - 1]) + 1;
    int d = static_cast<int>(random() % (kChapterCount - 1)) + 1;
    if (d >= c) ++d;
    std::string cs = std::to_string(c), vs = std::to_string(v);
    for (const std::string& name : {arabic(c), std::string(kChapterLatinNames[c - 1])}) {
      for (const std::string& text : forms(name, cs, vs)) {
        Reference r = Read(text);
        EXPECT_EQ(r.ranges, (std::vector<VerseRange>{{c, v, v}})) << text << " " << Show(r);
      }
    }
    for (const std::string& name : {arabic(d), std::string(kChapterLatinNames[d - 1])}) {
      for (const std::string& text : forms(name, cs, vs)) {
        Reference r = Read(text);
        EXPECT_EQ(r.error, ReferenceError::kChaptersDisagree) << text << " " << Show(r);
        EXPECT_EQ(std::pair(r.chapter, r.otherChapter), std::pair(d, c)) << text;
      }
    }
    // Where the number could also be a verse's, the verse or a refusal.
    const std::string latin = kChapterLatinNames[c - 1];
    for (const std::string& text : {"Surah " + latin + " (" + cs + "), verse " + vs,
                                    "Surah " + latin + " " + cs + ", verse " + vs,
                                    arabic(c) + " (" + cs + ")، الآية " + vs}) {
      Reference r = Read(text);
      if (r.error != ReferenceError::kNone) continue;
      EXPECT_EQ(r.ranges, (std::vector<VerseRange>{{c, v, v}})) << text << " " << Show(r);
    }
    for (const std::string& text :
         {cs + ":" + vs + " " + std::to_string(d), cs + ":" + vs + " " + arabic(d) + " " + vs}) {
      Reference r = Read(text);
      EXPECT_TRUE(r.ranges.empty()) << text << " " << Show(r);
    }
  }
}

// Every other name of the list reads as its chapter, or, where two chapters share it,
// is refused with both named.
TEST(VerseReference, EveryOtherNameReadsAsItsChapter) {
  std::map<std::string, std::set<int>> chapters;
  for (const OtherChapterName& n : OtherChapterNames()) chapters[n.name].insert(n.chapter);
  ASSERT_GT(chapters.size(), 100u);
  for (const auto& [name, listed] : chapters) {
    Reference r = ReadReference(std::string(name) + " 1");
    if (listed.size() == 1) {
      EXPECT_EQ(r.ranges, (std::vector<VerseRange>{{*listed.begin(), 1, 1}}))
          << Cp1256ToUtf8(name).value() << " " << Show(r);
    } else {
      EXPECT_EQ(r.error, ReferenceError::kAmbiguousName) << Cp1256ToUtf8(name).value();
      EXPECT_TRUE(listed.contains(r.chapter) && listed.contains(r.otherChapter))
          << Cp1256ToUtf8(name).value() << " " << Show(r);
    }
  }
}

// Spellings of the chapters' names gathered from English translations and study texts,
// each line with its source (tests/data/latin_spellings.txt).
TEST(VerseReference, EnglishSpellingsReadAsTheirChapter) {
  std::ifstream in(QURAN_TEST_DATA_DIR "/latin_spellings.txt");
  ASSERT_TRUE(in) << "tests/data/latin_spellings.txt";
  int read = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#' || line.starts_with("source\t")) continue;
    std::istringstream fields(line);
    std::string chapter, spelling;
    std::getline(fields, chapter, '\t');
    std::getline(fields, spelling, '\t');
    Reference r = Read(spelling + " 1");
    EXPECT_EQ(r.ranges, (std::vector<VerseRange>{{std::stoi(chapter), 1, 1}}))
        << spelling << " " << Show(r);
    ++read;
  }
  EXPECT_GT(read, 200);
}

class CitationsReadBack : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { store_ = new VerseStore(QURAN_DATA_DIR); }
  static void TearDownTestSuite() { delete store_; }
  static VerseStore* store_;
};
VerseStore* CitationsReadBack::store_ = nullptr;

// Every verse cited in every style, whole and in part, and every chapter cited
// joined, read back gives the verses cited.
TEST_F(CitationsReadBack, EveryCitationGivesItsVerses) {
  ASSERT_EQ(store_->LoadFailed, 0) << "run the build first";
  std::vector<std::string> texts(kVerseCount);
  for (int v = 0; v < kVerseCount; ++v) {
    std::vector<char> buffer(kVerseTextSize);
    ASSERT_EQ(store_->GetVerseText(static_cast<std::uint32_t>(v), buffer.data()), 1);
    texts[v] = buffer.data();
  }
  for (int brackets = 0; brackets < 2; ++brackets) {
    for (int reference = 0; reference < 2; ++reference) {
      for (int digits = 0; digits < 2; ++digits) {
        CitationStyle style{static_cast<CitationBrackets>(brackets),
                            static_cast<CitationReference>(reference),
                            static_cast<CitationDigits>(digits), false};
        for (int v = 0; v < kVerseCount; ++v) {
          const VerseIndexRecord& r = store_->VerseIndex[v];
          CitedVerse whole{r.chapter, r.verse, texts[v]};
          // A part: the first word marked.
          auto firstBlank = static_cast<std::int32_t>(texts[v].find(' '));
          CitedVerse part{r.chapter, r.verse, texts[v], 0, firstBlank > 0 ? firstBlank : 1};
          for (const CitedVerse& cited : {whole, part}) {
            std::vector<Citation> c = BuildCitations(std::span(&cited, 1), style);
            ASSERT_EQ(c.size(), 1u);
            Reference read = ReadReference(ReferenceText(c[0].text));
            ASSERT_EQ(read.ranges, (std::vector<VerseRange>{{r.chapter, r.verse, r.verse}}))
                << ToUtf8(c[0].text) << " " << Show(read);
          }
        }
        style.joinConsecutive = true;
        for (int chapter = 1, v = 0; chapter <= kChapterCount; ++chapter) {
          std::vector<CitedVerse> verses;
          for (int k = 0; k < kChapterVerseCounts[chapter - 1]; ++k, ++v)
            verses.push_back({chapter, k + 1, texts[v]});
          std::vector<Citation> c = BuildCitations(verses, style);
          ASSERT_EQ(c.size(), 1u);
          Reference read = ReadReference(ReferenceText(c[0].text));
          ASSERT_EQ(read.ranges,
                    (std::vector<VerseRange>{{chapter, 1, kChapterVerseCounts[chapter - 1]}}))
              << chapter << " " << Show(read);
        }
      }
    }
  }
}

TEST_F(CitationsReadBack, FindsTheVersesNamedOnceEachWithinTheFilter) {
  std::vector<VerseRange> ranges = {{2, 255, 257}, {2, 256, 256}, {112, 1, 4}};
  EXPECT_EQ(store_->FindVerses(ranges, nullptr, true), 7);
  EXPECT_EQ(store_->VerseCount(), 7);
  EXPECT_EQ(store_->ResultFlags[VerseIndexOf(2, 255)], 1);
  std::uint8_t filter[kVerseCount] = {};
  filter[VerseIndexOf(112, 2)] = 1;
  EXPECT_EQ(store_->FindVerses(ranges, filter, true), 1);
  EXPECT_EQ(store_->ResultFlags[VerseIndexOf(112, 2)], 1);
}

}  // namespace
}  // namespace quran
