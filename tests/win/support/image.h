// A captured picture: 32-bit pixels as a Windows DIB section holds them (blue, green, red,
// unused byte in memory order), top row first.
#ifndef DENSILO_TESTS_WIN_SUPPORT_IMAGE_H
#define DENSILO_TESTS_WIN_SUPPORT_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace densilo::test {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width * height, each 0x??RRGGBB

  // The colour at (x, y) as 0xRRGGBB, the way colours are written in the window's definition.
  std::uint32_t pixel(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)] &
           0xFFFFFFu;
  }
};

}  // namespace densilo::test

#endif
