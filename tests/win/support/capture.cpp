#include "capture.h"

#include <cstring>
#include <memory>
#include <type_traits>

namespace densilo::test {
namespace {

struct DeleteDc {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using unique_memory_dc = std::unique_ptr<std::remove_pointer_t<HDC>, DeleteDc>;
using unique_bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteGdiObject>;

class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetWindowDC(hwnd)) {}
  ~WindowDc() {
    if (dc_ != nullptr) {
      ReleaseDC(hwnd_, dc_);
    }
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

class SelectObjectScope {
 public:
  SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectObjectScope() { SelectObject(dc_, previous_); }
  SelectObjectScope(const SelectObjectScope&) = delete;
  SelectObjectScope& operator=(const SelectObjectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace

Image capture_window(HWND hwnd, CaptureSource source) {
  RECT rect{};
  if (!GetWindowRect(hwnd, &rect)) {
    return {};
  }
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) {
    return {};
  }

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // negative: top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  unique_bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  unique_memory_dc memory(CreateCompatibleDC(nullptr));
  if (!bitmap || !memory || bits == nullptr) {
    return {};
  }

  bool ok = false;
  {
    SelectObjectScope selected(memory.get(), bitmap.get());
    if (source == CaptureSource::print) {
      ok = PrintWindow(hwnd, memory.get(), 0) != FALSE;
    } else {
      WindowDc window(hwnd);
      ok = window.get() != nullptr &&
           BitBlt(memory.get(), 0, 0, width, height, window.get(), 0, 0, SRCCOPY) != FALSE;
    }
  }
  if (!ok) {
    return {};
  }
  // Drawing into a DIB section may be batched; the pixels are ours to read only after this.
  GdiFlush();

  Image image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  std::memcpy(image.pixels.data(), bits, image.pixels.size() * sizeof(std::uint32_t));
  return image;
}

std::wstring host_path(std::string_view path) {
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
  if (!wide.empty() && wide.front() == L'/') {
    wide.insert(0, L"Z:");
  }
  return wide;
}

}  // namespace densilo::test
