#include "ui/controls/super_btn.h"

#include <mmsystem.h>

#include <utility>

#include "ui/controls/common.h"

namespace densilo::controls {

namespace {

// A one-pixel 3D edge: `top_left` along the top and left, `bottom_right` along the bottom and
// right (those two own the corners they share with the others).
void draw_thin_edge(HDC dc, const RECT& r, COLORREF top_left, COLORREF bottom_right) {
  fill_solid(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, top_left);
  fill_solid(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, top_left);
  fill_solid(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottom_right);
  fill_solid(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottom_right);
}

// Draws the caption centred in `area`, broken at word boundaries when it is too wide.
void draw_caption(HDC dc, const std::wstring& caption, const RECT& area, COLORREF colour) {
  constexpr UINT kFormat = DT_CENTER | DT_WORDBREAK;
  RECT measured = area;
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &measured,
            kFormat | DT_CALCRECT);
  // DT_VCENTER works only for single lines; centre the wrapped block by its measured height.
  const int text_height = measured.bottom - measured.top;
  RECT placed = area;
  placed.top = area.top + (area.bottom - area.top - text_height) / 2;
  placed.bottom = placed.top + text_height;
  SetTextColor(dc, colour);
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &placed, kFormat);
}

}  // namespace

void play_sound_async(std::span<const std::byte> wav) {
  if (wav.empty()) {
    return;
  }
  // SND_ASYNC stops any sound still playing; SND_NOWAIT gives up when the device is busy;
  // SND_NODEFAULT keeps the system's default beep out when the sound cannot be played.
  PlaySoundW(reinterpret_cast<LPCWSTR>(wav.data()), nullptr,
             SND_MEMORY | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT);
}

bool SuperBtn::create(HWND parent, const win::CommonFields& common,
                      const SuperBtnSettings& settings, std::span<const std::byte> standard_sound,
                      ClickHandler on_click, int control_id, SoundPlayer player) {
  common_ = common;
  settings_ = settings;
  font_ = win::create_font(settings.font);
  sound_ = standard_sound;
  player_ = std::move(player);
  on_click_ = std::move(on_click);
  const win::Rect& r = common_.rect;
  if (!SubclassedControl::create(0, L"BUTTON", settings.caption.c_str(),
                                 child_style(common_) | BS_OWNERDRAW, r.left, r.top, r.width,
                                 r.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)))) {
    return false;
  }
  SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return true;
}

void SuperBtn::set_visible(bool visible) {
  set_window_visible(hwnd(), visible);
}

void SuperBtn::play_click_sound() const {
  if (settings_.standard_sound && player_ && !sound_.empty()) {
    player_(sound_);
  }
}

void SuperBtn::start_hover() {
  hovered_ = true;
  TRACKMOUSEEVENT tme{};
  tme.cbSize = sizeof tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = hwnd();
  TrackMouseEvent(&tme);
  play_click_sound();
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void SuperBtn::end_hover() {
  hovered_ = false;
  InvalidateRect(hwnd(), nullptr, FALSE);
}

LRESULT SuperBtn::handle_message(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_MOUSEMOVE: {
      RECT client{};
      GetClientRect(hwnd(), &client);
      const POINT pt{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      const bool inside = PtInRect(&client, pt) != FALSE;
      // While the button is pressed it holds the capture and sees moves outside itself.
      if (inside && !hovered_ && (wparam & MK_LBUTTON) == 0) {
        start_hover();
      } else if (!inside && hovered_) {
        end_hover();
      }
      break;
    }
    case WM_MOUSELEAVE:
      if (hovered_) {
        end_hover();
      }
      break;
    case WM_LBUTTONDBLCLK:
      // An owner-drawn BUTTON reports a double click instead of a second press; a push button
      // takes it as a press, so each click of a fast pair counts.
      return default_handler(WM_LBUTTONDOWN, wparam, lparam);
    case WM_LBUTTONUP: {
      const LRESULT result = default_handler(msg, wparam, lparam);
      // Releasing the capture may have ended the leave tracking; arm it again while hovered.
      // The click's handler may have run long enough for the pointer to be gone already, and
      // then no leave would ever come: end the hover here instead.
      if (hovered_ && hwnd()) {
        POINT pt{};
        GetCursorPos(&pt);
        if (WindowFromPoint(pt) != hwnd()) {
          end_hover();
        } else {
          TRACKMOUSEEVENT tme{};
          tme.cbSize = sizeof tme;
          tme.dwFlags = TME_LEAVE;
          tme.hwndTrack = hwnd();
          TrackMouseEvent(&tme);
        }
      }
      return result;
    }
    case WM_SETCURSOR:
      if (set_client_cursor(hwnd(), wparam, lparam, common_.pointer, IDC_ARROW)) {
        return TRUE;
      }
      break;
    case WM_GETDLGCODE:
      // Never a default button, so Enter in the window does not click it.
      return default_handler(msg, wparam, lparam) & ~(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
    case win::kReflectBase + WM_DRAWITEM:
      draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case win::kReflectBase + WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) {
        play_click_sound();
        if (on_click_) {
          on_click_();
        }
        return 1;
      }
      return 0;
    default:
      break;
  }
  return default_handler(msg, wparam, lparam);
}

void SuperBtn::draw(const DRAWITEMSTRUCT& item) const {
  const HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool hot = hovered_ || pressed;

  COLORREF face = 0;
  COLORREF caption = 0;
  if (settings_.default_color) {
    face = GetSysColor(COLOR_BTNFACE);
    caption = GetSysColor(COLOR_BTNTEXT);
  } else if (hot) {
    face = settings_.bk_color_in.to_colorref();
    caption = settings_.fg_color_in.to_colorref();
  } else if (focused) {
    face = settings_.bk_color_focus.to_colorref();
    caption = settings_.fg_color_focus.to_colorref();
  } else {
    face = settings_.bk_color_out.to_colorref();
    caption = settings_.fg_color_out.to_colorref();
  }

  win::ScopedSaveDc saved(dc);
  fill_solid(dc, r, face);
  if (settings_.draw_border) {
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    if (pressed) {
      draw_thin_edge(dc, r, shadow, highlight);
    } else if (hovered_) {
      draw_thin_edge(dc, r, highlight, shadow);
    }
  }

  RECT area = inside_thin_frame(r);
  if (pressed) {
    OffsetRect(&area, 1, 1);
  }
  win::ScopedSelectObject select(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  const std::wstring& text = settings_.caption;
  if (disabled) {
    RECT shifted = area;
    OffsetRect(&shifted, 1, 1);
    draw_caption(dc, text, shifted, GetSysColor(COLOR_BTNHIGHLIGHT));
    draw_caption(dc, text, area, GetSysColor(COLOR_BTNSHADOW));
  } else {
    draw_caption(dc, text, area, caption);
  }
  if (settings_.draw_focus && focused) {
    RECT focus = r;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace densilo::controls
