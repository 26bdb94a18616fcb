#include "ui/controls/edit_box.h"

#include <algorithm>

#include "ui/controls/common.h"

namespace densilo::controls {

namespace {

struct FontMetrics {
  int w_height = 0;     // height of "W"
  int line_height = 0;  // height of one line of the font
};

FontMetrics measure(HFONT font) {
  FontMetrics m;
  win::ScopedGetDc screen(nullptr);
  win::ScopedSelectObject select(screen.get(), font ? font : GetStockObject(SYSTEM_FONT));
  SIZE w{};
  GetTextExtentPoint32W(screen.get(), L"W", 1, &w);
  TEXTMETRICW tm{};
  GetTextMetricsW(screen.get(), &tm);
  m.w_height = w.cy;
  m.line_height = tm.tmHeight;
  return m;
}

}  // namespace

bool EditBox::create(HWND parent, const win::CommonFields& common, const EditBoxSettings& settings,
                     int control_id) {
  common_ = common;
  thin_border_ = settings.thin_border;
  text_colour_ = settings.text_colour;
  background_colour_ = settings.background_colour;
  font_ = win::create_font(settings.font);
  background_brush_.reset(CreateSolidBrush(background_colour_.to_colorref()));

  const FontMetrics metrics = measure(font_.get());
  line_height_ = metrics.w_height;
  const int min_height = metrics.line_height + 2 * GetSystemMetrics(SM_CYEDGE);
  common_.rect.height = std::max(common_.rect.height, min_height);

  // No ES_NOHIDESEL: the standard control then hides the selection while unfocused.
  DWORD style = child_style(common) | ES_AUTOHSCROLL;
  style |= settings.alignment == TextAlignment::kCentre ? ES_CENTER : ES_LEFT;
  if (!settings.hide_selection) {
    style |= ES_NOHIDESEL;
  }
  const win::Rect& r = common_.rect;
  if (!SubclassedControl::create(0, L"EDIT", settings.content.c_str(), style, r.left, r.top,
                                 r.width, r.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)))) {
    return false;
  }
  SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  if (settings.max_length > 0) {
    SendMessageW(hwnd(), EM_SETLIMITTEXT, static_cast<WPARAM>(settings.max_length), 0);
  }
  // The frame and the centring live in the non-client area, which was computed at creation
  // before the subclass (and the font) existed: compute it again now.
  SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

std::wstring EditBox::text() const {
  const int length = GetWindowTextLengthW(hwnd());
  std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd(), text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

void EditBox::set_text(std::wstring_view text) {
  const std::wstring terminated(text);
  SetWindowTextW(hwnd(), terminated.c_str());
}

void EditBox::set_visible(bool visible) {
  set_window_visible(hwnd(), visible);
}

LRESULT EditBox::on_nc_calc_size(LPARAM lparam) {
  // Both forms of the message start with the window's rectangle, which becomes the client's.
  // A single-line EDIT ignores EM_SETRECT, so the line is centred by shrinking the client area
  // to exactly one line; the bands above and below are painted as non-client area.
  RECT& rc = *reinterpret_cast<RECT*>(lparam);
  if (thin_border_) {
    InflateRect(&rc, -1, -1);
  }
  const int inner_height = rc.bottom - rc.top;
  if (line_height_ > 0 && line_height_ < inner_height) {
    rc.top += (inner_height - line_height_) / 2;
    rc.bottom = rc.top + line_height_;
  }
  if (rc.bottom < rc.top) {
    rc.bottom = rc.top;
  }
  if (rc.right < rc.left) {
    rc.right = rc.left;
  }
  return 0;
}

void EditBox::paint_non_client() {
  RECT window{};
  GetWindowRect(hwnd(), &window);
  POINT client_origin{0, 0};
  ClientToScreen(hwnd(), &client_origin);
  RECT client{};
  GetClientRect(hwnd(), &client);
  OffsetRect(&client, client_origin.x - window.left, client_origin.y - window.top);
  const RECT outer{0, 0, window.right - window.left, window.bottom - window.top};

  win::ScopedGetDc dc(hwnd(), /*whole_window=*/true);
  win::ScopedSaveDc saved(dc.get());
  ExcludeClipRect(dc.get(), client.left, client.top, client.right, client.bottom);
  const RECT inside = thin_border_ ? inside_thin_frame(outer) : outer;
  FillRect(dc.get(), &inside, background_brush_.get());
  if (thin_border_) {
    draw_thin_frame(dc.get(), outer);
  }
}

LRESULT EditBox::handle_message(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_NCCALCSIZE:
      return on_nc_calc_size(lparam);
    case WM_NCPAINT:
      paint_non_client();
      return 0;
    case WM_NCHITTEST: {
      // The bands around the line belong to the box for the mouse: text cursor, clicks.
      const LRESULT hit = default_handler(msg, wparam, lparam);
      return hit == HTNOWHERE || hit == HTBORDER ? HTCLIENT : hit;
    }
    case WM_SETCURSOR:
      if (common_.pointer != win::MousePointer::kDefault &&
          reinterpret_cast<HWND>(wparam) == hwnd()) {
        SetCursor(win::cursor_for(common_.pointer, IDC_IBEAM));
        return TRUE;
      }
      break;
    case win::kReflectBase + WM_CTLCOLOREDIT:
    case win::kReflectBase + WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, text_colour_.to_colorref());
      SetBkColor(dc, background_colour_.to_colorref());
      SetBkMode(dc, OPAQUE);
      return reinterpret_cast<LRESULT>(background_brush_.get());
    }
    default:
      break;
  }
  return default_handler(msg, wparam, lparam);
}

}  // namespace densilo::controls
