// Plays user actions on the real add-in in the stand-in Word, in this process, and
// after each one checks the window against a model of what it must show, the
// verse store's own answers and the document's text.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "window_actions.h"

namespace window_fuzz {

// What the process holds: kernel handles, GDI objects, its windows and menus, and
// its working set.
struct Figures {
  int handles = 0;
  int gdiObjects = 0;
  int userObjects = 0;
  std::size_t workingSetKb = 0;
  // What the C runtime's heap holds in use: every allocation of the add-in's code
  // (and the fuzzer's) is there, none of Wine's own libraries, which tells growth of
  // ours from Wine's.
  std::size_t runtimeHeapKb = 0;
};
Figures Measure();
std::string Describe(const Figures& figures);

class Player {
 public:
  Player();
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // Starts the stand-in Word with the add-in; false with the reason.
  bool Start(std::string* error);
  // "" when every check held after the action; else what failed, its first word
  // naming the check.
  std::string Play(const Action& action);
  // A note on what the last action did when it could not be done as drawn.
  const std::string& Note() const;
  // How often the add-in was unloaded and loaded again.
  int Reloads() const;
  void Stop();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace window_fuzz
