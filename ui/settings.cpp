// The search window's per-user settings, the last search mode, the loose search's
// box and the verse font, kept as binary values under one registry key.
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

}  // namespace

bool SearchDialog::ReadModeSetting(std::int32_t* mode) {
  if (ReadValue(kModeValue, mode, sizeof *mode)) return true;
  *mode = WholeWord;
  return false;
}

bool SearchDialog::WriteModeSetting(std::int32_t mode) {
  return WriteValue(kModeValue, &mode, sizeof mode);
}

bool SearchDialog::ReadLooseSetting() {
  std::int32_t loose = 0;
  DWORD read = 0;
  // A damaged value must not change how every search matches: only the whole
  // record of an "on" counts.
  return ReadValue(kLooseValue, &loose, sizeof loose, &read) && read == sizeof loose && loose == 1;
}

bool SearchDialog::WriteLooseSetting(bool loose) {
  std::int32_t value = loose ? 1 : 0;
  return WriteValue(kLooseValue, &value, sizeof value);
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

}  // namespace quran
