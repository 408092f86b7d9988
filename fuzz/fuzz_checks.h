// What every search must keep, checked by both fuzz targets: a broken promise
// aborts, so that libFuzzer keeps the input as a finding.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "codepage.h"
#include "verse_store.h"

namespace quran::fuzz {

inline void Check(bool kept, const char* promise) {
  if (kept) return;
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}

inline std::string Cp1256(const char* utf8) {
  return *Utf8ToCp1256(utf8);
}

enum class Kind { Text, Root, WordRoots, LooseText, LooseRoot, LooseWordRoots };

inline std::int32_t Search(VerseStore& store, Kind kind, const std::string& query,
                           const std::uint8_t* filter, bool reset) {
  const char* q = query.c_str();
  switch (kind) {
    case Kind::Text:
      return store.FindText(q, filter, reset);
    case Kind::Root:
      return store.FindRoot(q, filter, reset);
    case Kind::WordRoots:
      return store.FindWordRoots(q, filter, reset);
    case Kind::LooseText:
      return store.FindText(q, filter, reset, Matching::kLoose);
    case Kind::LooseRoot:
      return store.FindRoot(q, filter, reset, Matching::kLoose);
    case Kind::LooseWordRoots:
      return store.FindWordRoots(q, filter, reset, Matching::kLoose);
  }
  return 0;
}

// One search with the reset on, then again, then within its own result and within
// another one, and twice with the reset off.
inline void CheckSearch(VerseStore& store, Kind kind, const std::string& query,
                        const std::uint8_t* other) {
  std::int32_t found = Search(store, kind, query, nullptr, true);
  int verses = store.VerseCount();
  Check(found >= 0 && verses <= found, "verses found <= occurrences");
  std::uint8_t flags[kVerseCount];
  std::memcpy(flags, store.ResultFlags, sizeof flags);

  Check(Search(store, kind, query, nullptr, true) == found, "a repeat finds as many");
  Check(std::memcmp(flags, store.ResultFlags, sizeof flags) == 0, "a repeat flags the same");

  Check(Search(store, kind, query, flags, true) == found, "within its own result, the same");
  if (other) {
    std::int32_t within = Search(store, kind, query, other, true);
    Check(within <= found, "a filter never adds occurrences");
    for (int v = 0; v < kVerseCount; ++v) {
      Check(!store.ResultFlags[v] || (other[v] && flags[v]), "a filter flags only its verses");
    }
  }

  Search(store, kind, query, nullptr, true);
  std::int32_t twice = Search(store, kind, query, nullptr, false);
  std::int64_t expected = std::min<std::int64_t>(std::int64_t{found} * 2, INT32_MAX);
  Check(twice == expected, "without the reset, counts add up");
}

}  // namespace quran::fuzz
