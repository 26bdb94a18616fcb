#include "ui/win/window.h"

#include <commctrl.h>

namespace densilo::win {

bool ensure_class_registered(const WNDCLASSEXW& wc) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(wc.hInstance, wc.lpszClassName, &existing)) {
    return true;
  }
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool register_window_class(const wchar_t* class_name, const wchar_t* stock_cursor, UINT style) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = &Window::window_proc;
  wc.hInstance = this_module();
  wc.hCursor = LoadCursorW(nullptr, stock_cursor);
  wc.lpszClassName = class_name;
  return ensure_class_registered(wc);
}

HINSTANCE this_module() {
  return GetModuleHandleW(nullptr);
}

Window::~Window() {
  if (hwnd_) {
    DestroyWindow(hwnd_);
  }
}

bool Window::create(DWORD ex_style, const wchar_t* class_name, const wchar_t* title, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu_or_id) {
  // hwnd_ is set at WM_NCCREATE, before the first message that needs it.
  return CreateWindowExW(ex_style, class_name, title, style, x, y, width, height, parent,
                         menu_or_id, this_module(), this) != nullptr;
}

LRESULT Window::handle_message(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_PAINT: {
      ScopedPaint ps(hwnd_);
      paint(ps.dc(), ps.dirty());
      return 0;
    }
    case WM_PRINTCLIENT: {
      const HDC dc = reinterpret_cast<HDC>(wparam);
      RECT dirty{};
      if (GetClipBox(dc, &dirty) == NULLREGION || IsRectEmpty(&dirty)) {
        GetClientRect(hwnd_, &dirty);
      }
      paint(dc, dirty);
      return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
    case WM_COMMAND: {
      LRESULT result = 0;
      if (reflect_to_child(msg, wparam, lparam, result)) {
        return result;
      }
      break;
    }
    default:
      break;
  }
  return default_handler(msg, wparam, lparam);
}

void Window::paint(HDC, const RECT&) {}

LRESULT CALLBACK Window::window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    self = static_cast<Window*>(cs->lpCreateParams);
    if (!self) {
      return DefWindowProcW(hwnd, msg, wparam, lparam);  // a window of ours made without its object
    }
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO for top-level windows) have no object yet.
  if (!self) {
    return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
  LRESULT result = 0;
  try {
    result = self->handle_message(msg, wparam, lparam);
  } catch (...) {
    // An exception must not unwind through the system's code that called us.
    result = DefWindowProcW(hwnd, msg, wparam, lparam);
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

bool reflect_to_child(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  HWND child = nullptr;
  switch (msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_COMMAND:  // lparam is 0 for menus and accelerators
      child = reinterpret_cast<HWND>(lparam);
      break;
    case WM_DRAWITEM: {
      const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (dis && dis->CtlType != ODT_MENU) {
        child = dis->hwndItem;
      }
      break;
    }
    default:
      break;
  }
  if (!child || !IsWindow(child)) {
    return false;
  }
  result = SendMessageW(child, kReflectBase + msg, wparam, lparam);
  return result != 0;
}

SubclassedControl::~SubclassedControl() {
  if (hwnd_) {
    DestroyWindow(hwnd_);
  }
}

bool SubclassedControl::create(DWORD ex_style, const wchar_t* class_name, const wchar_t* text,
                               DWORD style, int x, int y, int width, int height, HWND parent,
                               HMENU id) {
  HWND hwnd = CreateWindowExW(ex_style, class_name, text, style, x, y, width, height, parent, id,
                              this_module(), nullptr);
  if (!hwnd) {
    return false;
  }
  if (!SetWindowSubclass(hwnd, &SubclassedControl::subclass_proc, 0,
                         reinterpret_cast<DWORD_PTR>(this))) {
    DestroyWindow(hwnd);
    return false;
  }
  hwnd_ = hwnd;
  return true;
}

LRESULT SubclassedControl::handle_message(UINT msg, WPARAM wparam, LPARAM lparam) {
  return default_handler(msg, wparam, lparam);
}

LRESULT SubclassedControl::default_handler(UINT msg, WPARAM wparam, LPARAM lparam) {
  return DefSubclassProc(hwnd_, msg, wparam, lparam);
}

LRESULT CALLBACK SubclassedControl::subclass_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam,
                                                  UINT_PTR, DWORD_PTR ref) {
  auto* self = reinterpret_cast<SubclassedControl*>(ref);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &SubclassedControl::subclass_proc, 0);
    self->hwnd_ = nullptr;
    return DefSubclassProc(hwnd, msg, wparam, lparam);
  }
  try {
    return self->handle_message(msg, wparam, lparam);
  } catch (...) {
    // An exception must not unwind through the control's own procedure.
    return DefSubclassProc(hwnd, msg, wparam, lparam);
  }
}

}  // namespace densilo::win
