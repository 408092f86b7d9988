// Add-ins loaded into the stand-in Word: the probe add-in's menu runs its
// exports, the Quran add-in installs and removes its menu, and wordhost.exe
// does the same from its command line.
#include <fstream>
#include <sstream>
#include <vector>

#include "run_program.h"
#include "word_host_fixture.h"

namespace {

std::vector<std::string> CommandsOf(const std::vector<std::string>& log) {
  std::vector<std::string> commands;
  for (const std::string& line : log) commands.push_back(line.substr(0, line.find(' ')));
  return commands;
}

std::string ReadFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

const char kQuranAddin[] = "QuranAddin.wll";

}  // namespace

TEST_F(WordHostTest, ProbeMenuItemsRunTheAddinsExports) {
  std::string error;
  ASSERT_TRUE(wordhost::LoadAddin("probe_addin.dll", 1, &error)) << error;
  EXPECT_EQ(wordhost::MenuBarCaptions().at(9), "&Probe");
  EXPECT_EQ(wordhost::MenuItemCaptions("&Probe"), (std::vector<std::string>{"&Insert", "&Copy"}));
  auto lastStatus = reinterpret_cast<std::int32_t(WINAPI*)()>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("probe_addin.dll"), "ProbeLastStatus")));
  ASSERT_NE(lastStatus, nullptr);

  ASSERT_TRUE(wordhost::ClickMenuItem("&Probe", "&Copy"));
  EXPECT_EQ(lastStatus(), 0);
  ASSERT_TRUE(wordhost::ClickMenuItem("&Probe", "&Insert"));
  EXPECT_EQ(lastStatus(), 0);
  std::wstring expected = kDocument;
  expected.replace(4, 4, L"[\x0627\x0644\x0644\x0647]");
  EXPECT_EQ(wordhost::DocumentText(), expected);

  wordhost::UnloadAddin();
  EXPECT_EQ(wordhost::MenuBarCaptions().size(), 9u);
  EXPECT_EQ(CommandsOf(wordhost::CommandLog()),
            (std::vector<std::string>{"33142", "33142", "615", "433", "433", "wdAutoOpen", "109",
                                      "110", "433"}));
}

TEST_F(WordHostTest, QuranAddinExportsItsEntryPointsUndecorated) {
  HMODULE addin = LoadLibraryA(kQuranAddin);
  ASSERT_NE(addin, nullptr);
  for (const char* name :
       {"wdAutoOpen", "wdAutoRemove", "FileProcess", "ConfigurationTab", "DevedUrazuda"}) {
    EXPECT_NE(GetProcAddress(addin, name), nullptr) << name;
  }
  EXPECT_EQ(GetProcAddress(addin, "wdAutoOpen@4"), nullptr);
  EXPECT_EQ(GetProcAddress(addin, "_wdAutoOpen@4"), nullptr);
  FreeLibrary(addin);
}

TEST_F(WordHostTest, QuranAddinInstallsItsMenuOnceAndRemovesIt) {
  std::string error;
  ASSERT_TRUE(wordhost::LoadAddin(kQuranAddin, 7, &error)) << error;
  std::vector<std::string> expected(4, "33142");
  expected.insert(expected.end(), 12, "33088");
  // The splash is logged as a window between the menu and the answer.
  expected.insert(expected.end(), {"615", "433", "433", "433", "window", "wdAutoOpen"});
  EXPECT_EQ(CommandsOf(wordhost::CommandLog()), expected);
  EXPECT_EQ(wordhost::CommandLog().at(0),
            "33142 options=0 count=2 args=[short 7, string \"FileProcess\"] result=none => 0");
  EXPECT_EQ(wordhost::RegisteredMacros(),
            (std::vector<std::string>{"FileProcess", "ConfigurationTab", "DevedUrazuda",
                                      "wdCaptureKeyDown"}));
  EXPECT_EQ(wordhost::MenuBarCaptions().at(9), "&Quran");
  EXPECT_EQ(wordhost::MenuItemCaptions("&Quran"),
            (std::vector<std::string>{"&Search...", "&Help...", "&About..."}));
  ASSERT_TRUE(wordhost::ClickMenuItem("&Quran", "&About..."));
  Screenshot("wordhost_quran_menu");

  wordhost::ClearCommandLog();
  wordhost::UnloadAddin();
  EXPECT_EQ(wordhost::CommandLog(),
            (std::vector<std::string>{
                "433 options=2 count=1 args=[#4 short 1] result=none => 0",
                "32931 options=2 count=2 args=[short 0, short 1] result=none => 0"}));
  EXPECT_EQ(wordhost::MenuBarCaptions().size(), 9u);
}

TEST_F(WordHostTest, QuranAddinAddsNoSecondMenu) {
  // "&القرآن"
  for (const char* caption : {"&Quran", "&\xC7\xE1\xDE\xD1\xC2\xE4"}) {
    SCOPED_TRACE(caption);
    wordhost::AddMenu(caption, -1);
    wordhost::ClearCommandLog();
    std::string error;
    ASSERT_TRUE(wordhost::LoadAddin(kQuranAddin, 1, &error)) << error;
    for (const std::string& command : CommandsOf(wordhost::CommandLog())) {
      EXPECT_TRUE(command == "33142" || command == "33088" || command == "window" ||
                  command == "wdAutoOpen")
          << command;
    }
    EXPECT_EQ(wordhost::MenuBarCaptions().size(), 10u);
    wordhost::UnloadAddin();
  }
}

TEST(WordHostProgram, LoadsAnAddinRunsMacrosAndWritesWhatItDid) {
  std::ofstream("wordhost_text.txt", std::ios::binary) << "\xD9\x82\xD9\x84 \xD9\x87\xD9\x88";
  DeleteFileA("wordhost_document.txt");
  CreateDirectoryA("screenshots", nullptr);
  EXPECT_EQ(RunProgram("bin\\wordhost.exe --addin bin\\probe_addin.dll --text-file "
                       "wordhost_text.txt --select 3 5 --run ProbeInsert --click &Probe &Copy "
                       "--log wordhost_log.txt --document-out wordhost_document.txt "
                       "--screenshot screenshots/wordhost_program.png --exit"),
            0u);
  // "قل [الله]" in UTF-8.
  EXPECT_EQ(ReadFile("wordhost_document.txt"),
            "\xD9\x82\xD9\x84 [\xD8\xA7\xD9\x84\xD9\x84\xD9\x87]");
  std::string log = ReadFile("wordhost_log.txt");
  EXPECT_NE(log.find("110 options=2 count=1 args=[string \"[\xD8\xA7\xD9\x84\xD9\x84\xD9\x87]\"]"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("109 options=2 count=0 args=[] result=string(nobuf,20) => 1 no selection"),
            std::string::npos)
      << log;
  EXPECT_NE(log.rfind("433 options=2 count=1 args=[#4 short 1]"), std::string::npos) << log;

  EXPECT_EQ(RunProgram("bin\\wordhost.exe --bogus --exit"), 2u);
  EXPECT_EQ(RunProgram("bin\\wordhost.exe --addin bin\\missing.wll --exit"), 1u);
  EXPECT_EQ(RunProgram("bin\\wordhost.exe --addin bin\\probe_addin.dll --run Nothing --exit"), 1u);
}

// The main job's scripted session, as ./quran demo plays it without a display.
TEST(WordHostProgram, DemoPlaysTheSessionAndLeavesItsScreenshots) {
  const char* shots[] = {"1_splash",   "2_menu",           "3_search_window",
                         "4_document", "5_search_by_root", "6_about"};
  CreateDirectoryA("screenshots", nullptr);
  CreateDirectoryA("screenshots\\demo", nullptr);
  for (const char* shot : shots)
    DeleteFileA((std::string("screenshots\\demo\\") + shot + ".png").c_str());
  EXPECT_EQ(RunProgram("bin\\wordhost.exe --addin bin\\QuranAddin.wll --demo screenshots\\demo "
                       "--log demo_log.txt",
                       120000),
            0u);
  for (const char* shot : shots) {
    std::string path = std::string("screenshots\\demo\\") + shot + ".png";
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
  }
  std::string log = ReadFile("demo_log.txt");
  EXPECT_NE(log.find("wdAutoOpen 1 => 1"), std::string::npos) << log;
  EXPECT_NE(log.find("110 options=2 count=1"), std::string::npos) << log;
}
