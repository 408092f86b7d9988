// Citations from the search window into the stand-in Word: whole verses from the
// list, marked words widened to whole words, the clipboard's formats and its
// refusal. Compiled with a Windows-1256 execution character set.
#include <richedit.h>

#include <algorithm>
#include <cstring>
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

// The RTF read by a rich edit control: its text, and the face and size in twips of
// its first character.
struct RichText {
  std::wstring text, face;
  LONG twips = 0;
};

RichText ReadRtf(const std::string& rtf) {
  RichText read;
  LoadLibraryW(L"msftedit.dll");
  HWND edit = CreateWindowExW(0, MSFTEDIT_CLASS, L"", ES_MULTILINE, 0, 0, 400, 100, nullptr,
                              nullptr, nullptr, nullptr);
  if (!edit) return read;
  SETTEXTEX how = {ST_DEFAULT, CP_ACP};
  SendMessageW(edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
               reinterpret_cast<LPARAM>(rtf.c_str()));
  wchar_t text[4096] = {};
  GetWindowTextW(edit, text, 4096);
  read.text = text;
  SendMessageW(edit, EM_SETSEL, 0, 1);
  CHARFORMAT2W format = SelectionFormat(edit);
  read.face = format.szFaceName;
  read.twips = format.yHeight;
  DestroyWindow(edit);
  return read;
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

// The separator chosen in the settings goes between the citations of one copy.
TEST_F(CitationTest, CitationsOfOneCopyAreSeparatedAsChosen) {
  const unsigned char paragraph[4] = {2, 0, 0, 0};
  SaveValue("CitationSeparator", paragraph, sizeof paragraph);
  LoadAddin();
  OpenSearch();
  sw::Search(sw::kPartOfText, "أحد");
  std::vector<int> verses = sw::ItemVerses();
  ASSERT_GE(verses.size(), 2u);
  sw::SetItemSelected(1, true);
  wordhost::SetDocumentText(L"");
  wordhost::ClearCommandLog();
  sw::Click(sw::kCopyVerses);
  // The second begins with the separator in every form; the document, which takes
  // the rich form, has them in two paragraphs.
  EXPECT_EQ(ClipboardText(), "\r\n" + WholeCitation(verses[1]));
  EXPECT_EQ(wordhost::DocumentText(), quran::FromCodePage(WholeCitation(verses[0])) + L"\r" +
                                          quran::FromCodePage(WholeCitation(verses[1])));
  EXPECT_TRUE(ModalWindows().empty());
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
  // Only the blank between two words: no empty citation, and the user is told why.
  EXPECT_TRUE(CopyMarked(third - 1, third).empty());
  EXPECT_EQ(ModalWindows(),
            (std::vector<Modal>{
                {"Quran Verse Search", "ظلل كلمة أو أكثر من نص الآية ثم اضغط «نسخ المظلل»."}}));
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

TEST_F(CitationTest, OrnateJoinedCitationGoesAsFourFormatsTheAnsiOnesInPlainBrackets) {
  SaveQuranicVerseFont();
  LoadAddin();
  OpenSearch();
  sw::Search(sw::kPartOfText, "د");
  std::vector<int> verses = sw::ItemVerses();
  auto first = std::find(verses.begin(), verses.end(), VerseIndexOf(112, 1));
  ASSERT_LE(first + 4, verses.end());
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(first[i], VerseIndexOf(112, i + 1));
    sw::SetItemSelected(static_cast<int>(first - verses.begin()) + i, true);
  }
  sw::SetItemSelected(0, false);
  Window().m_citationSettings.style = {quran::CitationBrackets::kOrnate,
                                       quran::CitationReference::kShort,
                                       quran::CitationDigits::kArabicIndic, true};
  // The citation alone in the document, so that its whole line shows.
  wordhost::SetDocumentText(L"");
  wordhost::ClearCommandLog();
  sw::Click(sw::kCopyVerses);

  std::string plain = "(";
  std::wstring ornate = L"\xFD3F";
  for (int i = 0; i < 4; ++i) {
    std::string text = VerseText(first[i]);
    plain += (i ? " " : "") + text + " (" + Number(i + 1) + ")";
    ornate += (i ? L" " : L"") + quran::FromCodePage(text) + L" \x06DD" +
              static_cast<wchar_t>(0x0661 + i);
  }
  plain += ") [الإخلاص: 1 - 4]";
  ornate += L"\xFD3E [" + quran::FromCodePage("الإخلاص") + L": \x0661 - \x0664]";
  // Windows-1256 lacks the style's characters: the ANSI forms take the nearest. The
  // host gets that and pastes the Unicode form.
  std::vector<std::string> commands;
  for (const std::string& line : wordhost::CommandLog()) {
    if (line.rfind("110 ", 0) == 0) commands.push_back(line);
  }
  EXPECT_EQ(commands, std::vector<std::string>{"110 options=2 count=1 args=[string \"" + plain +
                                               "\"] result=none => 0 pasted \"" +
                                               quran::ToCodePage(ornate) + "\""});
  EXPECT_EQ(ClipboardText(), plain);
  EXPECT_EQ(ClipboardUnicode(), ornate);

  std::string html = ClipboardData<char>(RegisterClipboardFormatW(L"HTML Format"));
  std::size_t start = html.find("StartFragment:"), end = html.find("EndFragment:");
  ASSERT_NE(end, std::string::npos) << html;
  std::string fragment = html.substr(std::stoul(html.substr(start + 14, 10)));
  fragment.resize(std::stoul(html.substr(end + 12, 10)) - std::stoul(html.substr(start + 14, 10)));
  EXPECT_EQ(fragment.rfind("<p dir=\"rtl\"", 0), 0u) << fragment;
  EXPECT_EQ(fragment.substr(fragment.size() - 4), "</p>");

  HFONT font = reinterpret_cast<HFONT>(SendMessageW(sw::Item(sw::kVerseText), WM_GETFONT, 0, 0));
  LOGFONTW verseFont = {};
  ASSERT_TRUE(GetObjectW(font, sizeof verseFont, &verseFont));
  RichText rich = ReadRtf(ClipboardData<char>(RegisterClipboardFormatW(L"Rich Text Format")));
  EXPECT_EQ(rich.text, ornate);
  EXPECT_EQ(rich.face, verseFont.lfFaceName);
  EXPECT_GE(rich.twips, 8 * 20);
  // The host pasted the Rich Text Format: the document shows the verse font.
  EXPECT_EQ(wordhost::DocumentText(), ornate);
  wordhost::SetSelection(0, static_cast<int>(ornate.size()));
  CHARFORMAT2W pasted = SelectionFormat(wordhost::DocumentWindow());
  EXPECT_EQ(pasted.dwMask & (CFM_FACE | CFM_SIZE), static_cast<DWORD>(CFM_FACE | CFM_SIZE));
  EXPECT_EQ(std::wstring(pasted.szFaceName), verseFont.lfFaceName);
  EXPECT_EQ(pasted.yHeight, rich.twips);
  wordhost::SetSelection(0, 0);
  Screenshot(("wordhost_ornate_joined_cp" + Number(GetACP())).c_str());
}
