// A test add-in whose macros act on the document, so that a menu item's effect
// shows whether the host ran the right export.
#include <cstring>

#include "host_command.h"

using namespace quran;

namespace {
std::int32_t g_lastStatus = -100;
}

extern "C" {

std::int16_t WINAPI wdAutoOpen(std::int16_t documentId) {
  RegisterMacro(documentId, "ProbeInsert", nullptr);
  RegisterMacro(documentId, "ProbeCopy", nullptr);
  AddHostMenu(1, "&Probe", -1, 0);
  AddHostMenuItem(1, "&Probe", "ProbeInsert", "&Insert", -1, 0);
  AddHostMenuItem(1, "&Probe", "ProbeCopy", "&Copy", -2, 0);
  return 1;
}

void WINAPI wdAutoRemove() {
  HostCommandBlock block;
  InitHostCommand(&block, kArgShort, nullptr, 0);
  AddShortField(&block, 1, 4, kNamed);
  SendHostCommand(433, 2, block.count, block.args, nullptr);
}

// Inserts "[الله]" at the selection: on the clipboard, then command 110 (a paste).
void WINAPI ProbeInsert() {
  const wchar_t text[] = L"[\x0627\x0644\x0644\x0647]";
  g_lastStatus = -1;
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  if (block) {
    std::memcpy(GlobalLock(block), text, sizeof text);
    GlobalUnlock(block);
    if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
  }
  CloseClipboard();
  g_lastStatus = InsertHostText("[\xC7\xE1\xE1\xE5]");
}

void WINAPI ProbeCopy() {
  g_lastStatus = CopyHostSelection();
}

std::int32_t WINAPI ProbeLastStatus() {
  return g_lastStatus;
}

}  // extern "C"
