// A fresh stand-in Word for each test, shown, with a known Arabic document, and
// no settings of the add-in's.
#pragma once

#include <gtest/gtest.h>
#include <richedit.h>

#include <cstring>
#include <string>

#include "screenshot.h"
#include "word_host.h"

// "بسم الله الرحمن الرحيم"; characters 4 to 8 are "الله".
inline const wchar_t kDocument[] =
    L"\x0628\x0633\x0645 \x0627\x0644\x0644\x0647 \x0627\x0644\x0631\x062D\x0645\x0646 "
    L"\x0627\x0644\x0631\x062D\x064A\x0645";
// "الله" in Windows-1256.
inline const char kAllah1256[] = "\xC7\xE1\xE1\xE5";

// Puts size bytes of data on the clipboard, which must be open, in that format.
inline void PutClipboardData(UINT format, const void* data, std::size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(memory), data, size);
  GlobalUnlock(memory);
  SetClipboardData(format, memory);
}

// The face and size of a rich edit's selection: CFM_FACE and CFM_SIZE stay in the
// mask only when the whole selection has one face and one size.
inline CHARFORMAT2W SelectionFormat(HWND edit) {
  CHARFORMAT2W format = {};
  format.cbSize = sizeof format;
  format.dwMask = CFM_FACE | CFM_SIZE;
  SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return format;
}

// The clipboard's text in one of its formats: CF_TEXT as char, CF_UNICODETEXT as
// wchar_t.
template <typename Char>
std::basic_string<Char> ClipboardData(UINT format) {
  std::basic_string<Char> text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(format)) {
    text = static_cast<const Char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

inline std::string ClipboardText() {
  return ClipboardData<char>(CF_TEXT);
}

inline std::wstring ClipboardUnicode() {
  return ClipboardData<wchar_t>(CF_UNICODETEXT);
}

class WordHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every test starts from a user who never used the add-in.
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\kivo");
    ASSERT_TRUE(wordhost::Start(true));
    wordhost::SetDocumentText(kDocument);
    wordhost::SetSelection(4, 8);
    wordhost::ClearCommandLog();
  }
  void TearDown() override { wordhost::Stop(); }

  // Saves the main window under screenshots/ in the build folder.
  static void Screenshot(const char* name) {
    wordhost::PumpMessages(300);
    CreateDirectoryA("screenshots", nullptr);
    std::string path = std::string("screenshots/") + name + ".png";
    EXPECT_TRUE(wordhost::SaveWindowPng(wordhost::MainWindow(), path.c_str())) << path;
  }

  static std::string LastLog() {
    const auto& log = wordhost::CommandLog();
    return log.empty() ? "" : log.back();
  }
};
