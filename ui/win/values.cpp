#include "ui/win/values.h"

#include <algorithm>

namespace densilo::win {

unique_hfont create_font(const Font& font) {
  LOGFONTW lf{};
  lf.lfHeight = -font.char_height;
  lf.lfWeight = font.weight;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfUnderline = font.underline ? TRUE : FALSE;
  lf.lfStrikeOut = font.strike_out ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = PROOF_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  // LOGFONTW holds at most LF_FACESIZE - 1 characters; a longer face is no face GDI knows.
  const auto n = std::min<std::size_t>(font.face.size(), LF_FACESIZE - 1);
  std::copy_n(font.face.begin(), n, lf.lfFaceName);
  lf.lfFaceName[n] = L'\0';
  return unique_hfont(CreateFontIndirectW(&lf));
}

HCURSOR cursor_for(MousePointer pointer, const wchar_t* kind_cursor) {
  return LoadCursorW(nullptr, pointer == MousePointer::kHand ? IDC_HAND : kind_cursor);
}

}  // namespace densilo::win
