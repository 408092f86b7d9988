// The root dictionary: for every root of the Quranic Arabic Corpus morphology, the
// distinct whole words of the search text that carry a stem of that root.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace quran {

struct RootDerivatives {
  std::string root;                      // Arabic letters, UTF-8, as a dictionary lists it
  std::vector<std::string> derivatives;  // search-text words, UTF-8, first occurrence first
  int corpusWords = 0;                   // words the corpus itself tags with this root
};

struct RootAlignmentStats {
  int verses = 0;
  int misalignedVerses = 0;  // verses whose corpus words could not be matched to text words
  int splitWords = 0;        // corpus words written as two or more text words
  int versesWithSplits = 0;
  int joinedWords = 0;                      // text words that join two corpus words
  int nearMatchVerses = 0;                  // aligned only by letting a word be one letter off
  std::vector<int> misalignedVerseIndexes;  // zero-based, for diagnostics
};

// corpus: the morphology file. searchVerses: the 6,236 cleaned search texts (UTF-8,
// words separated by single spaces). Roots come in order of first occurrence.
// Throws std::runtime_error on a malformed corpus.
std::vector<RootDerivatives> BuildRootDictionary(std::istream& corpus,
                                                 const std::vector<std::string>& searchVerses,
                                                 RootAlignmentStats* stats);

}  // namespace quran
