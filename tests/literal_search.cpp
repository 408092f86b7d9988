#include "literal_search.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace quran::literal {
namespace {

void Reset(VerseStore& store) {
  std::memset(store.ResultFlags, 0, sizeof store.ResultFlags);
  store.OccurrenceCount = 0;
}

std::unique_ptr<char[]> CopyOfRootBlock(const VerseStore& store) {
  std::size_t n = std::strlen(store.RootBlock.get());
  auto copy = std::make_unique<char[]>(n + 1);
  std::memcpy(copy.get(), store.RootBlock.get(), n + 1);
  return copy;
}

}  // namespace

std::int32_t VerseAtPosition(const VerseStore& store, std::uint32_t position) {
  for (int i = 0; i < kVerseCount; ++i) {
    const VerseIndexRecord& r = store.VerseIndex[i];
    if (position < r.searchOffset + r.searchLength) return i;
  }
  return kVerseCount - 1;
}

std::int32_t FindText(VerseStore& store, const char* query, const std::uint8_t* filter,
                      bool reset) {
  if (reset) Reset(store);
  const char* base = store.SearchText.get();
  for (const char* hit = std::strstr(base, query); hit; hit = std::strstr(hit + 1, query)) {
    int v = VerseAtPosition(store, static_cast<std::uint32_t>(hit - base + 1));
    if (filter && filter[v] == 0) continue;
    ++store.OccurrenceCount;
    store.ResultFlags[v] = 1;
  }
  return store.OccurrenceCount;
}

std::int32_t FindRoot(VerseStore& store, const char* root, const std::uint8_t* filter, bool reset) {
  if (reset) Reset(store);
  if (std::strlen(root) > kMaxPatternText) return 0;
  char marker[1024];
  std::snprintf(marker, sizeof marker, "\\%s\\", root);
  auto copy = CopyOfRootBlock(store);
  char* at = std::strstr(copy.get(), marker);
  if (!at) return 0;
  char* entry = at + std::strlen(marker);
  if (char* end = std::strchr(entry, '\\')) *end = '\0';
  char* slash = std::strchr(entry, '/');
  while (slash) {
    char* next = std::strchr(slash + 1, '/');
    if (!next) break;
    *next = '\0';
    char padded[1024];
    std::snprintf(padded, sizeof padded, " %s ", slash + 1);
    FindText(store, padded, filter, false);
    slash = next;
  }
  return store.OccurrenceCount;
}

std::int32_t FindWordRoots(VerseStore& store, const char* word, const std::uint8_t* filter,
                           bool reset) {
  if (reset) Reset(store);
  if (std::strlen(word) > kMaxPatternText) return 0;
  char pattern[1024];
  std::snprintf(pattern, sizeof pattern, "/%s/", word);
  auto copy = CopyOfRootBlock(store);
  char* block = copy.get();
  if (!std::strstr(block, pattern)) return 0;
  for (char* hit = std::strstr(block, pattern); hit;
       hit = std::strstr(hit + std::strlen(pattern), pattern)) {
    char* close = hit;
    while (close > block && *close != '\\') --close;
    if (*close != '\\' || close == block) continue;
    char* open = close - 1;
    while (open > block && *open != '\\') --open;
    if (*open != '\\') continue;
    std::string root(open + 1, close);
    FindRoot(store, root.c_str(), filter, false);
  }
  return store.OccurrenceCount;
}

}  // namespace quran::literal
