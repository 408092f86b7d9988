#include "verse_store.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quran {
namespace {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Closes on every path; a failed close of a file that was read is a load failure.
class File {
 public:
  explicit File(const char* path) : f_(std::fopen(path, "rb")) {}
  ~File() {
    if (f_) std::fclose(f_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  explicit operator bool() const { return f_ != nullptr; }
  std::FILE* get() const { return f_; }
  bool Close() {
    std::FILE* f = f_;
    f_ = nullptr;
    return std::fclose(f) == 0;
  }
  // Size in bytes, or -1 when the file cannot be sought.
  long Size() {
    if (std::fseek(f_, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(f_);
    if (std::fseek(f_, 0, SEEK_SET) != 0) return -1;
    return size;
  }
  bool ReadWord(std::uint32_t& w) {
    unsigned char b[4];
    if (std::fread(b, 1, 4, f_) != 4) return false;
    w = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return true;
  }
  bool Read(void* buf, std::size_t n) { return std::fread(buf, 1, n, f_) == n; }

 private:
  std::FILE* f_;
};

bool BuildPath(const char* dir, const char* name, char (&path)[1024]) {
  int n = std::snprintf(path, sizeof path, "%s%c%s", dir, kPathSeparator, name);
  return n > 0 && static_cast<std::size_t>(n) < sizeof path;
}

// Reads one length-prefixed text block, refusing a length the file cannot hold.
bool ReadTextBlock(File& file, std::uint64_t& remaining, std::unique_ptr<char[]>& block,
                   std::uint32_t& length) {
  std::uint32_t unitSize = 0;
  if (remaining < 8 || !file.ReadWord(unitSize) || !file.ReadWord(length)) return false;
  remaining -= 8;
  if (length > remaining) return false;
  block.reset(new (std::nothrow) char[std::size_t{length} + 1]);
  if (!block || !file.Read(block.get(), length)) return false;
  remaining -= length;
  DecodeBlock(block.get(), static_cast<std::int32_t>(length));
  block[length] = '\0';
  return true;
}

// Yields the verse of each position of a rising sequence without rescanning the index.
class VerseCursor {
 public:
  explicit VerseCursor(const VerseIndexRecord* index) : index_(index) {}
  int At(std::uint32_t position) {
    while (verse_ < kVerseCount - 1 && position >= End(verse_)) ++verse_;
    return verse_;
  }

 private:
  std::uint32_t End(int i) const { return index_[i].searchOffset + index_[i].searchLength; }
  const VerseIndexRecord* index_;
  int verse_ = 0;
};

// Finds pattern in a text block from a position on. The blocks end in a NUL and hold
// none of their own, so the C library's strstr, much faster here than a generic
// find, sees all of them.
std::size_t FindIn(std::string_view block, const std::string& pattern, std::size_t from) {
  const char* hit = std::strstr(block.data() + from, pattern.c_str());
  return hit ? static_cast<std::size_t>(hit - block.data()) : std::string_view::npos;
}

std::string_view EntryBody(std::string_view block, std::string_view root) {
  // The block holds no NUL, so no root with one has an entry; strstr would stop there.
  if (root.find('\0') != std::string_view::npos) return {};
  std::string marker;
  marker.reserve(root.size() + 2);
  marker.append(1, '\\').append(root).append(1, '\\');
  std::size_t at = FindIn(block, marker, 0);
  if (at == std::string_view::npos) return {};
  std::size_t start = at + marker.size();
  std::size_t end = block.find('\\', start);
  if (end == std::string_view::npos) end = block.size();
  return block.substr(start, end - start);
}

}  // namespace

// Derivatives of a root's entry with how often each is to be counted: once per
// listing, so a word listed under two roots counts once for each.
struct WordCounts {
  std::unordered_map<std::string_view, std::int64_t> map;
};

namespace {

// A bit per hash of a word's length and outer letters: rules out nearly every
// token of the text before the exact look-up, which is what keeps a root with
// hundreds of derivatives to one quick pass.
class TokenFilter {
 public:
  void Add(std::string_view word) { bits_.set(Key(word)); }
  bool MayHold(std::string_view token) const { return bits_.test(Key(token)); }

 private:
  static std::size_t Key(std::string_view w) {
    auto at = [&](std::size_t i) {
      return static_cast<std::uint32_t>(static_cast<unsigned char>(w[i]));
    };
    std::uint32_t k = static_cast<std::uint32_t>(w.size()) * 0x9E3779B1u;
    k ^= at(0) * 0x85EBCA77u;
    k ^= at(w.size() - 1) * 0xC2B2AE3Du;
    if (w.size() > 2) k ^= at(1) * 0x27D4EB2Fu;
    k ^= k >> 15;
    k *= 0x2C1B3C6Du;
    return (k ^ (k >> 13)) & (kBits - 1);
  }
  static constexpr std::size_t kBits = 1 << 16;
  std::bitset<kBits> bits_;
};

// Up to this many words a strstr pass per word beats one pass over every token.
constexpr std::size_t kFewWords = 16;

template <typename Visit>
void ForEachDerivative(std::string_view body, Visit visit) {
  std::size_t slash = body.find('/');
  while (slash != std::string_view::npos) {
    std::size_t next = body.find('/', slash + 1);
    if (next == std::string_view::npos) break;  // text after the last slash is no derivative
    visit(body.substr(slash + 1, next - slash - 1));
    slash = next;
  }
}

// Adds each derivative listings times; counts saturate rather than wrap.
void AddDerivatives(std::string_view body, std::int64_t listings, WordCounts& counts) {
  ForEachDerivative(body, [&](std::string_view d) {
    std::int64_t& n = counts.map[d];
    n = std::min<std::int64_t>(n + listings, INT32_MAX);
  });
}

}  // namespace

VerseStore::VerseStore() {
  Construct(nullptr);
}

VerseStore::VerseStore(const char* dataDirectory) {
  Construct(dataDirectory);
}

VerseStore::~VerseStore() = default;

void VerseStore::Construct(const char* dataDirectory) {
  Reset();
  LoadFailed = 0;
  SetDataDirectory(dataDirectory);
  LoadFailed = LoadFiles() ? 0 : 1;
}

void VerseStore::Reset() {
  std::memset(ResultFlags, 0, sizeof ResultFlags);
  OccurrenceCount = 0;
}

int VerseStore::SetDataDirectory(const char* path) {
  if (path) {
    std::strncpy(DataDirectory, path, sizeof DataDirectory - 1);
    DataDirectory[sizeof DataDirectory - 1] = '\0';
  } else {
    SystemDirectory(DataDirectory, sizeof DataDirectory);
  }
  return 0;
}

int VerseStore::LoadFiles() {
  loaded_ = LoadVerseFile() && LoadRootFile();
  return loaded_ ? 1 : 0;
}

bool VerseStore::LoadVerseFile() {
  char path[1024];
  if (!BuildPath(DataDirectory, kVerseFileName, path)) return false;
  File file(path);
  if (!file) return false;
  long size = file.Size();
  if (size < 8) return false;
  std::uint64_t remaining = static_cast<std::uint64_t>(size) - 8;
  std::uint32_t recordSize = 0, count = 0;
  if (!file.ReadWord(recordSize) || !file.ReadWord(count)) return false;
  if (recordSize != kRecordSize || count != kVerseCount) return false;
  if (remaining < std::uint64_t{kRecordSize} * kVerseCount) return false;
  VerseIndex.reset(new (std::nothrow) VerseIndexRecord[kVerseCount]);
  if (!VerseIndex || !file.Read(VerseIndex.get(), sizeof(VerseIndexRecord) * kVerseCount)) {
    return false;
  }
  remaining -= std::uint64_t{kRecordSize} * kVerseCount;
  if (!ReadTextBlock(file, remaining, DisplayText, displayLength_)) return false;
  if (!ReadTextBlock(file, remaining, SearchText, searchLength_)) return false;
  if (!file.Close()) return false;
  return RangesValid();
}

bool VerseStore::RangesValid() const {
  std::uint64_t searchEnd = 0;
  for (int i = 0; i < kVerseCount; ++i) {
    const VerseIndexRecord& r = VerseIndex[i];
    // Chapter names and citations are looked up by these numbers.
    if (r.chapter < 1 || r.chapter > kChapterCount) return false;
    if (r.verse < 1 || r.verse > kChapterVerseCounts[r.chapter - 1]) return false;
    if (std::uint64_t{r.displayOffset} + r.displayLength > displayLength_) return false;
    // Every reader holds a verse in a buffer of this size.
    if (r.displayLength >= kVerseTextSize) return false;
    // Each verse's search range starts where the previous one ended, so that a
    // position belongs to exactly one verse.
    if (r.searchOffset != searchEnd) return false;
    searchEnd += r.searchLength;
  }
  return searchEnd == searchLength_;
}

bool VerseStore::LoadRootFile() {
  char path[1024];
  if (!BuildPath(DataDirectory, kRootFileName, path)) return false;
  File file(path);
  if (!file) return false;
  long size = file.Size();
  if (size < 0) return false;
  RootBlock.reset(new (std::nothrow) char[static_cast<std::size_t>(size) + 1]);
  if (!RootBlock) return false;
  std::size_t n = std::fread(RootBlock.get(), 1, static_cast<std::size_t>(size), file.get());
  RootBlock[n] = '\0';
  DecodeBlock(RootBlock.get(), static_cast<std::int32_t>(n));
  rootLength_ = static_cast<std::uint32_t>(n);
  return file.Close();
}

std::int32_t VerseStore::VerseAtPosition(std::uint32_t position) const {
  if (!loaded_) return 0;
  // The ranges are contiguous and rising, so their ends are sorted.
  int lo = 0, hi = kVerseCount - 1;
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (position < VerseIndex[mid].searchOffset + VerseIndex[mid].searchLength) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  // A position past the last range can only be the last byte's successor: it stays
  // with the last verse rather than indexing past the table.
  return lo;
}

// A count past the largest 32-bit value stays there: only a damaged root file
// lists words often enough, and the verses found are still right.
void VerseStore::Count(int verse, std::int64_t times, const std::uint8_t* filter) {
  if (filter && filter[verse] == 0) return;
  OccurrenceCount =
      static_cast<std::int32_t>(std::min<std::int64_t>(OccurrenceCount + times, INT32_MAX));
  ResultFlags[verse] = 1;
}

void VerseStore::FindPattern(const char* pattern, const std::uint8_t* filter, std::int64_t times) {
  const char* base = SearchText.get();
  VerseCursor cursor(VerseIndex.get());
  // The block holds no NUL of its own, so strstr sees all of it. Each next look
  // starts one byte after the previous hit, so overlapping occurrences all count.
  for (const char* hit = std::strstr(base, pattern); hit; hit = std::strstr(hit + 1, pattern)) {
    Count(cursor.At(static_cast<std::uint32_t>(hit - base + 1)), times, filter);
  }
}

std::int32_t VerseStore::FindText(const char* query, const std::uint8_t* filter, bool reset) {
  if (reset) Reset();
  if (!loaded_ || !query || !*query) return OccurrenceCount;
  FindPattern(query, filter, 1);
  return OccurrenceCount;
}

// Finds every whole-word occurrence of all derivatives in one pass, which gives
// the same counts and flags as searching " d " for each derivative d in turn.
void VerseStore::FindWholeWords(const WordCounts& words, const std::uint8_t* filter) {
  const auto& counts = words.map;
  TokenFilter candidates;
  bool anyToken = false;
  for (const auto& [word, times] : counts) {
    // A " d " pattern that is no single token only the plain search finds; a few
    // words are found faster one by one than by a pass over every token.
    if (word.empty() || word.find(' ') != std::string_view::npos || counts.size() <= kFewWords) {
      std::string padded;
      padded.append(1, ' ').append(word).append(1, ' ');
      // One pass whatever the listings: each occurrence counts once per listing.
      FindPattern(padded.c_str(), filter, times);
      continue;
    }
    candidates.Add(word);
    anyToken = true;
  }
  if (!anyToken) return;
  const char* text = SearchText.get();
  const char* end = text + searchLength_;
  VerseCursor cursor(VerseIndex.get());
  const char* start = text;
  while (start < end) {
    const char* space = static_cast<const char*>(std::memchr(start, ' ', end - start));
    // A whole word needs a space on both sides; the block's first and last bytes have none.
    if (!space) break;
    if (space > start && start > text) {
      std::string_view token(start, space - start);
      if (candidates.MayHold(token)) {
        auto it = counts.find(token);
        if (it != counts.end()) {
          Count(cursor.At(static_cast<std::uint32_t>(start - text)), it->second, filter);
        }
      }
    }
    start = space + 1;
  }
}

std::int32_t VerseStore::FindRoot(const char* root, const std::uint8_t* filter, bool reset) {
  if (reset) Reset();
  if (!loaded_ || !root) return 0;
  std::string_view r(root);
  if (r.size() > kMaxPatternText) return 0;
  std::string_view block(RootBlock.get(), rootLength_);
  std::string_view body = EntryBody(block, r);
  if (body.data() == nullptr) return 0;
  WordCounts counts;
  AddDerivatives(body, 1, counts);
  FindWholeWords(counts, filter);
  return OccurrenceCount;
}

std::int32_t VerseStore::FindWordRoots(const char* word, const std::uint8_t* filter, bool reset) {
  if (reset) Reset();
  if (!loaded_ || !word) return 0;
  std::string_view w(word);
  if (w.size() > kMaxPatternText) return 0;
  std::string pattern;
  pattern.append(1, '/').append(w).append(1, '/');
  std::string_view block(RootBlock.get(), rootLength_);
  std::size_t at = FindIn(block, pattern, 0);
  if (at == std::string_view::npos) return 0;
  // How often each root lists the word: a root's derivatives count once per listing.
  std::unordered_map<std::string_view, std::int64_t> listings;
  std::string_view root;
  bool rootKnown = false;
  std::size_t entryEnd = 0;
  for (; at != std::string_view::npos; at = FindIn(block, pattern, at + pattern.size())) {
    // The root of the entry is what stands between the last two backslashes before
    // the word; it is looked up again only past the entry's end, so that an entry
    // listing the word many times is read once.
    if (!rootKnown || at > entryEnd) {
      root = {};
      std::size_t close = block.rfind('\\', at);
      if (close != std::string_view::npos && close > 0) {
        std::size_t open = block.rfind('\\', close - 1);
        if (open != std::string_view::npos) root = block.substr(open + 1, close - open - 1);
      }
      entryEnd = block.find('\\', at);
      rootKnown = true;
    }
    if (root.data() != nullptr && root.size() <= kMaxPatternText) ++listings[root];
  }
  WordCounts counts;
  for (const auto& [listedRoot, times] : listings) {
    std::string_view body = EntryBody(block, listedRoot);
    if (body.data() != nullptr) AddDerivatives(body, times, counts);
  }
  FindWholeWords(counts, filter);
  return OccurrenceCount;
}

int VerseStore::GetVerseText(std::uint32_t verseIndex, char* buffer) const {
  return GetVerseText(verseIndex, buffer, kVerseTextSize);
}

int VerseStore::GetVerseText(std::uint32_t verseIndex, char* buffer, std::size_t size) const {
  if (verseIndex >= static_cast<std::uint32_t>(kVerseCount) || !loaded_) return 0;
  const VerseIndexRecord& r = VerseIndex[verseIndex];
  const char* s = DisplayText.get() + r.displayOffset;
  std::uint32_t n = r.displayLength;
  while (n > 0 && *s == ' ') {
    ++s;
    --n;
  }
  while (n > 0 && s[n - 1] == ' ') --n;
  if (n >= size) return 0;
  std::memcpy(buffer, s, n);
  buffer[n] = '\0';
  return 1;
}

std::string TrimBlanks(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string_view QueryStart(std::string_view text, std::size_t longest) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos || text.size() - first <= longest) return text;
  return text.substr(0, first + longest);
}

std::size_t VerseStore::LongestSearchText() const {
  std::size_t longest = 0;
  if (!loaded_) return longest;
  for (int v = 0; v < kVerseCount; ++v)
    longest = std::max<std::size_t>(longest, VerseIndex[v].searchLength);
  return longest;
}

int VerseStore::VerseCount() const {
  return static_cast<int>(std::count_if(std::begin(ResultFlags), std::end(ResultFlags),
                                        [](std::uint8_t f) { return f != 0; }));
}

std::vector<std::string_view> VerseStore::Roots() const {
  std::vector<std::string_view> roots;
  if (!RootBlock) return roots;
  std::string_view block(RootBlock.get(), rootLength_);
  std::size_t open = block.find('\\');
  while (open != std::string_view::npos) {
    std::size_t close = block.find('\\', open + 1);
    if (close == std::string_view::npos) break;
    roots.push_back(block.substr(open + 1, close - open - 1));
    open = block.find('\\', close + 1);
  }
  return roots;
}

std::vector<std::string_view> VerseStore::Derivatives(std::string_view root) const {
  std::vector<std::string_view> derivatives;
  if (!RootBlock) return derivatives;
  std::string_view body = EntryBody(std::string_view(RootBlock.get(), rootLength_), root);
  ForEachDerivative(body, [&](std::string_view d) { derivatives.push_back(d); });
  return derivatives;
}

}  // namespace quran
