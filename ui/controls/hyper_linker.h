// HyperLinker: one line of coloured text in a framed box that opens its web address when
// pressed, and remembers in `visited` whether the latest press succeeded.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ui/win/handles.h"
#include "ui/win/values.h"
#include "ui/win/window.h"

namespace densilo::controls {

// Opens a target with a show command; true on success. The real one is open_link_target.
using LinkOpener = std::function<bool(std::wstring_view target, int show)>;

// The link type is always a web address.
struct HyperLinkerSettings {
  std::wstring caption;  // shown; the target is shown instead when empty
  std::wstring target;   // the web address
  win::Colour normal_colour = win::Colour::hex(0x0000FF);
  win::Colour visited_colour = win::Colour::hex(0x800080);
  win::Colour hover_colour = win::Colour::hex(0xFF0000);
  win::Colour background_colour = win::Colour::system_default();
  bool thin_border = true;        // a one-pixel frame, as EditBox's
  std::optional<win::Font> font;  // none: the system's default GUI font
};

class HyperLinker : public win::Window {
 public:
  // An empty `opener` means open_link_target.
  bool create(HWND parent, const win::CommonFields& common, const HyperLinkerSettings& settings,
              int control_id = 0, LinkOpener opener = {});

  void set_visible(bool visible);
  void show() { set_visible(true); }
  void hide() { set_visible(false); }
  const win::CommonFields& common() const { return common_; }

  bool hovered() const { return hovered_; }
  bool visited() const { return visited_; }

 protected:
  LRESULT handle_message(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void paint(HDC dc, const RECT& dirty) override;

 private:
  void on_mouse_move(POINT pt);
  void on_press();

  win::CommonFields common_;
  HyperLinkerSettings settings_;
  win::unique_hfont own_font_;
  LinkOpener opener_;
  bool hovered_ = false;
  bool visited_ = false;
};

}  // namespace densilo::controls
