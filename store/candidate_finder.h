// Finds where a pattern may start: the positions whose first and last bytes are the
// pattern's, sixteen positions at a time, which is what lets a search or the
// index's split into words read the text at memory speed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace quran {

// The starting positions whose first and last bytes are the pattern's.
class CandidateFinder {
 public:
  static constexpr std::size_t kSpan = 16;
  explicit CandidateFinder(std::string_view pattern)
      : first_(static_cast<unsigned char>(pattern.front())),
        last_(static_cast<unsigned char>(pattern.back())),
        lastAt_(pattern.size() - 1) {}

  // How many candidates start in [from, to) of a text of length bytes; the pattern
  // fits at every one of those positions. For a pattern of one or two bytes, the
  // number of its occurrences.
  std::size_t Count(const unsigned char* text, [[maybe_unused]] std::size_t length,
                    std::size_t from, std::size_t to) const {
    std::size_t count = 0, at = from;
#ifdef __SSE2__
    // Each lane counts down by one per match; 255 spans at most before a lane wraps.
    const __m128i zero = _mm_setzero_si128();
    auto total = [&](__m128i lanes) {
      __m128i sums = _mm_sad_epu8(lanes, zero);
      return static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
             static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    };
    __m128i lanes = zero;
    int spans = 0;
    for (; at + kSpan <= to && at + kSpan + lastAt_ <= length; at += kSpan) {
      lanes = _mm_sub_epi8(lanes, Equal(text + at));
      if (++spans == 255) {
        count += total(lanes);
        lanes = zero;
        spans = 0;
      }
    }
    if (at < to && at + kSpan + lastAt_ <= length) {
      // The last span of the range, its lanes past the range cleared.
      alignas(16) static constexpr unsigned char kKeep[2 * kSpan] = {
          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
      __m128i keep = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kKeep + kSpan - (to - at)));
      lanes = _mm_sub_epi8(lanes, _mm_and_si128(Equal(text + at), keep));
      at = to;
    }
    count += total(lanes);
#endif
    for (; at < to; ++at) count += text[at] == first_ && text[at + lastAt_] == last_;
    return count;
  }

  // Bit k for position at + k of a text of length bytes, for the positions up to
  // the last one the pattern fits at; at must be one of those.
  std::uint32_t Candidates(const unsigned char* text, std::size_t length, std::size_t at) const {
    std::size_t fits = length - lastAt_ - at;
    return fits >= kSpan ? Span(text + at) : Part(text + at, fits);
  }

 private:
#ifdef __SSE2__
  // All ones in lane k where position p + k is a candidate.
  __m128i Equal(const unsigned char* p) const {
    auto equal = [](const unsigned char* at, unsigned char c) {
      __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
      return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(c)));
    };
    __m128i lanes = equal(p, first_);
    return lastAt_ == 0 ? lanes : _mm_and_si128(lanes, equal(p + lastAt_, last_));
  }
#endif

  // Bit k for position p + k, k below kSpan; reads p[0, kSpan + lastAt_).
  std::uint32_t Span(const unsigned char* p) const {
#ifdef __SSE2__
    return static_cast<std::uint32_t>(_mm_movemask_epi8(Equal(p)));
#else
    return Part(p, kSpan);
#endif
  }
  // The same for the first n positions; reads p[0, n + lastAt_).
  std::uint32_t Part(const unsigned char* p, std::size_t n) const {
    std::uint32_t mask = 0;
    for (std::size_t k = 0; k < n; ++k) {
      mask |= static_cast<std::uint32_t>(p[k] == first_ && p[k + lastAt_] == last_) << k;
    }
    return mask;
  }

  unsigned char first_, last_;
  std::size_t lastAt_;
};

}  // namespace quran
