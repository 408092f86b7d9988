// Holds the clipboard open from another process until told to let go, as a
// clipboard manager or a slow program can: signals "QuranClipboardHeld" once it
// holds it, and lets go on "QuranClipboardRelease" or after 30 s.
#include <windows.h>

int main() {
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, L"QuranClipboardHeld");
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, L"QuranClipboardRelease");
  if (!held || !release || !OpenClipboard(nullptr)) return 1;
  SetEvent(held);
  WaitForSingleObject(release, 30000);
  CloseClipboard();
  CloseHandle(held);
  CloseHandle(release);
  return 0;
}
