// TransLabel: one line of text with no background of its own. Wherever there is no glyph, the
// parent's background shows: the label asks the parent to paint itself into the label's DC
// (WM_PRINTCLIENT, shifted to the label's place) and then draws its text transparently.
//
// The parent must answer WM_PRINTCLIENT with the same drawing as its WM_PAINT, as every
// densilo::win::Window does through paint().
#pragma once

#include <string>
#include <string_view>

#include "ui/win/handles.h"
#include "ui/win/values.h"
#include "ui/win/window.h"

namespace densilo::controls {

// The kind draws its text once (no effect), left-aligned, on one line centred vertically.
struct TransLabelSettings {
  std::wstring text;
  win::Font font;
  win::Colour text_colour = win::Colour::hex(0x000000);
};

class TransLabel : public win::Window {
 public:
  bool create(HWND parent, const win::CommonFields& common, const TransLabelSettings& settings,
              int control_id = 0);

  std::wstring text() const;
  // Repaints the parent's area behind the label first, so no old glyph remains.
  void set_text(std::wstring_view text);
  void set_text_colour(win::Colour colour);
  void set_font(const win::Font& font);

  void set_visible(bool visible);
  void show() { set_visible(true); }
  void hide() { set_visible(false); }
  const win::CommonFields& common() const { return common_; }

 protected:
  LRESULT handle_message(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void paint(HDC dc, const RECT& dirty) override;

 private:
  void repaint_with_parent();

  win::CommonFields common_;
  win::Colour text_colour_ = win::Colour::hex(0);
  win::unique_hfont font_;
};

}  // namespace densilo::controls
