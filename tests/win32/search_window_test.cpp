// The search window inside the stand-in Word, driven with window messages on the
// real data files: start-up, modes, searches compared with the verse store, the
// keystroke filter, and the entry points that create, reuse and replace it.
// Compiled with a Windows-1256 execution character set.
#include <malloc.h>

#include <algorithm>
#include <thread>

#include "resource.h"
#include "run_program.h"
#include "search_window_fixture.h"

TEST_F(SearchWindowTest, MenuItemOpensTheWindowWithTheSelectionSearchedAsAWholeWord) {
  LoadAddin();
  HWND created = sw::Find();
  ASSERT_NE(created, nullptr);
  EXPECT_FALSE(IsWindowVisible(created));
  EXPECT_EQ(GetParent(created), nullptr);

  wordhost::ClearCommandLog();
  OpenSearch();
  EXPECT_EQ(sw::Text(sw::kSearchText), kAllah1256);
  EXPECT_TRUE(sw::Checked(sw::kWholeWord));
  std::int32_t occurrences = Store().FindText(" الله ", nullptr, true);
  ExpectListedAsStore(occurrences);
  EXPECT_EQ(sw::Text(sw::kOccurrenceCount), "2153");
  EXPECT_EQ(sw::Text(sw::kVerseCount), "1566");
  EXPECT_TRUE(ModalWindows().empty());
  // The window loaded by wdAutoOpen was never shown, so the first Search replaces it.
  const auto& log = wordhost::CommandLog();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0].substr(0, 6), "33249 ");
  EXPECT_EQ(log[1].substr(0, 6), "33249 ");
  EXPECT_EQ(log[2], "109 options=2 count=0 args=[] result=string(nobuf,20) => 0");
  ScreenshotWindow("search_window_whole_word");
}

TEST_F(SearchWindowTest, EveryModeCountsAndListsWhatTheStoreFinds) {
  LoadAddin();
  OpenSearch();
  struct Case {
    int mode;
    const char* query;
    std::int32_t (quran::VerseStore::*find)(const char*, const std::uint8_t*, bool,
                                            quran::Matching);
    const char* storeQuery;
    const char* verses = nullptr;
    const char* screenshot = nullptr;
  };
  const Case cases[] = {
      {sw::kPartOfText, "  الرحمن ", &quran::VerseStore::FindText, "الرحمن"},
      {sw::kPartOfText, "ا", &quran::VerseStore::FindText, "ا", "6052"},
      {sw::kWholeWord, "الصمد", &quran::VerseStore::FindText, " الصمد "},
      {sw::kWholeWord, "رب العالمين", &quran::VerseStore::FindText, " رب العالمين "},
      {sw::kRoots, "كتب", &quran::VerseStore::FindRoot, "كتب", nullptr, "search_window_root"},
      {sw::kRoots, "علم", &quran::VerseStore::FindRoot, "علم"},
      {sw::kDerivatives, " يعلمون ", &quran::VerseStore::FindWordRoots, "يعلمون"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    sw::Search(c.mode, c.query);
    std::int32_t occurrences =
        (Store().*c.find)(c.storeQuery, nullptr, true, quran::Matching::kExact);
    ASSERT_GT(occurrences, 0);
    ExpectListedAsStore(occurrences);
    EXPECT_TRUE(sw::Checked(c.mode));
    EXPECT_TRUE(ModalWindows().empty());
    if (c.verses) {
      EXPECT_EQ(sw::Text(sw::kVerseCount), c.verses);
    }
    if (c.screenshot) ScreenshotWindow(c.screenshot);
  }
}

TEST_F(SearchWindowTest, EmptyQueriesAndUnknownTextsReportNothingFound) {
  LoadAddin();
  OpenSearch();
  for (int mode : {sw::kPartOfText, sw::kWholeWord}) {
    for (const char* query : {"", "    ", "قلمززز"}) {
      SCOPED_TRACE(std::to_string(mode) + " [" + query + "]");
      sw::Search(mode, query);
      ExpectNothingFound(kNoText);
    }
  }
  // A tab is no blank: "\tالله" is looked for as it stands.
  sw::Search(sw::kWholeWord, "\tالله");
  ExpectNothingFound(kNoText);
  sw::Search(sw::kDerivatives, "");
  ExpectNothingFound(kNoText);
  EXPECT_FALSE(sw::RootListDropped());
}

TEST_F(SearchWindowTest, AnUnknownRootIsReportedAndTheRootListDropsDown) {
  LoadAddin();
  OpenSearch();
  for (const char* root : {"", "ززز"}) {
    SCOPED_TRACE(root);
    sw::Search(sw::kRoots, root);
    ExpectNothingFound(kNoRoot);
    EXPECT_TRUE(sw::RootListDropped());
    SendMessageW(sw::Item(sw::kRootList), CB_SHOWDROPDOWN, FALSE, 0);
  }
  sw::Search(sw::kRoots, "ززز");
  wordhost::ClearModalWindows();
  ScreenshotWindow("search_window_unknown_root");
}

TEST_F(SearchWindowTest, SearchingWithinResultsNarrowsThemUntilNothingIsLeft) {
  LoadAddin();
  OpenSearch();
  std::vector<int> all = sw::ItemVerses();
  sw::Click(sw::kResultsOnly);
  ASSERT_TRUE(sw::Checked(sw::kResultsOnly));
  sw::Search(sw::kPartOfText, "الرحمن");
  std::vector<int> within = sw::ItemVerses();
  ASSERT_FALSE(within.empty());
  EXPECT_TRUE(std::includes(all.begin(), all.end(), within.begin(), within.end()));
  EXPECT_LT(within.size(), all.size());
  // The store finds the same when given the previous result as its filter.
  Store().FindText(" الله ", nullptr, true);
  std::uint8_t filter[quran::kVerseCount];
  std::memcpy(filter, Store().ResultFlags, sizeof filter);
  ExpectListedAsStore(Store().FindText("الرحمن", filter, true));

  sw::Search(sw::kPartOfText, "الرحمن");
  EXPECT_EQ(sw::ItemVerses(), within);
  EXPECT_TRUE(sw::Checked(sw::kResultsOnly));

  sw::Search(sw::kWholeWord, "الصمد");
  ExpectNothingFound(kNoText);
  // Unchecked, the next search runs over every verse again.
  sw::Search(sw::kWholeWord, "الصمد");
  EXPECT_EQ(sw::Items(), (std::vector<std::string>{"سورة الإخلاص 2"}));
}

// Typed as people type it, the phrase is found only by the loose search: "not found"
// offers its verses, counted within the previous results when the search is, and
// taking them checks the box, which the next window keeps.
TEST_F(SearchWindowTest, NothingFoundAsTypedOffersTheLooseSearchsVerses) {
  const char phrase[] = "يا ايها الذين امنوا";
  const char padded[] = " يا ايها الذين امنوا ";
  auto offer = [](int verses) {
    return std::string(kNoText) + "\nعدد الآيات عند تجاهل الهمزات والتشكيل: " + Number(verses) +
           "، هل تريد عرضها؟\xFE";
  };
  LoadAddin();
  EXPECT_FALSE(sw::Checked(sw::kLooseSearch));
  OpenSearch();
  sw::Click(sw::kResultsOnly);
  Store().FindText(" الله ", nullptr, true);
  std::uint8_t filter[quran::kVerseCount];
  std::memcpy(filter, Store().ResultFlags, sizeof filter);
  Store().FindText(padded, filter, true, quran::Matching::kLoose);
  int within = Store().VerseCount();
  EXPECT_GT(within, 0);
  EXPECT_LT(within, 89);
  wordhost::SetModalAnswer(IDNO);
  sw::Search(sw::kWholeWord, phrase);
  EXPECT_EQ(ModalWindows(), (std::vector<Modal>{{kNoneCaption, offer(within)}}));
  EXPECT_TRUE(sw::Items().empty());
  EXPECT_EQ(sw::Text(sw::kVerseCount), "0");
  EXPECT_FALSE(sw::Checked(sw::kLooseSearch));
  EXPECT_FALSE(sw::Enabled(sw::kResultsOnly));

  // Search... on the phrase selected in the document.
  sw::Click(IDCANCEL);
  SearchSelectionAnsweringTheBox(L"يا ايها الذين امنوا", "loose_offer");
  EXPECT_EQ(ModalWindows(), (std::vector<Modal>{{kNoneCaption, offer(89)}}));
  EXPECT_TRUE(sw::Checked(sw::kLooseSearch));
  ExpectListedAsStore(Store().FindText(padded, nullptr, true, quran::Matching::kLoose));
  EXPECT_EQ(sw::Text(sw::kVerseCount), "89");
  ScreenshotWindow("search_window_loose");

  wordhost::UnloadAddin();
  LoadAddin();
  EXPECT_TRUE(sw::Checked(sw::kLooseSearch));
  // Text copied from a citation carries harakat, which the keyboard cannot type.
  const std::wstring marked = L"يَا أَيُّهَا الَّذِينَ آمَنُوا";
  wordhost::SetDocumentText(marked);
  wordhost::SetSelection(0, static_cast<int>(marked.size()));
  OpenSearch();
  EXPECT_TRUE(ModalWindows().empty());
  EXPECT_EQ(sw::Text(sw::kSearchText), quran::ToCodePage(marked));
  EXPECT_EQ(sw::Text(sw::kVerseCount), "89");

  // The longest citation is longer than any verse's search text by its marks alone.
  std::string verse;
  int longest = -1;
  for (int v = 0; v < quran::kVerseCount; ++v) {
    char text[2048];
    ASSERT_TRUE(Store().GetVerseText(static_cast<std::uint32_t>(v), text));
    std::string trimmed = quran::TrimBlanks(text);
    if (trimmed.size() <= verse.size()) continue;
    verse = trimmed;
    longest = v;
  }
  ASSERT_GT(verse.size(), Store().LongestSearchText());
  sw::Click(IDCANCEL);
  const std::wstring citation = quran::FromCodePage(verse);
  wordhost::SetDocumentText(citation);
  wordhost::SetSelection(0, static_cast<int>(citation.size()));
  OpenSearch();
  EXPECT_TRUE(ModalWindows().empty());
  std::vector<int> found = sw::ItemVerses();
  EXPECT_NE(std::find(found.begin(), found.end(), longest), found.end());
}

// Words remembered out of order: the whole-word search of the selection finds
// nothing, and the offer is all the words in any order, forgiving, as parts of the
// text; taking it sets the mode and both boxes, which the next window keeps.
TEST_F(SearchWindowTest, WordsOutOfOrderAreOfferedAsAllTheWordsAsPartsOfTheText) {
  LoadAddin();
  EXPECT_FALSE(sw::Checked(IDC_ALL_WORDS));
  SearchSelectionAnsweringTheBox(L"الصبر الصلاة", "all_words_offer");
  EXPECT_EQ(ModalWindows(),
            (std::vector<Modal>{{kNoneCaption, std::string(kNoText) +
                                                   "\nعدد الآيات التي فيها كل الكلمات بأي ترتيب "
                                                   "جزءا من النص مع تجاهل الهمزات والتشكيل: 2، هل "
                                                   "تريد عرضها؟\xFE"}}));
  EXPECT_TRUE(sw::Checked(sw::kPartOfText));
  EXPECT_TRUE(sw::Checked(sw::kLooseSearch));
  EXPECT_TRUE(sw::Checked(IDC_ALL_WORDS));
  EXPECT_EQ(sw::Items(), (std::vector<std::string>{"سورة البقرة 45", "سورة البقرة 153"}));
  ExpectListedAsStore(
      Store().FindAllWords("الصبر الصلاة", false, nullptr, true, quran::Matching::kLoose));
  ScreenshotWindow("search_window_all_words");
  // Searched again as it stands now, nothing is offered.
  sw::Click(sw::kStartSearch);
  EXPECT_TRUE(ModalWindows().empty());
  EXPECT_EQ(sw::Text(sw::kVerseCount), "2");

  wordhost::UnloadAddin();
  LoadAddin();
  EXPECT_TRUE(sw::Checked(IDC_ALL_WORDS));
  sw::Click(IDC_ALL_WORDS);
  EXPECT_FALSE(sw::Checked(IDC_ALL_WORDS));
  wordhost::UnloadAddin();
  LoadAddin();
  EXPECT_FALSE(sw::Checked(IDC_ALL_WORDS));
}

// A root typed with a blank after it, as people leave one after a word.
TEST_F(SearchWindowTest, BlanksAroundATypedRootAreNotPartOfIt) {
  LoadAddin();
  OpenSearch();
  sw::Search(sw::kRoots, "ملك ");
  ExpectListedAsStore(Store().FindRoot("ملك", nullptr, true));
  EXPECT_TRUE(ModalWindows().empty());
}

TEST_F(SearchWindowTest, ModeButtonsSwitchBetweenTheTextAndTheRootList) {
  LoadAddin();
  OpenSearch();
  std::vector<std::string> before = sw::Items();
  for (int mode : {sw::kRoots, sw::kPartOfText, sw::kRoots, sw::kDerivatives, sw::kWholeWord}) {
    sw::Click(mode);
    bool roots = mode == sw::kRoots;
    EXPECT_EQ(sw::Enabled(sw::kRootList), roots) << mode;
    EXPECT_EQ(sw::Enabled(sw::kSearchText), !roots) << mode;
    for (int other = sw::kPartOfText; other <= sw::kDerivatives; ++other) {
      EXPECT_EQ(sw::Checked(other), other == mode) << mode;
    }
  }
  // Switching modes searches nothing.
  EXPECT_EQ(sw::Items(), before);
  EXPECT_EQ(SendMessageW(sw::Item(sw::kRootList), CB_GETCOUNT, 0, 0),
            static_cast<LRESULT>(Store().Roots().size()));
}

TEST_F(SearchWindowTest, StartsInTheSavedModeAndSavesTheCheckedOneWhenDestroyed) {
  struct Case {
    std::int32_t saved;
    int checked;
  };
  // 1066 is the id of the check box, not of a mode: it must stay unchecked.
  for (Case c : {Case{-1, sw::kWholeWord}, Case{sw::kRoots, sw::kRoots}, Case{0, 0},
                 Case{sw::kResultsOnly, 0}, Case{sw::kPartOfText, sw::kPartOfText}}) {
    SCOPED_TRACE(c.saved);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\kivo");
    if (c.saved != -1) SaveMode(c.saved);
    LoadAddin();
    for (int id = sw::kPartOfText; id <= sw::kDerivatives; ++id) {
      EXPECT_EQ(sw::Checked(id), id == c.checked) << id;
    }
    EXPECT_FALSE(sw::Checked(sw::kResultsOnly));
    bool roots = c.checked == sw::kRoots;
    EXPECT_EQ(sw::Enabled(sw::kRootList), roots);
    EXPECT_EQ(sw::Enabled(sw::kSearchText), !roots);
    for (int id : {sw::kCopyVerses, sw::kCopyMarked, sw::kResultsOnly}) {
      EXPECT_FALSE(sw::Enabled(id)) << id;
    }
    EXPECT_EQ(sw::Text(sw::kSearchText), "");
    EXPECT_GT(SendMessageW(sw::Item(sw::kRootList), CB_GETCOUNT, 0, 0), 1000);
    EXPECT_EQ(SendMessageW(sw::Find(), DM_GETDEFID, 0, 0),
              MAKELRESULT(sw::kStartSearch, DC_HASDEFID));
    // Nothing is written before the window is destroyed.
    EXPECT_EQ(SavedMode(), c.saved);
    wordhost::UnloadAddin();
    EXPECT_EQ(SavedMode(), c.checked);
    EXPECT_EQ(sw::Find(), nullptr);
  }
  // A search with no mode checked checks whole word.
  SaveMode(0);
  LoadAddin();
  wordhost::ClearCommandLog();
  OpenSearch();
  EXPECT_TRUE(sw::Checked(sw::kWholeWord));
  EXPECT_EQ(sw::Text(sw::kVerseCount), "1566");
}

TEST_F(SearchWindowTest, ShowingTheWindowInRootModeSearchesTheSelectionAsAWholeWord) {
  SaveMode(sw::kRoots);
  LoadAddin();
  OpenSearch();
  EXPECT_TRUE(sw::Checked(sw::kWholeWord));
  EXPECT_FALSE(sw::Checked(sw::kRoots));
  EXPECT_TRUE(sw::Enabled(sw::kSearchText));
  EXPECT_FALSE(sw::Enabled(sw::kRootList));
  EXPECT_EQ(sw::Text(sw::kVerseCount), "1566");
}

TEST_F(SearchWindowTest, SelectingSeveralVersesSwitchesTheCopyButton) {
  LoadAddin();
  OpenSearch();
  // None or several: no verse shown, only the whole verses can be copied.
  auto expectNoSingleVerse = [] {
    EXPECT_EQ(sw::Text(sw::kCopyVerses), kCopyMany);
    EXPECT_TRUE(sw::Enabled(sw::kCopyVerses));
    EXPECT_FALSE(sw::Enabled(sw::kCopyMarked));
    EXPECT_EQ(sw::Text(sw::kVerseText), "");
  };
  sw::SetItemSelected(3, true);
  EXPECT_EQ(sw::SelectedItems(), (std::vector<int>{0, 3}));
  expectNoSingleVerse();

  sw::SetItemSelected(0, false);
  char verse[2048];
  ASSERT_TRUE(Store().GetVerseText(static_cast<std::uint32_t>(sw::ItemVerses()[3]), verse));
  EXPECT_EQ(sw::Text(sw::kVerseText), verse);
  EXPECT_EQ(sw::Text(sw::kCopyVerses), kCopyOne);
  EXPECT_TRUE(sw::Enabled(sw::kCopyMarked));

  sw::SetItemSelected(3, false);
  EXPECT_TRUE(sw::SelectedItems().empty());
  expectNoSingleVerse();
}

TEST_F(SearchWindowTest, TheSearchFieldTakesOnlyArabicLettersBlankAndBackspace) {
  LoadAddin();
  OpenSearch();
  sw::SetText(sw::kSearchText, "");
  // Every letter of the allowed set, then a blank.
  std::wstring letters = L"ءىأإآابتثجحخدذرزسشصضطظعغفقكلمنهويةؤئ ";
  sw::Type(sw::kSearchText, letters);
  EXPECT_EQ(quran::FromCodePage(sw::Text(sw::kSearchText)), letters);
  sw::Type(sw::kSearchText, L"\b\b");
  EXPECT_EQ(quran::FromCodePage(sw::Text(sw::kSearchText)), letters.substr(0, letters.size() - 2));

  sw::SetText(sw::kSearchText, "قل");
  // Digits, Latin letters, tatweel, harakat, the Arabic comma, semicolon and question
  // mark, Persian letters, control keys, Tab and Escape.
  std::wstring dropped =
      L"0129azAZ\x0640\x064E\x064F\x0650\x0651\x0652\x060C\x061B\x061F"
      L"\x067E\x0686\x06AF\x0003\x0016\x0018\t\x001B\x00E9\x0100";
  sw::Type(sw::kSearchText, dropped);
  EXPECT_EQ(sw::Text(sw::kSearchText), "قل");
  EXPECT_TRUE(ModalWindows().empty());

  // Enter searches once and adds no line break.
  sw::SetText(sw::kSearchText, "الصمد");
  sw::Click(sw::kPartOfText);
  sw::Type(sw::kSearchText, L"\r");
  EXPECT_EQ(sw::Text(sw::kSearchText), "الصمد");
  EXPECT_EQ(sw::Items(), (std::vector<std::string>{"سورة الإخلاص 2"}));
  sw::SetText(sw::kSearchText, "");
  sw::Type(sw::kSearchText, L"\r");
  ExpectNothingFound(kNoText);

  // Pasted text is not filtered.
  sw::SetText(sw::kSearchText, "");
  SendMessageW(sw::Item(sw::kSearchText), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc 12"));
  EXPECT_EQ(sw::Text(sw::kSearchText), "abc 12");
}

// The host's own message loop carries the keys: Tab moves on, Escape hides the
// window, as in any dialog.
TEST_F(SearchWindowTest, DialogKeysWorkThroughTheHostsMessageLoop) {
  LoadAddin();
  OpenSearch();
  SetFocus(sw::Item(sw::kStartSearch));
  PostMessageW(sw::Item(sw::kStartSearch), WM_KEYDOWN, VK_TAB, 0);
  wordhost::PumpMessages(100);
  EXPECT_EQ(GetFocus(), sw::Item(sw::kResultsOnly));
  // Enter in the search field still searches, once.
  SetFocus(sw::Item(sw::kSearchText));
  sw::SetText(sw::kSearchText, "الصمد");
  sw::Click(sw::kPartOfText);
  PostMessageW(sw::Item(sw::kSearchText), WM_KEYDOWN, VK_RETURN, 0);
  wordhost::PumpMessages(100);
  EXPECT_EQ(sw::Items(), (std::vector<std::string>{"سورة الإخلاص 2"}));
  EXPECT_EQ(sw::Text(sw::kSearchText), "الصمد");
  SetFocus(sw::Item(sw::kStartSearch));
  PostMessageW(sw::Item(sw::kStartSearch), WM_KEYDOWN, VK_ESCAPE, 0);
  wordhost::PumpMessages(100);
  EXPECT_FALSE(IsWindowVisible(sw::Find()));
  EXPECT_TRUE(ModalWindows().empty());
}

TEST_F(SearchWindowTest, ExitHidesTheWindowAndSearchReusesItForTheSameHostWindow) {
  LoadAddin();
  OpenSearch();
  HWND window = sw::Find();
  sw::Search(sw::kPartOfText, "الصمد");
  sw::Click(IDCANCEL);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(sw::Items(), (std::vector<std::string>{"سورة الإخلاص 2"}));

  // Shown again for the same host window: the same window, the selection searched.
  wordhost::ClearCommandLog();
  OpenSearch();
  EXPECT_EQ(sw::Find(), window);
  EXPECT_TRUE(sw::Checked(sw::kWholeWord));
  EXPECT_EQ(sw::Text(sw::kVerseCount), "1566");

  // Already visible: shown again only, nothing searched.
  sw::Search(sw::kPartOfText, "الصمد");
  wordhost::ClearCommandLog();
  OpenSearch();
  EXPECT_EQ(sw::Find(), window);
  EXPECT_EQ(sw::Items(), (std::vector<std::string>{"سورة الإخلاص 2"}));
  for (const std::string& line : wordhost::CommandLog()) EXPECT_NE(line.substr(0, 4), "109 ");
}

TEST_F(SearchWindowTest, ANewHostWindowGetsANewSearchWindowThatSearchesItsSelection) {
  LoadAddin();
  OpenSearch();
  HWND first = sw::Find();
  sw::Search(sw::kPartOfText, "الصمد");

  ASSERT_TRUE(wordhost::ReplaceMainWindow());
  wordhost::SetSelection(0, 3);  // "بسم"
  OpenSearch();
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(sw::Text(sw::kSearchText), "بسم");
  Store().FindText(" بسم ", nullptr, true);
  EXPECT_EQ(sw::Items(), ExpectedItems());
  EXPECT_TRUE(ModalWindows().empty());
}

TEST_F(SearchWindowTest, AMissingDataFileFailsLoadingAndEverySearchRequest) {
  SaveMode(sw::kRoots);
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  std::string file = std::string(system) + "\\msdata32.qdt";
  std::string aside = file + ".aside";
  ASSERT_TRUE(MoveFileA(file.c_str(), aside.c_str()));
  std::string error;
  bool loaded = wordhost::LoadAddin(kAddin, 1, &error);
  int answer = wordhost::AutoOpenAnswer();
  std::vector<Modal> atLoad = ModalWindows();
  bool clicked = wordhost::ClickMenuItem("&Quran", "&Search...");
  std::vector<Modal> atSearch = ModalWindows();
  HWND window = sw::Find();
  MoveFileA(aside.c_str(), file.c_str());

  ASSERT_TRUE(loaded) << error;
  EXPECT_TRUE(clicked);
  EXPECT_EQ(answer, 0);
  const std::vector<Modal> reinstall = {{"Quran", "Error Processing Files, Reinstall."}};
  EXPECT_EQ(atLoad, reinstall);
  EXPECT_EQ(atSearch, reinstall);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(SavedMode(), sw::kRoots) << "a window that never started saves no mode";
  // The menu stays, so a later Search loads again, and now succeeds.
  OpenSearch();
  EXPECT_EQ(sw::Text(sw::kVerseCount), "1566");
}

// Word may load the add-in again without wdAutoRemove, and unload it the same way:
// the host must go on, with no hook of the add-in left in its thread.
TEST_F(SearchWindowTest, UnloadingWithoutAutoRemoveLeavesTheHostRunning) {
  LoadAddin();
  auto autoOpen = reinterpret_cast<std::int16_t(WINAPI*)(std::int16_t)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(kAddin), "wdAutoOpen")));
  ASSERT_NE(autoOpen, nullptr);
  HWND first = sw::Find();
  ASSERT_EQ(autoOpen(1), 1);
  HWND second = sw::Find();
  EXPECT_FALSE(IsWindow(first));
  wordhost::FreeAddin();
  EXPECT_EQ(GetModuleHandleA(kAddin), nullptr);
  EXPECT_FALSE(IsWindow(second));

  HWND document = wordhost::DocumentWindow();
  SetFocus(document);
  wordhost::SetSelection(0, 0);
  std::size_t before = wordhost::DocumentText().size();
  // Three keys, each translated to a character by the host's message loop.
  for (WPARAM key : {WPARAM{'Q'}, WPARAM{'L'}, WPARAM{VK_SPACE}}) {
    PostMessageW(document, WM_KEYDOWN, key, 0);
    wordhost::PumpMessages(20);
  }
  wordhost::PumpMessages(300);
  EXPECT_EQ(wordhost::DocumentText().size(), before + 3);
}

// A selection of a few pages: the field gets only the part a search could find,
// at once, and the search answers as for the whole.
TEST_F(SearchWindowTest, ALongSelectionIsCutToTheLongestVerse) {
  LoadAddin();
  std::wstring page;
  while (page.size() < 100000) page += std::wstring(kDocument) + L"\r\n";
  wordhost::SetDocumentText(page);
  wordhost::SetSelection(0, static_cast<int>(page.size()));
  std::size_t longest = 0;
  for (int v = 0; v < quran::kVerseCount; ++v) {
    longest = std::max<std::size_t>(longest, Store().VerseIndex[v].searchLength);
  }
  ASSERT_GT(longest, 500u);
  OpenSearch();
  EXPECT_EQ(sw::Text(sw::kSearchText),
            quran::ToCodePage(wordhost::SelectedText()).substr(0, longest));
  EXPECT_EQ(ModalWindows(), (std::vector<Modal>{{kNoneCaption, kNoText}}));
}

// Run in a prefix without an Arabic keyboard layout (see CMakeLists): the child
// host reads the layouts once, after the key is gone.
TEST(SearchWindowWithoutArabicLayout, LoadingReportsBothMessagesAndAnswersZero) {
  if (GetACP() == 1256) GTEST_SKIP() << "an Arabic locale always lists its own layout";
  const char key[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts\\00000401";
  ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, key), ERROR_SUCCESS);
  DeleteFileA("no_arabic_log.txt");
  DWORD status =
      RunProgram("bin\\wordhost.exe --addin bin\\QuranAddin.wll --log no_arabic_log.txt --exit");
  HKEY restored;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE, nullptr, &restored, nullptr);
  RegSetValueExA(restored, "Layout File", 0, REG_SZ, reinterpret_cast<const BYTE*>("KBDA1.DLL"),
                 10);
  RegCloseKey(restored);

  EXPECT_EQ(status, 3u);
  FILE* file = std::fopen("no_arabic_log.txt", "rb");
  ASSERT_NE(file, nullptr);
  std::string log;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) log.append(buffer, n);
  std::fclose(file);
  std::size_t arabic = log.find("window \"Quran\": Arabic Language could not be detected.");
  std::size_t reinstall = log.find("window \"Quran\": Error Processing Files, Reinstall.");
  std::size_t answer = log.find("wdAutoOpen 1 => 0");
  ASSERT_NE(arabic, std::string::npos) << log;
  EXPECT_LT(arabic, reinstall) << log;
  EXPECT_LT(reinstall, answer) << log;
  EXPECT_EQ(log.find("window", reinstall + 1), std::string::npos) << log;
}

// Word unloads and loads the add-in within one process: each load gives back what
// it took, in the C runtime's heap (its exception pool) and in handles (the thread
// runtime's record of Word's thread).
TEST_F(SearchWindowTest, ReloadingGivesBackTheHeapAndTheHandles) {
  auto heapBytes = [] {
    std::size_t used = 0;
    _HEAPINFO block = {};
    while (_heapwalk(&block) == _HEAPOK) {
      if (block._useflag == _USEDENTRY) used += block._size;
    }
    return used;
  };
  auto handles = [] {
    int found = 0;
    for (std::uintptr_t h = 4; h < 4 * 8192; h += 4) {
      DWORD flags;
      if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) ++found;
    }
    return found;
  };
  for (int i = 0; i < 12; ++i) {
    LoadAddin();
    wordhost::UnloadAddin();
  }
  wordhost::ClearCommandLog();
  wordhost::ClearModalWindows();
  std::size_t heapBefore = heapBytes();
  int handlesBefore = handles();
  for (int i = 0; i < 10; ++i) {
    LoadAddin();
    wordhost::UnloadAddin();
  }
  wordhost::ClearCommandLog();
  wordhost::ClearModalWindows();
  EXPECT_EQ(heapBytes(), heapBefore);
  EXPECT_EQ(handles(), handlesBefore);
}
