// click.wav: 16-bit stereo PCM at 22,050 Hz with exactly 5,148 bytes of samples, a soft
// click that starts and ends on silence and carries no DC.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "asset_files.h"

namespace densilo::asset_test {
namespace {

constexpr std::size_t kFmt = 12;
constexpr std::size_t kData = kFmt + 8 + 16;
constexpr std::size_t kDataBytes = 5148;

class Click : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(f_.size(), kData + 8 + kDataBytes); }

  // Left and right samples of one frame.
  std::pair<int, int> frame(std::size_t i) const {
    const std::size_t at = kData + 8 + i * 4;
    return {static_cast<std::int16_t>(le16(f_, at)), static_cast<std::int16_t>(le16(f_, at + 2))};
  }
  static constexpr std::size_t kFrames = kDataBytes / 4;

  Bytes f_ = read_asset("click.wav");
};

TEST_F(Click, RiffHeaderAndPcmFormat) {
  EXPECT_EQ(tag(f_, 0, 4), "RIFF");
  EXPECT_EQ(le32(f_, 4), f_.size() - 8);
  EXPECT_EQ(tag(f_, 8, 4), "WAVE");
  EXPECT_EQ(tag(f_, kFmt, 4), "fmt ");
  EXPECT_EQ(le32(f_, kFmt + 4), 16u);
  const std::size_t fmt = kFmt + 8;
  EXPECT_EQ(le16(f_, fmt), 1u) << "PCM";
  EXPECT_EQ(le16(f_, fmt + 2), 2u) << "channels";
  EXPECT_EQ(le32(f_, fmt + 4), 22050u) << "sample rate";
  EXPECT_EQ(le32(f_, fmt + 8), 22050u * 4) << "byte rate";
  EXPECT_EQ(le16(f_, fmt + 12), 4u) << "block align";
  EXPECT_EQ(le16(f_, fmt + 14), 16u) << "bits per sample";
  EXPECT_EQ(tag(f_, kData, 4), "data");
  EXPECT_EQ(le32(f_, kData + 4), kDataBytes);
}

// A sample that jumps from or to anything but zero is heard as a pop at each play.
TEST_F(Click, StartsAndEndsOnExactSilence) {
  EXPECT_EQ(frame(0), std::pair(0, 0));
  EXPECT_EQ(frame(kFrames - 1), std::pair(0, 0));
}

TEST_F(Click, HasNoDcAndPeaksNearMinusTenDecibels) {
  long long sum = 0;
  int peak = 0;
  for (std::size_t i = 0; i < kFrames; ++i) {
    const auto [left, right] = frame(i);
    sum += left + right;
    peak = std::max({peak, std::abs(left), std::abs(right)});
  }
  const double mean = static_cast<double>(sum) / (2.0 * kFrames);
  EXPECT_LT(std::abs(mean), 8.0) << "DC offset in sample units";
  const double peak_db = 20.0 * std::log10(peak / 32768.0);
  EXPECT_GT(peak_db, -14.0) << "audible";
  EXPECT_LT(peak_db, -7.0) << "soft";
}

// A click is short: its second half holds under a thousandth of the energy (-30 dB).
TEST_F(Click, DiesAwayWithinTheFirstHalf) {
  double early = 0.0, late = 0.0;
  for (std::size_t i = 0; i < kFrames; ++i) {
    const double v = frame(i).first;
    (i < kFrames / 2 ? early : late) += v * v;
  }
  EXPECT_LT(late, early / 1000.0);
}

}  // namespace
}  // namespace densilo::asset_test
