#include "driver.h"

#include <stdexcept>
#include <thread>

namespace densilo::e2e {

std::wstring windows_path(const std::string& path) {
  std::wstring result;
  if (!path.empty() && path.front() == '/') {
    result = L"Z:";
  }
  for (char c : path) {
    result.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
  }
  return result;
}

namespace {

struct Search {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK find_visible_top_level(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process_id && IsWindowVisible(window) &&
      GetWindow(window, GW_OWNER) == nullptr) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

Process::Process(const std::wstring& exe, const std::function<void()>& started) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring command = L"\"" + exe + L"\"";
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info_)) {
    throw std::runtime_error("cannot start the program");
  }
  if (started) {
    started();
  }
  WaitForInputIdle(info_.hProcess, 20000);
  Search search{info_.dwProcessId, nullptr};
  wait_until(
      [&] {
        EnumWindows(find_visible_top_level, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      20s);
  window_ = search.found;
}

Process::~Process() {
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    if (window_ != nullptr) {
      PostMessageW(window_, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(info_.hProcess, 5000) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 1);
    }
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

std::optional<DWORD> Process::wait_exit(std::chrono::milliseconds timeout) {
  if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return condition();
    }
    pump_for(10ms);
  }
  return true;
}

void pump_for(std::chrono::milliseconds duration) {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    std::this_thread::sleep_for(2ms);
  } while (std::chrono::steady_clock::now() < deadline);
}

std::wstring window_text(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
    return L"<no answer>";
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(copied);
  return text;
}

std::wstring class_name(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

RECT window_rect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT client_rect_on_screen(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

HWND focus_of(DWORD thread_id) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(thread_id, &info)) {
    return nullptr;
  }
  return info.hwndFocus;
}

bool make_foreground(HWND window) {
  SetForegroundWindow(window);
  return wait_until([&] { return GetForegroundWindow() == window; });
}

namespace {

INPUT key_input(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void send(std::vector<INPUT>& inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT mouse_input(POINT screen, DWORD flags) {
  // Absolute coordinates run from 0 to 65535 across the primary screen.
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((screen.x * 65536 + width / 2) / width);
  input.mi.dy = static_cast<LONG>((screen.y * 65536 + height / 2) / height);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
  return input;
}

}  // namespace

void press(Key key) {
  std::vector<INPUT> inputs;
  if (key.alt) {
    inputs.push_back(key_input(VK_MENU, false));
  }
  if (key.shift) {
    inputs.push_back(key_input(VK_SHIFT, false));
  }
  inputs.push_back(key_input(key.vk, false));
  inputs.push_back(key_input(key.vk, true));
  if (key.shift) {
    inputs.push_back(key_input(VK_SHIFT, true));
  }
  if (key.alt) {
    inputs.push_back(key_input(VK_MENU, true));
  }
  send(inputs);
}

void type_text(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    for (bool up : {false, true}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = static_cast<WORD>(c);
      input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
      inputs.push_back(input);
    }
  }
  send(inputs);
}

void click_at(POINT screen) {
  std::vector<INPUT> inputs{mouse_input(screen, 0), mouse_input(screen, MOUSEEVENTF_LEFTDOWN),
                            mouse_input(screen, MOUSEEVENTF_LEFTUP)};
  send(inputs);
}

void move_to(POINT screen) {
  std::vector<INPUT> inputs{mouse_input(screen, 0)};
  send(inputs);
}

Capture capture_screen(const RECT& area) {
  Capture capture;
  capture.width = area.right - area.left;
  capture.height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, capture.width, capture.height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const auto* source = static_cast<const std::uint32_t*>(bits);
  capture.pixels.assign(source, source + static_cast<std::size_t>(capture.width) *
                                             static_cast<std::size_t>(capture.height));
  for (auto& pixel : capture.pixels) {
    pixel &= 0xFFFFFFu;
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return capture;
}

}  // namespace densilo::e2e
