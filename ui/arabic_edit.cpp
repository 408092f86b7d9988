// Compiled with a Windows-1256 execution character set: the letters below are
// written as themselves and held as single bytes.
#include "arabic_edit.h"

#include <cstring>

#include "search_dialog.h"
#include "win_text.h"

namespace quran {

const char AllowedSearchChars[39] = "\b ءىأإآابتثجحخدذرزسشصضطظعغفقكلمنهويةؤئ";
static_assert(sizeof AllowedSearchChars == 39);

const ControlMessageEntry<ArabicEdit> ArabicEdit::kMessages[1] = {
    {WM_CHAR, &ArabicEdit::OnChar},
};

ArabicEdit::~ArabicEdit() = default;

bool ArabicEdit::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Dispatch(this, kMessages, message, wParam, lParam);
}

bool ArabicEdit::OnChar(WPARAM character, LPARAM) {
  if (character == '\r') {
    if (m_dialog) m_dialog->RunSearch();
    return true;
  }
  unsigned char byte = 0;
  // The window is Unicode: the character is judged by its Windows-1256 form.
  if (character > 0xFFFF || !ToArabicByte(static_cast<wchar_t>(character), &byte) || byte == 0) {
    return true;
  }
  return std::memchr(AllowedSearchChars, byte, sizeof AllowedSearchChars - 1) == nullptr;
}

}  // namespace quran
