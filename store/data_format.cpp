// The build converts this file to Windows-1256 before compiling it: the literal
// below is written in UTF-8 and held as single bytes.
#include "data_format.h"

#include <array>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

#ifdef __SSE2__
// The alphabet as steps: from position `from` on, a position's character is the
// position plus the sum of the `add`s so far. Sixteen bytes are decoded at once
// from a handful of comparisons, which no table read per byte can match.
struct Step {
  int from;
  int add;
};
constexpr int Offset(std::size_t k) {
  return static_cast<unsigned char>(DecodeAlphabet[k]) - static_cast<int>(k);
}
constexpr int kStepCount = [] {
  int steps = 1;
  for (std::size_t k = 1; k < kAlphabetSize; ++k) steps += Offset(k) != Offset(k - 1);
  return steps;
}();
constexpr std::array<Step, kStepCount> kSteps = [] {
  std::array<Step, kStepCount> steps{};
  int n = 0, last = 0;
  for (std::size_t k = 0; k < kAlphabetSize; ++k) {
    if (k == 0 || Offset(k) != last) steps[n++] = {static_cast<int>(k), Offset(k) - last};
    last = Offset(k);
  }
  return steps;
}();

// Sixteen bytes decoded: each taken modulo 47, then moved to its character.
__m128i DecodeSpan(__m128i bytes) {
  const __m128i size = _mm_set1_epi8(static_cast<char>(kAlphabetSize));
  for (int k = 0; k < 5; ++k) bytes = _mm_min_epu8(bytes, _mm_sub_epi8(bytes, size));
  __m128i out = bytes;
  for (const Step& step : kSteps) {
    __m128i reached = _mm_cmpgt_epi8(bytes, _mm_set1_epi8(static_cast<char>(step.from - 1)));
    out = _mm_add_epi8(out, _mm_and_si128(reached, _mm_set1_epi8(static_cast<char>(step.add))));
  }
  return out;
}
#endif

void DecodeBlock(char* buf, std::int32_t length) {
  std::int32_t i = 0;
#ifdef __SSE2__
  for (; i + 16 <= length; i += 16) {
    auto* at = reinterpret_cast<__m128i*>(buf + i);
    _mm_storeu_si128(at, DecodeSpan(_mm_loadu_si128(at)));
  }
#endif
  // Written through a restrict pointer: a byte store could otherwise be a store into
  // the table, and the compiler would read the table anew for every byte.
  auto* __restrict bytes = reinterpret_cast<unsigned char*>(buf);
  for (; i < length; ++i) bytes[i] = kDecoded[bytes[i]];
}

}  // namespace quran
