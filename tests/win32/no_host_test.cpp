// A process whose program does not export wdCommandDispatch: commands fail
// safely until a wwlib.dll that exports it is loaded.
#include <gtest/gtest.h>

#include <cstring>

#include "host_command.h"

using namespace quran;

TEST(NoHost, EveryCommandFailsAndLeavesTheResultAlone) {
  ASSERT_EQ(GetProcAddress(GetModuleHandleA(nullptr), "wdCommandDispatch"), nullptr);
  ASSERT_EQ(GetModuleHandleA("wwlib.dll"), nullptr) << "runs before wwlib.dll is loaded";

  HostCommandBlock block;
  InitHostCommand(&block, kArgShort, nullptr, 0);
  block.result.value = 0xBEEF;
  EXPECT_NE(SendHostCommand(static_cast<std::int16_t>(33249), 2, 0, block.args, &block.result), 0);
  EXPECT_EQ(block.result.value, 0xBEEFu);

  EXPECT_EQ(GetHostWindow(), nullptr);
  char caption[128] = "kept";
  EXPECT_NE(GetMenuBarCaption(9, caption, 128), 0);
  EXPECT_STREQ(caption, "kept");
  EXPECT_NE(RegisterMacro(1, "FileProcess", nullptr), 0);
  EXPECT_NE(AddHostMenu(1, "&Quran", -1, 0), 0);
  EXPECT_NE(AddHostMenuItem(1, "&Quran", "FileProcess", "&Search...", -1, 0), 0);
}

TEST(NoHost, FindsTheEntryInAnAlreadyLoadedWwlib) {
  HMODULE wwlib = LoadLibraryA("wwlib.dll");
  ASSERT_NE(wwlib, nullptr);
  auto calls = reinterpret_cast<int(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(wwlib, "FakeWwlibCalls")));
  ASSERT_NE(calls, nullptr);
  EXPECT_EQ(GetHostWindow(), reinterpret_cast<HWND>(0x42));
  EXPECT_EQ(RegisterMacro(1, "FileProcess", nullptr), 0);
  EXPECT_EQ(calls(), 2);
}
