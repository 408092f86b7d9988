// window_fuzzer.exe: random user actions against the real add-in in the stand-in
// Word. The actions run in a child process, so that a crash of the add-in, which
// takes Word's process with it, is seen, recorded and shrunk to a replay file.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "window_actions.h"
#include "window_player.h"

namespace {

using window_fuzz::Action;

const char kUsage[] =
    "usage: window_fuzzer [--actions N] [--seconds S] [--seed SEED] [--out FOLDER]\n"
    "                     [--shrink-seconds S] [--only ACT,... | --without ACT,...]\n"
    "       window_fuzzer --replay FILE\n"
    "Plays N random user actions (or as many as S seconds allow) on the add-in in the\n"
    "stand-in Word and checks the window after each. A failure is shrunk to the\n"
    "shortest run that still fails, for at most --shrink-seconds (300), and written\n"
    "to FOLDER (.) as a replay file. --only and --without choose the kinds of action\n"
    "drawn (show, type, search, reopen...), to tell what a figure grows with.\n"
    "Exit status: 0, 1 on a failure, 2 on bad options.\n";

// A child that writes nothing for this long is hung.
constexpr DWORD kHangMs = 120000;
// The figures may grow this much over a run before it fails: the most measured in
// runs of 100,000 actions, with room besides.
// Reloads of the add-in are no exception: they leave no handle behind.
constexpr int kHandleGrowth = 64;
constexpr int kGdiGrowth = 64;
constexpr int kUserGrowth = 32;
constexpr std::size_t kMemoryGrowthKb = 128 * 1024;
// The figures are taken after this many actions, once caches have filled.
constexpr long kWarmUp = 500;

struct Options {
  long actions = 0;
  double seconds = 0;
  unsigned long long seed = 0;
  bool seeded = false;
  std::string out = ".";
  double shrinkSeconds = 300;
  std::string replay;
  std::uint32_t acts = ~0u;
  std::string actsOption;  // as given, for the child
  // The child's.
  bool child = false;
  std::string journal, play;
};

std::FILE* g_journal = nullptr;

// "module+offset" of a code address.
std::string Place(const void* address) {
  HMODULE module = nullptr;
  char name[MAX_PATH] = "?";
  if (GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCSTR>(address), &module)) {
    GetModuleFileNameA(module, name, MAX_PATH);
  }
  std::string path = name;
  char offset[32];
  std::snprintf(offset, sizeof offset, "+%#llx",
                static_cast<unsigned long long>(static_cast<const char*>(address) -
                                                reinterpret_cast<const char*>(module)));
  return path.substr(path.find_last_of('\\') + 1) + offset;
}

// The crash's place and the calls that led there, as far as the stack unwinds.
std::string Backtrace(CONTEXT context) {
  std::string trace;
#ifdef _WIN64
  for (int frame = 0; frame < 24 && context.Rip; ++frame) {
    trace += (frame ? " < " : "") + Place(reinterpret_cast<void*>(context.Rip));
    DWORD64 base = 0;
    RUNTIME_FUNCTION* function = RtlLookupFunctionEntry(context.Rip, &base, nullptr);
    if (!function) {
      context.Rip = *reinterpret_cast<DWORD64*>(context.Rsp);
      context.Rsp += 8;
      continue;
    }
    void* handlerData = nullptr;
    DWORD64 establisher = 0;
    RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, context.Rip, function, &context, &handlerData,
                     &establisher, nullptr);
  }
#else
  trace = Place(reinterpret_cast<void*>(context.Eip));
#endif
  return trace;
}

LONG WINAPI RecordCrash(EXCEPTION_POINTERS* exception) {
  if (g_journal) {
    std::fprintf(g_journal, "C crash: exception %08lX at %s\n",
                 exception->ExceptionRecord->ExceptionCode,
                 Backtrace(*exception->ContextRecord).c_str());
    std::fflush(g_journal);
  }
  TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

std::string Exceeded(const window_fuzz::Figures& base, const window_fuzz::Figures& now) {
  if (now.handles > base.handles + kHandleGrowth) return "handles";
  if (now.gdiObjects > base.gdiObjects + kGdiGrowth) return "GDI objects";
  if (now.userObjects > base.userObjects + kUserGrowth) return "windows and menus";
  if (now.workingSetKb > base.workingSetKb + kMemoryGrowthKb) return "memory";
  return "";
}

bool ReadActions(const std::string& path, std::vector<Action>* actions) {
  std::ifstream file(path);
  if (!file) return false;
  std::string line;
  while (std::getline(file, line)) {
    Action action;
    if (!line.empty() && line[0] != '#' && window_fuzz::Parse(line, &action)) {
      actions->push_back(action);
    }
  }
  return true;
}

// Plays the actions, writing each to the journal before it runs and a failure
// after it; the exit status says how it ended.
int RunChild(const Options& options) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  g_journal = std::fopen(options.journal.c_str(), "w");
  if (!g_journal) return 2;
  SetUnhandledExceptionFilter(RecordCrash);
  std::vector<Action> given;
  if (!options.play.empty() && !ReadActions(options.play, &given)) {
    std::fprintf(g_journal, "F replay: cannot read %s\n", options.play.c_str());
    return 1;
  }
  window_fuzz::Player player;
  std::string error;
  if (!player.Start(&error)) {
    std::fprintf(g_journal, "F start: %s\n", error.c_str());
    std::fclose(g_journal);
    return 1;
  }
  window_fuzz::ActionSource source(options.seed, options.acts);
  auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  window_fuzz::Figures base, now;
  std::string failure;
  long played = 0;
  for (;; ++played) {
    bool more = options.play.empty()
                    ? (options.actions > 0 ? played < options.actions : elapsed() < options.seconds)
                    : played < static_cast<long>(given.size());
    if (!more) break;
    Action action = options.play.empty() ? source.Next() : given[static_cast<std::size_t>(played)];
    std::fprintf(g_journal, "A %s\n", window_fuzz::Serialize(action).c_str());
    std::fflush(g_journal);
    failure = player.Play(action);
    if (!failure.empty()) break;
    if (!player.Note().empty()) {
      std::fprintf(g_journal, "# %s\n", player.Note().c_str());
      std::fflush(g_journal);
    }
    if (options.play.empty() && (played + 1) % kWarmUp == 0) {
      now = window_fuzz::Measure();
      if (played + 1 == kWarmUp) {
        base = now;
        std::printf("figures after %ld actions: %s\n", kWarmUp,
                    window_fuzz::Describe(base).c_str());
      } else if (std::string what = Exceeded(base, now); !what.empty()) {
        failure = "resources: " + what + " grew to " + window_fuzz::Describe(now);
        break;
      }
      if ((played + 1) % 10000 == 0) {
        std::printf("%ld actions in %.0f s: %s; %d reloads\n", played + 1, elapsed(),
                    window_fuzz::Describe(now).c_str(), player.Reloads());
      }
      std::fflush(stdout);
    }
  }
  if (!failure.empty()) {
    std::fprintf(g_journal, "F %s\n", failure.c_str());
    std::fclose(g_journal);
    g_journal = nullptr;
    // Word would go on; the child's end is all that is left to check.
    std::_Exit(1);
  }
  if (played >= kWarmUp && options.play.empty()) {
    now = window_fuzz::Measure();
    std::printf("figures at the end: %s; %d reloads\n", window_fuzz::Describe(now).c_str(),
                player.Reloads());
  }
  player.Stop();
  std::printf("%ld actions in %.0f s, no failure\n", played, elapsed());
  std::fprintf(g_journal, "E %ld\n", played);
  std::fclose(g_journal);
  g_journal = nullptr;
  return 0;
}

// How a child run ended: "" when it passed, else its failure, whose first word
// names the check.
struct Outcome {
  std::string failure;
  std::vector<Action> actions;  // those begun
};

std::string Key(const std::string& failure) {
  return failure.substr(0, failure.find(':'));
}

std::string Self() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n);
}

long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return static_cast<long>(data.nFileSizeLow);
}

// A quiet child's output goes nowhere: the shrinking's runs would only repeat it.
Outcome RunInChild(const std::string& arguments, const std::string& journal, bool quiet = false) {
  Outcome outcome;
  std::string command = "\"";
  command += Self();
  command += "\" --child --journal \"";
  command += journal;
  command += "\" ";
  command += arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  DeleteFileA(journal.c_str());
  HANDLE nul = INVALID_HANDLE_VALUE;
  if (quiet) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = nul;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  }
  bool started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, quiet, 0, nullptr,
                                nullptr, &startup, &child);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (!started) {
    outcome.failure = "start: cannot start " + Self();
    return outcome;
  }
  long size = -1;
  DWORD still = 0;
  while (WaitForSingleObject(child.hProcess, 1000) == WAIT_TIMEOUT) {
    long now = FileSize(journal);
    still = now == size ? still + 1000 : 0;
    size = now;
    if (still >= kHangMs) {
      TerminateProcess(child.hProcess, 3);
      WaitForSingleObject(child.hProcess, 10000);
      outcome.failure = "hang: no action ended in " + std::to_string(kHangMs / 1000) + " s";
      break;
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(child.hProcess, &code);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);

  std::ifstream file(journal);
  std::string line, failure;
  bool ended = false;
  while (std::getline(file, line)) {
    Action action;
    if (line.rfind("A ", 0) == 0 && window_fuzz::Parse(line.substr(2), &action)) {
      outcome.actions.push_back(action);
    } else if (line.rfind("F ", 0) == 0 || line.rfind("C ", 0) == 0) {
      failure = line.substr(2);
    } else if (line.rfind("E ", 0) == 0) {
      ended = true;
    }
  }
  if (outcome.failure.empty()) {
    if (!failure.empty()) {
      outcome.failure = failure;
    } else if (code != 0 || !ended) {
      char text[64];
      std::snprintf(text, sizeof text, "crash: exit status %08lX", code);
      outcome.failure = text;
    }
  }
  return outcome;
}

void WriteActions(const std::string& path, const std::string& header,
                  const std::vector<Action>& actions) {
  std::ofstream file(path);
  file << "# " << header << "\n";
  for (const Action& action : actions) file << window_fuzz::Serialize(action) << "\n";
}

// The shortest run found within the time that fails as the given one does: first
// the shortest tail, then chunks taken out, halving.
std::vector<Action> Shrink(std::vector<Action> actions, const std::string& failure,
                           const Options& options) {
  auto start = std::chrono::steady_clock::now();
  auto timeLeft = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() <
           options.shrinkSeconds;
  };
  std::string trial = options.out + "\\window-fuzz-trial.replay";
  std::string journal = options.out + "\\window-fuzz-trial.journal";
  int runs = 0;
  auto fails = [&](const std::vector<Action>& candidate) {
    WriteActions(trial, "trial", candidate);
    ++runs;
    Outcome outcome = RunInChild("--play \"" + trial + "\"", journal, true);
    return Key(outcome.failure) == Key(failure);
  };
  for (std::size_t tail = 1; tail < actions.size() && timeLeft(); tail *= 2) {
    std::vector<Action> candidate(actions.end() - static_cast<std::ptrdiff_t>(tail), actions.end());
    if (fails(candidate)) {
      actions = candidate;
      break;
    }
  }
  for (std::size_t chunk = actions.size() / 2; chunk >= 1 && timeLeft(); chunk /= 2) {
    for (std::size_t i = 0; i < actions.size() && actions.size() > 1 && timeLeft();) {
      std::vector<Action> candidate = actions;
      candidate.erase(
          candidate.begin() + static_cast<std::ptrdiff_t>(i),
          candidate.begin() + static_cast<std::ptrdiff_t>(std::min(i + chunk, candidate.size())));
      if (!candidate.empty() && fails(candidate)) {
        actions = candidate;
      } else {
        i += chunk;
      }
    }
  }
  std::printf("shrunk to %zu actions in %d runs\n", actions.size(), runs);
  DeleteFileA(trial.c_str());
  DeleteFileA(journal.c_str());
  return actions;
}

int Replay(const Options& options) {
  std::vector<Action> actions;
  if (!ReadActions(options.replay, &actions)) {
    std::fprintf(stderr, "window_fuzzer: cannot read %s\n", options.replay.c_str());
    return 2;
  }
  std::printf("replaying %zu actions of %s\n", actions.size(), options.replay.c_str());
  std::string journal = options.out + "\\window-fuzz-replay.journal";
  Outcome outcome = RunInChild("--play \"" + options.replay + "\"", journal);
  DeleteFileA(journal.c_str());
  if (outcome.failure.empty()) {
    std::printf("no failure\n");
    return 0;
  }
  std::printf("failed after %zu actions: %s\n", outcome.actions.size(), outcome.failure.c_str());
  return 1;
}

int Fuzz(Options options) {
  if (!options.seeded) {
    options.seed = GetTickCount64() * 6364136223846793005ull ^ GetCurrentProcessId();
    options.seed %= 1000000000000ull;
  }
  std::printf("window fuzzer: seed %llu, %s\n", options.seed,
              options.actions > 0
                  ? (std::to_string(options.actions) + " actions").c_str()
                  : (std::to_string(static_cast<long>(options.seconds)) + " s").c_str());
  std::fflush(stdout);
  std::string name = options.out + "\\window-fuzz-" + std::to_string(options.seed);
  std::string limit = options.actions > 0 ? "--actions " + std::to_string(options.actions)
                                          : "--seconds " + std::to_string(options.seconds);
  Outcome outcome =
      RunInChild("--seed " + std::to_string(options.seed) + " " + limit + options.actsOption,
                 name + ".journal");
  if (outcome.failure.empty()) {
    DeleteFileA((name + ".journal").c_str());
    return 0;
  }
  std::printf("FAILED after %zu actions (seed %llu): %s\n", outcome.actions.size(), options.seed,
              outcome.failure.c_str());
  std::fflush(stdout);
  std::vector<Action> shrunk = outcome.actions;
  // A resource bound holds over a whole run: no shorter run shows it.
  if (Key(outcome.failure) != "resources")
    shrunk = Shrink(outcome.actions, outcome.failure, options);
  WriteActions(name + ".replay", "seed " + std::to_string(options.seed) + ": " + outcome.failure,
               shrunk);
  std::printf("replay file: %s.replay (%zu actions)\n", name.c_str(), shrunk.size());
  return 1;
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    bool value = i + 1 < argc;
    if (option == "--child") {
      options->child = true;
    } else if (!value) {
      return false;
    } else if (option == "--actions") {
      options->actions = std::strtol(argv[++i], nullptr, 10);
      if (options->actions <= 0) return false;
    } else if (option == "--seconds") {
      options->seconds = std::strtod(argv[++i], nullptr);
      if (options->seconds <= 0) return false;
    } else if (option == "--shrink-seconds") {
      options->shrinkSeconds = std::strtod(argv[++i], nullptr);
    } else if (option == "--seed") {
      options->seed = std::strtoull(argv[++i], nullptr, 10);
      options->seeded = true;
    } else if (option == "--only" || option == "--without") {
      std::uint32_t bits = 0;
      if (!window_fuzz::ActBits(argv[++i], &bits)) return false;
      options->acts = option == "--only" ? bits : ~bits;
      options->actsOption = " " + option + " " + argv[i];
    } else if (option == "--out") {
      options->out = argv[++i];
    } else if (option == "--replay") {
      options->replay = argv[++i];
    } else if (option == "--journal") {
      options->journal = argv[++i];
    } else if (option == "--play") {
      options->play = argv[++i];
    } else {
      return false;
    }
  }
  if (options->child) return !options->journal.empty();
  return !options->replay.empty() || options->actions > 0 || options->seconds > 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (options.child) return RunChild(options);
  if (!options.replay.empty()) return Replay(options);
  return Fuzz(options);
}
