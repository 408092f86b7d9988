// The user actions the window fuzzer plays, drawn from a seed and written one a
// line, so that a run can be replayed and shrunk without its generator.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace window_fuzz {

enum class Act : std::uint8_t {
  kShow,           // Quran > Search... with a new document selection
  kType,           // characters typed into the search field
  kMode,           // a mode button clicked
  kPickRoot,       // a root picked from the list
  kTypeRoot,       // characters typed into the root list's field
  kResultsOnly,    // the "within the results" box clicked
  kLoose,          // the forgiving search's box clicked
  kSearch,         // the search button
  kSelect,         // the result list's selection changed
  kMark,           // a range of the verse text marked
  kCopyVerses,     // the copy-verses button
  kCopyMarked,     // the copy-marked button
  kFont,           // the font dialog, OK or Cancel
  kCitationStyle,  // the citation style window, OK or Cancel
  kAbout,          // Quran > About...
  kHelp,           // Quran > Help..., or the window's Help button
  kHide,           // Exit or the close box
  kReopen,         // wdAutoRemove, then wdAutoOpen
  kReference,      // a chapter and verses given in the reference row, then shown
  kAllWords,       // the "all the words in any order" box clicked
  kCount,
};

const char* ActName(Act act);

// What an action does beyond its kind is drawn as three numbers, read by the
// player in the state it meets; the same numbers replay the same action.
struct Action {
  Act act = Act::kSearch;
  std::uint32_t a = 0, b = 0, c = 0;
};

// Draws actions with a chance each: searches and selections often, the costly
// ones (help, a held clipboard, reloading) rarely.
class ActionSource {
 public:
  // allowed: a bit for each Act that may be drawn, all by default.
  explicit ActionSource(std::uint64_t seed, std::uint32_t allowed = ~0u)
      : random_(seed), allowed_(allowed) {}
  Action Next();

 private:
  std::mt19937_64 random_;
  std::uint32_t allowed_;
};

// The bits of the acts named in a comma-separated list ("show,reopen"); false for a
// name that is no act.
bool ActBits(const std::string& names, std::uint32_t* bits);

std::string Serialize(const Action& action);
// False for a line that is not an action.
bool Parse(const std::string& line, Action* action);

}  // namespace window_fuzz
