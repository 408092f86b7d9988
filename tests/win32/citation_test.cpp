// Citations from the search window into the stand-in Word: whole verses from the
// list, marked words widened to whole words, the clipboard's two formats and its
// refusal. Compiled with a Windows-1256 execution character set.
#include <string>
#include <vector>

#include "search_window_fixture.h"

namespace {

int VerseIndexOf(int chapter, int verse) {
  for (int v = 0; v < quran::kVerseCount; ++v) {
    const quran::VerseIndexRecord& r = Store().VerseIndex[v];
    if (r.chapter == chapter && r.verse == verse) return v;
  }
  return -1;
}

std::string VerseText(int v) {
  static char text[4096];
  return Store().GetVerseText(static_cast<std::uint32_t>(v), text, sizeof text) ? text : "";
}

std::string WholeCitation(int v) {
  const quran::VerseIndexRecord& r = Store().VerseIndex[v];
  return "(" + VerseText(v) + ") (" + quran::SuraName(r.chapter) + ": " + Number(r.verse) + ")";
}

std::string PartCitation(int v, const std::string& part) {
  const quran::VerseIndexRecord& r = Store().VerseIndex[v];
  return "(" + part + ") (" + quran::SuraName(r.chapter) + ": من الآية " + Number(r.verse) + ")";
}

// The texts the host was asked to insert, in order.
// The text of each command 110, when the host pasted exactly that text from the
// clipboard; the whole log line otherwise.
std::vector<std::string> InsertedCitations() {
  std::vector<std::string> texts;
  const std::string head = "110 options=2 count=1 args=[string \"";
  const std::string middle = "\"] result=none => 0 pasted \"";
  for (const std::string& line : wordhost::CommandLog()) {
    if (line.rfind(head, 0) != 0) continue;
    std::size_t end = line.find(middle, head.size());
    std::string text = end == std::string::npos ? "" : line.substr(head.size(), end - head.size());
    bool pastedIt = end != std::string::npos && line == head + text + middle + text + "\"";
    texts.push_back(pastedIt ? text : "<" + line + ">");
  }
  return texts;
}

class CitationTest : public SearchWindowTest {
 protected:
  // Lists "قل هو الله أحد" (112:1) alone and shows it.
  void ShowOneVerse(const char* query = "قل هو الله أحد") {
    LoadAddin();
    OpenSearch();
    sw::Search(sw::kPartOfText, query);
    ASSERT_EQ(sw::ItemVerses().size(), 1u);
    wordhost::ClearCommandLog();
  }

  // Marks characters [from, to) of the shown verse, or backwards, and copies them.
  std::vector<std::string> CopyMarked(int from, int to) {
    wordhost::ClearCommandLog();
    SendMessageW(sw::Item(sw::kVerseText), EM_SETSEL, from, to);
    sw::Click(sw::kCopyMarked);
    return InsertedCitations();
  }
};

}  // namespace

TEST_F(CitationTest, SelectedVersesGoOneCommandEachInListOrder) {
  LoadAddin();
  OpenSearch();
  sw::Search(sw::kPartOfText, "الرحمن الرحيم");
  std::vector<int> verses = sw::ItemVerses();
  ASSERT_GE(verses.size(), 4u);
  sw::SetItemSelected(3, true);
  sw::SetItemSelected(1, true);
  wordhost::ClearCommandLog();
  std::wstring before = wordhost::DocumentText();
  sw::Click(sw::kCopyVerses);

  std::vector<std::string> expected = {WholeCitation(verses[0]), WholeCitation(verses[1]),
                                       WholeCitation(verses[3])};
  EXPECT_EQ(InsertedCitations(), expected);
  EXPECT_TRUE(ModalWindows().empty());
  // The clipboard keeps the last; its Unicode copy is right under any code page.
  EXPECT_EQ(ClipboardUnicode(), quran::FromCodePage(expected[2]));
  EXPECT_EQ(ClipboardText(), expected[2]);
  // The host pastes the clipboard's Unicode copy, as Word does: right under any
  // code page.
  std::wstring inserted;
  for (const std::string& citation : expected) inserted += quran::FromCodePage(citation);
  std::wstring document = before;
  document.replace(4, 4, inserted);
  EXPECT_EQ(wordhost::DocumentText(), document);
  Screenshot(("wordhost_citations_cp" + Number(GetACP())).c_str());
}

TEST_F(CitationTest, TheLongestVerseIsCitedWhole) {
  LoadAddin();
  OpenSearch();
  int longest = VerseIndexOf(2, 282);
  std::printf("2:282 display text: %zu bytes in Windows-1256\n", VerseText(longest).size());
  sw::Search(sw::kPartOfText, "يا أيها الذين آمنوا إذا تداينتم");
  ASSERT_EQ(sw::ItemVerses(), std::vector<int>{longest});
  wordhost::ClearCommandLog();
  sw::Click(sw::kCopyVerses);
  EXPECT_EQ(InsertedCitations(), std::vector<std::string>{WholeCitation(longest)});
  EXPECT_TRUE(ModalWindows().empty());
}

TEST_F(CitationTest, MarkedWordsWidenToWholeWords) {
  ShowOneVerse();
  int v = sw::ItemVerses()[0];
  std::string text = VerseText(v);
  ASSERT_EQ(sw::Text(sw::kVerseText), text);
  // Four words: قل هو الله أحد, with their harakat.
  std::vector<std::size_t> starts = {0};
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ') starts.push_back(i + 1);
  }
  ASSERT_EQ(starts.size(), 4u);
  auto word = [&](int i) {
    std::size_t end = i + 1 < 4 ? starts[i + 1] - 1 : text.size();
    return text.substr(starts[i], end - starts[i]);
  };
  int n = static_cast<int>(text.size());
  int second = static_cast<int>(starts[1]), third = static_cast<int>(starts[2]);
  int last = static_cast<int>(starts[3]);

  struct Case {
    const char* what;
    int from, to;
    std::string citation;
  };
  const Case cases[] = {
      {"inside a middle word", second + 1, second + 2, PartCitation(v, " " + word(1) + " ")},
      {"a middle word from its first letter", second, second + 1,
       PartCitation(v, " " + word(1) + " ")},
      {"backwards", second + 2, second + 1, PartCitation(v, " " + word(1) + " ")},
      {"two middle words", second + 1, third + 1,
       PartCitation(v, " " + word(1) + " " + word(2) + " ")},
      {"inside the first word", 1, 2, PartCitation(v, word(0) + " ")},
      {"inside the last word", last + 1, last + 2, PartCitation(v, " " + word(3))},
      {"only a blank", third - 1, third, PartCitation(v, " ")},
      {"first word to last word", 1, n - 1, WholeCitation(v)},
      {"the whole text", 0, n, WholeCitation(v)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CopyMarked(c.from, c.to), std::vector<std::string>{c.citation});
  }
  // Copying the verse from the list gives what marking all of it gives.
  wordhost::ClearCommandLog();
  sw::Click(sw::kCopyVerses);
  EXPECT_EQ(InsertedCitations(), std::vector<std::string>{WholeCitation(v)});
  // A caret only: nothing.
  EXPECT_TRUE(CopyMarked(second + 1, second + 1).empty());
  EXPECT_TRUE(ModalWindows().empty());
}

TEST_F(CitationTest, AnyMarkInAOneWordVerseCitesTheWholeVerse) {
  LoadAddin();
  OpenSearch();
  sw::Search(sw::kWholeWord, "طه");
  std::vector<int> verses = sw::ItemVerses();
  ASSERT_EQ(verses.size(), 1u);
  EXPECT_EQ(VerseText(verses[0]).find(' '), std::string::npos);
  EXPECT_EQ(CopyMarked(1, 2), std::vector<std::string>{WholeCitation(verses[0])});
}

TEST_F(CitationTest, CopyMarkedNeedsExactlyOneVerse) {
  LoadAddin();
  OpenSearch();
  sw::SetItemSelected(1, true);
  EXPECT_FALSE(sw::Enabled(sw::kCopyMarked));
  // Even sent straight to the window, the command does nothing.
  wordhost::ClearCommandLog();
  SendMessageW(sw::Item(sw::kVerseText), EM_SETSEL, 0, 3);
  SendMessageW(sw::Find(), WM_COMMAND, MAKEWPARAM(sw::kCopyMarked, BN_CLICKED),
               reinterpret_cast<LPARAM>(sw::Item(sw::kCopyMarked)));
  EXPECT_TRUE(InsertedCitations().empty());
}

TEST_F(CitationTest, AClipboardHeldElsewhereRefusesEachCitationWithAMessage) {
  LoadAddin();
  OpenSearch();
  sw::SetItemSelected(1, true);
  sw::SetItemSelected(2, true);
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, L"QuranClipboardHeld");
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, L"QuranClipboardRelease");
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION holder = {};
  char command[] = "bin\\clipboard_holder.exe";
  ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &holder));
  bool holding = WaitForSingleObject(held, 20000) == WAIT_OBJECT_0;
  wordhost::ClearCommandLog();
  if (holding) sw::Click(sw::kCopyVerses);
  SetEvent(release);
  WaitForSingleObject(holder.hProcess, 20000);
  CloseHandle(holder.hThread);
  CloseHandle(holder.hProcess);
  CloseHandle(held);
  CloseHandle(release);

  ASSERT_TRUE(holding);
  const Modal refused = {"   ", "Error: clipboard cannot be opened"};
  EXPECT_EQ(ModalWindows(), std::vector<Modal>(3, refused));
  EXPECT_TRUE(InsertedCitations().empty());
}
