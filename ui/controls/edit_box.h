// EditBox: a single-line edit box over the standard EDIT control, with its own colours, a thin
// one-pixel frame and its line centred vertically in the box.
//
// The parent must be a densilo::win::Window (or reflect WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC the
// same way), since the colours are answered by the box itself.
#pragma once

#include <string>
#include <string_view>

#include "ui/win/handles.h"
#include "ui/win/values.h"
#include "ui/win/window.h"

namespace densilo::controls {

enum class TextAlignment { kLeft, kCentre };

// The kind is always single-line, scrolls horizontally, has no scroll bars or spin buttons and
// accepts any character.
struct EditBoxSettings {
  std::wstring content;
  bool thin_border = true;  // a one-pixel frame in the system's window-frame colour
  win::Colour text_colour = win::Colour::hex(0x000000);
  win::Colour background_colour = win::Colour::hex(0xFFFFFF);  // may be the default colour
  win::Font font;
  bool hide_selection = true;  // no selection highlight while unfocused
  int max_length = 0;          // 0: no limit of the box's own
  TextAlignment alignment = TextAlignment::kLeft;
};

class EditBox : public win::SubclassedControl {
 public:
  // Creates the box as a hidden child of `parent`. The box may be made higher than asked, to
  // hold one line of its font plus the system's edges.
  bool create(HWND parent, const win::CommonFields& common, const EditBoxSettings& settings,
              int control_id = 0);

  // The content exactly as displayed.
  std::wstring text() const;
  // Replaces the whole content; the box raises its own change notification.
  void set_text(std::wstring_view text);

  void set_visible(bool visible);
  void show() { set_visible(true); }
  void hide() { set_visible(false); }
  const win::CommonFields& common() const { return common_; }

  // Height of the single text line: the height of "W" in the box's font.
  int line_height() const { return line_height_; }

 protected:
  LRESULT handle_message(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  LRESULT on_nc_calc_size(LPARAM lparam);
  void paint_non_client();

  win::CommonFields common_;
  bool thin_border_ = true;
  win::Colour text_colour_ = win::Colour::hex(0);
  win::Colour background_colour_ = win::Colour::hex(0);
  win::unique_hfont font_;
  win::unique_hbrush background_brush_;
  int line_height_ = 0;
};

}  // namespace densilo::controls
