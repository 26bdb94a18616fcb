#include "ui/controls/edit_box.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace densilo::test {
namespace {

using controls::EditBox;
using controls::EditBoxSettings;
using controls::TextAlignment;

EditBoxSettings result_box(TextAlignment alignment = TextAlignment::kLeft) {
  EditBoxSettings s;
  s.text_colour = win::Colour::hex(0xFFFFFF);
  s.background_colour = win::Colour::hex(0x000000);
  s.font = win::Font{chinese_face(), 19, FW_BOLD};
  s.alignment = alignment;
  return s;
}

win::CommonFields at(int left, int top, int width, int height) {
  win::CommonFields c;
  c.rect = {left, top, width, height};
  c.tab_stop = true;
  return c;
}

struct Rows {
  int first = -1;
  int last = -1;
};

// The rows and columns in which the text colour appears.
Rows rows_with(const Image& img, Rgb colour) {
  Rows r;
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      if (img.pixel(x, y) == colour) {
        if (r.first < 0)
          r.first = y;
        r.last = y;
      }
    }
  }
  return r;
}

Rows columns_with(const Image& img, Rgb colour) {
  Rows r;
  for (int x = 0; x < img.width; ++x) {
    for (int y = 0; y < img.height; ++y) {
      if (img.pixel(x, y) == colour) {
        if (r.first < 0)
          r.first = x;
        r.last = x;
        break;
      }
    }
  }
  return r;
}

TEST(EditBox, ThinFrameColoursAndCentredLine) {
  Host host;
  EditBox box;
  EditBoxSettings s = result_box();
  s.content = L"WWW";
  ASSERT_TRUE(box.create(host.hwnd(), at(80, 16, 96, 32), s));
  box.show();
  const Image img = capture(box.hwnd());
  ASSERT_EQ(img.width, 96);
  ASSERT_EQ(img.height, 32);

  const Rgb frame = sys_rgb(COLOR_WINDOWFRAME);
  for (int x = 0; x < img.width; ++x) {
    EXPECT_EQ(img.pixel(x, 0), frame) << "top frame at x=" << x;
    EXPECT_EQ(img.pixel(x, 31), frame) << "bottom frame at x=" << x;
  }
  for (int y = 0; y < img.height; ++y) {
    EXPECT_EQ(img.pixel(0, y), frame) << "left frame at y=" << y;
    EXPECT_EQ(img.pixel(95, y), frame) << "right frame at y=" << y;
  }
  // Inside the frame: only the background and the glyphs, never a 3D edge or the parent.
  const int line = box.line_height();
  const int top = 1 + (30 - line) / 2;
  for (int x = 1; x < 95; ++x) {
    EXPECT_EQ(img.pixel(x, 1), 0x000000u) << "band above the line at x=" << x;
    EXPECT_EQ(img.pixel(x, 30), 0x000000u) << "band below the line at x=" << x;
  }
  // The line's client area sits where the centring puts it, and the glyphs lie inside it.
  RECT client{};
  GetClientRect(box.hwnd(), &client);
  MapWindowPoints(box.hwnd(), host.hwnd(), reinterpret_cast<POINT*>(&client), 2);
  EXPECT_EQ(client.top - 16, top);
  EXPECT_EQ(client.bottom - client.top, line);
  const Rows glyphs = rows_with(img, 0xFFFFFF);
  ASSERT_GE(glyphs.first, 0) << "no pixel in the text colour";
  EXPECT_GE(glyphs.first, top);
  EXPECT_LT(glyphs.last, top + line);
  // "W" fills most of its line, so its ink is centred in the box within a pixel or two.
  EXPECT_NEAR((glyphs.first + glyphs.last) / 2.0, 15.5, 2.5);
}

TEST(EditBox, LeftAndCentredAlignment) {
  Host host;
  EditBox left;
  EditBox centred;
  EditBoxSettings s = result_box(TextAlignment::kLeft);
  s.content = L"92.6";
  ASSERT_TRUE(left.create(host.hwnd(), at(10, 10, 240, 32), s));
  s.alignment = TextAlignment::kCentre;
  s.text_colour = win::Colour::hex(0x0088FF);
  ASSERT_TRUE(centred.create(host.hwnd(), at(10, 60, 240, 32), s));
  left.show();
  centred.show();

  const Rows l = columns_with(capture(left.hwnd()), 0xFFFFFF);
  ASSERT_GE(l.first, 0);
  EXPECT_LT(l.first, 8) << "left-aligned text starts at the left edge";

  const Rows c = columns_with(capture(centred.hwnd()), 0x0088FF);
  ASSERT_GE(c.first, 0) << "no pixel in the text colour #0088FF";
  EXPECT_NEAR((c.first + c.last) / 2.0, 120.0, 3.0) << "centred text is centred";
}

TEST(EditBox, MinimumHeightHoldsOneLinePlusEdges) {
  Host host;
  EditBox low;
  EditBox tall;
  ASSERT_TRUE(low.create(host.hwnd(), at(10, 10, 100, 4), result_box()));
  ASSERT_TRUE(tall.create(host.hwnd(), at(10, 60, 100, 32), result_box()));

  const win::unique_hfont font = win::create_font(result_box().font);
  win::ScopedGetDc screen(nullptr);
  win::ScopedSelectObject select(screen.get(), font.get());
  TEXTMETRICW tm{};
  GetTextMetricsW(screen.get(), &tm);
  RECT r{};
  GetWindowRect(low.hwnd(), &r);
  EXPECT_EQ(r.bottom - r.top, tm.tmHeight + 2 * GetSystemMetrics(SM_CYEDGE));
  GetWindowRect(tall.hwnd(), &r);
  EXPECT_EQ(r.bottom - r.top, 32) << "a box high enough keeps its height";
}

TEST(EditBox, TextComesBackExactlyAsSetOrTyped) {
  Host host;
  EditBox box;
  ASSERT_TRUE(box.create(host.hwnd(), at(10, 10, 112, 32), result_box()));
  EXPECT_EQ(box.text(), L"");
  for (const std::wstring text : {L"  23.8 ", L"屏幕PPI值：1.#INF", L"x\tz"}) {
    box.set_text(text);
    EXPECT_EQ(box.text(), text);
  }
  box.set_text(L"");
  SetFocus(box.hwnd());
  for (wchar_t ch : std::wstring(L"abc1,5")) {
    SendMessageW(box.hwnd(), WM_CHAR, ch, 1);
  }
  EXPECT_EQ(box.text(), L"abc1,5") << "nothing filters what the user types";
  SendMessageW(box.hwnd(), WM_CHAR, L'\r', 1);
  EXPECT_EQ(box.text(), L"abc1,5") << "Enter leaves a single-line box unchanged";
}

TEST(EditBox, SelectionHiddenWhileUnfocused) {
  Host host;
  EditBox box;
  EditBox other;
  EditBoxSettings s = result_box();
  s.content = L"WWWWW";
  ASSERT_TRUE(box.create(host.hwnd(), at(10, 10, 150, 32), s));
  ASSERT_TRUE(other.create(host.hwnd(), at(10, 60, 150, 32), result_box()));
  box.show();
  other.show();
  const Rgb highlight = sys_rgb(COLOR_HIGHLIGHT);
  const auto is_highlight = [&](Rgb p) { return p == highlight; };

  SetFocus(box.hwnd());
  SendMessageW(box.hwnd(), EM_SETSEL, 0, -1);
  Image img = capture(box.hwnd());
  EXPECT_TRUE(any_in(img, 0, 0, img.width, img.height, is_highlight)) << "focused: selection shown";

  SetFocus(other.hwnd());
  img = capture(box.hwnd());
  EXPECT_FALSE(any_in(img, 0, 0, img.width, img.height, is_highlight))
      << "unfocused: selection hidden";
}

TEST(EditBox, TheBandsAroundTheLineBelongToTheBox) {
  Host host;
  EditBox box;
  EditBox other;
  EditBoxSettings s = result_box();
  s.content = L"1920";
  ASSERT_TRUE(box.create(host.hwnd(), at(64, 72, 112, 32), s));
  ASSERT_TRUE(other.create(host.hwnd(), at(64, 150, 112, 32), result_box()));
  box.show();
  other.show();
  SetFocus(other.hwnd());
  RECT window{};
  GetWindowRect(box.hwnd(), &window);
  POINT origin{0, 0};
  ClientToScreen(box.hwnd(), &origin);
  ASSERT_GT(origin.y - window.top, 3) << "the line is not centred";
  // Two pixels below the frame, in the band above the line; in the box's client coordinates.
  const POINT screen{window.left + 40, window.top + 2};
  const POINT in_band{screen.x - origin.x, screen.y - origin.y};
  EXPECT_EQ(SendMessageW(box.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)), HTCLIENT)
      << "the text cursor shows and clicks land here too";
  mouse_move_to(box.hwnd(), in_band);
  mouse_button(box.hwnd(), in_band, true);
  mouse_button(box.hwnd(), in_band, false);
  EXPECT_TRUE(wait_until([&] { return GetFocus() == box.hwnd(); })) << "a click in the band";
}

TEST(EditBox, HandPointerReplacesTheTextCursor) {
  Host host;
  struct Case {
    win::MousePointer pointer;
    const wchar_t* expected;
  };
  for (const Case& c :
       {Case{win::MousePointer::kDefault, IDC_IBEAM}, Case{win::MousePointer::kHand, IDC_HAND}}) {
    EditBox box;
    win::CommonFields common = at(10, 10, 100, 32);
    common.pointer = c.pointer;
    ASSERT_TRUE(box.create(host.hwnd(), common, result_box()));
    box.show();
    SetCursor(nullptr);
    SendMessageW(box.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(box.hwnd()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, c.expected));
  }
}

}  // namespace
}  // namespace densilo::test
