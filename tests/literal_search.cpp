#include "literal_search.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "codepage.h"

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

std::string Cp1256(const char* utf8) {
  return Utf8ToCp1256(utf8).value();
}

// The rule as users are told it: what each typed letter finds, or empty for a
// letter that finds itself only.
const std::array<std::string, 256>& LooseTable() {
  static const auto* table = [] {
    auto* t = new std::array<std::string, 256>();
    for (auto [typed, finds] : {std::pair{"ا", "اأإآ"},
                                {"ي", "يىئ"},
                                {"ى", "ىي"},
                                {"ه", "هة"},
                                {"ة", "ةه"},
                                {"و", "وؤ"},
                                {"ء", "ءأإآؤئ"}}) {
      (*t)[static_cast<unsigned char>(Cp1256(typed)[0])] = Cp1256(finds);
    }
    return t;
  }();
  return *table;
}

void Count(VerseStore& store, int v, const std::uint8_t* filter) {
  if (filter && filter[v] == 0) return;
  ++store.OccurrenceCount;
  store.ResultFlags[v] = 1;
}

}  // namespace

bool LooseFinds(std::string_view typed, std::string_view text) {
  if (typed.size() != text.size()) return false;
  for (std::size_t i = 0; i < typed.size(); ++i) {
    const std::string& finds = LooseTable()[static_cast<unsigned char>(typed[i])];
    if (finds.empty() ? typed[i] != text[i] : finds.find(text[i]) == std::string::npos) {
      return false;
    }
  }
  return true;
}

std::string LooseQuery(std::string_view typed) {
  static const std::string marks = Cp1256(
      "\u064B\u064C\u064D\u064E\u064F\u0650\u0651\u0652\u0640"
      "\u200C\u200D\u200E\u200F");
  std::string kept;
  for (char c : typed) {
    if (marks.find(c) == std::string::npos) kept.push_back(c);
  }
  return kept;
}

std::int32_t FindLooseText(VerseStore& store, const char* query, const std::uint8_t* filter,
                           bool reset) {
  if (reset) Reset(store);
  std::string q = LooseQuery(query);
  std::string_view text(store.SearchText.get());
  for (std::size_t at = 0; !q.empty() && at + q.size() <= text.size(); ++at) {
    if (LooseFinds(q, text.substr(at, q.size()))) {
      Count(store, VerseAtPosition(store, static_cast<std::uint32_t>(at + 1)), filter);
    }
  }
  return store.OccurrenceCount;
}

std::int32_t FindLooseRoot(VerseStore& store, const char* root, const std::uint8_t* filter,
                           bool reset) {
  if (reset) Reset(store);
  std::string r = LooseQuery(root);
  if (r.find_first_of("/\\") != std::string::npos) return FindRoot(store, r.c_str(), filter, false);
  std::string_view block(store.RootBlock.get());
  std::set<std::string_view> names;
  for (std::size_t open = block.find('\\'), close; open != block.npos; open = close) {
    close = block.find('\\', open + 1);
    if (close == block.npos) break;
    std::string_view name = block.substr(open + 1, close - open - 1);
    if (name.find('/') == name.npos && LooseFinds(r, name)) names.insert(name);
  }
  for (std::string_view name : names) FindRoot(store, std::string(name).c_str(), filter, false);
  return store.OccurrenceCount;
}

std::int32_t FindLooseWordRoots(VerseStore& store, const char* word, const std::uint8_t* filter,
                                bool reset) {
  if (reset) Reset(store);
  std::string w = LooseQuery(word);
  if (w.empty() || w.find_first_of("/\\") != std::string::npos) {
    return FindWordRoots(store, w.c_str(), filter, false);
  }
  std::string_view block(store.RootBlock.get());
  const std::size_t m = w.size();
  std::set<std::string> roots;
  for (std::size_t at = 0; at + m + 2 <= block.size();) {
    if (block[at] != '/' || block[at + m + 1] != '/' || !LooseFinds(w, block.substr(at + 1, m))) {
      ++at;
      continue;
    }
    std::size_t close = block.rfind('\\', at);
    if (close != block.npos && close > 0) {
      std::size_t open = block.rfind('\\', close - 1);
      if (open != block.npos) roots.insert(std::string(block.substr(open + 1, close - open - 1)));
    }
    at += m + 2;  // a scan resumes after the closing slash
  }
  // Each root the word finds is searched once, however many of its spellings it finds.
  for (const std::string& root : roots) FindRoot(store, root.c_str(), filter, false);
  return store.OccurrenceCount;
}

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
