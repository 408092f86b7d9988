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

}  // namespace quran
