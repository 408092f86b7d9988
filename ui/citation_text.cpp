#include "citation_text.h"

#include <algorithm>
#include <utility>

#include "data_format.h"

namespace quran {
namespace {

// Windows-1256 bytes 0x80 to 0xFF; the code page defines every byte.
constexpr char16_t kCp1256High[128] = {
    0x20AC, 0x067E, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0679, 0x2039,
    0x0152, 0x0686, 0x0698, 0x0688, 0x06AF, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x06A9, 0x2122, 0x0691, 0x203A, 0x0153, 0x200C, 0x200D, 0x06BA, 0x00A0, 0x060C, 0x00A2, 0x00A3,
    0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x06BE, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x061B, 0x00BB,
    0x00BC, 0x00BD, 0x00BE, 0x061F, 0x06C1, 0x0621, 0x0622, 0x0623, 0x0624, 0x0625, 0x0626, 0x0627,
    0x0628, 0x0629, 0x062A, 0x062B, 0x062C, 0x062D, 0x062E, 0x062F, 0x0630, 0x0631, 0x0632, 0x0633,
    0x0634, 0x0635, 0x0636, 0x00D7, 0x0637, 0x0638, 0x0639, 0x063A, 0x0640, 0x0641, 0x0642, 0x0643,
    0x00E0, 0x0644, 0x00E2, 0x0645, 0x0646, 0x0647, 0x0648, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB,
    0x0649, 0x064A, 0x00EE, 0x00EF, 0x064B, 0x064C, 0x064D, 0x064E, 0x00F4, 0x064F, 0x0650, 0x00F7,
    0x0651, 0x00F9, 0x0652, 0x00FB, 0x00FC, 0x200E, 0x200F, 0x06D2,
};

constexpr char16_t kOrnateOpen = 0xFD3F;
constexpr char16_t kOrnateClose = 0xFD3E;
constexpr char16_t kEndOfVerse = 0x06DD;
constexpr char16_t kArabicIndicZero = 0x0660;

std::u16string Number(int n, CitationDigits digits) {
  std::u16string out;
  for (char c : std::to_string(n)) {
    out += digits == CitationDigits::kArabicIndic
               ? static_cast<char16_t>(kArabicIndicZero + c - '0')
               : static_cast<char16_t>(c);
  }
  return out;
}

// The mushaf's end-of-verse sign, which Quranic faces draw around the number that
// follows it, goes with ornate brackets; a number in parentheses with plain ones.
std::u16string VerseMarker(int verse, const CitationStyle& style) {
  // Appended, never prefixed: GCC 12 warns falsely about inserting into a string.
  bool ornate = style.brackets == CitationBrackets::kOrnate;
  std::u16string out(1, ornate ? kEndOfVerse : u'(');
  out += Number(verse, style.digits);
  if (!ornate) out += u')';
  return out;
}

std::u16string Bracketed(std::u16string_view text, CitationBrackets brackets) {
  std::u16string out(1, brackets == CitationBrackets::kOrnate ? kOrnateOpen : u'(');
  out.append(text);
  out += brackets == CitationBrackets::kOrnate ? kOrnateClose : u')';
  return out;
}

// verses: "255", "من الآية 255" or "255 - 257". The short form drops the word
// "chapter" that every name of the table starts with.
std::u16string Reference(int chapter, std::u16string_view verses, CitationReference reference) {
  std::u16string name = FromCp1256(SuraName(chapter));
  if (reference == CitationReference::kShort) {
    constexpr std::u16string_view kChapterWord = u"سورة ";
    if (name.starts_with(kChapterWord)) name.erase(0, kChapterWord.size());
    return u"[" + name + u": " + std::u16string(verses) + u"]";
  }
  return u"(" + name + u": " + std::u16string(verses) + u")";
}

// The marked characters widened to whole words, as [start, end); equal when the
// verse is cited whole. Positions are the text's, one character a byte.
std::pair<std::int32_t, std::int32_t> MarkedWords(const CitedVerse& verse) {
  std::string_view text = verse.text;
  auto n = static_cast<std::int32_t>(text.size());
  std::int32_t s = std::clamp(verse.markStart, 0, n);
  std::int32_t e = std::clamp(verse.markEnd, 0, n);
  if (s > e) std::swap(s, e);
  if (s != e) {
    // Only the blank separates words: the end moves right to just after one, or
    // to the end; the start moves left onto one, or to the first character.
    while (e < n && text[e - 1] != ' ') ++e;
    while (s != 0 && text[s] != ' ') --s;
  }
  if (s == 0 && e == n) e = 0;
  return {s, e};
}

bool Follows(const CitedVerse& next, const CitedVerse& previous) {
  return next.chapter == previous.chapter && next.verse == previous.verse + 1;
}

std::u16string CiteOne(const CitedVerse& verse, const CitationStyle& style) {
  auto [s, e] = MarkedWords(verse);
  if (s == e) {
    return Bracketed(FromCp1256(verse.text), style.brackets) + u" " +
           Reference(verse.chapter, Number(verse.verse, style.digits), style.reference);
  }
  std::string_view part =
      verse.text.substr(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s));
  return Bracketed(FromCp1256(part), style.brackets) + u" " +
         Reference(verse.chapter,
                   std::u16string(u"من الآية ").append(Number(verse.verse, style.digits)),
                   style.reference);
}

// The separator is spaced so that the range, read after the chapter's Arabic name,
// runs right to left in a line of either direction.
std::u16string CiteRun(std::span<const CitedVerse> run, const CitationStyle& style) {
  std::u16string text;
  for (const CitedVerse& verse : run) {
    if (!text.empty()) text += u' ';
    text += FromCp1256(verse.text) + u" " + VerseMarker(verse.verse, style);
  }
  std::u16string range =
      Number(run.front().verse, style.digits) + u" - " + Number(run.back().verse, style.digits);
  return Bracketed(text, style.brackets) + u" " +
         Reference(run.front().chapter, range, style.reference);
}

bool Marked(const CitedVerse& verse) {
  auto [s, e] = MarkedWords(verse);
  return s != e;
}

}  // namespace

CitationStyle Cp1256Style(CitationStyle style) {
  style.brackets = CitationBrackets::kPlain;
  style.digits = CitationDigits::kWestern;
  return style;
}

std::vector<Citation> BuildCitations(std::span<const CitedVerse> verses,
                                     const CitationStyle& style) {
  std::vector<Citation> citations;
  for (std::size_t i = 0; i < verses.size();) {
    std::size_t end = i + 1;
    if (style.joinConsecutive && !Marked(verses[i])) {
      while (end < verses.size() && Follows(verses[end], verses[end - 1]) && !Marked(verses[end])) {
        ++end;
      }
    }
    citations.push_back(
        {end - i == 1 ? CiteOne(verses[i], style) : CiteRun(verses.subspan(i, end - i), style),
         end - i});
    i = end;
  }
  return citations;
}

std::u16string FromCp1256(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    out += byte < 0x80 ? static_cast<char16_t>(byte) : kCp1256High[byte - 0x80];
  }
  return out;
}

bool ToCp1256(std::u16string_view text, std::string* out) {
  out->clear();
  out->reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80) {
      *out += static_cast<char>(c);
      continue;
    }
    const char16_t* found = std::find(std::begin(kCp1256High), std::end(kCp1256High), c);
    if (found == std::end(kCp1256High)) return false;
    *out += static_cast<char>(0x80 + (found - kCp1256High));
  }
  return true;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace quran
