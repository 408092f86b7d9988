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

namespace {

nlohmann::json ReadJson(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot be opened");
  try {
    return nlohmann::json::parse(in);
  } catch (const nlohmann::json::exception& e) {
    throw std::runtime_error(path + ": not valid JSON: " + e.what());
  }
}

// A verse as the two publications are compared: tatweel and spaces of every kind set
// aside, since one of them splits a word of 2:72 and runs two of 37:164 together.
std::u32string Compared(std::u32string text) {
  std::erase_if(text, [](char32_t c) {
    return c == 0x0640 || c == U' ' || c == 0x00A0 || c == 0x2009 || c == 0x200A || c == 0x202F;
  });
  return text;
}

std::u32string Utf32(const std::string& utf8, const std::string& where) {
  auto text = Utf8ToUtf32(utf8);
  if (!text) throw std::runtime_error(where + ": not valid UTF-8");
  return *text;
}

}  // namespace

std::vector<std::string> LoadVerses(const std::string& path, TextForm form) {
  nlohmann::json doc = ReadJson(path);
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

std::vector<MarkMapping> LoadMarkMappings(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot be opened");
  std::vector<MarkMapping> marks;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    std::size_t tab1 = line.find('\t'),
                tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    auto hex = [](const std::string& field) -> char32_t {
      if (field.size() != 4 || field.find_first_not_of("0123456789ABCDEF") != std::string::npos)
        return 0;
      return static_cast<char32_t>(std::stoul(field, nullptr, 16));
    };
    MarkMapping m;
    if (tab2 != std::string::npos) {
      m = {hex(line.substr(0, tab1)), hex(line.substr(tab1 + 1, tab2 - tab1 - 1)),
           line.substr(tab2 + 1)};
    }
    if (!m.complex || !m.standard || m.source.empty())
      throw std::runtime_error(path + ":" + std::to_string(number) +
                               ": not \"XXXX<tab>YYYY<tab>source\"");
    marks.push_back(std::move(m));
  }
  return marks;
}

std::vector<std::u32string> LoadUthmani(const std::string& path, const std::string& checkPath) {
  nlohmann::json doc = ReadJson(path);
  if (!doc.is_array() || doc.size() != static_cast<std::size_t>(kVerseCount))
    throw std::runtime_error(path + ": expected an array of " + std::to_string(kVerseCount) +
                             " verses");
  nlohmann::json check = ReadJson(checkPath);
  std::vector<std::u32string> checked;
  try {
    for (const auto& chapter : check) {
      for (const auto& verse : chapter.at("verses"))
        checked.push_back(Utf32(verse.at("text").get<std::string>(), checkPath));
    }
  } catch (const nlohmann::json::exception& e) {
    throw std::runtime_error(checkPath + ": not chapters of verses: " + e.what());
  }
  if (checked.size() != static_cast<std::size_t>(kVerseCount))
    throw std::runtime_error(checkPath + ": " + std::to_string(checked.size()) + " verses, not " +
                             std::to_string(kVerseCount));
  std::vector<std::u32string> verses;
  for (int chapter = 1, i = 0; chapter <= kChapterCount; ++chapter) {
    for (int verse = 1; verse <= kChapterVerseCounts[chapter - 1]; ++verse, ++i) {
      std::string where = path + ", verse " + std::to_string(chapter) + ":" + std::to_string(verse);
      if (!doc[i].is_string()) throw std::runtime_error(where + " is not a string");
      std::u32string text = Utf32(doc[i].get<std::string>(), where);
      if (text.empty()) throw std::runtime_error(where + " is empty");
      if (Compared(text) != Compared(checked[i]))
        throw std::runtime_error(where + " differs from " + checkPath +
                                 " beyond tatweel and spacing");
      verses.push_back(std::move(text));
    }
  }
  return verses;
}

}  // namespace quran
