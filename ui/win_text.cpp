#include "win_text.h"

namespace quran {

std::wstring FromCodePage(std::string_view text, unsigned codePage) {
  if (text.empty()) return {};
  int size =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(size, L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string ToCodePage(std::wstring_view text, unsigned codePage) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string narrow(size, '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size,
                      nullptr, nullptr);
  return narrow;
}

bool ToArabicByte(wchar_t character, unsigned char* byte) {
  char narrow = 0;
  BOOL usedDefault = FALSE;
  // No best fit: a letter of another script must not pass as a similar Arabic one.
  int n = WideCharToMultiByte(kArabicCodePage, WC_NO_BEST_FIT_CHARS, &character, 1, &narrow, 1,
                              nullptr, &usedDefault);
  if (n != 1 || usedDefault) return false;
  *byte = static_cast<unsigned char>(narrow);
  return true;
}

std::string WindowText1256(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return ToCodePage(text);
}

void SetWindowText1256(HWND window, std::string_view text) {
  SetWindowTextW(window, FromCodePage(text).c_str());
}

bool ClipboardUnicode(std::wstring* text) {
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      *text = wide;
      GlobalUnlock(data);
      return true;
    }
  }
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    // CF_TEXT is in the code page of the input language it was put there under.
    UINT codePage = CP_ACP;
    if (HANDLE locale = GetClipboardData(CF_LOCALE)) {
      if (const auto* lcid = static_cast<const LCID*>(GlobalLock(locale))) {
        UINT fromLocale = 0;
        if (GetLocaleInfoW(*lcid, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                           reinterpret_cast<LPWSTR>(&fromLocale),
                           sizeof fromLocale / sizeof(wchar_t)) &&
            fromLocale != 0) {
          codePage = fromLocale;
        }
        GlobalUnlock(locale);
      }
    }
    if (const auto* narrow = static_cast<const char*>(GlobalLock(data))) {
      *text = FromCodePage(narrow, codePage);
      GlobalUnlock(data);
      return true;
    }
  }
  return false;
}

bool ClipboardText1256(std::string* text) {
  std::wstring wide;
  if (!ClipboardUnicode(&wide)) return false;
  *text = ToCodePage(wide);
  return true;
}

}  // namespace quran
