// The on-disk format of the two data files, shared by the store that reads
// them and the builder that writes them, so the two can never disagree.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quran {

inline constexpr int kVerseCount = 6236;
inline constexpr int kChapterCount = 114;
inline constexpr std::uint32_t kRecordSize = 20;
inline constexpr char kVerseFileName[] = "msdata64.qdt";
inline constexpr char kRootFileName[] = "msdata32.qdt";

#pragma pack(push, 1)
struct VerseIndexRecord {
  std::int8_t chapter;
  std::uint8_t padding;
  std::uint16_t verse;
  std::uint32_t displayOffset;
  std::uint32_t displayLength;
  std::uint32_t searchOffset;
  std::uint32_t searchLength;
};
#pragma pack(pop)
static_assert(sizeof(VerseIndexRecord) == kRecordSize);

// Byte b of an encoded text block stands for DecodeAlphabet[b % 47]. Windows-1256:
// space, the two root-block delimiters, the letters in code-point order, tatweel,
// and the harakat.
inline constexpr std::size_t kAlphabetSize = 47;
extern const char DecodeAlphabet[kAlphabetSize + 1];

// Position of a Windows-1256 byte in DecodeAlphabet, or -1 when it has none.
int AlphabetPosition(unsigned char c);

// The byte a writer stores for alphabet position k: any b with b % 47 == k decodes
// right; spreading them keeps the files from reading as plain positions.
inline unsigned char EncodedByte(int k) {
  return static_cast<unsigned char>(k + kAlphabetSize * (k % 5));
}

// Decodes the first length bytes of buf in place.
void DecodeBlock(char* buf, std::int32_t length);

// 116 chapter names indexed by chapter number, Windows-1256; 0 and 115 are empty.
extern const char* const SuraNameTable[116];

// The chapter's name, or the empty string for a number outside the table.
const char* SuraName(int chapter);

}  // namespace quran
