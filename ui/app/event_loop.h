#pragma once
// The program's message loop.

#include <windows.h>

namespace densilo::app {

// Sees each message before it is translated and dispatched, as a dialog's keyboard handling
// would; gives true when it has dealt with the message itself.
class KeyboardPreHandler {
 public:
  virtual bool pre_translate(MSG& message) = 0;

 protected:
  ~KeyboardPreHandler() = default;
};

// Runs until the quit message and gives its exit code; returns at once when `window` is no
// longer a window, since then nothing would ever post the quit message.
int run_event_loop(HWND window, KeyboardPreHandler& keys);

}  // namespace densilo::app
