#include "ui/app/main_window.h"

#include <array>
#include <new>

#include "calc/control_names.h"
#include "calc/run_calculation.h"
#include "resource_ids.h"
#include "ui/app/control_ids.h"
#include "ui/core/jpeg_decoder.h"
#include "ui/core/midi_file.h"
#include "ui/core/picture_layout.h"
#include "ui/core/text_convert.h"

namespace densilo::app {

namespace {

namespace names = calc::names;

constexpr UINT kStartMusicMessage = WM_APP + 2;
using controls::EditBoxSettings;
using controls::HyperLinkerSettings;
using controls::SuperBtnSettings;
using controls::TextAlignment;
using controls::TransLabelSettings;
using win::Colour;
using win::Font;
using win::MousePointer;

// ---------------------------------------------------------------------------------------------
// The window's definition. Values read top to bottom like the tables they come from.

struct WindowSettings {
  const wchar_t* title;
  int outer_width;
  int outer_height;
  DWORD style;
  DWORD ex_style;
};

// A fixed dialog frame with caption, system menu and close button: no sizing border, no
// minimise or maximise box. No owner, so the window has its own taskbar button. Children are
// clipped out of the window's painting, so the background never paints over a control.
constexpr WindowSettings kWindow{
    .title = L"Densilo",
    .outer_width = 374,
    .outer_height = 236,
    .style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
    .ex_style = 0,
};

constexpr wchar_t kClassName[] = L"DensiloMainWindow";
constexpr wchar_t kFace[] = L"微软雅黑";

Font input_font() {
  return Font{.face = kFace, .char_height = 19, .weight = FW_BOLD};
}
Font label_font() {
  return Font{.face = kFace, .char_height = 14, .weight = FW_NORMAL};
}

EditBoxSettings input_box() {
  return {.content = L"",
          .thin_border = true,
          .text_colour = Colour::hex(0xFFFFFF),
          .background_colour = Colour::hex(0x000000),
          .font = input_font(),
          .hide_selection = true,
          .max_length = 0,
          .alignment = TextAlignment::kLeft};
}

EditBoxSettings result_box() {
  EditBoxSettings box = input_box();
  box.text_colour = Colour::hex(0x0088FF);
  box.alignment = TextAlignment::kCentre;
  return box;
}

TransLabelSettings label(const wchar_t* text) {
  return {.text = text, .font = label_font(), .text_colour = Colour::hex(0xFF0000)};
}

SuperBtnSettings calculate_button() {
  return {.caption = L"计算PPI",
          .font = label_font(),
          .draw_border = true,
          .draw_focus = false,
          .default_color = false,
          .fg_color_out = Colour::hex(0x000000),
          .bk_color_out = Colour::hex(0x000000),
          .fg_color_in = Colour::hex(0x000000),
          .bk_color_in = Colour::hex(0xFFFFFF),
          .fg_color_focus = Colour::hex(0x000000),
          .bk_color_focus = Colour::hex(0xFFFFFF),
          .standard_sound = true};
}

HyperLinkerSettings author_link() {
  HyperLinkerSettings link;
  link.caption = L"关于作者";
  link.target = kLinkTarget;
  link.normal_colour = Colour::hex(0x0000FF);
  link.visited_colour = Colour::hex(0x00FF00);
  link.hover_colour = Colour::hex(0xFF0000);
  link.background_colour = Colour::hex(0x000000);
  link.thin_border = true;
  link.font = std::nullopt;  // the system's default GUI font
  return link;
}

using Settings =
    std::variant<TransLabelSettings, EditBoxSettings, SuperBtnSettings, HyperLinkerSettings>;

struct ControlDefinition {
  std::string_view name;
  int id;
  win::Rect rect;  // left, top, width, height in client coordinates
  bool visible_at_start;
  bool tab_stop;
  MousePointer pointer;
  Settings settings;
};

// In creation order, which is also the focus order of the tab stops. All are enabled.
std::array<ControlDefinition, 9> control_definitions() {
  constexpr auto kDefault = MousePointer::kDefault;
  constexpr auto kHand = MousePointer::kHand;
  return {{
      // name               id           left top  w    h    shown  tab    pointer
      {"透明标签1", kIdLabel1, {8, 72, 80, 32}, true, false, kDefault, label(L"分辨率：")},
      {"透明标签2", kIdLabel2, {8, 8, 72, 40}, true, false, kDefault, label(L"屏幕尺寸：")},
      {names::kEditBox1, kIdEdit1, {80, 16, 96, 32}, true, true, kDefault, input_box()},
      {names::kEditBox2, kIdEdit2, {64, 72, 112, 32}, true, true, kDefault, input_box()},
      {names::kEditBox3, kIdEdit3, {224, 72, 112, 32}, true, true, kDefault, input_box()},
      {names::kTransLabel4,
       kIdLabel4,
       {8, 144, 96, 32},
       false,
       false,
       kDefault,
       label(L"屏幕PPI值：")},
      {names::kEditBox4, kIdEdit4, {96, 144, 240, 32}, false, true, kDefault, result_box()},
      {"超级按钮1", kIdButton1, {224, 16, 112, 32}, true, true, kHand, calculate_button()},
      {names::kHyperLinker1, kIdLink1, {152, 115, 64, 16}, false, false, kHand, author_link()},
  }};
}

// ---------------------------------------------------------------------------------------------

// A resource of the program itself; it lives as long as the module, so nothing is released.
std::span<const std::byte> resource_bytes(HINSTANCE instance, int id) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (found == nullptr) {
    return {};
  }
  HGLOBAL loaded = LoadResource(instance, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) {
    return {};
  }
  return {static_cast<const std::byte*>(data), SizeofResource(instance, found)};
}

// LR_SHARED: icons of our own module are freed with it, so they need no owner here.
HICON load_icon(HINSTANCE instance, int width_metric, int height_metric) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_DENSILO), IMAGE_ICON,
                                       GetSystemMetrics(width_metric),
                                       GetSystemMetrics(height_metric), LR_SHARED));
}

std::u16string_view as_utf16(const std::wstring& text) {
  return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

std::wstring as_wide(const std::u16string& text) {
  return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

void fill(HDC dc, int left, int top, int right, int bottom) {
  if (left < right && top < bottom) {
    const RECT band{left, top, right, bottom};
    FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
  }
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &Window::window_proc;
  window_class.hInstance = win::this_module();
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // No class brush: paint() covers the whole client area, so erasing first would only flicker.
  window_class.hbrBackground = nullptr;
  window_class.lpszClassName = kClassName;
  if (!win::ensure_class_registered(window_class)) {
    return;
  }

  // 1. Centred on the primary screen's full size (not its work area), not yet shown.
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kWindow.outer_width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kWindow.outer_height) / 2;
  if (!create(kWindow.ex_style, kClassName, kWindow.title, kWindow.style, left, top,
              kWindow.outer_width, kWindow.outer_height, nullptr, nullptr)) {
    return;
  }

  // 2. The system may have adjusted the size (to fit the screen, for one); the size is fixed.
  RECT outer{};
  GetWindowRect(hwnd(), &outer);
  if (outer.right - outer.left != kWindow.outer_width ||
      outer.bottom - outer.top != kWindow.outer_height) {
    SetWindowPos(hwnd(), nullptr, 0, 0, kWindow.outer_width, kWindow.outer_height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // 3. A missing icon leaves the system's default one.
  if (HICON big = load_icon(instance_, SM_CXICON, SM_CYICON)) {
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  }
  if (HICON small = load_icon(instance_, SM_CXSMICON, SM_CYSMICON)) {
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  }

  // 4. The music is started from the window's first message, once the loop runs: opening the
  // MIDI output can take a tenth of a second (all of it when there is no device), and the
  // music must never hold up the window's appearance.
  PostMessageW(hwnd(), kStartMusicMessage, 0, 0);
  // 5.
  create_controls();
}

MainWindow::~MainWindow() {
  // The window goes first, while the controls and the music it refers to still exist; its
  // destruction notifies the window about each child going.
  if (hwnd() != nullptr) {
    destroyed_by_owner_ = true;
    DestroyWindow(hwnd());
  }
  if (music_ != nullptr) {
    music_->stop();
  }
}

void MainWindow::start_music() {
  music_ = std::make_unique<MusicPlayer>(std::make_unique<StreamMidiPort>(hwnd()));
  const std::span<const std::byte> file = resource_bytes(instance_, IDR_TUNE_MIDI);
  const core::MidiReadResult tune =
      core::read_midi_file({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()});
  if (!tune.song) {
    return;
  }
  // Without a MIDI output the window simply works without music.
  music_->start(tune.song->ticks_per_quarter_note, std::as_bytes(std::span(tune.song->events)));
}

void MainWindow::create_controls() {
  click_sound_ = resource_bytes(instance_, IDR_CLICK_WAV);
  for (ControlDefinition& definition : control_definitions()) {
    const win::CommonFields common{.rect = definition.rect,
                                   .visible_at_start = definition.visible_at_start,
                                   .enabled = true,
                                   .tab_stop = definition.tab_stop,
                                   .pointer = definition.pointer};
    Entry entry{.name = definition.name, .tab_stop = definition.tab_stop, .control = {}};
    if (auto* settings = std::get_if<TransLabelSettings>(&definition.settings)) {
      auto control = std::make_unique<controls::TransLabel>();
      control->create(hwnd(), common, *settings, definition.id);
      entry.control = std::move(control);
    } else if (auto* box = std::get_if<EditBoxSettings>(&definition.settings)) {
      auto control = std::make_unique<controls::EditBox>();
      control->create(hwnd(), common, *box, definition.id);
      entry.control = std::move(control);
    } else if (auto* button = std::get_if<SuperBtnSettings>(&definition.settings)) {
      auto control = std::make_unique<controls::SuperBtn>();
      control->create(
          hwnd(), common, *button, click_sound_, [this] { on_click(); }, definition.id);
      entry.control = std::move(control);
    } else if (auto* link = std::get_if<HyperLinkerSettings>(&definition.settings)) {
      auto control = std::make_unique<controls::HyperLinker>();
      control->create(hwnd(), common, *link, definition.id);
      entry.control = std::move(control);
    }
    controls_.push_back(std::move(entry));
  }
  // Two labels overlap the left end of a box; the boxes go on top, so no typed character is
  // ever hidden under a label.
  for (const Entry& entry : controls_) {
    if (std::holds_alternative<std::unique_ptr<controls::EditBox>>(entry.control)) {
      SetWindowPos(hwnd_of(entry.control), HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  // Shown only once all exist, without activating any of them.
  const auto definitions = control_definitions();
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (definitions[i].visible_at_start) {
      std::visit([](const auto& control) { control->show(); }, controls_[i].control);
    }
  }
}

void MainWindow::show() {
  if (hwnd() == nullptr) {
    return;
  }
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  // Activation has put the focus on the first control; painting now rather than from the loop
  // means the window is complete on screen the moment the program first waits for input.
  UpdateWindow(hwnd());
}

// --- The one event binding ---------------------------------------------------------------------

void MainWindow::on_click() {
  // The button has already started its click sound.
  try {
    calc::run_calculation(*this);
  } catch (const std::bad_alloc&) {
    out_of_memory();
  }
}

void MainWindow::out_of_memory() {
  ran_out_of_memory_ = true;
  // The loop ends with the window; start_program then ends the process with -1.
  DestroyWindow(hwnd());
}

// --- FormAccess --------------------------------------------------------------------------------

MainWindow::Entry* MainWindow::find(std::string_view name) {
  for (Entry& entry : controls_) {
    if (entry.name == name) {
      return &entry;
    }
  }
  return nullptr;
}

std::string MainWindow::read_text(std::string_view name) {
  Entry* entry = find(name);
  if (entry == nullptr) {
    return {};
  }
  if (const auto* box = std::get_if<std::unique_ptr<controls::EditBox>>(&entry->control)) {
    return core::utf8_from_utf16(as_utf16((*box)->text()));
  }
  return {};
}

void MainWindow::write_text(std::string_view name, std::string_view text) {
  Entry* entry = find(name);
  if (entry == nullptr) {
    return;
  }
  if (const auto* box = std::get_if<std::unique_ptr<controls::EditBox>>(&entry->control)) {
    (*box)->set_text(as_wide(core::utf16_from_utf8(text)));
  }
}

void MainWindow::set_visible(std::string_view name, bool visible) {
  if (Entry* entry = find(name)) {
    std::visit([visible](const auto& control) { control->set_visible(visible); }, entry->control);
  }
}

// --- Focus and keyboard ------------------------------------------------------------------------

HWND MainWindow::hwnd_of(const Control& control) {
  return std::visit([](const auto& c) { return c ? c->hwnd() : HWND{}; }, control);
}

bool MainWindow::focusable(const Entry& entry) const {
  const HWND control = hwnd_of(entry.control);
  return entry.tab_stop && control != nullptr && IsWindowVisible(control) &&
         IsWindowEnabled(control);
}

HWND MainWindow::first_focusable() const {
  for (const Entry& entry : controls_) {
    if (focusable(entry)) {
      return hwnd_of(entry.control);
    }
  }
  return nullptr;
}

void MainWindow::move_focus(bool forward) {
  const HWND current = GetFocus();
  const auto count = static_cast<std::ptrdiff_t>(controls_.size());
  std::ptrdiff_t at = -1;
  for (std::ptrdiff_t i = 0; i < count; ++i) {
    if (hwnd_of(controls_[static_cast<std::size_t>(i)].control) == current) {
      at = i;
    }
  }
  if (at < 0) {
    at = forward ? count - 1 : 0;
  }
  // Around the ring once at most, wrapping at either end.
  for (std::ptrdiff_t step = 1; step <= count; ++step) {
    const std::ptrdiff_t i = ((at + (forward ? step : -step)) % count + count) % count;
    const Entry& entry = controls_[static_cast<std::size_t>(i)];
    if (focusable(entry)) {
      const HWND next = hwnd_of(entry.control);
      SetFocus(next);
      // As a dialog does: a box reached by Tab has its whole text selected, ready to retype.
      if (std::holds_alternative<std::unique_ptr<controls::EditBox>>(entry.control)) {
        SendMessageW(next, EM_SETSEL, 0, -1);
      }
      return;
    }
  }
}

void MainWindow::restore_focus() {
  HWND target = last_focus_;
  if (target == nullptr || !IsWindow(target) || !IsWindowVisible(target) ||
      !IsWindowEnabled(target)) {
    target = first_focusable();
  }
  if (target != nullptr) {
    SetFocus(target);
  }
}

bool MainWindow::pre_translate(MSG& message) {
  if (hwnd() == nullptr || (message.hwnd != hwnd() && !IsChild(hwnd(), message.hwnd))) {
    return false;
  }
  if (message.message != WM_KEYDOWN) {
    return false;
  }
  switch (message.wParam) {
    case VK_TAB:
      // Ctrl+Tab and Alt+Tab are not ours.
      if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) {
        return false;
      }
      move_focus(GetKeyState(VK_SHIFT) >= 0);
      return true;
    case VK_ESCAPE:
      // Exactly what the close button does.
      SendMessageW(hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
    case VK_RETURN:
      // The key still reaches the focused control, but untranslated: a single-line edit box
      // would answer the Enter character with a beep, and nothing here is a default button.
      DispatchMessageW(&message);
      return true;
    case VK_F1:
      // Translated, F1 would ask for help.
      return true;
    default:
      return false;
  }
}

// --- Messages ----------------------------------------------------------------------------------

LRESULT MainWindow::handle_message(UINT msg, WPARAM wparam, LPARAM lparam) {
  // No exception may leave a window procedure; running out of memory ends the program.
  try {
    return handle(msg, wparam, lparam);
  } catch (const std::bad_alloc&) {
    out_of_memory();
    return DefWindowProcW(hwnd(), msg, wparam, lparam);
  }
}

LRESULT MainWindow::handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // paint() covers everything
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd(), focus)) {
          last_focus_ = focus;
        }
      } else if (HIWORD(wparam) == 0) {  // not minimised
        restore_focus();
      }
      return 0;
    case WM_SETFOCUS:
      restore_focus();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case kStartMusicMessage:
      if (music_ == nullptr) {
        start_music();
      }
      return 0;
    case kMusicEndedMessage:
      if (music_ != nullptr) {
        music_->on_tune_ended();
      }
      return 0;
    case WM_DESTROY:
      if (music_ != nullptr) {
        music_->stop();
      }
      // Closed by the user: the loop ends. Destroyed with its object instead, no loop waits.
      if (!destroyed_by_owner_) {
        PostQuitMessage(0);
      }
      return 0;
    default:
      return Window::handle_message(msg, wparam, lparam);
  }
}

// --- Background --------------------------------------------------------------------------------

const core::BgraImage* MainWindow::picture(int client_width, int client_height) {
  if (!picture_tried_) {
    picture_tried_ = true;
    const std::span<const std::byte> resource = resource_bytes(instance_, IDR_BACKGROUND_JPEG);
    const std::span<const std::uint8_t> jpeg{reinterpret_cast<const std::uint8_t*>(resource.data()),
                                             resource.size()};
    if (const std::optional<core::JpegSize> size = core::read_jpeg_size(jpeg)) {
      const core::PictureRect drawn =
          core::place_picture(client_width, client_height, size->width, size->height);
      // Shrunk while decoding, to no less than the drawn size: the full-size image is never
      // held.
      picture_ = core::decode_jpeg(jpeg, drawn.width, drawn.height);
    }
  }
  return picture_ ? &*picture_ : nullptr;
}

void MainWindow::paint(HDC dc, const RECT&) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int width = client.right;
  const int height = client.bottom;
  const core::BgraImage* image = picture(width, height);
  if (image == nullptr) {
    fill(dc, 0, 0, width, height);
    return;
  }
  // Placed by the picture's own size, so the decoded scale never changes where it lands.
  const core::PictureRect at =
      core::place_picture(width, height, image->source_width, image->source_height);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = image->width;
  info.bmiHeader.biHeight = -image->height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const int bits_per_pixel = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
  if (bits_per_pixel > 16) {
    SetStretchBltMode(dc, HALFTONE);
    // HALFTONE needs the brush origin set again after the mode change.
    SetBrushOrgEx(dc, 0, 0, nullptr);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);
  }
  StretchDIBits(dc, at.x, at.y, at.width, at.height, 0, 0, image->width, image->height,
                image->pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);

  // Everything outside the picture: the bands its aspect ratio leaves.
  fill(dc, 0, 0, width, at.y);
  fill(dc, 0, at.y + at.height, width, height);
  fill(dc, 0, at.y, at.x, at.y + at.height);
  fill(dc, at.x + at.width, at.y, width, at.y + at.height);
}

}  // namespace densilo::app
