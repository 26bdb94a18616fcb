// The window base: one object per window, reached from the static window procedure through
// the pointer that CreateWindowExW carries to WM_NCCREATE. Built-in controls (EDIT, BUTTON)
// are extended with SetWindowSubclass through SubclassedControl below.
//
// Parents built on Window reflect the notifications that built-in controls send to their
// parent (WM_CTLCOLOR*, WM_DRAWITEM, WM_COMMAND) back to the child as kReflectBase + message,
// so each control kind draws and reacts by itself and the parent needs no code per kind.
#pragma once

#include <windows.h>

#include "ui/win/handles.h"

namespace densilo::win {

// A reflected message is kReflectBase + the original message, with the original parameters.
// A control that handles it returns nonzero; zero lets the parent handle the original.
inline constexpr UINT kReflectBase = WM_APP + 0x1C00;

// Registers a window class of this module once; later calls find it registered.
// Returns false only if the class cannot be registered at all.
bool ensure_class_registered(const WNDCLASSEXW& wc);

// The usual class of a Window-derived kind: this module, Window's procedure, a stock cursor.
bool register_window_class(const wchar_t* class_name, const wchar_t* stock_cursor, UINT style = 0);

// The module the program or test runs from; window classes are registered there.
HINSTANCE this_module();

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  // Destroys the window if it still exists. A parent destroys its children first, in which
  // case the child's WM_NCDESTROY has already cleared its handle.
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

 protected:
  // Creates the window of a class registered with window_proc as its procedure.
  bool create(DWORD ex_style, const wchar_t* class_name, const wchar_t* title, DWORD style, int x,
              int y, int width, int height, HWND parent, HMENU menu_or_id);

  // Every message of the window; the default reflects notifications to the children that sent
  // them and then calls DefWindowProcW. Must not throw (window_proc catches as a last resort).
  virtual LRESULT handle_message(UINT msg, WPARAM wparam, LPARAM lparam);

  // One painting routine for WM_PAINT and WM_PRINTCLIENT, so the same code draws on screen and
  // into a bitmap (tests, children that show their parent's background). `dirty` is in the
  // DC's logical coordinates. The default draws nothing.
  virtual void paint(HDC dc, const RECT& dirty);

  LRESULT default_handler(UINT msg, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(hwnd_, msg, wparam, lparam);
  }

 public:
  static LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

 private:
  HWND hwnd_ = nullptr;
};

// Sends a reflected notification to the child it came from. Returns true with the child's
// answer when the child handled it.
bool reflect_to_child(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result);

// A built-in control (EDIT, BUTTON) extended by subclassing. The object owns the window and
// receives every message first; default_handler passes it on to the control's own procedure.
class SubclassedControl {
 public:
  SubclassedControl() = default;
  SubclassedControl(const SubclassedControl&) = delete;
  SubclassedControl& operator=(const SubclassedControl&) = delete;
  virtual ~SubclassedControl();

  HWND hwnd() const { return hwnd_; }

 protected:
  // Creates the built-in control and subclasses it at once.
  bool create(DWORD ex_style, const wchar_t* class_name, const wchar_t* text, DWORD style, int x,
              int y, int width, int height, HWND parent, HMENU id);

  virtual LRESULT handle_message(UINT msg, WPARAM wparam, LPARAM lparam);
  LRESULT default_handler(UINT msg, WPARAM wparam, LPARAM lparam);

 private:
  static LRESULT CALLBACK subclass_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR id, DWORD_PTR ref);
  HWND hwnd_ = nullptr;
};

}  // namespace densilo::win
