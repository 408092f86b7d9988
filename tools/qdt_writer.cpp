#include "qdt_writer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <stdexcept>

#include "data_format.h"

namespace quran {

namespace {

void Put32(std::string& out, std::uint32_t w) {
  for (int k = 0; k < 4; ++k) out += static_cast<char>((w >> (8 * k)) & 0xFF);
}

std::uint32_t Size32(std::size_t n) {
  if (n > std::numeric_limits<std::uint32_t>::max()) throw std::runtime_error("text too large");
  return static_cast<std::uint32_t>(n);
}

void WriteAtomically(const std::string& path, const std::string& bytes) {
  std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error(tmp + ": cannot be written");
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) throw std::runtime_error(path + ": " + ec.message());
}

}  // namespace

std::vector<VerseText> NumberVerses(const std::vector<std::string>& display,
                                    const std::vector<std::string>& search) {
  if (display.size() != static_cast<std::size_t>(kVerseCount) || search.size() != display.size()) {
    throw std::runtime_error("expected " + std::to_string(kVerseCount) + " verses in each text");
  }
  std::vector<VerseText> verses;
  verses.reserve(kVerseCount);
  for (int chapter = 1; chapter <= kChapterCount; ++chapter) {
    for (int verse = 1; verse <= kChapterVerseCounts[chapter - 1]; ++verse) {
      std::size_t i = verses.size();
      verses.push_back({chapter, verse, display[i], search[i]});
    }
  }
  return verses;
}

std::string EncodeBlock(std::string_view text) {
  std::string out(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    int k = AlphabetPosition(static_cast<unsigned char>(text[i]));
    if (k < 0) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(text[i]));
      throw std::runtime_error(std::string("character ") + hex + " at byte " + std::to_string(i) +
                               " is not in the alphabet");
    }
    out[i] = static_cast<char>(EncodedByte(k));
  }
  return out;
}

std::string RootBlockText(const std::vector<RootEntry>& roots) {
  std::string block;
  for (const RootEntry& r : roots) {
    block.append(1, '\\').append(r.root).append("\\/");
    for (const std::string& d : r.derivatives) block.append(d).append(1, '/');
  }
  return block;
}

void WriteVerseFile(const std::string& path, const std::vector<VerseText>& verses) {
  if (verses.size() != static_cast<std::size_t>(kVerseCount)) {
    throw std::runtime_error("expected " + std::to_string(kVerseCount) + " verses");
  }
  std::vector<VerseIndexRecord> index(verses.size());
  std::string display, search;
  for (std::size_t i = 0; i < verses.size(); ++i) {
    const VerseText& v = verses[i];
    if (v.chapter < 0 || v.chapter > 127 || v.verse < 0 || v.verse > 65535) {
      throw std::runtime_error("verse " + std::to_string(i) + ": number out of range");
    }
    VerseIndexRecord& r = index[i];
    r.chapter = static_cast<std::int8_t>(v.chapter);
    r.verse = static_cast<std::uint16_t>(v.verse);
    if (i > 0) display += ' ';
    r.displayOffset = Size32(display.size());
    r.displayLength = Size32(v.display.size());
    display += v.display;
    // A space before every word and after the last one lets a padded query find the
    // first and last words; the leading space is the verse's own.
    r.searchOffset = Size32(search.size());
    search.append(1, ' ').append(v.search);
    r.searchLength = Size32(search.size()) - r.searchOffset;
  }
  search += ' ';
  index.back().searchLength += 1;

  std::string bytes;
  Put32(bytes, kRecordSize);
  Put32(bytes, Size32(index.size()));
  for (const VerseIndexRecord& r : index) {
    Put32(bytes, static_cast<std::uint8_t>(r.chapter) | (std::uint32_t{r.verse} << 16));
    Put32(bytes, r.displayOffset);
    Put32(bytes, r.displayLength);
    Put32(bytes, r.searchOffset);
    Put32(bytes, r.searchLength);
  }
  for (const std::string* text : {&display, &search}) {
    Put32(bytes, 1);
    Put32(bytes, Size32(text->size()));
    try {
      bytes += EncodeBlock(*text);
    } catch (const std::runtime_error& e) {
      throw std::runtime_error(std::string(text == &display ? "display" : "search") +
                               " text: " + e.what());
    }
  }
  WriteAtomically(path, bytes);
}

void WriteRootFile(const std::string& path, const std::vector<RootEntry>& roots) {
  for (const RootEntry& r : roots) {
    auto bad = [](const std::string& s) {
      return s.find_first_of("\\/") != std::string::npos || s.size() > 1021;
    };
    if (r.root.empty() || bad(r.root)) throw std::runtime_error("malformed root");
    for (const std::string& d : r.derivatives) {
      if (d.empty() || bad(d)) throw std::runtime_error("malformed derivative");
    }
  }
  try {
    WriteAtomically(path, EncodeBlock(RootBlockText(roots)));
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(std::string("root block: ") + e.what());
  }
}

void WriteUthmaniFile(const std::string& path, const std::vector<std::u32string>& verses,
                      const std::vector<std::pair<char32_t, char32_t>>& marks) {
  if (verses.size() != static_cast<std::size_t>(kVerseCount))
    throw std::runtime_error("expected " + std::to_string(kVerseCount) + " Uthmani verses");
  std::u16string text;
  std::vector<std::uint32_t> offsets;
  for (const std::u32string& verse : verses) {
    offsets.push_back(Size32(text.size()));
    for (char32_t c : verse) {
      if (c > 0xFFFF) throw std::runtime_error("an Uthmani verse holds a character past U+FFFF");
      text += static_cast<char16_t>(c);
    }
  }
  offsets.push_back(Size32(text.size()));
  std::string out(kUthmaniMagic, sizeof kUthmaniMagic);
  Put32(out, Size32(verses.size()));
  Put32(out, Size32(marks.size()));
  Put32(out, Size32(text.size()));
  for (auto [complex, standard] : marks) {
    if (complex > 0xFFFF || standard > 0xFFFF) throw std::runtime_error("a mark past U+FFFF");
    Put32(out, static_cast<std::uint32_t>(complex) | static_cast<std::uint32_t>(standard) << 16);
  }
  for (std::uint32_t offset : offsets) Put32(out, offset);
  for (char16_t c : text) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  WriteAtomically(path, out);
}

}  // namespace quran
