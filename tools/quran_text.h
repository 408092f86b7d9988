// Reading the Quran text package: its JSON verse arrays, cleaned of the marks that
// Windows-1256 cannot hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "verse_store.h"  // SplitWords

namespace quran {

enum class TextForm {
  Display,  // simple-min: harakat kept, superscript alef dropped
  Search,   // simple-clean: bare letters
};

// Removes the pause marks and the sajdah sign, turns no-break spaces into spaces,
// collapses runs of spaces and trims the ends. For the display form it also drops
// the superscript alef together with a tatweel right before it. UTF-8 in and out.
std::string CleanVerse(std::string_view utf8, TextForm form);

// Reads a JSON array of 6,236 verse strings and cleans each. Throws std::runtime_error
// with a message naming the file on any fault.
std::vector<std::string> LoadVerses(const std::string& path, TextForm form);

// A mark the Complex's text codes by its font's convention, with the standard code
// and where the pairing is published.
struct MarkMapping {
  char32_t complex = 0;
  char32_t standard = 0;
  std::string source;
};

// Reads the list of such marks (data/uthmani_marks.txt): "XXXX<TAB>YYYY<TAB>source"
// lines, hexadecimal code points. Throws std::runtime_error naming the line at fault.
std::vector<MarkMapping> LoadMarkMappings(const std::string& path);

// The Uthmani text of the Madinah mushaf, 6,236 verses in UTF-32 as the package
// writes them, checked against a second publication of it (quran-json's
// dist/quran.json): a verse that differs beyond tatweel and spacing stops the build,
// named. Throws std::runtime_error.
std::vector<std::u32string> LoadUthmani(const std::string& path, const std::string& checkPath);

}  // namespace quran
