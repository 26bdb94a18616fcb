#pragma once
// The life of the process around the main window.

#include <windows.h>

namespace densilo::app {

// Builds the window, shows it, runs the loop until the window is gone, and gives 0. Running out
// of memory leaves it as std::bad_alloc, for the caller to end the process with -1.
int start_program(HINSTANCE instance);

// Tells the user, if a message can still be shown at all, that the program must end.
void report_out_of_memory() noexcept;

}  // namespace densilo::app
