// Drives the add-in's search window as a user would, through window messages,
// and reads back what it shows. Texts are Windows-1256.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win_text.h"

namespace search_window {

// Control ids of the search window's template.
enum Id : int {
  kAbout = 3,
  kPartOfText = 1000,
  kWholeWord = 1001,
  kRoots = 1002,
  kDerivatives = 1003,
  kSearchText = 1004,
  kVerseText = 1005,
  kRootList = 1011,
  kStartSearch = 1032,
  kCopyVerses = 1033,
  kChooseFont = 1034,
  kCopyMarked = 1035,
  kHelp = 1036,
  kResultList = 1060,
  kVerseCount = 1063,
  kOccurrenceCount = 1064,
  kResultsOnly = 1066,
  kLooseSearch = 1067,
  kCitationSettings = 1068,
  kReferenceChapter = 1069,
  kReferenceFirst = 1070,
  kReferenceLast = 1071,
  kReferenceShow = 1072,
};

inline const wchar_t kCaption[] = L"Quran Verse Search";
inline const wchar_t kDialogClass[] = L"#32770";

// The add-in's window, shown or hidden, or null.
inline HWND Find() {
  return FindWindowW(kDialogClass, kCaption);
}

inline HWND Item(int id) {
  return GetDlgItem(Find(), id);
}

inline std::string Text(int id) {
  return quran::WindowText1256(Item(id));
}

inline bool Enabled(int id) {
  return IsWindowEnabled(Item(id)) != FALSE;
}

inline bool Checked(int id) {
  return IsDlgButtonChecked(Find(), id) == BST_CHECKED;
}

// A click as the mouse gives it: nothing happens on a disabled control.
inline void Click(int id) {
  SendMessageW(Item(id), BM_CLICK, 0, 0);
}

// Characters as the keyboard gives them to the focused control.
inline void Type(int id, const std::wstring& characters) {
  for (wchar_t c : characters) SendMessageW(Item(id), WM_CHAR, c, 1);
}

inline void SetText(int id, const std::string& text) {
  quran::SetWindowText1256(Item(id), text);
}

// Runs a search in a mode: the query goes where that mode reads it.
inline void Search(int mode, const std::string& query) {
  Click(mode);
  SetText(mode == kRoots ? kRootList : kSearchText, query);
  Click(kStartSearch);
}

inline std::vector<std::string> Items() {
  std::vector<std::string> items;
  HWND list = Item(kResultList);
  int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[128] = {};
    if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 128) {
      SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    }
    items.push_back(quran::ToCodePage(text));
  }
  return items;
}

// The verse index each item carries.
inline std::vector<int> ItemVerses() {
  std::vector<int> verses;
  HWND list = Item(kResultList);
  int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    verses.push_back(static_cast<int>(SendMessageW(list, LB_GETITEMDATA, i, 0)));
  }
  return verses;
}

inline std::vector<int> SelectedItems() {
  HWND list = Item(kResultList);
  int count = static_cast<int>(SendMessageW(list, LB_GETSELCOUNT, 0, 0));
  std::vector<int> items(count > 0 ? count : 0);
  if (count > 0) SendMessageW(list, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(items.data()));
  return items;
}

// Changes the list's selection as a click with the control key does.
inline void SetItemSelected(int index, bool selected) {
  HWND list = Item(kResultList);
  SendMessageW(list, LB_SETSEL, selected ? TRUE : FALSE, index);
  SendMessageW(Find(), WM_COMMAND, MAKEWPARAM(kResultList, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

inline bool RootListDropped() {
  return SendMessageW(Item(kRootList), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

}  // namespace search_window
