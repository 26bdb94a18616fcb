// Process entry: the whole life of the program is start_program; running out of memory is the
// one failure ordinary use can meet, and it ends the process with -1.
#include <windows.h>

#include <new>

#include "ui/app/start_program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    return densilo::app::start_program(instance);
  } catch (const std::bad_alloc&) {
    densilo::app::report_out_of_memory();
    return -1;
  }
}
