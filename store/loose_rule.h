// The loose search's rule, on Windows-1256 bytes: which letters of the text a typed
// letter finds, and the folded copies of the text that let a search find them with
// one byte comparison per letter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quran {

// Harakat (fathatan to sukun), tatweel, ZWNJ, ZWJ, LRM and RLM.
bool IsIgnoredMark(unsigned char c);

// Whether a typed letter finds this letter of the text.
bool LetterFinds(unsigned char typed, unsigned char text);

// Whether the typed text finds the text, letter for letter by the rule.
bool TextFinds(std::string_view typed, const char* text);

// Whether two texts of one length are the same by the rule, either read as typed.
bool LooseEqual(std::string_view a, std::string_view b);

// The texts a loose search reads. Each typed letter finds exactly the letters of the
// text that share its byte in one of them:
// - kAsIs, the text itself: a letter with a hamza, and every letter that has no
//   other form;
// - kLetters, hamza forms folded to their bare letters, ى to ي, ة to ه: what ا,
//   ي, ه, ة and و find;
// - kHamzas, every hamza form to ء, ى to ي: what ء and ى find.
enum class Plane { kAsIs, kLetters, kHamzas };
inline constexpr int kPlanes = 3;

struct PlaneByte {
  Plane plane;
  unsigned char byte;
};
PlaneByte PlaneOf(unsigned char typed);

// Writes the text folded for the plane (kLetters or kHamzas) into out.
void FoldText(const char* text, std::size_t length, Plane plane, char* out);

// One byte for each class of letters that find each other, directly or through a
// third: what the index keys words by, so that the words a query may find share
// its key.
unsigned char KeyByte(unsigned char c);

}  // namespace quran
