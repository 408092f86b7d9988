// Compiled with a Windows-1256 execution character set, like the window's own texts.
#include "window_player.h"

#include <windows.h>
// After windows.h, whose types they use.
#include <malloc.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "citation_text.h"
#include "search_window_driver.h"
#include "verse_store.h"
#include "win_text.h"
#include "word_host.h"

namespace window_fuzz {
namespace {

namespace sw = search_window;
using quran::FromCodePage;
using quran::ToCodePage;

const char kAddin[] = "QuranAddin.wll";
const char kSettingsKey[] = "Software\\kivo\\velnora\\2.0\\Options";
const char kNoText[] = "لا توجد آية تحتوي النص المراد البحث عنه";
const char kNoRoot[] = "لا توجد آية تحتوي على أي من مشتقات الجذر المدخل";
const char kNoneCaption[] = "لا يوجد";
const char kLooseOfferStart[] = "عدد الآيات عند تجاهل الهمزات والتشكيل: ";
const char kLooseOfferEnd[] = "، هل تريد عرضها؟\xFE";
const char kAllWordsOfferStart[] = "عدد الآيات التي فيها كل الكلمات بأي ترتيب: ";
const char kAllWordsLooseOfferStart[] =
    "عدد الآيات التي فيها كل الكلمات بأي ترتيب مع تجاهل الهمزات والتشكيل: ";
const char kAllWordsPartsOfferStart[] =
    "عدد الآيات التي فيها كل الكلمات بأي ترتيب جزءا من النص مع تجاهل الهمزات والتشكيل: ";
constexpr int kAllWordsBox = 1073;
const char kCopyOne[] = "&نسـخ الأيــــة";
const char kCopyMany[] = "نسـخ الآيــــات&";
const char kAboutCaption[] = "حــول Quran Verse Search";
const char kClipboardRefused[] = "Error: clipboard cannot be opened";
const char kReferenceCaption[] = "المرجع";
const char kProductCaption[] = "Quran Verse Search";
const char kMarkHoldsNoWord[] = "ظلل كلمة أو أكثر من نص الآية ثم اضغط «نسخ المظلل».";
const char kNoVerseInResults[] = "الآيات المطلوبة ليست ضمن نتائج البحث السابق";
// More would only slow the run: each citation is a paste of its own.
const std::size_t kMostCopied = 40;
// 3000..3011: three radio pairs, two boxes, the preview, the separator's three radios.
constexpr int kCitationControls = 12;

// Keys the search field takes, as Windows-1256 bytes.
const unsigned char kAllowedKeys[] = {0xC1, 0xEC, 0xC3, 0xC5, 0xC2, 0xC7, 0xC8, 0xCA, 0xCB, 0xCC,
                                      0xCD, 0xCE, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6,
                                      0xD8, 0xD9, 0xDA, 0xDB, 0xDD, 0xDE, 0xDF, 0xE1, 0xE3, 0xE4,
                                      0xE5, 0xE6, 0xED, 0xC9, 0xC4, 0xC6, 0x20};
// Keys it refuses: digits, Latin, tatweel, harakat, Arabic punctuation, letters of
// other languages, and the control keys of copy, paste, cut, tab and escape.
const unsigned char kRefusedKeys[] = {'0',  '7',  'a',  'Z',  '-',  0xDC, 0xF0, 0xF3, 0xFA, 0xA1,
                                      0xBA, 0xBF, 0x81, 0x8D, 0x98, 3,    22,   24,   9,    27};
// Harakat as they come with copied text.
const wchar_t kMarks[] = {0x064B, 0x064E, 0x064F, 0x0650, 0x0651, 0x0652, 0x0640};

wchar_t Key(unsigned char byte) {
  std::wstring text = FromCodePage(std::string(1, static_cast<char>(byte)));
  return text.empty() ? L'?' : text[0];
}

std::string Trimmed(std::string text) {
  auto white = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (!text.empty() && white(text.back())) text.pop_back();
  std::size_t start = 0;
  while (start < text.size() && white(text[start])) ++start;
  return text.substr(start);
}

bool SameFace(const char* a, const std::string& b) {
  return lstrcmpiA(a, b.c_str()) == 0;
}

// The GDI objects of this process: the entries of the handle table the system
// shares with it (PEB GdiSharedHandleTable), which Wine keeps as Windows does.
int GdiObjects() {
  struct Entry {
    std::uint64_t object;
    std::uint16_t process, lock, unique;
    std::uint8_t type, flags;
    std::uint64_t user;
  };
  static_assert(sizeof(Entry) == 24);
  PROCESS_BASIC_INFORMATION basic = {};
  if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic,
                                nullptr) != 0) {
    return -1;
  }
  const auto* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
  const auto* table = *reinterpret_cast<Entry* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
  if (!table) return -1;
  int count = 0;
  auto self = static_cast<std::uint16_t>(GetCurrentProcessId());
  for (int i = 0; i < 0x10000; ++i) {
    // Windows shares one table among all processes; Wine gives each its own.
    if (table[i].type && (table[i].process == self || table[i].process == 0)) ++count;
  }
  return count;
}

// Kernel handles are handed out lowest free first, in steps of 4: counted by asking
// each one, up to well past the last found.
int KernelHandles() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) {
    return static_cast<int>(count);
  }
  int found = 0;
  std::uintptr_t last = 0;
  for (std::uintptr_t h = 4; h < last + 4 * 4096 || h < 4 * 4096; h += 4) {
    DWORD flags;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) {
      ++found;
      last = h;
    }
  }
  return found;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountWindow, count);
  }
  return TRUE;
}

// Windows and menus: the USER objects a window leaks. Wine answers
// GetGuiResources with 0, so they are counted.
int UserObjects() {
  if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<int>(n);
  int count = 0;
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
  // Wine's USER handles: the low word alone names any generation.
  for (std::uintptr_t h = 0x20; h < 0x10000; h += 2) {
    if (IsMenu(reinterpret_cast<HMENU>(h))) ++count;
  }
  return count;
}

struct Modal {
  std::string kind;  // "box", "font", "style", "about", "splash", or "dialog"
  std::string caption, text;
  bool operator==(const Modal&) const = default;
};

std::string Show(const std::vector<Modal>& modals) {
  std::string text = "[";
  for (const Modal& m : modals) {
    text += (text.size() > 1 ? ", " : "") + m.kind + " \"" + m.caption + "\" \"" + m.text + "\"";
  }
  return text + "]";
}

// What the modal windows of the action in play are to be answered with.
struct Answers {
  bool yes = false;        // a Yes/No box
  bool confirm = false;    // OK rather than Cancel in a dialog
  std::uint32_t face = 0;  // the font dialog's face and size, by index
  std::uint32_t size = 0;
  std::uint32_t clicks = 0;  // the citation style window's controls clicked, by bit
  std::string chosenFace;    // read back as the font dialog shows it
};
Answers g_answers;
std::vector<Modal> g_modals;

// Wine 8's shaping crashes on some verses in many faces, Latin and Arabic alike,
// where Windows shows them: the font dialog's choice is kept to the naskh faces
// that show every verse under Wine.
bool ShowsEveryVerse(const wchar_t* face) {
  for (const wchar_t* known : {L"Amiri", L"KacstNaskh", L"Traditional Arabic"}) {
    if (lstrcmpiW(face, known) == 0) return true;
  }
  return false;
}

void Post(HWND window, int command) {
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
}

// Each modal window is recorded and worked as the action in play says; messages
// are posted, so the window's own loop runs them once it is up.
void WorkModal(HWND window) {
  Modal modal;
  modal.caption = quran::WindowText1256(window);
  if (HWND face = GetDlgItem(window, 0x470); face && GetDlgItem(window, 0x472)) {
    modal.kind = "font";
    auto count = static_cast<std::uint32_t>(SendMessageW(face, CB_GETCOUNT, 0, 0));
    if (g_answers.confirm && count > 0 && count != static_cast<std::uint32_t>(CB_ERR)) {
      WPARAM index = 0;
      wchar_t name[LF_FACESIZE + 1] = {};
      for (std::uint32_t k = 0; k < count; ++k) {
        index = (g_answers.face + k) % count;
        name[0] = 0;
        if (SendMessageW(face, CB_GETLBTEXTLEN, index, 0) <= LF_FACESIZE) {
          SendMessageW(face, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(name));
        }
        if (ShowsEveryVerse(name)) break;
      }
      g_answers.chosenFace = ToCodePage(name, CP_ACP);
      PostMessageW(face, CB_SETCURSEL, index, 0);
      PostMessageW(window, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(face));
      HWND size = GetDlgItem(window, 0x472);
      // The first sizes are there for every face.
      PostMessageW(size, CB_SETCURSEL, g_answers.size % 3, 0);
      PostMessageW(window, WM_COMMAND, MAKEWPARAM(0x472, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(size));
    }
    Post(window, g_answers.confirm ? IDOK : IDCANCEL);
  } else if (GetDlgItem(window, 3000)) {
    modal.kind = "style";
    for (int i = 0; i < kCitationControls; ++i) {
      if (g_answers.clicks >> i & 1) PostMessageW(GetDlgItem(window, 3000 + i), BM_CLICK, 0, 0);
    }
    Post(window, g_answers.confirm ? IDOK : IDCANCEL);
  } else if (HWND text = GetDlgItem(window, 0xFFFF)) {
    modal.kind = "box";
    modal.text = quran::WindowText1256(text);
    Post(window, GetDlgItem(window, IDYES) ? (g_answers.yes ? IDYES : IDNO) : IDOK);
  } else {
    modal.kind = modal.caption.empty()            ? "splash"
                 : modal.caption == kAboutCaption ? "about"
                                                  : "dialog";
    Post(window, IDOK);
  }
  g_modals.push_back(modal);
}

Modal Box(const std::string& caption, const std::string& text) {
  return {"box", caption, text};
}

// The window's own model: what it must show after each action.
struct Model {
  bool fresh = true;  // the next Search... makes a new window
  bool visible = false;
  int mode = 0;
  bool found = false;
  std::vector<int> listed;
  std::string occurrences, verses;  // the counts' texts
  bool resultsOnly = false;
  bool loose = false;
  // The settings the next window starts from.
  bool modeSaved = false;
  std::int32_t savedMode = 0;
  bool savedLoose = false;
  bool allWords = false;
  bool savedAllWords = false;
  quran::CitationStyle style;
  bool documentFont = false;
};

// What a search reads from the window.
struct Inputs {
  int mode = 0;
  std::string field, root;
  bool rootPicked = false;
  bool resultsOnly = false;
  bool loose = false;
  bool allWords = false;
};

}  // namespace

Figures Measure() {
  Figures figures;
  figures.handles = KernelHandles();
  figures.gdiObjects = GdiObjects();
  figures.userObjects = UserObjects();
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) {
    figures.workingSetKb = memory.WorkingSetSize / 1024;
  }
  _HEAPINFO block = {};
  std::size_t used = 0;
  while (_heapwalk(&block) == _HEAPOK) {
    if (block._useflag == _USEDENTRY) used += block._size;
  }
  figures.runtimeHeapKb = used / 1024;
  return figures;
}

std::string Describe(const Figures& f) {
  return std::to_string(f.handles) + " handles, " + std::to_string(f.gdiObjects) +
         " GDI objects, " + std::to_string(f.userObjects) + " windows and menus, " +
         std::to_string(f.workingSetKb) + " KB working set (" + std::to_string(f.runtimeHeapKb) +
         " KB in the C runtime's heap)";
}

struct Player::State {
  quran::VerseStore store;  // the oracle, on the same data files as the add-in
  Model model;
  std::string note;
  std::string addinPath;
  int reloads = 0;

  std::string Play(const Action& action);
  std::string Check();
  std::string CheckSearch(const Inputs& in, const std::vector<Modal>& expectedBefore);

  int StartMode() const {
    if (!model.modeSaved) return sw::kWholeWord;
    return model.savedMode >= sw::kPartOfText && model.savedMode <= sw::kDerivatives
               ? model.savedMode
               : 0;
  }
  bool Usable(int id) const {
    return model.visible && !model.fresh && IsWindowEnabled(sw::Item(id));
  }
  Inputs ReadInputs() const;
  std::int32_t Field(const Inputs& in, const std::uint8_t* filter, quran::Matching matching);
  std::string Predict(const Inputs& in, bool yes, std::vector<Modal>* modals);
  std::wstring SelectionText(const Action& action) const;
  // The citations a copy pastes; none, with *noWord set, for a mark of blanks alone.
  std::string Cited(const std::vector<int>& verses, std::int32_t start, std::int32_t end,
                    std::u16string* text, std::size_t* count, bool* noWord);

  // The model after a reference's verses are shown, within the previous result when
  // the box says so; a box is expected when none of them is left.
  void PredictVerses(std::span<const quran::VerseRange> ranges, std::vector<Modal>* modals);
  // After a reference refused: one box of the reference's caption, whatever it says.
  std::string CheckRefused();
  std::string PlayShow(const Action& action);
  std::string PlayReference(const Action& action);
  std::string PlayType(const Action& action);
  std::string PlayTypeRoot(const Action& action);
  std::string PlaySelect(const Action& action);
  std::string PlayCopy(const Action& action, bool marked);
  std::string PlayReopen(const Action& action);
  std::string PlayHelp(const Action& action);
};

Player::Player() : state_(std::make_unique<State>()) {}
Player::~Player() = default;

const std::string& Player::Note() const {
  return state_->note;
}

int Player::Reloads() const {
  return state_->reloads;
}

bool Player::Start(std::string* error) {
  if (state_->store.LoadFailed) {
    *error = "the verse store does not load";
    return false;
  }
  // A user who never used the add-in.
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\kivo");
  if (!wordhost::Start(true)) {
    *error = "the stand-in Word does not start";
    return false;
  }
  wordhost::SetModalAction(WorkModal);
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  state_->addinPath = folder.substr(0, folder.find_last_of('\\') + 1) + kAddin;
  if (!wordhost::LoadAddin(state_->addinPath.c_str(), 1, error)) return false;
  if (wordhost::AutoOpenAnswer() != 1) {
    *error = "wdAutoOpen answered " + std::to_string(wordhost::AutoOpenAnswer());
    return false;
  }
  wordhost::PumpMessages();
  g_modals.clear();
  return true;
}

void Player::Stop() {
  wordhost::SetModalAction(nullptr);
  wordhost::Stop();
}

std::string Player::Play(const Action& action) {
  state_->note.clear();
  g_modals.clear();
  g_answers = {};
  // The stand-in keeps every command and box for its tests; over a long run that
  // would be the memory measured.
  wordhost::ClearCommandLog();
  wordhost::ClearModalWindows();
  std::string failure = state_->Play(action);
  wordhost::PumpMessages();
  if (failure.empty()) failure = state_->Check();
  return failure;
}

Inputs Player::State::ReadInputs() const {
  Inputs in;
  in.mode = model.mode;
  in.field = sw::Text(sw::kSearchText);
  in.root = sw::Text(sw::kRootList);
  // A root shown as the list's selected item was picked, not typed.
  HWND combo = sw::Item(sw::kRootList);
  auto index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index != CB_ERR) {
    auto length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    std::wstring item(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
    in.rootPicked = FromCodePage(in.root) == item;
  }
  in.resultsOnly = model.resultsOnly;
  in.loose = model.loose;
  in.allWords = model.allWords;
  return in;
}

std::int32_t Player::State::Field(const Inputs& in, const std::uint8_t* filter,
                                  quran::Matching matching) {
  switch (in.mode) {
    case sw::kPartOfText:
    case sw::kWholeWord: {
      std::string text = quran::FieldQuery(in.field, matching);
      if (text.empty()) return -1;
      if (in.allWords) {
        return store.FindAllWords(text.c_str(), in.mode == sw::kWholeWord, filter, true, matching);
      }
      if (in.mode == sw::kWholeWord) text = " " + text + " ";
      return store.FindText(text.c_str(), filter, true, matching);
    }
    case sw::kRoots: {
      if (in.rootPicked) matching = quran::Matching::kExact;
      std::string trimmed = quran::TrimBlanks(in.root);
      std::string root =
          matching == quran::Matching::kLoose ? quran::WithoutMarks(trimmed) : trimmed;
      return store.FindRoot(root.c_str(), filter, true, matching);
    }
    default:
      return store.FindWordRoots(quran::FieldQuery(in.field, matching).c_str(), filter, true,
                                 matching);
  }
}

// Runs the search the window runs for these inputs on the oracle and moves the
// model to its outcome; the boxes it must show go to *modals.
std::string Player::State::Predict(const Inputs& in, bool yes, std::vector<Modal>* modals) {
  std::uint8_t previous[quran::kVerseCount];
  std::memcpy(previous, store.ResultFlags, sizeof previous);
  const std::uint8_t* filter = in.resultsOnly ? previous : nullptr;
  quran::Matching matching = in.loose ? quran::Matching::kLoose : quran::Matching::kExact;
  std::int32_t occurrences = Field(in, filter, matching);
  int mode = in.mode;
  if (occurrences <= 0) {
    // The more forgiving searches, offered in this order: the phrase forgiving, all
    // the words, all the words forgiving, and from the whole-word mode all the words
    // forgiving as parts of the text; never back to exact letters or to the phrase.
    struct Offer {
      bool loose, allWords, parts;
      const char* start;
    };
    const Offer offers[] = {{true, false, false, kLooseOfferStart},
                            {false, true, false, kAllWordsOfferStart},
                            {true, true, false, kAllWordsLooseOfferStart},
                            {true, true, true, kAllWordsPartsOfferStart}};
    bool text = in.mode == sw::kPartOfText || in.mode == sw::kWholeWord;
    std::set<std::string> words;
    for (std::string_view w :
         quran::SplitWords(quran::FieldQuery(in.field, quran::Matching::kLoose))) {
      words.emplace(w);
    }
    occurrences = 0;
    bool offered = false;
    for (const Offer& o : offers) {
      if (!o.loose && in.loose) continue;
      if (!o.allWords && in.allWords) continue;
      if (o.loose == in.loose && o.allWords == in.allWords) continue;
      if (o.allWords && (!text || words.size() < 2)) continue;
      if (o.parts && in.mode != sw::kWholeWord) continue;
      Inputs tried = in;
      tried.mode = o.parts ? sw::kPartOfText : in.mode;
      tried.allWords = o.allWords;
      std::int32_t found =
          Field(tried, filter, o.loose ? quran::Matching::kLoose : quran::Matching::kExact);
      if (found <= 0) continue;
      offered = true;
      modals->push_back(Box(kNoneCaption, std::string(in.mode == sw::kRoots ? kNoRoot : kNoText) +
                                              "\n" + o.start + std::to_string(store.VerseCount()) +
                                              kLooseOfferEnd));
      if (yes) {
        occurrences = found;
        model.loose = o.loose;
        model.allWords = o.allWords;
        mode = tried.mode;
      } else {
        store.FindText("", nullptr, true);
      }
      break;
    }
    if (!offered) modals->push_back(Box(kNoneCaption, in.mode == sw::kRoots ? kNoRoot : kNoText));
  }
  model.mode = mode;
  model.listed.clear();
  if (occurrences == 0) {
    model.found = false;
    model.occurrences = model.verses = "0";
    model.resultsOnly = false;
    return "";
  }
  model.found = true;
  for (int v = 0; v < quran::kVerseCount; ++v) {
    if (store.ResultFlags[v]) model.listed.push_back(v);
  }
  model.occurrences = std::to_string(occurrences);
  model.verses = std::to_string(model.listed.size());
  return "";
}

// After a search: the boxes shown, the list item by item, and the first selected.
std::string Player::State::CheckSearch(const Inputs& in, const std::vector<Modal>& expected) {
  if (g_modals != expected) {
    return "modal: the search of " + std::to_string(in.field.size()) + " bytes in mode " +
           std::to_string(in.mode) + " showed " + Show(g_modals) + ", not " + Show(expected) +
           "; the window counts " + sw::Text(sw::kOccurrenceCount) + " in " +
           sw::Text(sw::kVerseCount) + " verses";
  }
  g_modals.clear();
  std::vector<std::string> items = sw::Items();
  if (items.size() != model.listed.size()) {
    return "counts: " + std::to_string(items.size()) + " items listed, the store found " +
           std::to_string(model.listed.size());
  }
  for (std::size_t i = 0; i < items.size(); ++i) {
    const quran::VerseIndexRecord& r = store.VerseIndex[model.listed[i]];
    std::string item = std::string(quran::SuraName(r.chapter)) + " " + std::to_string(r.verse);
    if (items[i] != item) return "items: item " + std::to_string(i) + " reads " + items[i];
  }
  if (model.found && sw::SelectedItems() != std::vector<int>{0}) {
    return "selection: a search that found verses does not select the first alone";
  }
  if (!model.found && in.mode == sw::kRoots) {
    if (!sw::RootListDropped()) return "roots: the root list is not dropped after no root found";
    SendMessageW(sw::Item(sw::kRootList), CB_SHOWDROPDOWN, FALSE, 0);
  }
  return "";
}

std::string Player::State::Play(const Action& action) {
  switch (action.act) {
    case Act::kShow:
      return PlayShow(action);
    case Act::kReference:
      return PlayReference(action);
    case Act::kType:
      return PlayType(action);
    case Act::kMode: {
      int id = sw::kPartOfText + static_cast<int>(action.a % 4);
      if (!Usable(id)) break;
      sw::Click(id);
      model.mode = id;
      return "";
    }
    case Act::kPickRoot: {
      // As a user would, the roots' mode first.
      if (Usable(sw::kRoots) && model.mode != sw::kRoots) {
        sw::Click(sw::kRoots);
        model.mode = sw::kRoots;
      }
      HWND combo = sw::Item(sw::kRootList);
      auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
      if (!Usable(sw::kRootList) || count <= 0) break;
      SendMessageW(combo, CB_SETCURSEL, action.a % static_cast<std::uint32_t>(count), 0);
      SendMessageW(sw::Find(), WM_COMMAND, MAKEWPARAM(sw::kRootList, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
      return "";
    }
    case Act::kTypeRoot:
      return PlayTypeRoot(action);
    case Act::kResultsOnly:
      if (!Usable(sw::kResultsOnly)) break;
      sw::Click(sw::kResultsOnly);
      model.resultsOnly = !model.resultsOnly;
      return "";
    case Act::kLoose:
      if (!Usable(sw::kLooseSearch)) break;
      sw::Click(sw::kLooseSearch);
      model.loose = !model.loose;
      return "";
    case Act::kAllWords:
      if (!Usable(kAllWordsBox)) break;
      sw::Click(kAllWordsBox);
      model.allWords = !model.allWords;
      return "";
    case Act::kSearch: {
      if (!Usable(sw::kStartSearch)) break;
      Inputs in = ReadInputs();
      if (in.mode == 0) in.mode = sw::kWholeWord;
      g_answers.yes = action.a % 2;
      std::vector<Modal> expected;
      Predict(in, g_answers.yes, &expected);
      sw::Click(sw::kStartSearch);
      return CheckSearch(in, expected);
    }
    case Act::kSelect:
      return PlaySelect(action);
    case Act::kMark: {
      if (!model.visible || model.fresh) break;
      HWND edit = sw::Item(sw::kVerseText);
      auto span = static_cast<std::uint32_t>(GetWindowTextLengthW(edit)) + 3;
      auto start = static_cast<int>(action.a % span) - 1;
      int end = action.c % 4 == 0 ? start : static_cast<int>(action.b % span) - 1;
      SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(start), end);
      return "";
    }
    case Act::kCopyVerses:
    case Act::kCopyMarked:
      return PlayCopy(action, action.act == Act::kCopyMarked);
    case Act::kFont: {
      if (!Usable(sw::kChooseFont)) break;
      HFONT before =
          reinterpret_cast<HFONT>(SendMessageW(sw::Item(sw::kVerseText), WM_GETFONT, 0, 0));
      g_answers.confirm = action.a % 3 != 0;
      g_answers.face = action.b;
      g_answers.size = action.c;
      sw::Click(sw::kChooseFont);
      wordhost::PumpMessages();
      if (g_answers.confirm) note = "chose " + g_answers.chosenFace;
      if (g_modals.size() != 1 || g_modals[0].kind != "font") {
        return "modal: the font button showed " + Show(g_modals);
      }
      g_modals.clear();
      HFONT after =
          reinterpret_cast<HFONT>(SendMessageW(sw::Item(sw::kVerseText), WM_GETFONT, 0, 0));
      LOGFONTA shown = {};
      if (!after || !GetObjectA(after, sizeof shown, &shown))
        return "font: the verse text has no font";
      if (!g_answers.confirm && after != before)
        return "font: a cancelled font dialog changed the font";
      if (g_answers.confirm && !g_answers.chosenFace.empty() &&
          !SameFace(shown.lfFaceName, g_answers.chosenFace)) {
        return std::string("font: the verse text shows ") + shown.lfFaceName + ", not the chosen " +
               g_answers.chosenFace;
      }
      return "";
    }
    case Act::kCitationStyle: {
      if (!Usable(sw::kCitationSettings)) break;
      g_answers.confirm = action.a % 3 != 0;
      g_answers.clicks = action.b;
      sw::Click(sw::kCitationSettings);
      wordhost::PumpMessages();
      if (g_modals.size() != 1 || g_modals[0].kind != "style") {
        return "modal: the citation style button showed " + Show(g_modals);
      }
      g_modals.clear();
      if (!g_answers.confirm) return "";
      quran::CitationStyle& s = model.style;
      for (int i = 0; i < kCitationControls; ++i) {
        if (!(action.b >> i & 1)) continue;
        switch (3000 + i) {
          case 3000:
            s.brackets = quran::CitationBrackets::kPlain;
            break;
          case 3001:
            s.brackets = quran::CitationBrackets::kOrnate;
            break;
          case 3002:
            s.reference = quran::CitationReference::kChapter;
            break;
          case 3003:
            s.reference = quran::CitationReference::kShort;
            break;
          case 3004:
            s.digits = quran::CitationDigits::kWestern;
            break;
          case 3005:
            s.digits = quran::CitationDigits::kArabicIndic;
            break;
          case 3006:
            s.joinConsecutive = !s.joinConsecutive;
            break;
          case 3007:
            model.documentFont = !model.documentFont;
            break;
          case 3008:  // the preview
            break;
          default:
            s.separator = static_cast<quran::CitationSeparator>(i - 9);
        }
      }
      return "";
    }
    case Act::kAbout: {
      wordhost::ClickMenuItem("&Quran", "&About...");
      wordhost::PumpMessages();
      std::vector<Modal> expected = {{"about", kAboutCaption, ""}};
      if (g_modals != expected) return "modal: About showed " + Show(g_modals);
      g_modals.clear();
      return "";
    }
    case Act::kHelp:
      return PlayHelp(action);
    case Act::kHide:
      if (!model.visible || model.fresh) break;
      if (action.a % 2) {
        sw::Click(IDCANCEL);
      } else {
        SendMessageW(sw::Find(), WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      model.visible = false;
      return "";
    case Act::kReopen:
      return PlayReopen(action);
    case Act::kCount:
      break;
  }
  note = "not possible now";
  return "";
}

bool IsMark(wchar_t c) {
  return (c >= 0x064B && c <= 0x065F) || c == 0x0670;
}

bool IsAlef(wchar_t c) {
  return c == 0x0622 || c == 0x0623 || c == 0x0625 || c == 0x0627;
}

// Wine 8's text shaping crashes, in the stand-in's document and in edit fields
// alike, on a mark that follows no Arabic letter, and on a mark on the alef of a
// lam-alef that ends a field's text; Word on Windows takes any text. Such marks are
// left out, so that the run tests the add-in rather than Wine.
std::wstring WineSafe(const std::wstring& text) {
  std::wstring safe;
  for (wchar_t c : text) {
    std::size_t n = safe.size();
    bool carried =
        n > 0 && ((safe[n - 1] >= 0x0620 && safe[n - 1] <= 0x064A) || IsMark(safe[n - 1]));
    bool lamAlef = n > 1 && safe[n - 2] == 0x0644 && IsAlef(safe[n - 1]);
    if (!IsMark(c) || (carried && !lamAlef)) safe += c;
  }
  return safe;
}

std::wstring Player::State::SelectionText(const Action& action) const {
  char text[quran::kVerseTextSize];
  auto verse = [&](std::uint32_t seed) {
    std::uint32_t v = seed % quran::kVerseCount;
    return store.GetVerseText(v, text, sizeof text) ? std::string(text) : std::string();
  };
  std::string chosen = verse(action.b);
  std::vector<std::string_view> words = quran::SplitWords(chosen);
  std::string phrase;
  if (!words.empty()) {
    std::size_t first = (action.c >> 8) % words.size();
    std::size_t count = 1 + (action.c >> 16) % 4;
    for (std::size_t i = first; i < words.size() && i < first + count; ++i) {
      if (!phrase.empty()) phrase += ' ';
      phrase += words[i];
    }
  }
  std::wstring wide = FromCodePage(phrase);
  switch (action.a % 16) {
    case 0:
      return L"";
    case 6: {  // with harakat, as copied from a vowelled text
      std::wstring marked;
      for (std::size_t i = 0; i < wide.size(); ++i) {
        marked += wide[i];
        if (wide[i] != L' ' && (action.c >> (i % 24)) & 1) marked += kMarks[i % std::size(kMarks)];
      }
      return marked;
    }
    case 7: {  // as typed on a keyboard: hamzas bare, teh marbuta and alef maksura swapped
      for (wchar_t& c : wide) {
        if (c == 0x0623 || c == 0x0625 || c == 0x0622) c = 0x0627;
        if (c == 0x0629) c = 0x0647;
        if (c == 0x0649) c = 0x064A;
      }
      return wide;
    }
    case 8:
      return L"In the name of God, the Merciful";
    case 9: {  // a reference, its chapter named and numbered, agreeing or not
      int chapter = static_cast<int>(action.b % quran::kChapterCount) + 1;
      int named = (action.c >> 24) % 2 ? chapter : static_cast<int>(action.c % 114) + 1;
      std::wstring verse = std::to_wstring(1 + (action.c >> 8) % 300);
      std::wstring number = std::to_wstring(chapter) + L":" + verse;
      std::span<const quran::OtherChapterName> others = quran::OtherChapterNames();
      const quran::OtherChapterName& other = others[action.c % others.size()];
      const char* latin = quran::kChapterLatinNames[named - 1];
      switch ((action.c >> 20) % 4) {
        case 0:
          return std::to_wstring(action.c) + L" 255";
        case 1:
          return std::wstring(latin, latin + std::strlen(latin)) + L" " + number;
        case 2:
          return number + L" (" + FromCodePage(quran::ChapterName(named)) + L")";
        default:
          return FromCodePage(other.name) + L" " + verse;
      }
    }
    case 10:
      return wide + std::wstring(1, L'\0') + wide;
    case 11:
      return wide + L"\r\n" + wide + L"\n";
    case 12: {  // a pasted page, up to 100 KB
      std::wstring page;
      std::size_t length = 1 + action.c % (100 * 1024);
      for (std::uint32_t seed = action.b; page.size() < length; seed = seed * 2654435761u + 1) {
        page += FromCodePage(verse(seed)) + L"\r\n";
      }
      page.resize(length);
      return page;
    }
    case 13:
      return FromCodePage(chosen);
    case 14: {  // any Windows-1256 bytes
      std::string bytes;
      for (int i = 0; i < 12; ++i) bytes += static_cast<char>(0x80 | ((action.c >> i) * 37 + i));
      return FromCodePage(bytes);
    }
    case 15:
      return L"  " + wide + L"  ";
    default:
      return wide;
  }
}

std::string Player::State::PlayShow(const Action& action) {
  wordhost::SetDocumentText(WineSafe(SelectionText(action)));
  int length = static_cast<int>(wordhost::DocumentText().size());
  bool caret = action.a % 16 == 0 || action.b % 11 == 0;
  wordhost::SetSelection(caret ? length / 2 : 0, caret ? length / 2 : -1);
  std::wstring selected = wordhost::SelectedText();

  bool shows = !model.visible || model.fresh;
  if (model.fresh) {
    // The window made anew, as it starts.
    store.FindText("", nullptr, true);
    Model next;
    next.modeSaved = model.modeSaved;
    next.savedMode = model.savedMode;
    next.savedLoose = model.savedLoose;
    next.savedAllWords = model.savedAllWords;
    next.style = model.style;
    next.documentFont = model.documentFont;
    next.mode = StartMode();
    next.loose = model.savedLoose;
    next.allWords = model.savedAllWords;
    model = next;
    model.fresh = false;
  }
  Inputs in;
  in.resultsOnly = model.resultsOnly;
  in.loose = model.loose;
  in.allWords = model.allWords;
  g_answers.yes = action.c % 2;
  if (!wordhost::ClickMenuItem("&Quran", "&Search...")) return "menu: no Quran > Search...";
  wordhost::PumpMessages();
  model.visible = true;
  if (!sw::Find() || !IsWindowVisible(sw::Find())) return "show: the window is not shown";
  if (!shows || selected.empty()) {
    if (!g_modals.empty()) return "modal: showing the window showed " + Show(g_modals);
    return "";
  }
  std::string field = sw::Text(sw::kSearchText);
  quran::Reference reference =
      quran::ReadReference(quran::ReferenceText(std::u16string(selected.begin(), selected.end())));
  if (quran::MeantAsReference(reference)) {
    if (!field.empty()) return "show: a selected reference left text in the search field";
    in.mode = model.mode = sw::kWholeWord;
    std::vector<Modal> expected;
    if (reference.error != quran::ReferenceError::kNone) {
      PredictVerses({}, &expected);
      return CheckRefused();
    }
    PredictVerses(reference.ranges, &expected);
    return CheckSearch(in, expected);
  }
  std::string copied = ToCodePage(selected);
  std::string expectedField(quran::QueryStart(copied, store.LongestSearchText()));
  if (field != expectedField) {
    return "show: the search field holds " + std::to_string(field.size()) +
           " bytes, not the selection's first " + std::to_string(expectedField.size());
  }
  in.mode = sw::kWholeWord;
  in.field = field;
  std::vector<Modal> expected;
  Predict(in, g_answers.yes, &expected);
  return CheckSearch(in, expected);
}

void Player::State::PredictVerses(std::span<const quran::VerseRange> ranges,
                                  std::vector<Modal>* modals) {
  std::uint8_t previous[quran::kVerseCount];
  std::memcpy(previous, store.ResultFlags, sizeof previous);
  std::int32_t occurrences =
      store.FindVerses(ranges, model.resultsOnly && !ranges.empty() ? previous : nullptr, true);
  model.listed.clear();
  if (occurrences == 0) {
    if (!ranges.empty()) modals->push_back(Box(kNoneCaption, kNoVerseInResults));
    model.found = false;
    model.occurrences = model.verses = "0";
    model.resultsOnly = false;
    return;
  }
  model.found = true;
  for (int v = 0; v < quran::kVerseCount; ++v) {
    if (store.ResultFlags[v]) model.listed.push_back(v);
  }
  model.occurrences = std::to_string(occurrences);
  model.verses = std::to_string(model.listed.size());
}

std::string Player::State::CheckRefused() {
  if (g_modals.size() != 1 || g_modals[0].caption != kReferenceCaption) {
    return "modal: a refused reference showed " + Show(g_modals);
  }
  g_modals.clear();
  Inputs in;
  in.mode = sw::kWholeWord;
  return CheckSearch(in, {});
}

std::string Player::State::PlayReference(const Action& action) {
  if (!Usable(sw::kReferenceShow)) {
    note = "not possible now";
    return "";
  }
  HWND combo = sw::Item(sw::kReferenceChapter);
  HWND chapterField = GetWindow(combo, GW_CHILD);
  int chapter = 1 + static_cast<int>(action.a % quran::kChapterCount);
  std::string name = quran::WithoutMarks(quran::ChapterName(chapter));
  switch ((action.a >> 8) % 5) {
    case 0: {  // its first letters typed, with or without the article
      std::string typed = name;
      if ((action.a >> 12) % 2 && typed.starts_with("ال") && typed.size() > 2) typed.erase(0, 2);
      typed.resize(1 + (action.a >> 16) % typed.size());
      SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
      SetFocus(chapterField);
      for (char c : typed)
        SendMessageW(chapterField, WM_CHAR, Key(static_cast<unsigned char>(c)), 1);
      break;
    }
    case 1:  // a number, of a chapter or of none
      sw::SetText(sw::kReferenceChapter, std::to_string((action.a >> 12) % 130));
      break;
    case 2:  // picked from the list
      SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(chapter - 1), 0);
      SendMessageW(sw::Find(), WM_COMMAND, MAKEWPARAM(sw::kReferenceChapter, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
      break;
    case 3:
      sw::SetText(sw::kReferenceChapter, quran::kChapterLatinNames[chapter - 1]);
      break;
    default:
      sw::SetText(sw::kReferenceChapter, (action.a >> 12) % 2 ? "x" : "");
  }
  int verses = quran::kChapterVerseCounts[chapter - 1];
  auto verseText = [&](std::uint32_t pick) -> std::wstring {
    std::uint32_t n = pick >> 4;
    switch (pick % 7) {
      case 0:
        return L"";
      case 1:
        return std::to_wstring(1 + n % static_cast<std::uint32_t>(verses));
      case 2:  // Arabic-Indic digits
      {
        std::wstring digits = std::to_wstring(1 + n % static_cast<std::uint32_t>(verses));
        for (wchar_t& d : digits) d = static_cast<wchar_t>(d - L'0' + 0x0660);
        return digits;
      }
      case 3:
        return L"0";
      case 4:
        return std::to_wstring(verses + 1 + n % 5);
      case 5:
        return L"x";
      default:
        return L" " + std::to_wstring(1 + n % static_cast<std::uint32_t>(verses)) + L" ";
    }
  };
  std::wstring texts[2] = {verseText(action.b), verseText(action.b >> 16 | action.c << 16)};
  SetWindowTextW(sw::Item(sw::kReferenceFirst), texts[0].c_str());
  SetWindowTextW(sw::Item(sw::kReferenceLast), texts[1].c_str());

  // What the row asks for, read as a plain reference of the chapter's number.
  wchar_t written[256] = {};
  GetWindowTextW(combo, written, 256);
  std::string chapterText =
      quran::ReferenceText(std::u16string(written, written + wcslen(written)));
  int asked = quran::ChapterByName(chapterText);
  if (!asked) asked = quran::ChapterByPrefix(chapterText).chapter;
  bool refused = asked == 0;
  std::uint64_t bounds[2] = {0, 0};
  bool given[2] = {false, false};
  for (int k = 0; k < 2 && !refused; ++k) {
    std::string digits =
        quran::TrimBlanks(quran::ReferenceText(std::u16string(texts[k].begin(), texts[k].end())));
    given[k] = !digits.empty();
    for (char d : digits) {
      if (d < '0' || d > '9') refused = true;
      bounds[k] =
          std::min<std::uint64_t>(bounds[k] * 10 + static_cast<unsigned>(d - '0'), 1u << 30);
    }
  }
  std::vector<quran::VerseRange> ranges;
  if (!refused) {
    int count = quran::kChapterVerseCounts[asked - 1];
    std::uint64_t first = given[0] ? bounds[0] : 1;
    std::uint64_t last = given[1] ? bounds[1] : (given[0] ? first : count);
    if (first > last) std::swap(first, last);
    refused = first == 0 || last > static_cast<std::uint64_t>(count);
    if (!refused) ranges.push_back({asked, static_cast<int>(first), static_cast<int>(last)});
  }
  if (action.c % 3 == 0) {  // Enter in the row
    SetFocus(sw::Item(sw::kReferenceLast));
    PostMessageW(sw::Item(sw::kReferenceLast), WM_KEYDOWN, VK_RETURN, 0);
    wordhost::PumpMessages(50);
  } else {
    sw::Click(sw::kReferenceShow);
  }
  if (refused) {
    if (g_modals.size() != 1 || g_modals[0].caption != kReferenceCaption) {
      return "modal: the reference row refused with " + Show(g_modals);
    }
    g_modals.clear();
    return "";
  }
  std::vector<Modal> expected;
  PredictVerses(ranges, &expected);
  Inputs in;
  in.mode = sw::kWholeWord;
  return CheckSearch(in, expected);
}

std::string Player::State::PlayType(const Action& action) {
  if (!Usable(sw::kSearchText)) {
    note = "not possible now";
    return "";
  }
  unsigned kind = action.a % 10;
  if (kind == 9) {  // Enter runs the search
    Inputs in = ReadInputs();
    if (in.mode == 0) in.mode = sw::kWholeWord;
    g_answers.yes = action.b % 2;
    std::vector<Modal> expected;
    Predict(in, g_answers.yes, &expected);
    sw::Type(sw::kSearchText, L"\r");
    if (sw::Text(sw::kSearchText).find_first_of("\r\n") != in.field.find_first_of("\r\n")) {
      return "typing: Enter put a line break into the search field";
    }
    return CheckSearch(in, expected);
  }
  if (kind < 4) {  // a word of the text, typed letter by letter, often in place of what was there
    char text[quran::kVerseTextSize];
    if (!store.GetVerseText(action.b % quran::kVerseCount, text, sizeof text)) return "";
    std::string bare = quran::WithoutMarks(text);
    std::vector<std::string_view> words = quran::SplitWords(bare);
    if (words.empty()) return "";
    if (action.c % 2) {  // marked whole and erased
      SendMessageW(sw::Item(sw::kSearchText), EM_SETSEL, 0, -1);
      sw::Type(sw::kSearchText, L"\b");
    }
    std::wstring word = FromCodePage(words[(action.c >> 1) % words.size()]);
    if (!sw::Text(sw::kSearchText).empty()) word.insert(word.begin(), L' ');
    sw::Type(sw::kSearchText, word);
    return "";
  }
  for (std::uint32_t i = 0, n = 1 + action.c % 4; i < n; ++i) {
    std::string before = sw::Text(sw::kSearchText);
    std::uint32_t pick = action.b >> (i * 8);
    wchar_t key;
    bool refused = false;
    if (kind < 6) {
      key = Key(kAllowedKeys[pick % std::size(kAllowedKeys)]);
    } else if (kind < 8) {
      key = Key(kRefusedKeys[pick % std::size(kRefusedKeys)]);
      refused = true;
    } else {
      key = L'\b';
    }
    sw::Type(sw::kSearchText, std::wstring(1, key));
    if (refused && sw::Text(sw::kSearchText) != before) {
      return "typing: the refused key " + std::to_string(key) + " changed the search field";
    }
  }
  return "";
}

std::string Player::State::PlayTypeRoot(const Action& action) {
  if (!Usable(sw::kRootList)) {
    note = "not possible now";
    return "";
  }
  HWND field = GetWindow(sw::Item(sw::kRootList), GW_CHILD);
  if (!field) return "roots: the root list has no field";
  if (action.a % 5 == 0) {  // cleared
    SendMessageW(field, EM_SETSEL, 0, -1);
    SendMessageW(field, WM_CHAR, L'\b', 1);
    return "";
  }
  for (std::uint32_t i = 0, n = 1 + action.c % 3; i < n; ++i) {
    std::uint32_t pick = action.b >> (i * 8);
    // Letters only: random marks on them crash Wine's shaping, see WineSafe; marks
    // come into the fields with copied verses.
    wchar_t key = Key(kAllowedKeys[pick % (std::size(kAllowedKeys) - 1)]);
    SendMessageW(field, WM_CHAR, key, 1);
  }
  return "";
}

std::string Player::State::PlaySelect(const Action& action) {
  if (!model.visible || model.fresh) {
    note = "not possible now";
    return "";
  }
  HWND list = sw::Item(sw::kResultList);
  auto count = static_cast<std::uint32_t>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  switch (action.a % 6) {
    case 0:  // none
      SendMessageW(list, LB_SETSEL, FALSE, -1);
      break;
    case 1:  // one, clicked
      if (count == 0) break;
      SendMessageW(list, LB_SETSEL, FALSE, -1);
      SendMessageW(list, LB_SETSEL, TRUE, action.b % count);
      break;
    case 2:  // one more or less, with Ctrl
      if (count == 0) break;
      SendMessageW(list, LB_SETSEL, !SendMessageW(list, LB_GETSEL, action.b % count, 0),
                   action.b % count);
      break;
    case 3:    // a run, with Shift
    case 4: {  // a short run, as around a verse seen
      if (count == 0) break;
      std::uint32_t first = action.b % count;
      std::uint32_t last =
          action.a % 6 == 3 ? action.c % count : std::min(count - 1, first + action.c % 5);
      SendMessageW(list, LB_SETSEL, FALSE, -1);
      SendMessageW(list, LB_SELITEMRANGEEX, std::min(first, last), std::max(first, last));
      break;
    }
    default:  // all
      SendMessageW(list, LB_SETSEL, TRUE, -1);
  }
  SendMessageW(sw::Find(), WM_COMMAND, MAKEWPARAM(sw::kResultList, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  return "";
}

// The citations of listed verses, the one of them marked [start, end), as the
// style of the model makes them.
std::string Player::State::Cited(const std::vector<int>& verses, std::int32_t start,
                                 std::int32_t end, std::u16string* text, std::size_t* count,
                                 bool* noWord) {
  std::vector<std::string> texts;
  std::vector<quran::CitedVerse> cited;
  char buffer[quran::kVerseTextSize];
  for (int v : verses) {
    if (!store.GetVerseText(static_cast<std::uint32_t>(v), buffer, sizeof buffer)) {
      return "citation: verse " + std::to_string(v) + " has no text";
    }
    texts.emplace_back(buffer);
  }
  for (std::size_t i = 0; i < verses.size(); ++i) {
    const quran::VerseIndexRecord& r = store.VerseIndex[verses[i]];
    cited.push_back({r.chapter, r.verse, texts[i], start, end});
  }
  *noWord = cited.size() == 1 && !quran::MarkHoldsWords(cited[0]);
  if (*noWord) return "";
  std::vector<quran::Citation> citations = quran::BuildCitations(cited, model.style);
  // The document's rich edit control ends a paragraph with CR alone.
  for (const quran::Citation& c : citations) *text += c.text;
  for (std::size_t at; (at = text->find(u"\r\n")) != std::u16string::npos;) text->erase(at + 1, 1);
  *count = citations.size();
  return "";
}

std::string Player::State::PlayCopy(const Action& action, bool marked) {
  int button = marked ? sw::kCopyMarked : sw::kCopyVerses;
  if (!Usable(button)) {
    note = "not possible now";
    return "";
  }
  std::vector<int> selected = sw::SelectedItems();
  std::vector<int> verses;
  for (int item : selected) {
    if (item < 0 || static_cast<std::size_t>(item) >= model.listed.size()) {
      return "items: item " + std::to_string(item) + " is selected beyond the list";
    }
    verses.push_back(model.listed[static_cast<std::size_t>(item)]);
  }
  if (verses.size() > kMostCopied) {
    note = "skipped: " + std::to_string(verses.size()) + " verses selected";
    return "";
  }
  DWORD start = 0, end = 0;
  SendMessageW(sw::Item(sw::kVerseText), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  std::u16string citations;
  std::size_t count = 0;
  bool cites = marked ? verses.size() == 1 && start != end : !verses.empty();
  bool noWord = false;
  if (cites) {
    std::string failure = marked
                              ? Cited(verses, static_cast<std::int32_t>(start),
                                      static_cast<std::int32_t>(end), &citations, &count, &noWord)
                              : Cited(verses, 0, 0, &citations, &count, &noWord);
    if (!failure.empty()) return failure;
  }

  // Where the citations go: over the whole document, at its end or at its start.
  std::wstring document = wordhost::DocumentText();
  if (document.size() > 20000) {
    wordhost::SetDocumentText(L"\x0628\x0633\x0645");
    document = wordhost::DocumentText();
  }
  auto length = static_cast<int>(document.size());
  int where = static_cast<int>(action.a % 3);
  int from = where == 1 ? length : 0, to = where == 0 ? length : where == 1 ? length : 0;
  wordhost::SetSelection(from, to);

  bool held = action.c % 25 == 0;
  HANDLE heldEvent = nullptr, release = nullptr;
  PROCESS_INFORMATION holder = {};
  if (held) {
    heldEvent = CreateEventW(nullptr, TRUE, FALSE, L"QuranClipboardHeld");
    release = CreateEventW(nullptr, TRUE, FALSE, L"QuranClipboardRelease");
    ResetEvent(heldEvent);
    ResetEvent(release);
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string command(path, n);
    command = command.substr(0, command.find_last_of('\\') + 1) + "clipboard_holder.exe";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &holder) ||
        WaitForSingleObject(heldEvent, 20000) != WAIT_OBJECT_0) {
      held = false;
      note = "the clipboard could not be held";
    }
  }
  sw::Click(button);
  wordhost::PumpMessages();
  if (holder.hProcess) {
    SetEvent(release);
    WaitForSingleObject(holder.hProcess, 20000);
    CloseHandle(holder.hThread);
    CloseHandle(holder.hProcess);
  }
  if (heldEvent) CloseHandle(heldEvent);
  if (release) CloseHandle(release);

  std::vector<Modal> expected;
  std::wstring after = document.substr(0, static_cast<std::size_t>(from)) +
                       std::wstring(citations.begin(), citations.end()) +
                       document.substr(static_cast<std::size_t>(to));
  if (held) expected.assign(count, Box("   ", kClipboardRefused));
  if (noWord) expected.assign(1, Box(kProductCaption, kMarkHoldsNoWord));
  if (held || !cites || noWord) after = document;
  if (g_modals != expected) {
    return "modal: copying " + std::to_string(verses.size()) + " verses showed " + Show(g_modals) +
           ", not " + Show(expected);
  }
  g_modals.clear();
  std::wstring now = wordhost::DocumentText();
  if (now != after) {
    std::string shown = ToCodePage(
        now.substr(std::min<std::size_t>(static_cast<std::size_t>(from), now.size())), CP_UTF8);
    std::size_t differs = 0;
    while (differs < now.size() && differs < after.size() && now[differs] == after[differs])
      ++differs;
    return "citation: the document went from " + std::to_string(document.size()) + " to " +
           std::to_string(now.size()) + " characters, first differing at " +
           std::to_string(differs) + " (" +
           std::to_string(differs < now.size() ? now[differs] : 0) + " for " +
           std::to_string(differs < after.size() ? after[differs] : 0) + "); " +
           std::string(marked ? "the marked text" : std::to_string(verses.size()) + " verses") +
           (marked ? " [" + std::to_string(start) + ", " + std::to_string(end) + ")" : "") +
           " pasted \"" + shown.substr(0, 600) + "\", not \"" +
           quran::ToUtf8(citations).substr(0, 600) + "\"";
  }
  return "";
}

std::string Player::State::PlayHelp(const Action& action) {
  if (action.a % 2 && Usable(sw::kHelp)) {
    sw::Click(sw::kHelp);
  } else if (!wordhost::ClickMenuItem("&Quran", "&Help...")) {
    return "menu: no Quran > Help...";
  }
  HWND help = nullptr;
  for (int tries = 0; tries < 100 && !help; ++tries) {
    for (const wchar_t* viewer : {L"HH Parent", L"MS_WINHELP"}) {
      if (!help) help = FindWindowW(viewer, nullptr);
    }
    if (!help) wordhost::PumpMessages(100);
  }
  if (!help) return "help: no help window opened";
  wordhost::CloseOtherProgram(help);
  wordhost::PumpMessages();
  if (!g_modals.empty()) return "modal: help showed " + Show(g_modals);
  return "";
}

std::string Player::State::PlayReopen(const Action& action) {
  // What the window being destroyed saves.
  if (model.fresh) {
    model.savedMode = StartMode();
  } else {
    model.savedMode = model.mode;
    model.savedLoose = model.loose;
    model.savedAllWords = model.allWords;
  }
  model.modeSaved = true;
  unsigned how = action.a % 3;
  if (how == 1) {  // unloaded and loaded again, as Word does between sessions
    wordhost::UnloadAddin();
    ++reloads;
    std::string error;
    if (!wordhost::LoadAddin(addinPath.c_str(), 1, &error)) return "reopen: " + error;
  } else {
    HMODULE addin = GetModuleHandleA(kAddin);
    auto remove = reinterpret_cast<void(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(addin, "wdAutoRemove")));
    auto open = reinterpret_cast<std::int16_t(WINAPI*)(std::int16_t)>(
        reinterpret_cast<void*>(GetProcAddress(addin, "wdAutoOpen")));
    if (!remove || !open) return "reopen: the add-in is not loaded";
    remove();
    wordhost::PumpMessages();
    if (sw::Find()) return "reopen: wdAutoRemove left the window";
    if (how == 2) {  // a mode no window could have saved
      const std::int32_t modes[] = {0, 999, 1004, -1, 5000};
      std::int32_t mode = modes[action.b % std::size(modes)];
      HKEY key;
      if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Options", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&mode), 4);
        RegCloseKey(key);
        model.savedMode = mode;
      }
    }
    if (open(1) != 1) return "reopen: wdAutoOpen did not answer 1";
  }
  wordhost::PumpMessages();
  for (const Modal& m : g_modals) {
    if (m.kind != "splash") return "modal: reopening showed " + Show(g_modals);
  }
  g_modals.clear();
  model.fresh = true;
  model.visible = false;
  return "";
}

// The window's state against the model, after every action.
std::string Player::State::Check() {
  if (!g_modals.empty()) return "modal: unexpected " + Show(g_modals);
  // No box may stay open: every top-level dialog of this thread but the window.
  struct Finder {
    static BOOL CALLBACK Find(HWND window, LPARAM found) {
      wchar_t name[16] = {};
      GetClassNameW(window, name, 16);
      if (IsWindowVisible(window) && std::wcscmp(name, L"#32770") == 0 &&
          !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
        *reinterpret_cast<HWND*>(found) = window;
      }
      return TRUE;
    }
  };
  HWND open = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), Finder::Find, reinterpret_cast<LPARAM>(&open));
  if (open) return "modal: a window stays open: " + quran::WindowText1256(open);
  HWND window = sw::Find();
  if (!window) return model.fresh ? "" : "window: the search window is gone";
  if (model.fresh) return "";
  if ((IsWindowVisible(window) != FALSE) != model.visible) {
    return model.visible ? "window: hidden" : "window: shown";
  }
  for (int id = sw::kPartOfText; id <= sw::kDerivatives; ++id) {
    if (sw::Checked(id) != (model.mode == id)) {
      return "mode: button " + std::to_string(id) + (sw::Checked(id) ? " checked" : " unchecked") +
             ", the mode is " + std::to_string(model.mode);
    }
  }
  auto expectEnabled = [](int id, bool enabled) -> std::string {
    if (sw::Enabled(id) == enabled) return "";
    return "enabled: control " + std::to_string(id) + (enabled ? " disabled" : " enabled");
  };
  std::vector<int> selected = sw::SelectedItems();
  bool one = selected.size() == 1;
  for (const std::string& failure :
       {expectEnabled(sw::kSearchText, model.mode != sw::kRoots),
        expectEnabled(sw::kRootList, model.mode == sw::kRoots),
        expectEnabled(sw::kCopyVerses, model.found), expectEnabled(sw::kResultsOnly, model.found),
        expectEnabled(sw::kCopyMarked, one), expectEnabled(sw::kLooseSearch, true),
        expectEnabled(sw::kStartSearch, true), expectEnabled(sw::kChooseFont, true),
        expectEnabled(sw::kCitationSettings, true), expectEnabled(sw::kHelp, true),
        expectEnabled(sw::kReferenceChapter, true), expectEnabled(sw::kReferenceFirst, true),
        expectEnabled(sw::kReferenceLast, true), expectEnabled(sw::kReferenceShow, true)}) {
    if (!failure.empty()) return failure;
  }
  if (sw::Checked(sw::kResultsOnly) != model.resultsOnly) return "checked: within the results";
  if (sw::Checked(sw::kLooseSearch) != model.loose) return "checked: the forgiving search";
  if (sw::Checked(kAllWordsBox) != model.allWords) return "checked: all the words";
  std::vector<int> verses = sw::ItemVerses();
  if (verses != model.listed) {
    return "counts: the list holds " + std::to_string(verses.size()) + " verses, not the " +
           std::to_string(model.listed.size()) + " found";
  }
  if (sw::Text(sw::kOccurrenceCount) != model.occurrences ||
      sw::Text(sw::kVerseCount) != model.verses) {
    return "counts: " + sw::Text(sw::kOccurrenceCount) + " occurrences in " +
           sw::Text(sw::kVerseCount) + " verses shown, the store found " + model.occurrences +
           " in " + model.verses;
  }
  if (model.found && sw::Text(sw::kCopyVerses) != (one ? kCopyOne : kCopyMany)) {
    return "caption: the copy button reads " + sw::Text(sw::kCopyVerses) + " for " +
           std::to_string(selected.size()) + " selected";
  }
  std::string shown;
  if (one) {
    char text[quran::kVerseTextSize];
    auto verse = static_cast<std::uint32_t>(model.listed[static_cast<std::size_t>(selected[0])]);
    if (store.GetVerseText(verse, text, sizeof text)) shown = Trimmed(text);
  }
  if (sw::Text(sw::kVerseText) != shown) {
    return "verse: the verse text does not match the " + std::to_string(selected.size()) +
           " selected";
  }
  return "";
}

}  // namespace window_fuzz
