// The search window's settings under HKEY_CURRENT_USER: the mode and the verse
// font, their defaults, values of the wrong size, and the font dialog.
// Compiled with a Windows-1256 execution character set.
#include <string>
#include <vector>

#include "search_window_fixture.h"

namespace {

void SaveValue(const char* name, const void* data, DWORD size) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

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

using SettingsTest = SearchWindowTest;

}  // namespace

TEST_F(SettingsTest, FirstUseShowsTheDefaultsAndWritesTheModeAndTheBoxWhenDestroyed) {
  LoadAddin();
  EXPECT_TRUE(sw::Checked(sw::kWholeWord));
  EXPECT_FALSE(sw::Checked(sw::kLooseSearch));
  ExpectDefaultFont(Describe(VerseFont()));
  EXPECT_FALSE(KeyExists());
  // The first Search replaces the window wdAutoOpen made, which saves its mode.
  OpenSearch();
  EXPECT_EQ(SavedMode(), sw::kWholeWord);
  sw::Click(sw::kDerivatives);
  EXPECT_EQ(SavedMode(), sw::kWholeWord);

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
