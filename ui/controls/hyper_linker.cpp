#include "ui/controls/hyper_linker.h"

#include <utility>

#include "ui/controls/common.h"
#include "ui/controls/link_opener.h"

namespace densilo::controls {

namespace {

constexpr wchar_t kClassName[] = L"DensiloHyperLinker";

bool register_class() {
  return win::register_window_class(kClassName, IDC_HAND, CS_HREDRAW | CS_VREDRAW);
}

}  // namespace

bool HyperLinker::create(HWND parent, const win::CommonFields& common,
                         const HyperLinkerSettings& settings, int control_id, LinkOpener opener) {
  if (!register_class()) {
    return false;
  }
  common_ = common;
  // The link has no keyboard behaviour, so it is never a tab stop.
  common_.tab_stop = false;
  settings_ = settings;
  if (settings_.font) {
    own_font_ = win::create_font(*settings_.font);
  }
  opener_ = opener ? std::move(opener) : LinkOpener([](std::wstring_view target, int show) {
    return open_link_target(target, show);
  });
  const win::Rect& r = common_.rect;
  return Window::create(0, kClassName, settings_.caption.c_str(), child_style(common_), r.left,
                        r.top, r.width, r.height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)));
}

void HyperLinker::set_visible(bool visible) {
  set_window_visible(hwnd(), visible);
}

void HyperLinker::on_mouse_move(POINT pt) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  const bool inside = PtInRect(&client, pt) != FALSE;
  if (inside && !hovered_) {
    hovered_ = true;
    // The capture brings the move that leaves the link, wherever the pointer goes.
    SetCapture(hwnd());
    InvalidateRect(hwnd(), nullptr, FALSE);
  } else if (!inside && hovered_) {
    hovered_ = false;  // before the release, whose WM_CAPTURECHANGED then finds nothing to do
    ReleaseCapture();
    InvalidateRect(hwnd(), nullptr, FALSE);
  }
}

void HyperLinker::on_press() {
  visited_ = opener_(settings_.target, SW_SHOW);
  // A failure shows its colour at the next redraw only (at the latest when the pointer leaves).
  if (visited_) {
    InvalidateRect(hwnd(), nullptr, FALSE);
    UpdateWindow(hwnd());
  }
}

LRESULT HyperLinker::handle_message(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_MOUSEMOVE:
      on_mouse_move(POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      on_press();
      return 0;
    case WM_CAPTURECHANGED:
      // Someone else took the mouse (a menu, another window): the link is no longer hovered.
      if (hovered_ && reinterpret_cast<HWND>(lparam) != hwnd()) {
        hovered_ = false;
        InvalidateRect(hwnd(), nullptr, FALSE);
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;  // paint() fills everything
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_SETCURSOR:
      if (set_client_cursor(hwnd(), wparam, lparam, common_.pointer, IDC_HAND)) {
        return TRUE;
      }
      break;
    default:
      break;
  }
  return Window::handle_message(msg, wparam, lparam);
}

void HyperLinker::paint(HDC dc, const RECT&) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  win::ScopedSaveDc saved(dc);
  RECT inside = client;
  if (settings_.thin_border) {
    draw_thin_frame(dc, client);
    inside = inside_thin_frame(client);
  }
  fill_solid(dc, inside, settings_.background_colour.to_colorref());

  const win::Colour colour = hovered_   ? settings_.hover_colour
                             : visited_ ? settings_.visited_colour
                                        : settings_.normal_colour;
  const std::wstring& text = settings_.caption.empty() ? settings_.target : settings_.caption;
  const HGDIOBJ font =
      own_font_ ? static_cast<HGDIOBJ>(own_font_.get()) : GetStockObject(DEFAULT_GUI_FONT);
  win::ScopedSelectObject select(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour.to_colorref());
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inside,
            DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
}

}  // namespace densilo::controls
