// The functions Word calls in the add-in: loading installs the menu and creates
// the search window hidden, the Search item shows it, unloading removes both.
// Nothing thrown may reach Word: every export catches all.
#include "entry_points.h"

#include <shellapi.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>

#include "host_command.h"
#include "product.h"
#include "search_dialog.h"

// libstdc++'s own, left out of its headers: frees the pool it keeps for throwing
// exceptions when memory is short.
namespace __gnu_cxx {
void __freeres() noexcept;
}

namespace quran {
namespace {

const char kMenuCaption[] = "&Quran";
// "&القرآن" in Windows-1256.
const char kArabicMenuCaption[] = "&\xC7\xE1\xDE\xD1\xC2\xE4";

struct MenuItem {
  const char* caption;
  const char* macro;
  std::int16_t field43;
};
const MenuItem kMenuItems[] = {
    {"&Search...", "FileProcess", -1},
    {"&Help...", "ConfigurationTab", -2},
    {"&About...", "DevedUrazuda", -2},
};

bool MenuBarShows(const char* caption, char* buffer) {
  for (int position = 9; position <= 14; ++position) {
    GetMenuBarCaption(position, buffer, 128);
    if (std::strcmp(buffer, caption) == 0) return true;
  }
  return false;
}

bool InstallMenu(std::int16_t documentId) {
  for (const char* macro : {"FileProcess", "ConfigurationTab", "DevedUrazuda"}) {
    RegisterMacro(documentId, macro, nullptr);
  }
  RegisterMacro(documentId, "wdCaptureKeyDown", nullptr);

  char caption[128] = {};
  if (MenuBarShows(kMenuCaption, caption) || MenuBarShows(kArabicMenuCaption, caption)) {
    return true;
  }
  char menuCaption[128];
  std::strcpy(menuCaption, kMenuCaption);
  AddHostMenu(1, menuCaption, -1, 0);
  for (const MenuItem& item : kMenuItems) {
    AddHostMenuItem(1, menuCaption, item.macro, item.caption, item.field43, 0);
  }
  return true;
}

// Windows 10 and 11 open only the compiled HTML Help; the WinHelp file serves where
// that one is missing.
const char kHelpFileName[] = "VUDEV-IRAZ.HLP";
const char kHtmlHelpFileName[] = "VUDEV-IRAZ.chm";

// Opens the help file with the shell on behalf of the host window.
bool LaunchHelpFile(const char* path) {
  HINSTANCE answer = ShellExecuteA(GetHostWindow(), "open", path, nullptr, nullptr, SW_SHOWNORMAL);
  HostCommandBlock block;
  InitHostCommand(&block, kArgNone, nullptr, 0);
  AddShortArg(&block, 0);
  SendHostCommand(static_cast<std::int16_t>(33007), 0, block.count, block.args, nullptr);
  return reinterpret_cast<std::uintptr_t>(answer) > 32;
}

void ShowReinstallMessage() {
  MessageBoxW(GetHostWindow(), L"Error Processing Files, Reinstall.", L"Quran", MB_OK);
}

void DestroySearchDialog();

}  // namespace

// The one search window; only the entry points create, replace and delete it.
std::unique_ptr<SearchDialog> g_searchDialog;

namespace {

void DestroySearchDialog() {
  if (!g_searchDialog) return;
  // The window goes first, so that it saves its mode while the object lives.
  g_searchDialog->DestroyWindow();
  g_searchDialog.reset();
}

// A new dialog with its data loaded and its window created hidden; false, with the
// failed object kept, when either went wrong.
bool CreateSearchDialog() {
  g_searchDialog.reset(new (std::nothrow) SearchDialog(nullptr));
  if (!g_searchDialog) return false;
  return g_searchDialog->Create(nullptr) && !g_searchDialog->m_store.LoadFailed;
}

}  // namespace

}  // namespace quran

extern "C" {

std::int16_t WINAPI wdAutoOpen(std::int16_t documentId) {
  using namespace quran;
  try {
    InstallMenu(documentId);
    ShowSplashWindow();
    g_searchDialog.reset();
    if (!CreateSearchDialog()) {
      ShowReinstallMessage();
      return 0;
    }
    return 1;
  } catch (...) {
    return 0;
  }
}

void WINAPI wdAutoRemove() {
  using namespace quran;
  try {
    HostCommandBlock block;
    InitHostCommand(&block, kArgShort, nullptr, 0);
    AddShortField(&block, 1, 4, kNamed);
    SendHostCommand(433, 2, block.count, block.args, nullptr);

    InitHostCommand(&block, kArgShort, nullptr, 0);
    AddShortArg(&block, 0);
    AddShortArg(&block, 1);
    SendHostCommand(static_cast<std::int16_t>(32931), 2, block.count, block.args, nullptr);
    DestroySearchDialog();
  } catch (...) {
  }
}

void WINAPI FileProcess() {
  using namespace quran;
  try {
    if (g_searchDialog) {
      // Reused only for the window it was last shown for, and only when it has one.
      if (GetHostWindow() == g_searchDialog->m_hostWindow && g_searchDialog->Window()) {
        ShowWindow(g_searchDialog->Window(), SW_SHOW);
        return;
      }
      DestroySearchDialog();
    }
    if (!CreateSearchDialog()) {
      if (!g_searchDialog) {
        MessageBoxW(nullptr, L"Error Creating Dialog Object", L"" QURAN_PRODUCT_TITLE, MB_OK);
      } else {
        ShowReinstallMessage();
      }
      return;
    }
    ShowWindow(g_searchDialog->Window(), SW_SHOW);
  } catch (...) {
  }
}

void WINAPI ConfigurationTab() {
  using namespace quran;
  try {
    char path[MAX_PATH + 32] = {};
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) path[0] = '\0';
    std::size_t end = std::strlen(path);
    if (end == 0 || path[end - 1] != '\\') std::strcat(path, "\\");
    end = std::strlen(path);
    std::strcat(path, kHtmlHelpFileName);
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
      path[end] = '\0';
      std::strcat(path, kHelpFileName);
    }
    if (!LaunchHelpFile(path)) {
      MessageBoxA(nullptr, path, QURAN_PRODUCT_TITLE, MB_OK);
      ShowReinstallMessage();
    }
  } catch (...) {
  }
}

void WINAPI DevedUrazuda() {
  try {
    quran::ShowAboutDialog();
  } catch (...) {
  }
}

// Word unloads and loads the add-in in one process: the runtime linked into it makes
// its exception pool (73 KB) at every load, which nothing but this gives back.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  // Not at the process's end (reserved set), when everything goes anyway.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
  return TRUE;
}

}  // extern "C"
