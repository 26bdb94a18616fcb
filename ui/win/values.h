// Value types shared by every control kind: colours, fonts, the mouse pointer and the fields
// every control has (rectangle, visibility, enabled state, tab stop).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/win/handles.h"

namespace densilo::win {

// An RGB colour, or the default-colour marker, which stands for the system's button-face
// colour and is resolved only when drawing (the user may change system colours at any time).
class Colour {
 public:
  // 0xRRGGBB, as colours are written in the window definitions.
  static constexpr Colour hex(std::uint32_t rrggbb) { return Colour(rrggbb & 0xFFFFFFu, false); }
  static constexpr Colour system_default() { return Colour(0, true); }

  constexpr bool is_default() const { return is_default_; }
  constexpr std::uint32_t rrggbb() const { return rrggbb_; }

  COLORREF to_colorref() const {
    if (is_default_) {
      return GetSysColor(COLOR_BTNFACE);
    }
    return RGB((rrggbb_ >> 16) & 0xFF, (rrggbb_ >> 8) & 0xFF, rrggbb_ & 0xFF);
  }

  friend constexpr bool operator==(const Colour&, const Colour&) = default;

 private:
  constexpr Colour(std::uint32_t rrggbb, bool is_default)
      : rrggbb_(rrggbb), is_default_(is_default) {}
  std::uint32_t rrggbb_;
  bool is_default_;
};

// A font by face, character height in pixels (of the characters, not of the cell) and weight.
struct Font {
  std::wstring face;
  int char_height = 0;
  int weight = FW_NORMAL;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
};

// A negative height asks GDI for the character height rather than the cell height; a face the
// system lacks is replaced by its own substitute, so this fails only when GDI is out of memory.
unique_hfont create_font(const Font& font);

enum class MousePointer {
  kDefault,  // the kind's own cursor
  kHand,
};

// The cursor to show: the kind's own unless the pointer field asks for the hand.
HCURSOR cursor_for(MousePointer pointer, const wchar_t* kind_cursor);

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Fields every control has, whatever its kind.
struct CommonFields {
  Rect rect;
  bool visible_at_start = true;
  bool enabled = true;
  bool tab_stop = false;
  MousePointer pointer = MousePointer::kDefault;
};

}  // namespace densilo::win
