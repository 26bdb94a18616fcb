#include "ui/controls/trans_label.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ui/controls/edit_box.h"

namespace densilo::test {
namespace {

using controls::TransLabel;
using controls::TransLabelSettings;

constexpr Rgb kRed = 0xFF0000;

TransLabelSettings red_label(std::wstring text) {
  TransLabelSettings s;
  s.text = std::move(text);
  s.font = win::Font{chinese_face(), 14, FW_NORMAL};
  s.text_colour = win::Colour::hex(kRed);
  return s;
}

win::CommonFields at(int left, int top, int width, int height) {
  win::CommonFields c;
  c.rect = {left, top, width, height};
  return c;
}

// Pixels of the label that are neither the parent's background at that place nor glyph ink.
// Glyph ink is the text colour or a blend of it with the background (antialiasing), so a
// blended pixel has at least as much red as the background and less green and blue.
struct Split {
  int background = 0;
  int ink = 0;
  int foreign = 0;
  int ink_left = -1, ink_right = -1, ink_top = -1, ink_bottom = -1;
};

Split split(const Image& img, int left, int top) {
  Split s;
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const Rgb p = img.pixel(x, y);
      const Rgb bg = background_at(left + x, top + y);
      if (p == bg) {
        ++s.background;
        continue;
      }
      const auto ch = [](Rgb c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
      if (ch(p, 16) >= ch(bg, 16) && ch(p, 8) <= ch(bg, 8) && ch(p, 0) <= ch(bg, 0)) {
        ++s.ink;
        if (s.ink_left < 0 || x < s.ink_left)
          s.ink_left = x;
        if (x > s.ink_right)
          s.ink_right = x;
        if (s.ink_top < 0)
          s.ink_top = y;
        s.ink_bottom = y;
      } else {
        ++s.foreign;
      }
    }
  }
  return s;
}

TEST(TransLabel, ParentShowsThroughEverywhereButTheGlyphs) {
  Host host;
  TransLabel label;
  ASSERT_TRUE(label.create(host.hwnd(), at(8, 72, 80, 32), red_label(L"分辨率：")));
  label.show();
  const Image img = capture(label.hwnd());
  const Split s = split(img, 8, 72);
  EXPECT_EQ(s.foreign, 0) << "a pixel that is neither background nor text: a box or a fill";
  EXPECT_GT(s.ink, 20) << "the text is drawn";
  EXPECT_TRUE(any_in(img, 0, 0, img.width, img.height, [](Rgb p) { return p == kRed; }))
      << "glyph cores are exactly the text colour";
  // No box: the whole border ring of the label is the parent's background.
  for (int x = 0; x < img.width; ++x) {
    EXPECT_EQ(img.pixel(x, 0), background_at(8 + x, 72));
    EXPECT_EQ(img.pixel(x, 31), background_at(8 + x, 72 + 31));
  }
  // One line, left-aligned, centred vertically.
  EXPECT_LT(s.ink_left, 4);
  EXPECT_NEAR((s.ink_top + s.ink_bottom) / 2.0, 15.5, 3.0);
}

TEST(TransLabel, NewTextLeavesNoTraceOfTheOld) {
  Host host;
  TransLabel label;
  ASSERT_TRUE(label.create(host.hwnd(), at(20, 20, 200, 32), red_label(L"WWWWWWWWWW")));
  label.show();
  const Split before = split(capture(label.hwnd()), 20, 20);
  ASSERT_GT(before.ink_right, 60);

  label.set_text(L"W");
  const Split after = split(capture(label.hwnd()), 20, 20);
  EXPECT_EQ(after.foreign, 0);
  EXPECT_GT(after.ink, 0);
  EXPECT_LT(after.ink_right, 30) << "ink of the old, longer text remains";

  // The parent's own pixels under the label are its background too (nothing drawn there).
  const Image parent = capture(host.hwnd());
  for (int x = 60; x < 220; ++x) {
    ASSERT_EQ(parent.pixel(x, 36), background_at(x, 36)) << "x=" << x;
  }
}

TEST(TransLabel, MovingRepaintsOldAndNewPlaces) {
  Host host;
  TransLabel label;
  ASSERT_TRUE(label.create(host.hwnd(), at(10, 10, 120, 32), red_label(L"屏幕PPI值：")));
  label.show();
  UpdateWindow(host.hwnd());
  SetWindowPos(label.hwnd(), nullptr, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  pump_pending();
  const Image parent = capture(host.hwnd());
  for (int y = 10; y < 42; ++y) {
    for (int x = 10; x < 130; ++x) {
      ASSERT_EQ(parent.pixel(x, y), background_at(x, y)) << "old place x=" << x << " y=" << y;
    }
  }
  const Split moved = split(capture(label.hwnd()), 150, 120);
  EXPECT_EQ(moved.foreign, 0) << "the background of the old place moved along";
  EXPECT_GT(moved.ink, 0);
}

TEST(TransLabel, NeverTakesTheFocus) {
  Host host;
  controls::EditBox box;
  controls::EditBoxSettings es;
  es.font = win::Font{chinese_face(), 19, FW_BOLD};
  win::CommonFields ec = at(64, 72, 112, 32);
  ec.tab_stop = true;
  ASSERT_TRUE(box.create(host.hwnd(), ec, es));
  TransLabel label;
  ASSERT_TRUE(label.create(host.hwnd(), at(8, 150, 80, 32), red_label(L"分辨率：")));
  box.show();
  label.show();
  SetFocus(box.hwnd());

  mouse_move_to(label.hwnd(), {20, 16});
  mouse_button(label.hwnd(), {20, 16}, true);
  mouse_button(label.hwnd(), {20, 16}, false);
  EXPECT_EQ(GetFocus(), box.hwnd());
  EXPECT_FALSE(GetWindowLongPtrW(label.hwnd(), GWL_STYLE) & WS_TABSTOP);
}

}  // namespace
}  // namespace densilo::test
