// Handmade data files for store tests, written by the project's own writer.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "codepage.h"
#include "qdt_writer.h"

namespace quran::testing {

// Windows-1256 from a UTF-8 literal; fails the test binary loudly on a bad literal.
std::string W(const std::string& utf8);

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// The given search texts (UTF-8) as the first verses, display text the same, the
// rest of the 6,236 filled with a word no test searches for.
std::vector<VerseText> HandmadeVerses(const std::vector<std::string>& searchUtf8);

// Roots as {root, derivatives...} in UTF-8.
std::vector<RootEntry> HandmadeRoots(const std::vector<std::vector<std::string>>& utf8);

void WriteFiles(const TempDir& dir, const std::vector<VerseText>& verses,
                const std::vector<RootEntry>& roots);

std::string ReadFile(const std::filesystem::path& path);
void WriteRaw(const std::filesystem::path& path, const std::string& bytes);

}  // namespace quran::testing
