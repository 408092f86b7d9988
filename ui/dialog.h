// A small dialog layer: a dialog built from a template, whose message table maps
// a message, control id and notification code to a handler, and control objects
// bound to the dialog's members. Windows are Unicode; text crosses in
// Windows-1256 through the controls' own calls.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quran {

// Owns one GDI object (a font, a bitmap) and deletes it when replaced or destroyed.
template <typename Handle>
class UniqueGdiObject {
 public:
  explicit UniqueGdiObject(Handle object = nullptr) : object_(object) {}
  ~UniqueGdiObject() { reset(); }
  UniqueGdiObject(const UniqueGdiObject&) = delete;
  UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;
  Handle get() const { return object_; }
  void reset(Handle object = nullptr) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }

 private:
  Handle object_;
};

using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;

// A control of a dialog, bound once the window exists.
class Control {
 public:
  Control() = default;
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Takes the control over; a control of its own class also subclasses it.
  virtual void Attach(HWND window);
  void Detach();
  HWND Window() const { return window_; }

  void Enable(bool enable) const;
  bool IsEnabled() const;
  std::string Text() const;
  void SetText(std::string_view text) const;
  // Text beyond Windows-1256, such as the ornate brackets.
  void SetUnicodeText(std::u16string_view text) const;
  std::u16string UnicodeText() const;
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

 protected:
  HWND window_ = nullptr;
};

// An entry of a control's own message table.
template <class T>
struct ControlMessageEntry {
  UINT message;
  // Answers whether it handled the message; otherwise the control's class does.
  bool (T::*handler)(WPARAM, LPARAM);
};

// A control that sees its messages before its class does (a subclass).
class SubclassedControl : public Control {
 public:
  ~SubclassedControl() override;
  void Attach(HWND window) override;

 protected:
  // The message-table accessor: true when the message was handled.
  virtual bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT CallClass(UINT message, WPARAM wParam, LPARAM lParam);

  template <class T, std::size_t N>
  static bool Dispatch(T* self, const ControlMessageEntry<T> (&table)[N], UINT message,
                       WPARAM wParam, LPARAM lParam) {
    for (const auto& entry : table) {
      if (entry.message == message) return (self->*entry.handler)(wParam, lParam);
    }
    return false;
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Unsubclass();
  WNDPROC classProc_ = nullptr;
};

class EditControl : public SubclassedControl {
 protected:
  bool ProcessMessage(UINT, WPARAM, LPARAM) override { return false; }
};

class ButtonControl : public Control {
 public:
  bool IsChecked() const;
  void SetCheck(bool checked) const;
};

class ComboBoxControl : public Control {
 public:
  int AddString(std::string_view text) const;
  int Count() const;
  void ShowDropDown(bool show) const;
  bool IsDroppedDown() const;
  // Whether the field holds the list's selected item as it stands in the list.
  bool ShowsSelectedItem() const;
};

class ListBoxControl : public Control {
 public:
  void ResetContent() const;
  // Room for count items of textBytes in all, before a long fill.
  void InitStorage(int count, int textBytes) const;
  int AddString(std::string_view text) const;
  void SetItemData(int index, LPARAM data) const;
  LPARAM ItemData(int index) const;
  int Count() const;
  int SelectedCount() const;
  int SelectedItems(int* indexes, int capacity) const;
  void SetSelected(int index, bool selected) const;
  void SetRedraw(bool redraw) const;
};

// One row of a dialog's message table. A command row matches WM_COMMAND from the
// controls firstId..lastId with notification code; a message row matches the
// message alone.
template <class T>
struct MessageEntry {
  UINT message;
  int firstId;
  int lastId;
  UINT code;
  void (T::*handler)();
  void (T::*rangeHandler)(int id);
  void (T::*paramHandler)(WPARAM, LPARAM);
  void(WINAPI* function)();
};

template <class T>
constexpr MessageEntry<T> OnCommand(int id, UINT code, void (T::*handler)()) {
  return {WM_COMMAND, id, id, code, handler, nullptr, nullptr, nullptr};
}
template <class T>
constexpr MessageEntry<T> OnCommandRange(int first, int last, UINT code,
                                         void (T::*handler)(int id)) {
  return {WM_COMMAND, first, last, code, nullptr, handler, nullptr, nullptr};
}
// A command that runs a plain function, such as one of the add-in's exports.
template <class T>
constexpr MessageEntry<T> OnCommandFunction(int id, UINT code, void(WINAPI* function)()) {
  return {WM_COMMAND, id, id, code, nullptr, nullptr, nullptr, function};
}
// A command that is taken and does nothing.
template <class T>
constexpr MessageEntry<T> IgnoreCommand(int id, UINT code) {
  return {WM_COMMAND, id, id, code, nullptr, nullptr, nullptr, nullptr};
}
template <class T>
constexpr MessageEntry<T> OnMessage(UINT message, void (T::*handler)()) {
  return {message, 0, 0, 0, handler, nullptr, nullptr, nullptr};
}
template <class T>
constexpr MessageEntry<T> OnMessageParams(UINT message, void (T::*handler)(WPARAM, LPARAM)) {
  return {message, 0, 0, 0, nullptr, nullptr, handler, nullptr};
}

class Dialog {
 public:
  explicit Dialog(int templateId);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // A modeless window; false when it could not be made or destroyed itself while
  // it started.
  bool Create(HWND parent);
  // Runs the dialog modally; answers what ended it, or -1.
  INT_PTR DoModal(HWND parent);
  bool DestroyWindow();
  HWND Window() const { return window_; }
  HWND Item(int id) const;

 protected:
  // Binds the controls; the base binds none.
  virtual void BindControls() {}
  // Start-up: true to let the system place the focus. The base binds the controls.
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // The message-table accessor: true when the message was handled.
  virtual bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Bind(int id, Control& control);
  void EndDialog(INT_PTR result);

  template <class T, std::size_t N>
  static bool Dispatch(T* self, const MessageEntry<T> (&table)[N], UINT message, WPARAM wParam,
                       LPARAM lParam) {
    for (const auto& entry : table) {
      if (entry.message != message) continue;
      if (message == WM_COMMAND) {
        int id = LOWORD(wParam);
        if (id < entry.firstId || id > entry.lastId || HIWORD(wParam) != entry.code) continue;
        if (entry.handler) (self->*entry.handler)();
        if (entry.rangeHandler) (self->*entry.rangeHandler)(id);
        if (entry.function) entry.function();
        return true;
      }
      if (entry.handler) (self->*entry.handler)();
      if (entry.paramHandler) (self->*entry.paramHandler)(wParam, lParam);
      // Window messages still get the system's default processing.
      return false;
    }
    return false;
  }

 private:
  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

  int templateId_;
  HWND window_ = nullptr;
  bool modal_ = false;
};

// The module that holds the dialog templates: the add-in, or a test program.
HINSTANCE ResourceModule();

}  // namespace quran
