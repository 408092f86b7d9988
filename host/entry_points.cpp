// The functions Word calls in the add-in. The search window and the splash and
// About boxes come later; for now loading installs the menu and unloading
// removes it.
#include <windows.h>

#include <cstring>
#include <initializer_list>

#include "host_command.h"

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

}  // namespace
}  // namespace quran

extern "C" {

std::int16_t WINAPI wdAutoOpen(std::int16_t documentId) {
  quran::InstallMenu(documentId);
  return 1;
}

void WINAPI wdAutoRemove() {
  using namespace quran;
  HostCommandBlock block;
  InitHostCommand(&block, kArgShort, nullptr, 0);
  AddShortField(&block, 1, 4, kNamed);
  SendHostCommand(433, 2, block.count, block.args, nullptr);

  InitHostCommand(&block, kArgShort, nullptr, 0);
  AddShortArg(&block, 0);
  AddShortArg(&block, 1);
  SendHostCommand(static_cast<std::int16_t>(32931), 2, block.count, block.args, nullptr);
}

void WINAPI FileProcess() {}
void WINAPI ConfigurationTab() {}
void WINAPI DevedUrazuda() {}

}  // extern "C"
