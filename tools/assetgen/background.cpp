// The window's background: a dark charcoal field, a faint vignette and a thin ring that
// shades from blue to cyan. The window shows it shrunk about 3.7 times under red labels and
// black edit boxes, so it stays dark and calm; the ring carries a soft glow so that it still
// reads as a line after the shrink.

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <numbers>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "assetgen.h"

namespace densilo::assetgen {
namespace {

constexpr int kWidth = 1366;
constexpr int kHeight = 768;
// The grain of the dither is what costs the bytes: these two land the file near 41 KB.
constexpr int kQuality = 93;
constexpr double kDither = 0.85;

struct Rgb {
  double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double smoothstep(double e0, double e1, double x) {
  const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

Rgb pixel_at(int x, int y) {
  // Sample at the pixel centre so the picture is symmetric about the middle.
  const double px = x + 0.5 - kWidth / 2.0;
  const double py = y + 0.5 - kHeight / 2.0;

  // Vignette: measured on an ellipse that touches the corners, so every edge darkens alike.
  const double ex = px / (kWidth / 2.0);
  const double ey = py / (kHeight / 2.0);
  const double edge = (ex * ex + ey * ey) / 2.0;  // 0 in the centre, 1 in the corners
  const Rgb centre{34.0, 35.0, 39.0};
  const Rgb corner{13.0, 13.5, 15.5};
  Rgb c = mix(centre, corner, smoothstep(0.0, 1.0, std::sqrt(edge)));

  // The ring: its colour turns from blue (upper right) to cyan (lower left) and back,
  // following the cosine of the angle so there is no seam anywhere around it.
  constexpr double kRadius = 206.0;
  constexpr double kHalfWidth = 2.4;
  const double dist = std::hypot(px, py);
  const double off = std::abs(dist - kRadius);
  const double angle = std::atan2(py, px);
  const double t = 0.5 - 0.5 * std::cos(angle + std::numbers::pi / 4.0);
  const Rgb blue{38.0, 86.0, 245.0};
  const Rgb cyan{20.0, 214.0, 240.0};
  const Rgb ring = mix(blue, cyan, t);

  // Area coverage of a band of the given half width by a one-pixel footprint: a clean,
  // anti-aliased edge without supersampling.
  const double core = std::clamp(kHalfWidth + 0.5 - off, 0.0, 1.0);
  const double glow = 0.30 * std::exp(-(off * off) / (2.0 * 9.0 * 9.0)) +
                      0.10 * std::exp(-(off * off) / (2.0 * 34.0 * 34.0));
  c = mix(c, ring, std::min(1.0, glow));
  c = mix(c, ring, core);
  return c;
}

std::uint8_t to_byte(double v) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

// The default libjpeg error handler calls exit(); this one returns to the encoder's caller.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void on_error(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Kept apart from the pixel code: nothing with a destructor may live across setjmp.
bool encode(const std::uint8_t* rgb, unsigned char** data, unsigned long* size) {
  jpeg_compress_struct cinfo{};
  ErrorManager err{};
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = on_error;
  if (setjmp(err.jump) != 0) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, data, size);
  cinfo.image_width = kWidth;
  cinfo.image_height = kHeight;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, kQuality, TRUE);
  // Optimised Huffman tables stay within baseline (SOF0) and give the bytes to quality.
  cinfo.optimize_coding = TRUE;
  cinfo.dct_method = JDCT_ISLOW;
  cinfo.write_JFIF_header = TRUE;
  cinfo.density_unit = 1;  // dots per inch
  cinfo.X_density = 96;
  cinfo.Y_density = 96;
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb + std::size_t{cinfo.next_scanline} * kWidth * 3);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

Bytes make_background() {
  Bytes rgb(std::size_t{kWidth} * kHeight * 3);
  // Triangular dither of about one level, the same in all three channels: it breaks the
  // dark gradient's steps into grain without tinting it.
  Noise noise(0x5EED1366u);
  std::size_t i = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const Rgb c = pixel_at(x, y);
      const double d = kDither * (noise.uniform() + noise.uniform());
      rgb[i++] = to_byte(c.r + d);
      rgb[i++] = to_byte(c.g + d);
      rgb[i++] = to_byte(c.b + d);
    }
  }

  unsigned char* data = nullptr;
  unsigned long size = 0;
  const bool ok = encode(rgb.data(), &data, &size);
  Bytes out;
  if (ok)
    out.assign(data, data + size);
  std::free(data);  // jpeg_mem_dest allocates with malloc
  return out;
}

}  // namespace densilo::assetgen
