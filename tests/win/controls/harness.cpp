#include "harness.h"

#include <algorithm>

#include "ui/win/handles.h"

namespace densilo::test {

namespace {

constexpr wchar_t kHostClass[] = L"DensiloControlTestHost";

bool register_host() {
  return win::register_window_class(kHostClass, IDC_ARROW);
}

BITMAPINFO top_down_32(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

}  // namespace

bool any_in(const Image& image, int x0, int y0, int x1, int y1,
            const std::function<bool(Rgb)>& pred) {
  for (int y = std::max(y0, 0); y < std::min(y1, image.height); ++y) {
    for (int x = std::max(x0, 0); x < std::min(x1, image.width); ++x) {
      if (pred(image.pixel(x, y))) {
        return true;
      }
    }
  }
  return false;
}

Image capture(HWND hwnd) {
  UpdateWindow(hwnd);
  pump_pending();
  return capture_window(hwnd, CaptureSource::screen);
}

Rgb background_at(int x, int y) {
  const auto r = static_cast<Rgb>((x * 7 + 16) & 0x7F) + 0x40;
  const auto g = static_cast<Rgb>((y * 11 + 8) & 0x7F) + 0x20;
  const auto b = static_cast<Rgb>(((x + y) * 3) & 0x3F) + 0x60;
  return (r << 16) | (g << 8) | b;
}

Host::Host(int width, int height) : width_(width), height_(height) {
  bgra_.resize(static_cast<std::size_t>(width * height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bgra_[static_cast<std::size_t>(y * width + x)] = background_at(x, y);
    }
  }
  register_host();
  create(0, kHostClass, L"controls test", WS_POPUP | WS_CLIPCHILDREN, 40, 40, width, height,
         nullptr, nullptr);
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  UpdateWindow(hwnd());
  pump_pending();
}

Host::~Host() {
  if (hwnd()) {
    DestroyWindow(hwnd());
  }
  pump_pending();
}

LRESULT Host::handle_message(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_ERASEBKGND) {
    return 1;  // paint() covers everything
  }
  return Window::handle_message(msg, wparam, lparam);
}

void Host::paint(HDC dc, const RECT&) {
  const BITMAPINFO bi = top_down_32(width_, height_);
  SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width_), static_cast<DWORD>(height_), 0, 0, 0,
                    static_cast<UINT>(height_), bgra_.data(), &bi, DIB_RGB_COLORS);
}

void pump_pending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void pump_for(std::chrono::milliseconds duration) {
  const auto end = std::chrono::steady_clock::now() + duration;
  while (true) {
    pump_pending();
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      break;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
  }
}

bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) {
      return false;
    }
    pump_for(10ms);
  }
  return true;
}

namespace {

INPUT mouse_input(HWND hwnd, POINT client, DWORD flags) {
  ClientToScreen(hwnd, &client);
  const int w = GetSystemMetrics(SM_CXSCREEN);
  const int h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  // Normalised absolute coordinates: 0..65535 across the screen, aimed at pixel centres.
  in.mi.dx = static_cast<LONG>((client.x * 65536 + 32768) / w);
  in.mi.dy = static_cast<LONG>((client.y * 65536 + 32768) / h);
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return in;
}

}  // namespace

void mouse_move_to(HWND hwnd, POINT client, const std::function<bool()>& arrived) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    INPUT in = mouse_input(hwnd, client, 0);
    SendInput(1, &in, sizeof in);
    if (!arrived) {
      pump_for(50ms);
      return;
    }
    if (wait_until(arrived, 300ms)) {
      return;
    }
  }
}

void mouse_button(HWND hwnd, POINT client, bool down) {
  INPUT in = mouse_input(hwnd, client, down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
  SendInput(1, &in, sizeof in);
  pump_for(50ms);
}

std::wstring chinese_face() {
  return L"微软雅黑";
}

}  // namespace densilo::test
