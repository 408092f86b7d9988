// The search window's settings under HKEY_CURRENT_USER: the mode, the verse font
// and the citation settings, their defaults, damaged values, the font dialog and
// the citation settings window.
// Compiled with a Windows-1256 execution character set.
#include <string>
#include <utility>
#include <vector>

#include "search_window_fixture.h"

namespace {

// The stored bytes and type of a value; empty when it is missing.
std::vector<unsigned char> StoredValue(const char* name, DWORD* type = nullptr) {
  std::vector<unsigned char> data(256);
  DWORD size = static_cast<DWORD>(data.size()), kind = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY, &kind, data.data(), &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  if (type) *type = kind;
  data.resize(size);
  return data;
}

bool KeyExists() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

HFONT VerseFont() {
  return reinterpret_cast<HFONT>(SendMessageW(sw::Item(sw::kVerseText), WM_GETFONT, 0, 0));
}

LOGFONTA Describe(HFONT font) {
  LOGFONTA description = {};
  GetObjectA(font, sizeof description, &description);
  return description;
}

void ExpectDefaultFont(const LOGFONTA& font) {
  EXPECT_STREQ(font.lfFaceName, "Traditional Arabic");
  EXPECT_EQ(font.lfHeight, 32);
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(font.lfPitchAndFamily, FF_SWISS | DEFAULT_PITCH);
  EXPECT_FALSE(font.lfUnderline);
}

// Works the font dialog as a user would: clicks Underline, then OK.
void UnderlineAndConfirm(HWND dialog) {
  PostMessageW(GetDlgItem(dialog, 0x411), BM_CLICK, 0, 0);  // chx2, the Underline box
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

HFONT WINAPI RefuseFont(const LOGFONTA*) {
  return nullptr;
}

// While it lives, the add-in's imported CreateFontIndirectA fails, as it does in a
// process that has used up its GDI handles.
class FailingFontCreation {
 public:
  explicit FailingFontCreation(HMODULE module) {
    auto real = reinterpret_cast<ULONG_PTR>(
        GetProcAddress(GetModuleHandleA("gdi32.dll"), "CreateFontIndirectA"));
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    IMAGE_DATA_DIRECTORY imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         dll->Name && !slot_; ++dll) {
      for (auto* s = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk); s->u1.Function;
           ++s) {
        if (s->u1.Function == real) slot_ = &s->u1.Function;
      }
    }
    if (slot_) Write(reinterpret_cast<ULONG_PTR>(&RefuseFont));
    real_ = real;
  }
  ~FailingFontCreation() {
    if (slot_) Write(real_);
  }
  bool Active() const { return slot_ != nullptr; }

 private:
  void Write(ULONG_PTR value) {
    DWORD old;
    VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
    *slot_ = value;
    VirtualProtect(slot_, sizeof *slot_, old, &old);
  }
  ULONG_PTR* slot_ = nullptr;
  ULONG_PTR real_ = 0;
};

const char* const kCitationValues[] = {"CitationBrackets", "CitationReference", "CitationDigits",
                                       "CitationJoin", "CitationDocumentFont"};
enum CitationSettingsId : int {
  kPlainBrackets = 3000,
  kOrnate = 3001,
  kShortReference = 3003,
  kArabicDigits = 3005,
  kJoin = 3006,
  kDocumentFont = 3007,
  kPreview = 3008,
  kSeparatorParagraph = 3011,
};

const quran::CitationSettings kEverythingOn = {
    {quran::CitationBrackets::kOrnate, quran::CitationReference::kShort,
     quran::CitationDigits::kArabicIndic, true, quran::CitationSeparator::kParagraph},
    true};

// What the settings window showed, read from inside its modal loop: the preview at
// first and after each choice clicked, before the window was ended with a key.
struct SettingsWindowVisit {
  std::vector<int> clicks;
  UINT key = VK_RETURN;
  std::vector<std::wstring> previews;
  std::string caption;
};
SettingsWindowVisit g_visit;
HWND g_settingsWindow = nullptr;

std::wstring PreviewText() {
  wchar_t text[8192] = {};
  GetWindowTextW(GetDlgItem(g_settingsWindow, kPreview), text, 8192);
  return text;
}

void CALLBACK WorkSettingsWindow(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  g_visit.caption = quran::WindowText1256(g_settingsWindow);
  g_visit.previews.push_back(PreviewText());
  for (int id : g_visit.clicks) {
    SendMessageW(GetDlgItem(g_settingsWindow, id), BM_CLICK, 0, 0);
    g_visit.previews.push_back(PreviewText());
  }
  if (g_visit.key == VK_RETURN) {
    RedrawWindow(g_settingsWindow, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::string path = "screenshots/citation_settings_cp" + Number(GetACP()) + ".png";
    CreateDirectoryA("screenshots", nullptr);
    EXPECT_TRUE(wordhost::SaveWindowPng(g_settingsWindow, path.c_str())) << path;
  }
  // As the keyboard gives it to the focused control.
  HWND focus = GetFocus();
  PostMessageW(focus ? focus : g_settingsWindow, WM_KEYDOWN, g_visit.key, 1);
}

void StartVisit(HWND window) {
  g_settingsWindow = window;
  SetTimer(nullptr, 0, 400, WorkSettingsWindow);
}

// Opens the settings window from the search window, clicks the choices and ends
// it with the key.
void VisitSettingsWindow(std::vector<int> clicks, UINT key) {
  g_visit = SettingsWindowVisit{};
  g_visit.clicks = std::move(clicks);
  g_visit.key = key;
  wordhost::SetModalAction(StartVisit);
  sw::Click(sw::kCitationSettings);
  wordhost::SetModalAction(nullptr);
}

std::u16string Cited(const std::vector<int>& verses, const quran::CitationStyle& style) {
  std::vector<std::string> texts;
  std::vector<quran::CitedVerse> cited;
  char text[4096];
  for (int v : verses) {
    texts.push_back(Store().GetVerseText(static_cast<std::uint32_t>(v), text, sizeof text) ? text
                                                                                           : "");
  }
  for (std::size_t i = 0; i < verses.size(); ++i) {
    const quran::VerseIndexRecord& r = Store().VerseIndex[verses[i]];
    cited.push_back({r.chapter, r.verse, texts[i]});
  }
  // As they are pasted, the separator beginning each after the first.
  std::u16string all;
  for (const quran::Citation& c : quran::BuildCitations(cited, style)) all += c.text;
  return all;
}

using SettingsTest = SearchWindowTest;

}  // namespace

TEST_F(SettingsTest, FirstUseShowsTheDefaultsAndWritesTheModeAndTheBoxAsTheyChange) {
  LoadAddin();
  EXPECT_TRUE(sw::Checked(sw::kWholeWord));
  EXPECT_FALSE(sw::Checked(sw::kLooseSearch));
  ExpectDefaultFont(Describe(VerseFont()));
  EXPECT_FALSE(KeyExists());
  // The first Search replaces the window wdAutoOpen made, which saves its mode.
  OpenSearch();
  EXPECT_EQ(SavedMode(), sw::kWholeWord);
  // Each setting the user changes is kept at once, for a Word that ends badly.
  sw::Click(sw::kDerivatives);
  EXPECT_EQ(SavedMode(), sw::kDerivatives);
  sw::Click(sw::kLooseSearch);
  EXPECT_EQ(StoredValue("LooseSearch"), (std::vector<unsigned char>{1, 0, 0, 0}));
  sw::Click(sw::kLooseSearch);
  EXPECT_EQ(StoredValue("LooseSearch"), (std::vector<unsigned char>{0, 0, 0, 0}));

  HFONT font = VerseFont();
  wordhost::UnloadAddin();
  DWORD type = 0;
  EXPECT_EQ(StoredValue("Options", &type), (std::vector<unsigned char>{0xEB, 0x03, 0, 0}));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(StoredValue("LooseSearch"), (std::vector<unsigned char>{0, 0, 0, 0}));
  EXPECT_TRUE(StoredValue("Font").empty());
  // The font went with the window.
  EXPECT_EQ(GetObjectType(font), 0u);

  LoadAddin();
  EXPECT_TRUE(sw::Checked(sw::kDerivatives));
}

TEST_F(SettingsTest, ValuesOfTheWrongSizeCountAsMissing) {
  const unsigned char longMode[8] = {0xE8, 0x03, 0, 0, 0, 0, 0, 0};
  SaveValue("Options", longMode, sizeof longMode);
  LOGFONTA font = {};
  font.lfHeight = 20;
  std::strcpy(font.lfFaceName, "Tahoma");
  std::vector<unsigned char> longFont(sizeof font + 1, 0);
  std::memcpy(longFont.data(), &font, sizeof font);
  SaveValue("Font", longFont.data(), static_cast<DWORD>(longFont.size()));
  const unsigned char longOn[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  SaveValue("LooseSearch", longOn, sizeof longOn);
  LoadAddin();
  EXPECT_TRUE(sw::Checked(sw::kWholeWord));
  EXPECT_FALSE(sw::Checked(sw::kLooseSearch));
  ExpectDefaultFont(Describe(VerseFont()));
  wordhost::UnloadAddin();

  // Two bytes fill the low half of the mode; the high half stays zero.
  const unsigned char shortMode[2] = {0xEA, 0x03};
  SaveValue("Options", shortMode, sizeof shortMode);
  SaveValue("Font", &font, sizeof font);
  // The loose search's box is on only when its whole record says so.
  const unsigned char shortOn[2] = {1, 0};
  SaveValue("LooseSearch", shortOn, sizeof shortOn);
  LoadAddin();
  EXPECT_TRUE(sw::Checked(sw::kRoots));
  EXPECT_FALSE(sw::Checked(sw::kLooseSearch));
  EXPECT_STREQ(Describe(VerseFont()).lfFaceName, "Tahoma");
  EXPECT_EQ(Describe(VerseFont()).lfHeight, 20);
}

TEST_F(SettingsTest, AConfirmedFontIsShownAndStoredACancelledOneChangesNothing) {
  LoadAddin();
  OpenSearch();
  HFONT first = VerseFont();

  wordhost::SetModalAnswer(IDCANCEL);
  sw::Click(sw::kChooseFont);
  wordhost::SetModalAnswer(IDOK);
  ASSERT_EQ(ModalWindows().size(), 1u);
  EXPECT_EQ(VerseFont(), first);
  EXPECT_TRUE(StoredValue("Font").empty());

  wordhost::SetModalAction(UnderlineAndConfirm);
  sw::Click(sw::kChooseFont);
  wordhost::SetModalAction(nullptr);
  ASSERT_EQ(ModalWindows().size(), 1u);
  HFONT chosen = VerseFont();
  EXPECT_NE(chosen, first);
  EXPECT_EQ(GetObjectType(first), 0u) << "the replaced font is released";
  LOGFONTA shown = Describe(chosen);
  EXPECT_TRUE(shown.lfUnderline);
  EXPECT_STREQ(shown.lfFaceName, "Traditional Arabic");
  std::vector<unsigned char> stored = StoredValue("Font");
  ASSERT_EQ(stored.size(), sizeof(LOGFONTA));
  LOGFONTA saved;
  std::memcpy(&saved, stored.data(), sizeof saved);
  EXPECT_TRUE(saved.lfUnderline);
  EXPECT_STREQ(saved.lfFaceName, shown.lfFaceName);
  ScreenshotWindow("search_window_underlined_font");

  // The next window starts with it, and so does the font dialog.
  wordhost::UnloadAddin();
  LoadAddin();
  EXPECT_TRUE(Describe(VerseFont()).lfUnderline);
}

TEST_F(SettingsTest, AFontThatCannotBeMadeIsNeitherShownNorStored) {
  LoadAddin();
  OpenSearch();
  HFONT first = VerseFont();
  {
    FailingFontCreation failing(GetModuleHandleA(kAddin));
    ASSERT_TRUE(failing.Active());
    sw::Click(sw::kChooseFont);
  }
  std::vector<Modal> windows = ModalWindows();
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_EQ(windows[1], Modal("Quran Verse Search",
                              "This font could not be made; the verse font stays as it was."));
  EXPECT_EQ(VerseFont(), first);
  EXPECT_NE(GetObjectType(first), 0u);
  EXPECT_TRUE(StoredValue("Font").empty());
}

TEST_F(SettingsTest, CitationSettingsAreReadBackAndEachDamagedOneKeepsItsDefault) {
  LoadAddin();
  EXPECT_EQ(Window().m_citationSettings, quran::CitationSettings{});
  wordhost::UnloadAddin();
  const unsigned char on[4] = {1, 0, 0, 0};
  for (const char* name : kCitationValues) SaveValue(name, on, sizeof on);
  const unsigned char paragraph[4] = {2, 0, 0, 0};
  SaveValue("CitationSeparator", paragraph, sizeof paragraph);
  LoadAddin();
  EXPECT_EQ(Window().m_citationSettings, kEverythingOn);
  wordhost::UnloadAddin();

  // An unknown choice, a long, a short and a negative record, a string: defaults.
  const unsigned char two[4] = {2, 0, 0, 0}, longOn[8] = {1}, shortOn[2] = {1, 0};
  const unsigned char minusOne[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  SaveValue("CitationBrackets", two, sizeof two);
  SaveValue("CitationReference", longOn, sizeof longOn);
  SaveValue("CitationDigits", shortOn, sizeof shortOn);
  SaveValue("CitationJoin", minusOne, sizeof minusOne);
  const unsigned char three[4] = {3, 0, 0, 0};
  SaveValue("CitationSeparator", three, sizeof three);
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  RegSetValueExA(key, "CitationDocumentFont", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
  RegCloseKey(key);
  LoadAddin();
  EXPECT_EQ(Window().m_citationSettings, quran::CitationSettings{});
}

TEST_F(SettingsTest, TheSettingsWindowPreviewsEachChoiceEnterSavesThemEscapeChangesNothing) {
  SaveQuranicVerseFont();
  LoadAddin();
  OpenSearch();
  sw::Search(sw::kPartOfText, "د");
  std::vector<int> listed = sw::ItemVerses(), verses;
  for (std::size_t i = 0; i < listed.size(); ++i) {
    if (Store().VerseIndex[listed[i]].chapter != 112) continue;
    verses.push_back(listed[i]);
    sw::SetItemSelected(static_cast<int>(i), true);
  }
  ASSERT_EQ(verses.size(), 4u);
  sw::SetItemSelected(0, false);

  VisitSettingsWindow(
      {kOrnate, kShortReference, kArabicDigits, kSeparatorParagraph, kJoin, kDocumentFont},
      VK_RETURN);
  EXPECT_EQ(g_visit.caption, "صيغة النسخ");
  quran::CitationStyle style;
  std::vector<std::u16string> expected = {Cited(verses, style)};
  style.brackets = quran::CitationBrackets::kOrnate;
  expected.push_back(Cited(verses, style));
  style.reference = quran::CitationReference::kShort;
  expected.push_back(Cited(verses, style));
  style.digits = quran::CitationDigits::kArabicIndic;
  expected.push_back(Cited(verses, style));
  style.separator = quran::CitationSeparator::kParagraph;
  expected.push_back(Cited(verses, style));
  style.joinConsecutive = true;
  expected.push_back(Cited(verses, style));
  // The box changes the clipboard's formats, not the text.
  expected.push_back(expected.back());
  ASSERT_EQ(g_visit.previews.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(g_visit.previews[i], std::wstring(expected[i].begin(), expected[i].end())) << i;
  }
  EXPECT_EQ(Window().m_citationSettings, kEverythingOn);
  for (const char* name : kCitationValues) {
    EXPECT_EQ(StoredValue(name), (std::vector<unsigned char>{1, 0, 0, 0})) << name;
  }
  EXPECT_EQ(StoredValue("CitationSeparator"), (std::vector<unsigned char>{2, 0, 0, 0}));
  // In the document's own font: the plain text formats alone.
  sw::Click(sw::kCopyVerses);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(RegisterClipboardFormatW(L"Rich Text Format")));
  EXPECT_FALSE(IsClipboardFormatAvailable(RegisterClipboardFormatW(L"HTML Format")));
  CloseClipboard();

  VisitSettingsWindow({kPlainBrackets, kJoin}, VK_ESCAPE);
  ASSERT_EQ(g_visit.previews.size(), 3u);
  EXPECT_NE(g_visit.previews[2], g_visit.previews[0]);
  EXPECT_EQ(Window().m_citationSettings, kEverythingOn);
  EXPECT_EQ(StoredValue("CitationBrackets"), (std::vector<unsigned char>{1, 0, 0, 0}));
  EXPECT_EQ(StoredValue("CitationJoin"), (std::vector<unsigned char>{1, 0, 0, 0}));
}

// Run where msftedit.dll is taken away (search_window_tests_no_rich_edit).
TEST_F(SettingsTest, CitationSettingsSayWhyTheyCannotOpen) {
  HMODULE richEdit = LoadLibraryW(L"msftedit.dll");
  if (richEdit) {
    FreeLibrary(richEdit);
    GTEST_SKIP() << "the rich edit library loads here";
  }
  LoadAddin();
  OpenSearch();
  ModalWindows();
  sw::Click(sw::kCitationSettings);
  EXPECT_EQ(ModalWindows(),
            (std::vector<Modal>{{"Quran Verse Search",
                                 "The citation settings cannot open: Windows' rich "
                                 "edit library (msftedit.dll) could not be loaded."}}));
}
