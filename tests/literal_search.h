// The searches done the plain way: one strstr pass per derivative and a verse
// look-up that walks the index from the start. The oracle for the store's own
// searches and the benchmarks' baseline.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "verse_store.h"

namespace quran::literal {

std::int32_t VerseAtPosition(const VerseStore& store, std::uint32_t position);
std::int32_t FindText(VerseStore& store, const char* query, const std::uint8_t* filter, bool reset);
std::int32_t FindRoot(VerseStore& store, const char* root, const std::uint8_t* filter, bool reset);
std::int32_t FindWordRoots(VerseStore& store, const char* word, const std::uint8_t* filter,
                           bool reset);

// The loose searches, the rule's table applied at every place: part of text (or a
// whole word, padded), every root name the root finds, every "/d/" of the root
// block whose derivative the word finds.
bool LooseFinds(std::string_view typed, std::string_view text);
std::string LooseQuery(std::string_view typed);
std::int32_t FindLooseText(VerseStore& store, const char* query, const std::uint8_t* filter,
                           bool reset);
std::int32_t FindLooseRoot(VerseStore& store, const char* root, const std::uint8_t* filter,
                           bool reset);
std::int32_t FindLooseWordRoots(VerseStore& store, const char* word, const std::uint8_t* filter,
                                bool reset);

}  // namespace quran::literal
