#include "ui/app/start_program.h"

#include <new>

#include "ui/app/event_loop.h"
#include "ui/app/floating_point.h"
#include "ui/app/main_window.h"

namespace densilo::app {

int start_program(HINSTANCE instance) {
  reset_floating_point();
  MainWindow window(instance);
  window.show();
  run_event_loop(window.hwnd(), window);
  if (window.ran_out_of_memory()) {
    throw std::bad_alloc();
  }
  return 0;
}

void report_out_of_memory() noexcept {
  // A message box needs little memory of its own; if even that fails, the exit code speaks.
  MessageBoxW(nullptr, L"内存不足，Densilo 必须退出。", L"Densilo",
              MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}

}  // namespace densilo::app
