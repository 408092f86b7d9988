// The text of citations, as the search window and the command line both make them:
// verses in brackets followed by their chapter and number, in the style the user
// chose. Portable: the store's Windows-1256 texts in, UTF-16 out, since the ornate
// brackets, the Arabic-Indic digits and the end-of-verse sign have no Windows-1256
// form.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quran {

enum class CitationBrackets : std::uint8_t {
  kPlain,   // (text)
  kOrnate,  // U+FD3F text U+FD3E: opening on the right in a right-to-left line
};

enum class CitationReference : std::uint8_t {
  kChapter,  // (سورة البقرة: 255)
  kShort,    // [البقرة: 255]
};

enum class CitationDigits : std::uint8_t {
  kWestern,      // 255
  kArabicIndic,  // ٢٥٥
};

// What goes between two citations pasted together.
enum class CitationSeparator : std::uint8_t {
  kNone,       // side by side, as the window has always pasted them
  kBlank,      // one blank
  kParagraph,  // a new paragraph
};

struct CitationStyle {
  CitationBrackets brackets = CitationBrackets::kPlain;
  CitationReference reference = CitationReference::kChapter;
  CitationDigits digits = CitationDigits::kWestern;
  // Consecutive verses of one chapter become one citation.
  bool joinConsecutive = false;
  CitationSeparator separator = CitationSeparator::kNone;

  bool operator==(const CitationStyle&) const = default;
};

// The nearest style whose citations Windows-1256 can write: plain brackets and
// Western digits, the same reference and joining.
CitationStyle Cp1256Style(CitationStyle style);

struct CitedVerse {
  int chapter = 0;
  int verse = 0;
  std::string_view text;  // Windows-1256, as the store gives it
  // Characters [markStart, markEnd) of the text, either way round, are marked;
  // equal means none.
  std::int32_t markStart = 0;
  std::int32_t markEnd = 0;
};

struct Citation {
  std::u16string text;
  std::size_t verseCount = 1;  // how many of the verses given it cites
};

// The citations of the verses, in order: one a verse, or, when the style joins,
// one a run of consecutive verses of one chapter; each after the first begins with
// the style's separator. A marked verse cites its marked
// words, widened to whole words, alone; marking it all cites it whole.
std::vector<Citation> BuildCitations(std::span<const CitedVerse> verses,
                                     const CitationStyle& style);

// Whether the verse's mark, widened to whole words, holds a word, or the verse is
// cited whole: a mark of blanks alone would cite nothing.
bool MarkHoldsWords(const CitedVerse& verse);

std::u16string FromCp1256(std::string_view text);
// A reference as the user or the document wrote it, as ReadReference takes it: digits
// of any script Western, the ornate brackets plain, then Windows-1256, in which a
// character it lacks becomes '?'.
std::string ReferenceText(std::u16string_view text);
// False when a character has no Windows-1256 form.
bool ToCp1256(std::u16string_view text, std::string* out);
std::string ToUtf8(std::u16string_view text);

}  // namespace quran
