#include "uthmani_text.h"

#include <algorithm>
#include <cstring>

#include "data_file.h"

namespace quran {
namespace {

// More marks than any font's convention could need: a count past it is damage.
constexpr std::uint32_t kMostMarks = 64;

// What the mushaf's text is written in: blanks, the Arabic blocks, and the joiners,
// marks and spaces of general punctuation. Anything else is a damaged file.
bool IsTextUnit(char16_t c) {
  return c == u' ' || c == 0x00A0 || (c >= 0x0600 && c <= 0x06FF) || (c >= 0x0750 && c <= 0x077F) ||
         (c >= 0x08A0 && c <= 0x08FF) || (c >= 0x2000 && c <= 0x200F) || c == 0x202F || c == 0x2060;
}

bool IsMark(char16_t c) {
  return (c >= 0x0600 && c <= 0x06FF) || (c >= 0x08A0 && c <= 0x08FF);
}

}  // namespace

bool UthmaniText::Load(const char* path) {
  text_.clear();
  offsets_.clear();
  marks_.clear();
  File file(path);
  if (!file) return false;
  long size = file.Size();
  UthmaniHeader header;
  if (size < static_cast<long>(sizeof header) || !file.Read(&header, sizeof header)) return false;
  if (std::memcmp(header.magic, kUthmaniMagic, sizeof header.magic) != 0 ||
      header.verseCount != static_cast<std::uint32_t>(kVerseCount) || header.markCount > kMostMarks)
    return false;
  std::uint64_t expected = sizeof header + std::uint64_t{header.markCount} * sizeof(UthmaniMark) +
                           (std::uint64_t{header.verseCount} + 1) * 4 +
                           std::uint64_t{header.textLength} * 2;
  if (expected != static_cast<std::uint64_t>(size)) return false;
  std::vector<UthmaniMark> marks(header.markCount);
  std::vector<std::uint32_t> offsets(header.verseCount + 1);
  std::u16string text(header.textLength, u'\0');
  for (UthmaniMark& m : marks) {
    std::uint32_t w = 0;
    if (!file.ReadWord(w)) return false;
    m = {static_cast<std::uint16_t>(w & 0xFFFF), static_cast<std::uint16_t>(w >> 16)};
    if (!IsMark(m.complex) || !IsMark(m.standard)) return false;
  }
  for (std::uint32_t& offset : offsets) {
    if (!file.ReadWord(offset)) return false;
  }
  // Little-endian on disk, as on every processor Word runs on.
  if (!file.Read(text.data(), text.size() * 2) || !file.Close()) return false;
  if (offsets.front() != 0 || offsets.back() != header.textLength ||
      !std::is_sorted(offsets.begin(), offsets.end()) ||
      !std::all_of(text.begin(), text.end(), IsTextUnit))
    return false;
  for (std::size_t v = 0; v + 1 < offsets.size(); ++v) {
    if (offsets[v] == offsets[v + 1]) return false;  // no verse is empty
  }
  text_ = std::move(text);
  offsets_ = std::move(offsets);
  marks_ = std::move(marks);
  return true;
}

std::u16string_view UthmaniText::ComplexVerse(int verseIndex) const {
  if (!Loaded() || verseIndex < 0 || verseIndex >= kVerseCount) return {};
  return std::u16string_view(text_).substr(offsets_[verseIndex],
                                           offsets_[verseIndex + 1] - offsets_[verseIndex]);
}

std::u16string UthmaniText::StandardVerse(int verseIndex) const {
  std::u16string verse(ComplexVerse(verseIndex));
  for (char16_t& c : verse) {
    for (const UthmaniMark& m : marks_) {
      if (c == m.complex) c = m.standard;
    }
  }
  return verse;
}

}  // namespace quran
