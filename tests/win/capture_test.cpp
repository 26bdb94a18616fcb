// The capture helper must hand back exactly the pixels a window drew, by both routes, and the
// PNG it writes must carry them (a CTest step reads the file back with ImageMagick).
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

#include "capture.h"
#include "png.h"

namespace densilo::test {
namespace {

// 200 x 120 makes the PNG's raw data longer than one stored deflate block.
constexpr int kWidth = 200;
constexpr int kHeight = 120;
constexpr std::uint32_t kTopLeft = 0xC81E32;
constexpr std::uint32_t kTopRight = 0x1EC832;
constexpr std::uint32_t kBottomLeft = 0x3250C8;
constexpr std::uint32_t kBottomRight = 0xF0E68C;

COLORREF to_colorref(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void fill(HDC dc, int left, int top, int right, int bottom, std::uint32_t rgb) {
  const RECT rect{left, top, right, bottom};
  const std::unique_ptr<std::remove_pointer_t<HBRUSH>, decltype(&DeleteObject)> brush(
      CreateSolidBrush(to_colorref(rgb)), &DeleteObject);
  FillRect(dc, &rect, brush.get());
}

// Four quadrants of known colours; the same drawing serves the screen and WM_PRINTCLIENT.
void paint_quadrants(HDC dc) {
  fill(dc, 0, 0, kWidth / 2, kHeight / 2, kTopLeft);
  fill(dc, kWidth / 2, 0, kWidth, kHeight / 2, kTopRight);
  fill(dc, 0, kHeight / 2, kWidth / 2, kHeight, kBottomLeft);
  fill(dc, kWidth / 2, kHeight / 2, kWidth, kHeight, kBottomRight);
}

LRESULT CALLBACK quadrants_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      paint_quadrants(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      paint_quadrants(reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    default:
      return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
}

void pump_messages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < milliseconds) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

class CaptureTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = quadrants_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DensiloCaptureTest";
    RegisterClassW(&wc);
    // A borderless popup, so window and client coordinates coincide.
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"capture", WS_POPUP, 40, 30, kWidth,
                            kHeight, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd_, nullptr);
  }
  void TearDown() override {
    if (hwnd_ != nullptr) {
      DestroyWindow(hwnd_);
    }
  }
  void show() {
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
    pump_messages(300);
  }

  HWND hwnd_ = nullptr;
};

struct Probe {
  int x;
  int y;
  std::uint32_t rgb;
};

// Corners and the pixels either side of each quadrant border catch rows or columns that are
// flipped, shifted or cut.
constexpr std::array kProbes{
    Probe{0, 0, kTopLeft},
    Probe{kWidth / 2 - 1, kHeight / 2 - 1, kTopLeft},
    Probe{kWidth / 2, 0, kTopRight},
    Probe{kWidth - 1, 0, kTopRight},
    Probe{0, kHeight / 2, kBottomLeft},
    Probe{0, kHeight - 1, kBottomLeft},
    Probe{kWidth / 2, kHeight / 2, kBottomRight},
    Probe{kWidth - 1, kHeight - 1, kBottomRight},
};

void expect_quadrants(const Image& image) {
  ASSERT_EQ(image.width, kWidth);
  ASSERT_EQ(image.height, kHeight);
  for (const Probe& p : kProbes) {
    EXPECT_EQ(image.pixel(p.x, p.y), p.rgb) << "at " << p.x << "," << p.y;
  }
}

TEST_F(CaptureTest, ScreenCaptureHoldsWhatTheWindowDrew) {
  show();
  const Image image = capture_window(hwnd_, CaptureSource::screen);
  expect_quadrants(image);
  // Read back by ImageMagick in the next CTest step.
  ASSERT_TRUE(save_png(L"capture_test.png", image));
}

TEST_F(CaptureTest, PrintCaptureWorksForAHiddenWindow) {
  expect_quadrants(capture_window(hwnd_, CaptureSource::print));
}

TEST(Png, ChecksumsMatchPublishedValues) {
  constexpr std::string_view kWikipedia = "Wikipedia";
  const std::vector<std::uint8_t> wikipedia(kWikipedia.begin(), kWikipedia.end());
  EXPECT_EQ(adler32(wikipedia), 0x11E60398u);
  constexpr std::string_view kIend = "IEND";
  const std::vector<std::uint8_t> iend(kIend.begin(), kIend.end());
  EXPECT_EQ(crc32(iend), 0xAE426082u);
  EXPECT_EQ(adler32({}), 1u);
}

TEST(HostPath, UnixPathsLandOnDriveZ) {
  EXPECT_EQ(host_path("/work/build/densilo.exe"), L"Z:/work/build/densilo.exe");
  EXPECT_EQ(host_path("C:/x.png"), L"C:/x.png");
}

}  // namespace
}  // namespace densilo::test
