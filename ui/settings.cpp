// The search window's per-user settings, the last search mode, the loose search's
// box, the verse font and the citation settings, kept as binary values under one
// registry key.
#include <windows.h>
// The common dialogs need the declarations above.
#include <commdlg.h>

#include <cstring>
#include <memory>

#include "search_dialog.h"

namespace quran {
namespace {

const char kSettingsKey[] = "Software\\kivo\\velnora\\2.0\\Options";
const char kModeValue[] = "Options";
const char kFontValue[] = "Font";
const char kLooseValue[] = "LooseSearch";
const char kAllWordsValue[] = "AllWords";
// Each a 32-bit choice: the index of the enum's value, or 0 and 1 for a box.
const char kBracketsValue[] = "CitationBrackets";
const char kReferenceValue[] = "CitationReference";
const char kDigitsValue[] = "CitationDigits";
const char kJoinValue[] = "CitationJoin";
const char kDocumentFontValue[] = "CitationDocumentFont";
const char kSeparatorValue[] = "CitationSeparator";

// The stored forms are the records themselves, byte for byte.
static_assert(sizeof(std::int32_t) == 4);
static_assert(sizeof(LOGFONTA) == 60);

// A registry key closed on every path.
class RegKey {
 public:
  RegKey() = default;
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  bool Open() {
    return RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, &key_) ==
           ERROR_SUCCESS;
  }
  bool Create() {
    return RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &key_, nullptr) == ERROR_SUCCESS;
  }
  bool Read(const char* name, void* value, DWORD* size) {
    return RegQueryValueExA(key_, name, nullptr, nullptr, static_cast<BYTE*>(value), size) ==
           ERROR_SUCCESS;
  }
  bool Write(const char* name, const void* value, DWORD size) {
    return RegSetValueExA(key_, name, 0, REG_BINARY, static_cast<const BYTE*>(value), size) ==
           ERROR_SUCCESS;
  }

 private:
  HKEY key_ = nullptr;
};

// Reads at most size bytes; read, when given, gets the number read.
bool ReadValue(const char* name, void* value, DWORD size, DWORD* read = nullptr) {
  RegKey key;
  bool ok = key.Open() && key.Read(name, value, &size);
  if (read) *read = size;
  return ok;
}

bool WriteValue(const char* name, const void* value, DWORD size) {
  RegKey key;
  return key.Create() && key.Write(name, value, size);
}

// The saved choice when its whole record holds one of the count known; else -1.
int ReadChoice(const char* name, int count) {
  std::int32_t choice = -1;
  DWORD read = 0;
  if (!ReadValue(name, &choice, sizeof choice, &read) || read != sizeof choice) return -1;
  return choice >= 0 && choice < count ? choice : -1;
}

bool WriteChoice(const char* name, int choice) {
  std::int32_t value = choice;
  return WriteValue(name, &value, sizeof value);
}

template <typename Enum>
void ReadEnum(const char* name, int count, Enum* value) {
  if (int choice = ReadChoice(name, count); choice >= 0) *value = static_cast<Enum>(choice);
}

}  // namespace

CitationSettings SearchDialog::ReadCitationSettings() {
  CitationSettings settings;
  ReadEnum(kBracketsValue, 2, &settings.style.brackets);
  ReadEnum(kReferenceValue, 2, &settings.style.reference);
  ReadEnum(kDigitsValue, 2, &settings.style.digits);
  ReadEnum(kJoinValue, 2, &settings.style.joinConsecutive);
  ReadEnum(kDocumentFontValue, 2, &settings.documentFont);
  ReadEnum(kSeparatorValue, 3, &settings.style.separator);
  return settings;
}

bool SearchDialog::WriteCitationSettings(const CitationSettings& settings) {
  const CitationStyle& style = settings.style;
  // Every value is written, so that one refused does not stop the others.
  bool written = WriteChoice(kBracketsValue, static_cast<int>(style.brackets));
  written = WriteChoice(kReferenceValue, static_cast<int>(style.reference)) && written;
  written = WriteChoice(kDigitsValue, static_cast<int>(style.digits)) && written;
  written = WriteChoice(kJoinValue, style.joinConsecutive ? 1 : 0) && written;
  written = WriteChoice(kSeparatorValue, static_cast<int>(style.separator)) && written;
  return WriteChoice(kDocumentFontValue, settings.documentFont ? 1 : 0) && written;
}

bool SearchDialog::ReadModeSetting(std::int32_t* mode) {
  if (ReadValue(kModeValue, mode, sizeof *mode)) return true;
  *mode = WholeWord;
  return false;
}

bool SearchDialog::WriteModeSetting(std::int32_t mode) {
  return WriteValue(kModeValue, &mode, sizeof mode);
}

namespace {

// A damaged value must not change how every search matches: only the whole record of
// an "on" counts.
bool ReadSwitch(const char* name) {
  std::int32_t on = 0;
  DWORD read = 0;
  return ReadValue(name, &on, sizeof on, &read) && read == sizeof on && on == 1;
}

bool WriteSwitch(const char* name, bool on) {
  std::int32_t value = on ? 1 : 0;
  return WriteValue(name, &value, sizeof value);
}

}  // namespace

bool SearchDialog::ReadLooseSetting() {
  return ReadSwitch(kLooseValue);
}

bool SearchDialog::WriteLooseSetting(bool loose) {
  return WriteSwitch(kLooseValue, loose);
}

bool SearchDialog::ReadAllWordsSetting() {
  return ReadSwitch(kAllWordsValue);
}

bool SearchDialog::WriteAllWordsSetting(bool allWords) {
  return WriteSwitch(kAllWordsValue, allWords);
}

bool SearchDialog::ReadFontSetting(LOGFONTA* font) {
  if (ReadValue(kFontValue, font, sizeof *font)) return true;
  MakeDefaultFont(font);
  return false;
}

bool SearchDialog::WriteFontSetting(LOGFONTA font) {
  return WriteValue(kFontValue, &font, sizeof font);
}

int SearchDialog::MakeDefaultFont(LOGFONTA* font) {
  std::memset(font, 0, sizeof *font);
  HFONT created = CreateFontA(32, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                              FF_SWISS | DEFAULT_PITCH, "Traditional Arabic");
  if (!created) {
    GetObjectA(GetStockObject(ANSI_FIXED_FONT), sizeof *font, font);
    return 0;
  }
  int got = GetObjectA(created, sizeof *font, font);
  DeleteObject(created);
  return got;
}

void SearchDialog::OnChooseFont() {
  LOGFONTA font = {};
  ReadFontSetting(&font);
  CHOOSEFONTA choice = {};
  choice.lStructSize = sizeof choice;
  choice.hwndOwner = Window();
  choice.lpLogFont = &font;
  // Screen fonts with effects (underline, strike-out); the colour is not kept.
  choice.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  if (!ChooseFontA(&choice)) return;
  auto chosen = std::make_unique<UniqueFont>(CreateFontIndirectA(&font));
  // A record of a font that cannot be made would give every later start the
  // system font: the old font and record stay.
  if (!chosen->get()) {
    ShowError(L"This font could not be made; the verse font stays as it was.");
    return;
  }
  m_verseEdit.Send(WM_SETFONT, reinterpret_cast<WPARAM>(chosen->get()), TRUE);
  // The old font goes only once the field no longer uses it.
  m_font = std::move(chosen);
  WriteFontSetting(font);
}

void SearchDialog::OnCitationSettings() {
  LOGFONTA font = {};
  if (!m_font || !m_font->get() || !GetObjectA(m_font->get(), sizeof font, &font)) {
    ReadFontSetting(&font);
  }
  auto preview = [this, verses = PreviewVerses()](const CitationStyle& style) {
    std::u16string text;
    // As they are pasted, each after the one before with the style's separator.
    for (const Citation& citation : BuildCitation(verses, style)) text += citation.text;
    return text;
  };
  CitationSettings settings = m_citationSettings;
  if (!ShowCitationSettings(Window(), font, preview, &settings)) return;
  m_citationSettings = settings;
  WriteCitationSettings(settings);
}

}  // namespace quran
