#include "citation_text.h"

#include <algorithm>
#include <utility>

#include "data_format.h"
#include "verse_reference.h"

#ifdef _WIN32
#include "win_text.h"
#else
#include "codepage.h"
#endif

namespace quran {
namespace {

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
  // The original citation keeps the widened mark byte for byte; the others set the
  // words close to their brackets.
  if (!(style ==
        CitationStyle{.joinConsecutive = style.joinConsecutive, .separator = style.separator})) {
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
  }
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

std::u16string Separator(CitationSeparator separator) {
  switch (separator) {
    case CitationSeparator::kBlank:
      return u" ";
    case CitationSeparator::kParagraph:
      return u"\r\n";
    default:
      return u"";
  }
}

bool Marked(const CitedVerse& verse) {
  auto [s, e] = MarkedWords(verse);
  return s != e;
}

}  // namespace

bool MarkHoldsWords(const CitedVerse& verse) {
  auto [s, e] = MarkedWords(verse);
  if (s == e) return true;
  std::string_view part =
      verse.text.substr(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s));
  return part.find_first_not_of(' ') != std::string_view::npos;
}

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
    std::u16string text = citations.empty() ? u"" : Separator(style.separator);
    text += end - i == 1 ? CiteOne(verses[i], style) : CiteRun(verses.subspan(i, end - i), style);
    citations.push_back({std::move(text), end - i});
    i = end;
  }
  return citations;
}

std::string ReferenceText(std::u16string_view text) {
  // Every Windows-1256 byte's character, looked up per character: a page of text is
  // read in one pass whatever it holds.
  static const auto kBytes = [] {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    std::u16string chars = FromCp1256(all);
    std::vector<std::pair<char16_t, char>> table;
    for (std::size_t i = 0; i < chars.size() && i < all.size(); ++i)
      table.emplace_back(chars[i], all[i]);
    std::sort(table.begin(), table.end());
    return table;
  }();
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    auto folded = static_cast<char16_t>(FoldReferenceCharacter(c));
    auto it = std::lower_bound(kBytes.begin(), kBytes.end(), folded,
                               [](const auto& entry, char16_t c) { return entry.first < c; });
    out += it != kBytes.end() && it->first == folded ? it->second : '?';
  }
  return out;
}

// The conversions are the platform's own: Windows' code pages in the add-in, the C
// library's iconv in the native tools.
#ifdef _WIN32
std::u16string FromCp1256(std::string_view text) {
  std::wstring wide = FromCodePage(text);
  return {wide.begin(), wide.end()};
}

bool ToCp1256(std::u16string_view text, std::string* out) {
  out->clear();
  for (char16_t c : text) {
    unsigned char byte = 0;
    if (!ToArabicByte(static_cast<wchar_t>(c), &byte)) return false;
    out->push_back(static_cast<char>(byte));
  }
  return true;
}

std::string ToUtf8(std::u16string_view text) {
  return ToCodePage(std::wstring(text.begin(), text.end()), CP_UTF8);
}
#else
std::u16string FromCp1256(std::string_view text) {
  // Windows-1256 gives every byte a character.
  return Cp1256ToUtf16(text).value_or(std::u16string());
}

bool ToCp1256(std::u16string_view text, std::string* out) {
  auto converted = Utf16ToCp1256(text);
  if (!converted) return false;
  *out = std::move(*converted);
  return true;
}

std::string ToUtf8(std::u16string_view text) {
  return Utf16ToUtf8(text).value_or(std::string());
}
#endif

}  // namespace quran
