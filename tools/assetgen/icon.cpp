// The program's icon: a calculator keypad of four rounded tiles with plus, minus, times and
// divide. Windows shrinks the one 64-pixel image to 16 pixels for the caption bar, so the
// glyphs are thick white strokes on saturated tiles, laid out so that they keep whole
// pixels at that size.

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "assetgen.h"

namespace densilo::assetgen {
namespace {

constexpr int kSize = 64;
constexpr int kSamples = 4;  // per axis: 16 coverage samples per pixel

struct Rgb {
  double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Signed distance to a rounded rectangle given by its centre, half extent and corner radius.
double rounded_rect(double x, double y, double cx, double cy, double half, double radius) {
  const double qx = std::abs(x - cx) - (half - radius);
  const double qy = std::abs(y - cy) - (half - radius);
  const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
  return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

// Signed distance to a bar of the given half length and half thickness through (cx, cy) at
// an angle. Square ends with a one-pixel rounding: round caps blur into blobs at 16 pixels.
double stroke(double x, double y, double cx, double cy, double half_len, double half_thick,
              double angle) {
  constexpr double kRound = 1.0;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double u = std::abs((x - cx) * c + (y - cy) * s) - (half_len - kRound);
  const double v = std::abs(-(x - cx) * s + (y - cy) * c) - (half_thick - kRound);
  const double outside = std::hypot(std::max(u, 0.0), std::max(v, 0.0));
  return outside + std::min(std::max(u, v), 0.0) - kRound;
}

double dot(double x, double y, double cx, double cy, double radius) {
  return std::hypot(x - cx, y - cy) - radius;
}

enum class Glyph { kPlus, kMinus, kTimes, kDivide };

struct Tile {
  double cx, cy;
  Rgb top, bottom;  // a slight vertical gradient gives the tiles some depth
  Glyph glyph;
};

// Tiles and strokes sit on a four-pixel grid: shrunk to 16 pixels, each tile is seven pixels
// wide with a two-pixel gap, and the plus and minus bars fall on the tile's middle pixel.
constexpr double kHalfTile = 14.0;
constexpr double kCorner = 6.0;
constexpr double kHalfStroke = 3.0;
constexpr double kHalfGlyph = 9.0;
constexpr double kOutline = 1.0;

constexpr Rgb kBlueTop{70, 130, 255}, kBlueBottom{24, 70, 210};
constexpr Rgb kCyanTop{24, 190, 226}, kCyanBottom{0, 122, 168};
constexpr Rgb kGlyph{255, 255, 255};
constexpr Rgb kOutlineColour{12, 40, 92};

constexpr std::array<Tile, 4> kTiles{{
    {14.0, 14.0, kBlueTop, kBlueBottom, Glyph::kPlus},
    {50.0, 14.0, kCyanTop, kCyanBottom, Glyph::kMinus},
    {14.0, 50.0, kCyanTop, kCyanBottom, Glyph::kTimes},
    {50.0, 50.0, kBlueTop, kBlueBottom, Glyph::kDivide},
}};

double glyph_distance(const Tile& t, double x, double y) {
  constexpr double kQuarter = std::numbers::pi / 4.0;
  switch (t.glyph) {
    case Glyph::kPlus:
      return std::min(stroke(x, y, t.cx, t.cy, kHalfGlyph, kHalfStroke, 0.0),
                      stroke(x, y, t.cx, t.cy, kHalfGlyph, kHalfStroke, 2.0 * kQuarter));
    case Glyph::kMinus:
      return stroke(x, y, t.cx, t.cy, kHalfGlyph, kHalfStroke, 0.0);
    case Glyph::kTimes:
      // Diagonals lose more to the shrink than straight bars do, so they are a little bolder.
      return std::min(stroke(x, y, t.cx, t.cy, kHalfGlyph + 1.0, kHalfStroke + 0.6, kQuarter),
                      stroke(x, y, t.cx, t.cy, kHalfGlyph + 1.0, kHalfStroke + 0.6, -kQuarter));
    case Glyph::kDivide:
      // The dots sit eight pixels off the bar: on whole pixels again at 16 pixels.
      return std::min({stroke(x, y, t.cx, t.cy, kHalfGlyph, kHalfStroke, 0.0),
                       dot(x, y, t.cx, t.cy - 8.0, 3.2), dot(x, y, t.cx, t.cy + 8.0, 3.2)});
  }
  return 1e9;
}

// The colour at one sample point, or nothing where it falls outside every tile.
bool sample(double x, double y, Rgb& out) {
  for (const Tile& t : kTiles) {
    const double edge = rounded_rect(x, y, t.cx, t.cy, kHalfTile, kCorner);
    if (edge > 0.0)
      continue;
    if (edge > -kOutline) {
      out = kOutlineColour;
    } else if (glyph_distance(t, x, y) <= 0.0) {
      out = kGlyph;
    } else {
      const double k = std::clamp((y - (t.cy - kHalfTile)) / (2.0 * kHalfTile), 0.0, 1.0);
      out = mix(t.top, t.bottom, k);
    }
    return true;
  }
  return false;
}

std::uint8_t to_byte(double v) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

Bytes make_icon() {
  constexpr std::uint32_t kXorRow = kSize * 3;  // 192: already a multiple of four
  constexpr std::uint32_t kAndRow = kSize / 8;  // 8: already a multiple of four
  constexpr std::uint32_t kImage = 40 + kXorRow * kSize + kAndRow * kSize;

  struct Pixel {
    Rgb colour{0, 0, 0};
    bool opaque = false;
  };
  std::vector<Pixel> pixels(kSize * kSize);
  auto at = [&pixels](int px, int py) -> Pixel& {
    return pixels[static_cast<std::size_t>(py * kSize + px)];
  };
  for (int py = 0; py < kSize; ++py) {
    for (int px = 0; px < kSize; ++px) {
      Rgb sum{0, 0, 0};
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          Rgb c;
          if (sample(px + (sx + 0.5) / kSamples, py + (sy + 0.5) / kSamples, c)) {
            sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
            ++hits;
          }
        }
      }
      // The mask has one bit, so a pixel is either drawn or not. Pixels more than half
      // covered are drawn, with their colour leaned toward a neutral grey by the uncovered
      // share: that edge reads as smooth over both light and dark backgrounds.
      constexpr int kAll = kSamples * kSamples;
      at(px, py).opaque = hits * 2 > kAll;
      if (hits > 0) {
        const Rgb avg{sum.r / hits, sum.g / hits, sum.b / hits};
        at(px, py).colour = mix(avg, Rgb{110, 114, 122}, 1.0 - static_cast<double>(hits) / kAll);
      }
    }
  }

  Bytes out;
  out.reserve(22 + kImage);
  // ICONDIR and its one ICONDIRENTRY.
  put_le16(out, 0);
  put_le16(out, 1);  // icon, not cursor
  put_le16(out, 1);  // one image
  out.push_back(kSize);
  out.push_back(kSize);
  out.push_back(0);  // no palette
  out.push_back(0);
  put_le16(out, 1);   // planes
  put_le16(out, 24);  // bits per pixel
  put_le32(out, kImage);
  put_le32(out, 22);  // the image follows the directory
  // BITMAPINFOHEADER: the height counts the colour bitmap and the mask together.
  put_le32(out, 40);
  put_le32(out, kSize);
  put_le32(out, 2 * kSize);
  put_le16(out, 1);
  put_le16(out, 24);
  put_le32(out, 0);  // BI_RGB
  put_le32(out, kImage - 40);
  put_le32(out, 0);
  put_le32(out, 0);
  put_le32(out, 0);
  put_le32(out, 0);
  // Colour rows, bottom row first, blue-green-red; black where the mask makes it clear.
  for (int py = kSize - 1; py >= 0; --py) {
    for (int px = 0; px < kSize; ++px) {
      const Rgb c = at(px, py).opaque ? at(px, py).colour : Rgb{0, 0, 0};
      out.push_back(to_byte(c.b));
      out.push_back(to_byte(c.g));
      out.push_back(to_byte(c.r));
    }
  }
  // Mask rows, bottom row first, leftmost pixel in the high bit; a set bit is transparent.
  for (int py = kSize - 1; py >= 0; --py) {
    for (int byte = 0; byte < kSize / 8; ++byte) {
      std::uint8_t bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        if (!at(byte * 8 + bit, py).opaque)
          bits = static_cast<std::uint8_t>(bits | (0x80u >> bit));
      }
      out.push_back(bits);
    }
  }
  return out;
}

}  // namespace densilo::assetgen
