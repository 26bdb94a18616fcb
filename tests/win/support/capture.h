// Pictures of windows for tests and documentation.
#ifndef DENSILO_TESTS_WIN_SUPPORT_CAPTURE_H
#define DENSILO_TESTS_WIN_SUPPORT_CAPTURE_H

#include <windows.h>

#include <string>
#include <string_view>

#include "image.h"

namespace densilo::test {

enum class CaptureSource {
  // What the screen shows inside the window's rectangle (BitBlt of the window DC): frame,
  // caption and children as drawn. The window must be visible and not covered.
  screen,
  // The window drawing itself into the bitmap (PrintWindow, that is WM_PRINT and
  // WM_PRINTCLIENT): works for hidden or covered windows whose painting handles WM_PRINTCLIENT.
  print,
};

// The whole window, frame included, as 32-bit pixels. An empty image if it fails.
Image capture_window(HWND hwnd, CaptureSource source = CaptureSource::screen);

// A path as Windows sees it. Under Wine, build-tree paths known at compile time are Unix paths
// ("/work/..."); drive Z: is the Unix root.
std::wstring host_path(std::string_view path);

}  // namespace densilo::test

#endif
