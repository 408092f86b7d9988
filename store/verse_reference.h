// Reading a written reference to verses ("البقرة 255", "2:255-257", "[الإخلاص: ١ - ٤]",
// "Al-Baqarah 255") into the verses it names, or into the reason it names none. The
// window, Search... on a selection and the command line read references with it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chapter_names.h"

namespace quran {

// Verses first to last of one chapter, both counted from 1.
struct VerseRange {
  int chapter = 0;
  int first = 0;
  int last = 0;
  bool operator==(const VerseRange&) const = default;
};

enum class ReferenceError {
  kNone,
  kEmpty,             // nothing but blanks and punctuation
  kNotAReference,     // text that reads as no reference
  kNoSuchChapter,     // a chapter number past 114, or 0
  kUnknownName,       // a word after "سورة" or before a verse number that names no chapter
  kVerseZero,         // verses are counted from 1
  kPastChapterEnd,    // a verse the chapter does not have
  kNumberTooLarge,    // more than any count of chapters or verses could be
  kChaptersDisagree,  // a name and a number written for one chapter name two
  kAmbiguousName,     // a name that could be either of two chapters
  kAmbiguous,         // "يوسف (12)": the number could be the chapter's or a verse's
  kUnseparated,       // a number or a name after a reference, with nothing between
};

struct Reference {
  ReferenceError error = ReferenceError::kNone;
  std::vector<VerseRange> ranges;
  // Whether the text is written as a reference and nothing else could be meant: a
  // verse number with a chapter, "n:m", or "سورة" before a name. A lone word that
  // names a chapter ("الرحمن") is one only where a reference is asked for.
  bool explicitForm = false;
  // For a message: the chapter an error is about, the number refused, and the second
  // chapter of a name and number that disagree (the number's) or of a name that
  // could be two.
  int chapter = 0;
  std::uint64_t number = 0;
  int otherChapter = 0;
};

// Whether a selection in the document is a reference the writer meant: written as
// one, and read, or refused for a reason found after its chapter was named. Any
// other selection is searched as text.
bool MeantAsReference(const Reference& reference);

// Reads Windows-1256 text in which digits of any script are already Western and the
// ornate brackets plain (FoldReferenceCharacter). Time linear in the text's length.
Reference ReadReference(std::string_view text);

// What a character of a reference becomes before the text is converted to
// Windows-1256, which lacks them: Arabic-Indic and Persian digits their Western ones,
// ﴿ ﴾ brackets, the end-of-verse sign and letter-like quotation marks a blank or an
// apostrophe. Any other character is itself.
char32_t FoldReferenceCharacter(char32_t c);

// The chapter a written name stands for, 0 for none: an Arabic name of the table or
// another name of the chapter, with or without its article and "سورة", by the loose
// rule, or a Latin one as English documents write it.
int ChapterByName(std::string_view name);

// Verse index (0 to 6,235) of a chapter's verse.
int VerseIndexOf(int chapter, int verse);

}  // namespace quran
