// The rich clipboard forms of a citation, so that a paste keeps the verse font:
// Windows' "HTML Format" and "Rich Text Format", each one right-to-left paragraph
// in Arabic. Portable, so that they are tested natively.
#pragma once

#include <string>
#include <string_view>

namespace quran {

struct CitationFont {
  std::u16string face;
  int halfPoints = 32;
};

// UTF-8 with the CF_HTML header, whose byte offsets frame the whole document and
// the paragraph.
std::string ClipboardHtml(std::u16string_view citation, const CitationFont& font);

// UTF-8 text with the characters HTML gives a meaning written as references.
std::string HtmlEscaped(std::string_view utf8);
// Every character past ASCII as a \uN escape, so that those without a
// Windows-1256 form survive.
std::string ClipboardRtf(std::u16string_view citation, const CitationFont& font);

}  // namespace quran
