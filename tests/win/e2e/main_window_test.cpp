// The main window's FormAccess, inside the process: what the calculation reads and writes must
// be exactly what the controls hold.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "calc/control_names.h"
#include "ui/app/control_ids.h"
#include "ui/app/main_window.h"

namespace densilo::app {
namespace {

namespace names = calc::names;

// One window for the whole suite, as in the program: under Wine 8 a second midiStreamOpen in a
// process whose first one failed (no MIDI device) faults inside winmm, should anything here ever
// let the music start.
class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { shared_ = new MainWindow(GetModuleHandleW(nullptr)); }
  static void TearDownTestSuite() {
    delete shared_;
    shared_ = nullptr;
  }

  static inline MainWindow* shared_ = nullptr;
  MainWindow& window_ = *shared_;
  HWND control(int id) const { return GetDlgItem(window_.hwnd(), id); }
  bool own_visible_flag(int id) const {
    return (GetWindowLongPtrW(control(id), GWL_STYLE) & WS_VISIBLE) != 0;
  }
};

TEST_F(MainWindowTest, UntouchedBoxReadsAsEmptyAndTextsReadBackExactlyAsDisplayed) {
  ASSERT_NE(window_.hwnd(), nullptr);
  EXPECT_EQ(window_.read_text(names::kEditBox1), "");
  // Spaces are kept, nothing is trimmed.
  SetWindowTextW(control(kIdEdit1), L" 23.8 寸 ");
  EXPECT_EQ(window_.read_text(names::kEditBox1), " 23.8 寸 ");
}

TEST_F(MainWindowTest, TextsCrossBetweenUtf8AndTheBoxesLosslessly) {
  struct Case {
    const char* label;
    std::string utf8;
    std::wstring utf16;
  };
  const Case cases[] = {
      {"ascii", "92.6", L"92.6"},
      {"full-width and CJK", "２３．８寸", L"２３．８寸"},
      {"a pair of surrogates", "\xF0\x9D\x9F\x9A", L"\xD835\xDFDA"},
      // A lone surrogate is not UTF-8, but a box can hold one and it must survive.
      {"a lone surrogate", "a\xED\xA0\x80z", std::wstring{L'a', wchar_t(0xD800), L'z'}},
      {"empty", "", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    window_.write_text(names::kEditBox4, c.utf8);
    wchar_t held[64] = {};
    GetWindowTextW(control(kIdEdit4), held, 64);
    EXPECT_EQ(std::wstring(held), c.utf16);
    EXPECT_EQ(window_.read_text(names::kEditBox4), c.utf8);

    SetWindowTextW(control(kIdEdit2), c.utf16.c_str());
    EXPECT_EQ(window_.read_text(names::kEditBox2), c.utf8);
  }
}

TEST_F(MainWindowTest, WritingWorksOnAHiddenBoxAndShowingTwiceChangesNothing) {
  ASSERT_FALSE(own_visible_flag(kIdEdit4));
  window_.write_text(names::kEditBox4, "-1.#IND");
  EXPECT_EQ(window_.read_text(names::kEditBox4), "-1.#IND");
  EXPECT_FALSE(own_visible_flag(kIdEdit4)) << "writing must not show the box";

  for (std::string_view name : {names::kTransLabel4, names::kEditBox4, names::kHyperLinker1}) {
    window_.set_visible(name, true);
    window_.set_visible(name, true);
  }
  EXPECT_TRUE(own_visible_flag(kIdLabel4));
  EXPECT_TRUE(own_visible_flag(kIdEdit4));
  EXPECT_TRUE(own_visible_flag(kIdLink1));
  window_.set_visible(names::kEditBox4, false);
  EXPECT_FALSE(own_visible_flag(kIdEdit4));
}

TEST_F(MainWindowTest, NamesOutsideTheTableAreIgnored) {
  window_.write_text("编辑框9", "x");
  window_.set_visible("编辑框9", true);
  EXPECT_EQ(window_.read_text("编辑框9"), "");
  // A label holds no text for the calculation.
  EXPECT_EQ(window_.read_text(names::kTransLabel4), "");
}

// What each control shows under the pointer, asked the way the system asks when the mouse moves
// over it. (Another process cannot compare cursors under Wine, so this is checked in here.)
TEST_F(MainWindowTest, HandOverTheButtonAndTheLinkTheKindsOwnCursorElsewhere) {
  const struct {
    int id;
    LPCWSTR cursor;
  } table[] = {
      {kIdButton1, IDC_HAND}, {kIdLink1, IDC_HAND},   {kIdEdit1, IDC_IBEAM},
      {kIdEdit4, IDC_IBEAM},  {kIdLabel1, IDC_ARROW}, {kIdLabel4, IDC_ARROW},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.id);
    SetCursor(nullptr);
    SendMessageW(control(row.id), WM_SETCURSOR, reinterpret_cast<WPARAM>(control(row.id)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, row.cursor));
  }
}

TEST_F(MainWindowTest, AgreesToEndTheSession) {
  EXPECT_EQ(SendMessageW(window_.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_TRUE(IsWindow(window_.hwnd()));
}

}  // namespace
}  // namespace densilo::app
