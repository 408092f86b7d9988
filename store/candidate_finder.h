// Finds where a pattern may start: the positions whose first and last bytes are the
// pattern's, sixteen positions at a time, which is what lets a search or the
// index's split into words read the text at memory speed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// QURAN_SCALAR keeps the plain scans where SSE2 is on, so that their tests run.
#if defined(__SSE2__) && !defined(QURAN_SCALAR)
#include <emmintrin.h>
#endif

namespace quran {

// The starting positions whose first and last bytes are the pattern's.
class CandidateFinder {
 public:
  static constexpr std::size_t kSpan = 16;
  // The last byte is looked for in lastText where that is given, at the same
  // positions: a loose search reads its two ends in different folds of the text.
  explicit CandidateFinder(std::string_view pattern, const unsigned char* lastText = nullptr)
      : first_(static_cast<unsigned char>(pattern.front())),
        last_(static_cast<unsigned char>(pattern.back())),
        lastAt_(pattern.size() - 1),
        lastText_(lastText) {}

  // How many bits of a span's mask are set: two reads of a table.
  static std::uint32_t CountSpanBits(std::uint32_t mask) {
    static constexpr auto kBits = [] {
      std::array<std::uint8_t, 256> bits{};
      for (std::size_t b = 1; b < bits.size(); ++b)
        bits[b] = static_cast<std::uint8_t>(bits[b / 2] + (b & 1));
      return bits;
    }();
    return kBits[mask & 0xFF] + kBits[(mask >> 8) & 0xFF];
  }

  // Four spans at once: bit k for position at + k, k below kRound, for the
  // positions the pattern fits at; at must be one of those.
  static constexpr std::size_t kRound = 4 * kSpan;
  std::uint64_t Round(const unsigned char* text, std::size_t length, std::size_t at) const {
    std::uint64_t mask = 0;
    for (std::size_t k = 0; k < kRound && at + k + lastAt_ < length; k += kSpan) {
      mask |= std::uint64_t{Candidates(text, length, at + k)} << k;
    }
    return mask;
  }

  // Bit k for position at + k of a text of length bytes, for the positions up to
  // the last one the pattern fits at; at must be one of those.
  std::uint32_t Candidates(const unsigned char* text, std::size_t length, std::size_t at) const {
    std::size_t fits = length - lastAt_ - at;
    const unsigned char* last = (lastText_ ? lastText_ : text) + at + lastAt_;
    return fits >= kSpan ? Span(text + at, last) : Part(text + at, last, fits);
  }

 private:
#if defined(__SSE2__) && !defined(QURAN_SCALAR)
  // All ones in lane k where position p + k is a candidate; its last byte is q[k].
  __m128i Equal(const unsigned char* p, const unsigned char* q) const {
    auto equal = [](const unsigned char* at, unsigned char c) {
      __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
      return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(c)));
    };
    __m128i lanes = equal(p, first_);
    return lastAt_ == 0 ? lanes : _mm_and_si128(lanes, equal(q, last_));
  }
#endif

  // Bit k for position p + k, k below kSpan, whose last byte is q[k]; reads p and q
  // kSpan bytes far.
  std::uint32_t Span(const unsigned char* p, const unsigned char* q) const {
#if defined(__SSE2__) && !defined(QURAN_SCALAR)
    return static_cast<std::uint32_t>(_mm_movemask_epi8(Equal(p, q)));
#else
    return Part(p, q, kSpan);
#endif
  }
  // The same for the first n positions.
  std::uint32_t Part(const unsigned char* p, const unsigned char* q, std::size_t n) const {
    std::uint32_t mask = 0;
    for (std::size_t k = 0; k < n; ++k) {
      mask |= static_cast<std::uint32_t>(p[k] == first_ && q[k] == last_) << k;
    }
    return mask;
  }

  unsigned char first_, last_;
  std::size_t lastAt_;
  const unsigned char* lastText_;
};

}  // namespace quran
