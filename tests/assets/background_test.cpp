// background.jpg: a baseline JFIF at 96 dpi that libjpeg decodes to 1366 x 768 YCbCr, and
// a dark picture with a blue-to-cyan ring in its middle.

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "asset_files.h"

namespace densilo::asset_test {
namespace {

constexpr int kWidth = 1366;
constexpr int kHeight = 768;

struct Segment {
  std::uint8_t marker;
  std::size_t body;  // offset of the bytes after the length field
  std::size_t length;
};

// The marker segments before the first scan.
std::vector<Segment> header_segments(const Bytes& jpeg) {
  std::vector<Segment> out;
  std::size_t at = 2;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
    const std::uint8_t marker = jpeg[at + 1];
    const std::size_t length = be16(jpeg, at + 2);
    out.push_back({marker, at + 4, length < 2 ? 0 : length - 2});
    if (marker == 0xDA || length < 2)
      break;
    at += 2 + length;
  }
  return out;
}

bool is_frame_marker(std::uint8_t m) {
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

struct JpegError {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

struct Decoded {
  bool ok = false;
  int width = 0, height = 0, components = 0;
  J_COLOR_SPACE colour_space = JCS_UNKNOWN;
  bool progressive = true, arithmetic = true;
  std::vector<std::uint8_t> rgb;

  const std::uint8_t* at(int x, int y) const {
    return &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)) *
                3];
  }
};

// Everything that outlives a longjmp is in `out`, owned by the caller.
void decode(const Bytes& jpeg, Decoded& out) {
  jpeg_decompress_struct cinfo{};
  JpegError err{};
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = [](j_common_ptr c) {
    std::longjmp(reinterpret_cast<JpegError*>(c->err)->jump, 1);
  };
  if (setjmp(err.jump) != 0) {
    jpeg_destroy_decompress(&cinfo);
    out.ok = false;
    return;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&cinfo, TRUE);
  out.colour_space = cinfo.jpeg_color_space;
  out.progressive = cinfo.progressive_mode != 0;
  out.arithmetic = cinfo.arith_code != 0;
  out.components = cinfo.num_components;
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  out.width = static_cast<int>(cinfo.output_width);
  out.height = static_cast<int>(cinfo.output_height);
  out.rgb.resize(std::size_t{cinfo.output_width} * cinfo.output_height * 3);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out.rgb.data() + std::size_t{cinfo.output_scanline} * cinfo.output_width * 3;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  out.ok = true;
}

double luma(const std::uint8_t* p) {
  return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
}

class Background : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    file_ = new Bytes(read_asset("background.jpg"));
    picture_ = new Decoded;
    decode(*file_, *picture_);
  }
  static void TearDownTestSuite() {
    delete file_;
    delete picture_;
  }
  static Bytes* file_;
  static Decoded* picture_;
};
Bytes* Background::file_ = nullptr;
Decoded* Background::picture_ = nullptr;

TEST_F(Background, SizeIsNearFortyKilobytes) {
  EXPECT_GE(file_->size(), 30'000u);
  EXPECT_LE(file_->size(), 60'000u);
}

TEST_F(Background, StartsWithJfifHeaderAt96Dpi) {
  const Bytes& f = *file_;
  ASSERT_GE(f.size(), 20u);
  EXPECT_EQ(f[0], 0xFF);
  EXPECT_EQ(f[1], 0xD8);
  const auto segments = header_segments(f);
  ASSERT_FALSE(segments.empty());
  const Segment& app0 = segments.front();
  ASSERT_EQ(app0.marker, 0xE0) << "JFIF must be the first segment";
  ASSERT_GE(app0.length, 14u);
  EXPECT_EQ(tag(f, app0.body, 5), std::string("JFIF\0", 5));
  EXPECT_EQ(f[app0.body + 7], 1) << "density unit: dots per inch";
  EXPECT_EQ(be16(f, app0.body + 8), 96u);
  EXPECT_EQ(be16(f, app0.body + 10), 96u);
}

TEST_F(Background, OneBaselineFrameOf1366x768InThreeComponents) {
  const Bytes& f = *file_;
  std::vector<Segment> frames;
  for (const Segment& s : header_segments(f)) {
    if (is_frame_marker(s.marker))
      frames.push_back(s);
  }
  ASSERT_EQ(frames.size(), 1u);
  const Segment& sof = frames.front();
  EXPECT_EQ(sof.marker, 0xC0) << "baseline sequential Huffman only";
  EXPECT_EQ(f[sof.body], 8) << "sample precision";
  EXPECT_EQ(be16(f, sof.body + 1), static_cast<unsigned>(kHeight));
  EXPECT_EQ(be16(f, sof.body + 3), static_cast<unsigned>(kWidth));
  EXPECT_EQ(f[sof.body + 5], 3);
  EXPECT_EQ(f[f.size() - 2], 0xFF);
  EXPECT_EQ(f[f.size() - 1], 0xD9) << "ends with EOI";
}

TEST_F(Background, LibjpegDecodesItAsYCbCr) {
  const Decoded& p = *picture_;
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.width, kWidth);
  EXPECT_EQ(p.height, kHeight);
  EXPECT_EQ(p.components, 3);
  EXPECT_EQ(p.colour_space, JCS_YCbCr);
  EXPECT_FALSE(p.progressive);
  EXPECT_FALSE(p.arithmetic);
}

// Red labels, white-on-black boxes and a blue link sit on top: the field must stay dark,
// darker still towards the corners.
TEST_F(Background, IsDarkWithCornersDarkerThanTheMiddle) {
  const Decoded& p = *picture_;
  ASSERT_TRUE(p.ok);
  double total = 0.0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x)
      total += luma(p.at(x, y));
  }
  EXPECT_LT(total / (p.width * p.height), 40.0);

  auto block_mean = [&p](int x0, int y0) {
    double sum = 0.0;
    for (int y = y0; y < y0 + 16; ++y) {
      for (int x = x0; x < x0 + 16; ++x)
        sum += luma(p.at(x, y));
    }
    return sum / 256.0;
  };
  const double middle = block_mean(kWidth / 2 - 8, kHeight / 2 - 8);
  for (auto [x, y] :
       {std::pair{0, 0}, {kWidth - 16, 0}, {0, kHeight - 16}, {kWidth - 16, kHeight - 16}}) {
    EXPECT_LT(block_mean(x, y) + 5.0, middle) << "corner at " << x << "," << y;
  }
}

// Walks from the middle outwards along a diagonal and gives the brightest pixel met.
const std::uint8_t* brightest_on_ray(const Decoded& p, int dx, int dy) {
  const std::uint8_t* best = p.at(kWidth / 2, kHeight / 2);
  for (int i = 0; i < kHeight / 2 - 1; ++i) {
    const std::uint8_t* q = p.at(kWidth / 2 + dx * i, kHeight / 2 + dy * i);
    if (luma(q) > luma(best))
      best = q;
  }
  return best;
}

TEST_F(Background, RingShadesFromBlueToCyan) {
  const Decoded& p = *picture_;
  ASSERT_TRUE(p.ok);
  const std::uint8_t* upper_right = brightest_on_ray(p, 1, -1);
  const std::uint8_t* lower_left = brightest_on_ray(p, -1, 1);
  for (const std::uint8_t* ring : {upper_right, lower_left}) {
    EXPECT_GT(ring[2], 180) << "the ring is bright and blue-based";
    EXPECT_GT(ring[2], ring[0] + 100);
  }
  EXPECT_LT(upper_right[1] + 80, lower_left[1]) << "blue on one side, cyan on the other";
}

}  // namespace
}  // namespace densilo::asset_test
