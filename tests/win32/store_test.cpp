// The portable core as the add-in runs it: cross-built, reading the data files
// from the Windows system directory. Compiled with a Windows-1256 execution
// character set, so narrow literals are what the store holds.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "verse_store.h"

namespace {

std::wstring Wide(const char* cp1256) {
  wchar_t out[512] = {};
  MultiByteToWideChar(1256, 0, cp1256, -1, out, 511);
  return out;
}

TEST(StoreOnWindows, ChapterNamesAndAlphabetAreWindows1256) {
  EXPECT_EQ(Wide(quran::SuraNameTable[1]), L"سورة الفاتحة");
  EXPECT_EQ(Wide(quran::SuraNameTable[15]), L"سورة الحِجْر");
  EXPECT_EQ(Wide(quran::SuraNameTable[114]), L"سورة الناس");
  EXPECT_EQ(Wide(quran::DecodeAlphabet).size(), quran::kAlphabetSize);
}

TEST(StoreOnWindows, LoadsTheDataFilesFromTheSystemDirectory) {
  quran::VerseStore store;
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_STREQ(store.DataDirectory, system);
  ASSERT_EQ(store.LoadFailed, 0) << "data files missing from " << system;
  EXPECT_EQ(store.FindText(" الله ", nullptr, true), 2153);
  EXPECT_EQ(store.VerseCount(), 1566);
  // Substrings, pinned to the figures the plain search gives natively, so that each
  // architecture's build of the scans is held to them.
  EXPECT_EQ(store.FindText("ا", nullptr, true), 43539);
  EXPECT_EQ(store.VerseCount(), 6052);
  EXPECT_EQ(store.FindText("الرحمن", nullptr, true), 48);
  EXPECT_EQ(store.FindRoot("كتب", nullptr, true), 319);
  EXPECT_EQ(store.FindWordRoots("الرحيم", nullptr, true), 339);
  char text[2048];
  ASSERT_EQ(store.GetVerseText(quran::kVerseCount - 1, text), 1);
  EXPECT_EQ(store.VerseIndex[quran::kVerseCount - 1].chapter, 114);
  EXPECT_EQ(store.VerseIndex[quran::kVerseCount - 1].verse, 6);
}

TEST(StoreOnWindows, MissingDirectoryIsALoadFailure) {
  quran::VerseStore store("C:\\no\\such\\folder");
  EXPECT_EQ(store.LoadFailed, 1);
}

}  // namespace
