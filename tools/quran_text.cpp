#include "quran_text.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "codepage.h"
#include "data_format.h"

namespace quran {
namespace {

bool IsPauseMark(char32_t cp) {
  return (cp >= 0x06D6 && cp <= 0x06DC) || cp == 0x06E9;
}

}  // namespace

std::string CleanVerse(std::string_view utf8, TextForm form) {
  auto in = Utf8ToUtf32(utf8);
  if (!in) throw std::runtime_error("verse text is not valid UTF-8");
  std::u32string cps;
  for (char32_t cp : *in) {
    if (IsPauseMark(cp)) continue;
    if (cp == 0x00A0) cp = U' ';
    if (form == TextForm::Display && cp == 0x0670) {
      if (!cps.empty() && cps.back() == 0x0640) cps.pop_back();
      continue;
    }
    if (cp == U' ' && (cps.empty() || cps.back() == U' ')) continue;
    cps.push_back(cp);
  }
  while (!cps.empty() && cps.back() == U' ') cps.pop_back();
  return *Utf32ToUtf8(cps);
}

std::vector<std::string> LoadVerses(const std::string& path, TextForm form) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot be opened");
  nlohmann::json doc;
  try {
    doc = nlohmann::json::parse(in);
  } catch (const nlohmann::json::exception& e) {
    throw std::runtime_error(path + ": not valid JSON: " + e.what());
  }
  if (!doc.is_array() || doc.size() != static_cast<std::size_t>(kVerseCount)) {
    throw std::runtime_error(path + ": expected an array of " + std::to_string(kVerseCount) +
                             " verses");
  }
  std::vector<std::string> verses;
  verses.reserve(doc.size());
  for (const auto& v : doc) {
    if (!v.is_string()) throw std::runtime_error(path + ": a verse is not a string");
    verses.push_back(CleanVerse(v.get<std::string>(), form));
    if (verses.back().empty()) {
      throw std::runtime_error(path + ": verse " + std::to_string(verses.size()) + " is empty");
    }
  }
  return verses;
}

}  // namespace quran
