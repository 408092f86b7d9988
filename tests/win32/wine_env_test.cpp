// The Wine prefix the build prepares: Arabic code page, an Arabic keyboard
// layout that a test can take away, and "Traditional Arabic" mapped to an
// installed naskh font.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "run_program.h"

namespace {

const char kArabicLayoutKey[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts\\00000401";

// Bit 0: the registry's layout 0x00000401 is listed; bit 1: any Arabic layout is.
int ArabicLayouts() {
  HKL layouts[32];
  int count = GetKeyboardLayoutList(32, layouts);
  int found = 0;
  for (int i = 0; i < count; ++i) {
    auto layout = reinterpret_cast<std::uintptr_t>(layouts[i]);
    if (layout == 0x00000401) found |= 1;
    if (PRIMARYLANGID(LOWORD(layout)) == LANG_ARABIC) found |= 2;
  }
  return found;
}

// Runs this program with one argument and answers its exit code.
DWORD RunSelf(const char* argument) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string commandLine = std::string("\"") + path + "\" " + argument;
  return RunProgram(commandLine, 30000);
}

int CALLBACK CountFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return 1;
}

}  // namespace

TEST(WineEnvironment, AnsiCodePageIsArabic) {
  EXPECT_EQ(GetACP(), 1256u);
  // Windows-1256 0xC7 is alef.
  wchar_t wide = 0;
  MultiByteToWideChar(CP_ACP, 0, "\xC7", 1, &wide, 1);
  EXPECT_EQ(wide, 0x0627);
}

// Under the Arabic locale the locale's own layout (0x0C01) stays; run with
// another locale, removing the key leaves no Arabic layout at all.
TEST(WineEnvironment, ArabicKeyboardLayoutCanBeRemovedAndRestored) {
  ASSERT_EQ(ArabicLayouts(), 3);
  char layoutFile[64] = {};
  DWORD size = sizeof(layoutFile);
  ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, kArabicLayoutKey, "Layout File", RRF_RT_REG_SZ,
                         nullptr, layoutFile, &size),
            ERROR_SUCCESS);

  ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kArabicLayoutKey), ERROR_SUCCESS);
  // A process reads the layouts once, so a new one sees the change.
  DWORD childAfterRemoval = RunSelf("--arabic-layouts");

  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kArabicLayoutKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Layout File", 0, REG_SZ, reinterpret_cast<const BYTE*>(layoutFile),
                 static_cast<DWORD>(strlen(layoutFile) + 1));
  RegCloseKey(key);
  EXPECT_EQ(childAfterRemoval, GetACP() == 1256 ? 2u : 0u);
  EXPECT_EQ(RunSelf("--arabic-layouts"), 3u);
}

TEST(WineEnvironment, TraditionalArabicIsAnInstalledArabicFont) {
  char family[64] = {};
  DWORD size = sizeof(family);
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\Wine\\Fonts\\Replacements",
                         "Traditional Arabic", RRF_RT_REG_SZ, nullptr, family, &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(family, "KacstNaskh");

  HDC dc = GetDC(nullptr);
  LOGFONTA wanted = {};
  wanted.lfCharSet = DEFAULT_CHARSET;
  strcpy(wanted.lfFaceName, "Traditional Arabic");
  int families = 0;
  EnumFontFamiliesExA(dc, &wanted, CountFamily, reinterpret_cast<LPARAM>(&families), 0);
  EXPECT_GT(families, 0);

  HFONT font = CreateFontA(-24, 0, 0, 0, FW_NORMAL, 0, 0, 0, ARABIC_CHARSET, 0, 0, 0, 0,
                           "Traditional Arabic");
  HGDIOBJ old = SelectObject(dc, font);
  WORD glyphs[3] = {};
  EXPECT_EQ(GetGlyphIndicesW(dc, L"\x0628\x0633\x0645", 3, glyphs, GGI_MARK_NONEXISTING_GLYPHS),
            3u);
  for (WORD glyph : glyphs) EXPECT_NE(glyph, 0xFFFF);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
}

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--arabic-layouts") == 0) return ArabicLayouts();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
