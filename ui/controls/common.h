// What the control kinds share beyond the window base: the styles that follow from the common
// fields, and showing or hiding without activating.
#pragma once

#include <windows.h>

#include "ui/win/values.h"

namespace densilo::controls {

// Every control starts hidden; its owner shows those visible at start once all exist.
inline DWORD child_style(const win::CommonFields& common) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (common.tab_stop) {
    style |= WS_TABSTOP;
  }
  if (!common.enabled) {
    style |= WS_DISABLED;
  }
  return style;
}

// Shows without activating (a control is never activated by being shown); showing a visible
// control or hiding a hidden one changes nothing.
inline void set_window_visible(HWND hwnd, bool visible) {
  if (!hwnd) {
    return;
  }
  // The window's own flag, not IsWindowVisible, which also asks the parent.
  const bool shown = (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
  if (shown != visible) {
    ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
  }
}

// WM_SETCURSOR for a kind of ours: over its client area, the kind's own cursor or the hand,
// as the mouse pointer field says. False leaves the message to the default handling.
inline bool set_client_cursor(HWND hwnd, WPARAM wparam, LPARAM lparam, win::MousePointer pointer,
                              const wchar_t* kind_cursor) {
  if (reinterpret_cast<HWND>(wparam) != hwnd || LOWORD(lparam) != HTCLIENT) {
    return false;
  }
  SetCursor(win::cursor_for(pointer, kind_cursor));
  return true;
}

// The inside of a one-pixel frame around `outer`.
inline RECT inside_thin_frame(RECT outer) {
  InflateRect(&outer, -1, -1);
  return outer;
}

// Fills a rectangle with a colour without making a brush.
inline void fill_solid(HDC dc, const RECT& rect, COLORREF colour) {
  const COLORREF previous = SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  SetBkColor(dc, previous);
}

// A one-pixel frame in the system's window-frame colour, without 3D edges.
inline void draw_thin_frame(HDC dc, const RECT& outer) {
  FrameRect(dc, &outer, GetSysColorBrush(COLOR_WINDOWFRAME));
}

}  // namespace densilo::controls
