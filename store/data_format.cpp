// The build converts this file to Windows-1256 before compiling it: the literal
// below is written in UTF-8 and held as single bytes.
#include "data_format.h"

#include <array>

namespace quran {

// Order: space, backslash, slash, hamza to ghain, tatweel, feh to yeh, fathatan to shadda.
constexpr char DecodeAlphabet[kAlphabetSize + 1] = " \\/ءآأؤإئابةتثجحخدذرزسشصضطظعغـفقكلمنهوىيًٌٍَُِّ";
static_assert(sizeof(DecodeAlphabet) == kAlphabetSize + 1);

namespace {

// Each byte's character, read from a table: loading decodes a megabyte, and a
// division per byte was most of the load's time.
constexpr std::array<unsigned char, 256> kDecoded = [] {
  std::array<unsigned char, 256> table{};
  for (std::size_t b = 0; b < table.size(); ++b) {
    table[b] = static_cast<unsigned char>(DecodeAlphabet[b % kAlphabetSize]);
  }
  return table;
}();

}  // namespace

int AlphabetPosition(unsigned char c) {
  for (std::size_t k = 0; k < kAlphabetSize; ++k) {
    if (static_cast<unsigned char>(DecodeAlphabet[k]) == c) return static_cast<int>(k);
  }
  return -1;
}

void DecodeBlock(char* buf, std::int32_t length) {
  // Written through a restrict pointer: a byte store could otherwise be a store into
  // the table, and the compiler would read the table anew for every byte.
  auto* __restrict bytes = reinterpret_cast<unsigned char*>(buf);
  for (std::int32_t i = 0; i < length; ++i) bytes[i] = kDecoded[bytes[i]];
}

}  // namespace quran
