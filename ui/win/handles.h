// Owners for the GDI and USER handles the window layer uses. Each owner releases its handle in
// its destructor, so nothing is freed by hand and early returns cannot leak.
#pragma once

#include <windows.h>

#include <utility>

namespace densilo::win {

// A move-only owner of one handle; Traits::close releases it.
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset(other.release());
    }
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  Handle release() { return std::exchange(handle_, nullptr); }
  void reset(Handle handle = nullptr) {
    if (Handle old = std::exchange(handle_, handle)) {
      Traits::close(old);
    }
  }

 private:
  Handle handle_ = nullptr;
};

template <typename H>
struct GdiObjectTraits {
  using Handle = H;
  static void close(H h) { DeleteObject(h); }
};

struct DcTraits {
  using Handle = HDC;
  static void close(HDC h) { DeleteDC(h); }
};

struct WindowTraits {
  using Handle = HWND;
  static void close(HWND h) { DestroyWindow(h); }
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static void close(HANDLE h) { CloseHandle(h); }
};

struct RegKeyTraits {
  using Handle = HKEY;
  static void close(HKEY h) { RegCloseKey(h); }
};

using unique_hfont = UniqueHandle<GdiObjectTraits<HFONT>>;
using unique_hbrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using unique_hpen = UniqueHandle<GdiObjectTraits<HPEN>>;
using unique_hbitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using unique_hrgn = UniqueHandle<GdiObjectTraits<HRGN>>;
using unique_hdc = UniqueHandle<DcTraits>;  // from CreateCompatibleDC / CreateDC
using unique_hwnd = UniqueHandle<WindowTraits>;
using unique_handle = UniqueHandle<KernelHandleTraits>;
using unique_hkey = UniqueHandle<RegKeyTraits>;

// Selects an object into a DC for one scope and puts the previous one back.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object)
      : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
  ~ScopedSelectObject() {
    if (previous_) {
      SelectObject(dc_, previous_);
    }
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// GetDC / GetWindowDC paired with ReleaseDC.
class ScopedGetDc {
 public:
  explicit ScopedGetDc(HWND hwnd, bool whole_window = false)
      : hwnd_(hwnd), dc_(whole_window ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
  ScopedGetDc(const ScopedGetDc&) = delete;
  ScopedGetDc& operator=(const ScopedGetDc&) = delete;
  ~ScopedGetDc() {
    if (dc_) {
      ReleaseDC(hwnd_, dc_);
    }
  }
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint paired with EndPaint.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd) { BeginPaint(hwnd_, &ps_); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  ~ScopedPaint() { EndPaint(hwnd_, &ps_); }
  HDC dc() const { return ps_.hdc; }
  const RECT& dirty() const { return ps_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
};

// SaveDC / RestoreDC, for code that changes several DC attributes at once (viewport origin,
// colours, background mode) and must leave the DC as it found it.
class ScopedSaveDc {
 public:
  explicit ScopedSaveDc(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
  ScopedSaveDc(const ScopedSaveDc&) = delete;
  ScopedSaveDc& operator=(const ScopedSaveDc&) = delete;
  ~ScopedSaveDc() {
    if (id_ != 0) {
      RestoreDC(dc_, id_);
    }
  }

 private:
  HDC dc_;
  int id_;
};

}  // namespace densilo::win
