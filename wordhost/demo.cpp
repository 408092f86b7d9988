// Compiled with a Windows-1256 execution character set, like the add-in's texts.
#include "demo.h"

#include <cstdio>
#include <string>

#include "screenshot.h"
#include "search_window_driver.h"
#include "word_host.h"

namespace wordhost {
namespace {

namespace sw = search_window;

std::string g_folder;
HWND g_modal = nullptr;

std::string PathOf(const char* name) {
  return g_folder + "\\" + name + ".png";
}

bool Save(HWND window, const char* name) {
  std::string path = PathOf(name);
  bool saved = SaveWindowPng(window, path.c_str());
  std::printf("%s %s\n", saved ? "screenshot:" : "could not save", path.c_str());
  return saved;
}

// Modal windows are photographed from a timer inside their own message loop,
// once they are drawn; the splash ends by itself, the others are confirmed.
void CALLBACK PhotographSplash(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (IsWindow(g_modal)) Save(g_modal, "1_splash");
}

void CALLBACK PhotographAbout(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (!IsWindow(g_modal)) return;
  Save(g_modal, "6_about");
  PostMessageW(g_modal, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void WatchSplash(HWND window) {
  g_modal = window;
  SetTimer(nullptr, 0, 800, PhotographSplash);
}

void WatchAbout(HWND window) {
  g_modal = window;
  SetTimer(nullptr, 0, 600, PhotographAbout);
}

// Captured inside the menu's own loop, so the open menu is on the screen.
void CALLBACK PhotographMenu(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);
  Save(window, "2_menu");
  EndMenu();
}

HWND FindHelpWindow() {
  // The viewer's main window, in its own process: HTML Help's for the compiled help,
  // winhlp32's where only the WinHelp file is installed.
  for (int tries = 0; tries < 50; ++tries) {
    for (const wchar_t* viewer : {L"HH Parent", L"MS_WINHELP"}) {
      if (HWND help = FindWindowW(viewer, nullptr)) return help;
    }
    PumpMessages(100);
  }
  return nullptr;
}

int Fail(const char* message) {
  std::fprintf(stderr, "wordhost: demo: %s\n", message);
  return 1;
}

}  // namespace

// The demo's user cites in a Quranic face. Under Wine the default verse face stands
// in as KacstNaskh, which has no Latin digits or punctuation, and a citation pasted
// in it would show boxes for its brackets and numbers.
static void ChooseQuranicVerseFont() {
  LOGFONTA font = {};
  font.lfHeight = -20;  // 15 points, as the font dialog gives it
  font.lfWeight = FW_BOLD;
  font.lfCharSet = ARABIC_CHARSET;
  std::snprintf(font.lfFaceName, sizeof font.lfFaceName, "Amiri");
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\kivo\\velnora\\2.0\\Options", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, "Font", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&font), sizeof font);
  RegCloseKey(key);
}

int PlayDemo(const std::string& addin, const std::string& folder) {
  g_folder = folder;
  CreateDirectoryA(folder.c_str(), nullptr);
  ChooseQuranicVerseFont();
  // "الله" in the document's first line is the selection Search takes.
  SetSelection(4, 8);
  SetModalAction(WatchSplash);
  std::string error;
  if (!LoadAddin(addin.c_str(), 1, &error)) return Fail(error.c_str());
  SetModalAction(nullptr);
  if (AutoOpenAnswer() != 1) return Fail("the add-in did not load its data");
  PumpMessages(300);

  SetTimer(MainWindow(), 1, 600, PhotographMenu);
  PostMessageW(MainWindow(), WM_SYSCOMMAND, SC_KEYMENU, 'q');
  PumpMessages(1500);

  if (!ClickMenuItem("&Quran", "&Search...") || !sw::Find()) return Fail("no search window");
  // Moved below the document, as a user would, so that both can be seen.
  RECT host;
  GetWindowRect(MainWindow(), &host);
  SetWindowPos(sw::Find(), nullptr, host.left, host.bottom + 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  PumpMessages(500);
  Save(sw::Find(), "3_search_window");

  // The verse found first goes into the document, on a line of its own at the end.
  SetDocumentText(DocumentText() + L"\r");
  SetSelection(10000, 10000);
  sw::Click(sw::kCopyVerses);
  PumpMessages(500);
  Save(MainWindow(), "4_document");

  sw::Search(sw::kRoots, "رحم");
  PumpMessages(500);
  Save(sw::Find(), "5_search_by_root");

  SetModalAction(WatchAbout);
  ClickMenuItem("&Quran", "&About...");
  SetModalAction(nullptr);

  ClickMenuItem("&Quran", "&Help...");
  if (HWND help = FindHelpWindow()) {
    PumpMessages(1500);
    Save(help, "7_help");
    CloseOtherProgram(help);
  } else {
    std::printf("the help window did not open\n");
  }
  PumpMessages(300);
  return 0;
}

}  // namespace wordhost
