// Takes the picture of densilo.exe for the documentation: the real program after a
// calculation, the pointer off its controls.
//   densilo_screenshot DENSILO.EXE OUT.PNG
#include <windows.h>

#include <cstdio>
#include <string>

#include "capture.h"
#include "driver.h"
#include "png.h"
#include "ui/app/control_ids.h"

using namespace densilo;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: densilo_screenshot DENSILO.EXE OUT.PNG\n");
    return 2;
  }
  e2e::Process app(e2e::windows_path(argv[1]));
  const HWND window = app.window();
  if (window == nullptr || !e2e::make_foreground(window)) {
    std::fprintf(stderr, "densilo.exe showed no window\n");
    return 1;
  }
  const HWND result = GetDlgItem(window, app::kIdEdit4);
  auto focus_is = [&](int id) {
    return e2e::wait_until(
        [&] { return e2e::focus_of(app.thread_id()) == GetDlgItem(window, id); });
  };
  focus_is(app::kIdEdit1);
  e2e::type_text(L"23.8");
  e2e::press({VK_TAB});
  focus_is(app::kIdEdit2);
  e2e::type_text(L"1920");
  e2e::press({VK_TAB});
  focus_is(app::kIdEdit3);
  e2e::type_text(L"1080");
  e2e::wait_until([&] { return e2e::window_text(GetDlgItem(window, app::kIdEdit3)) == L"1080"; });
  e2e::press({VK_TAB});
  focus_is(app::kIdButton1);
  e2e::press({VK_SPACE});
  if (!e2e::wait_until([&] { return e2e::window_text(result) == L"92.6"; })) {
    std::fprintf(stderr, "the calculation did not show 92.6\n");
    return 1;
  }
  // Back to the first box, so the button shows its plain face; the pointer rests on the
  // background.
  e2e::press({VK_TAB});
  focus_is(app::kIdEdit1);
  const RECT client = e2e::client_rect_on_screen(window);
  e2e::move_to({client.right - 12, client.bottom - 8});
  e2e::pump_for(std::chrono::milliseconds(800));

  const test::Image image = test::capture_window(window);
  if (image.width == 0 || !test::save_png(e2e::windows_path(argv[2]), image)) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
  return app.wait_exit().value_or(1) == 0 ? 0 : 1;
}
