// hlp_build: turns the readable help source into the add-in's WinHelp file and,
// with --html, into an HTML Help project of the same topics for chmcmd.
//   hlp_build SOURCE.txt OUT.HLP [--html FOLDER NAME.chm]
//
// The source is UTF-8 text, read line by line:
//   title: TEXT       the help file's title (before the first topic; required)
//   copyright: TEXT   an optional copyright line (before the first topic)
//   # TEXT {#id}      starts a topic titled TEXT; the optional {#id} names its context
//                     id (letters, digits, '.', '_'), else it is topicN (N from 1)
//   ## TEXT           a heading paragraph
//   => id             a paragraph linking to the topic with context id "id", showing
//                     that topic's title; the first topic opens the file, so make it
//                     the contents
//   ;; TEXT           a comment
//   other lines       paragraph text; following lines join it with a space
//   a blank line      ends a paragraph
// A topic whose title starts with an Arabic letter is right-to-left. A paragraph is
// right-to-left when its first letter is Arabic; one with no Arabic letter at all takes
// its topic's direction. winhlp32 lays every paragraph out left to right underneath, so
// Latin words inside a right-to-left paragraph show out of order: hlp_build warns about
// them; put such words in a paragraph of their own. Every character must exist in
// Windows-1256, the code page the help file is written in.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "codepage.h"
#include "html_help_writer.h"
#include "winhelp_writer.h"

namespace {

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

bool IsArabicLetter(char32_t c) {
  return (c >= 0x0620 && c <= 0x064A) || (c >= 0x066E && c <= 0x06D3) || c == 0x06D5 ||
         (c >= 0x0750 && c <= 0x077F) || (c >= 0xFB50 && c <= 0xFDFF) ||
         (c >= 0xFE70 && c <= 0xFEFC);
}

bool IsLatinLetter(char32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0x24F);
}

// Decides by the first letter, so a leading number or bracket does not count.
bool StartsRightToLeft(const std::u32string& text) {
  for (char32_t c : text) {
    if (IsArabicLetter(c)) return true;
    if (IsLatinLetter(c)) return false;
  }
  return false;
}

bool Has(const std::u32string& text, bool (*letter)(char32_t)) {
  for (char32_t c : text) {
    if (letter(c)) return true;
  }
  return false;
}

class Source {
 public:
  explicit Source(std::string path) : path_(std::move(path)) {}

  bool RightToLeft(const std::u32string& text, bool topicRightToLeft) const {
    if (!Has(text, IsArabicLetter)) return topicRightToLeft;
    bool rtl = StartsRightToLeft(text);
    if (rtl && Has(text, IsLatinLetter)) {
      std::fprintf(stderr,
                   "%s:%d: warning: Latin words in a right-to-left paragraph show out "
                   "of order in winhlp32\n",
                   path_.c_str(), line_);
    }
    return rtl;
  }

  std::runtime_error Error(const std::string& message) const {
    std::string where = line_ > 0 ? path_ + ":" + std::to_string(line_) : path_;
    return std::runtime_error(where + ": " + message);
  }
  void SetLine(int line) { line_ = line; }

  std::u32string Decode(const std::string& utf8) const {
    auto text = quran::Utf8ToUtf32(utf8);
    if (!text) throw Error("not valid UTF-8");
    return *text;
  }

  // Names the first character Windows-1256 lacks, so the author can find it.
  std::string ToCp1256(const std::string& utf8) const {
    if (auto out = quran::Utf8ToCp1256(utf8)) return *out;
    std::u32string text = Decode(utf8);
    for (std::size_t i = 0; i < text.size(); ++i) {
      auto one = quran::Utf32ToUtf8(text.substr(i, 1));
      if (!one || !quran::Utf8ToCp1256(*one)) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(text[i]));
        throw Error("character " + std::string(code) + " (character " + std::to_string(i + 1) +
                    " of the line) has no Windows-1256 form");
      }
    }
    throw Error("cannot be converted to Windows-1256");
  }

 private:
  std::string path_;
  int line_ = 0;
};

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

bool StartsWith(const std::string& s, const char* prefix) {
  return s.rfind(prefix, 0) == 0;
}

quran::HelpDocument Parse(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot be opened");
  Source src(path);
  quran::HelpDocument doc;
  std::string paragraph, paragraph1256;  // UTF-8 and converted, until the paragraph ends
  int paragraphLine = 0;
  std::vector<std::u32string> titles;
  std::set<std::string> ids;
  std::map<std::pair<std::size_t, std::size_t>, int> linkLines;  // (topic, paragraph)

  auto endParagraph = [&] {
    if (paragraph.empty()) return;
    src.SetLine(paragraphLine);  // messages name the paragraph's first line
    doc.topics.back().paragraphs.push_back(
        {paragraph1256, false,
         src.RightToLeft(src.Decode(paragraph), doc.topics.back().rightToLeft), ""});
    paragraph.clear();
    paragraph1256.clear();
  };

  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (number == 1 && StartsWith(line, "\xEF\xBB\xBF")) line.erase(0, 3);
    std::string text = Trim(line);
    if (StartsWith(text, ";;")) continue;
    bool newElement = StartsWith(text, "# ") || StartsWith(text, "## ") || StartsWith(text, "=> ");
    if (text.empty() || newElement) endParagraph();
    src.SetLine(number);
    if (text.empty()) {
      continue;
    } else if (StartsWith(text, "## ")) {
      if (doc.topics.empty()) throw src.Error("heading before the first topic (# TITLE)");
      std::string heading = Trim(text.substr(3));
      doc.topics.back().paragraphs.push_back(
          {src.ToCp1256(heading), true,
           src.RightToLeft(src.Decode(heading), doc.topics.back().rightToLeft), ""});
    } else if (StartsWith(text, "# ")) {
      std::string title = Trim(text.substr(2)), id;
      std::size_t brace = title.rfind("{#");
      if (brace != std::string::npos && title.back() == '}') {
        id = title.substr(brace + 2, title.size() - brace - 3);
        title = Trim(title.substr(0, brace));
      }
      if (title.empty()) throw src.Error("topic without a title");
      for (char c : id) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_') {
          throw src.Error("context id " + id + ": only letters, digits, '.' and '_'");
        }
      }
      std::string key = id.empty() ? "topic" + std::to_string(doc.topics.size() + 1) : id;
      if (!ids.insert(key).second) throw src.Error("context id " + key + " used twice");
      std::u32string decoded = src.Decode(title);
      doc.topics.push_back({src.ToCp1256(title), src.RightToLeft(decoded, false), id, {}});
      titles.push_back(decoded);
    } else if (StartsWith(text, "=> ")) {
      if (doc.topics.empty()) throw src.Error("link before the first topic (# TITLE)");
      auto& paragraphs = doc.topics.back().paragraphs;
      paragraphs.push_back({"", false, false, Trim(text.substr(3))});
      linkLines[{doc.topics.size() - 1, paragraphs.size() - 1}] = number;  // checked at the end
    } else if (doc.topics.empty() && StartsWith(text, "title:")) {
      doc.title = src.ToCp1256(Trim(text.substr(6)));
    } else if (doc.topics.empty() && StartsWith(text, "copyright:")) {
      doc.copyright = src.ToCp1256(Trim(text.substr(10)));
    } else {
      if (doc.topics.empty()) throw src.Error("text before the first topic (# TITLE)");
      if (paragraph.empty()) paragraphLine = number;
      std::string separator = paragraph.empty() ? "" : " ";
      paragraph += separator + text;
      paragraph1256 += separator + src.ToCp1256(text);
    }
  }
  if (in.bad()) throw std::runtime_error(path + ": cannot be read");
  endParagraph();
  src.SetLine(0);
  if (doc.title.empty()) throw src.Error("no \"title:\" line");
  if (doc.topics.empty()) throw src.Error("no topic");

  // Links show their target's title.
  std::map<std::string, std::size_t> byId;
  for (std::size_t t = 0; t < doc.topics.size(); ++t) {
    const auto& topic = doc.topics[t];
    byId[topic.contextId.empty() ? "topic" + std::to_string(t + 1) : topic.contextId] = t;
  }
  for (const auto& [where, number] : linkLines) {
    auto& p = doc.topics[where.first].paragraphs[where.second];
    src.SetLine(number);
    auto it = byId.find(p.linkTo);
    if (it == byId.end()) throw src.Error("link to unknown context id " + p.linkTo);
    p.text = doc.topics[it->second].title;
    p.rightToLeft = src.RightToLeft(titles[it->second], doc.topics[where.first].rightToLeft);
  }
  return doc;
}

int Run(int argc, char** argv) {
  if (argc != 3 && !(argc == 6 && std::string(argv[3]) == "--html")) {
    throw UsageError("usage: hlp_build SOURCE.txt OUT.HLP [--html FOLDER NAME.chm]");
  }
  quran::HelpDocument doc = Parse(argv[1]);
  quran::WriteHelpFile(argv[2], doc);
  if (argc == 6) quran::WriteHtmlHelpProject(argv[4], doc, argv[5]);
  std::size_t paragraphs = 0;
  for (const auto& t : doc.topics) paragraphs += t.paragraphs.size();
  std::printf("hlp_build: %s: %zu topics, %zu paragraphs\n", argv[2], doc.topics.size(),
              paragraphs);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "hlp_build: %s\n", e.what());
    return 1;
  }
}
