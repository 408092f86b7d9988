#include "test_data.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

#include "data_format.h"

namespace quran::testing {

std::string W(const std::string& utf8) {
  auto out = Utf8ToCp1256(utf8);
  if (!out) throw std::runtime_error("test literal has no Windows-1256 form: " + utf8);
  return *out;
}

TempDir::TempDir() {
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() / ("quran-test-" + std::to_string(rd()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::vector<VerseText> HandmadeVerses(const std::vector<std::string>& searchUtf8) {
  std::vector<std::string> display, search;
  for (int i = 0; i < kVerseCount; ++i) {
    std::string text = i < static_cast<int>(searchUtf8.size()) ? W(searchUtf8[i]) : W("ظظظ");
    display.push_back(text);
    search.push_back(text);
  }
  return NumberVerses(display, search);
}

std::vector<RootEntry> HandmadeRoots(const std::vector<std::vector<std::string>>& utf8) {
  std::vector<RootEntry> roots;
  for (const auto& entry : utf8) {
    RootEntry r{W(entry.at(0)), {}};
    for (std::size_t i = 1; i < entry.size(); ++i) r.derivatives.push_back(W(entry[i]));
    roots.push_back(r);
  }
  return roots;
}

void WriteFiles(const TempDir& dir, const std::vector<VerseText>& verses,
                const std::vector<RootEntry>& roots) {
  WriteVerseFile((dir.path() / kVerseFileName).string(), verses);
  WriteRootFile((dir.path() / kRootFileName).string(), roots);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteRaw(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace quran::testing
