#include "splash_about.h"

#include "entry_points.h"
#include "resource.h"

namespace quran {

SplashWindow::SplashWindow() : Dialog(IDD_SPLASH) {}

// The timer starts with the window; a dialog's procedure sees no creation message,
// so it starts here, before anything is shown.
bool SplashWindow::OnInitDialog() {
  Dialog::OnInitDialog();
  SetTimer(Window(), kSplashTimer, kSplashMilliseconds, nullptr);
  // The picture's own size, whatever the template says, centred over the owner or
  // the screen.
  RECT over;
  HWND owner = GetWindow(Window(), GW_OWNER);
  if (!owner || !GetWindowRect(owner, &over)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
  }
  int x = over.left + (over.right - over.left - kWidth) / 2;
  int y = over.top + (over.bottom - over.top - kHeight) / 2;
  MoveWindow(Window(), x, y, kWidth, kHeight, TRUE);
  return true;
}

bool SplashWindow::ProcessMessage(UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return true;
    case WM_TIMER:
      OnTimer();
      return true;
  }
  return false;
}

void SplashWindow::OnPaint() {
  // Loaded on every paint, the new picture replacing the one held.
  if (auto picture =
          static_cast<HBITMAP>(LoadImageW(ResourceModule(), MAKEINTRESOURCEW(IDB_BITMAPSPLASH),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {
    m_picture.reset(picture);
  }
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Window(), &paint);
  if (m_picture.get()) {
    BITMAP size = {};
    GetObjectW(m_picture.get(), sizeof size, &size);
    RECT client;
    GetClientRect(Window(), &client);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, m_picture.get());
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, size.bmWidth, size.bmHeight,
               SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  EndPaint(Window(), &paint);
}

void SplashWindow::OnTimer() {
  KillTimer(Window(), kSplashTimer);
  EndDialog(0);
}

AboutDialog::AboutDialog() : Dialog(IDD_ABOUT) {}

bool AboutDialog::ProcessMessage(UINT message, WPARAM, LPARAM) {
  // The emblem's control loaded its bitmap from the template and, under Wine, never
  // frees it: one bitmap lost each time the box opens. Taken back and freed here, so
  // no control is left to free it twice.
  if (message == WM_DESTROY) {
    HWND emblem = GetDlgItem(Window(), IDC_ABOUT_EMBLEM);
    if (auto bitmap =
            reinterpret_cast<HBITMAP>(SendMessageW(emblem, STM_SETIMAGE, IMAGE_BITMAP, 0))) {
      DeleteObject(bitmap);
    }
  }
  return false;
}

void ShowSplashWindow() {
  SplashWindow splash;
  splash.DoModal(nullptr);
}

void ShowAboutDialog() {
  AboutDialog about;
  about.DoModal(nullptr);
}

}  // namespace quran
