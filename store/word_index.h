// The indexes a store builds once at load: the search text's words with the verses
// each stands in, and the root block's roots and derivatives resolved to those
// words. A whole-word, root or derivatives search then reads its own answer instead
// of the text, so its answer's size, not the text's, bounds the work.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "data_format.h"

namespace quran {

inline constexpr std::uint32_t kNoId = 0xFFFFFFFF;

// Distinct texts, each with a dense id in order of first addition. The texts added
// stay in the block they were cut from; a look-up may come from anywhere.
class TextIds {
 public:
  // The text's id, added when new. The bytes up to readableEnd may be read. Defined
  // in word_index.cpp, inline into the loops that add every word of the text: a
  // call from elsewhere is a compile error, not a missing symbol.
  inline std::uint32_t Add(std::string_view text, const char* readableEnd);
  std::uint32_t Find(std::string_view text) const;
  std::uint32_t Size() const { return static_cast<std::uint32_t>(texts_.size()); }
  // Where the text of an id starts.
  const char* TextAt(std::uint32_t id) const { return texts_[id]; }
  // Calls visit(id, text) for every text, in order of id: the order the texts were
  // added, so that their bytes are read as they stand in their blocks.
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (std::uint32_t id = 0; id < Size(); ++id)
      visit(id, std::string_view(texts_[id], sizes_[id]));
  }
  // Room for n texts without growing.
  void Reserve(std::size_t n);

 private:
  // A slot holds the text's first eight bytes zero-padded, its length and id: a
  // text of up to eight bytes is found without reading anything else.
  struct Slot {
    std::uint64_t prefix;
    std::uint32_t id;  // id + 1, or 0 for a free slot
    std::uint32_t size;
  };
  struct Key {
    std::uint64_t prefix;  // the first eight bytes, zero-padded
    std::uint64_t hash;
  };
  static Key KeyOf(std::string_view text, const char* readableEnd);
  std::size_t SlotOf(std::string_view text, const Key& key) const;
  void Rehash(std::size_t slots);

  std::vector<Slot> slots_;         // a power of two long, at most five eighths full
  std::vector<const char*> texts_;  // where each text starts
  std::vector<std::uint32_t> sizes_;
  std::size_t mask_ = 0;  // the slots less one
  std::size_t room_ = 0;  // how many texts fit before the slots grow
};

// Entries grouped by id in one array: those of id i are entries[start[i], start[i + 1]).
template <typename Entry>
struct Groups {
  std::vector<std::uint32_t> start{0};
  std::vector<Entry> entries;

  std::span<const Entry> Of(std::uint32_t id) const {
    return {entries.data() + start[id], entries.data() + start[id + 1]};
  }
  void Close() { start.push_back(static_cast<std::uint32_t>(entries.size())); }
};

// Texts grouped by the keys of their letters (KeyByte): the texts a loose query can
// find are among those that share its key, a few at most.
struct LooseKeys {
  // Keys the texts that pass keep(text). Throws when memory runs out.
  template <typename Keep>
  void Build(const TextIds& texts, Keep keep);
  // The ids of the texts that share the query's key.
  std::span<const std::uint32_t> Candidates(std::string_view query) const;

  TextIds keys;
  std::unique_ptr<char[]> folded;  // each text's key, one after another
  Groups<std::uint32_t> members;
};

// A derivative of a root's entry, with how often the entry lists it.
struct Listing {
  std::uint32_t word;  // id in StoreIndex::words
  std::uint32_t times;
};

// A derivative that is no single word of the text (empty, or holding a space): only
// a search for " d " over the text finds it.
struct ScanListing {
  std::string_view text;
  std::uint32_t times;
};

// A whole derivative as "/w/" finds it in the root block, and the root of the entry
// it stands in (kNoId when no root marker comes before it).
struct SlashWord {
  std::uint32_t segment;  // which slash opens it, counted from the block's first
  std::uint32_t root;     // id in StoreIndex::roots
};

// Every text between two neighbouring slashes of an entry's body, in order; text
// after the last slash is no derivative.
template <typename Visit>
void ForEachDerivative(std::string_view body, Visit visit) {
  std::size_t slash = body.find('/');
  while (slash != std::string_view::npos) {
    std::size_t next = body.find('/', slash + 1);
    if (next == std::string_view::npos) break;
    visit(body.substr(slash + 1, next - slash - 1));
    slash = next;
  }
}

// A count past the largest 32-bit value stays there.
inline std::uint32_t SaturatedCount(std::uint64_t n) {
  return n < INT32_MAX ? static_cast<std::uint32_t>(n) : INT32_MAX;
}

// Sorts by word and adds up the times of each, saturating at the largest count.
void MergeListings(std::vector<Listing>& listings);
void MergeListings(std::vector<ScanListing>& listings);

// The derivatives of an entry's body, merged: those that are words of the text in
// found, those only a scan finds in scans; the rest find nothing and are left out.
void ListDerivatives(std::string_view body, const TextIds& words, std::vector<Listing>& found,
                     std::vector<ScanListing>& scans);

// Yields the verse of each position of a rising sequence without rescanning the index.
class VerseCursor {
 public:
  explicit VerseCursor(const VerseIndexRecord* index) : index_(index) {}
  // Never past the last verse, whatever the ranges hold.
  int At(std::uint32_t position) {
    while (position >= end_ && verse_ < kVerseCount - 1) {
      ++verse_;
      end_ = verse_ < kVerseCount - 1 ? End(verse_) : UINT32_MAX;
    }
    return verse_;
  }

 private:
  std::uint32_t End(int i) const { return index_[i].searchOffset + index_[i].searchLength; }
  const VerseIndexRecord* index_;
  int verse_ = 0;
  std::uint32_t end_ = End(0);  // where verse_ ends; the last verse takes the rest
};

struct StoreIndex {
  // Throws when memory runs out.
  StoreIndex(std::string_view searchText, const VerseIndexRecord* index,
             std::string_view rootBlock);
  StoreIndex(const StoreIndex&) = delete;
  StoreIndex& operator=(const StoreIndex&) = delete;

  // Every text between two neighbouring slashes of the root block that holds no
  // backslash, and every text of the search text with a space on both sides.
  TextIds words;
  // Each occurrence of each word: the verse of its first byte, as a search for the
  // word padded with spaces counts it; in text order.
  Groups<std::uint16_t> occurrences;
  // Each place of a word between two slashes, in block order.
  Groups<SlashWord> slashWords;
  // Every text between two neighbouring backslashes, with the derivatives of the
  // entry its first such place opens, as a search for "\root\" finds it.
  TextIds roots;
  Groups<Listing> listings;
  Groups<ScanListing> scanListings;

  // The loose search's folds of the search text (loose_rule.h), at the same offsets.
  std::unique_ptr<unsigned char[]> letterPlane, hamzaPlane;
  // The words, and the roots that hold no delimiter, by key.
  LooseKeys wordKeys, rootKeys;
};

}  // namespace quran
