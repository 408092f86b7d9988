// qdt_build: turns the Quran text package and the corpus morphology into the two
// data files the add-in reads.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>

#include "chapter_names.h"
#include "codepage.h"
#include "data_format.h"
#include "qdt_writer.h"
#include "quran_text.h"
#include "roots.h"

namespace {

std::string ToCp1256(const std::string& utf8, const std::string& where) {
  auto out = quran::Utf8ToCp1256(utf8);
  if (!out) throw std::runtime_error(where + ": a character has no Windows-1256 form");
  return *out;
}

int Run(int argc, char** argv) {
  std::string display, search, corpus, outDir, uthmani, uthmaniCheck, marks;
  const std::pair<const char*, std::string*> options[] = {
      {"--display", &display}, {"--search", &search},   {"--corpus", &corpus},
      {"--out", &outDir},      {"--uthmani", &uthmani}, {"--uthmani-check", &uthmaniCheck},
      {"--marks", &marks}};
  for (int i = 1; i + 1 < argc; i += 2) {
    auto option = std::find_if(std::begin(options), std::end(options),
                               [&](const auto& o) { return std::strcmp(o.first, argv[i]) == 0; });
    if (option == std::end(options))
      throw std::runtime_error(std::string("unknown option ") + argv[i]);
    *option->second = argv[i + 1];
  }
  if (display.empty() || search.empty() || corpus.empty() || outDir.empty() || uthmani.empty() ||
      uthmaniCheck.empty() || marks.empty() || argc % 2 == 0) {
    throw std::runtime_error(
        "usage: qdt_build --display MIN.json --search CLEAN.json --corpus MORPHOLOGY "
        "--uthmani HAFS.json --uthmani-check QURAN.json --marks MARKS.txt --out DIR");
  }
  // The chapters' other names are compiled into the store; a name that would read as
  // another chapter's stops the build before any file is written.
  std::vector<std::string> nameProblems = quran::ChapterNameProblems();
  if (!nameProblems.empty()) {
    std::string all;
    for (const std::string& p : nameProblems) all += "\n  " + p;
    throw std::runtime_error("the chapters' names are in conflict:" + all);
  }
  // Every text is read and checked before any file is written.
  auto displayVerses = quran::LoadVerses(display, quran::TextForm::Display);
  std::vector<std::u32string> uthmaniVerses = quran::LoadUthmani(uthmani, uthmaniCheck);
  std::vector<std::pair<char32_t, char32_t>> markPairs;
  for (const quran::MarkMapping& m : quran::LoadMarkMappings(marks))
    markPairs.emplace_back(m.complex, m.standard);
  auto searchVerses = quran::LoadVerses(search, quran::TextForm::Search);

  std::ifstream corpusIn(corpus, std::ios::binary);
  if (!corpusIn) throw std::runtime_error(corpus + ": cannot be opened");
  quran::RootAlignmentStats stats;
  auto roots = quran::BuildRootDictionary(corpusIn, searchVerses, &stats);

  std::vector<std::string> display1256, search1256;
  for (std::size_t i = 0; i < displayVerses.size(); ++i) {
    std::string where = "verse " + std::to_string(i + 1);
    display1256.push_back(ToCp1256(displayVerses[i], display + ", " + where));
    search1256.push_back(ToCp1256(searchVerses[i], search + ", " + where));
  }
  std::vector<quran::RootEntry> entries;
  for (const auto& r : roots) {
    quran::RootEntry e{ToCp1256(r.root, "root"), {}};
    for (const auto& d : r.derivatives) e.derivatives.push_back(ToCp1256(d, "derivative"));
    entries.push_back(std::move(e));
  }

  std::filesystem::create_directories(outDir);
  quran::WriteVerseFile(outDir + "/" + quran::kVerseFileName,
                        quran::NumberVerses(display1256, search1256));
  quran::WriteRootFile(outDir + "/" + quran::kRootFileName, entries);
  quran::WriteUthmaniFile(outDir + "/" + quran::kUthmaniFileName, uthmaniVerses, markPairs);
  std::printf(
      "qdt_build: %zu verses, %zu roots, %d misaligned verses, %d split words, %zu other "
      "chapter names\n",
      display1256.size(), entries.size(), stats.misalignedVerses, stats.splitWords,
      quran::OtherChapterNames().size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "qdt_build: %s\n", e.what());
    return 1;
  }
}
