// Verses by their reference in the search window: Search... on a selected reference,
// and the row that goes to a chapter's verses. Compiled with a Windows-1256 execution
// character set.
#include "resource.h"
#include "search_window_fixture.h"

namespace {

const char kReferenceCaption[] = "المرجع";

// Search... on the whole document, the window hidden first so that it searches anew.
void SearchSelection(const std::wstring& text) {
  if (sw::Find() && IsWindowVisible(sw::Find())) sw::Click(IDCANCEL);
  wordhost::SetDocumentText(text);
  wordhost::SetSelection(0, -1);
  ASSERT_TRUE(wordhost::ClickMenuItem("&Quran", "&Search..."));
  wordhost::PumpMessages();
}

HWND ChapterField() {
  return GetWindow(sw::Item(IDC_REF_CHAPTER), GW_CHILD);
}

}  // namespace

TEST_F(SearchWindowTest, ASelectedReferenceShowsItsVersesAndAWordIsStillSearched) {
  LoadAddin();
  SearchSelection(L"البقرة 255");
  std::vector<quran::VerseRange> verse = {{2, 255, 255}};
  ExpectListedAsStore(Store().FindVerses(verse, nullptr, true));
  EXPECT_EQ(sw::Items(), std::vector<std::string>{"سورة البقرة 255"});
  EXPECT_TRUE(ModalWindows().empty());
  EXPECT_EQ(sw::Text(IDC_REF_CHAPTER), "البقرة");
  EXPECT_EQ(sw::Text(IDC_REF_FIRST), "255");
  ScreenshotWindow("reference_selected");

  // Arabic-Indic digits and a joined citation's spaced range, read from the Unicode copy.
  SearchSelection(L"[الإخلاص: \u0661 - \u0664]");
  std::vector<quran::VerseRange> ikhlas = {{112, 1, 4}};
  ExpectListedAsStore(Store().FindVerses(ikhlas, nullptr, true));
  EXPECT_EQ(sw::Text(sw::kVerseCount), "4");
  EXPECT_TRUE(ModalWindows().empty());

  // A whole chapter, then a text searched within it keeps only its verses.
  SearchSelection(L"سورة البقرة");
  std::vector<quran::VerseRange> baqarah = {{2, 1, 286}};
  ExpectListedAsStore(Store().FindVerses(baqarah, nullptr, true));
  EXPECT_EQ(sw::Text(sw::kVerseCount), "286");
  std::uint8_t chapter[quran::kVerseCount];
  std::memcpy(chapter, Store().ResultFlags, sizeof chapter);
  sw::Click(sw::kResultsOnly);
  sw::Search(sw::kPartOfText, "الصلاة");
  ExpectListedAsStore(Store().FindText("الصلاة", chapter, true));
  for (int v : sw::ItemVerses()) EXPECT_EQ(Store().VerseIndex[v].chapter, 2);
  EXPECT_GT(sw::ItemVerses().size(), 5u);
  sw::Click(sw::kResultsOnly);

  // A chapter's other name, and a name written beside the number: that verse alone.
  SearchSelection(L"براءة 1");
  std::vector<quran::VerseRange> baraah = {{9, 1, 1}};
  ExpectListedAsStore(Store().FindVerses(baraah, nullptr, true));
  EXPECT_EQ(sw::Items(), std::vector<std::string>{"سورة التوبة 1"});
  SearchSelection(L"2:255 (Al-Baqarah)");
  ExpectListedAsStore(Store().FindVerses(verse, nullptr, true));
  EXPECT_EQ(sw::Items(), std::vector<std::string>{"سورة البقرة 255"});
  EXPECT_TRUE(ModalWindows().empty());
  ScreenshotWindow("reference_name_beside_number");

  // A name and a number of two chapters are refused, both named.
  sw::Click(IDCANCEL);
  SearchSelectionAnsweringTheBox(L"4:88 (Al-A'la)", "reference_two_chapters", IDOK);
  EXPECT_EQ(ModalWindows(),
            (std::vector<Modal>{{kReferenceCaption,
                                 "في المرجع سورتان: سورة الأعلى باسمها، وسورة النساء برقمها 4"}}));
  EXPECT_TRUE(sw::Items().empty());

  // A chapter's name alone is the word it is.
  SearchSelection(L"الرحمن");
  EXPECT_EQ(sw::Text(sw::kSearchText), "الرحمن");
  ExpectListedAsStore(Store().FindText(" الرحمن ", nullptr, true));
  EXPECT_TRUE(ModalWindows().empty());

  // A verse the chapter lacks is said so, and nothing is listed.
  SearchSelection(L"سورة البقرة 300");
  EXPECT_EQ(ModalWindows(),
            (std::vector<Modal>{
                {kReferenceCaption, "سورة البقرة ليس فيها آية رقمها 300، وعدد آياتها 286"}}));
  EXPECT_TRUE(sw::Items().empty());
  EXPECT_FALSE(sw::Enabled(sw::kCopyVerses));
}

TEST_F(SearchWindowTest, TheReferenceRowCompletesTheChapterAndShowsItsVerses) {
  LoadAddin();
  OpenSearch();
  // Typed without its article, the name is completed, the rest marked to type over.
  SetFocus(ChapterField());
  for (wchar_t c : std::wstring(L"بقر")) SendMessageW(ChapterField(), WM_CHAR, c, 1);
  EXPECT_EQ(sw::Text(IDC_REF_CHAPTER), "البقرة");
  DWORD start = 0, end = 0;
  SendMessageW(ChapterField(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 5u);
  EXPECT_EQ(end, 6u);
  // Erasing the completion is not completed again.
  SendMessageW(ChapterField(), WM_CHAR, L'\b', 1);
  EXPECT_EQ(sw::Text(IDC_REF_CHAPTER), "البقر");

  sw::SetText(IDC_REF_FIRST, "257");
  sw::SetText(IDC_REF_LAST, "255");
  // Enter in the row shows its verses, not the search field's.
  SetFocus(sw::Item(IDC_REF_FIRST));
  PostMessageW(sw::Item(IDC_REF_FIRST), WM_KEYDOWN, VK_RETURN, 0);
  wordhost::PumpMessages(100);
  std::vector<quran::VerseRange> verses = {{2, 255, 257}};
  ExpectListedAsStore(Store().FindVerses(verses, nullptr, true));
  EXPECT_EQ(sw::Text(IDC_REF_CHAPTER), "البقرة");
  EXPECT_TRUE(ModalWindows().empty());
  ScreenshotWindow("reference_row");

  // A verse past the chapter's end and a field that is no number are refused.
  sw::SetText(IDC_REF_FIRST, "287");
  sw::SetText(IDC_REF_LAST, "");
  sw::Click(IDC_REF_SHOW);
  sw::SetText(IDC_REF_FIRST, "x");
  sw::Click(IDC_REF_SHOW);
  EXPECT_EQ(ModalWindows(),
            (std::vector<Modal>{
                {kReferenceCaption, "سورة البقرة ليس فيها آية رقمها 287، وعدد آياتها 286"},
                {kReferenceCaption, "اكتب رقم الآية بالأرقام"}}));
  // A chapter by its number, whole.
  sw::SetText(IDC_REF_CHAPTER, "112");
  sw::SetText(IDC_REF_FIRST, "");
  sw::Click(IDC_REF_SHOW);
  std::vector<quran::VerseRange> ikhlas = {{112, 1, 4}};
  ExpectListedAsStore(Store().FindVerses(ikhlas, nullptr, true));
  EXPECT_EQ(sw::Text(IDC_REF_CHAPTER), "الإخلاص");
}
