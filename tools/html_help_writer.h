// Writing the help document as an HTML Help project (.hhp, a table of contents, an
// index and one page per topic) for a compiler such as chmcmd: the same topics as
// the WinHelp file, for the Windows versions that no longer open one.
#pragma once

#include <string>

#include "winhelp_writer.h"

namespace quran {

// Writes into folder, which must exist: project.hhp compiling to chmName, toc.hhc,
// index.hhk and <context id>.htm for each topic. The pages are UTF-8, each paragraph
// in its own direction; the contents and index, which HTML Help reads in the
// project's language, stay in Windows-1256. Throws std::runtime_error on any fault.
void WriteHtmlHelpProject(const std::string& folder, const HelpDocument& doc,
                          const std::string& chmName);

// The page name of topic number t (from 0).
std::string TopicPage(const HelpDocument& doc, std::size_t t);

}  // namespace quran
