// What the control tests share: a host window with a background that differs at every pixel,
// a message pump, pixel capture of one window, and input sent as messages or as real input.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "capture.h"
#include "ui/win/window.h"

namespace densilo::test {

using namespace std::chrono_literals;

// 0x00RRGGBB, as colours are written in the window definitions.
using Rgb = std::uint32_t;
inline Rgb rgb_of(COLORREF c) {
  return (static_cast<Rgb>(GetRValue(c)) << 16) | (static_cast<Rgb>(GetGValue(c)) << 8) |
         GetBValue(c);
}
inline Rgb sys_rgb(int index) {
  return rgb_of(GetSysColor(index));
}

// Whether any pixel in [x0, x1) x [y0, y1) of the image satisfies the predicate.
bool any_in(const Image& image, int x0, int y0, int x1, int y1,
            const std::function<bool(Rgb)>& pred);

// The whole window (frame included) as it is on screen, once it has painted.
Image capture(HWND hwnd);

// The host's background: a different colour at every pixel, never pure red, green or blue, so
// "the parent shows through" can be checked pixel by pixel.
Rgb background_at(int x, int y);

// A top-level window on the bench's desktop that paints background_at() in paint(), for
// WM_PAINT and WM_PRINTCLIENT alike.
class Host : public win::Window {
 public:
  explicit Host(int width = 420, int height = 260);
  ~Host() override;

 protected:
  void paint(HDC dc, const RECT& dirty) override;
  LRESULT handle_message(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  std::vector<std::uint32_t> bgra_;  // the background as a top-down 32-bit DIB
  int width_;
  int height_;
};

// Runs this thread's messages for a while: hover and leave tracking run on timers.
void pump_for(std::chrono::milliseconds duration);
// Runs messages until nothing is left to do right now.
void pump_pending();

// Client coordinates packed the way mouse messages carry them.
inline LPARAM point_lparam(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)),
                    static_cast<WORD>(static_cast<short>(y)));
}

// Pumps messages until the condition holds or the timeout passes; gives its last value.
bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 1s);

// Real mouse input at a point of the window's client area: each event carries its absolute
// position, since under Wine a button event after a separate cursor move does not arrive.
// A move is sent again until `arrived` holds (up to a few times): under load the bench now and
// then drops a move, and a user's pointer sends many.
void mouse_move_to(HWND hwnd, POINT client, const std::function<bool()>& arrived = {});
void mouse_button(HWND hwnd, POINT client, bool down);

// A font every test can use for Chinese and Latin text.
std::wstring chinese_face();

}  // namespace densilo::test
