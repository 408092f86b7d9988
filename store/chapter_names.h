// The chapters' names as writers write them: the table's Arabic names, the other
// names chapters are also known by (data/chapter_other_names.txt, each with its
// source), and the Latin names under one spelling rule that brings the spellings of
// English documents together. References find their chapters here.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quran {

// The letters of a Latin name, and the marks that write 'ayn and hamza in it; bytes of
// Windows-1256, whose Latin quotes stand at 0x91 and 0x92.
inline bool IsLatinLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsApostrophe(unsigned char c) {
  return c == '\'' || c == '`' || c == 0x91 || c == 0x92;
}

// The chapter a name stands for, and a second one when the name could mean two:
// such a name is read as neither.
struct ChapterMatch {
  int chapter = 0;  // 0 for none
  int other = 0;
  bool Ambiguous() const { return other != 0; }
};

// An Arabic name in Windows-1256 without its marks: a name of the table or another
// name of the chapter, with or without its article, by the loose rule.
ChapterMatch ChapterByArabicName(std::string_view name);

// A name in Latin letters as written ("Al-Baqarah", "Aal-e-Imran", "Kauthar"), or the
// start of one name alone ("Baqar").
ChapterMatch ChapterByLatinName(std::string_view written);

// The form in which two Latin spellings of one name meet: lower case, letters only,
// the article and "Aal-e-" dropped, doubled letters single, the vowels a, e, i and y
// one letter and o, u and w another, th and s, dh, z and d, q and k, gh and g each
// one letter, and the endings -ah, -at and -un/-in read alike.
std::string LatinKey(std::string_view written);

// The chapters' names in Latin letters (quran-json's), index 0 for chapter 1.
extern const char* const kChapterLatinNames[114];

// A name a chapter is also known by, Arabic (Windows-1256) or Latin, from the list.
struct OtherChapterName {
  int chapter;
  const char* name;
};
std::span<const OtherChapterName> OtherChapterNames();

// What is wrong with the names, for the data build to stop on: a name of the list
// that reads as another chapter's own name, or two own names that read alike.
std::vector<std::string> ChapterNameProblems();

// The first chapter whose name the typed text begins, with or without its article,
// by the loose rule, or whose number it is; for a chapter picker that jumps as the
// user types. typedEnd is where the typed letters end in ChapterName(chapter), npos
// for a number or a Latin name.
struct ChapterPrefix {
  int chapter = 0;
  std::size_t typedEnd = std::string_view::npos;
};
ChapterPrefix ChapterByPrefix(std::string_view typed);

}  // namespace quran
