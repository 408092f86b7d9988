// The build converts this file to Windows-1256 before compiling it: the literal
// below is written in UTF-8 and held as single bytes.
#include "data_format.h"

namespace quran {

// Order: space, backslash, slash, hamza to ghain, tatweel, feh to yeh, fathatan to shadda.
const char DecodeAlphabet[kAlphabetSize + 1] = " \\/ءآأؤإئابةتثجحخدذرزسشصضطظعغـفقكلمنهوىيًٌٍَُِّ";
static_assert(sizeof(DecodeAlphabet) == kAlphabetSize + 1);

int AlphabetPosition(unsigned char c) {
  for (std::size_t k = 0; k < kAlphabetSize; ++k) {
    if (static_cast<unsigned char>(DecodeAlphabet[k]) == c) return static_cast<int>(k);
  }
  return -1;
}

void DecodeBlock(char* buf, std::int32_t length) {
  for (std::int32_t i = 0; i < length; ++i) {
    buf[i] = DecodeAlphabet[static_cast<unsigned char>(buf[i]) % kAlphabetSize];
  }
}

}  // namespace quran
