// The on-disk format of the data files, shared by the store that reads
// them and the builder that writes them, so the two can never disagree.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quran {

inline constexpr int kVerseCount = 6236;
inline constexpr int kChapterCount = 114;

// Verses of each chapter in the Hafs numbering, index 0 for chapter 1; they add up
// to kVerseCount.
inline constexpr int kChapterVerseCounts[kChapterCount] = {
    7,   286, 200, 176, 120, 165, 206, 75, 129, 109, 123, 111, 43, 52, 99, 128, 111, 110, 98,
    135, 112, 78,  118, 64,  77,  227, 93, 88,  69,  60,  34,  30, 73, 54, 45,  83,  182, 88,
    75,  85,  54,  53,  89,  59,  37,  35, 38,  29,  18,  45,  60, 49, 62, 55,  78,  96,  29,
    22,  24,  13,  14,  11,  11,  18,  12, 12,  30,  52,  52,  44, 28, 28, 20,  56,  40,  31,
    50,  40,  46,  42,  29,  19,  36,  25, 22,  17,  19,  26,  30, 20, 15, 21,  11,  8,   8,
    19,  5,   8,   8,   11,  11,  8,   3,  9,   5,   4,   7,   3,  6,  3,  5,   4,   5,   6};

constexpr int ChapterVerseTotal() {
  int total = 0;
  for (int n : kChapterVerseCounts) total += n;
  return total;
}
static_assert(ChapterVerseTotal() == kVerseCount);

inline constexpr std::uint32_t kRecordSize = 20;
inline constexpr char kVerseFileName[] = "msdata64.qdt";
inline constexpr char kRootFileName[] = "msdata32.qdt";

// The mushaf's (Uthmani) text has a file of its own, so that a fault in it leaves the
// simple script whole. After the header stand markCount UthmaniMark pairs, then
// verseCount + 1 offsets (uint32, in UTF-16 code units) into the text, then the text:
// every verse in UTF-16, in the King Fahd Complex's encoding. All little-endian.
inline constexpr char kUthmaniFileName[] = "msuthmani.qdt";
inline constexpr char kUthmaniMagic[4] = {'Q', 'U', 'T', 'H'};

#pragma pack(push, 1)
struct UthmaniHeader {
  char magic[4];
  std::uint32_t verseCount;
  std::uint32_t markCount;
  std::uint32_t textLength;  // UTF-16 code units
};
// A mark the Complex's font codes by its own convention, and the code the Unicode
// standard gives it, which every other font draws.
struct UthmaniMark {
  std::uint16_t complex;
  std::uint16_t standard;
};
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
static_assert(sizeof(UthmaniHeader) == 16 && sizeof(UthmaniMark) == 4);

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
void DecodeBlock(char* buf, std::size_t length);

// 116 chapter names indexed by chapter number, Windows-1256; 0 and 115 are empty.
extern const char* const SuraNameTable[116];

// The chapter's name, or the empty string for a number outside the table.
const char* SuraName(int chapter);
// The name alone, without the word for chapter that the table's names begin with.
const char* ChapterName(int chapter);

}  // namespace quran
