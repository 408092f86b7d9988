// Queries on the real data files: every search kind, within results and with the
// reset on and off, keeps the store's promises.
// Input: one byte, its low two bits the kind (text, whole word, root, a word's
// roots), bit 2 set to spell the query in the text's own letters, bit 3 for the
// loose search; then the query.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_checks.h"

namespace {

quran::VerseStore& Store() {
  static quran::VerseStore* store = [] {
    auto* loaded = new quran::VerseStore(QURAN_FUZZ_DATA_DIR);
    quran::fuzz::Check(loaded->LoadFailed == 0, "the real data files load");
    return loaded;
  }();
  return *store;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  quran::VerseStore& store = Store();
  std::string query(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 4) {
    for (char& c : query) c = quran::DecodeAlphabet[static_cast<unsigned char>(c) % 47];
  }
  std::erase(query, '\0');
  using quran::fuzz::Kind;
  Kind kinds[] = {Kind::Text,      Kind::Text,      Kind::Root,      Kind::WordRoots,
                  Kind::LooseText, Kind::LooseText, Kind::LooseRoot, Kind::LooseWordRoots};
  int kind = data[0] & 3;
  if (kind == 1) query = " " + query + " ";

  // Within the verses of a common word, so that filters take something away.
  static std::uint8_t allah[quran::kVerseCount];
  static bool ready = false;
  if (!ready) {
    store.FindText(quran::fuzz::Cp1256(" الله ").c_str(), nullptr, true);
    std::memcpy(allah, store.ResultFlags, sizeof allah);
    ready = true;
  }
  quran::fuzz::CheckSearch(store, kinds[kind + ((data[0] & 8) ? 4 : 0)], query, allah);
  return 0;
}
