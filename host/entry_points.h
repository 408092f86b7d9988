// The functions Word calls in the add-in, and the windows they open.
#pragma once

#include <windows.h>

#include <cstdint>

extern "C" {
std::int16_t WINAPI wdAutoOpen(std::int16_t documentId);
void WINAPI wdAutoRemove();
void WINAPI FileProcess();
void WINAPI ConfigurationTab();
void WINAPI DevedUrazuda();
}

namespace quran {

// The start-up picture and the About box; both arrive with their templates and
// until then show nothing.
void ShowSplashWindow();
void ShowAboutDialog();

}  // namespace quran
