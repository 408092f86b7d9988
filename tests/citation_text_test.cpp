// Citations in every style on the real data files, and their rich clipboard forms.
#include "citation_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "clipboard_formats.h"
#include "codepage.h"
#include "verse_store.h"

namespace quran {
namespace {

using Brackets = CitationBrackets;
using Reference = CitationReference;
using Digits = CitationDigits;

struct Cited {
  int chapter, verse;
  std::int32_t markStart = 0, markEnd = 0;
};

class Citations : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { store_ = new VerseStore(QURAN_DATA_DIR); }
  static void TearDownTestSuite() { delete store_; }
  void SetUp() override { ASSERT_EQ(store_->LoadFailed, 0) << "run the build first"; }

  static int IndexOf(int chapter, int verse) {
    for (int v = 0; v < kVerseCount; ++v) {
      if (store_->VerseIndex[v].chapter == chapter && store_->VerseIndex[v].verse == verse) {
        return v;
      }
    }
    return -1;
  }
  // Windows-1256, as the store gives it.
  static std::string Text1256(int v) {
    std::vector<char> buffer(kVerseTextSize);
    EXPECT_EQ(store_->GetVerseText(static_cast<std::uint32_t>(v), buffer.data()), 1);
    return buffer.data();
  }
  static std::string Text(int chapter, int verse) {
    return Cp1256ToUtf8(Text1256(IndexOf(chapter, verse))).value_or("?");
  }

  static std::vector<std::string> Cite(const std::vector<Cited>& cited, CitationStyle style) {
    std::vector<std::string> texts;
    std::vector<CitedVerse> verses;
    for (const Cited& c : cited) texts.push_back(Text1256(IndexOf(c.chapter, c.verse)));
    for (std::size_t i = 0; i < cited.size(); ++i) {
      verses.push_back(
          {cited[i].chapter, cited[i].verse, texts[i], cited[i].markStart, cited[i].markEnd});
    }
    std::vector<std::string> out;
    for (const Citation& c : BuildCitations(verses, style)) out.push_back(ToUtf8(c.text));
    return out;
  }

  static VerseStore* store_;
};

VerseStore* Citations::store_ = nullptr;

TEST_F(Citations, WholeVerseInEveryStyle) {
  const std::string verse = Text(2, 255);
  struct Case {
    Brackets brackets;
    Reference reference;
    Digits digits;
    const char *open, *close, *cited;
  };
  const Case cases[] = {
      {Brackets::kPlain, Reference::kChapter, Digits::kWestern, "(", ")", "(سورة البقرة: 255)"},
      {Brackets::kPlain, Reference::kChapter, Digits::kArabicIndic, "(", ")", "(سورة البقرة: ٢٥٥)"},
      {Brackets::kPlain, Reference::kShort, Digits::kWestern, "(", ")", "[البقرة: 255]"},
      {Brackets::kPlain, Reference::kShort, Digits::kArabicIndic, "(", ")", "[البقرة: ٢٥٥]"},
      {Brackets::kOrnate, Reference::kChapter, Digits::kWestern, "﴿", "﴾", "(سورة البقرة: 255)"},
      {Brackets::kOrnate, Reference::kChapter, Digits::kArabicIndic, "﴿", "﴾",
       "(سورة البقرة: ٢٥٥)"},
      {Brackets::kOrnate, Reference::kShort, Digits::kWestern, "﴿", "﴾", "[البقرة: 255]"},
      {Brackets::kOrnate, Reference::kShort, Digits::kArabicIndic, "﴿", "﴾", "[البقرة: ٢٥٥]"},
  };
  for (const Case& c : cases) {
    for (bool join : {false, true}) {
      SCOPED_TRACE(std::string(c.open) + c.cited + (join ? " joined" : ""));
      CitationStyle style{c.brackets, c.reference, c.digits, join};
      EXPECT_EQ(Cite({{2, 255}}, style),
                std::vector<std::string>{c.open + verse + c.close + " " + c.cited});
    }
  }
  // The ornate pair is stored opening with U+FD3F.
  EXPECT_EQ(std::string("﴿"), "\uFD3F");
}

TEST_F(Citations, MarkedWordsWidenToWholeWordsInTheShortReference) {
  // Its sixth and seventh words, الحي القيوم, marked from inside each.
  const std::string verse1256 = Text1256(IndexOf(2, 255));
  std::vector<std::int32_t> blanks;
  for (std::size_t i = 0; i < verse1256.size(); ++i) {
    if (verse1256[i] == ' ') blanks.push_back(static_cast<std::int32_t>(i));
  }
  ASSERT_GT(blanks.size(), 7u);
  std::int32_t from = blanks[4] + 2, to = blanks[5] + 3;
  // Widened onto the blanks around the words, which the original citation keeps and
  // the other styles drop.
  const std::string part =
      Cp1256ToUtf8(verse1256.substr(blanks[4] + 1, blanks[6] - blanks[4] - 1)).value_or("?");
  EXPECT_EQ(Cite({{2, 255, from, to}}, CitationStyle{}),
            std::vector<std::string>{"( " + part + " ) (سورة البقرة: من الآية 255)"});
  CitationStyle shortRef{Brackets::kPlain, Reference::kShort};
  EXPECT_EQ(Cite({{2, 255, to, from}}, shortRef),
            std::vector<std::string>{"(" + part + ") [البقرة: من الآية 255]"});
  CitationStyle ornate{Brackets::kOrnate, Reference::kShort, Digits::kArabicIndic, true};
  EXPECT_EQ(Cite({{2, 255, from, to}, {2, 256}}, ornate),
            (std::vector<std::string>{"﴿" + part + "﴾ [البقرة: من الآية ٢٥٥]",
                                      "﴿" + Text(2, 256) + "﴾ [البقرة: ٢٥٦]"}));
}

TEST_F(Citations, AMarkOfBlanksAloneHoldsNoWord) {
  const std::string verse1256 = Text1256(IndexOf(112, 1));
  auto blank = static_cast<std::int32_t>(verse1256.find(' '));
  EXPECT_FALSE(MarkHoldsWords({112, 1, verse1256, blank, blank + 1}));
  EXPECT_TRUE(MarkHoldsWords({112, 1, verse1256, blank, blank + 2}));
  EXPECT_TRUE(MarkHoldsWords({112, 1, verse1256}));
}

// What goes between two citations begins the second, in the text and in both rich
// forms: a blank HTML keeps, and a paragraph of its own.
TEST_F(Citations, EachCitationAfterTheFirstBeginsWithTheSeparator) {
  CitationStyle blank{.separator = CitationSeparator::kBlank};
  std::vector<std::string> cited = Cite({{112, 1}, {112, 2}}, blank);
  ASSERT_EQ(cited.size(), 2u);
  EXPECT_EQ(cited[0], Cite({{112, 1}}, CitationStyle{})[0]);
  EXPECT_EQ(cited[1], " " + Cite({{112, 2}}, CitationStyle{})[0]);
  CitationStyle paragraph{.joinConsecutive = true, .separator = CitationSeparator::kParagraph};
  cited = Cite({{112, 1}, {112, 2}, {113, 1}}, paragraph);
  ASSERT_EQ(cited.size(), 2u);
  EXPECT_EQ(cited[1].substr(0, 3), "\r\n(");

  std::u16string second = u"\r\n(قل) (سورة الإخلاص: 1)";
  std::string rtf = ClipboardRtf(second, {u"Amiri", 30});
  EXPECT_NE(rtf.find("\\lang1025\\alang1025 \\par ("), std::string::npos) << rtf;
  std::string html = ClipboardHtml(second, {u"Amiri", 30});
  EXPECT_NE(html.find("pre-wrap\"></p><p dir"), std::string::npos) << html;
}

TEST_F(Citations, ConsecutiveVersesOfOneChapterJoin) {
  const std::string t1 = Text(112, 1), t2 = Text(112, 2), t3 = Text(112, 3), t4 = Text(112, 4);
  const std::vector<Cited> ikhlas = {{112, 1}, {112, 2}, {112, 3}, {112, 4}};
  struct Case {
    const char* what;
    std::vector<Cited> verses;
    CitationStyle style;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"112:1-4 ornate, short, Arabic-Indic",
       ikhlas,
       {Brackets::kOrnate, Reference::kShort, Digits::kArabicIndic, true},
       {"﴿" + t1 + " ۝١ " + t2 + " ۝٢ " + t3 + " ۝٣ " + t4 +
        " ۝٤﴾ [الإخلاص: ١ - ٤]"}},
      {"112:1-4 plain",
       ikhlas,
       {Brackets::kPlain, Reference::kChapter, Digits::kWestern, true},
       {"(" + t1 + " (1) " + t2 + " (2) " + t3 + " (3) " + t4 + " (4)) (سورة الإخلاص: 1 - 4)"}},
      {"112:1-4 not joined",
       ikhlas,
       {Brackets::kPlain, Reference::kShort},
       {"(" + t1 + ") [الإخلاص: 1]", "(" + t2 + ") [الإخلاص: 2]", "(" + t3 + ") [الإخلاص: 3]",
        "(" + t4 + ") [الإخلاص: 4]"}},
      {"2:255 with 2:257",
       {{2, 255}, {2, 257}},
       {Brackets::kOrnate, Reference::kShort, Digits::kWestern, true},
       {"﴿" + Text(2, 255) + "﴾ [البقرة: 255]", "﴿" + Text(2, 257) + "﴾ [البقرة: 257]"}},
      {"the last of 111 with the first of 112",
       {{111, 5}, {112, 1}},
       {Brackets::kOrnate, Reference::kShort, Digits::kArabicIndic, true},
       {"﴿" + Text(111, 5) + "﴾ [المسد: ٥]", "﴿" + t1 + "﴾ [الإخلاص: ١]"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Cite(c.verses, c.style), c.expected);
  }
}

// The default style's Windows-1256 form is the citation the window always made.
TEST_F(Citations, DefaultStyleIsTheOriginalCitationOfEveryVerse) {
  for (int v = 0; v < kVerseCount; ++v) {
    const VerseIndexRecord& r = store_->VerseIndex[v];
    std::string text = Text1256(v);
    std::vector<char> original(kVerseTextSize + 100);
    std::snprintf(original.data(), original.size(), "(%s) (%s: %d)", text.c_str(),
                  SuraName(r.chapter), r.verse);
    CitedVerse verse{r.chapter, r.verse, text};
    std::vector<Citation> citations = BuildCitations({&verse, 1}, CitationStyle{});
    ASSERT_EQ(citations.size(), 1u);
    std::string cp1256;
    ASSERT_TRUE(ToCp1256(citations[0].text, &cp1256)) << v;
    ASSERT_EQ(cp1256, original.data()) << v;
  }
}

TEST(CitationText, Cp1256AgreesWithIconvOnEveryByte) {
  for (int b = 1; b < 256; ++b) {
    std::string byte(1, static_cast<char>(b));
    std::u16string wide = FromCp1256(byte);
    EXPECT_EQ(ToUtf8(wide), Cp1256ToUtf8(byte).value_or("?")) << b;
    std::string back;
    EXPECT_TRUE(ToCp1256(wide, &back));
    EXPECT_EQ(back, byte);
  }
  std::string none;
  EXPECT_FALSE(ToCp1256(u"\uFD3F", &none));
  EXPECT_FALSE(ToCp1256(u"\u0661", &none));
}

TEST(ClipboardFormats, RtfEscapesEveryCharacterPastAscii) {
  EXPECT_EQ(ClipboardRtf(u"﴿قل﴾ [الإخلاص: ١] {\\}", {u"Traditional Arabic", 33}),
            "{\\rtf1\\ansi\\ansicpg1256\\deff0\\uc1{\\fonttbl{\\f0\\fnil\\fcharset178 "
            "Traditional Arabic;}}\\pard\\rtlpar\\qr\\rtlch\\f0\\af0\\fs33\\afs33\\lang1025"
            "\\alang1025 \\u-705?\\u1602?\\u1604?\\u-706? [\\u1575?\\u1604?\\u1573?\\u1582?"
            "\\u1604?\\u1575?\\u1589?: \\u1633?] \\{\\\\\\}}");
}

// A face's name cannot end the CSS string or the font table entry it stands in.
TEST(ClipboardFormats, FaceNamesAreEscapedWhereTheyStand) {
  const std::u16string face = u"O'Brien \\ \"Naskh\"; {A}";
  std::string html = ClipboardHtml(u"قل", {face, 30});
  std::size_t at = html.find("font-family:'") + 13;
  std::size_t close = html.find('\'', at);
  ASSERT_NE(close, std::string::npos);
  EXPECT_EQ(html.substr(at, close - at), "O\\27 Brien \\5c  \\22 Naskh\\22 ; {A}");
  EXPECT_EQ(html.substr(close, 16), "';font-size:15pt");
  std::string rtf = ClipboardRtf(u"قل", {face, 30});
  at = rtf.find("\\fcharset178 ") + 13;
  close = rtf.find(';', at);
  EXPECT_EQ(rtf.substr(at, close - at), "O'Brien \\'5c \"Naskh\"\\'3b \\'7bA\\'7d");
  EXPECT_EQ(rtf.substr(close, 3), ";}}");
}

// The header's fields, by name.
std::map<std::string, std::string> HtmlHeader(const std::string& html) {
  std::map<std::string, std::string> fields;
  std::size_t at = 0;
  while (at < html.size() && html[at] != '<') {
    std::size_t end = html.find("\r\n", at);
    std::size_t colon = html.find(':', at);
    if (end == std::string::npos || colon > end) break;
    fields[html.substr(at, colon - at)] = html.substr(colon + 1, end - colon - 1);
    at = end + 2;
  }
  return fields;
}

TEST(ClipboardFormats, HtmlOffsetsFrameTheDocumentAndTheParagraph) {
  const std::u16string citation =
      u"﴿قُل هُوَ اللَّهُ أَحَدٌ ۝١﴾ [الإخلاص: ١] <&>";
  std::string html = ClipboardHtml(citation, {u"Amiri & Co", 33});
  std::map<std::string, std::string> header = HtmlHeader(html);
  ASSERT_EQ(header.size(), 5u) << html;
  EXPECT_EQ(header["Version"], "0.9");
  std::size_t startHtml = std::stoul(header["StartHTML"]), endHtml = std::stoul(header["EndHTML"]);
  std::size_t startFragment = std::stoul(header["StartFragment"]);
  std::size_t endFragment = std::stoul(header["EndFragment"]);
  ASSERT_LE(startFragment, endFragment);
  ASSERT_EQ(endHtml, html.size());
  EXPECT_EQ(html.substr(startHtml, 6), "<html>");
  EXPECT_EQ(html.substr(startHtml - 2, 2), "\r\n");
  EXPECT_EQ(html.substr(0, startFragment).substr(startFragment - 20), "<!--StartFragment-->");
  EXPECT_EQ(html.substr(endFragment, 18), "<!--EndFragment-->");
  EXPECT_EQ(html.substr(startFragment, endFragment - startFragment),
            "<p dir=\"rtl\" lang=\"ar\" style=\"font-family:'Amiri &amp; Co';font-size:16.5pt;"
            "white-space:pre-wrap\">" +
                ToUtf8(citation).substr(0, ToUtf8(citation).size() - 3) + "&lt;&amp;&gt;</p>");
  EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
}

}  // namespace
}  // namespace quran
