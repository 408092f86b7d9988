#include "verse_store.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "candidate_finder.h"
#include "data_file.h"
#include "loose_rule.h"
#include "word_index.h"

namespace quran {
namespace {

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
  DecodeBlock(block.get(), length);
  block[length] = '\0';
  return true;
}

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

// A query as a search of that matching reads it; a loose one's text without its marks
// is kept in *kept.
std::string_view Taken(const char* query, Matching matching, std::string* kept) {
  if (matching != Matching::kLoose) return query;
  *kept = WithoutMarks(query);
  return *kept;
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
  index_.reset();
  loaded_ = LoadVerseFile() && LoadRootFile() && BuildIndex();
  return loaded_ ? 1 : 0;
}

bool VerseStore::BuildIndex() {
  try {
    index_ = std::make_unique<StoreIndex>(std::string_view(SearchText.get(), searchLength_),
                                          VerseIndex.get(),
                                          std::string_view(RootBlock.get(), rootLength_));
    return true;
  } catch (const std::exception&) {
    // Without its index the store cannot search: as with the files, no memory fails the load.
    return false;
  }
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
  DecodeBlock(RootBlock.get(), n);
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
  if (perVerse_) perVerse_[verse] += times;
}

// Where the starts of the occurrences verse v counts end: an occurrence counts for
// the verse that holds its second byte.
std::size_t VerseStore::PatternStartsEnd(int v, std::size_t starts) const {
  const VerseIndexRecord& r = VerseIndex[v];
  std::uint64_t end = std::uint64_t{r.searchOffset} + r.searchLength;
  return v == kVerseCount - 1 || end > starts ? starts : (end == 0 ? 0 : end - 1);
}

// The candidates of a block of spans are counted first, and a verse's count is the
// difference of the counts before its two ends: a verse ends at no fixed span, and
// a loop per verse would mispredict its exit at every one.
void VerseStore::CountCandidates(const CandidateFinder& finder, const unsigned char* text,
                                 std::size_t starts, const std::uint8_t* filter,
                                 std::int64_t times) {
  constexpr std::size_t kSpan = CandidateFinder::kSpan, kSpans = 256;
  std::uint32_t before[kSpans + 1];  // candidates in the block before each span
  std::uint32_t masks[kSpans + 1];
  std::uint64_t counted = 0;  // candidates before the block
  std::uint64_t atFrom = 0;   // candidates before from
  std::size_t from = 0;
  int v = 0;
  for (std::size_t block = 0; block < starts && v < kVerseCount; block += kSpans * kSpan) {
    const std::size_t spans = std::min(kSpans, (starts - block + kSpan - 1) / kSpan);
    before[0] = 0;
    for (std::size_t k = 0; k < spans; ++k) {
      masks[k] = finder.Candidates(text, searchLength_, block + k * kSpan);
      before[k + 1] = before[k] + CandidateFinder::CountSpanBits(masks[k]);
    }
    masks[spans] = 0;
    for (; v < kVerseCount; ++v) {
      std::size_t to = PatternStartsEnd(v, starts);
      if (to <= from) continue;
      if (to > block + spans * kSpan) break;  // it ends in a later block
      std::size_t k = (to - block) / kSpan;
      std::uint32_t partial = masks[k] & ((1u << ((to - block) % kSpan)) - 1);
      std::uint64_t atTo = counted + before[k] + CandidateFinder::CountSpanBits(partial);
      if (atTo > atFrom) Count(v, static_cast<std::int64_t>(atTo - atFrom) * times, filter);
      from = to;
      atFrom = atTo;
    }
    counted += before[spans];
  }
}

// A filter keeping few verses is read verse by verse, skipping the others: the
// block count reads the whole text whatever the filter keeps.
bool VerseStore::Sparse(const std::uint8_t* filter) {
  if (!filter) return false;
  int kept = 0;
  for (int v = 0; v < kVerseCount; ++v) kept += filter[v] != 0;
  return kept < kVerseCount / 2;
}

// One pass over each run of verses the filter keeps, sixteen starting positions at
// a time: the positions whose first and last bytes match are candidates, and an
// occurrence counts for the verse that holds its second byte. A run is read in one
// stretch, as a verse's end cut into a span would cost a span more per verse.
template <typename Confirm>
void VerseStore::CountConfirmed(const CandidateFinder& finder, const unsigned char* text,
                                std::size_t m, Confirm confirm, const std::uint8_t* filter,
                                std::int64_t times) {
  const std::size_t length = searchLength_, starts = length - m + 1;
  std::size_t from = 0;  // where the starts of verse v begin
  for (int v = 0; v < kVerseCount && from < starts;) {
    int after = v;  // the first verse past the run
    while (after < kVerseCount && (!filter || filter[after] != 0)) ++after;
    const std::size_t runEnd =
        after > v ? std::max(from, PatternStartsEnd(after - 1, starts)) : from;
    int verse = v;
    std::size_t verseEnd = PatternStartsEnd(verse, starts);
    std::int64_t found = 0;
    for (std::size_t at = from; at < runEnd; at += CandidateFinder::kSpan) {
      std::uint32_t mask = finder.Candidates(text, length, at);
      if (runEnd - at < CandidateFinder::kSpan) mask &= (1u << (runEnd - at)) - 1;
      for (; mask != 0; mask &= mask - 1) {
        const std::size_t start = at + static_cast<std::size_t>(std::countr_zero(mask));
        if (!confirm(start)) continue;
        while (start >= verseEnd) {
          if (found > 0) Count(verse, found * times, filter);
          found = 0;
          verseEnd = PatternStartsEnd(++verse, starts);
        }
        ++found;
      }
    }
    if (found > 0) Count(verse, found * times, filter);
    from = after < kVerseCount ? std::max(runEnd, PatternStartsEnd(after, starts)) : runEnd;
    v = after + 1;
  }
}

void VerseStore::FindPattern(std::string_view pattern, const std::uint8_t* filter,
                             std::int64_t times) {
  const std::size_t m = pattern.size();
  if (m == 0 || m > searchLength_) return;
  const auto* text = reinterpret_cast<const unsigned char*>(SearchText.get());
  const CandidateFinder finder(pattern);
  // A pattern of one or two bytes is its first and last byte: its candidates are
  // its occurrences.
  if (m <= 2 && !Sparse(filter))
    return CountCandidates(finder, text, searchLength_ - m + 1, filter, times);
  // The finder matched both ends; most candidates differ at the next byte, which a
  // loop sees sooner than a call to memcmp returns.
  const auto* bytes = reinterpret_cast<const unsigned char*>(pattern.data());
  CountConfirmed(
      finder, text, m,
      [&](std::size_t start) {
        for (std::size_t i = 1; i + 1 < m; ++i) {
          if (text[start + i] != bytes[i]) return false;
        }
        return true;
      },
      filter, times);
}

// Each typed letter is one byte in one fold of the text (its plane), so a place is
// found when every letter's byte stands in its plane there; the ends' planes give
// the candidates.
void VerseStore::FindLoosePattern(std::string_view typed, const std::uint8_t* filter) {
  const std::size_t m = typed.size();
  if (m == 0 || m > searchLength_) return;
  const unsigned char* planes[kPlanes] = {reinterpret_cast<const unsigned char*>(SearchText.get()),
                                          index_->letterPlane.get(), index_->hamzaPlane.get()};
  std::string bytes(m, '\0');
  std::vector<const unsigned char*> textOf(m);
  for (std::size_t i = 0; i < m; ++i) {
    PlaneByte p = PlaneOf(static_cast<unsigned char>(typed[i]));
    bytes[i] = static_cast<char>(p.byte);
    textOf[i] = planes[static_cast<int>(p.plane)];
  }
  const CandidateFinder finder(bytes, textOf[m - 1] == textOf[0] ? nullptr : textOf[m - 1]);
  if (m <= 2 && !Sparse(filter))
    return CountCandidates(finder, textOf[0], searchLength_ - m + 1, filter, 1);
  CountConfirmed(
      finder, textOf[0], m,
      [&](std::size_t start) {
        for (std::size_t i = 1; i + 1 < m; ++i) {
          if (textOf[i][start + i] != static_cast<unsigned char>(bytes[i])) return false;
        }
        return true;
      },
      filter, 1);
}

void VerseStore::CountWord(std::uint32_t word, std::int64_t times, const std::uint8_t* filter) {
  std::span<const std::uint16_t> verses = index_->occurrences.Of(word);
  for (std::size_t i = 0; i < verses.size();) {
    std::size_t run = i + 1;
    while (run < verses.size() && verses[run] == verses[i]) ++run;
    Count(verses[i], static_cast<std::int64_t>(run - i) * times, filter);
    i = run;
  }
}

void VerseStore::CountListings(std::span<const Listing> words, std::span<const ScanListing> scans,
                               const std::uint8_t* filter) {
  for (const Listing& l : words) CountWord(l.word, l.times, filter);
  for (const ScanListing& s : scans) {
    std::string padded;
    padded.append(1, ' ').append(s.text).append(1, ' ');
    FindPattern(padded, filter, s.times);
  }
}

std::int32_t VerseStore::FindText(const char* query, const std::uint8_t* filter, bool reset,
                                  Matching matching) {
  if (reset) Reset();
  if (!loaded_ || !query || !*query) return OccurrenceCount;
  const bool loose = matching == Matching::kLoose;
  std::string kept;
  std::string_view q = Taken(query, matching, &kept);
  // One word between two spaces is a look-up; the words index it wherever it stands.
  if (q.size() > 2 && q.front() == ' ' && q.back() == ' ' && q.find(' ', 1) == q.size() - 1) {
    std::string_view w = q.substr(1, q.size() - 2);
    if (!loose) {
      std::uint32_t word = index_->words.Find(w);
      if (word != kNoId) CountWord(word, 1, filter);
      return OccurrenceCount;
    }
    for (std::uint32_t word : index_->wordKeys.Candidates(w)) {
      if (TextFinds(w, index_->words.TextAt(word))) CountWord(word, 1, filter);
    }
    return OccurrenceCount;
  }
  if (loose) {
    FindLoosePattern(q, filter);
  } else {
    FindPattern(q, filter, 1);
  }
  return OccurrenceCount;
}

std::int32_t VerseStore::FindAllWords(const char* text, bool wholeWords, const std::uint8_t* filter,
                                      bool reset, Matching matching) {
  std::uint8_t previous[kVerseCount];
  std::int64_t previousCount = reset ? 0 : OccurrenceCount;
  if (reset) {
    std::memset(previous, 0, sizeof previous);
  } else {
    std::memcpy(previous, ResultFlags, sizeof previous);
  }
  Reset();
  if (!loaded_ || !text) return OccurrenceCount;
  std::string kept;
  std::string_view typed = Taken(text, matching, &kept);
  std::vector<std::string_view> words = DistinctWords(typed);
  // Longer words are rarer: searched first, they leave the others few verses to read.
  std::stable_sort(words.begin(), words.end(),
                   [](std::string_view a, std::string_view b) { return a.size() > b.size(); });
  // Each word searched within the verses that hold the words before it, every verse's
  // occurrences added up on the way: the verses left hold them all.
  std::vector<std::int64_t> sums(kVerseCount, 0);
  std::vector<std::uint8_t> within(kVerseCount, 1);
  if (filter) within.assign(filter, filter + kVerseCount);
  perVerse_ = sums.data();
  // Off again however the search ends, a throw included.
  struct Done {
    std::int64_t*& perVerse;
    ~Done() { perVerse = nullptr; }
  } done{perVerse_};
  for (std::string_view w : words) {
    std::string query(w);
    if (wholeWords) query = " " + query + " ";
    Reset();
    FindText(query.c_str(), within.data(), false, matching);
    std::memcpy(within.data(), ResultFlags, kVerseCount);
    if (OccurrenceCount == 0) break;
  }
  std::int64_t count = previousCount;
  for (int v = 0; v < kVerseCount; ++v) {
    if (ResultFlags[v]) count += sums[v];
    ResultFlags[v] |= previous[v];
  }
  OccurrenceCount = static_cast<std::int32_t>(std::min<std::int64_t>(count, INT32_MAX));
  return OccurrenceCount;
}

std::int32_t VerseStore::FindVerses(std::span<const VerseRange> ranges, const std::uint8_t* filter,
                                    bool reset) {
  if (reset) Reset();
  if (!loaded_) return OccurrenceCount;
  for (const VerseRange& range : ranges) {
    if (range.chapter < 1 || range.chapter > kChapterCount || range.first < 1 ||
        range.last > kChapterVerseCounts[range.chapter - 1])
      continue;
    for (int verse = range.first; verse <= range.last; ++verse) {
      int v = VerseIndexOf(range.chapter, verse);
      if (!ResultFlags[v]) Count(v, 1, filter);
    }
  }
  return OccurrenceCount;
}

std::int32_t VerseStore::FindRoot(const char* root, const std::uint8_t* filter, bool reset,
                                  Matching matching) {
  if (reset) Reset();
  if (!loaded_ || !root) return 0;
  const bool loose = matching == Matching::kLoose;
  std::string kept;
  std::string_view r = Taken(root, matching, &kept);
  if (r.size() > kMaxPatternText) return 0;
  // A root with a delimiter of its own is taken as it stands.
  if (loose && r.find_first_of("/\\") == std::string_view::npos) {
    for (std::uint32_t id : index_->rootKeys.Candidates(r)) {
      if (TextFinds(r, index_->roots.TextAt(id))) {
        CountListings(index_->listings.Of(id), index_->scanListings.Of(id), filter);
      }
    }
    return OccurrenceCount;
  }
  if (r.find('\\') == std::string_view::npos) {
    std::uint32_t id = index_->roots.Find(r);
    if (id == kNoId) return 0;
    CountListings(index_->listings.Of(id), index_->scanListings.Of(id), filter);
    return OccurrenceCount;
  }
  // A root holding a backslash can only be matched across entries of the block.
  std::string_view body = EntryBody(std::string_view(RootBlock.get(), rootLength_), r);
  if (body.data() == nullptr) return 0;
  std::vector<Listing> found;
  std::vector<ScanListing> scans;
  ListDerivatives(body, index_->words, found, scans);
  CountListings(found, scans, filter);
  return OccurrenceCount;
}

std::int32_t VerseStore::FindWordRoots(const char* word, const std::uint8_t* filter, bool reset,
                                       Matching matching) {
  if (reset) Reset();
  if (!loaded_ || !word) return 0;
  const bool loose = matching == Matching::kLoose;
  std::string kept;
  std::string_view w = Taken(word, matching, &kept);
  if (w.size() > kMaxPatternText) return 0;
  // The root of each place "/w/" is found, one per place.
  std::vector<std::uint32_t> places;
  if (!w.empty() && w.find_first_of("/\\") == std::string_view::npos) {
    std::span<const SlashWord> found;
    std::vector<SlashWord> merged;
    if (!loose) {
      std::uint32_t id = index_->words.Find(w);
      if (id == kNoId) return 0;
      found = index_->slashWords.Of(id);
    } else {
      for (std::uint32_t id : index_->wordKeys.Candidates(w)) {
        if (!TextFinds(w, index_->words.TextAt(id))) continue;
        auto of = index_->slashWords.Of(id);
        merged.insert(merged.end(), of.begin(), of.end());
      }
      // The places of several words, in block order, as one scan of the block meets them.
      std::sort(merged.begin(), merged.end(),
                [](const SlashWord& a, const SlashWord& b) { return a.segment < b.segment; });
      found = merged;
    }
    std::uint32_t previous = kNoId;
    for (const SlashWord& s : found) {
      // A find resumes after the closing slash, so the place that opens with it is passed.
      if (previous != kNoId && s.segment == previous + 1) continue;
      previous = s.segment;
      if (s.root != kNoId) places.push_back(s.root);
    }
    // Spellings the word finds under one root (امن: آمن and أمن) name that root once.
    if (loose) {
      std::sort(places.begin(), places.end());
      places.erase(std::unique(places.begin(), places.end()), places.end());
    }
  } else {
    // Only a word with a delimiter of its own reads the block as it stands.
    std::string pattern;
    pattern.append(1, '/').append(w).append(1, '/');
    std::string_view block(RootBlock.get(), rootLength_);
    std::size_t at = FindIn(block, pattern, 0);
    if (at == std::string_view::npos) return 0;
    for (; at != std::string_view::npos; at = FindIn(block, pattern, at + pattern.size())) {
      std::size_t close = block.rfind('\\', at);
      if (close == std::string_view::npos || close == 0) continue;
      std::size_t open = block.rfind('\\', close - 1);
      if (open == std::string_view::npos || close - open - 1 > kMaxPatternText) continue;
      std::uint32_t root = index_->roots.Find(block.substr(open + 1, close - open - 1));
      if (root != kNoId) places.push_back(root);
    }
  }
  CountPlaces(places, filter);
  return OccurrenceCount;
}

// Each root once, its derivatives counted once per place that named it.
void VerseStore::CountPlaces(std::vector<std::uint32_t>& places, const std::uint8_t* filter) {
  std::sort(places.begin(), places.end());
  std::vector<Listing> found;
  std::vector<ScanListing> scans;
  for (std::size_t i = 0; i < places.size();) {
    std::size_t j = i;
    while (j < places.size() && places[j] == places[i]) ++j;
    std::uint64_t times = j - i;
    for (const Listing& l : index_->listings.Of(places[i])) {
      found.push_back({l.word, SaturatedCount(times * l.times)});
    }
    for (const ScanListing& l : index_->scanListings.Of(places[i])) {
      scans.push_back({l.text, SaturatedCount(times * l.times)});
    }
    i = j;
  }
  MergeListings(found);
  MergeListings(scans);
  CountListings(found, scans, filter);
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

std::vector<std::string_view> SplitWords(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) words.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

std::vector<std::string_view> DistinctWords(std::string_view text) {
  std::vector<std::string_view> words;
  for (std::string_view w : SplitWords(text)) {
    if (std::find(words.begin(), words.end(), w) == words.end()) words.push_back(w);
  }
  return words;
}

std::string WithoutMarks(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  for (char c : text) {
    if (!IsIgnoredMark(static_cast<unsigned char>(c))) kept.push_back(c);
  }
  return kept;
}

std::string FieldQuery(std::string_view field, Matching matching) {
  return TrimBlanks(matching == Matching::kLoose ? WithoutMarks(field) : std::string(field));
}

std::string_view QueryStart(std::string_view text, std::size_t longest) {
  std::size_t end = text.find_first_not_of(' ');
  if (end == std::string_view::npos) return text;
  // A verse selected from a citation carries its harakat: they cost a loose search
  // nothing, so they do not count toward the longest verse.
  for (std::size_t kept = 0; end < text.size(); ++end) {
    bool mark = IsIgnoredMark(static_cast<unsigned char>(text[end]));
    if (!mark && kept == longest) break;
    if (!mark) ++kept;
  }
  return text.substr(0, end);
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
