// wordhost.exe: the stand-in Word, driven from its command line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "demo.h"
#include "screenshot.h"
#include "word_host.h"

namespace {

const char kUsage[] =
    "usage: wordhost [--addin FILE] [--document-id N] [--text-file UTF8FILE]\n"
    "                [--select START END] [--run MACRO]... [--click MENU ITEM]...\n"
    "                [--log FILE|-] [--open-menu KEY] [--screenshot PNG]\n"
    "                [--document-out UTF8FILE] [--demo FOLDER] [--exit]\n"
    "--demo plays a short session with the add-in and saves screenshots in FOLDER.\n"
    "Without --addin it loads the first .wll of its own STARTUP folder, else of the\n"
    "user's Word startup folder, as Word loads both.\n"
    "Modal windows of the add-in are logged and closed with OK.\n"
    "Exit status: 0, 1 on an error, 2 on bad options, 3 when wdAutoOpen answered 0.\n";

struct Options {
  std::string addin;
  int documentId = 1;
  std::string textFile;
  int selectStart = -1, selectEnd = -1;
  std::vector<std::string> macros;
  std::vector<std::pair<std::string, std::string>> clicks;
  std::string log, screenshot, documentOut, demo;
  char openMenu = 0;
  bool exit = false;
};

bool ParseNumber(const char* text, int* value) {
  char* end = nullptr;
  long number = std::strtol(text, &end, 10);
  if (end == text || *end || number < -32768 || number > 65535) return false;
  *value = static_cast<int>(number);
  return true;
}

// Fills options; on bad input returns a message for the user.
std::string ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    auto needs = [&](int count) { return i + count < argc; };
    if (option == "--exit") {
      options->exit = true;
    } else if (option == "--select") {
      if (!needs(2) || !ParseNumber(argv[i + 1], &options->selectStart) ||
          !ParseNumber(argv[i + 2], &options->selectEnd)) {
        return "--select needs two character positions";
      }
      i += 2;
    } else if (option == "--click") {
      if (!needs(2)) return "--click needs a menu caption and an item caption";
      options->clicks.emplace_back(argv[i + 1], argv[i + 2]);
      i += 2;
    } else if (option == "--open-menu") {
      if (!needs(1) || std::strlen(argv[i + 1]) != 1) return "--open-menu needs one letter";
      options->openMenu = argv[++i][0];
    } else if (option == "--document-id") {
      if (!needs(1) || !ParseNumber(argv[++i], &options->documentId)) {
        return "--document-id needs a number";
      }
    } else if (option == "--addin" || option == "--text-file" || option == "--run" ||
               option == "--log" || option == "--screenshot" || option == "--document-out" ||
               option == "--demo") {
      if (!needs(1)) return option + " needs a value";
      std::string value = argv[++i];
      if (option == "--addin") options->addin = value;
      if (option == "--text-file") options->textFile = value;
      if (option == "--run") options->macros.push_back(value);
      if (option == "--log") options->log = value;
      if (option == "--screenshot") options->screenshot = value;
      if (option == "--document-out") options->documentOut = value;
      if (option == "--demo") options->demo = value;
    } else {
      return "unknown option " + option;
    }
  }
  return "";
}

const char* g_screenshotPath = nullptr;
bool g_screenshotSaved = false;

// Runs inside the menu's own message loop, so the open menu is on the screen.
void CALLBACK CaptureOpenMenu(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);
  g_screenshotSaved = wordhost::SaveWindowPng(window, g_screenshotPath);
  EndMenu();
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "wordhost: %s\n", message.c_str());
  return 1;
}

int Run(const Options& options) {
  if (!wordhost::Start(true)) return Fail("cannot create the main window");
  if (!options.textFile.empty()) {
    std::ifstream file(options.textFile, std::ios::binary);
    if (!file) return Fail("cannot read " + options.textFile);
    std::stringstream text;
    text << file.rdbuf();
    wordhost::SetDocumentText(wordhost::FromCodePage(text.str(), CP_UTF8));
  }
  if (options.selectStart >= 0) wordhost::SetSelection(options.selectStart, options.selectEnd);
  if (!options.demo.empty()) {
    if (options.addin.empty()) return Fail("--demo needs --addin");
    return wordhost::PlayDemo(options.addin, options.demo);
  }
  std::string error;
  // Like Word, without a path: the add-in in Word's or the user's startup folder, if any.
  std::string addin = options.addin.empty() ? wordhost::StartupAddin() : options.addin;
  if (!addin.empty() &&
      !wordhost::LoadAddin(addin.c_str(), static_cast<std::int16_t>(options.documentId), &error)) {
    return Fail(error);
  }
  for (const std::string& macro : options.macros) {
    if (!wordhost::RunMacro(macro, &error)) return Fail(error);
  }
  for (const auto& [menu, item] : options.clicks) {
    if (!wordhost::ClickMenuItem(menu, item)) return Fail("no menu item " + menu + " / " + item);
  }
  // Lets the window paint before it is captured.
  wordhost::PumpMessages(500);
  if (!options.screenshot.empty()) {
    g_screenshotPath = options.screenshot.c_str();
    if (options.openMenu) {
      SetTimer(wordhost::MainWindow(), 1, 500, CaptureOpenMenu);
      PostMessageW(wordhost::MainWindow(), WM_SYSCOMMAND, SC_KEYMENU, options.openMenu);
      wordhost::PumpMessages(1500);
    } else {
      g_screenshotSaved = wordhost::SaveWindowPng(wordhost::MainWindow(), g_screenshotPath);
    }
    if (!g_screenshotSaved) return Fail("cannot save the screenshot " + options.screenshot);
  }
  if (!options.documentOut.empty()) {
    std::ofstream file(options.documentOut, std::ios::binary);
    file << wordhost::ToCodePage(wordhost::DocumentText(), CP_UTF8);
    if (!file) return Fail("cannot write " + options.documentOut);
  }
  if (wordhost::AutoOpenAnswer() == 0) {
    std::fprintf(stderr, "wordhost: wdAutoOpen answered 0\n");
    return 3;
  }
  if (!options.exit) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error = ParseOptions(argc, argv, &options);
  if (!error.empty()) {
    std::fprintf(stderr, "wordhost: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  FILE* log = nullptr;
  if (options.log == "-") {
    log = stdout;
  } else if (!options.log.empty() && !(log = std::fopen(options.log.c_str(), "w"))) {
    return Fail("cannot write " + options.log);
  }
  wordhost::SetLogFile(log);
  int status = Run(options);
  wordhost::Stop();
  wordhost::SetLogFile(nullptr);
  if (log && log != stdout) std::fclose(log);
  return status;
}
