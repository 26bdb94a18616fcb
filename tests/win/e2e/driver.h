#pragma once
// Starts a program as a separate process and drives its window from outside, the way a user
// would: real input through SendInput, state read through window messages and window queries.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace densilo::e2e {

using namespace std::chrono_literals;

// A Unix path of the build tree as Wine's Z: drive sees it; a Windows path is kept as it is.
std::wstring windows_path(const std::string& path);

class Process {
 public:
  // Starts the program and waits until its first top-level window is visible and the process
  // waits for input (its first paint is done then).
  // `started`, if given, runs as soon as the process exists, before any waiting.
  explicit Process(const std::wstring& exe, const std::function<void()>& started = {});
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  HWND window() const { return window_; }
  HANDLE handle() const { return info_.hProcess; }
  DWORD thread_id() const { return info_.dwThreadId; }
  // The exit code once the process has ended within the timeout; nothing otherwise.
  std::optional<DWORD> wait_exit(std::chrono::milliseconds timeout = 10s);

 private:
  PROCESS_INFORMATION info_{};
  HWND window_ = nullptr;
};

// Polls until the condition holds or the timeout passes; gives the condition's last value.
// Input from SendInput reaches the other process asynchronously, so every check of its effect
// waits for it this way.
bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 3s);

// Pumps this thread's messages for a while (mouse-leave and hover tracking run on timers).
void pump_for(std::chrono::milliseconds duration);

std::wstring window_text(HWND window);
std::wstring class_name(HWND window);
RECT window_rect(HWND window);
RECT client_rect_on_screen(HWND window);
HWND focus_of(DWORD thread_id);

// Brings the window to the front so that keyboard input goes to it.
bool make_foreground(HWND window);

struct Key {
  WORD vk;
  bool shift = false;
  bool alt = false;
};
void press(Key key);
// Types each UTF-16 unit as a Unicode character, so full-width and CJK text arrive unchanged.
void type_text(const std::wstring& text);
// Left click at a point on the screen: each event carries its absolute position, since under
// Wine a button event after a separate cursor move does not arrive.
void click_at(POINT screen);
void move_to(POINT screen);

// The screen's pixels in a rectangle, as 0x00RRGGBB, row by row from the top.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};
Capture capture_screen(const RECT& area);

}  // namespace densilo::e2e
