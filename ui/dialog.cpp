#include "dialog.h"

#include <vector>

#include "win_text.h"

namespace quran {
namespace {

const wchar_t kControlProperty[] = L"QuranControl";

// The host's message loop knows nothing of our modeless windows, so Tab, Escape,
// Enter and the Alt mnemonics would never reach them as dialog keys: a hook on the
// thread's message queue hands each keyboard message to IsDialogMessage first.
HHOOK g_keyboardHook = nullptr;
std::vector<HWND> g_modelessWindows;

LRESULT CALLBACK RouteDialogKeys(int code, WPARAM removed, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && message->message >= WM_KEYFIRST &&
      message->message <= WM_KEYLAST) {
    for (HWND window : g_modelessWindows) {
      if ((message->hwnd == window || IsChild(window, message->hwnd)) &&
          IsDialogMessageW(window, message)) {
        message->message = WM_NULL;
        break;
      }
    }
  }
  return CallNextHookEx(g_keyboardHook, code, removed, lParam);
}

void RouteKeysTo(HWND window) {
  g_modelessWindows.push_back(window);
  if (!g_keyboardHook) {
    g_keyboardHook =
        SetWindowsHookExW(WH_GETMESSAGE, RouteDialogKeys, nullptr, GetCurrentThreadId());
  }
}

void StopRoutingKeysTo(HWND window) {
  std::erase(g_modelessWindows, window);
  if (g_modelessWindows.empty() && g_keyboardHook) {
    UnhookWindowsHookEx(g_keyboardHook);
    g_keyboardHook = nullptr;
  }
}

}  // namespace

HINSTANCE ResourceModule() {
  HMODULE module = nullptr;
  // The module that holds this code, so that the add-in finds its own templates
  // inside the host's process.
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ResourceModule), &module);
  return module;
}

// --- Controls ---

Control::~Control() = default;

void Control::Attach(HWND window) {
  window_ = window;
}

void Control::Detach() {
  window_ = nullptr;
}

void Control::Enable(bool enable) const {
  EnableWindow(window_, enable ? TRUE : FALSE);
}

bool Control::IsEnabled() const {
  return IsWindowEnabled(window_) != FALSE;
}

std::string Control::Text() const {
  return WindowText1256(window_);
}

void Control::SetText(std::string_view text) const {
  SetWindowText1256(window_, text);
  // An edit repaints only its lines: vowel marks above them and the old digits of
  // a centred number would stay on the screen.
  InvalidateRect(window_, nullptr, TRUE);
}

void Control::SetUnicodeText(std::u16string_view text) const {
  std::wstring wide(text.begin(), text.end());
  SetWindowTextW(window_, wide.c_str());
  InvalidateRect(window_, nullptr, TRUE);
}

std::u16string Control::UnicodeText() const {
  std::wstring wide(static_cast<std::size_t>(GetWindowTextLengthW(window_)) + 1, L'\0');
  wide.resize(static_cast<std::size_t>(
      GetWindowTextW(window_, wide.data(), static_cast<int>(wide.size()))));
  return {wide.begin(), wide.end()};
}

LRESULT Control::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return SendMessageW(window_, message, wParam, lParam);
}

SubclassedControl::~SubclassedControl() {
  Unsubclass();
}

void SubclassedControl::Attach(HWND window) {
  Unsubclass();
  Control::Attach(window);
  if (!window) return;
  SetPropW(window, kControlProperty, this);
  classProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassedControl::Proc)));
}

void SubclassedControl::Unsubclass() {
  if (window_ && classProc_ && IsWindow(window_)) {
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProc_));
    RemovePropW(window_, kControlProperty);
  }
  classProc_ = nullptr;
  window_ = nullptr;
}

LRESULT SubclassedControl::CallClass(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(classProc_, window_, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedControl::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<SubclassedControl*>(GetPropW(window, kControlProperty));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    WNDPROC classProc = self->classProc_;
    self->Unsubclass();
    return CallWindowProcW(classProc, window, message, wParam, lParam);
  }
  try {
    if (self->ProcessMessage(message, wParam, lParam)) return 0;
  } catch (...) {
    // Nothing may escape into the host's message loop.
    return 0;
  }
  return self->CallClass(message, wParam, lParam);
}

bool ButtonControl::IsChecked() const {
  return Send(BM_GETCHECK) == BST_CHECKED;
}

void ButtonControl::SetCheck(bool checked) const {
  Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

int ComboBoxControl::AddString(std::string_view text) const {
  std::wstring wide = FromCodePage(text);
  return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

int ComboBoxControl::Count() const {
  return static_cast<int>(Send(CB_GETCOUNT));
}

void ComboBoxControl::ShowDropDown(bool show) const {
  Send(CB_SHOWDROPDOWN, show ? TRUE : FALSE);
}

bool ComboBoxControl::IsDroppedDown() const {
  return Send(CB_GETDROPPEDSTATE) != 0;
}

bool ComboBoxControl::ShowsSelectedItem() const {
  auto index = Send(CB_GETCURSEL);
  if (index == CB_ERR) return false;
  auto length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (length == CB_ERR) return false;
  std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
  Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.data()));
  item.resize(static_cast<std::size_t>(length));
  return FromCodePage(Text()) == item;
}

void ListBoxControl::ResetContent() const {
  Send(LB_RESETCONTENT);
}

void ListBoxControl::InitStorage(int count, int textBytes) const {
  Send(LB_INITSTORAGE, static_cast<WPARAM>(count), static_cast<LPARAM>(textBytes));
}

int ListBoxControl::AddString(std::string_view text) const {
  std::wstring wide = FromCodePage(text);
  return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

void ListBoxControl::SetItemData(int index, LPARAM data) const {
  Send(LB_SETITEMDATA, static_cast<WPARAM>(index), data);
}

LPARAM ListBoxControl::ItemData(int index) const {
  return static_cast<LPARAM>(Send(LB_GETITEMDATA, static_cast<WPARAM>(index)));
}

int ListBoxControl::Count() const {
  return static_cast<int>(Send(LB_GETCOUNT));
}

int ListBoxControl::SelectedCount() const {
  return static_cast<int>(Send(LB_GETSELCOUNT));
}

int ListBoxControl::SelectedItems(int* indexes, int capacity) const {
  return static_cast<int>(
      Send(LB_GETSELITEMS, static_cast<WPARAM>(capacity), reinterpret_cast<LPARAM>(indexes)));
}

void ListBoxControl::SetSelected(int index, bool selected) const {
  Send(LB_SETSEL, selected ? TRUE : FALSE, index);
}

void ListBoxControl::SetRedraw(bool redraw) const {
  Send(WM_SETREDRAW, redraw ? TRUE : FALSE);
  if (redraw) InvalidateRect(window_, nullptr, TRUE);
}

// --- Dialog ---

Dialog::Dialog(int templateId) : templateId_(templateId) {}

Dialog::~Dialog() {
  // The owner destroys the window first; a window left over must not call into a
  // deleted object, so its procedure is cut off here and the routing it would have
  // ended on WM_NCDESTROY ends now: a hook left in the host's thread would call
  // into an unloaded library.
  if (HWND window = window_) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    window_ = nullptr;
    StopRoutingKeysTo(window);
    ::DestroyWindow(window);
  }
}

bool Dialog::Create(HWND parent) {
  if (window_) return true;
  modal_ = false;
  HWND window = CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), parent,
                                   &Dialog::Proc, reinterpret_cast<LPARAM>(this));
  if (!window || !window_) return false;
  RouteKeysTo(window_);
  return true;
}

INT_PTR Dialog::DoModal(HWND parent) {
  modal_ = true;
  INT_PTR result = DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), parent,
                                   &Dialog::Proc, reinterpret_cast<LPARAM>(this));
  modal_ = false;
  return result;
}

bool Dialog::DestroyWindow() {
  return window_ && ::DestroyWindow(window_) != FALSE;
}

HWND Dialog::Item(int id) const {
  return GetDlgItem(window_, id);
}

bool Dialog::OnInitDialog() {
  BindControls();
  return true;
}

void Dialog::OnOK() {
  EndDialog(IDOK);
}

void Dialog::OnCancel() {
  EndDialog(IDCANCEL);
}

bool Dialog::ProcessMessage(UINT, WPARAM, LPARAM) {
  return false;
}

void Dialog::Bind(int id, Control& control) {
  control.Attach(Item(id));
}

void Dialog::EndDialog(INT_PTR result) {
  if (modal_) {
    ::EndDialog(window_, result);
  } else {
    ::DestroyWindow(window_);
  }
}

INT_PTR CALLBACK Dialog::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    self->window_ = window;
  }
  if (!self) return FALSE;
  INT_PTR result = FALSE;
  try {
    result = self->Handle(message, wParam, lParam);
  } catch (...) {
    // Nothing may escape into the host's message loop.
    result = FALSE;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    self->window_ = nullptr;
    StopRoutingKeysTo(window);
  }
  return result;
}

INT_PTR Dialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    // The window may be gone when start-up destroyed it.
    return OnInitDialog() ? TRUE : FALSE;
  }
  if (ProcessMessage(message, wParam, lParam)) return TRUE;
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) return OnOK(), TRUE;
    if (LOWORD(wParam) == IDCANCEL) return OnCancel(), TRUE;
  }
  return FALSE;
}

}  // namespace quran
