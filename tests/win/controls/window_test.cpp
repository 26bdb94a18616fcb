#include "ui/win/window.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "harness.h"
#include "ui/controls/edit_box.h"
#include "ui/controls/trans_label.h"

namespace densilo::test {
namespace {

constexpr UINT kThrow = WM_APP + 7;

class ThrowingLabel : public controls::TransLabel {
 protected:
  LRESULT handle_message(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg == kThrow) {
      throw std::runtime_error("from a handler");
    }
    return TransLabel::handle_message(msg, wparam, lparam);
  }
};

class ThrowingEdit : public controls::EditBox {
 protected:
  LRESULT handle_message(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg == kThrow) {
      throw std::runtime_error("from a handler");
    }
    return EditBox::handle_message(msg, wparam, lparam);
  }
};

controls::TransLabelSettings small_label() {
  controls::TransLabelSettings s;
  s.text = L"x";
  s.font = win::Font{L"Tahoma", 12};
  return s;
}

win::CommonFields at(int left, int top) {
  win::CommonFields c;
  c.rect = {left, top, 80, 32};
  return c;
}

TEST(WindowBase, AnExceptionStopsAtTheWindowProcedure) {
  Host host;
  ThrowingLabel label;
  ThrowingEdit edit;
  ASSERT_TRUE(label.create(host.hwnd(), at(10, 10), small_label()));
  ASSERT_TRUE(edit.create(host.hwnd(), at(10, 60), {}));
  EXPECT_EQ(SendMessageW(label.hwnd(), kThrow, 0, 0), 0);
  EXPECT_EQ(SendMessageW(edit.hwnd(), kThrow, 0, 0), 0);
  // Both windows go on working.
  EXPECT_TRUE(IsWindow(label.hwnd()));
  edit.set_text(L"still here");
  EXPECT_EQ(edit.text(), L"still here");
}

TEST(WindowBase, ChildrenDestroyedWithTheirParentForgetTheirHandles) {
  controls::TransLabel label;
  controls::EditBox edit;
  {
    Host host;
    ASSERT_TRUE(label.create(host.hwnd(), at(10, 10), small_label()));
    ASSERT_TRUE(edit.create(host.hwnd(), at(10, 60), {}));
  }
  // The objects outlive their windows; their destructors must not touch a stale handle.
  EXPECT_EQ(label.hwnd(), nullptr);
  EXPECT_EQ(edit.hwnd(), nullptr);
}

TEST(WindowBase, ShowingAVisibleControlChangesNothing) {
  Host host;
  controls::TransLabel label;
  ASSERT_TRUE(label.create(host.hwnd(), at(10, 10), small_label()));
  EXPECT_FALSE(IsWindowVisible(label.hwnd())) << "created hidden";
  label.show();
  EXPECT_TRUE(IsWindowVisible(label.hwnd()));
  ValidateRect(host.hwnd(), nullptr);
  ValidateRect(label.hwnd(), nullptr);
  label.show();
  RECT pending{};
  EXPECT_FALSE(GetUpdateRect(label.hwnd(), &pending, FALSE)) << "a second show repaints";
  label.hide();
  EXPECT_FALSE(IsWindowVisible(label.hwnd()));
}

}  // namespace
}  // namespace densilo::test
