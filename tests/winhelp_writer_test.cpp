// The help file writer: a file WinHelp recognises, the same bytes for the same
// document, and refusals instead of broken files.
#include "winhelp_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "test_data.h"

namespace quran {
namespace {

using testing::TempDir;
using testing::W;

std::uint32_t Word32(const std::string& bytes, std::size_t at) {
  std::uint32_t w = 0;
  for (int k = 3; k >= 0; --k) w = (w << 8) | static_cast<unsigned char>(bytes.at(at + k));
  return w;
}

HelpDocument TwoTopics() {
  HelpDocument doc;
  doc.title = "Quran Verse Search";
  HelpTopic contents{W("المحتويات"), true, "contents", {}};
  contents.paragraphs.push_back({W("طرق البحث"), false, true, "modes"});
  HelpTopic modes{W("طرق البحث"), true, "modes", {}};
  modes.paragraphs.push_back({W("بحث عن جزء من النص"), true, true, ""});
  modes.paragraphs.push_back({"Part of the text", false, false, ""});
  doc.topics = {contents, modes};
  return doc;
}

TEST(WinHelpWriter, WritesAHelpFileAndTheSameBytesEachTime) {
  TempDir dir;
  auto first = (dir.path() / "a.hlp").string(), second = (dir.path() / "b.hlp").string();
  WriteHelpFile(first, TwoTopics());
  WriteHelpFile(second, TwoTopics());
  std::string bytes = testing::ReadFile(first);
  ASSERT_GE(bytes.size(), 16u);
  EXPECT_EQ(Word32(bytes, 0), 0x00035F3Fu);  // the WinHelp magic
  EXPECT_EQ(Word32(bytes, 12), bytes.size()) << "the header's file size";
  EXPECT_LT(Word32(bytes, 4), bytes.size()) << "the directory lies inside the file";
  EXPECT_EQ(bytes, testing::ReadFile(second));
  // Nothing is left beside the file.
  auto files = std::distance(std::filesystem::directory_iterator(dir.path()),
                             std::filesystem::directory_iterator());
  EXPECT_EQ(files, 2);
}

TEST(WinHelpWriter, RefusesWhatItCannotWriteAndLeavesNoFile) {
  TempDir dir;
  auto path = (dir.path() / "bad.hlp").string();
  HelpDocument broken = TwoTopics();
  broken.topics[0].paragraphs[0].linkTo = "nowhere";
  EXPECT_THROW(WriteHelpFile(path, broken), std::runtime_error);
  HelpDocument empty;
  EXPECT_THROW(WriteHelpFile(path, empty), std::runtime_error);
  EXPECT_THROW(WriteHelpFile((dir.path() / "no" / "such.hlp").string(), TwoTopics()),
               std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(path));
}

// WinHelp finds topics by this hash of their context ids.
TEST(WinHelpWriter, HashesContextIdsAsWinHelpDoes) {
  EXPECT_EQ(HelpContextHash("contents"), HelpContextHash("CONTENTS"));
  EXPECT_NE(HelpContextHash("modes"), HelpContextHash("mode"));
}

}  // namespace
}  // namespace quran
