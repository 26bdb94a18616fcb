// The floor for the performance figures: the least a Win32 program of the same shape does, an
// empty window of the main window's size, style and position that paints its background once
// and waits for input. Built with the same compiler and link options as densilo.exe.
#include <windows.h>

namespace {

LRESULT CALLBACK floor_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = floor_procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = L"DensiloFloor";
  RegisterClassExW(&window_class);

  constexpr int kWidth = 374;
  constexpr int kHeight = 236;
  HWND window = CreateWindowExW(
      WS_EX_DLGMODALFRAME, L"DensiloFloor", L"Floor", WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
      (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2, (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2,
      kWidth, kHeight, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    return 1;
  }
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
