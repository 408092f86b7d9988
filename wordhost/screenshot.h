// Saves what a window shows on the screen as a PNG file, for people to look at.
#pragma once

#include <windows.h>

namespace wordhost {

bool SaveWindowPng(HWND window, const char* path);

}  // namespace wordhost
