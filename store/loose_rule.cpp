// Compiled from Windows-1256: the letters below are single bytes.
#include "loose_rule.h"

#include <array>
#include <initializer_list>
#include <utility>

#if defined(__SSE2__) && !defined(QURAN_SCALAR)
#include <emmintrin.h>
#endif

namespace quran {
namespace {

constexpr unsigned char kHamza = static_cast<unsigned char>('ء');
constexpr unsigned char kAlefMadda = static_cast<unsigned char>('آ');
constexpr unsigned char kAlefHamzaAbove = static_cast<unsigned char>('أ');
constexpr unsigned char kWawHamza = static_cast<unsigned char>('ؤ');
constexpr unsigned char kAlefHamzaBelow = static_cast<unsigned char>('إ');
constexpr unsigned char kYehHamza = static_cast<unsigned char>('ئ');
constexpr unsigned char kAlef = static_cast<unsigned char>('ا');
constexpr unsigned char kTehMarbuta = static_cast<unsigned char>('ة');
constexpr unsigned char kHeh = static_cast<unsigned char>('ه');
constexpr unsigned char kWaw = static_cast<unsigned char>('و');
constexpr unsigned char kAlefMaksura = static_cast<unsigned char>('ى');
constexpr unsigned char kYeh = static_cast<unsigned char>('ي');

using Fold = std::initializer_list<std::pair<unsigned char, unsigned char>>;
// No byte a fold writes is one it reads, so the pairs apply in any order.
constexpr Fold kLetterFold = {
    {kAlefMadda, kAlef}, {kAlefHamzaAbove, kAlef}, {kAlefHamzaBelow, kAlef}, {kWawHamza, kWaw},
    {kYehHamza, kYeh},   {kTehMarbuta, kHeh},      {kAlefMaksura, kYeh}};
constexpr Fold kHamzaFold = {{kAlefMadda, kHamza},      {kAlefHamzaAbove, kHamza},
                             {kAlefHamzaBelow, kHamza}, {kWawHamza, kHamza},
                             {kYehHamza, kHamza},       {kAlefMaksura, kYeh}};

constexpr std::array<unsigned char, 256> Table(Fold fold) {
  std::array<unsigned char, 256> table{};
  for (std::size_t b = 0; b < table.size(); ++b) table[b] = static_cast<unsigned char>(b);
  for (auto [from, to] : fold) table[from] = to;
  return table;
}
constexpr auto kLetters = Table(kLetterFold);
constexpr auto kHamzas = Table(kHamzaFold);

constexpr auto kKeys = [] {
  auto table = Table({});
  for (unsigned char c : {kHamza, kAlefMadda, kAlefHamzaAbove, kWawHamza, kAlefHamzaBelow,
                          kYehHamza, kWaw, kAlefMaksura, kYeh}) {
    table[c] = kAlef;
  }
  table[kTehMarbuta] = kHeh;
  return table;
}();

}  // namespace

bool IsIgnoredMark(unsigned char c) {
  switch (c) {
    case 0xF0:
    case 0xF1:
    case 0xF2:
    case 0xF3:  // fathatan, dammatan, kasratan, fatha
    case 0xF5:
    case 0xF6:
    case 0xF8:
    case 0xFA:  // damma, kasra, shadda, sukun
    case 0xDC:  // tatweel
    case 0x9D:
    case 0x9E:
    case 0xFD:
    case 0xFE:  // ZWNJ, ZWJ, LRM, RLM
      return true;
    default:
      return false;
  }
}

PlaneByte PlaneOf(unsigned char typed) {
  switch (typed) {
    case kAlef:
    case kYeh:
    case kWaw:
      return {Plane::kLetters, typed};
    case kHeh:
    case kTehMarbuta:
      return {Plane::kLetters, kHeh};
    case kHamza:
      return {Plane::kHamzas, kHamza};
    case kAlefMaksura:
      return {Plane::kHamzas, kYeh};
    default:
      return {Plane::kAsIs, typed};
  }
}

bool LetterFinds(unsigned char typed, unsigned char text) {
  PlaneByte p = PlaneOf(typed);
  switch (p.plane) {
    case Plane::kLetters:
      return kLetters[text] == p.byte;
    case Plane::kHamzas:
      return kHamzas[text] == p.byte;
    default:
      return text == p.byte;
  }
}

bool TextFinds(std::string_view typed, const char* text) {
  for (std::size_t i = 0; i < typed.size(); ++i) {
    if (!LetterFinds(static_cast<unsigned char>(typed[i]), static_cast<unsigned char>(text[i])))
      return false;
  }
  return true;
}

bool LooseEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  return TextFinds(a, b.data()) || TextFinds(b, a.data());
}

unsigned char KeyByte(unsigned char c) {
  return kKeys[c];
}

void FoldText(const char* text, std::size_t length, Plane plane, char* out) {
  const auto& table = plane == Plane::kHamzas ? kHamzas : kLetters;
  std::size_t i = 0;
#if defined(__SSE2__) && !defined(QURAN_SCALAR)
  const Fold fold = plane == Plane::kHamzas ? kHamzaFold : kLetterFold;
  // Sixteen bytes at a time: a text of half a megabyte is folded twice at each load.
  for (; i + 16 <= length; i += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    for (auto [from, to] : fold) {
      __m128i hit = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(from)));
      bytes = _mm_or_si128(_mm_andnot_si128(hit, bytes),
                           _mm_and_si128(hit, _mm_set1_epi8(static_cast<char>(to))));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), bytes);
  }
#endif
  for (; i < length; ++i) out[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
}

}  // namespace quran
