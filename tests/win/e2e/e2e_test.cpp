// densilo.exe as a user meets it: started as its own process, typed into, clicked, closed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "ui/app/control_ids.h"
#include "ui/core/picture_layout.h"

namespace densilo::e2e {
namespace {

using namespace app;

std::wstring densilo_exe() {
  return windows_path(DENSILO_EXE);
}

class Densilo : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<Process>(densilo_exe());
    ASSERT_NE(window(), nullptr) << "densilo.exe showed no window";
    ASSERT_TRUE(make_foreground(window()));
    // Activation settles the focus a moment after the window comes to the front.
    wait_until([&] { return focus() == control(kIdEdit1); });
  }

  HWND window() const { return app_->window(); }
  HWND control(int id) const { return GetDlgItem(window(), id); }
  HWND focus() const { return focus_of(app_->thread_id()); }
  bool shown(int id) const { return IsWindowVisible(control(id)) != FALSE; }

  POINT centre_of(int id) const {
    const RECT r = window_rect(control(id));
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  void focus_box_and_type(int id, const std::wstring& text) {
    click_at(centre_of(id));
    ASSERT_TRUE(wait_until([&] { return focus() == control(id); }));
    // Selected by keys, which queue up behind the click, so the selection cannot race it.
    press({VK_HOME});
    press({VK_END, true});
    type_text(text);
    ASSERT_TRUE(wait_until([&] { return window_text(control(id)) == text; }))
        << "box " << id << " holds the wrong text";
  }

  void tab_until_focus(int id, bool shift = false) {
    for (int i = 0; i < 6 && focus() != control(id); ++i) {
      const HWND before = focus();
      press({VK_TAB, shift});
      wait_until([&] { return focus() != before; });
    }
    ASSERT_EQ(focus(), control(id));
  }

  // Clicks the button with the mouse or with Space, and gives the text the result box shows.
  std::wstring calculate(bool with_space) {
    // Cleared first, so the result of this click is told apart from the one before.
    SendMessageW(control(kIdEdit4), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    if (with_space) {
      tab_until_focus(kIdButton1);
      press({VK_SPACE});
    } else {
      click_at(centre_of(kIdButton1));
    }
    wait_until([&] { return !window_text(control(kIdEdit4)).empty(); });
    return window_text(control(kIdEdit4));
  }

  std::unique_ptr<Process> app_;
};

TEST_F(Densilo, OpensCentredAtItsFixedSizeWithEmptyBoxesAndTheResultHidden) {
  const RECT outer = window_rect(window());
  EXPECT_EQ(outer.right - outer.left, 374);
  EXPECT_EQ(outer.bottom - outer.top, 236);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 374) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 236) / 2);
  EXPECT_EQ(window_text(window()), L"Densilo");

  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window(), GWL_STYLE));
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u)
      << "only the close button, and no sizing frame";
  EXPECT_EQ(GetWindow(window(), GW_OWNER), nullptr) << "its own taskbar button";

  EXPECT_EQ(focus(), control(kIdEdit1));

  struct Expected {
    int id;
    const wchar_t* kind;  // window class
    RECT rect;            // left, top, right, bottom in client coordinates
    const wchar_t* text;
    bool shown;
  };
  const Expected table[] = {
      {kIdLabel1, nullptr, {8, 72, 88, 104}, L"分辨率：", true},
      {kIdLabel2, nullptr, {8, 8, 80, 48}, L"屏幕尺寸：", true},
      {kIdEdit1, L"Edit", {80, 16, 176, 48}, L"", true},
      {kIdEdit2, L"Edit", {64, 72, 176, 104}, L"", true},
      {kIdEdit3, L"Edit", {224, 72, 336, 104}, L"", true},
      {kIdLabel4, nullptr, {8, 144, 104, 176}, L"屏幕PPI值：", false},
      {kIdEdit4, L"Edit", {96, 144, 336, 176}, L"", false},
      {kIdButton1, L"Button", {224, 16, 336, 48}, L"计算PPI", true},
      {kIdLink1, nullptr, {152, 115, 216, 131}, L"关于作者", false},
  };
  for (const Expected& e : table) {
    SCOPED_TRACE(e.id);
    const HWND child = control(e.id);
    ASSERT_NE(child, nullptr);
    if (e.kind != nullptr) {
      EXPECT_EQ(_wcsicmp(class_name(child).c_str(), e.kind), 0) << class_name(child).c_str();
    }
    RECT r = window_rect(child);
    MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, e.rect.left);
    EXPECT_EQ(r.top, e.rect.top);
    EXPECT_EQ(r.right, e.rect.right);
    EXPECT_EQ(r.bottom, e.rect.bottom);
    EXPECT_EQ(window_text(child), e.text);
    EXPECT_EQ(shown(e.id), e.shown);
    EXPECT_TRUE(IsWindowEnabled(child));
  }
}

TEST_F(Densilo, TypedInputsGiveTheDensityAndRevealTheResult) {
  struct Case {
    const wchar_t* diagonal;
    const wchar_t* width;
    const wchar_t* height;
    const wchar_t* shown;
  };
  const Case cases[] = {
      {L"", L"", L"", L"-1.#IND"},  // all empty, before anything was typed
      {L"23.8", L"1920", L"1080", L"92.6"},
      {L"２３．８", L"１９２０", L"１０８０", L"92.6"},  // full-width digits and point
      {L"24寸", L"1920", L"1080", L"91.8"},              // a unit after the number
      {L"24", L"1,920", L"1080", L"45.0"},               // a thousands separator ends the number
      {L"23。8", L"1920", L"1080", L"95.8"},             // an ideographic full stop too
      {L"abc", L"1920", L"1080", L"1.#INF"},             // no number counts as 0
      {L"abc", L"1920", L"-1080", L"-1.#INF"},
      {L"23.8", L"1920", L"xyz", L"-1.#IND"},
      {L"-23.8", L"1920", L"-1080", L"-92.6"},
      {L"14", L"1366", L"768", L"111.9"},
      {L"23.8", L"3000000000", L"1080", L"54410390.6"},
      {L"1e999", L"1920", L"1080", L"0.0"},
  };
  bool first = true;
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n);
    if (!first) {
      focus_box_and_type(kIdEdit1, c.diagonal);
      focus_box_and_type(kIdEdit2, c.width);
      focus_box_and_type(kIdEdit3, c.height);
    }
    // Alternately by mouse and by Space on the focused button.
    EXPECT_EQ(calculate(n % 2 == 1), c.shown);
    if (first) {
      EXPECT_TRUE(shown(kIdLabel4));
      EXPECT_TRUE(shown(kIdEdit4));
      EXPECT_TRUE(shown(kIdLink1));
    }
    first = false;
    ++n;
  }
  // Unchanged boxes, a second click: the same text, and the result stays shown.
  EXPECT_EQ(calculate(false), L"0.0");
  EXPECT_TRUE(shown(kIdLabel4) && shown(kIdEdit4) && shown(kIdLink1));
  // The input boxes are never written.
  EXPECT_EQ(window_text(control(kIdEdit1)), L"1e999");
}

TEST_F(Densilo, TabWalksTheBoxesAndTheButtonAndTakesTheResultBoxOnceShown) {
  const std::vector<int> before = {kIdEdit2, kIdEdit3, kIdButton1, kIdEdit1, kIdEdit2};
  for (int id : before) {
    const HWND was = focus();
    press({VK_TAB});
    ASSERT_TRUE(wait_until([&] { return focus() != was; }));
    EXPECT_EQ(focus(), control(id)) << "Tab should reach control " << id;
  }
  // Shift+Tab goes back, from the first around to the last.
  for (int id : {kIdEdit1, kIdButton1, kIdEdit3}) {
    const HWND was = focus();
    press({VK_TAB, true});
    ASSERT_TRUE(wait_until([&] { return focus() != was; }));
    EXPECT_EQ(focus(), control(id)) << "Shift+Tab should reach control " << id;
  }

  press({VK_TAB});  // to the button
  ASSERT_TRUE(wait_until([&] { return focus() == control(kIdButton1); }));
  press({VK_SPACE});
  ASSERT_TRUE(wait_until([&] { return shown(kIdEdit4); }));
  EXPECT_EQ(window_text(control(kIdEdit4)), L"-1.#IND");
  EXPECT_EQ(focus(), control(kIdButton1));

  const std::vector<int> after = {kIdEdit1, kIdEdit2, kIdEdit3, kIdEdit4, kIdButton1};
  for (int id : after) {
    const HWND was = focus();
    press({VK_TAB});
    ASSERT_TRUE(wait_until([&] { return focus() != was; }));
    EXPECT_EQ(focus(), control(id)) << "after the first calculation Tab should reach " << id;
  }
}

TEST_F(Densilo, EnterAndF1DoNothingWhileArrowsReachTheBox) {
  type_text(L"abc");
  ASSERT_TRUE(wait_until([&] { return window_text(control(kIdEdit1)) == L"abc"; }));
  press({VK_RETURN});
  press({VK_F1});
  press({VK_LEFT});
  press({VK_LEFT});
  // Typed after the keys above, so its arrival shows they have all been handled.
  type_text(L"X");
  ASSERT_TRUE(wait_until([&] { return window_text(control(kIdEdit1)) != L"abc"; }));
  EXPECT_EQ(window_text(control(kIdEdit1)), L"aXbc");
  EXPECT_EQ(focus(), control(kIdEdit1)) << "Enter must not move the focus";
  EXPECT_FALSE(shown(kIdEdit4)) << "Enter must not calculate";
  EXPECT_EQ(GetForegroundWindow(), window()) << "F1 must open nothing";
  EXPECT_FALSE(app_->wait_exit(0ms).has_value());

  // Enter on the focused button does not click it either.
  tab_until_focus(kIdButton1);
  press({VK_RETURN});
  tab_until_focus(kIdEdit1);
  EXPECT_FALSE(shown(kIdEdit4));
}

TEST_F(Densilo, ReactivationGivesTheFocusBackToTheControlThatHadIt) {
  tab_until_focus(kIdEdit3);
  // Another window takes the activation, then the user comes back.
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_TRUE(make_foreground(other));
  pump_for(200ms);
  ASSERT_TRUE(make_foreground(window()));
  EXPECT_TRUE(wait_until([&] { return focus() == control(kIdEdit3); }));
  DestroyWindow(other);
}

// --- Pixels -----------------------------------------------------------------------------------

constexpr std::uint32_t rgb(COLORREF c) {
  return static_cast<std::uint32_t>(GetRValue(c)) << 16 |
         static_cast<std::uint32_t>(GetGValue(c)) << 8 | GetBValue(c);
}

int channel(std::uint32_t pixel, int shift) {
  return static_cast<int>(pixel >> shift & 0xFF);
}

bool reddish(std::uint32_t pixel) {
  return channel(pixel, 16) > channel(pixel, 8) + 24 && channel(pixel, 16) > channel(pixel, 0) + 24;
}

// A pixel of red text blended over the picture by anti-aliasing: towards #FF0000 from what was
// there, red never falling and green and blue never rising. A box in any other colour fails.
// Halftone stretching of a part of the picture (the label asks for the part behind it) may
// differ from stretching the whole by a few levels; that is still the picture.
bool red_over(std::uint32_t pixel, std::uint32_t background) {
  constexpr int kHalftone = 4;
  return channel(pixel, 16) >= channel(background, 16) - kHalftone &&
         channel(pixel, 8) <= channel(background, 8) + kHalftone &&
         channel(pixel, 0) <= channel(background, 0) + kHalftone;
}

class Pixels : public Densilo {
 protected:
  RECT client() const { return client_rect_on_screen(window()); }
  // A control's rectangle in the client capture's coordinates.
  RECT in_client(int id) const {
    RECT r = window_rect(control(id));
    MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  // Onto a bare spot of the window's own background, away from every control. (Outside the
  // window, Wine may take the capture from a button that Space holds down.)
  void pointer_away() {
    const RECT area = client();
    move_to({area.right - 12, area.bottom - 8});
    pump_for(600ms);  // hover ends on the control's mouse-leave timer
  }
  // By keyboard only, so the pointer never lights the button: Space on the focused button,
  // then Tab on to the first box.
  void calculate_23_8() {
    // Each key's effect is awaited before the next, so no Tab is still on its way when the
    // focus is checked.
    type_text(L"23.8");
    ASSERT_TRUE(wait_until([&] { return window_text(control(kIdEdit1)) == L"23.8"; }));
    press({VK_TAB});
    ASSERT_TRUE(wait_until([&] { return focus() == control(kIdEdit2); }));
    type_text(L"1920");
    ASSERT_TRUE(wait_until([&] { return window_text(control(kIdEdit2)) == L"1920"; }));
    press({VK_TAB});
    ASSERT_TRUE(wait_until([&] { return focus() == control(kIdEdit3); }));
    type_text(L"1080");
    ASSERT_TRUE(wait_until([&] { return window_text(control(kIdEdit3)) == L"1080"; }));
    tab_until_focus(kIdButton1);
    press({VK_SPACE});
    ASSERT_TRUE(wait_until([&] { return window_text(control(kIdEdit4)) == L"92.6"; }))
        << "boxes: [" << window_text(control(kIdEdit1)) << "] [" << window_text(control(kIdEdit2))
        << "] [" << window_text(control(kIdEdit3)) << "] [" << window_text(control(kIdEdit4))
        << "] focus " << GetDlgCtrlID(focus());
    tab_until_focus(kIdEdit1);
    pump_for(300ms);
  }
};

TEST_F(Pixels, PictureIsCentredAndShrunkWithBandsOfTheButtonFaceColour) {
  pointer_away();
  const Capture shot = capture_screen(client());
  const core::PictureRect at = core::place_picture(shot.width, shot.height, 1366, 768);
  ASSERT_GT(at.width, 0);
  const std::uint32_t face = rgb(GetSysColor(COLOR_BTNFACE));
  int band_pixels = 0;
  int wrong_band = 0;
  int dark_picture = 0;
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      const bool inside = x >= at.x && x < at.x + at.width && y >= at.y && y < at.y + at.height;
      // The controls stand well inside the picture; the bands are at the very edges.
      if (!inside) {
        ++band_pixels;
        wrong_band += shot.at(x, y) != face;
      } else if ((shot.at(x, y) & 0xC0C0C0) == 0) {
        ++dark_picture;
      }
    }
  }
  EXPECT_EQ(wrong_band, 0) << "of " << band_pixels << " band pixels in a " << shot.width << "x"
                           << shot.height << " client area";
  // The picture is a dark field: most of what it covers is dark.
  EXPECT_GT(dark_picture, at.width * at.height / 2);
  // The picture is shrunk to the tighter side, so it touches both ends of one direction.
  EXPECT_TRUE((at.x == 0 && at.width == shot.width) || (at.y == 0 && at.height == shot.height));
}

TEST_F(Pixels, ButtonIsBlackWhenIdleAndWhiteWhenHovered) {
  pointer_away();
  calculate_23_8();
  const RECT button = in_client(kIdButton1);
  auto not_black = [&] {
    const Capture idle = capture_screen(client());
    int count = 0;
    for (int y = button.top; y < button.bottom; ++y) {
      for (int x = button.left; x < button.right; ++x) {
        count += idle.at(x, y) != 0;
      }
    }
    return count;
  };
  EXPECT_EQ(not_black(), 0) << "the idle button is all black, its caption included";

  move_to(centre_of(kIdButton1));
  // A corner inside the one-pixel edge turns white once the hover has been drawn.
  EXPECT_TRUE(wait_until(
      [&] { return capture_screen(client()).at(button.left + 3, button.top + 3) == 0xFFFFFF; }));
  const Capture hovered = capture_screen(client());
  int white = 0;
  int black = 0;
  for (int y = button.top + 1; y < button.bottom - 1; ++y) {
    for (int x = button.left + 1; x < button.right - 1; ++x) {
      white += hovered.at(x, y) == 0xFFFFFF;
      black += hovered.at(x, y) == 0;
    }
  }
  const int area = (button.right - button.left - 2) * (button.bottom - button.top - 2);
  EXPECT_GT(white, area / 2) << "a white face";
  EXPECT_GT(black, 10) << "with the caption in black";
}

TEST_F(Pixels, ResultLabelDrawsOnlyItsTextOverThePicture) {
  pointer_away();
  const Capture before = capture_screen(client());
  calculate_23_8();
  const Capture after = capture_screen(client());
  RECT label = in_client(kIdLabel4);
  // The result box overlaps the label's right end; only the label's own part is compared.
  label.right = std::min(label.right, in_client(kIdEdit4).left);
  int text = 0;
  int boxed = 0;
  for (int y = label.top; y < label.bottom; ++y) {
    for (int x = label.left; x < label.right; ++x) {
      if (after.at(x, y) == before.at(x, y)) {
        continue;
      }
      text += reddish(after.at(x, y));
      if (!red_over(after.at(x, y), before.at(x, y))) {
        if (boxed++ < 5) {
          ADD_FAILURE() << std::hex << "at " << std::dec << x << "," << y << std::hex << ": "
                        << after.at(x, y) << " over " << before.at(x, y);
        }
      }
    }
  }
  EXPECT_GT(text, 30) << "the label's red text";
  EXPECT_EQ(boxed, 0) << "pixels around the text that are neither picture nor text";
}

// --- Closing --------------------------------------------------------------------------------

struct CloseCase {
  const char* name;
  void (*close)(HWND window, DWORD thread);
};

POINT close_button_of(HWND window) {
  // Asks the window itself where its close button is, along the caption from the right.
  const RECT r = window_rect(window);
  for (int y = r.top + 1; y < r.top + 40; ++y) {
    for (int x = r.right - 2; x > r.right - 60; --x) {
      DWORD_PTR hit = 0;
      SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 1000, &hit);
      if (hit == HTCLOSE) {
        return {x - 3, y + 3};
      }
    }
  }
  return {-1, -1};
}

class Closing : public ::testing::TestWithParam<CloseCase> {};

TEST_P(Closing, EndsTheProcessWithExitCodeZero) {
  Process app(densilo_exe());
  ASSERT_NE(app.window(), nullptr);
  ASSERT_TRUE(make_foreground(app.window()));
  GetParam().close(app.window(), app.thread_id());
  const std::optional<DWORD> code = app.wait_exit();
  ASSERT_TRUE(code.has_value()) << "the process is still running";
  EXPECT_EQ(*code, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, Closing,
    ::testing::Values(CloseCase{"EscInTheFirstBox", [](HWND, DWORD) { press({VK_ESCAPE}); }},
                      CloseCase{"EscOnTheFocusedButton",
                                [](HWND window, DWORD thread) {
                                  const HWND button = GetDlgItem(window, kIdButton1);
                                  for (int i = 0; i < 4 && focus_of(thread) != button; ++i) {
                                    press({VK_TAB});
                                    wait_until([&] { return focus_of(thread) == button; }, 1s);
                                  }
                                  ASSERT_EQ(focus_of(thread), button);
                                  press({VK_ESCAPE});
                                }},
                      CloseCase{"AltF4",
                                [](HWND, DWORD) {
                                  press({VK_F4, false, true});
                                }},
                      CloseCase{"CloseButton",
                                [](HWND window, DWORD) {
                                  const POINT at = close_button_of(window);
                                  ASSERT_GE(at.x, 0) << "no close button found";
                                  click_at(at);
                                }},
                      CloseCase{"WmClose",
                                [](HWND window, DWORD) { PostMessageW(window, WM_CLOSE, 0, 0); }}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace densilo::e2e
