// Written references: any Windows-1256 text is read or refused, never a verse that
// does not exist, and a chapter's name after a reference is never read as that
// chapter whole.
// Input: the text of a reference.
#include <cstdint>
#include <string>

#include "data_format.h"
#include "fuzz_checks.h"
#include "verse_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  quran::Reference r = quran::ReadReference(text);
  using quran::fuzz::Check;
  Check((r.error == quran::ReferenceError::kNone) == !r.ranges.empty(),
        "a reference read names verses, one refused names none");
  for (const quran::VerseRange& v : r.ranges) {
    Check(v.chapter >= 1 && v.chapter <= quran::kChapterCount, "its chapters exist");
    Check(v.first >= 1 && v.first <= v.last && v.last <= quran::kChapterVerseCounts[v.chapter - 1],
          "its verses exist, in order");
  }
  // The same reference ending in its verse, with another chapter's name after it
  // and nothing between, never gives that chapter whole.
  bool endsInVerse = !text.empty() && text.back() >= '0' && text.back() <= '9';
  if (r.error == quran::ReferenceError::kNone && r.explicitForm && endsInVerse) {
    int other = r.ranges.back().chapter % quran::kChapterCount + 1;
    quran::Reference named = quran::ReadReference(text + " (" + quran::ChapterName(other) + ")");
    for (const quran::VerseRange& v : named.ranges) {
      Check(v.chapter != other || v.first != 1 || v.last != quran::kChapterVerseCounts[other - 1] ||
                v.first == v.last,
            "a name after a reference is never a chapter of its own");
    }
  }
  return 0;
}
