// The add-in's two small windows: the timed start-up picture and the About box.
#pragma once

#include <windows.h>

#include "dialog.h"

namespace quran {

// Shows the start-up picture for three seconds, modally, then ends itself.
class SplashWindow : public Dialog {
 public:
  static constexpr UINT_PTR kSplashTimer = 1000;
  static constexpr UINT kSplashMilliseconds = 3000;
  static constexpr int kWidth = 450;
  static constexpr int kHeight = 292;

  SplashWindow();

 protected:
  bool OnInitDialog() override;
  bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnPaint();
  void OnTimer();

  UniqueBitmap m_picture;
};

// The About box: OK and Cancel end it.
class AboutDialog : public Dialog {
 public:
  AboutDialog();

 protected:
  bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace quran
