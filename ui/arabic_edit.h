// ArabicEdit: the search-text field. Typed characters other than Arabic letters,
// the blank and backspace are dropped; Enter runs the search.
#pragma once

#include "dialog.h"

namespace quran {

class SearchDialog;

// Backspace, the blank, and the Arabic letters in Windows-1256, in the order
// users have always seen them checked.
extern const char AllowedSearchChars[39];

class ArabicEdit : public EditControl {
 public:
  ArabicEdit() = default;
  ~ArabicEdit() override;

  SearchDialog* m_dialog = nullptr;

 protected:
  bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // True when the character is taken here and never reaches the field.
  bool OnChar(WPARAM character, LPARAM flags);

  static const ControlMessageEntry<ArabicEdit> kMessages[1];
};

}  // namespace quran
