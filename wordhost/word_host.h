// A stand-in for Word: a main window with the usual menus and an Arabic
// right-to-left document, the `wdCommandDispatch` entry add-ins call, and the
// calls through which a test or the command line drives it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "win_text.h"

namespace wordhost {

// Creates the main window; a test may keep it hidden.
bool Start(bool visible);
// A new main window in place of the old one, with the same document, selection
// and add-in menus, while the add-in stays loaded.
bool ReplaceMainWindow();
// Unloads the add-in and destroys the window.
void Stop();
HWND MainWindow();
HWND DocumentWindow();
// Handles pending messages, for at least `milliseconds`.
void PumpMessages(int milliseconds = 0);
// Closes a window of another program, a help viewer opened through the shell, and
// ends that program if the window outlives the close: it would otherwise go on
// running, holding the output of whoever started this one.
void CloseOtherProgram(HWND window);

// LoadLibrary and wdAutoOpen with the document id; false with a reason on error.
// wdAutoOpen's answer goes to the log and to AutoOpenAnswer.
bool LoadAddin(const char* path, std::int16_t documentId, std::string* error);
// What the last wdAutoOpen answered, or -1 when none ran.
int AutoOpenAnswer();
// The first .wll of the STARTUP folder beside this program, else of
// %APPDATA%\Microsoft\Word\STARTUP: where Word looks. "" when neither has one.
std::string StartupAddin();
// wdAutoRemove and FreeLibrary, when an add-in is loaded.
void UnloadAddin();
// FreeLibrary alone, as a host that skips wdAutoRemove.
void FreeAddin();
// Runs the add-in's export of a registered macro name.
bool RunMacro(const std::string& name, std::string* error);
std::vector<std::string> RegisteredMacros();

void SetDocumentText(const std::wstring& text);
std::wstring DocumentText();
void SetSelection(int start, int end);
std::wstring SelectedText();

// Captions are in Windows-1256, with their accelerator marks.
std::vector<std::string> MenuBarCaptions();
std::vector<std::string> MenuItemCaptions(const std::string& menuCaption);
// Picks an item as a user would; false when there is no such item.
bool ClickMenuItem(const std::string& menuCaption, const std::string& itemCaption);

// One decoded line per command received, oldest first.
const std::vector<std::string>& CommandLog();
void ClearCommandLog();
// Also writes each line, as UTF-8, to this file (or stops when null).
void SetLogFile(FILE* file);
void AppendLog(const std::string& line);

// The effects of the host commands; each answers 0 on success.
std::int32_t CopySelectionToClipboard();
// Command 110 is Word's EditPaste: the string it comes with is not read.
std::int32_t PasteClipboard(std::wstring* pasted);
std::int32_t RegisterMacroName(const char* name);
std::int32_t AddMenu(const char* caption, int position);
std::int32_t AddMenuItem(const char* menuCaption, const char* macro, const char* itemCaption);
std::int32_t RemoveAddinMenus();
std::int32_t ReadMenuBarCaption(int bar, int position, char* buffer, std::uint16_t size);

// A modal window the host saw and closed: its caption and, for a message box, its
// text, in Windows-1256.
struct ModalWindow {
  std::string caption;
  std::string text;
  HWND window = nullptr;
};
// Every modal window since the last clear, oldest first. Each is answered with
// the command set here (IDOK unless changed) as it activates, and logged.
std::vector<ModalWindow> ModalWindows();
void ClearModalWindows();
void SetModalAnswer(int command);
// Runs for each modal window in place of the answer, to work it as a user would
// and end it; null brings the answer back.
using ModalAction = void (*)(HWND window);
void SetModalAction(ModalAction action);

// Text conversions between Windows-1256 and UTF-16 / UTF-8.
using quran::FromCodePage;
using quran::ToCodePage;

}  // namespace wordhost
