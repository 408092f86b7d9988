// Any bytes as the data files: loading refuses what it cannot use, and every
// operation on what loaded stays in bounds, finishes and keeps its promises.
// Input: a 32-bit little-endian length n, n bytes of msdata64.qdt, then the bytes
// of msdata32.qdt; the whole input is also read as the Uthmani text's file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "fuzz_checks.h"
#include "literal_search.h"
#include "uthmani_text.h"

namespace {

using quran::fuzz::Check;
using quran::fuzz::Cp1256;
using quran::fuzz::Kind;

const std::string& WorkDirectory() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/quran-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) std::abort();
    return std::string(made);
  }();
  return dir;
}

void WriteFile(const std::string& path, std::string_view bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

// A query from the input's last bytes: no NUL, as a C string cannot hold one.
std::string QueryFrom(std::string_view bytes) {
  std::string query(bytes.substr(bytes.size() > 24 ? bytes.size() - 24 : 0));
  std::erase(query, '\0');
  return query;
}

// The store's answer against the plain scan's on the same files. The scan walks
// the verse index for every occurrence, so only small texts are compared.
void CheckAgainstPlain(quran::VerseStore& store, quran::VerseStore& plain, Kind kind,
                       const std::string& query, const std::uint8_t* filter) {
  if (store.VerseIndex[quran::kVerseCount - 1].searchOffset > 4096 ||
      std::strlen(store.RootBlock.get()) > 4096) {
    return;
  }
  quran::fuzz::Search(store, kind, query, filter, true);
  switch (kind) {
    case Kind::Text:
      quran::literal::FindText(plain, query.c_str(), filter, true);
      break;
    case Kind::Root:
      quran::literal::FindRoot(plain, query.c_str(), filter, true);
      break;
    case Kind::WordRoots:
      quran::literal::FindWordRoots(plain, query.c_str(), filter, true);
      break;
    case Kind::LooseText:
      quran::literal::FindLooseText(plain, query.c_str(), filter, true);
      break;
    case Kind::LooseRoot:
      quran::literal::FindLooseRoot(plain, query.c_str(), filter, true);
      break;
    case Kind::LooseWordRoots:
      quran::literal::FindLooseWordRoots(plain, query.c_str(), filter, true);
      break;
  }
  Check(store.OccurrenceCount == plain.OccurrenceCount &&
            std::memcmp(store.ResultFlags, plain.ResultFlags, quran::kVerseCount) == 0,
        "the store finds what the plain scan finds");
}

void Exercise(quran::VerseStore& store, quran::VerseStore& plain, std::string_view input) {
  char text[quran::kVerseTextSize];
  for (std::uint32_t v = 0; v <= quran::kVerseCount; ++v) {
    if (store.GetVerseText(v, text)) {
      Check(std::strlen(text) < sizeof text, "a verse fits its buffer");
      Check(std::strcmp(quran::SuraName(store.VerseIndex[v].chapter), "") != 0,
            "every verse has a chapter name");
    }
  }
  for (std::uint32_t p : {0u, 1u, 1000u, 0xFFFFFFFFu}) {
    std::int32_t v = store.VerseAtPosition(p);
    Check(v >= 0 && v < quran::kVerseCount, "a position belongs to a verse");
  }

  static const std::string texts[] = {Cp1256("ا"), Cp1256(" الله "), Cp1256("كتب"), " "};
  std::string query = QueryFrom(input);
  quran::fuzz::CheckSearch(store, Kind::Text, texts[1], nullptr);
  std::uint8_t allah[quran::kVerseCount];
  std::memcpy(allah, store.ResultFlags, sizeof allah);
  for (const std::string& q : texts) quran::fuzz::CheckSearch(store, Kind::Text, q, allah);
  for (Kind kind : {Kind::Text, Kind::Root, Kind::WordRoots, Kind::LooseText, Kind::LooseRoot,
                    Kind::LooseWordRoots}) {
    quran::fuzz::CheckSearch(store, kind, query, allah);
    if (!query.empty()) CheckAgainstPlain(store, plain, kind, query, allah);
    // Padded, the query is a whole word: the look-up of the text's words.
    if (!query.empty()) CheckAgainstPlain(store, plain, kind, " " + query + " ", nullptr);
  }

  int rootsTried = 0;
  for (std::string_view root : store.Roots()) {
    if (++rootsTried > 8) break;
    std::string r(root);
    quran::fuzz::CheckSearch(store, Kind::Root, r, allah);
    CheckAgainstPlain(store, plain, Kind::Root, r, nullptr);
    int derivativesTried = 0;
    for (std::string_view d : store.Derivatives(root)) {
      if (++derivativesTried > 4) break;
      quran::fuzz::CheckSearch(store, Kind::WordRoots, std::string(d), allah);
      CheckAgainstPlain(store, plain, Kind::WordRoots, std::string(d), allah);
      CheckAgainstPlain(store, plain, Kind::Text, " " + std::string(d) + " ", nullptr);
    }
  }
  // A root with a NUL inside has no entry, and the look-up says so.
  store.Derivatives(std::string_view(input.data(), std::min<std::size_t>(input.size(), 8)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t verseBytes = 0;
  if (size >= 4) {
    verseBytes = data[0] | (data[1] << 8) | (data[2] << 16) | (std::size_t{data[3]} << 24);
    input.remove_prefix(4);
  }
  verseBytes = std::min(verseBytes, input.size());
  const std::string& dir = WorkDirectory();
  // The whole input as the Uthmani text's file too: refused whole, or every verse in it.
  WriteFile(dir + "/" + quran::kUthmaniFileName, input);
  quran::UthmaniText uthmani;
  bool uthmaniLoaded = uthmani.Load((dir + "/" + quran::kUthmaniFileName).c_str());
  Check(uthmaniLoaded == uthmani.Loaded(), "the Uthmani text is kept only when it loads");
  for (int v = 0; uthmaniLoaded && v < quran::kVerseCount; ++v) {
    Check(!uthmani.ComplexVerse(v).empty() &&
              uthmani.StandardVerse(v).size() == uthmani.ComplexVerse(v).size(),
          "every Uthmani verse has its text in both encodings");
  }
  WriteFile(dir + "/" + quran::kVerseFileName, input.substr(0, verseBytes));
  WriteFile(dir + "/" + quran::kRootFileName, input.substr(verseBytes));
  quran::VerseStore store(dir.c_str());
  if (store.LoadFailed) {
    char text[quran::kVerseTextSize] = "kept";
    Check(store.GetVerseText(0, text) == 0, "a store that failed gives no text");
    Check(store.FindText("x", nullptr, true) == 0, "a store that failed finds nothing");
    return 0;
  }
  quran::VerseStore plain(dir.c_str());
  Exercise(store, plain, input);
  return 0;
}
