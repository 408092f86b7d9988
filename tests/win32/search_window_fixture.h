// The search window inside a fresh stand-in Word, on the real data files, and
// the store it must agree with. Compiled with a Windows-1256 execution character
// set, like the tests that include it.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "search_dialog.h"
#include "search_window_driver.h"
#include "verse_store.h"
#include "word_host_fixture.h"

namespace sw = search_window;

inline const char kSettingsKey[] = "Software\\kivo\\velnora\\2.0\\Options";
inline const char kNoText[] = "لا توجد آية تحتوي النص المراد البحث عنه";
inline const char kNoRoot[] = "لا توجد آية تحتوي على أي من مشتقات الجذر المدخل";
inline const char kNoneCaption[] = "لا يوجد";
inline const char kCopyOne[] = "&نسـخ الأيــــة";
inline const char kCopyMany[] = "نسـخ الآيــــات&";
inline const char kAddin[] = "QuranAddin.wll";

// The store the window must agree with, read from the same system directory.
inline quran::VerseStore& Store() {
  static quran::VerseStore store;
  return store;
}

inline std::string Number(int n) {
  return std::to_string(n);
}

// What the window must list for the store's last search.
inline std::vector<std::string> ExpectedItems() {
  std::vector<std::string> items;
  for (int v = 0; v < quran::kVerseCount; ++v) {
    if (!Store().ResultFlags[v]) continue;
    const quran::VerseIndexRecord& r = Store().VerseIndex[v];
    items.push_back(std::string(quran::SuraName(r.chapter)) + " " + Number(r.verse));
  }
  return items;
}

inline void SaveValue(const char* name, const void* data, DWORD size) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

// A box is answered once it has been drawn, so that a screenshot shows it.
inline std::thread g_boxAnswer;
inline std::string g_boxShot;
inline WORD g_boxReply = IDYES;
inline void ScreenshotAndAnswer(HWND box) {
  g_boxAnswer = std::thread([box] {
    Sleep(500);
    std::string path = "screenshots/" + g_boxShot + "_cp" + Number(GetACP()) + ".png";
    EXPECT_TRUE(wordhost::SaveWindowPng(box, path.c_str())) << path;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(g_boxReply, BN_CLICKED), 0);
  });
}

// Search... on the text selected in the document, the box that follows photographed
// as the shot and answered with the reply.
inline void SearchSelectionAnsweringTheBox(const std::wstring& text, const char* shot,
                                           WORD reply = IDYES) {
  wordhost::SetDocumentText(text);
  wordhost::SetSelection(0, static_cast<int>(text.size()));
  CreateDirectoryA("screenshots", nullptr);
  g_boxShot = shot;
  g_boxReply = reply;
  wordhost::SetModalAction(ScreenshotAndAnswer);
  EXPECT_TRUE(wordhost::ClickMenuItem("&Quran", "&Search..."));
  wordhost::PumpMessages();
  wordhost::SetModalAction(nullptr);
  if (g_boxAnswer.joinable()) g_boxAnswer.join();
  EXPECT_TRUE(IsWindowVisible(sw::Find()));
}

// A naskh verse font with the citations' punctuation, as a user who cites in a
// Quranic face picks it; the stand-in for the default face has no ASCII punctuation,
// which a rich edit control does not take from another face.
inline void SaveQuranicVerseFont() {
  LOGFONTA quranic = {};
  quranic.lfHeight = -20;  // 15 points, as the font dialog gives it
  quranic.lfWeight = FW_BOLD;
  std::strcpy(quranic.lfFaceName, "Amiri");
  SaveValue("Font", &quranic, sizeof quranic);
}

inline void SaveMode(std::int32_t mode) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Options", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&mode), 4);
  RegCloseKey(key);
}

// The saved mode, or -1 when none is saved.
inline std::int32_t SavedMode() {
  std::int32_t mode = -1;
  DWORD size = sizeof mode;
  if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, "Options", RRF_RT_ANY, nullptr, &mode, &size) !=
      ERROR_SUCCESS) {
    return -1;
  }
  return mode;
}

// The add-in's own window object, to read and set what has no control of its own.
inline quran::SearchDialog& Window() {
  return *static_cast<quran::SearchDialog*>(
      reinterpret_cast<quran::Dialog*>(GetWindowLongPtrW(sw::Find(), DWLP_USER)));
}

using Modal = std::pair<std::string, std::string>;

// The modal windows since the last call, but for the captionless splash that every
// load of the add-in shows.
inline std::vector<Modal> ModalWindows() {
  std::vector<Modal> windows;
  for (const wordhost::ModalWindow& w : wordhost::ModalWindows()) {
    if (!w.caption.empty()) windows.emplace_back(w.caption, w.text);
  }
  wordhost::ClearModalWindows();
  return windows;
}

class SearchWindowTest : public WordHostTest {
 protected:
  void SetUp() override {
    WordHostTest::SetUp();
    wordhost::ClearModalWindows();
    ASSERT_EQ(Store().LoadFailed, 0);
  }

  void LoadAddin(int expectedAnswer = 1) {
    std::string error;
    ASSERT_TRUE(wordhost::LoadAddin(kAddin, 1, &error)) << error;
    ASSERT_EQ(wordhost::AutoOpenAnswer(), expectedAnswer);
  }

  // Quran > Search... with "الله" selected in the document.
  void OpenSearch() {
    ASSERT_TRUE(wordhost::ClickMenuItem("&Quran", "&Search..."));
    wordhost::PumpMessages();
    ASSERT_NE(sw::Find(), nullptr);
    ASSERT_TRUE(IsWindowVisible(sw::Find()));
  }

  // The window shows what the store found for the same search.
  void ExpectListedAsStore(std::int32_t occurrences) {
    EXPECT_EQ(sw::Text(sw::kOccurrenceCount), Number(occurrences));
    std::vector<std::string> expected = ExpectedItems();
    EXPECT_EQ(sw::Text(sw::kVerseCount), Number(static_cast<int>(expected.size())));
    EXPECT_EQ(sw::Items(), expected);
    std::vector<int> verses = sw::ItemVerses();
    EXPECT_TRUE(std::is_sorted(verses.begin(), verses.end()));
    for (int v : verses) EXPECT_TRUE(Store().ResultFlags[v]) << v;
    if (expected.empty()) return;
    EXPECT_EQ(sw::SelectedItems(), std::vector<int>{0});
    char verse[2048];
    ASSERT_TRUE(Store().GetVerseText(static_cast<std::uint32_t>(verses[0]), verse));
    EXPECT_EQ(sw::Text(sw::kVerseText), verse);
    EXPECT_EQ(sw::Text(sw::kCopyVerses), kCopyOne);
    EXPECT_TRUE(sw::Enabled(sw::kCopyVerses));
    EXPECT_TRUE(sw::Enabled(sw::kCopyMarked));
    EXPECT_TRUE(sw::Enabled(sw::kResultsOnly));
  }

  void ExpectNothingFound(const char* message) {
    EXPECT_EQ(ModalWindows(), (std::vector<Modal>{{kNoneCaption, message}}));
    EXPECT_EQ(sw::Text(sw::kOccurrenceCount), "0");
    EXPECT_EQ(sw::Text(sw::kVerseCount), "0");
    EXPECT_TRUE(sw::Items().empty());
    EXPECT_EQ(sw::Text(sw::kVerseText), "");
    EXPECT_FALSE(sw::Enabled(sw::kCopyVerses));
    EXPECT_FALSE(sw::Enabled(sw::kCopyMarked));
    EXPECT_FALSE(sw::Checked(sw::kResultsOnly));
    EXPECT_FALSE(sw::Enabled(sw::kResultsOnly));
  }

  // Saves the window under build/win32/screenshots, named with the code page.
  static void ScreenshotWindow(const char* name) {
    wordhost::PumpMessages(300);
    CreateDirectoryA("screenshots", nullptr);
    std::string path = "screenshots/" + std::string(name) + "_cp" + Number(GetACP()) + ".png";
    EXPECT_TRUE(wordhost::SaveWindowPng(sw::Find(), path.c_str())) << path;
  }
};
