#include "ui/controls/hyper_linker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "ui/controls/edit_box.h"

namespace densilo::test {
namespace {

using controls::HyperLinker;
using controls::HyperLinkerSettings;

constexpr Rgb kNormal = 0x0000FF, kVisited = 0x00FF00, kHover = 0xFF0000;

struct Call {
  std::wstring target;
  int show;
  bool operator==(const Call&) const = default;
};

// A link like the window's, whose opener is scripted: each press takes the next outcome.
struct Bench {
  Host host;
  controls::EditBox elsewhere;
  HyperLinker link;
  std::vector<Call> calls;
  std::vector<bool> outcomes;

  explicit Bench(std::wstring target = L"https://example.org/about") {
    controls::EditBoxSettings es;
    es.font = win::Font{chinese_face(), 19, FW_BOLD};
    win::CommonFields ec;
    ec.rect = {10, 150, 100, 32};
    ec.tab_stop = true;
    elsewhere.create(host.hwnd(), ec, es);
    elsewhere.show();

    HyperLinkerSettings s;
    s.caption = L"关于作者";
    s.target = std::move(target);
    s.normal_colour = win::Colour::hex(kNormal);
    s.visited_colour = win::Colour::hex(kVisited);
    s.hover_colour = win::Colour::hex(kHover);
    s.background_colour = win::Colour::hex(0x000000);
    win::CommonFields c;
    c.rect = {152, 115, 64, 16};
    c.pointer = win::MousePointer::kHand;
    link.create(host.hwnd(), c, s, 9, [this](std::wstring_view t, int show) {
      calls.push_back({std::wstring(t), show});
      const bool ok = !outcomes.empty() && outcomes.front();
      if (!outcomes.empty()) {
        outcomes.erase(outcomes.begin());
      }
      return ok;
    });
    link.show();
    SetFocus(elsewhere.hwnd());
    UpdateWindow(host.hwnd());
    pump_pending();
  }
  HWND hwnd() const { return link.hwnd(); }
  void send(UINT msg, WPARAM w, LPARAM l) { SendMessageW(hwnd(), msg, w, l); }
  void enter() { send(WM_MOUSEMOVE, 0, point_lparam(30, 8)); }
  void leave() { send(WM_MOUSEMOVE, 0, point_lparam(-5, 40)); }
  void press() { send(WM_LBUTTONDOWN, MK_LBUTTON, point_lparam(30, 8)); }
  Image pixels() { return capture(hwnd()); }
};

bool shows(const Image& img, Rgb colour) {
  return any_in(img, 1, 1, img.width - 1, img.height - 1, [&](Rgb p) { return p == colour; });
}

TEST(HyperLinker, FramedBlackBoxWithTextInTheStateColour) {
  Bench b;
  Image img = b.pixels();
  const Rgb frame = sys_rgb(COLOR_WINDOWFRAME);
  EXPECT_EQ(img.pixel(0, 0), frame);
  EXPECT_EQ(img.pixel(32, 0), frame);
  EXPECT_EQ(img.pixel(63, 8), frame);
  EXPECT_EQ(img.pixel(32, 15), frame);
  EXPECT_EQ(img.pixel(1, 1), 0x000000u);
  EXPECT_EQ(img.pixel(62, 14), 0x000000u);
  EXPECT_TRUE(shows(img, kNormal));
  EXPECT_FALSE(shows(img, kHover) || shows(img, kVisited));

  b.enter();
  img = b.pixels();
  EXPECT_TRUE(shows(img, kHover));
  EXPECT_FALSE(shows(img, kNormal));

  b.outcomes = {true};
  b.press();
  b.leave();
  img = b.pixels();
  EXPECT_TRUE(shows(img, kVisited));
  EXPECT_FALSE(shows(img, kNormal) || shows(img, kHover));

  b.enter();
  EXPECT_TRUE(shows(b.pixels(), kHover)) << "hover wins over visited";
}

TEST(HyperLinker, HoverHoldsTheMouseUntilThePointerLeaves) {
  Bench b;
  b.enter();
  EXPECT_TRUE(b.link.hovered());
  EXPECT_EQ(GetCapture(), b.hwnd());
  b.send(WM_MOUSEMOVE, 0, point_lparam(63, 15));
  EXPECT_EQ(GetCapture(), b.hwnd()) << "still inside";
  b.send(WM_MOUSEMOVE, 0, point_lparam(64, 8));
  EXPECT_FALSE(b.link.hovered());
  EXPECT_EQ(GetCapture(), nullptr) << "capture released as soon as the pointer leaves";
}

TEST(HyperLinker, OpensOnThePressWithShowCommand) {
  Bench b;
  b.outcomes = {true, true};
  b.enter();
  b.press();  // no button-up: the press alone opens
  ASSERT_EQ(b.calls, std::vector<Call>({{L"https://example.org/about", SW_SHOW}}));
  EXPECT_TRUE(b.link.visited());
  b.send(WM_LBUTTONUP, 0, point_lparam(30, 8));
  b.press();
  EXPECT_EQ(b.calls.size(), 2u) << "pressing again opens again";
  EXPECT_NE(GetFocus(), b.hwnd()) << "the link never takes the focus";
  EXPECT_EQ(GetFocus(), b.elsewhere.hwnd());
}

TEST(HyperLinker, VisitedIsTheOutcomeOfTheLatestPress) {
  Bench b;
  EXPECT_FALSE(b.link.visited());
  b.outcomes = {true, false, true};
  b.press();
  EXPECT_TRUE(b.link.visited());
  // Redrawn at once after a success: nothing left to paint, the new colour already shown.
  RECT pending{};
  EXPECT_FALSE(GetUpdateRect(b.hwnd(), &pending, FALSE));
  EXPECT_TRUE(shows(b.pixels(), kVisited));

  b.press();
  EXPECT_FALSE(b.link.visited()) << "a failed press clears visited";
  EXPECT_FALSE(GetUpdateRect(b.hwnd(), &pending, FALSE)) << "no redraw asked after a failure";
  EXPECT_TRUE(shows(b.pixels(), kVisited)) << "not redrawn at once after a failure";
  InvalidateRect(b.hwnd(), nullptr, FALSE);
  EXPECT_TRUE(shows(b.pixels(), kNormal)) << "the next redraw shows the normal colour";

  b.press();
  EXPECT_TRUE(b.link.visited());
}

TEST(HyperLinker, EmptyCaptionShowsTheTarget) {
  Host host;
  HyperLinkerSettings s;
  s.target = L"WWW";
  s.normal_colour = win::Colour::hex(kNormal);
  s.background_colour = win::Colour::hex(0);
  HyperLinker link;
  win::CommonFields c;
  c.rect = {20, 20, 64, 16};
  ASSERT_TRUE(link.create(host.hwnd(), c, s, 0, [](std::wstring_view, int) { return false; }));
  link.show();
  EXPECT_TRUE(shows(capture(link.hwnd()), kNormal));
}

TEST(HyperLinker, HandCursorWhateverThePointerField) {
  Host host;
  for (const win::MousePointer pointer : {win::MousePointer::kDefault, win::MousePointer::kHand}) {
    HyperLinker link;
    win::CommonFields c;
    c.rect = {20, 20, 64, 16};
    c.pointer = pointer;
    ASSERT_TRUE(link.create(host.hwnd(), c, HyperLinkerSettings{}, 0,
                            [](std::wstring_view, int) { return false; }));
    link.show();
    SetCursor(nullptr);
    SendMessageW(link.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link.hwnd()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  }
}

// Real input: the pointer enters (hover colour), presses (opens at once), and leaves.
TEST(HyperLinker, RealMouseInput) {
  Bench b;
  b.outcomes = {true};
  mouse_move_to(b.hwnd(), {30, 8}, [&] { return b.link.hovered(); });
  EXPECT_TRUE(b.link.hovered());
  EXPECT_TRUE(shows(b.pixels(), kHover));
  mouse_button(b.hwnd(), {30, 8}, true);
  EXPECT_EQ(b.calls.size(), 1u) << "opened on the press";
  mouse_button(b.hwnd(), {30, 8}, false);
  mouse_move_to(b.hwnd(), {30, 60}, [&] { return !b.link.hovered(); });
  EXPECT_FALSE(b.link.hovered());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(shows(b.pixels(), kVisited));
}

}  // namespace
}  // namespace densilo::test
