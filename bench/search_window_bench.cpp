// Time from the search command to the filled result list with the first verse
// shown, in the add-in's window inside the stand-in Word under Wine. Prints the
// median and the spread of several runs for the longest lists users can ask for.
// Compiled with a Windows-1256 execution character set.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "search_window_driver.h"
#include "word_host.h"

namespace sw = search_window;

namespace {

struct Case {
  const char* name;
  int mode;
  const char* query;
};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// One search as the user starts it, up to the window painted.
double TimeSearch(const Case& c) {
  sw::Click(c.mode);
  sw::SetText(c.mode == sw::kRoots ? sw::kRootList : sw::kSearchText, c.query);
  // Each run starts from a short list, as it would after a typical search.
  wordhost::PumpMessages();
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  sw::Click(sw::kStartSearch);
  UpdateWindow(sw::Find());
  QueryPerformanceCounter(&end);
  return Milliseconds(start, end);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  if (!wordhost::Start(true)) return 1;
  std::string error;
  if (!wordhost::LoadAddin("QuranAddin.wll", 1, &error) || wordhost::AutoOpenAnswer() != 1) {
    std::fprintf(stderr, "search_window_bench: the add-in did not load: %s\n", error.c_str());
    return 1;
  }
  wordhost::SetSelection(4, 8);
  if (!wordhost::ClickMenuItem("&Quran", "&Search...") || !sw::Find()) return 1;

  const Case cases[] = {
      {"part of text \"a\" (alef)", sw::kPartOfText, "ا"},
      {"whole word \"Allah\"", sw::kWholeWord, "الله"},
      {"root q-w-l", sw::kRoots, "قول"},
      {"root a-t-y", sw::kRoots, "أتي"},
      {"derivatives of \"qala\"", sw::kDerivatives, "قال"},
      {"whole word \"as-Samad\"", sw::kWholeWord, "الصمد"},
  };
  std::printf("%-28s %8s %10s %10s %10s\n", "search", "verses", "median ms", "min ms", "max ms");
  for (const Case& c : cases) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
      sw::Search(sw::kWholeWord, "الصمد");
      times.push_back(TimeSearch(c));
    }
    std::sort(times.begin(), times.end());
    std::printf("%-28s %8s %10.1f %10.1f %10.1f\n", c.name, sw::Text(sw::kVerseCount).c_str(),
                times[times.size() / 2], times.front(), times.back());
  }
  wordhost::Stop();
  return 0;
}
