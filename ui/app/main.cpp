// A stand-in start-up until the real main window arrives: one fixed-size window with the
// program's title and icon, closed by the user, exit code 0.
#include <windows.h>

#include "resource_ids.h"

namespace {

constexpr wchar_t kClassName[] = L"DensiloWindow";
constexpr int kOuterWidth = 374;
constexpr int kOuterHeight = 236;

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

HICON load_icon(HINSTANCE instance, int size) {
  // LR_SHARED: the system owns icons loaded from our own module and frees them with it.
  return static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_DENSILO), IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = window_proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  wc.hIcon = load_icon(instance, GetSystemMetrics(SM_CXICON));
  wc.hIconSm = load_icon(instance, GetSystemMetrics(SM_CXSMICON));
  if (RegisterClassExW(&wc) == 0) {
    return 1;
  }

  const int left = (GetSystemMetrics(SM_CXSCREEN) - kOuterWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kOuterHeight) / 2;
  HWND hwnd =
      CreateWindowExW(0, kClassName, L"Densilo", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, left, top,
                      kOuterWidth, kOuterHeight, nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr) {
    return 1;
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
