#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace densilo::core {

// Largest picture accepted, checked from the header before anything is allocated. The program's
// own picture is far below; anything near these is a damaged or hostile file.
inline constexpr int kMaxJpegSide = 16384;
inline constexpr std::int64_t kMaxJpegPixels = std::int64_t{1} << 25;

struct JpegSize {
  int width = 0;
  int height = 0;
};

struct BgraImage {
  int width = 0;  // as decoded, after any scaling
  int height = 0;
  int source_width = 0;  // the picture's own size, which placement works with
  int source_height = 0;
  // Rows top-down, width * 4 bytes each, bytes in the order blue, green, red, alpha (255):
  // the layout of a 32-bit top-down DIB.
  std::vector<std::uint8_t> pixels;
};

// The picture's size from its header, or nothing if the header is unreadable or too large.
std::optional<JpegSize> read_jpeg_size(std::span<const std::uint8_t> jpeg);

// Decodes the whole picture at full size.
std::optional<BgraImage> decode_jpeg(std::span<const std::uint8_t> jpeg);

// Decodes at the smallest of the decoder's scales (n/8) that is still at least
// min_width x min_height, or at full size if the picture is smaller than that.
//
// Any fault gives nothing: damaged, truncated or empty data, a file without an image, sizes
// beyond the limits above, and colour spaces other than grey, YCbCr and RGB (CMYK and YCCK,
// whose colours would need the printer's profile to come out right). Data that the library
// could only decode by patching over damage also counts as a fault, so a picture is either
// whole or absent.
std::optional<BgraImage> decode_jpeg(std::span<const std::uint8_t> jpeg, int min_width,
                                     int min_height);

}  // namespace densilo::core
