// The control gallery: every control kind in each of its states, over the program's background
// picture, saved as a PNG for people to look at.
//
//   controls_gallery.exe [OUTPUT.png]     (default: gallery.png in the working folder)
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "capture.h"
#include "harness.h"
#include "png.h"
#include "ui/controls/edit_box.h"
#include "ui/controls/hyper_linker.h"
#include "ui/controls/super_btn.h"
#include "ui/controls/trans_label.h"
#include "ui/core/jpeg_decoder.h"
#include "ui/core/picture_layout.h"

namespace densilo::test {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 360;  // about the picture's own shape, so it covers the window
constexpr wchar_t kClass[] = L"DensiloControlGallery";

std::vector<std::uint8_t> read_file(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The gallery's window: the background picture placed as the program places it, the rest in
// the button-face colour.
class Gallery : public win::Window {
 public:
  explicit Gallery(std::optional<core::BgraImage> picture) : picture_(std::move(picture)) {
    win::register_window_class(kClass, IDC_ARROW);
    create(0, kClass, L"controls", WS_POPUP | WS_CLIPCHILDREN, 20, 20, kWidth, kHeight, nullptr,
           nullptr);
  }

 protected:
  LRESULT handle_message(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg == WM_ERASEBKGND) {
      return 1;
    }
    return Window::handle_message(msg, wparam, lparam);
  }

  void paint(HDC dc, const RECT&) override {
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    if (!picture_) {
      return;
    }
    const core::PictureRect at =
        core::place_picture(kWidth, kHeight, picture_->source_width, picture_->source_height);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = picture_->width;
    bi.bmiHeader.biHeight = -picture_->height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, at.x, at.y, at.width, at.height, 0, 0, picture_->width, picture_->height,
                  picture_->pixels.data(), &bi, DIB_RGB_COLORS, SRCCOPY);
  }

 private:
  std::optional<core::BgraImage> picture_;
};

win::CommonFields at(int left, int top, int width, int height, bool enabled = true) {
  win::CommonFields c;
  c.rect = {left, top, width, height};
  c.enabled = enabled;
  return c;
}

win::Font yahei(int height, int weight = FW_NORMAL) {
  return {L"微软雅黑", height, weight};
}

int run(const std::wstring& output) {
  const std::vector<std::uint8_t> jpeg = read_file(host_path(DENSILO_ASSETS_DIR "/background.jpg"));
  Gallery gallery(core::decode_jpeg(jpeg));
  const HWND parent = gallery.hwnd();

  std::vector<std::unique_ptr<controls::TransLabel>> labels;
  const auto label = [&](int x, int y, int w, int h, const wchar_t* text, std::uint32_t colour,
                         int size = 14) {
    auto l = std::make_unique<controls::TransLabel>();
    l->create(parent, at(x, y, w, h), {text, yahei(size), win::Colour::hex(colour)});
    l->show();
    labels.push_back(std::move(l));
  };
  constexpr std::uint32_t kHeading = 0xE0E0E0;
  constexpr std::uint32_t kRed = 0xFF0000;

  label(8, 8, 300, 20, L"TransLabel 透明标签", kHeading, 12);
  label(8, 28, 80, 32, L"分辨率：", kRed);
  label(100, 24, 72, 40, L"屏幕尺寸：", kRed);
  label(190, 28, 96, 32, L"屏幕PPI值：", kRed);
  label(300, 28, 200, 32, L"&Ampersand 下划线", kRed);

  label(8, 72, 300, 20, L"EditBox 编辑框", kHeading, 12);
  std::vector<std::unique_ptr<controls::EditBox>> edits;
  const auto edit = [&](int x, int w, const wchar_t* text, std::uint32_t colour,
                        controls::TextAlignment align) {
    controls::EditBoxSettings s;
    s.content = text;
    s.text_colour = win::Colour::hex(colour);
    s.background_colour = win::Colour::hex(0x000000);
    s.font = yahei(19, FW_BOLD);
    s.alignment = align;
    auto e = std::make_unique<controls::EditBox>();
    e->create(parent, at(x, 92, w, 32), s);
    e->show();
    edits.push_back(std::move(e));
  };
  edit(8, 96, L"23.8", 0xFFFFFF, controls::TextAlignment::kLeft);
  edit(112, 112, L"1920", 0xFFFFFF, controls::TextAlignment::kLeft);
  edit(232, 112, L"1080", 0xFFFFFF, controls::TextAlignment::kLeft);
  edit(352, 240, L"92.6", 0x0088FF, controls::TextAlignment::kCentre);

  label(8, 136, 400, 20, L"SuperBtn 超级按钮", kHeading, 12);
  controls::SuperBtnSettings bs;
  bs.caption = L"计算PPI";
  bs.font = yahei(14);
  bs.fg_color_out = win::Colour::hex(0x000000);
  bs.bk_color_out = win::Colour::hex(0x000000);
  bs.fg_color_in = win::Colour::hex(0x000000);
  bs.bk_color_in = win::Colour::hex(0xFFFFFF);
  bs.fg_color_focus = win::Colour::hex(0x000000);
  bs.bk_color_focus = win::Colour::hex(0xFFFFFF);
  const auto silent = [](std::span<const std::byte>) {};
  const wchar_t* states[] = {L"正常 normal", L"悬停 hover", L"按下 pressed", L"焦点 focused",
                             L"禁用 disabled"};
  std::vector<std::unique_ptr<controls::SuperBtn>> buttons;
  for (int i = 0; i < 5; ++i) {
    const int x = 8 + i * 124;
    auto b = std::make_unique<controls::SuperBtn>();
    b->create(parent, at(x, 156, 112, 32, i != 4), bs, {}, {}, 100 + i, silent);
    b->show();
    label(x, 190, 112, 20, states[i], kHeading, 12);
    buttons.push_back(std::move(b));
  }
  auto wide = bs;
  wide.caption = L"一个很长的标题 wraps onto lines";
  controls::SuperBtn wrapped;
  wrapped.create(parent, at(8, 226, 112, 44), wide, {}, {}, 110, silent);
  wrapped.show();
  label(124, 238, 160, 20, L"换行 word-wrapped, hover", kHeading, 12);

  label(300, 226, 300, 20, L"HyperLinker 超级链接框", kHeading, 12);
  controls::HyperLinkerSettings ls;
  ls.caption = L"关于作者";
  ls.target = L"https://example.org/";
  ls.normal_colour = win::Colour::hex(0x0000FF);
  ls.visited_colour = win::Colour::hex(0x00FF00);
  ls.hover_colour = win::Colour::hex(0xFF0000);
  ls.background_colour = win::Colour::hex(0x000000);
  const wchar_t* link_states[] = {L"正常 normal", L"悬停 hover", L"已访问 visited"};
  std::vector<std::unique_ptr<controls::HyperLinker>> links;
  for (int i = 0; i < 3; ++i) {
    const int x = 300 + i * 100;
    auto l = std::make_unique<controls::HyperLinker>();
    l->create(parent, at(x, 250, 64, 16), ls, 200 + i, [](std::wstring_view, int) { return true; });
    l->show();
    label(x, 270, 96, 20, link_states[i], kHeading, 12);
    links.push_back(std::move(l));
  }

  ShowWindow(parent, SW_SHOW);
  SetForegroundWindow(parent);
  UpdateWindow(parent);
  pump_for(300ms);

  // States are set last and captured at once: a hover without the real pointer lasts only
  // until the leave timer runs.
  SetFocus(buttons[3]->hwnd());
  SendMessageW(buttons[1]->hwnd(), WM_MOUSEMOVE, 0, point_lparam(10, 10));
  SendMessageW(buttons[2]->hwnd(), WM_MOUSEMOVE, 0, point_lparam(10, 10));
  SendMessageW(buttons[2]->hwnd(), BM_SETSTATE, TRUE, 0);
  SendMessageW(wrapped.hwnd(), WM_MOUSEMOVE, 0, point_lparam(10, 10));
  SendMessageW(links[2]->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, point_lparam(10, 8));
  SendMessageW(links[1]->hwnd(), WM_MOUSEMOVE, 0, point_lparam(10, 8));
  RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);

  const Image shot = capture_window(parent, CaptureSource::screen);
  if (shot.width != kWidth || !save_png(std::filesystem::path(output), shot)) {
    std::fprintf(stderr, "gallery: could not capture or save\n");
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace densilo::test

int wmain(int argc, wchar_t** argv) {
  return densilo::test::run(argc > 1 ? argv[1] : L"gallery.png");
}
