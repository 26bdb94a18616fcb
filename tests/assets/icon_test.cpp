// densilo.ico: one 64 x 64 image at 24 bits per pixel, in the DIB layout that Windows reads
// (colour rows, then a one-bit AND mask, bottom row first), with transparent corners.

#include <gtest/gtest.h>

#include <algorithm>

#include "asset_files.h"

namespace densilo::asset_test {
namespace {

constexpr std::size_t kDirectory = 6 + 16;
constexpr std::size_t kInfoHeader = 40;
constexpr std::size_t kXorRow = 64 * 3;
constexpr std::size_t kAndRow = 8;  // 64 bits, already a whole number of 32-bit words
constexpr std::size_t kImage = kInfoHeader + 64 * kXorRow + 64 * kAndRow;

class Icon : public ::testing::Test {
 protected:
  Bytes f_ = read_asset("densilo.ico");

  // Top-down coordinates over the bottom-up rows of the file.
  bool transparent(int x, int y) const {
    const std::size_t row =
        kDirectory + kInfoHeader + 64 * kXorRow + static_cast<std::size_t>(63 - y) * kAndRow;
    return (f_.at(row + static_cast<std::size_t>(x) / 8) >> (7 - x % 8) & 1) != 0;
  }
  const std::uint8_t* bgr(int x, int y) const {
    return &f_.at(kDirectory + kInfoHeader + static_cast<std::size_t>(63 - y) * kXorRow +
                  static_cast<std::size_t>(x) * 3);
  }
};

TEST_F(Icon, DirectoryHoldsExactlyOne64x64At24Bits) {
  ASSERT_GE(f_.size(), kDirectory);
  EXPECT_EQ(le16(f_, 0), 0u);
  EXPECT_EQ(le16(f_, 2), 1u) << "type 1: icon";
  EXPECT_EQ(le16(f_, 4), 1u) << "image count";
  EXPECT_EQ(f_[6], 64);
  EXPECT_EQ(f_[7], 64);
  EXPECT_EQ(f_[8], 0) << "no palette";
  EXPECT_EQ(le16(f_, 10), 1u) << "planes";
  EXPECT_EQ(le16(f_, 12), 24u) << "bits per pixel";
}

TEST_F(Icon, SizesAndOffsetsAgree) {
  const std::uint32_t bytes_in_res = le32(f_, 14);
  const std::uint32_t offset = le32(f_, 18);
  EXPECT_EQ(offset, kDirectory);
  EXPECT_EQ(bytes_in_res, kImage);
  EXPECT_EQ(f_.size(), std::size_t{offset} + bytes_in_res) << "nothing missing, nothing after";
}

TEST_F(Icon, BitmapHeaderCountsColourAndMaskRows) {
  ASSERT_GE(f_.size(), kDirectory + kInfoHeader);
  const std::size_t h = kDirectory;
  EXPECT_EQ(le32(f_, h), 40u) << "BITMAPINFOHEADER";
  EXPECT_EQ(le32(f_, h + 4), 64u);
  EXPECT_EQ(le32(f_, h + 8), 128u) << "height covers the colour bitmap and the mask";
  EXPECT_EQ(le16(f_, h + 12), 1u);
  EXPECT_EQ(le16(f_, h + 14), 24u);
  EXPECT_EQ(le32(f_, h + 16), 0u) << "BI_RGB, uncompressed";
  EXPECT_EQ(le32(f_, h + 32), 0u) << "no colour table";
}

TEST_F(Icon, CornersAreTransparentAndTileCentresOpaque) {
  ASSERT_EQ(f_.size(), kDirectory + kImage);
  for (auto [x, y] : {std::pair{0, 0}, {63, 0}, {0, 63}, {63, 63}, {31, 31}, {32, 32}}) {
    EXPECT_TRUE(transparent(x, y)) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{14, 14}, {50, 14}, {14, 50}, {50, 50}, {4, 14}, {14, 4}}) {
    EXPECT_FALSE(transparent(x, y)) << x << "," << y;
  }
}

// Windows draws the colour bits with XOR over the masked screen: where the mask is set,
// anything but black would show through as inverted garbage.
TEST_F(Icon, TransparentPixelsAreBlack) {
  ASSERT_EQ(f_.size(), kDirectory + kImage);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      if (!transparent(x, y))
        continue;
      const std::uint8_t* p = bgr(x, y);
      ASSERT_EQ(p[0] | p[1] | p[2], 0) << x << "," << y;
    }
  }
}

// The caption bar shows the icon at 16 pixels. Shrunk four times, each tile still needs a
// clearly lighter glyph on a darker face, or the operators blur into coloured squares.
TEST_F(Icon, EachTileKeepsContrastAt16Pixels) {
  ASSERT_EQ(f_.size(), kDirectory + kImage);
  double small[16][16];
  for (int sy = 0; sy < 16; ++sy) {
    for (int sx = 0; sx < 16; ++sx) {
      double sum = 0.0;
      for (int y = sy * 4; y < sy * 4 + 4; ++y) {
        for (int x = sx * 4; x < sx * 4 + 4; ++x) {
          const std::uint8_t* p = bgr(x, y);
          sum += 0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2];
        }
      }
      small[sy][sx] = sum / 16.0;
    }
  }
  for (int ty = 0; ty < 2; ++ty) {
    for (int tx = 0; tx < 2; ++tx) {
      double lo = 255.0, hi = 0.0;
      // The tile's inner 5 x 5 pixels, away from its rounded edge.
      for (int y = ty * 9 + 1; y < ty * 9 + 6; ++y) {
        for (int x = tx * 9 + 1; x < tx * 9 + 6; ++x) {
          lo = std::min(lo, small[y][x]);
          hi = std::max(hi, small[y][x]);
        }
      }
      EXPECT_GT(hi, 220.0) << "tile " << tx << "," << ty << ": a near-white glyph";
      EXPECT_GT(hi - lo, 100.0) << "tile " << tx << "," << ty;
    }
  }
}

}  // namespace
}  // namespace densilo::asset_test
