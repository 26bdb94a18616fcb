#include "ui/core/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <cstdlib>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

#include <jpeglib.h>

namespace {

using densilo::core::BgraImage;
using densilo::core::decode_jpeg;
using densilo::core::read_jpeg_size;
using Bytes = std::vector<std::uint8_t>;
using Rgb = std::array<int, 3>;

// Fixtures are made here with libjpeg's own compressor, so every variant is exactly what the
// test says it is.
struct Encoding {
  int width = 64;
  int height = 48;
  J_COLOR_SPACE input_space = JCS_RGB;
  int input_components = 3;
  std::optional<J_COLOR_SPACE> file_space;  // when not libjpeg's default for the input
  bool full_chroma = true;                  // 4:4:4 keeps colours at edges exact enough
  bool progressive = false;
  std::function<void(int x, int y, std::uint8_t* sample)> paint;
};

Bytes encode(const Encoding& e) {
  jpeg_compress_struct c{};
  jpeg_error_mgr errors{};
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = static_cast<JDIMENSION>(e.width);
  c.image_height = static_cast<JDIMENSION>(e.height);
  c.input_components = e.input_components;
  c.in_color_space = e.input_space;
  jpeg_set_defaults(&c);
  if (e.file_space)
    jpeg_set_colorspace(&c, *e.file_space);
  jpeg_set_quality(&c, 95, TRUE);
  if (e.full_chroma) {
    for (int i = 0; i < c.num_components; ++i) {
      c.comp_info[i].h_samp_factor = 1;
      c.comp_info[i].v_samp_factor = 1;
    }
  }
  if (e.progressive)
    jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(e.width * e.input_components));
  while (c.next_scanline < c.image_height) {
    for (int x = 0; x < e.width; ++x) {
      e.paint(x, static_cast<int>(c.next_scanline),
              &row[static_cast<std::size_t>(x * e.input_components)]);
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  jpeg_destroy_compress(&c);
  return out;
}

// Red, green / blue, white quadrants.
Rgb quadrant_colour(int x, int y, int width, int height) {
  const bool right = x >= width / 2;
  const bool bottom = y >= height / 2;
  if (!bottom)
    return right ? Rgb{0, 255, 0} : Rgb{255, 0, 0};
  return right ? Rgb{255, 255, 255} : Rgb{0, 0, 255};
}

Encoding quadrants(int width = 64, int height = 48) {
  Encoding e;
  e.width = width;
  e.height = height;
  e.paint = [width, height](int x, int y, std::uint8_t* s) {
    const Rgb c = quadrant_colour(x, y, width, height);
    for (int i = 0; i < 3; ++i)
      s[i] = static_cast<std::uint8_t>(c[static_cast<std::size_t>(i)]);
  };
  return e;
}

// The decoded pixel as red, green, blue, alpha, read from the BGRA layout.
std::array<int, 4> rgba_at(const BgraImage& image, int x, int y) {
  const std::uint8_t* p =
      &image.pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                     static_cast<std::size_t>(x)) *
                    4];
  return {p[2], p[1], p[0], p[3]};
}

void expect_colour_near(const BgraImage& image, int x, int y, Rgb expected, int tolerance) {
  const auto got = rgba_at(image, x, y);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(got[i], expected[i], tolerance)
        << "channel " << i << " at " << x << "," << y << " got " << got[0] << "," << got[1] << ","
        << got[2];
  }
}

void expect_well_formed(const BgraImage& image) {
  ASSERT_GT(image.width, 0);
  ASSERT_GT(image.height, 0);
  ASSERT_EQ(image.pixels.size(),
            static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4);
  for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
    ASSERT_EQ(image.pixels[i], 255) << "alpha of pixel " << i / 4;
  }
}

// Offset of the first marker segment of the given type, walking the segments from the start.
std::size_t find_segment(const Bytes& jpeg, std::uint8_t marker) {
  std::size_t at = 2;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
    if (jpeg[at + 1] == marker)
      return at;
    at += 2 + (static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3]);
  }
  ADD_FAILURE() << "no marker " << int{marker};
  return 0;
}

struct VariantCase {
  const char* what;
  Encoding encoding;
};

void PrintTo(const VariantCase& c, std::ostream* os) {
  *os << c.what;
}

class DecodeJpegVariant : public testing::TestWithParam<VariantCase> {};

TEST_P(DecodeJpegVariant, GivesTheQuadrantColoursInBgraOrder) {
  const Bytes jpeg = encode(GetParam().encoding);
  const auto image = decode_jpeg(jpeg);
  ASSERT_TRUE(image.has_value());
  expect_well_formed(*image);
  EXPECT_EQ(image->width, 64);
  EXPECT_EQ(image->height, 48);
  EXPECT_EQ(image->source_width, 64);
  EXPECT_EQ(image->source_height, 48);
  // Top row first: red is at the top left, blue below it.
  for (const auto& [x, y] : {std::pair{16, 12}, std::pair{48, 12}, std::pair{16, 36},
                             std::pair{48, 36}, std::pair{0, 0}, std::pair{63, 47}}) {
    expect_colour_near(*image, x, y, quadrant_colour(x, y, 64, 48), 8);
  }
}

Encoding with(Encoding e, const std::function<void(Encoding&)>& change) {
  change(e);
  return e;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeJpegVariant,
    testing::Values(VariantCase{"baseline YCbCr 4:4:4", quadrants()},
                    VariantCase{"baseline YCbCr 4:2:0",
                                with(quadrants(), [](Encoding& e) { e.full_chroma = false; })},
                    VariantCase{"progressive",
                                with(quadrants(), [](Encoding& e) { e.progressive = true; })},
                    VariantCase{"RGB stored without colour transform",
                                with(quadrants(), [](Encoding& e) { e.file_space = JCS_RGB; })}));

TEST(DecodeJpeg, GreyscaleBecomesEqualChannels) {
  Encoding e;
  e.input_space = JCS_GRAYSCALE;
  e.input_components = 1;
  e.paint = [](int x, int, std::uint8_t* s) { *s = static_cast<std::uint8_t>(x * 4); };
  const auto image = decode_jpeg(encode(e));
  ASSERT_TRUE(image.has_value());
  expect_well_formed(*image);
  for (int x : {0, 10, 33, 63}) {
    const auto px = rgba_at(*image, x, 20);
    EXPECT_EQ(px[0], px[1]);
    EXPECT_EQ(px[1], px[2]);
    EXPECT_NEAR(px[0], x * 4, 3) << x;
  }
}

TEST(DecodeJpeg, ScalesDownToTheSmallestSizeThatIsLargeEnough) {
  const Bytes jpeg = encode(quadrants());
  // 2/8 would give 16 x 12, too small; 3/8 gives 24 x 18.
  const auto image = decode_jpeg(jpeg, 20, 15);
  ASSERT_TRUE(image.has_value());
  expect_well_formed(*image);
  EXPECT_EQ(image->width, 24);
  EXPECT_EQ(image->height, 18);
  EXPECT_EQ(image->source_width, 64);
  EXPECT_EQ(image->source_height, 48);
  expect_colour_near(*image, 6, 4, {255, 0, 0}, 12);
  expect_colour_near(*image, 18, 4, {0, 255, 0}, 12);
  expect_colour_near(*image, 6, 13, {0, 0, 255}, 12);
  expect_colour_near(*image, 18, 13, {255, 255, 255}, 12);
}

TEST(DecodeJpeg, TheWindowsPictureIsDecodedAtThreeEighths) {
  // The background's size, shrunk into the window's client area, is drawn at 368 x 206.
  Encoding e;
  e.width = 1366;
  e.height = 768;
  e.full_chroma = false;
  e.paint = [](int x, int y, std::uint8_t* s) {
    s[0] = static_cast<std::uint8_t>(x * 255 / 1365);
    s[1] = static_cast<std::uint8_t>(y * 255 / 767);
    s[2] = 128;
  };
  const Bytes jpeg = encode(e);
  const auto size = read_jpeg_size(jpeg);
  ASSERT_TRUE(size.has_value());
  EXPECT_EQ(size->width, 1366);
  EXPECT_EQ(size->height, 768);

  const auto image = decode_jpeg(jpeg, 368, 206);
  ASSERT_TRUE(image.has_value());
  expect_well_formed(*image);
  EXPECT_EQ(image->width, 513);
  EXPECT_EQ(image->height, 288);
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{256, 144}, std::pair{500, 280}}) {
    const int source_x = std::min(x * 8 / 3, 1365);
    const int source_y = std::min(y * 8 / 3, 767);
    expect_colour_near(*image, x, y, {source_x * 255 / 1365, source_y * 255 / 767, 128}, 6);
  }
}

TEST(DecodeJpeg, AskingForMoreThanThePictureGivesFullSize) {
  const auto image = decode_jpeg(encode(quadrants()), 1000, 1000);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 64);
  EXPECT_EQ(image->height, 48);
}

TEST(DecodeJpeg, RefusesEmptyInput) {
  EXPECT_FALSE(decode_jpeg({}).has_value());
  EXPECT_FALSE(read_jpeg_size({}).has_value());
  const std::uint8_t one_byte[] = {0xFF};
  EXPECT_FALSE(decode_jpeg(one_byte).has_value());
}

TEST(DecodeJpeg, RefusesDataThatIsNoJpeg) {
  const std::uint8_t png_signature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
  EXPECT_FALSE(decode_jpeg(png_signature).has_value());
  const std::uint8_t start_then_noise[] = {0xFF, 0xD8, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
  EXPECT_FALSE(decode_jpeg(start_then_noise).has_value());
}

TEST(DecodeJpeg, RefusesEveryTruncation) {
  const Bytes jpeg = encode(quadrants());
  for (std::size_t length = 0; length < jpeg.size(); ++length) {
    const std::span<const std::uint8_t> prefix(jpeg.data(), length);
    ASSERT_FALSE(decode_jpeg(prefix).has_value()) << "cut at " << length << " of " << jpeg.size();
  }
}

TEST(DecodeJpeg, RefusesAHeaderWithoutImageData) {
  const Bytes jpeg = encode(quadrants());
  Bytes header_only(jpeg.begin(),
                    jpeg.begin() + static_cast<std::ptrdiff_t>(find_segment(jpeg, 0xDA)));
  header_only.insert(header_only.end(), {0xFF, 0xD9});
  EXPECT_FALSE(decode_jpeg(header_only).has_value());
}

TEST(DecodeJpeg, DamagedBytesGiveNothingOrAWholePicture) {
  const Bytes good = encode(quadrants());
  int refused = 0;
  for (std::size_t at = 0; at < good.size(); ++at) {
    for (const std::uint8_t value :
         {std::uint8_t{0x00}, std::uint8_t{0xFF}, static_cast<std::uint8_t>(good[at] ^ 0x55)}) {
      Bytes damaged = good;
      damaged[at] = value;
      const auto image = decode_jpeg(damaged);
      if (!image) {
        ++refused;
        continue;
      }
      SCOPED_TRACE(testing::Message() << "byte " << at << " set to " << int{value});
      expect_well_formed(*image);
      ASSERT_LE(image->width, densilo::core::kMaxJpegSide);
      ASSERT_LE(image->height, densilo::core::kMaxJpegSide);
    }
  }
  // Most damage is caught rather than decoded into noise.
  EXPECT_GT(refused, static_cast<int>(good.size()));
}

struct SizeCase {
  int width, height;
};

void PrintTo(const SizeCase& c, std::ostream* os) {
  *os << c.width << "x" << c.height;
}

class DecodeJpegAbsurdSize : public testing::TestWithParam<SizeCase> {};

TEST_P(DecodeJpegAbsurdSize, IsRefusedFromTheHeader) {
  Bytes jpeg = encode(quadrants());
  // The frame header: marker, length, precision, then height and width, big-endian.
  const std::size_t sof = find_segment(jpeg, 0xC0);
  const auto [width, height] = GetParam();
  jpeg[sof + 5] = static_cast<std::uint8_t>(height >> 8);
  jpeg[sof + 6] = static_cast<std::uint8_t>(height & 0xFF);
  jpeg[sof + 7] = static_cast<std::uint8_t>(width >> 8);
  jpeg[sof + 8] = static_cast<std::uint8_t>(width & 0xFF);
  EXPECT_FALSE(decode_jpeg(jpeg).has_value());
  EXPECT_FALSE(decode_jpeg(jpeg, 1, 1).has_value());
  EXPECT_FALSE(read_jpeg_size(jpeg).has_value());
}

INSTANTIATE_TEST_SUITE_P(Cases, DecodeJpegAbsurdSize,
                         testing::Values(SizeCase{65535, 65535}, SizeCase{16385, 8},
                                         SizeCase{8, 16385}, SizeCase{16384, 16384},
                                         SizeCase{16384, 2049}, SizeCase{0, 48}, SizeCase{64, 0}));

TEST(DecodeJpeg, SizeAtTheLimitIsReadFromTheHeader) {
  Bytes jpeg = encode(quadrants());
  const std::size_t sof = find_segment(jpeg, 0xC0);
  // 16384 x 2048 is exactly the pixel limit; the data is too short for it, so only the
  // header can succeed.
  jpeg[sof + 5] = 0x08;
  jpeg[sof + 6] = 0x00;
  jpeg[sof + 7] = 0x40;
  jpeg[sof + 8] = 0x00;
  const auto size = read_jpeg_size(jpeg);
  ASSERT_TRUE(size.has_value());
  EXPECT_EQ(size->width, 16384);
  EXPECT_EQ(size->height, 2048);
  EXPECT_FALSE(decode_jpeg(jpeg, 1, 1).has_value());
}

TEST(DecodeJpeg, RefusesPrinterColourSpaces) {
  for (const J_COLOR_SPACE file_space : {JCS_CMYK, JCS_YCCK}) {
    Encoding e;
    e.input_space = JCS_CMYK;
    e.input_components = 4;
    e.file_space = file_space;
    e.paint = [](int x, int, std::uint8_t* s) {
      s[0] = static_cast<std::uint8_t>(x);
      s[1] = 0;
      s[2] = 200;
      s[3] = 30;
    };
    const Bytes jpeg = encode(e);
    EXPECT_TRUE(read_jpeg_size(jpeg).has_value()) << file_space;
    EXPECT_FALSE(decode_jpeg(jpeg).has_value()) << file_space;
  }
}

}  // namespace
