#include "clipboard_formats.h"

#include <cstdio>

#include "citation_text.h"

namespace quran {
namespace {

std::string RtfEscaped(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    // A line break is a paragraph of its own, as the plain forms' CR LF is.
    if (c == '\r') continue;
    if (c == '\n') {
      out += "\\par ";
    } else if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x80) {
      out += static_cast<char>(c);
    } else {
      // RTF numbers are signed 16-bit; one '?' for readers without Unicode.
      out += "\\u" + std::to_string(static_cast<std::int16_t>(c)) + "?";
    }
  }
  return out;
}

// A font table entry ends at ';' and a group at a brace: those, and the backslash,
// go as hexadecimal escapes, which every RTF reader takes as the character itself.
std::string RtfFontName(std::u16string_view face) {
  std::string out;
  for (char16_t c : face) {
    if (c == ';' || c == '{' || c == '}' || c == '\\') {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\'%02x", static_cast<unsigned>(c));
      out += hex;
    } else {
      out += RtfEscaped(std::u16string_view(&c, 1));
    }
  }
  return out;
}

// The text as the inside of a CSS string in quotes: quotes, the backslash and
// control characters as CSS escapes, so that no face name can end the string.
std::string CssStringText(std::string_view utf8) {
  std::string out;
  for (char c : utf8) {
    auto b = static_cast<unsigned char>(c);
    if (c == '\'' || c == '"' || c == '\\' || b < 0x20 || b == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\%x ", b);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::string Points(int halfPoints) {
  return std::to_string(halfPoints / 2) + (halfPoints % 2 ? ".5" : "");
}

// Ten digits, so that the header's length does not depend on its values.
std::string Offset(std::size_t value) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%010zu", value);
  return digits;
}

}  // namespace

std::string HtmlEscaped(std::string_view utf8) {
  std::string out;
  for (char c : utf8) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string ClipboardHtml(std::u16string_view citation, const CitationFont& font) {
  const std::string before =
      "<html><head><meta charset=\"utf-8\"></head><body>\r\n<!--StartFragment-->";
  // One paragraph a line; blanks kept where HTML would fold them (a separator's).
  const std::string open = "<p dir=\"rtl\" lang=\"ar\" style=\"font-family:'" +
                           HtmlEscaped(CssStringText(ToUtf8(font.face))) +
                           "';font-size:" + Points(font.halfPoints) + "pt;white-space:pre-wrap\">";
  std::string fragment;
  std::u16string_view rest = citation;
  while (true) {
    std::size_t end = rest.find(u"\r\n");
    fragment += open + HtmlEscaped(ToUtf8(rest.substr(0, end))) + "</p>";
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 2);
  }
  const std::string after = "<!--EndFragment-->\r\n</body></html>";
  auto header = [](std::size_t startHtml, std::size_t endHtml, std::size_t startFragment,
                   std::size_t endFragment) {
    return "Version:0.9\r\nStartHTML:" + Offset(startHtml) + "\r\nEndHTML:" + Offset(endHtml) +
           "\r\nStartFragment:" + Offset(startFragment) + "\r\nEndFragment:" + Offset(endFragment) +
           "\r\n";
  };
  std::size_t start = header(0, 0, 0, 0).size();
  std::size_t startFragment = start + before.size();
  std::size_t endFragment = startFragment + fragment.size();
  std::size_t end = endFragment + after.size();
  return header(start, end, startFragment, endFragment) + before + fragment + after;
}

std::string ClipboardRtf(std::u16string_view citation, const CitationFont& font) {
  // Word takes a right-to-left run's face and size from \af and \afs, a rich edit
  // control from \f and \fs: both are given. No \par, which would add a paragraph
  // mark to the text the plain formats carry.
  const std::string size = std::to_string(font.halfPoints);
  return "{\\rtf1\\ansi\\ansicpg1256\\deff0\\uc1{\\fonttbl{\\f0\\fnil\\fcharset178 " +
         RtfFontName(font.face) + ";}}\\pard\\rtlpar\\qr\\rtlch\\f0\\af0\\fs" + size + "\\afs" +
         size + "\\lang1025\\alang1025 " + RtfEscaped(citation) + "}";
}

}  // namespace quran
