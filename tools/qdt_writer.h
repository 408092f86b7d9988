// Writing the two data files from Windows-1256 texts, in the format the store reads.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quran {

struct VerseText {
  int chapter = 0;
  int verse = 0;
  std::string display;  // Windows-1256
  std::string search;   // Windows-1256, words separated by single spaces
};

struct RootEntry {
  std::string root;                      // Windows-1256
  std::vector<std::string> derivatives;  // Windows-1256
};

// Gives the texts their chapter and verse numbers in mushaf order.
std::vector<VerseText> NumberVerses(const std::vector<std::string>& display,
                                    const std::vector<std::string>& search);

// Encodes a Windows-1256 text with the store's alphabet; throws std::runtime_error
// naming the first character the alphabet lacks.
std::string EncodeBlock(std::string_view text);

// The decoded root block: "\root\/derivative/derivative/" per root.
std::string RootBlockText(const std::vector<RootEntry>& roots);

// Both write to a temporary file and rename it, so a failed run leaves no half file.
// Throws std::runtime_error on any fault.
void WriteVerseFile(const std::string& path, const std::vector<VerseText>& verses);
void WriteRootFile(const std::string& path, const std::vector<RootEntry>& roots);
// The Uthmani text's file: its verses in UTF-16 and the marks the store writes in
// their standard code for every font but the Complex's.
void WriteUthmaniFile(const std::string& path, const std::vector<std::u32string>& verses,
                      const std::vector<std::pair<char32_t, char32_t>>& marks);

}  // namespace quran
