// The mushaf's (Uthmani) text of the Madinah mushaf, read from a file of its own so
// that a missing or damaged one leaves the simple script whole. Verses are given as
// the King Fahd Complex writes them, for its own Hafs font, or with the marks its font
// codes by its own convention in the Unicode standard's code, for every other font.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data_format.h"

namespace quran {

class UthmaniText {
 public:
  // Reads and checks the file; on any fault keeps nothing and answers false.
  bool Load(const char* path);
  bool Loaded() const { return !offsets_.empty(); }

  // verseIndex 0 to 6,235; empty before a load.
  std::u16string_view ComplexVerse(int verseIndex) const;
  std::u16string StandardVerse(int verseIndex) const;

 private:
  std::u16string text_;
  std::vector<std::uint32_t> offsets_;
  std::vector<UthmaniMark> marks_;
};

}  // namespace quran
