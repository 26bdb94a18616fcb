#include "ui/app/event_loop.h"

namespace densilo::app {

int run_event_loop(HWND window, KeyboardPreHandler& keys) {
  if (!IsWindow(window)) {
    return 0;
  }
  MSG message{};
  // GetMessage gives -1 only for an invalid argument, which this call never passes.
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (keys.pre_translate(message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace densilo::app
