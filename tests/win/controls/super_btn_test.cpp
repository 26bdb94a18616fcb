#include "ui/controls/super_btn.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "harness.h"
#include "ui/controls/edit_box.h"

namespace densilo::test {
namespace {

using controls::SuperBtn;
using controls::SuperBtnSettings;

// Distinct colours per state, so every state shows which pair it used.
constexpr Rgb kFgOut = 0x112233, kBkOut = 0x445566;
constexpr Rgb kFgIn = 0x0A0B0C, kBkIn = 0xAABBCC;
constexpr Rgb kFgFocus = 0xDDEEFF, kBkFocus = 0x203040;

SuperBtnSettings state_colours(std::wstring caption = L"计算PPI") {
  SuperBtnSettings s;
  s.caption = std::move(caption);
  s.font = win::Font{chinese_face(), 14, FW_NORMAL};
  s.fg_color_out = win::Colour::hex(kFgOut);
  s.bk_color_out = win::Colour::hex(kBkOut);
  s.fg_color_in = win::Colour::hex(kFgIn);
  s.bk_color_in = win::Colour::hex(kBkIn);
  s.fg_color_focus = win::Colour::hex(kFgFocus);
  s.bk_color_focus = win::Colour::hex(kBkFocus);
  return s;
}

// A button on a host, with a log of what it did: "sound" and "click" in the order they came.
struct Bench {
  Host host;
  controls::EditBox elsewhere;  // somewhere for the focus to be
  SuperBtn button;
  std::vector<std::string> log;
  // Stands in for the WAV asset; its bytes are never played here.
  std::array<std::byte, 4> wav{std::byte{'R'}, std::byte{'I'}, std::byte{'F'}, std::byte{'F'}};

  explicit Bench(const SuperBtnSettings& settings = state_colours(), int width = 112,
                 int height = 32) {
    controls::EditBoxSettings es;
    es.font = win::Font{chinese_face(), 19, FW_BOLD};
    win::CommonFields ec;
    ec.rect = {10, 150, 100, 32};
    ec.tab_stop = true;
    elsewhere.create(host.hwnd(), ec, es);
    elsewhere.show();
    win::CommonFields bc;
    bc.rect = {224, 16, width, height};
    bc.tab_stop = true;
    bc.pointer = win::MousePointer::kHand;
    button.create(
        host.hwnd(), bc, settings, wav, [this] { log.push_back("click"); }, 42,
        [this](std::span<const std::byte> bytes) {
          EXPECT_EQ(bytes.data(), wav.data()) << "the owner's WAV bytes are played";
          log.push_back("sound");
        });
    button.show();
    SetFocus(elsewhere.hwnd());
    pump_pending();
  }
  HWND hwnd() const { return button.hwnd(); }
  void send(UINT msg, WPARAM w, LPARAM l) {
    SendMessageW(hwnd(), msg, w, l);
    pump_pending();
  }
  void hover() { send(WM_MOUSEMOVE, 0, point_lparam(20, 10)); }
  void leave() { send(WM_MOUSELEAVE, 0, 0); }
};

enum class State { kNormal, kHovered, kPressed, kSpaceHeld, kFocused, kFocusedHovered };

void enter(Bench& b, State state) {
  switch (state) {
    case State::kNormal:
      break;
    case State::kHovered:
      b.hover();
      break;
    case State::kPressed:
      b.hover();
      b.send(BM_SETSTATE, TRUE, 0);
      break;
    case State::kSpaceHeld:
      SetFocus(b.hwnd());
      b.send(WM_KEYDOWN, VK_SPACE, 0x00390001);
      break;
    case State::kFocused:
      SetFocus(b.hwnd());
      break;
    case State::kFocusedHovered:
      SetFocus(b.hwnd());
      b.hover();
      break;
  }
  pump_pending();
}

enum class Edge { kNone, kRaised, kSunken };

TEST(SuperBtn, FaceEdgeAndCaptionPerState) {
  struct Case {
    State state;
    Rgb face;
    Rgb caption;
    Edge edge;
  };
  const Case cases[] = {
      {State::kNormal, kBkOut, kFgOut, Edge::kNone},
      {State::kHovered, kBkIn, kFgIn, Edge::kRaised},
      {State::kPressed, kBkIn, kFgIn, Edge::kSunken},
      {State::kSpaceHeld, kBkIn, kFgIn, Edge::kSunken},
      {State::kFocused, kBkFocus, kFgFocus, Edge::kNone},
      {State::kFocusedHovered, kBkIn, kFgIn, Edge::kRaised},
  };
  const Rgb light = sys_rgb(COLOR_BTNHIGHLIGHT);
  const Rgb dark = sys_rgb(COLOR_BTNSHADOW);
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.state));
    Bench b;
    enter(b, c.state);
    const Image img = capture(b.hwnd());
    const int w = img.width, h = img.height;
    EXPECT_EQ(img.pixel(4, 4), c.face);
    EXPECT_EQ(img.pixel(w - 5, h - 5), c.face);
    EXPECT_TRUE(any_in(img, 2, 2, w - 2, h - 2, [&](Rgb p) { return p == c.caption; }))
        << "caption colour";
    const Rgb top_left = c.edge == Edge::kRaised ? light : c.edge == Edge::kSunken ? dark : c.face;
    const Rgb bottom_right = c.edge == Edge::kRaised   ? dark
                             : c.edge == Edge::kSunken ? light
                                                       : c.face;
    EXPECT_EQ(img.pixel(w / 2, 0), top_left) << "top edge";
    EXPECT_EQ(img.pixel(0, h / 2), top_left) << "left edge";
    EXPECT_EQ(img.pixel(w / 2, h - 1), bottom_right) << "bottom edge";
    EXPECT_EQ(img.pixel(w - 1, h / 2), bottom_right) << "right edge";
    // Just inside the edge, where a focus rectangle or a second 3D line would go: face only.
    for (int x = 3; x < w - 3; ++x) {
      ASSERT_EQ(img.pixel(x, 1), c.face) << "x=" << x;
      ASSERT_EQ(img.pixel(x, 3), c.face) << "x=" << x;
      ASSERT_EQ(img.pixel(x, h - 4), c.face) << "x=" << x;
    }
  }
}

TEST(SuperBtn, PressedCaptionMovesOnePixelRightAndDown) {
  Bench hovered;
  enter(hovered, State::kHovered);
  Bench pressed;
  enter(pressed, State::kPressed);
  const Image a = capture(hovered.hwnd());
  const Image p = capture(pressed.hwnd());
  int ink = 0;
  for (int y = 2; y < a.height - 3; ++y) {
    for (int x = 2; x < a.width - 3; ++x) {
      ASSERT_EQ(p.pixel(x + 1, y + 1), a.pixel(x, y)) << "x=" << x << " y=" << y;
      ink += a.pixel(x, y) != kBkIn;
    }
  }
  EXPECT_GT(ink, 20) << "the caption was drawn at all";
}

TEST(SuperBtn, CaptionTooWideWrapsAndStaysCentred) {
  Bench b(state_colours(L"计算 PPI 计算 PPI"), 60, 64);
  enter(b, State::kHovered);
  const Image img = capture(b.hwnd());
  std::vector<bool> row_has_ink;
  int first = -1, last = -1;
  for (int y = 1; y < img.height - 1; ++y) {
    const bool ink = any_in(img, 1, y, img.width - 1, y + 1, [](Rgb p) { return p != kBkIn; });
    row_has_ink.push_back(ink);
    if (ink) {
      if (first < 0)
        first = y;
      last = y;
    }
  }
  ASSERT_GE(first, 0);
  int bands = 0;
  for (std::size_t i = 0; i < row_has_ink.size(); ++i) {
    bands += row_has_ink[i] && (i == 0 || !row_has_ink[i - 1]);
  }
  EXPECT_GE(bands, 2) << "the caption is broken into lines";
  EXPECT_NEAR(first, img.height - 1 - last, 6) << "the block of lines is centred vertically";
}

TEST(SuperBtn, DisabledCaptionIsEmbossed) {
  Bench b;
  EnableWindow(b.hwnd(), FALSE);
  const Image img = capture(b.hwnd());
  const Rgb light = sys_rgb(COLOR_BTNHIGHLIGHT);
  const Rgb dark = sys_rgb(COLOR_BTNSHADOW);
  EXPECT_TRUE(any_in(img, 2, 2, img.width - 2, img.height - 2, [&](Rgb p) { return p == light; }));
  EXPECT_TRUE(any_in(img, 2, 2, img.width - 2, img.height - 2, [&](Rgb p) { return p == dark; }));
  EXPECT_FALSE(any_in(img, 0, 0, img.width, img.height, [](Rgb p) { return p == kFgOut; }));
}

using Log = std::vector<std::string>;

TEST(SuperBtn, HoverPlaysTheSoundOnceEachTimeItStarts) {
  Bench b;
  b.hover();
  b.send(WM_MOUSEMOVE, 0, point_lparam(30, 12));
  b.send(WM_MOUSEMOVE, 0, point_lparam(40, 14));
  EXPECT_EQ(b.log, Log({"sound"}));
  EXPECT_TRUE(b.button.hovered());
  b.leave();
  EXPECT_FALSE(b.button.hovered());
  b.hover();
  EXPECT_EQ(b.log, Log({"sound", "sound"}));
  b.leave();
  // Moving in with the left button held (a press that began elsewhere) is no hover.
  b.send(WM_MOUSEMOVE, MK_LBUTTON, point_lparam(20, 10));
  EXPECT_FALSE(b.button.hovered());
  EXPECT_EQ(b.log, Log({"sound", "sound"}));
}

TEST(SuperBtn, ClickRules) {
  struct Step {
    UINT msg;
    WPARAM wparam;
    LPARAM lparam;
  };
  const LPARAM in = point_lparam(20, 10);
  const LPARAM out = point_lparam(300, 100);
  struct Case {
    const char* name;
    bool focus_first;
    std::vector<Step> steps;
    Log expected;
  };
  const Case cases[] = {
      {"press and release on the button clicks, sound first",
       false,
       {{WM_LBUTTONDOWN, MK_LBUTTON, in}, {WM_LBUTTONUP, 0, in}},
       {"sound", "click"}},
      {"press, move off, release does not click",
       false,
       {{WM_LBUTTONDOWN, MK_LBUTTON, in}, {WM_MOUSEMOVE, MK_LBUTTON, out}, {WM_LBUTTONUP, 0, out}},
       {}},
      {"Space clicks",
       true,
       {{WM_KEYDOWN, VK_SPACE, 0x00390001},
        {WM_CHAR, L' ', 0x00390001},
        {WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u)}},
       {"sound", "click"}},
      {"Enter does not click",
       true,
       {{WM_KEYDOWN, VK_RETURN, 0x001C0001},
        {WM_CHAR, L'\r', 0x001C0001},
        {WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001u)}},
       {}},
      {"each click of a fast pair counts",
       false,
       {{WM_LBUTTONDOWN, MK_LBUTTON, in},
        {WM_LBUTTONUP, 0, in},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, in},
        {WM_LBUTTONUP, 0, in}},
       {"sound", "click", "sound", "click"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bench b;
    if (c.focus_first) {
      SetFocus(b.hwnd());
    }
    for (const Step& s : c.steps) {
      b.send(s.msg, s.wparam, s.lparam);
    }
    EXPECT_EQ(b.log, c.expected);
  }
}

TEST(SuperBtn, NeverADefaultButton) {
  Bench b;
  const LRESULT code = SendMessageW(b.hwnd(), WM_GETDLGCODE, 0, 0);
  EXPECT_EQ(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON), 0);
}

TEST(SuperBtn, PressTakesTheFocus) {
  Bench b;
  ASSERT_EQ(GetFocus(), b.elsewhere.hwnd());
  b.send(WM_LBUTTONDOWN, MK_LBUTTON, point_lparam(20, 10));
  EXPECT_EQ(GetFocus(), b.hwnd());
  b.send(WM_LBUTTONUP, 0, point_lparam(20, 10));
}

// The same rules with real input: the pointer enters (hover, one sound), presses and releases
// (sound, click); then a press that leaves the button before the release does not click.
TEST(SuperBtn, RealMouseInput) {
  Bench b;
  mouse_move_to(b.hwnd(), {60, 5});
  mouse_move_to(b.hwnd(), {56, 16}, [&] { return b.button.hovered(); });
  EXPECT_TRUE(b.button.hovered());
  mouse_button(b.hwnd(), {56, 16}, true);
  mouse_button(b.hwnd(), {56, 16}, false);
  EXPECT_EQ(b.log, Log({"sound", "sound", "click"}));

  b.log.clear();
  mouse_button(b.hwnd(), {56, 16}, true);
  mouse_move_to(b.hwnd(), {56, 120}, [&] { return !b.button.hovered(); });
  mouse_button(b.hwnd(), {56, 120}, false);
  pump_for(600ms);  // WM_MOUSELEAVE comes from a timer
  EXPECT_EQ(b.log, Log{});
  EXPECT_FALSE(b.button.hovered());
}

TEST(SuperBtn, HandPointerOverTheButton) {
  Bench b;
  SetCursor(nullptr);
  SendMessageW(b.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(b.hwnd()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

}  // namespace
}  // namespace densilo::test
