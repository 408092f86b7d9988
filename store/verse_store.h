// VerseStore: the verse index, display text, search text and root dictionary,
// read once from the data files, the index of words built from them at load, and
// the searches over them.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data_format.h"
#include "verse_reference.h"

// <commdlg.h> maps FindText to FindTextA; Win32 headers come before this one, so
// the store's operation keeps its name wherever it is called.
#ifdef FindText
#undef FindText
#endif

namespace quran {

struct Listing;
class CandidateFinder;
struct ScanListing;
struct StoreIndex;

// How a query's letters meet the text's. A loose search forgives what people type:
// a bare alef finds أ إ آ too, ي finds ى ئ, ى finds ي, ه and ة find each other, و finds
// ؤ, and ء finds every hamza form; a letter typed with its hamza finds only itself,
// and the query's harakat, tatweel and direction and joiner marks are ignored.
enum class Matching { kExact, kLoose };

class VerseStore {
 public:
  // Loads from the system directory.
  VerseStore();
  // Loads from dataDirectory; for tests and tools that keep the files elsewhere.
  explicit VerseStore(const char* dataDirectory);
  virtual ~VerseStore();
  VerseStore(const VerseStore&) = delete;
  VerseStore& operator=(const VerseStore&) = delete;

  int SetDataDirectory(const char* path);
  int LoadFiles();

  std::int32_t FindText(const char* query, const std::uint8_t* filter, bool reset,
                        Matching matching = Matching::kExact);
  // A loose root search takes every root whose name the root matches.
  std::int32_t FindRoot(const char* root, const std::uint8_t* filter, bool reset,
                        Matching matching = Matching::kExact);
  // A loose search takes the places of every derivative the word matches.
  std::int32_t FindWordRoots(const char* word, const std::uint8_t* filter, bool reset,
                             Matching matching = Matching::kExact);
  // Every distinct word of the text, in any order: a verse is found when each word is
  // found in it, as part of its text or, with wholeWords, as a whole word, by the
  // matching's rule. Its occurrences are each word's own, in the verses found. Fewer
  // than two distinct words are the one word's own search.
  std::int32_t FindAllWords(const char* text, bool wholeWords, const std::uint8_t* filter,
                            bool reset, Matching matching = Matching::kExact);
  // The verses of the ranges, each flagged once and counted as one occurrence: what a
  // reference finds.
  std::int32_t FindVerses(std::span<const VerseRange> ranges, const std::uint8_t* filter,
                          bool reset);
  // Into a buffer of kVerseTextSize bytes.
  int GetVerseText(std::uint32_t verseIndex, char* buffer) const;
  // Refuses (0, buffer untouched) a text that does not fit in size bytes.
  int GetVerseText(std::uint32_t verseIndex, char* buffer, std::size_t size) const;
  std::int32_t VerseAtPosition(std::uint32_t position) const;

  // Number of verses flagged by the last search.
  int VerseCount() const;
  // The longest verse's search text in bytes (0 before a load): no search in any
  // mode finds a query longer than that.
  std::size_t LongestSearchText() const;

  // Every text between a backslash and the next in RootBlock, resuming after the
  // second of each pair: the roots, in block order.
  std::vector<std::string_view> Roots() const;
  // The derivatives of the root's first entry, in entry order.
  std::vector<std::string_view> Derivatives(std::string_view root) const;

  std::uint8_t ResultFlags[kVerseCount];
  std::int32_t OccurrenceCount;
  std::unique_ptr<VerseIndexRecord[]> VerseIndex;
  std::uint8_t LoadFailed;
  char DataDirectory[260];
  std::unique_ptr<char[]> DisplayText;
  std::unique_ptr<char[]> SearchText;
  std::unique_ptr<char[]> RootBlock;

 private:
  void Reset();
  void Construct(const char* dataDirectory);
  bool LoadVerseFile();
  bool LoadRootFile();
  bool RangesValid() const;
  bool BuildIndex();
  // Counts times occurrences in the verse, saturating at the largest count.
  void Count(int verse, std::int64_t times, const std::uint8_t* filter);
  // Every occurrence of the pattern in the text, each counted times.
  void FindPattern(std::string_view pattern, const std::uint8_t* filter, std::int64_t times);
  // Every place of the text the typed text finds by the loose rule.
  void FindLoosePattern(std::string_view typed, const std::uint8_t* filter);
  std::size_t PatternStartsEnd(int verse, std::size_t starts) const;
  // Whether the filter keeps so few verses that a scan should read only theirs.
  static bool Sparse(const std::uint8_t* filter);
  // The candidates of a pattern of one or two bytes, which are its occurrences.
  void CountCandidates(const CandidateFinder& finder, const unsigned char* text, std::size_t starts,
                       const std::uint8_t* filter, std::int64_t times);
  // The candidates of a longer pattern that confirm(start) takes, verse by verse.
  template <typename Confirm>
  void CountConfirmed(const CandidateFinder& finder, const unsigned char* text, std::size_t m,
                      Confirm confirm, const std::uint8_t* filter, std::int64_t times);
  // The derivatives of the root of each place, counted once per place.
  void CountPlaces(std::vector<std::uint32_t>& places, const std::uint8_t* filter);
  // Every occurrence of a word of the text, each counted times.
  void CountWord(std::uint32_t word, std::int64_t times, const std::uint8_t* filter);
  void CountListings(std::span<const Listing> words, std::span<const ScanListing> scans,
                     const std::uint8_t* filter);

  // Where each verse's occurrences are added up as well, while a search of all the
  // words runs; null otherwise.
  std::int64_t* perVerse_ = nullptr;
  bool loaded_ = false;
  std::unique_ptr<StoreIndex> index_;

  std::uint32_t displayLength_ = 0;
  std::uint32_t searchLength_ = 0;
  std::uint32_t rootLength_ = 0;
};

// Longest root or word the searches take: its pattern, two delimiters and the NUL
// fill 1,024 bytes.
inline constexpr std::size_t kMaxPatternText = 1021;

// A query as the searches take it from a field: leading and then trailing blanks
// removed, where only 0x20 counts, so tabs and line breaks stay part of it.
std::string TrimBlanks(std::string_view text);

// The words of a text, split at its spaces; none is empty.
std::vector<std::string_view> SplitWords(std::string_view text);
// Its words, each once, in the order they first stand.
std::vector<std::string_view> DistinctWords(std::string_view text);

// The text without the marks a loose search ignores: harakat (fathatan to sukun),
// tatweel, ZWNJ, ZWJ, LRM and RLM.
std::string WithoutMarks(std::string_view text);

// A search field's text as a search of that matching takes it: for a loose one
// without its marks, then trimmed of blanks. A root is taken as given, marks aside.
std::string FieldQuery(std::string_view field, Matching matching);

// The start of a text that holds every query a search could find in it: its leading
// blanks and then at most `longest` bytes besides the marks a loose search ignores,
// with the marks among and right after them. A pasted page is cut to that before it
// reaches a field.
std::string_view QueryStart(std::string_view text, std::size_t longest);

// Every verse's display text with its terminating zero fits this many bytes: a
// verse file that would need more does not load.
inline constexpr std::size_t kVerseTextSize = 2048;

// The directory the data files are read from by default.
void SystemDirectory(char* buffer, std::size_t size);

}  // namespace quran
