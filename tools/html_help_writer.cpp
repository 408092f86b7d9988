#include "html_help_writer.h"

#include <fstream>
#include <map>
#include <stdexcept>

#include "clipboard_formats.h"
#include "codepage.h"

namespace quran {
namespace {

std::string Utf8(const std::string& cp1256) {
  auto text = Cp1256ToUtf8(cp1256);
  if (!text) throw std::runtime_error("help text not in Windows-1256");
  return *text;
}

void Write(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.write(content.data(), static_cast<std::streamsize>(content.size())) || !out.flush()) {
    throw std::runtime_error(path + ": cannot be written");
  }
}

const char* Direction(bool rightToLeft) {
  return rightToLeft ? " dir=\"rtl\" lang=\"ar\"" : " dir=\"ltr\" lang=\"en\"";
}

std::string Page(const HelpDocument& doc, std::size_t t,
                 const std::map<std::string, std::size_t>& byId) {
  const HelpTopic& topic = doc.topics[t];
  std::string title = HtmlEscaped(Utf8(topic.title));
  std::string html = "<!DOCTYPE html>\n<html" + std::string(Direction(topic.rightToLeft)) +
                     ">\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
                     "charset=utf-8\">\n<title>" +
                     title + "</title>\n<style>body { font-family: " + doc.fontFace +
                     ", sans-serif; }</style>\n</head>\n<body>\n<h1>" + title + "</h1>\n";
  for (const HelpParagraph& p : topic.paragraphs) {
    std::string text = HtmlEscaped(Utf8(p.text));
    if (!p.linkTo.empty()) {
      std::string page = TopicPage(doc, byId.at(p.linkTo));
      html += "<p" + std::string(Direction(p.rightToLeft)) + "><a href=\"" + page + "\">" + text +
              "</a></p>\n";
    } else if (p.heading) {
      html += "<h2" + std::string(Direction(p.rightToLeft)) + ">" + text + "</h2>\n";
    } else {
      html += "<p" + std::string(Direction(p.rightToLeft)) + ">" + text + "</p>\n";
    }
  }
  return html + "</body>\n</html>\n";
}

// A sitemap, as the contents and the index are written: every topic by its title.
std::string Sitemap(const HelpDocument& doc) {
  std::string map =
      "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\n<HTML>\n<HEAD>\n<meta "
      "http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1256\">\n</HEAD>\n"
      "<BODY>\n<UL>\n";
  for (std::size_t t = 0; t < doc.topics.size(); ++t) {
    map += "<LI><OBJECT type=\"text/sitemap\">\n<param name=\"Name\" value=\"" +
           HtmlEscaped(doc.topics[t].title) + "\">\n<param name=\"Local\" value=\"" +
           TopicPage(doc, t) + "\">\n</OBJECT>\n";
  }
  return map + "</UL>\n</BODY>\n</HTML>\n";
}

}  // namespace

std::string TopicPage(const HelpDocument& doc, std::size_t t) {
  const std::string& id = doc.topics[t].contextId;
  return (id.empty() ? "topic" + std::to_string(t + 1) : id) + ".htm";
}

void WriteHtmlHelpProject(const std::string& folder, const HelpDocument& doc,
                          const std::string& chmName) {
  if (doc.topics.empty()) throw std::runtime_error("a help document needs a topic");
  std::map<std::string, std::size_t> byId;
  for (std::size_t t = 0; t < doc.topics.size(); ++t) {
    const std::string page = TopicPage(doc, t);
    byId[page.substr(0, page.size() - 4)] = t;
  }
  std::string files;
  for (std::size_t t = 0; t < doc.topics.size(); ++t) {
    Write(folder + "/" + TopicPage(doc, t), Page(doc, t, byId));
    files += TopicPage(doc, t) + "\n";
  }
  Write(folder + "/toc.hhc", Sitemap(doc));
  Write(folder + "/index.hhk", Sitemap(doc));
  const std::string first = TopicPage(doc, 0);
  // Arabic (0x401) makes HTML Help read the contents and index in Windows-1256. The
  // window shows the contents beside the page (tri-pane, 220 pixels wide).
  Write(folder + "/project.hhp",
        "[OPTIONS]\nCompatibility=1.1 or later\nCompiled file=" + chmName +
            "\nContents file=toc.hhc\nIndex file=index.hhk\n"
            "Default topic=" +
            first +
            "\nDefault Window=main\nDisplay compile progress=No\n"
            "Full-text search=Yes\nLanguage=0x401 Arabic (Saudi "
            "Arabia)\nTitle=" +
            doc.title + "\n\n[WINDOWS]\nmain=\"" + doc.title + "\",\"toc.hhc\",\"index.hhk\",\"" +
            first + "\",\"" + first +
            "\",,,,,0x63520,220,0x387e,[40,40,840,640],0x30000,,,,,,0\n\n[FILES]\n" + files);
}

}  // namespace quran
