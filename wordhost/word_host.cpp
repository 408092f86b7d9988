// The stand-in Word's window, menus, document and add-in.
#include "word_host.h"

#include <richedit.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace wordhost {
namespace {

// Word's own main-window class, by which installers tell that Word is running.
const wchar_t kWindowClass[] = L"OpusApp";
// The first id of the items add-ins add; ids of the host's own menus stay below.
const UINT kFirstAddinItemId = 5000;
const UINT kExitId = 100;

const wchar_t kSampleText[] =
    L"\x0628\x0633\x0645 \x0627\x0644\x0644\x0647 \x0627\x0644\x0631\x062D\x0645\x0646 "
    L"\x0627\x0644\x0631\x062D\x064A\x0645\r"
    L"\x0642\x0644 \x0647\x0648 \x0627\x0644\x0644\x0647 \x0623\x062D\x062F";

struct Menu {
  const wchar_t* caption;
  std::vector<const wchar_t*> items;
};
// Word's nine menus, so that add-in menus land at positions 10 and on.
const Menu kUsualMenus[] = {
    {L"&File", {L"&New", L"&Open...", L"&Save", L"E&xit"}},
    {L"&Edit", {L"&Undo", L"Cu&t", L"&Copy", L"&Paste"}},
    {L"&View", {L"&Normal", L"&Print Layout"}},
    {L"&Insert", {L"&Break...", L"&Symbol..."}},
    {L"F&ormat", {L"&Font...", L"&Paragraph..."}},
    {L"&Tools", {L"&Macro", L"&Options..."}},
    {L"T&able", {L"&Insert Table..."}},
    {L"&Window", {L"&New Window"}},
    {L"&Help", {L"&About"}},
};

struct AddinItem {
  HMENU menu;
  UINT id;
  std::string macro;
};

// What an add-in asked for, so that a new main window gets the same menus.
struct MenuRequest {
  std::string caption;
  int position;
};
struct ItemRequest {
  std::string menuCaption, macro, itemCaption;
};

struct State {
  HWND main = nullptr;
  HWND document = nullptr;
  HMODULE addin = nullptr;
  std::vector<std::string> macros;
  std::vector<HMENU> addedMenus;
  std::vector<AddinItem> addedItems;
  std::vector<MenuRequest> menuRequests;
  std::vector<ItemRequest> itemRequests;
  UINT nextItemId = kFirstAddinItemId;
  std::vector<std::string> log;
  FILE* logFile = nullptr;
  // Set while the main window is being replaced: its end is not the host's end.
  bool replacing = false;
  int autoOpenAnswer = -1;
  HHOOK modalHook = nullptr;
  int modalAnswer = IDOK;
  ModalAction modalAction = nullptr;
  std::vector<ModalWindow> modalWindows;
};
State g_state;

std::wstring MenuString(HMENU menu, int index) {
  wchar_t caption[256] = {};
  GetMenuStringW(menu, index, caption, 256, MF_BYPOSITION);
  return caption;
}

HMENU FindMenu(const std::string& caption) {
  HMENU bar = GetMenu(g_state.main);
  std::wstring wanted = FromCodePage(caption);
  for (int i = 0; i < GetMenuItemCount(bar); ++i) {
    if (MenuString(bar, i) == wanted) return GetSubMenu(bar, i);
  }
  return nullptr;
}

HMENU CreateMenuBar() {
  HMENU bar = CreateMenu();
  for (const Menu& menu : kUsualMenus) {
    HMENU popup = CreatePopupMenu();
    for (const wchar_t* item : menu.items) {
      UINT id = std::wcscmp(item, L"E&xit") == 0 ? kExitId : 0;
      AppendMenuW(popup, MF_STRING | (id ? 0 : MF_GRAYED), id, item);
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), menu.caption);
  }
  return bar;
}

void SetupDocument(HWND document) {
  SendMessageW(document, EM_SETTEXTMODE, TM_RICHTEXT, 0);
  CHARFORMAT2W format = {};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET;
  format.yHeight = 24 * 20;
  format.bCharSet = ARABIC_CHARSET;
  // A naskh face with the digits and brackets of citations, installed with the prefix.
  std::wcscpy(format.szFaceName, L"Amiri");
  SendMessageW(document, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  SendMessageW(document, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  SetDocumentText(kSampleText);
  SetSelection(4, 8);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (g_state.document) {
        MoveWindow(g_state.document, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      }
      return 0;
    case WM_COMMAND: {
      UINT id = LOWORD(wParam);
      if (id == kExitId) {
        DestroyWindow(window);
        return 0;
      }
      for (const AddinItem& item : g_state.addedItems) {
        if (item.id != id) continue;
        std::string error;
        std::string macro = item.macro;
        if (!RunMacro(macro, &error)) MessageBoxA(window, error.c_str(), "Word", MB_OK);
        return 0;
      }
      break;
    }
    case WM_DESTROY:
      if (g_state.replacing) return 0;
      UnloadAddin();
      g_state.main = g_state.document = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Paragraph settings apply to the paragraphs present, so they follow each text change.
void MakeRightToLeft() {
  PARAFORMAT2 paragraph = {};
  paragraph.cbSize = sizeof(paragraph);
  paragraph.dwMask = PFM_RTLPARA | PFM_ALIGNMENT;
  paragraph.wEffects = PFE_RTLPARA;
  paragraph.wAlignment = PFA_RIGHT;
  SendMessageW(g_state.document, EM_SETSEL, 0, -1);
  SendMessageW(g_state.document, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
}

// A modal window of the add-in (a message box, a dialog run modally) would hold
// whoever drives the host: each one is recorded and answered as it activates.
// The search window is a tool window and is left alone.
LRESULT CALLBACK WatchModalWindows(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    bool dialog = std::wcscmp(className, L"#32770") == 0;
    bool tool = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
    bool seen = false;
    for (const ModalWindow& earlier : g_state.modalWindows) seen = seen || earlier.window == window;
    if (dialog && !tool && !seen) {
      // A message box's text is its static control 0xFFFF.
      HWND text = GetDlgItem(window, 0xFFFF);
      ModalWindow record = {quran::WindowText1256(window),
                            text ? quran::WindowText1256(text) : std::string(), window};
      {
        g_state.modalWindows.push_back(record);
        AppendLog("window \"" + record.caption + "\": " + record.text);
        if (g_state.modalAction) {
          g_state.modalAction(window);
        } else {
          PostMessageW(window, WM_COMMAND, MAKEWPARAM(g_state.modalAnswer, BN_CLICKED), 0);
        }
      }
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool RegisterWindowClass() {
  WNDCLASSW windowClass = {};
  if (GetClassInfoW(GetModuleHandleW(nullptr), kWindowClass, &windowClass)) return true;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassW(&windowClass) != 0;
}

// A main window with its menus and an empty document; false when either failed.
bool CreateMainWindow(HWND* main, HWND* document) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  *main = CreateWindowExW(0, kWindowClass, L"Document1 - Word (stand-in host)", WS_OVERLAPPEDWINDOW,
                          40, 40, 760, 420, nullptr, CreateMenuBar(), instance, nullptr);
  if (!*main) return false;
  RECT client;
  GetClientRect(*main, &client);
  *document = CreateWindowExW(
      WS_EX_CLIENTEDGE | WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR, RICHEDIT_CLASSW, L"",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL, 0, 0,
      client.right, client.bottom, *main, nullptr, instance, nullptr);
  if (!*document) {
    DestroyWindow(*main);
    return false;
  }
  return true;
}

void Show(bool visible) {
  if (!visible) return;
  ShowWindow(g_state.main, SW_SHOW);
  UpdateWindow(g_state.main);
  SetFocus(g_state.document);
}

bool PutClipboardData(UINT format, const void* data, std::size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return false;
  std::memcpy(GlobalLock(memory), data, size);
  GlobalUnlock(memory);
  if (SetClipboardData(format, memory)) return true;
  GlobalFree(memory);
  return false;
}

}  // namespace

bool Start(bool visible) {
  if (g_state.main) return true;
  if (!LoadLibraryW(L"riched20.dll") || !RegisterWindowClass()) return false;
  // Word holds these itself, so an add-in's unloading never unloads them; Wine's
  // comdlg32 loses a mutex each time it is unloaded.
  LoadLibraryW(L"comdlg32.dll");
  LoadLibraryW(L"shell32.dll");
  if (!CreateMainWindow(&g_state.main, &g_state.document)) return false;
  g_state.modalHook = SetWindowsHookExW(WH_CBT, WatchModalWindows, nullptr, GetCurrentThreadId());
  SetupDocument(g_state.document);
  Show(visible);
  PumpMessages();
  return true;
}

bool ReplaceMainWindow() {
  if (!g_state.main) return false;
  HWND main = nullptr, document = nullptr;
  // The new window exists before the old one goes, so the two handles differ.
  if (!CreateMainWindow(&main, &document)) return false;
  std::wstring text = DocumentText();
  CHARRANGE selection = {};
  SendMessageW(g_state.document, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  bool visible = IsWindowVisible(g_state.main) != FALSE;
  g_state.replacing = true;
  DestroyWindow(g_state.main);
  g_state.replacing = false;
  g_state.main = main;
  g_state.document = document;
  g_state.addedMenus.clear();
  g_state.addedItems.clear();
  SetupDocument(document);
  SetDocumentText(text);
  SendMessageW(document, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  std::vector<MenuRequest> menus = std::move(g_state.menuRequests);
  std::vector<ItemRequest> items = std::move(g_state.itemRequests);
  for (const MenuRequest& menu : menus) AddMenu(menu.caption.c_str(), menu.position);
  for (const ItemRequest& item : items) {
    AddMenuItem(item.menuCaption.c_str(), item.macro.c_str(), item.itemCaption.c_str());
  }
  Show(visible);
  PumpMessages();
  return true;
}

void Stop() {
  if (g_state.main) DestroyWindow(g_state.main);
  UnloadAddin();
  PumpMessages();
  if (g_state.modalHook) UnhookWindowsHookEx(g_state.modalHook);
  FILE* logFile = g_state.logFile;
  g_state = State{};
  g_state.logFile = logFile;
}

std::vector<ModalWindow> ModalWindows() {
  return g_state.modalWindows;
}

void ClearModalWindows() {
  g_state.modalWindows.clear();
}

void SetModalAnswer(int command) {
  g_state.modalAnswer = command;
}

void SetModalAction(ModalAction action) {
  g_state.modalAction = action;
}

int AutoOpenAnswer() {
  return g_state.autoOpenAnswer;
}

HWND MainWindow() {
  return g_state.main;
}
HWND DocumentWindow() {
  return g_state.document;
}

void CloseOtherProgram(HWND window) {
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  HANDLE process = id ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id) : nullptr;
  PostMessageW(window, WM_CLOSE, 0, 0);
  for (int tries = 0; tries < 50 && IsWindow(window); ++tries) PumpMessages(100);
  if (!process) return;
  if (WaitForSingleObject(process, 3000) == WAIT_TIMEOUT) TerminateProcess(process, 1);
  CloseHandle(process);
}

void PumpMessages(int milliseconds) {
  DWORD until = GetTickCount() + milliseconds;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (milliseconds > 0) Sleep(10);
  } while (static_cast<int>(until - GetTickCount()) > 0);
}

bool LoadAddin(const char* path, std::int16_t documentId, std::string* error) {
  UnloadAddin();
  HMODULE addin = LoadLibraryA(path);
  if (!addin) {
    *error = std::string("cannot load the add-in ") + path;
    return false;
  }
  auto open = reinterpret_cast<std::int16_t(WINAPI*)(std::int16_t)>(
      reinterpret_cast<void*>(GetProcAddress(addin, "wdAutoOpen")));
  if (!open) {
    FreeLibrary(addin);
    *error = std::string(path) + " exports no wdAutoOpen";
    return false;
  }
  g_state.addin = addin;
  g_state.autoOpenAnswer = open(documentId);
  AppendLog("wdAutoOpen " + std::to_string(documentId) + " => " +
            std::to_string(g_state.autoOpenAnswer));
  return true;
}

std::string StartupAddin() {
  // Word's own startup folder, beside winword.exe, serves every user of the machine;
  // then the user's. Word loads the add-ins of both; this stand-in takes the first.
  std::vector<std::string> folders;
  char program[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    std::string path(program, n);
    folders.push_back(path.substr(0, path.find_last_of('\\') + 1) + "STARTUP\\");
  }
  char appData[MAX_PATH];
  if (SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData) == S_OK) {
    folders.push_back(std::string(appData) + "\\Microsoft\\Word\\STARTUP\\");
  }
  for (const std::string& startup : folders) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((startup + "*.wll").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    FindClose(search);
    return startup + found.cFileName;
  }
  return "";
}

void UnloadAddin() {
  if (!g_state.addin) return;
  if (auto remove = reinterpret_cast<void(WINAPI*)()>(
          reinterpret_cast<void*>(GetProcAddress(g_state.addin, "wdAutoRemove")))) {
    remove();
  }
  FreeAddin();
}

void FreeAddin() {
  if (!g_state.addin) return;
  HMODULE addin = g_state.addin;
  g_state.addin = nullptr;
  g_state.macros.clear();
  FreeLibrary(addin);
}

bool RunMacro(const std::string& name, std::string* error) {
  bool registered = false;
  for (const std::string& macro : g_state.macros) registered = registered || macro == name;
  if (!registered) {
    *error = "no macro named " + name;
    return false;
  }
  auto macro = g_state.addin ? reinterpret_cast<void(WINAPI*)()>(reinterpret_cast<void*>(
                                   GetProcAddress(g_state.addin, name.c_str())))
                             : nullptr;
  if (!macro) {
    *error = "the add-in exports no " + name;
    return false;
  }
  macro();
  return true;
}

std::vector<std::string> RegisteredMacros() {
  return g_state.macros;
}

void SetDocumentText(const std::wstring& text) {
  SetWindowTextW(g_state.document, text.c_str());
  MakeRightToLeft();
  SetSelection(0, 0);
}

std::wstring DocumentText() {
  GETTEXTLENGTHEX lengthQuery = {GTL_NUMCHARS, 1200};
  auto length =
      SendMessageW(g_state.document, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0);
  std::wstring text(length + 1, L'\0');
  GETTEXTEX query = {};
  query.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  query.codepage = 1200;
  auto got = SendMessageW(g_state.document, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query),
                          reinterpret_cast<LPARAM>(text.data()));
  text.resize(got);
  return text;
}

void SetSelection(int start, int end) {
  CHARRANGE range = {start, end};
  SendMessageW(g_state.document, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

std::wstring SelectedText() {
  CHARRANGE range = {};
  SendMessageW(g_state.document, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  std::wstring text(range.cpMax - range.cpMin + 1, L'\0');
  auto got =
      SendMessageW(g_state.document, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
  text.resize(got);
  return text;
}

std::vector<std::string> MenuBarCaptions() {
  std::vector<std::string> captions;
  HMENU bar = GetMenu(g_state.main);
  for (int i = 0; i < GetMenuItemCount(bar); ++i)
    captions.push_back(ToCodePage(MenuString(bar, i)));
  return captions;
}

std::vector<std::string> MenuItemCaptions(const std::string& menuCaption) {
  std::vector<std::string> captions;
  HMENU menu = FindMenu(menuCaption);
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
    captions.push_back(ToCodePage(MenuString(menu, i)));
  }
  return captions;
}

bool ClickMenuItem(const std::string& menuCaption, const std::string& itemCaption) {
  HMENU menu = FindMenu(menuCaption);
  std::wstring wanted = FromCodePage(itemCaption);
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
    if (MenuString(menu, i) != wanted) continue;
    SendMessageW(g_state.main, WM_COMMAND, MAKEWPARAM(GetMenuItemID(menu, i), 0), 0);
    return true;
  }
  return false;
}

const std::vector<std::string>& CommandLog() {
  return g_state.log;
}
void ClearCommandLog() {
  g_state.log.clear();
}
void SetLogFile(FILE* file) {
  g_state.logFile = file;
}

void AppendLog(const std::string& line) {
  g_state.log.push_back(line);
  if (g_state.logFile) {
    std::string utf8 = ToCodePage(FromCodePage(line), CP_UTF8);
    std::fprintf(g_state.logFile, "%s\n", utf8.c_str());
    std::fflush(g_state.logFile);
  }
}

// Like Word: the text as Unicode and in the system's ANSI code page.
std::int32_t CopySelectionToClipboard() {
  std::wstring text = SelectedText();
  if (text.empty()) return 1;
  if (!OpenClipboard(g_state.main)) return 2;
  EmptyClipboard();
  std::string ansi = ToCodePage(text, CP_ACP);
  bool put = PutClipboardData(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t)) &&
             PutClipboardData(CF_TEXT, ansi.c_str(), ansi.size() + 1);
  CloseClipboard();
  return put ? 0 : 2;
}

namespace {

// The clipboard's Rich Text Format, or "" when it has none. The clipboard must be open.
std::string ClipboardRtf() {
  HANDLE data = GetClipboardData(RegisterClipboardFormatW(L"Rich Text Format"));
  const char* bytes = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  if (!bytes) return "";
  std::string rtf(bytes, strnlen(bytes, GlobalSize(data)));
  GlobalUnlock(data);
  return rtf;
}

std::wstring DocumentRange(LONG start, LONG end) {
  std::wstring text(static_cast<std::size_t>(std::max(end - start, 0L)) + 1, L'\0');
  TEXTRANGEW range = {{start, end}, text.data()};
  auto got = SendMessageW(g_state.document, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  text.resize(static_cast<std::size_t>(got));
  return text;
}

}  // namespace

// Like Word's EditPaste: what the clipboard holds replaces the selection, in the
// formatting of its Rich Text Format when it has one, read by the control itself.
std::int32_t PasteClipboard(std::wstring* pasted) {
  if (!OpenClipboard(g_state.main)) return 2;
  std::string rtf = ClipboardRtf();
  bool found = !rtf.empty() || quran::ClipboardUnicode(pasted);
  CloseClipboard();
  if (!found) return 1;
  if (rtf.empty()) {
    SendMessageW(g_state.document, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted->c_str()));
    return 0;
  }
  CHARRANGE before = {}, after = {};
  SendMessageW(g_state.document, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&before));
  SETTEXTEX how = {ST_SELECTION | ST_KEEPUNDO, CP_ACP};
  SendMessageW(g_state.document, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
               reinterpret_cast<LPARAM>(rtf.c_str()));
  // The caret ends after what was read: the pasted text is the document's, as shown.
  SendMessageW(g_state.document, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&after));
  *pasted = DocumentRange(before.cpMin, after.cpMax);
  return 0;
}

std::int32_t RegisterMacroName(const char* name) {
  if (!*name) return 1;
  for (const std::string& macro : g_state.macros) {
    if (macro == name) return 0;
  }
  g_state.macros.push_back(name);
  return 0;
}

std::int32_t AddMenu(const char* caption, int position) {
  g_state.menuRequests.push_back({caption, position});
  HMENU bar = GetMenu(g_state.main);
  HMENU popup = CreatePopupMenu();
  UINT before = position > 0 ? static_cast<UINT>(position - 1) : static_cast<UINT>(-1);
  InsertMenuW(bar, before, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
              FromCodePage(caption).c_str());
  g_state.addedMenus.push_back(popup);
  DrawMenuBar(g_state.main);
  return 0;
}

std::int32_t AddMenuItem(const char* menuCaption, const char* macro, const char* itemCaption) {
  HMENU menu = FindMenu(menuCaption);
  if (!menu) return 1;
  g_state.itemRequests.push_back({menuCaption, macro, itemCaption});
  UINT id = g_state.nextItemId++;
  AppendMenuW(menu, MF_STRING, id, FromCodePage(itemCaption).c_str());
  g_state.addedItems.push_back({menu, id, macro});
  return 0;
}

std::int32_t RemoveAddinMenus() {
  for (const AddinItem& item : g_state.addedItems) DeleteMenu(item.menu, item.id, MF_BYCOMMAND);
  g_state.addedItems.clear();
  HMENU bar = GetMenu(g_state.main);
  for (HMENU popup : g_state.addedMenus) {
    for (int i = GetMenuItemCount(bar) - 1; i >= 0; --i) {
      if (GetSubMenu(bar, i) == popup) DeleteMenu(bar, i, MF_BYPOSITION);
    }
  }
  g_state.addedMenus.clear();
  g_state.menuRequests.clear();
  g_state.itemRequests.clear();
  DrawMenuBar(g_state.main);
  return 0;
}

std::int32_t ReadMenuBarCaption(int bar, int position, char* buffer, std::uint16_t size) {
  HMENU menuBar = GetMenu(g_state.main);
  if (bar != 0 || position < 1 || position > GetMenuItemCount(menuBar)) return 1;
  std::string caption = ToCodePage(MenuString(menuBar, position - 1));
  std::size_t length = std::min<std::size_t>(caption.size(), size - 1);
  std::memcpy(buffer, caption.data(), length);
  buffer[length] = '\0';
  return 0;
}

}  // namespace wordhost
