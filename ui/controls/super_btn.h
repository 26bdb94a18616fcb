// SuperBtn: a flat push button drawn by the program (a BS_OWNERDRAW BUTTON), with a face and
// caption colour per state, a thin 3D edge while hovered or pressed, and a click sound when
// hovering starts and on each click.
//
// The parent must be a densilo::win::Window (or reflect WM_DRAWITEM and WM_COMMAND the same
// way): the button draws itself and raises its own click event.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include "ui/win/handles.h"
#include "ui/win/values.h"
#include "ui/win/window.h"

namespace densilo::controls {

// Plays a WAV image held in memory, without waiting. The bytes outlive the sound (they are the
// program's own resource). Tests put a recorder here, since a machine may have no sound device.
using SoundPlayer = std::function<void(std::span<const std::byte> wav)>;

// The real player: asynchronous, from memory, no default sound in its place, skipped when the
// device is busy; a new sound cuts off one still playing.
void play_sound_async(std::span<const std::byte> wav);

// The kind is a flat, picture-less, non-toggle push button that is never the default button;
// its caption is centred (word-wrapped when too wide) and moves 1 pixel right and down while
// pressed.
struct SuperBtnSettings {
  std::wstring caption;
  win::Font font;
  bool draw_border = true;     // DrawBorder: raised edge while hovered, sunken while pressed
  bool draw_focus = false;     // DrawFocus: a focus rectangle while focused
  bool default_color = false;  // DefaultColor: system colours instead of the six below
  win::Colour fg_color_out = win::Colour::hex(0x000000);
  win::Colour bk_color_out = win::Colour::system_default();
  win::Colour fg_color_in = win::Colour::hex(0x000000);
  win::Colour bk_color_in = win::Colour::system_default();
  win::Colour fg_color_focus = win::Colour::hex(0x000000);
  win::Colour bk_color_focus = win::Colour::system_default();
  bool standard_sound = true;  // StandardSound: the click sound on hover start and on click
};

class SuperBtn : public win::SubclassedControl {
 public:
  using ClickHandler = std::function<void()>;

  // `standard_sound` is the kind's WAV image; it must outlive the button. `on_click` runs after
  // the click sound has been started. `control_id` must not be IDOK or IDCANCEL: the dialog
  // manager answers Enter and Esc with WM_COMMAND for those ids, which reads as a click.
  bool create(HWND parent, const win::CommonFields& common, const SuperBtnSettings& settings,
              std::span<const std::byte> standard_sound, ClickHandler on_click, int control_id = 0,
              SoundPlayer player = play_sound_async);

  void set_visible(bool visible);
  void show() { set_visible(true); }
  void hide() { set_visible(false); }
  const win::CommonFields& common() const { return common_; }

  bool hovered() const { return hovered_; }

 protected:
  LRESULT handle_message(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void draw(const DRAWITEMSTRUCT& item) const;
  void start_hover();
  void end_hover();
  void play_click_sound() const;

  win::CommonFields common_;
  SuperBtnSettings settings_;
  win::unique_hfont font_;
  std::span<const std::byte> sound_;
  SoundPlayer player_;
  ClickHandler on_click_;
  bool hovered_ = false;
};

}  // namespace densilo::controls
