// Conversions between the Windows-1256 text the add-in holds and the UTF-16 that
// windows and the clipboard take, so Arabic reads right whatever the system's
// ANSI code page is.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quran {

inline constexpr unsigned kArabicCodePage = 1256;

std::wstring FromCodePage(std::string_view text, unsigned codePage = kArabicCodePage);
// Characters the code page lacks become '?'.
std::string ToCodePage(std::wstring_view text, unsigned codePage = kArabicCodePage);

// The Windows-1256 byte of one UTF-16 character; false when the code page has none.
bool ToArabicByte(wchar_t character, unsigned char* byte);

// A window's text, read and written in Windows-1256.
std::string WindowText1256(HWND window);
void SetWindowText1256(HWND window, std::string_view text);

// The clipboard, opened for one operation and closed on every path.
class ClipboardLock {
 public:
  explicit ClipboardLock(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~ClipboardLock() {
    if (open_) CloseClipboard();
  }
  ClipboardLock(const ClipboardLock&) = delete;
  ClipboardLock& operator=(const ClipboardLock&) = delete;
  explicit operator bool() const { return open_; }

 private:
  bool open_;
};

// The clipboard's text as a paste takes it: its Unicode form when it has one, else
// its ANSI form read in the code page of the clipboard's locale (CF_LOCALE). The
// clipboard must be open. False when it holds no text.
bool ClipboardUnicode(std::wstring* text);
// The same in Windows-1256.
bool ClipboardText1256(std::string* text);

}  // namespace quran
