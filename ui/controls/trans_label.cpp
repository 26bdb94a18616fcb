#include "ui/controls/trans_label.h"

#include "ui/controls/common.h"

namespace densilo::controls {

namespace {

constexpr wchar_t kClassName[] = L"DensiloTransLabel";

bool register_class() {
  // Redraw on resize: the text is centred vertically, and the background differs per place.
  return win::register_window_class(kClassName, IDC_ARROW, CS_HREDRAW | CS_VREDRAW);
}

}  // namespace

bool TransLabel::create(HWND parent, const win::CommonFields& common,
                        const TransLabelSettings& settings, int control_id) {
  if (!register_class()) {
    return false;
  }
  common_ = common;
  // A label is never a tab stop, whatever it is given.
  common_.tab_stop = false;
  text_colour_ = settings.text_colour;
  font_ = win::create_font(settings.font);
  const win::Rect& r = common_.rect;
  return Window::create(0, kClassName, settings.text.c_str(), child_style(common_), r.left, r.top,
                        r.width, r.height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)));
}

std::wstring TransLabel::text() const {
  const int length = GetWindowTextLengthW(hwnd());
  std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd(), text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

void TransLabel::set_text(std::wstring_view text) {
  const std::wstring terminated(text);
  SetWindowTextW(hwnd(), terminated.c_str());  // WM_SETTEXT repaints
}

void TransLabel::set_text_colour(win::Colour colour) {
  text_colour_ = colour;
  repaint_with_parent();
}

void TransLabel::set_font(const win::Font& font) {
  font_ = win::create_font(font);
  repaint_with_parent();
}

void TransLabel::set_visible(bool visible) {
  set_window_visible(hwnd(), visible);
}

void TransLabel::repaint_with_parent() {
  if (!hwnd() || !IsWindowVisible(hwnd())) {
    return;
  }
  const HWND parent = GetParent(hwnd());
  RECT area{};
  GetWindowRect(hwnd(), &area);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
  // The parent paints first, then the label over it: nothing of the old text can survive.
  RedrawWindow(parent, &area, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

LRESULT TransLabel::handle_message(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // paint() draws the parent's background itself
    case WM_SETTEXT: {
      const LRESULT result = default_handler(msg, wparam, lparam);
      repaint_with_parent();
      return result;
    }
    case WM_WINDOWPOSCHANGING: {
      // Moving would otherwise copy the old pixels, old background included, to the new place.
      auto* pos = reinterpret_cast<WINDOWPOS*>(lparam);
      pos->flags |= SWP_NOCOPYBITS;
      break;
    }
    case WM_SETCURSOR:
      if (set_client_cursor(hwnd(), wparam, lparam, common_.pointer, IDC_ARROW)) {
        return TRUE;
      }
      break;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    default:
      break;
  }
  return Window::handle_message(msg, wparam, lparam);
}

void TransLabel::paint(HDC dc, const RECT&) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  const HWND parent = GetParent(hwnd());
  if (parent) {
    win::ScopedSaveDc saved(dc);
    POINT origin{0, 0};
    MapWindowPoints(hwnd(), parent, &origin, 1);
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  }
  const std::wstring caption = text();
  win::ScopedSaveDc saved(dc);
  win::ScopedSelectObject select(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, text_colour_.to_colorref());
  // No DT_NOPREFIX: an ampersand underlines the next character, as in any label.
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &client,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

}  // namespace densilo::controls
