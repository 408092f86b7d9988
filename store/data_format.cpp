// The build converts this file to Windows-1256 before compiling it: the literal
// below is written in UTF-8 and held as single bytes.
#include "data_format.h"

#include <array>

#if defined(__SSE2__) && !defined(QURAN_SCALAR)
#include <tmmintrin.h>
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

#if defined(__SSE2__) && !defined(QURAN_SCALAR)
// Each byte taken modulo 47 in three rounds: a byte at or past 4 x 47, then 2 x 47,
// then 47 is moved down by that much; below it, the subtraction wraps and min keeps it.
__m128i Modulo47(__m128i bytes) {
  for (int times : {4, 2, 1}) {
    const __m128i step = _mm_set1_epi8(static_cast<char>(times * kAlphabetSize));
    bytes = _mm_min_epu8(bytes, _mm_sub_epi8(bytes, step));
  }
  return bytes;
}

// Sixteen bytes at a time, the alphabet looked up by byte shuffles in three tables
// of sixteen; a megabyte is decoded at each load. Returns how many bytes it decoded.
[[gnu::target("ssse3")]] std::size_t DecodeByShuffles(char* buf, std::size_t length) {
  alignas(16) static constexpr std::array<char, 48> kTables = [] {
    std::array<char, 48> tables{};
    for (std::size_t k = 0; k < kAlphabetSize; ++k) tables[k] = DecodeAlphabet[k];
    return tables;
  }();
  auto table = [](int k) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(&kTables[16 * k]));
  };
  const __m128i tables[3] = {table(0), table(1), table(2)};
  // A shuffle reads lane n & 15 of its table, or yields 0 where n has its high bit
  // set: adding 0x70 with saturation keeps the positions of the table's sixteen only.
  const __m128i keep = _mm_set1_epi8(0x70);
  std::size_t i = 0;
  for (; i + 16 <= length; i += 16) {
    auto* at = reinterpret_cast<__m128i*>(buf + i);
    const __m128i positions = Modulo47(_mm_loadu_si128(at));
    __m128i out = _mm_setzero_si128();
    for (int k = 0; k < 3; ++k) {
      __m128i local = _mm_sub_epi8(positions, _mm_set1_epi8(static_cast<char>(16 * k)));
      out = _mm_or_si128(out, _mm_shuffle_epi8(tables[k], _mm_adds_epu8(local, keep)));
    }
    _mm_storeu_si128(at, out);
  }
  return i;
}
#endif

void DecodeBlock(char* buf, std::size_t length) {
  std::size_t i = 0;
#if defined(__SSE2__) && !defined(QURAN_SCALAR)
  static const bool shuffles = __builtin_cpu_supports("ssse3");
  if (shuffles) i = DecodeByShuffles(buf, length);
#endif
  // Written through a restrict pointer: a byte store could otherwise be a store into
  // the table, and the compiler would read the table anew for every byte.
  auto* __restrict bytes = reinterpret_cast<unsigned char*>(buf);
  for (; i < length; ++i) bytes[i] = kDecoded[bytes[i]];
}

}  // namespace quran
