// Writing a WinHelp 3.1 help file (.HLP) from a document of plain paragraphs, in the
// layout described by Manfred Winterhoff's helpdeco notes and read by winhlp32. The file
// holds |SYSTEM, |FONT, |TOPIC, |CONTEXT, |TTLBTREE and a title index (|KWBTREE,
// |KWDATA, |KWMAP); each topic opens with its title, and all topics form one browse
// sequence in document order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quran {

// All texts are single-byte strings in the code page of the document's charset.
struct HelpParagraph {
  std::string text;
  bool heading = false;
  // Right aligned, and framed by right-to-left marks where the charset has them.
  bool rightToLeft = false;
  // Context id of a topic: the whole paragraph is then a hotspot jumping to it.
  std::string linkTo;
};

struct HelpTopic {
  std::string title;  // also shown as the topic's first line
  bool rightToLeft = false;
  // Letters, digits, '.' and '_'; empty gives "topic<N>" (N counted from 1).
  std::string contextId;
  std::vector<HelpParagraph> paragraphs;
};

struct HelpDocument {
  std::string title;  // shown in winhlp32's caption
  std::string copyright;
  // Windows font charset of every text: 178 is ARABIC_CHARSET (code page 1256),
  // which also holds ASCII, so mixed Arabic and English texts need no other.
  std::uint8_t charset = 178;
  std::string fontFace = "Tahoma";
  std::vector<HelpTopic> topics;  // the first one opens the file
};

// Writes to a temporary file and renames it, so a failed run leaves no half file.
// Same document, same bytes. Throws std::runtime_error on any fault.
void WriteHelpFile(const std::string& path, const HelpDocument& doc);

// The context id hash both WinHelp and winhlp32 look topics up by.
std::uint32_t HelpContextHash(const std::string& contextId);

}  // namespace quran
