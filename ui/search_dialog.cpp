// Compiled with a Windows-1256 execution character set: the dialog's Arabic texts
// are written as themselves and held as single bytes.
#include "search_dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "entry_points.h"
#include "host_command.h"
#include "resource.h"
#include "win_text.h"

namespace quran {
namespace {

const char kNoTextFound[] = "لا توجد آية تحتوي النص المراد البحث عنه";
const char kNoRootFound[] = "لا توجد آية تحتوي على أي من مشتقات الجذر المدخل";
const char kNothingFoundCaption[] = "لا يوجد";
// Around the number of verses. The closing RLM keeps the question mark at the end
// of the line in a box that reads left to right.
const char kLooseOfferStart[] = "عدد الآيات عند تجاهل الهمزات والتشكيل: ";
const char kAllWordsOfferStart[] = "عدد الآيات التي فيها كل الكلمات بأي ترتيب: ";
const char kAllWordsLooseOfferStart[] =
    "عدد الآيات التي فيها كل الكلمات بأي ترتيب مع تجاهل الهمزات والتشكيل: ";
const char kAllWordsPartsOfferStart[] =
    "عدد الآيات التي فيها كل الكلمات بأي ترتيب جزءا من النص مع تجاهل الهمزات والتشكيل: ";
const char kLooseOfferEnd[] = "، هل تريد عرضها؟\xFE";
const char kNoVerseInResults[] = "الآيات المطلوبة ليست ضمن نتائج البحث السابق";
const char kNoChapterChosen[] = "اختر السورة من القائمة، أو اكتب اسمها أو رقمها";
const char kVerseNotANumber[] = "اكتب رقم الآية بالأرقام";
const char kReferenceCaption[] = "المرجع";
const char kCopyOneVerse[] = "&نسـخ الأيــــة";
const char kCopyVerses[] = "نسـخ الآيــــات&";

bool IsWhiteSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

void ShowMessage(HWND owner, const char* text, const char* caption) {
  MessageBoxW(owner, FromCodePage(text).c_str(), FromCodePage(caption).c_str(), MB_OK);
}

void SetNumber(const Control& control, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  control.SetText(text);
}

}  // namespace

const MessageEntry<SearchDialog> SearchDialog::kMessages[] = {
    OnCommand<SearchDialog>(IDC_START_SEARCH, BN_CLICKED, &SearchDialog::RunSearch),
    OnCommand<SearchDialog>(IDC_RESULT_LIST, LBN_SELCHANGE, &SearchDialog::ShowSelectedVerse),
    OnCommand<SearchDialog>(IDC_COPY_VERSES, BN_CLICKED, &SearchDialog::OnCopyVerses),
    OnCommand<SearchDialog>(IDC_COPY_MARKED, BN_CLICKED, &SearchDialog::OnCopyMarked),
    OnCommand<SearchDialog>(IDC_CHOOSE_FONT, BN_CLICKED, &SearchDialog::OnChooseFont),
    OnCommand<SearchDialog>(IDC_CITATION_SETTINGS, BN_CLICKED, &SearchDialog::OnCitationSettings),
    OnMessage<SearchDialog>(WM_DESTROY, &SearchDialog::OnDestroy),
    OnCommandRange<SearchDialog>(IDC_MODE_PART_OF_TEXT, IDC_MODE_DERIVATIVES, BN_CLICKED,
                                 &SearchDialog::OnModeClicked),
    OnCommand<SearchDialog>(IDC_LOOSE_SEARCH, BN_CLICKED, &SearchDialog::OnLooseClicked),
    OnCommand<SearchDialog>(IDC_ALL_WORDS, BN_CLICKED, &SearchDialog::OnAllWordsClicked),
    OnCommandFunction<SearchDialog>(IDC_SEARCH_HELP, BN_CLICKED, &ConfigurationTab),
    OnCommand<SearchDialog>(IDC_SEARCH_ABOUT, BN_CLICKED, &SearchDialog::OnAbout),
    IgnoreCommand<SearchDialog>(IDC_SEARCH_TEXT, EN_CHANGE),
    OnMessageParams<SearchDialog>(WM_SHOWWINDOW, &SearchDialog::OnShowWindow),
    OnCommand<SearchDialog>(IDC_REF_SHOW, BN_CLICKED, &SearchDialog::OnShowReference),
    OnCommand<SearchDialog>(IDC_REF_CHAPTER, CBN_EDITCHANGE, &SearchDialog::OnChapterTyped),
    OnCommand<SearchDialog>(IDC_REF_CHAPTER, CBN_SETFOCUS, &SearchDialog::OnReferenceFocus),
    OnCommandRange<SearchDialog>(IDC_REF_FIRST, IDC_REF_LAST, EN_SETFOCUS,
                                 &SearchDialog::OnReferenceFieldFocus),
    OnCommand<SearchDialog>(IDC_SEARCH_TEXT, EN_SETFOCUS, &SearchDialog::OnSearchFocus),
    OnCommand<SearchDialog>(IDC_ROOT_LIST, CBN_SETFOCUS, &SearchDialog::OnSearchFocus),
};

SearchDialog::SearchDialog(HWND) : Dialog(IDD_SEARCH) {
  m_searchEdit.m_dialog = this;
}

SearchDialog::~SearchDialog() = default;

bool SearchDialog::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Dispatch(this, kMessages, message, wParam, lParam);
}

void SearchDialog::BindControls() {
  Bind(IDC_SEARCH_TEXT, m_searchEdit);
  Bind(IDC_ROOT_LIST, m_rootCombo);
  Bind(IDC_VERSE_TEXT, m_verseEdit);
  Bind(IDC_VERSE_COUNT, m_verseCountEdit);
  Bind(IDC_OCCURRENCE_COUNT, m_occurrenceCountEdit);
  Bind(IDC_RESULT_LIST, m_resultList);
  Bind(IDC_RESULTS_ONLY, m_resultsOnlyCheck);
  Bind(IDC_LOOSE_SEARCH, m_looseCheck);
  Bind(IDC_ALL_WORDS, m_allWordsCheck);
  Bind(IDC_COPY_MARKED, m_copyMarkedButton);
  Bind(IDC_COPY_VERSES, m_copyVerseButton);
  Bind(IDC_REF_CHAPTER, m_chapterCombo);
  Bind(IDC_REF_FIRST, m_firstVerseEdit);
  Bind(IDC_REF_LAST, m_lastVerseEdit);
  // A drop-down combo box's field is its one child.
  m_chapterEdit.Attach(GetWindow(m_chapterCombo.Window(), GW_CHILD));
}

bool ChapterEdit::ProcessMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_CHAR) m_erased = wParam == '\b';
  if (message == WM_KEYDOWN && wParam == VK_DELETE) m_erased = true;
  return false;
}

bool SearchDialog::OnInitDialog() {
  Dialog::OnInitDialog();
  if (m_store.LoadFailed) {
    DestroyWindow();
    return false;
  }
  if (!FindArabicLayout()) return false;
  FillRootList();
  FillChapterList();
  m_rootCombo.Enable(false);
  m_copyVerseButton.Enable(false);
  m_copyMarkedButton.Enable(false);
  m_resultsOnlyCheck.Enable(false);

  m_looseCheck.SetCheck(ReadLooseSetting());
  m_allWordsCheck.SetCheck(ReadAllWordsSetting());
  m_citationSettings = ReadCitationSettings();
  ReadModeSetting(&m_searchMode);
  if (m_searchMode >= m_firstModeId && m_searchMode <= m_lastModeId) {
    CheckRadioButton(Window(), m_firstModeId, m_lastModeId, m_searchMode);
  } else {
    for (int id = m_firstModeId; id <= m_lastModeId; ++id) CheckDlgButton(Window(), id, 0);
  }
  switch (CheckedMode()) {
    case Roots:
      OnRootMode();
      break;
    case 0:
      break;
    default:
      OnTextMode();
  }

  LOGFONTA font = {};
  ReadFontSetting(&font);
  m_font = std::make_unique<UniqueFont>(CreateFontIndirectA(&font));
  m_verseEdit.Send(WM_SETFONT, reinterpret_cast<WPARAM>(m_font->get()), TRUE);

  SendMessageW(Window(), DM_SETDEFID, IDC_START_SEARCH, 0);
  m_startedUp = true;
  return true;
}

bool SearchDialog::FindArabicLayout() {
  static constexpr int kMaxLayouts = 1024;
  HKL layouts[kMaxLayouts] = {};
  GetKeyboardLayoutList(kMaxLayouts, layouts);
  for (HKL layout : layouts) {
    if (!layout) break;
    // The language id's low ten bits are its primary language; the country does not matter.
    auto language = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(layout) & 0xFFFF);
    if ((language & 0x3FF) == LANG_ARABIC) {
      m_arabicLayout = layout;
      ActivateKeyboardLayout(layout, KLF_SETFORPROCESS);
      return true;
    }
  }
  MessageBoxW(nullptr, L"Arabic Language could not be detected.", L"Quran", MB_OK);
  m_store.LoadFailed = 1;
  DestroyWindow();
  return false;
}

void SearchDialog::FillRootList() {
  for (std::string_view root : m_store.Roots()) m_rootCombo.AddString(root);
}

void SearchDialog::FillChapterList() {
  for (int chapter = 1; chapter <= kChapterCount; ++chapter) {
    // Without name 15's marks, which would shift the completion's letters.
    int index = m_chapterCombo.AddString(WithoutMarks(ChapterName(chapter)));
    m_chapterCombo.Send(CB_SETITEMDATA, static_cast<WPARAM>(index), chapter);
  }
}

void SearchDialog::OnShowWindow(WPARAM shown, LPARAM) {
  if (!shown) return;
  m_hostWindow = GetHostWindow();
  if ((CopyHostSelection() & 0xFFFF) != 0) return;
  std::wstring unicode;
  {
    ClipboardLock clipboard(m_hostWindow);
    if (!clipboard || !ClipboardUnicode(&unicode)) return;
  }
  // Unicode, since Arabic-Indic digits and the ornate brackets have no code-page form.
  if (ShowSelectedReference(std::u16string(unicode.begin(), unicode.end()))) return;
  std::string selection = ToCodePage(unicode);
  // Setting a field's text grows with the square of its length (minutes for a few
  // pages under Wine), and nothing longer than a verse can be found anyway.
  m_searchEdit.SetText(QueryStart(selection, m_store.LongestSearchText()));
  SelectMode(WholeWord);
  RunSearch();
}

void SearchDialog::OnCancel() {
  ShowWindow(Window(), SW_HIDE);
}

void SearchDialog::OnDestroy() {
  // A window that destroyed itself while starting has no mode of the user's to keep,
  // and must not write its none over the saved one.
  if (!m_startedUp) return;
  m_searchMode = CheckedMode();
  WriteModeSetting(m_searchMode);
  WriteLooseSetting(m_looseCheck.IsChecked());
  WriteAllWordsSetting(m_allWordsCheck.IsChecked());
}

// A setting the user changes is saved at once, so that a Word that ends badly keeps
// it; the window's end saves them again.
void SearchDialog::OnModeClicked(int id) {
  if (m_startedUp) WriteModeSetting(id);
  OnModeButton(id);
}

void SearchDialog::OnLooseClicked() {
  if (m_startedUp) WriteLooseSetting(m_looseCheck.IsChecked());
}

void SearchDialog::OnAllWordsClicked() {
  if (m_startedUp) WriteAllWordsSetting(m_allWordsCheck.IsChecked());
}

void SearchDialog::OnModeButton(int id) {
  if (id == Roots) {
    OnRootMode();
  } else {
    OnTextMode();
  }
}

void SearchDialog::OnTextMode() {
  m_rootCombo.Enable(false);
  m_searchEdit.Enable(true);
}

void SearchDialog::OnRootMode() {
  m_rootCombo.Enable(true);
  m_searchEdit.Enable(false);
}

void SearchDialog::SelectMode(int modeId) {
  CheckRadioButton(Window(), m_firstModeId, m_lastModeId, modeId);
  OnModeButton(modeId);
}

void SearchDialog::OnAbout() {
  ShowAboutDialog();
}

int SearchDialog::CheckedMode() const {
  for (int id = m_firstModeId; id <= m_lastModeId; ++id) {
    if (IsDlgButtonChecked(Window(), id) == BST_CHECKED) return id;
  }
  return 0;
}

void SearchDialog::RunSearch() {
  // The search's reset clears the store's flags, so the previous result is kept here.
  std::uint8_t previous[kVerseCount];
  std::memcpy(previous, m_store.ResultFlags, sizeof previous);
  m_resultList.ResetContent();
  const std::uint8_t* filter = m_resultsOnlyCheck.IsChecked() ? previous : nullptr;

  int mode = CheckedMode();
  if (mode == 0) {
    SelectMode(WholeWord);
    mode = WholeWord;
  }
  Matching matching = m_looseCheck.IsChecked() ? Matching::kLoose : Matching::kExact;
  bool allWords = m_allWordsCheck.IsChecked();
  std::int32_t occurrences = SearchField(mode, filter, matching, allWords);
  if (occurrences <= 0) {
    m_occurrenceCountEdit.SetText("0");
    m_verseEdit.SetText("");
    m_verseCountEdit.SetText("0");
    occurrences = ReportNothingFound(mode, filter, matching, allWords);
    mode = CheckedMode();
  }
  if (occurrences == 0) {
    ClearResults();
    if (mode == Roots) m_rootCombo.ShowDropDown(true);
    return;
  }
  ListResults(occurrences);
}

void SearchDialog::ClearResults() {
  m_occurrenceCountEdit.SetText("0");
  m_verseEdit.SetText("");
  m_verseCountEdit.SetText("0");
  m_copyVerseButton.Enable(false);
  m_copyMarkedButton.Enable(false);
  m_resultsOnlyCheck.SetCheck(false);
  m_resultsOnlyCheck.Enable(false);
}

void SearchDialog::ListResults(std::int32_t occurrences) {
  SetNumber(m_occurrenceCountEdit, occurrences);
  m_copyVerseButton.Enable(true);
  m_copyMarkedButton.Enable(true);
  m_resultsOnlyCheck.Enable(true);
  int found = m_store.VerseCount();
  // One redraw and one allocation for the whole list, however long.
  m_resultList.SetRedraw(false);
  m_resultList.InitStorage(found, found * 24);
  int listed = 0;
  char item[64];
  for (int v = 0; v < kVerseCount; ++v) {
    if (!m_store.ResultFlags[v]) continue;
    const VerseIndexRecord& record = m_store.VerseIndex[v];
    std::snprintf(item, sizeof item, "%s %d", SuraName(record.chapter), record.verse);
    int index = m_resultList.AddString(item);
    m_resultList.SetItemData(index, v);
    ++listed;
  }
  m_resultList.SetSelected(0, true);
  m_resultList.SetRedraw(true);
  ShowSelectedVerse();
  SetNumber(m_verseCountEdit, listed);
}

void SearchDialog::ShowVerses(std::span<const VerseRange> ranges) {
  std::uint8_t previous[kVerseCount];
  std::memcpy(previous, m_store.ResultFlags, sizeof previous);
  m_resultList.ResetContent();
  const std::uint8_t* filter = m_resultsOnlyCheck.IsChecked() ? previous : nullptr;
  std::int32_t occurrences = m_store.FindVerses(ranges, filter, true);
  if (occurrences == 0) {
    ClearResults();
    ShowMessage(Window(), kNoVerseInResults, kNothingFoundCaption);
    return;
  }
  ListResults(occurrences);
}

std::int32_t SearchDialog::SearchField(int mode, const std::uint8_t* filter, Matching matching,
                                       bool allWords) {
  switch (mode) {
    case PartOfText:
    case WholeWord: {
      std::string text = FieldQuery(m_searchEdit.Text(), matching);
      if (text.empty()) return -1;
      if (allWords)
        return m_store.FindAllWords(text.c_str(), mode == WholeWord, filter, true, matching);
      if (mode == WholeWord) text = " " + text + " ";
      return m_store.FindText(text.c_str(), filter, true, matching);
    }
    case Roots: {
      // A root picked from the list is itself; only a typed one is matched loosely.
      if (m_rootCombo.ShowsSelectedItem()) matching = Matching::kExact;
      // Blanks left after a typed root are not part of it.
      std::string root = TrimBlanks(m_rootCombo.Text());
      if (matching == Matching::kLoose) root = WithoutMarks(root);
      return m_store.FindRoot(root.c_str(), filter, true, matching);
    }
    case Derivatives:
      return m_store.FindWordRoots(FieldQuery(m_searchEdit.Text(), matching).c_str(), filter, true,
                                   matching);
  }
  return -1;
}

namespace {

// A search more forgiving than one that found nothing, offered in this order.
struct Offer {
  Matching matching;
  bool allWords;
  bool partsOfText;  // from the whole-word mode, as parts of the text
  const char* start;
};
constexpr Offer kOffers[] = {
    {Matching::kLoose, false, false, kLooseOfferStart},
    {Matching::kExact, true, false, kAllWordsOfferStart},
    {Matching::kLoose, true, false, kAllWordsLooseOfferStart},
    {Matching::kLoose, true, true, kAllWordsPartsOfferStart},
};

}  // namespace

std::int32_t SearchDialog::ReportNothingFound(int mode, const std::uint8_t* filter,
                                              Matching searched, bool allWords) {
  const char* text = mode == Roots ? kNoRootFound : kNoTextFound;
  bool textMode = mode == PartOfText || mode == WholeWord;
  // All the words differ from the phrase only where two words or more were typed.
  std::string field = FieldQuery(m_searchEdit.Text(), Matching::kLoose);
  const std::size_t words = DistinctWords(field).size();
  for (const Offer& offer : kOffers) {
    // Only searches that forgive more than the one made: never back to exact letters,
    // to the phrase, or to a narrower mode.
    if (offer.matching == Matching::kExact && searched == Matching::kLoose) continue;
    if (!offer.allWords && allWords) continue;
    if (offer.matching == searched && offer.allWords == allWords) continue;
    if (offer.allWords && (!textMode || words < 2)) continue;
    if (offer.partsOfText && mode != WholeWord) continue;
    int offeredMode = offer.partsOfText ? PartOfText : mode;
    std::int32_t found = SearchField(offeredMode, filter, offer.matching, offer.allWords);
    if (found <= 0) continue;
    std::string question = std::string(text) + "\n" + offer.start +
                           std::to_string(m_store.VerseCount()) + kLooseOfferEnd;
    if (MessageBoxW(Window(), FromCodePage(question).c_str(),
                    FromCodePage(kNothingFoundCaption).c_str(), MB_YESNO) != IDYES) {
      // The store's flags are the window's result and the next filter: back to the
      // search that found nothing.
      m_store.FindText("", nullptr, true);
      return 0;
    }
    // What was offered is turned on, so that the next search is made the same way.
    m_looseCheck.SetCheck(offer.matching == Matching::kLoose);
    m_allWordsCheck.SetCheck(offer.allWords);
    WriteLooseSetting(offer.matching == Matching::kLoose);
    WriteAllWordsSetting(offer.allWords);
    if (offeredMode != mode) SelectMode(offeredMode);
    return found;
  }
  ShowMessage(Window(), text, kNothingFoundCaption);
  return 0;
}

bool SearchDialog::ShowSelectedReference(std::u16string_view selection) {
  Reference reference = ReadReference(ReferenceText(selection));
  // A word that only names a chapter ("الرحمن") is searched as the word it is.
  if (!MeantAsReference(reference)) return false;
  m_searchEdit.SetText("");
  SelectMode(WholeWord);
  if (reference.error != ReferenceError::kNone) {
    m_resultList.ResetContent();
    m_store.FindVerses({}, nullptr, true);
    ClearResults();
    ShowReferenceError(reference);
    return true;
  }
  ShowReferenceInRow(reference);
  ShowVerses(reference.ranges);
  return true;
}

void SearchDialog::ShowReferenceInRow(const Reference& reference) {
  if (reference.ranges.size() != 1) {
    m_chapterCombo.SetText("");
    m_firstVerseEdit.SetText("");
    m_lastVerseEdit.SetText("");
    return;
  }
  const VerseRange& range = reference.ranges.front();
  m_chapterCombo.Send(CB_SETCURSEL, static_cast<WPARAM>(range.chapter - 1));
  bool whole = range.first == 1 && range.last == kChapterVerseCounts[range.chapter - 1];
  m_firstVerseEdit.SetText(whole ? "" : std::to_string(range.first));
  m_lastVerseEdit.SetText(whole || range.last == range.first ? "" : std::to_string(range.last));
}

void SearchDialog::ShowReferenceError(const Reference& reference) {
  std::string text;
  const std::string number = std::to_string(reference.number);
  switch (reference.error) {
    case ReferenceError::kNoSuchChapter:
      text = "لا توجد سورة رقمها " + number + "، فالسور مرقمة من 1 إلى 114";
      break;
    case ReferenceError::kVerseZero:
      text = "الآيات مرقمة من 1";
      break;
    case ReferenceError::kPastChapterEnd:
      text = std::string(SuraName(reference.chapter)) + " ليس فيها آية رقمها " + number +
             "، وعدد آياتها " + std::to_string(kChapterVerseCounts[reference.chapter - 1]);
      break;
    case ReferenceError::kNumberTooLarge:
      text = "الرقم أكبر من أن يكون رقم سورة أو آية";
      break;
    case ReferenceError::kUnknownName:
      text = "لا توجد سورة بهذا الاسم";
      break;
    case ReferenceError::kChaptersDisagree:
      text = "في المرجع سورتان: " + std::string(SuraName(reference.chapter)) + " باسمها، و" +
             SuraName(reference.otherChapter) + " برقمها " + std::to_string(reference.otherChapter);
      break;
    case ReferenceError::kAmbiguousName:
      text = "الاسم يصدق على سورتين: " + std::string(SuraName(reference.chapter)) + " و" +
             SuraName(reference.otherChapter) + "، فاكتب رقم السورة";
      break;
    case ReferenceError::kAmbiguous:
      text = "الرقم " + number + " قد يكون رقم " + std::string(SuraName(reference.chapter)) +
             " أو رقم آية فيها؛ فاكتب رقمي السورة والآية هكذا: " + number + ":1";
      break;
    case ReferenceError::kUnseparated:
      text = "بعد المرجع ما ليس منه؛ افصل بين المراجع بفاصلة أو بالواو";
      break;
    default:
      text = kVerseNotANumber;
  }
  ShowMessage(Window(), text.c_str(), kReferenceCaption);
}

void SearchDialog::OnChapterTyped() {
  if (m_completingChapter || m_chapterEdit.m_erased) return;
  std::string typed = m_chapterCombo.Text();
  DWORD caret = 0;
  m_chapterCombo.Send(CB_GETEDITSEL, reinterpret_cast<WPARAM>(&caret), 0);
  // Only letters typed at the end are completed, never inside the name.
  if (caret != typed.size()) return;
  auto [chapter, typedEnd] = ChapterByPrefix(typed);
  if (!chapter || typedEnd == std::string_view::npos) return;
  std::string name = WithoutMarks(ChapterName(chapter));
  m_completingChapter = true;
  m_chapterCombo.SetText(name);
  m_completingChapter = false;
  m_chapterCombo.Send(CB_SETEDITSEL, 0, MAKELPARAM(typedEnd, -1));
}

void SearchDialog::OnShowReference() {
  std::string chapterText = ReferenceText(m_chapterCombo.UnicodeText());
  int chapter = ChapterByName(chapterText);
  if (!chapter) chapter = ChapterByPrefix(chapterText).chapter;
  if (!chapter) {
    ShowMessage(Window(), kNoChapterChosen, kReferenceCaption);
    SetFocus(m_chapterCombo.Window());
    return;
  }
  m_chapterCombo.Send(CB_SETCURSEL, static_cast<WPARAM>(chapter - 1));
  // The verses as a reference of the chapter's number, so that they are checked as
  // every written reference is.
  std::string fields[2];
  const EditControl* edits[2] = {&m_firstVerseEdit, &m_lastVerseEdit};
  for (int k = 0; k < 2; ++k) {
    std::string text = TrimBlanks(ReferenceText(edits[k]->UnicodeText()));
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      ShowMessage(Window(), kVerseNotANumber, kReferenceCaption);
      SetFocus(edits[k]->Window());
      return;
    }
    fields[k] = text;
  }
  std::string written = std::to_string(chapter);
  if (!fields[0].empty() || !fields[1].empty()) {
    written.append(":").append(fields[0].empty() ? "1" : fields[0]);
    if (!fields[1].empty()) written.append("-").append(fields[1]);
  }
  Reference reference = ReadReference(written);
  if (reference.error != ReferenceError::kNone) {
    ShowReferenceError(reference);
    return;
  }
  ShowVerses(reference.ranges);
}

void SearchDialog::OnReferenceFocus() {
  SendMessageW(Window(), DM_SETDEFID, IDC_REF_SHOW, 0);
}

void SearchDialog::OnReferenceFieldFocus(int) {
  OnReferenceFocus();
}

void SearchDialog::OnSearchFocus() {
  SendMessageW(Window(), DM_SETDEFID, IDC_START_SEARCH, 0);
}

void SearchDialog::ShowSelectedVerse() {
  int selected = 0;
  if (m_resultList.SelectedCount() != 1 || m_resultList.SelectedItems(&selected, 1) != 1) {
    m_verseEdit.SetText("");
    m_copyVerseButton.SetText(kCopyVerses);
    m_copyMarkedButton.Enable(false);
    return;
  }
  m_copyMarkedButton.Enable(true);
  m_copyVerseButton.SetText(kCopyOneVerse);
  // The verse field is set once, never emptied first: each change lays it out anew.
  std::string_view shown;
  auto verse = static_cast<std::uint32_t>(m_resultList.ItemData(selected));
  if (m_store.GetVerseText(verse, m_textBuffer, sizeof m_textBuffer)) {
    shown = m_textBuffer;
    while (!shown.empty() && IsWhiteSpace(shown.front())) shown.remove_prefix(1);
    while (!shown.empty() && IsWhiteSpace(shown.back())) shown.remove_suffix(1);
  }
  m_verseEdit.SetText(shown);
}

}  // namespace quran
