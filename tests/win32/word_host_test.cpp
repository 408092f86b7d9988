// The stand-in Word: each command of the channel decoded into its log, and its
// effect on the document, the clipboard and the menu bar.
#include <richedit.h>

#include <cstring>
#include <vector>

#include "host_command.h"
#include "word_host_fixture.h"

using namespace quran;

namespace {

std::int32_t Send(std::uint16_t command, std::int16_t options, HostCommandBlock* block,
                  bool passResult) {
  return SendHostCommand(static_cast<std::int16_t>(command), options, block->count, block->args,
                         passResult ? &block->result : nullptr);
}

// Only CF_TEXT, as another program may leave it, and the input language it was put
// there under when one is given.
void PutOnClipboard(const char* text, LCID locale = 0) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  PutClipboardData(CF_TEXT, text, std::strlen(text) + 1);
  if (locale) PutClipboardData(CF_LOCALE, &locale, sizeof locale);
  CloseClipboard();
}

const std::vector<std::string> kUsualMenus = {"&File",  "&Edit",  "&View",   "&Insert", "F&ormat",
                                              "&Tools", "T&able", "&Window", "&Help"};

}  // namespace

TEST_F(WordHostTest, DecodesEveryCommandOfTheTable) {
  HostCommandBlock block;
  InitHostCommand(&block, kArgString, nullptr, 20);
  Send(109, 2, &block, true);
  InitHostCommand(&block, kArgString, nullptr, 0);
  AddStringArg(&block, kAllah1256);
  Send(110, 2, &block, false);
  RegisterMacro(5, "FileProcess", nullptr);
  AddHostMenu(1, "&Quran", -1, 0);
  AddHostMenuItem(1, "&Quran", "FileProcess", "&Search...", -1, 0);
  char caption[128] = {};
  GetMenuBarCaption(10, caption, 128);
  InitHostCommand(&block, kArgShort, nullptr, 0);
  AddShortField(&block, 1, 4, kNamed);
  Send(433, 2, &block, false);
  InitHostCommand(&block, kArgShort, nullptr, 0);
  AddShortArg(&block, 0);
  AddShortArg(&block, 1);
  Send(32931, 2, &block, false);
  InitHostCommand(&block, kArgNone, nullptr, 0);
  AddShortArg(&block, 0);
  Send(33007, 0, &block, false);
  HWND window = GetHostWindow();

  std::vector<std::string> expected = {
      "109 options=2 count=0 args=[] result=string(nobuf,20) => 0",
      std::string("110 options=2 count=1 args=[string \"") + kAllah1256 +
          "\"] result=none => 0 pasted \"" + kAllah1256 + "\"",
      "33142 options=0 count=2 args=[short 5, string \"FileProcess\"] result=none => 0",
      "615 options=2 count=5 args=[#8 string \"&Quran\", #43 short -1, #152 short 1, "
      "#684 short 0, #3 short 1] result=none => 0",
      "433 options=2 count=8 args=[#3 short 1, #7 string \"&Quran\", #1 string \"FileProcess\", "
      "#8 string \"&Search...\", #43 short -1, #684 short 0, #328 short 1, #152 short 1] "
      "result=none => 0",
      "33088 options=2 count=2 args=[short 0, short 10] result=string(buffer,128) => 0 "
      "\"&Quran\"",
      "433 options=2 count=1 args=[#4 short 1] result=none => 0",
      "32931 options=2 count=2 args=[short 0, short 1] result=none => 0",
      "33007 options=0 count=1 args=[short 0] result=none => 0",
      "33249 options=2 count=0 args=[] result=short => 0 " +
          std::to_string(reinterpret_cast<std::intptr_t>(window)),
  };
  EXPECT_EQ(wordhost::CommandLog(), expected);
}

TEST_F(WordHostTest, CopySelectionPutsWindows1256TextOnTheClipboard) {
  HostCommandBlock block;
  InitHostCommand(&block, kArgString, nullptr, 20);
  EXPECT_EQ(Send(109, 2, &block, true), 0);
  EXPECT_EQ(ClipboardText(), kAllah1256);
  EXPECT_EQ(block.result.value, 0u);

  // No selection: a non-zero answer, and the clipboard keeps what it had.
  PutOnClipboard("before");
  wordhost::SetSelection(3, 3);
  EXPECT_NE(Send(109, 2, &block, true), 0);
  EXPECT_EQ(ClipboardText(), "before");
  EXPECT_NE(LastLog().find("no selection"), std::string::npos) << LastLog();
}

// Command 110 is Word's EditPaste: the clipboard replaces the selection, and the
// string the command brings is only logged.
TEST_F(WordHostTest, PasteTakesTheClipboardTextInItsLocalesCodePage) {
  HostCommandBlock block;
  InitHostCommand(&block, kArgString, nullptr, 0);
  AddStringArg(&block, "unread");
  // "(قل)" in Windows-1256, put there under an Arabic input language: right under
  // any system code page.
  PutOnClipboard("(\xDE\xE1)", MAKELCID(0x0401, SORT_DEFAULT));
  EXPECT_EQ(Send(110, 2, &block, false), 0);
  std::wstring expected = kDocument;
  expected.replace(4, 4, L"(\x0642\x0644)");
  EXPECT_EQ(wordhost::DocumentText(), expected);
  EXPECT_EQ(LastLog(),
            "110 options=2 count=1 args=[string \"unread\"] result=none => 0 pasted "
            "\"(\xDE\xE1)\"");
  Screenshot("wordhost_after_insert");

  // The same bytes under an English input language are Windows-1252 letters.
  wordhost::SetDocumentText(L"");
  PutOnClipboard("\xDE\xE1", MAKELCID(0x0409, SORT_DEFAULT));
  EXPECT_EQ(Send(110, 2, &block, false), 0);
  EXPECT_EQ(wordhost::DocumentText(), L"\x00DE\x00E1");

  // Nothing to paste: refused, the document as it was.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_NE(Send(110, 2, &block, false), 0);
  EXPECT_EQ(wordhost::DocumentText(), L"\x00DE\x00E1");
}

// Word keeps the formatting of what another program copied: the Rich Text Format
// goes before the Unicode text.
TEST_F(WordHostTest, PasteTakesRichTextInTheFaceAndSizeItNames) {
  const char rtf[] =
      "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil DejaVu Sans;}}\\rtlch\\f0\\fs34 "
      "(\\u1602?\\u1604?)}";
  const wchar_t unicode[] = L"not this";
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  PutClipboardData(RegisterClipboardFormatW(L"Rich Text Format"), rtf, sizeof rtf);
  PutClipboardData(CF_UNICODETEXT, unicode, sizeof unicode);
  CloseClipboard();
  HostCommandBlock block;
  InitHostCommand(&block, kArgString, nullptr, 0);
  AddStringArg(&block, "unread");
  EXPECT_EQ(Send(110, 2, &block, false), 0);

  std::wstring expected = kDocument;
  expected.replace(4, 4, L"(\x0642\x0644)");
  EXPECT_EQ(wordhost::DocumentText(), expected);
  EXPECT_EQ(LastLog(),
            "110 options=2 count=1 args=[string \"unread\"] result=none => 0 pasted "
            "\"(\xDE\xE1)\"");
  wordhost::SetSelection(4, 8);
  CHARFORMAT2W format = SelectionFormat(wordhost::DocumentWindow());
  EXPECT_EQ(format.dwMask & (CFM_FACE | CFM_SIZE), static_cast<DWORD>(CFM_FACE | CFM_SIZE));
  EXPECT_STREQ(format.szFaceName, L"DejaVu Sans");
  EXPECT_EQ(format.yHeight, 17 * 20);
}

TEST_F(WordHostTest, HostWindowIsTheMainWindowIn16Bits) {
  HWND window = GetHostWindow();
  auto main = reinterpret_cast<std::uintptr_t>(wordhost::MainWindow());
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(window), static_cast<std::int16_t>(main & 0xFFFF));
  // Windows takes the 16-bit form of a handle for the whole one.
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(window, GetHostWindow());
}

TEST_F(WordHostTest, MenuBarPositionsNineToFourteenReachAddedMenus) {
  EXPECT_EQ(wordhost::MenuBarCaptions(), kUsualMenus);
  char caption[128] = {};
  EXPECT_EQ(GetMenuBarCaption(1, caption, 128), 0);
  EXPECT_STREQ(caption, "&File");
  EXPECT_EQ(GetMenuBarCaption(9, caption, 128), 0);
  EXPECT_STREQ(caption, "&Help");
  // Past the last menu, and on another menu bar, the host leaves the buffer alone.
  EXPECT_NE(GetMenuBarCaption(10, caption, 128), 0);
  EXPECT_STREQ(caption, "&Help");
  EXPECT_NE(GetMenuBarCaption(109, caption, 128), 0);
  EXPECT_STREQ(caption, "&Help");
  // A short buffer gets what fits.
  EXPECT_EQ(GetMenuBarCaption(1, caption, 4), 0);
  EXPECT_STREQ(caption, "&Fi");

  // "&القرآن"
  const char arabicMenu[] = "&\xC7\xE1\xDE\xD1\xC2\xE4";
  EXPECT_EQ(AddHostMenu(1, arabicMenu, -1, 0), 0);
  EXPECT_EQ(AddHostMenu(1, "&Quran", -1, 0), 0);
  EXPECT_EQ(GetMenuBarCaption(10, caption, 128), 0);
  EXPECT_STREQ(caption, arabicMenu);
  EXPECT_EQ(GetMenuBarCaption(11, caption, 128), 0);
  EXPECT_STREQ(caption, "&Quran");
}

TEST_F(WordHostTest, MenuItemsRunRegisteredMacrosAndRemovalTakesThemAway) {
  EXPECT_EQ(AddHostMenu(1, "&Quran", -1, 0), 0);
  EXPECT_EQ(AddHostMenuItem(1, "&Quran", "FileProcess", "&Search...", -1, 0), 0);
  EXPECT_EQ(AddHostMenuItem(1, "&Quran", "DevedUrazuda", "&About...", -2, 0), 0);
  // Items may go into the host's own menus too.
  EXPECT_EQ(AddHostMenuItem(1, "&Tools", "FileProcess", "&Quran Search", -2, 0), 0);
  EXPECT_NE(AddHostMenuItem(1, "&Missing", "FileProcess", "&Search...", -1, 0), 0);
  EXPECT_NE(LastLog().find("error: no menu &Missing"), std::string::npos) << LastLog();
  EXPECT_EQ(wordhost::MenuItemCaptions("&Quran"),
            (std::vector<std::string>{"&Search...", "&About..."}));

  // Without an add-in, or before registration, a menu item has nothing to run.
  std::string error;
  EXPECT_FALSE(wordhost::RunMacro("FileProcess", &error));
  EXPECT_EQ(error, "no macro named FileProcess");
  EXPECT_EQ(RegisterMacro(1, "FileProcess", nullptr), 0);
  EXPECT_EQ(wordhost::RegisteredMacros(), std::vector<std::string>{"FileProcess"});
  EXPECT_FALSE(wordhost::RunMacro("FileProcess", &error));
  EXPECT_EQ(error, "the add-in exports no FileProcess");

  HostCommandBlock block;
  InitHostCommand(&block, kArgShort, nullptr, 0);
  AddShortField(&block, 1, 4, kNamed);
  EXPECT_EQ(Send(433, 2, &block, false), 0);
  EXPECT_EQ(wordhost::MenuBarCaptions(), kUsualMenus);
  EXPECT_EQ(wordhost::MenuItemCaptions("&Tools"),
            (std::vector<std::string>{"&Macro", "&Options..."}));
}

TEST_F(WordHostTest, BadCommandsAreRefusedWithAReason) {
  HostCommandBlock block;
  InitHostCommand(&block, kArgShort, nullptr, 0);
  EXPECT_NE(Send(4242, 2, &block, true), 0);
  EXPECT_NE(LastLog().find("error: unknown command"), std::string::npos) << LastLog();
  EXPECT_NE(SendHostCommand(110, 2, -1, block.args, nullptr), 0);
  EXPECT_NE(SendHostCommand(110, 2, 35, block.args, nullptr), 0);
  EXPECT_NE(LastLog().find("error: bad argument count"), std::string::npos) << LastLog();
  AddShortArg(&block, 0);
  AddShortArg(&block, 1);
  EXPECT_NE(Send(33088, 2, &block, false), 0);
  EXPECT_NE(LastLog().find("error: 33088 needs a result buffer"), std::string::npos) << LastLog();
  EXPECT_NE(Send(33249, 2, &block, false), 0);
  InitHostCommand(&block, kArgShort, nullptr, 0);
  AddShortField(&block, 2, 4, kNamed);
  EXPECT_NE(Send(433, 2, &block, false), 0);
  InitHostCommand(&block, kArgShort, nullptr, 0);
  AddStringField(&block, nullptr, 8, kNamed, 0);
  EXPECT_NE(Send(615, 2, &block, false), 0);
  EXPECT_NE(LastLog().find("#8 string <null>"), std::string::npos) << LastLog();
  EXPECT_EQ(wordhost::DocumentText(), kDocument);
  EXPECT_EQ(wordhost::MenuBarCaptions(), kUsualMenus);
}
