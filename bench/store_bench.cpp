// Search and load timings on the real data files, for the store and for the plain
// searches it replaces (one strstr pass per derivative, a verse look-up from the
// first record for every occurrence).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "codepage.h"
#include "literal_search.h"
#include "verse_store.h"

namespace {

using quran::VerseStore;

std::string Cp1256(const char* utf8) {
  return *quran::Utf8ToCp1256(utf8);
}

// The root with the most derivative forms, and the derivative listed under most roots.
void PickHardestQueries(const VerseStore& store, std::string& root, std::string& word) {
  std::size_t most = 0;
  std::map<std::string_view, int> listings;
  for (std::string_view r : store.Roots()) {
    auto derivatives = store.Derivatives(r);
    if (derivatives.size() > most) {
      most = derivatives.size();
      root = r;
    }
    for (auto d : derivatives) ++listings[d];
  }
  int best = 0;
  for (auto [d, n] : listings) {
    if (n > best) {
      best = n;
      word = d;
    }
  }
  std::printf("root with most derivatives: %s (%zu); word under most roots: %s (%d)\n",
              quran::Cp1256ToUtf8(root).value_or("?").c_str(), most,
              quran::Cp1256ToUtf8(word).value_or("?").c_str(), best);
}

template <typename Search>
void Register(const std::string& name, VerseStore* store, std::string query, Search search) {
  benchmark::RegisterBenchmark(name.c_str(), [store, query, search](benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(search(*store, query.c_str()));
    state.counters["occurrences"] = store->OccurrenceCount;
  })->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
  auto store = std::make_unique<VerseStore>(QURAN_DATA_DIR);
  if (store->LoadFailed) {
    std::fprintf(stderr, "store_bench: no data files in %s\n", QURAN_DATA_DIR);
    return 1;
  }
  std::string root, word;
  PickHardestQueries(*store, root, word);

  benchmark::RegisterBenchmark("Load/both_files", [](benchmark::State& state) {
    for (auto _ : state) {
      VerseStore s(QURAN_DATA_DIR);
      benchmark::DoNotOptimize(s.LoadFailed);
    }
  })->Unit(benchmark::kMicrosecond);

  const std::map<std::string, std::string> texts = {
      {"rare_word", Cp1256(" الصمد ")}, {"allah", Cp1256(" الله ")}, {"alef", Cp1256("ا")}};
  auto fastText = [](VerseStore& s, const char* q) { return s.FindText(q, nullptr, true); };
  auto plainText = [](VerseStore& s, const char* q) {
    return quran::literal::FindText(s, q, nullptr, true);
  };
  for (const auto& [name, q] : texts) {
    Register("FindText/" + name, store.get(), q, fastText);
    Register("Plain/FindText/" + name, store.get(), q, plainText);
  }
  Register("FindRoot/most_derivatives", store.get(), root,
           [](VerseStore& s, const char* q) { return s.FindRoot(q, nullptr, true); });
  Register("Plain/FindRoot/most_derivatives", store.get(), root, [](VerseStore& s, const char* q) {
    return quran::literal::FindRoot(s, q, nullptr, true);
  });
  Register("FindWordRoots/most_roots", store.get(), word,
           [](VerseStore& s, const char* q) { return s.FindWordRoots(q, nullptr, true); });
  Register("Plain/FindWordRoots/most_roots", store.get(), word, [](VerseStore& s, const char* q) {
    return quran::literal::FindWordRoots(s, q, nullptr, true);
  });

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
