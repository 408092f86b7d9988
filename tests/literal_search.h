// The searches done the plain way: one strstr pass per derivative and a verse
// look-up that walks the index from the start. The oracle for the store's own
// searches and the benchmarks' baseline.
#pragma once

#include <cstdint>

#include "verse_store.h"

namespace quran::literal {

std::int32_t VerseAtPosition(const VerseStore& store, std::uint32_t position);
std::int32_t FindText(VerseStore& store, const char* query, const std::uint8_t* filter, bool reset);
std::int32_t FindRoot(VerseStore& store, const char* root, const std::uint8_t* filter, bool reset);
std::int32_t FindWordRoots(VerseStore& store, const char* word, const std::uint8_t* filter,
                           bool reset);

}  // namespace quran::literal
