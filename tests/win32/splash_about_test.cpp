// The start-up picture, the About box and the help launch of the add-in inside
// the stand-in Word. Compiled with a Windows-1256 execution character set.
#include <string>
#include <utility>
#include <vector>

#include "resource.h"
#include "search_window_fixture.h"

namespace {

// What the splash looked like while it was up, read from inside its modal loop.
struct SplashSeen {
  RECT rect = {};
  bool painted = false;
};
SplashSeen g_splash;
HWND g_splashWindow = nullptr;

void CALLBACK LookAtSplash(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (!IsWindow(g_splashWindow)) return;
  GetWindowRect(g_splashWindow, &g_splash.rect);
  // Painted again and again, as when windows pass over it.
  for (int i = 0; i < 20; ++i) {
    RedrawWindow(g_splashWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  CreateDirectoryA("screenshots", nullptr);
  g_splash.painted = wordhost::SaveWindowPng(g_splashWindow, "screenshots/splash.png");
}

// Leaves the splash to its own timer, and looks at it half a second in.
void LetSplashRun(HWND window) {
  g_splashWindow = window;
  SetTimer(nullptr, 0, 500, LookAtSplash);
}

HWND g_aboutWindow = nullptr;
HGDIOBJ g_emblem = nullptr;

void CALLBACK PhotographAbout(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  g_emblem = reinterpret_cast<HGDIOBJ>(
      SendDlgItemMessageW(g_aboutWindow, IDC_ABOUT_EMBLEM, STM_GETIMAGE, IMAGE_BITMAP, 0));
  std::string path = "screenshots/about_cp" + Number(GetACP()) + ".png";
  CreateDirectoryA("screenshots", nullptr);
  wordhost::SaveWindowPng(g_aboutWindow, path.c_str());
  PostMessageW(g_aboutWindow, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// Photographs the About box once it is drawn, then presses OK.
void PhotographAndConfirm(HWND window) {
  g_aboutWindow = window;
  SetTimer(nullptr, 0, 400, PhotographAbout);
}

BITMAP BitmapOf(HMODULE module, int id) {
  BITMAP bitmap = {};
  HANDLE image = LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (image) {
    GetObjectW(image, sizeof bitmap, &bitmap);
    DeleteObject(image);
  }
  return bitmap;
}

std::vector<std::string> CommandsOf(const std::vector<std::string>& log) {
  std::vector<std::string> commands;
  for (const std::string& line : log) commands.push_back(line.substr(0, line.find(' ')));
  return commands;
}

BOOL CALLBACK CountDialog(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (process == GetCurrentProcessId() && std::wstring(name) == L"#32770") {
    ++*reinterpret_cast<int*>(found);
  }
  return TRUE;
}

int DialogWindowsOfThisProcess() {
  int count = 0;
  EnumWindows(CountDialog, reinterpret_cast<LPARAM>(&count));
  return count;
}

// The help viewers run in processes of their own; their windows are found by class:
// HTML Help's for the compiled file, WinHelp's for the other.
constexpr wchar_t kHtmlHelpViewer[] = L"HH Parent";
constexpr wchar_t kWinHelpViewer[] = L"MS_WINHELP";

HWND WaitForHelpWindow(const wchar_t* viewer) {
  for (int tries = 0; tries < 100; ++tries) {
    if (HWND help = FindWindowW(viewer, nullptr)) return help;
    wordhost::PumpMessages(100);
  }
  return nullptr;
}

std::string SystemFile(const char* name) {
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  return std::string(system) + "\\" + name;
}

// Moves a file aside for a test's life and back after it.
class FileAside {
 public:
  explicit FileAside(std::string path)
      : path_(std::move(path)), moved_(MoveFileA(path_.c_str(), (path_ + ".aside").c_str())) {}
  ~FileAside() {
    if (moved_) MoveFileA((path_ + ".aside").c_str(), path_.c_str());
  }
  FileAside(const FileAside&) = delete;
  FileAside& operator=(const FileAside&) = delete;
  bool moved() const { return moved_; }

 private:
  std::string path_;
  bool moved_;
};

using SplashAboutTest = SearchWindowTest;

}  // namespace

TEST_F(SplashAboutTest, TheSplashShowsForThreeSecondsThenLoadingGoesOn) {
  wordhost::SetModalAction(LetSplashRun);
  DWORD start = GetTickCount();
  LoadAddin();
  DWORD took = GetTickCount() - start;
  wordhost::SetModalAction(nullptr);
  // Its own timer ended it: nobody answered it.
  EXPECT_GE(took, 2900u);
  EXPECT_LT(took, 10000u);
  std::vector<wordhost::ModalWindow> shown = wordhost::ModalWindows();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "");
  EXPECT_EQ(g_splash.rect.right - g_splash.rect.left, 450);
  EXPECT_EQ(g_splash.rect.bottom - g_splash.rect.top, 292);
  EXPECT_TRUE(g_splash.painted);
  // It comes before the search window, which then exists, hidden.
  ASSERT_NE(sw::Find(), nullptr);
  EXPECT_FALSE(IsWindowVisible(sw::Find()));
}

TEST_F(SplashAboutTest, TheBitmapsAreTheirSizeIn24Bits) {
  LoadAddin();
  HMODULE addin = GetModuleHandleA(kAddin);
  ASSERT_NE(addin, nullptr);
  BITMAP splash = BitmapOf(addin, 132);
  EXPECT_EQ(splash.bmWidth, 450);
  EXPECT_EQ(splash.bmHeight, 292);
  EXPECT_EQ(splash.bmBitsPixel, 24);
  BITMAP emblem = BitmapOf(addin, 226);
  EXPECT_EQ(emblem.bmWidth, 121);
  EXPECT_EQ(emblem.bmHeight, 245);
  EXPECT_EQ(emblem.bmBitsPixel, 24);
}

TEST_F(SplashAboutTest, AboutOpensModallyFromTheMenuAndFromTheHiddenButton) {
  LoadAddin();
  const Modal about = {"حــول Quran Verse Search", ""};
  wordhost::SetModalAction(PhotographAndConfirm);
  ASSERT_TRUE(wordhost::ClickMenuItem("&Quran", "&About..."));
  EXPECT_EQ(ModalWindows(), std::vector<Modal>{about});
  ASSERT_NE(g_emblem, nullptr);
  EXPECT_EQ(GetObjectType(g_emblem), 0u) << "the emblem's bitmap goes with the box";

  OpenSearch();
  ModalWindows();
  SendMessageW(sw::Find(), WM_COMMAND, MAKEWPARAM(sw::kAbout, BN_CLICKED),
               reinterpret_cast<LPARAM>(sw::Item(sw::kAbout)));
  wordhost::SetModalAction(nullptr);
  EXPECT_EQ(ModalWindows(), std::vector<Modal>{about});
  EXPECT_FALSE(IsWindowVisible(sw::Item(sw::kAbout)));

  wordhost::UnloadAddin();
  EXPECT_EQ(DialogWindowsOfThisProcess(), 0);
}

TEST_F(SplashAboutTest, AMissingHelpFileIsReportedWithItsPathThenReinstall) {
  std::string help = SystemFile("VUDEV-IRAZ.HLP");
  FileAside compiled(SystemFile("VUDEV-IRAZ.chm")), winHelp(help);
  EXPECT_TRUE(winHelp.moved());
  LoadAddin();
  ModalWindows();
  wordhost::ClearCommandLog();
  EXPECT_TRUE(wordhost::ClickMenuItem("&Quran", "&Help..."));
  EXPECT_EQ(ModalWindows(), (std::vector<Modal>{{"Quran Verse Search", help},
                                                {"Quran", "Error Processing Files, Reinstall."}}));
  EXPECT_EQ(CommandsOf(wordhost::CommandLog()),
            (std::vector<std::string>{"33249", "33007", "window", "33249", "window"}));
}

// The compiled help where it is installed; the WinHelp file where it is not. Wine's
// HTML Help viewer has no browser engine here and shows an empty page, but its
// caption is the one the compiled file names, so the file was read.
TEST_F(SplashAboutTest, HelpOpensTheCompiledHelpElseTheWinHelpFile) {
  LoadAddin();
  ModalWindows();
  wordhost::ClearCommandLog();
  ASSERT_TRUE(wordhost::ClickMenuItem("&Quran", "&Help..."));
  EXPECT_EQ(CommandsOf(wordhost::CommandLog()), (std::vector<std::string>{"33249", "33007"}));
  EXPECT_TRUE(ModalWindows().empty());
  HWND help = WaitForHelpWindow(kHtmlHelpViewer);
  ASSERT_NE(help, nullptr);
  wchar_t caption[64] = {};
  GetWindowTextW(help, caption, 64);
  EXPECT_STREQ(caption, L"Quran Verse Search");
  wordhost::PumpMessages(1500);
  std::string path = "screenshots/help_chm_cp" + Number(GetACP()) + ".png";
  EXPECT_TRUE(wordhost::SaveWindowPng(help, path.c_str()));
  wordhost::CloseOtherProgram(help);

  OpenSearch();
  FileAside compiled(SystemFile("VUDEV-IRAZ.chm"));
  EXPECT_TRUE(compiled.moved());
  wordhost::ClearCommandLog();
  sw::Click(sw::kHelp);
  EXPECT_EQ(CommandsOf(wordhost::CommandLog()), (std::vector<std::string>{"33249", "33007"}));
  help = WaitForHelpWindow(kWinHelpViewer);
  ASSERT_NE(help, nullptr);
  wordhost::PumpMessages(1500);
  path = "screenshots/help_cp" + Number(GetACP()) + ".png";
  EXPECT_TRUE(wordhost::SaveWindowPng(help, path.c_str()));
  wordhost::CloseOtherProgram(help);
}
