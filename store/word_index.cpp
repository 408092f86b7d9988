#include "word_index.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <string>

#include "candidate_finder.h"
#include "loose_rule.h"
#include "verse_store.h"

namespace quran {
namespace {

// Calls visit with the position of every c in the block, in order.
template <typename Visit>
void ForEachByte(std::string_view block, char c, Visit visit) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
  const CandidateFinder finder(std::string_view(&c, 1));
  // A round's bits are visited in one loop: a text has a space every few bytes, and
  // the loop's end is mispredicted four times less often than a span's would be.
  for (std::size_t at = 0; at < block.size(); at += CandidateFinder::kRound) {
    for (std::uint64_t mask = finder.Round(bytes, block.size(), at); mask != 0; mask &= mask - 1) {
      visit(at + static_cast<std::size_t>(std::countr_zero(mask)));
    }
  }
}

std::vector<std::uint32_t> PositionsOf(std::string_view block, char c) {
  std::vector<std::uint32_t> at;
  ForEachByte(block, c, [&](std::size_t p) { at.push_back(static_cast<std::uint32_t>(p)); });
  return at;
}

template <typename L, typename Key>
void Merge(std::vector<L>& listings, Key key) {
  std::sort(listings.begin(), listings.end(),
            [&](const L& a, const L& b) { return key(a) < key(b); });
  std::size_t kept = 0;
  for (std::size_t i = 0; i < listings.size(); ++i) {
    if (kept > 0 && key(listings[kept - 1]) == key(listings[i])) {
      listings[kept - 1].times =
          SaturatedCount(std::uint64_t{listings[kept - 1].times} + listings[i].times);
    } else {
      listings[kept++] = listings[i];
    }
  }
  listings.resize(kept);
}

// Groups the n entries by id, keeping their order: entry k goes to the group of
// idOf(k) as entryOf(k), or nowhere when idOf(k) is kNoId.
template <typename Entry, typename IdOf, typename EntryOf>
void GroupBy(Groups<Entry>& groups, std::uint32_t ids, std::size_t n, IdOf idOf, EntryOf entryOf) {
  groups.start.assign(std::size_t{ids} + 1, 0);
  for (std::size_t k = 0; k < n; ++k) {
    if (idOf(k) != kNoId) ++groups.start[idOf(k) + 1];
  }
  for (std::uint32_t id = 0; id < ids; ++id) groups.start[id + 1] += groups.start[id];
  groups.entries.resize(groups.start.back());
  std::vector<std::uint32_t> next(groups.start.begin(), groups.start.end() - 1);
  for (std::size_t k = 0; k < n; ++k) {
    if (idOf(k) != kNoId) groups.entries[next[idOf(k)]++] = entryOf(k);
  }
}

bool NeedsScan(std::string_view derivative) {
  return derivative.empty() || derivative.find(' ') != std::string_view::npos;
}

}  // namespace

void MergeListings(std::vector<Listing>& listings) {
  Merge(listings, [](const Listing& l) { return l.word; });
}

void MergeListings(std::vector<ScanListing>& listings) {
  Merge(listings, [](const ScanListing& l) { return l.text; });
}

void ListDerivatives(std::string_view body, const TextIds& words, std::vector<Listing>& found,
                     std::vector<ScanListing>& scans) {
  ForEachDerivative(body, [&](std::string_view d) {
    if (NeedsScan(d)) {
      scans.push_back({d, 1});
    } else if (std::uint32_t w = words.Find(d); w != kNoId) {
      found.push_back({w, 1});
    }
    // A derivative the table lacks stands nowhere in the text: it finds nothing.
  });
  MergeListings(found);
  MergeListings(scans);
}

[[gnu::always_inline]] inline TextIds::Key TextIds::KeyOf(std::string_view text,
                                                          const char* readableEnd) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::uint64_t prefix = 0;
  if (readableEnd - text.data() >= 8) {
    std::memcpy(&prefix, p, 8);
    if (n < 8) prefix &= (std::uint64_t{1} << (8 * n)) - 1;
  } else {
    std::memcpy(&prefix, p, std::min<std::size_t>(n, 8));
  }
  std::uint64_t hash = (prefix ^ (n * 0x9E3779B97F4A7C15u)) * 0xFF51AFD7ED558CCDu;
  if (n > 8) {
    // A longer text by its last eight bytes too: a root entry's body runs to
    // thousands of bytes, and texts that share both ends are told apart by comparing.
    std::uint64_t last = 0;
    std::memcpy(&last, p + n - std::min<std::size_t>(8, n - 8), std::min<std::size_t>(8, n - 8));
    hash = ((hash ^ (hash >> 32)) ^ last) * 0xC4CEB9FE1A85EC53u;
  }
  return {prefix, hash ^ (hash >> 29)};
}

[[gnu::always_inline]] inline std::size_t TextIds::SlotOf(std::string_view text,
                                                          const Key& key) const {
  for (std::size_t i = key.hash & mask_;; i = (i + 1) & mask_) {
    const Slot& s = slots_[i];
    if (s.id == 0) return i;
    if (s.prefix != key.prefix || s.size != text.size()) continue;
    if (text.size() <= 8 || std::memcmp(texts_[s.id - 1], text.data(), text.size()) == 0) return i;
  }
}

void TextIds::Rehash(std::size_t slots) {
  std::vector<Slot> old(slots);
  old.swap(slots_);
  mask_ = slots_.size() - 1;
  room_ = slots_.size() / 8 * 5;
  for (const Slot& s : old) {
    if (s.id == 0) continue;
    std::string_view text(s.size <= 8 ? reinterpret_cast<const char*>(&s.prefix) : texts_[s.id - 1],
                          s.size);
    std::size_t i = KeyOf(text, text.data() + text.size()).hash & mask_;
    while (slots_[i].id != 0) i = (i + 1) & mask_;
    slots_[i] = s;
  }
}

void TextIds::Reserve(std::size_t n) {
  texts_.reserve(n);
  sizes_.reserve(n);
  // Twice the slots growth needs: a look-up then seldom passes a slot of another
  // text, a comparison whose outcome no branch predictor can learn.
  std::size_t slots = std::bit_ceil(std::max<std::size_t>(n * 16 / 5 + 1, 1024));
  if (slots > slots_.size()) Rehash(slots);
}

[[gnu::always_inline]] inline std::uint32_t TextIds::Add(std::string_view text,
                                                         const char* readableEnd) {
  if (texts_.size() >= room_) {
    Rehash(std::max<std::size_t>(1024, slots_.size() * 2));
  }
  Key key = KeyOf(text, readableEnd);
  Slot& slot = slots_[SlotOf(text, key)];
  if (slot.id == 0) {
    texts_.push_back(text.data());
    sizes_.push_back(static_cast<std::uint32_t>(text.size()));
    slot = {key.prefix, Size(), static_cast<std::uint32_t>(text.size())};
  }
  return slot.id - 1;
}

std::uint32_t TextIds::Find(std::string_view text) const {
  if (slots_.empty()) return kNoId;
  std::uint32_t id = slots_[SlotOf(text, KeyOf(text, text.data() + text.size()))].id;
  return id == 0 ? kNoId : id - 1;
}

template <typename Keep>
void LooseKeys::Build(const TextIds& texts, Keep keep) {
  std::size_t total = 0;
  texts.ForEach([&](std::uint32_t, std::string_view text) {
    if (keep(text)) total += text.size();
  });
  folded = std::make_unique_for_overwrite<char[]>(total + 1);
  const char* end = folded.get() + total;
  std::vector<std::uint32_t> keyOf(texts.Size(), kNoId);
  // Words that differ only in letters of one class share a key: fewer keys than texts.
  keys.Reserve(texts.Size() / 2);
  std::size_t at = 0;
  texts.ForEach([&](std::uint32_t id, std::string_view text) {
    if (!keep(text)) return;
    char* key = folded.get() + at;
    for (std::size_t i = 0; i < text.size(); ++i) {
      key[i] = static_cast<char>(KeyByte(static_cast<unsigned char>(text[i])));
    }
    keyOf[id] = keys.Add({key, text.size()}, end);
    at += text.size();
  });
  GroupBy(
      members, keys.Size(), keyOf.size(), [&](std::size_t id) { return keyOf[id]; },
      [](std::size_t id) { return static_cast<std::uint32_t>(id); });
}

std::span<const std::uint32_t> LooseKeys::Candidates(std::string_view query) const {
  std::string key(query.size(), '\0');
  for (std::size_t i = 0; i < query.size(); ++i) {
    key[i] = static_cast<char>(KeyByte(static_cast<unsigned char>(query[i])));
  }
  std::uint32_t id = keys.Find(key);
  if (id == kNoId) return {};
  return members.Of(id);
}

StoreIndex::StoreIndex(std::string_view searchText, const VerseIndexRecord* index,
                       std::string_view rootBlock) {
  const char* textEnd = searchText.data() + searchText.size();
  const char* rootEnd = rootBlock.data() + rootBlock.size();
  // A word takes about six bytes of the text with its space, about one in five is
  // new, and nearly every derivative is a word of the text: room for them all.
  words.Reserve(searchText.size() / 6 / 4);

  // The roots: each first place of a text between two backslashes opens its entry.
  std::vector<std::uint32_t> backslashes = PositionsOf(rootBlock, '\\');
  roots.Reserve(backslashes.size());
  std::vector<std::uint32_t> segmentRoot;
  std::vector<std::uint32_t> entries;  // the segment that opens each root's entry
  for (std::size_t i = 0; i + 1 < backslashes.size(); ++i) {
    std::size_t open = backslashes[i] + 1, close = backslashes[i + 1];
    std::uint32_t id = roots.Add(rootBlock.substr(open, close - open), rootEnd);
    if (id == entries.size()) entries.push_back(static_cast<std::uint32_t>(i));
    segmentRoot.push_back(id);
  }

  // The texts "/w/" can find: every text between neighbouring slashes with no
  // backslash inside.
  std::vector<std::uint32_t> slashes = PositionsOf(rootBlock, '/');
  std::vector<std::uint32_t> segmentWord(slashes.empty() ? 0 : slashes.size() - 1, kNoId);
  std::vector<std::uint32_t> segmentRootOf(segmentWord.size(), kNoId);
  std::size_t before = 0;  // backslashes before the segment's opening slash
  for (std::size_t j = 0; j + 1 < slashes.size(); ++j) {
    while (before < backslashes.size() && backslashes[before] < slashes[j]) ++before;
    std::size_t open = slashes[j] + 1, close = slashes[j + 1];
    if (close == open || (before < backslashes.size() && backslashes[before] < close)) continue;
    segmentWord[j] = words.Add(rootBlock.substr(open, close - open), rootEnd);
    // The root of the entry it stands in: the text between the last two backslashes.
    if (before >= 2 && backslashes[before - 1] - backslashes[before - 2] - 1 <= kMaxPatternText) {
      segmentRootOf[j] = segmentRoot[before - 2];
    }
  }

  // Each word with a space on both sides, and its verse: the verse of its first byte.
  // A word and the space after it take two bytes at least.
  const std::size_t most = searchText.size() / 2 + 1;
  auto tokenWord = std::make_unique_for_overwrite<std::uint32_t[]>(most);
  auto tokenVerse = std::make_unique_for_overwrite<std::uint16_t[]>(most);
  std::size_t tokens = 0;
  VerseCursor cursor(index);
  std::size_t start = SIZE_MAX;  // after the last space; none seen yet
  ForEachByte(searchText, ' ', [&](std::size_t space) {
    if (space > start) {
      tokenWord[tokens] = words.Add({searchText.data() + start, space - start}, textEnd);
      tokenVerse[tokens++] =
          static_cast<std::uint16_t>(cursor.At(static_cast<std::uint32_t>(start)));
    }
    start = space + 1;
  });

  const std::uint32_t wordCount = words.Size();

  // Each word's places between slashes, in block order.
  GroupBy(
      slashWords, wordCount, segmentWord.size(), [&](std::size_t j) { return segmentWord[j]; },
      [&](std::size_t j) {
        return SlashWord{static_cast<std::uint32_t>(j), segmentRootOf[j]};
      });

  // Each root's derivatives: the texts between the slashes of its entry's body,
  // a word listed twice counted twice.
  std::vector<std::uint32_t> listedBy(wordCount, kNoId), listedAt(wordCount);
  std::vector<ScanListing> scans;
  // Only a damaged block has spaces; a well-formed one spares the look in each derivative.
  const bool spacesInBlock = rootBlock.find(' ') != std::string_view::npos;
  std::size_t j = 0;  // the entries stand in block order, and so do their slashes
  for (std::uint32_t root = 0; root < entries.size(); ++root) {
    std::uint32_t i = entries[root];
    std::size_t bodyStart = backslashes[i + 1] + 1;
    std::size_t bodyEnd = i + 2 < backslashes.size() ? backslashes[i + 2] : rootBlock.size();
    scans.clear();
    while (j < slashes.size() && slashes[j] < bodyStart) ++j;
    for (; j + 1 < slashes.size() && slashes[j + 1] < bodyEnd; ++j) {
      std::string_view d = rootBlock.substr(slashes[j] + 1, slashes[j + 1] - slashes[j] - 1);
      if (d.empty() || (spacesInBlock && NeedsScan(d))) {
        scans.push_back({d, 1});
        continue;
      }
      std::uint32_t w = segmentWord[j];
      if (listedBy[w] == root) {
        Listing& l = listings.entries[listedAt[w]];
        l.times = SaturatedCount(std::uint64_t{l.times} + 1);
        continue;
      }
      listedBy[w] = root;
      listedAt[w] = static_cast<std::uint32_t>(listings.entries.size());
      listings.entries.push_back({w, 1});
    }
    listings.Close();
    MergeListings(scans);
    scanListings.entries.insert(scanListings.entries.end(), scans.begin(), scans.end());
    scanListings.Close();
  }

  // Each word's occurrences, the verse of each, in text order.
  GroupBy(
      occurrences, wordCount, tokens, [&](std::size_t k) { return tokenWord[k]; },
      [&](std::size_t k) { return tokenVerse[k]; });

  letterPlane = std::make_unique_for_overwrite<unsigned char[]>(searchText.size() + 1);
  hamzaPlane = std::make_unique_for_overwrite<unsigned char[]>(searchText.size() + 1);
  FoldText(searchText.data(), searchText.size(), Plane::kLetters,
           reinterpret_cast<char*>(letterPlane.get()));
  FoldText(searchText.data(), searchText.size(), Plane::kHamzas,
           reinterpret_cast<char*>(hamzaPlane.get()));
  letterPlane[searchText.size()] = hamzaPlane[searchText.size()] = 0;
  wordKeys.Build(words, [](std::string_view) { return true; });
  rootKeys.Build(roots, [](std::string_view root) {
    return root.find_first_of("/\\") == std::string_view::npos;
  });
}

}  // namespace quran
