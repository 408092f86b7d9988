#include "window_actions.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace window_fuzz {
namespace {

struct Weighted {
  Act act;
  const char* name;
  int weight;
};

const Weighted kActs[] = {
    {Act::kShow, "show", 70},
    {Act::kType, "type", 90},
    {Act::kMode, "mode", 45},
    {Act::kPickRoot, "pick-root", 30},
    {Act::kTypeRoot, "type-root", 25},
    {Act::kResultsOnly, "results-only", 30},
    {Act::kLoose, "loose", 25},
    {Act::kSearch, "search", 90},
    {Act::kSelect, "select", 90},
    {Act::kMark, "mark", 50},
    {Act::kCopyVerses, "copy-verses", 40},
    {Act::kCopyMarked, "copy-marked", 35},
    {Act::kFont, "font", 6},
    {Act::kCitationStyle, "citation-style", 8},
    {Act::kAbout, "about", 3},
    {Act::kHelp, "help", 1},
    {Act::kHide, "hide", 6},
    {Act::kReopen, "reopen", 3},
    {Act::kReference, "reference", 40},
    {Act::kAllWords, "all-words", 25},
};
static_assert(std::size(kActs) == static_cast<std::size_t>(Act::kCount));

int TotalWeight(std::uint32_t allowed) {
  int total = 0;
  for (const Weighted& w : kActs) {
    if (allowed >> static_cast<int>(w.act) & 1) total += w.weight;
  }
  return total;
}

}  // namespace

const char* ActName(Act act) {
  return kActs[static_cast<std::size_t>(act)].name;
}

Action ActionSource::Next() {
  const int total = TotalWeight(allowed_);
  int pick = static_cast<int>(random_() % static_cast<std::uint64_t>(total > 0 ? total : 1));
  Action action;
  for (const Weighted& w : kActs) {
    if (!(allowed_ >> static_cast<int>(w.act) & 1)) continue;
    if (pick < w.weight) {
      action.act = w.act;
      break;
    }
    pick -= w.weight;
  }
  action.a = static_cast<std::uint32_t>(random_());
  action.b = static_cast<std::uint32_t>(random_());
  action.c = static_cast<std::uint32_t>(random_());
  return action;
}

bool ActBits(const std::string& names, std::uint32_t* bits) {
  *bits = 0;
  std::size_t at = 0;
  while (at <= names.size()) {
    std::size_t end = names.find(',', at);
    if (end == std::string::npos) end = names.size();
    std::string name = names.substr(at, end - at);
    bool known = false;
    for (const Weighted& w : kActs) {
      if (name == w.name) {
        *bits |= 1u << static_cast<int>(w.act);
        known = true;
      }
    }
    if (!known) return false;
    at = end + 1;
  }
  return true;
}

std::string Serialize(const Action& action) {
  char line[96];
  std::snprintf(line, sizeof line, "%s %u %u %u", ActName(action.act), action.a, action.b,
                action.c);
  return line;
}

bool Parse(const std::string& line, Action* action) {
  char name[32] = {};
  unsigned a = 0, b = 0, c = 0;
  if (std::sscanf(line.c_str(), "%31s %u %u %u", name, &a, &b, &c) != 4) return false;
  for (const Weighted& w : kActs) {
    if (std::strcmp(w.name, name) != 0) continue;
    *action = {w.act, a, b, c};
    return true;
  }
  return false;
}

}  // namespace window_fuzz
