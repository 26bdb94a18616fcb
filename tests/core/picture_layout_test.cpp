#include "ui/core/picture_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>

namespace {

using densilo::core::choose_dct_scale;
using densilo::core::PictureRect;
using densilo::core::place_picture;
using densilo::core::scaled_side;

constexpr int kPictureWidth = 1366;
constexpr int kPictureHeight = 768;

struct PlaceCase {
  const char* what;
  int client_width, client_height;
  PictureRect expected;
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
  *os << c.what;
}

class PlacePicture : public testing::TestWithParam<PlaceCase> {};

TEST_P(PlacePicture, CentresAndShrinksWithoutEnlarging) {
  const PlaceCase& c = GetParam();
  EXPECT_EQ(place_picture(c.client_width, c.client_height, kPictureWidth, kPictureHeight),
            c.expected)
      << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlacePicture,
    testing::Values(
        // The window's 374 x 236 outer size leaves about this much client area with classic
        // metrics: width is the tighter side, so a band remains below.
        PlaceCase{"classic client area", 368, 207, {0, 0, 368, 206}},
        PlaceCase{"taller client area: the band is split", 368, 209, {0, 1, 368, 206}},
        PlaceCase{"thicker frames make height the tighter side", 366, 204, {2, 0, 362, 204}},
        PlaceCase{"smaller still", 362, 199, {4, 0, 353, 199}},
        PlaceCase{"exactly the picture's size", 1366, 768, {0, 0, 1366, 768}},
        PlaceCase{"one pixel larger: odd margin truncates", 1367, 769, {0, 0, 1366, 768}},
        PlaceCase{"larger: centred, never enlarged", 1920, 1080, {277, 156, 1366, 768}},
        PlaceCase{"only the height too small", 1366, 700, {60, 0, 1245, 700}},
        PlaceCase{"only the width too small", 1000, 768, {0, 103, 1000, 562}},
        PlaceCase{"height too small, width to spare", 2000, 500, {555, 0, 889, 500}},
        PlaceCase{"half size on both sides", 683, 384, {0, 0, 683, 384}},
        PlaceCase{"one pixel of client area", 1, 1, {0, 0, 1, 0}},
        PlaceCase{"no client area", 0, 0, {0, 0, 0, 0}},
        PlaceCase{"negative client size counts as none", -5, -5, {0, 0, 0, 0}}));

TEST(PlacePicture, PictureWithoutPixelsGivesAnEmptyRectangle) {
  EXPECT_EQ(place_picture(368, 207, 0, 768), PictureRect{});
  EXPECT_EQ(place_picture(368, 207, 1366, 0), PictureRect{});
  EXPECT_EQ(place_picture(368, 207, -1, -1), PictureRect{});
}

TEST(PlacePicture, StaysInsideFillsOneSideAndKeepsTheAspectRatio) {
  for (const auto& [pw, ph] :
       {std::pair{1366, 768}, std::pair{768, 1366}, std::pair{3, 1000}, std::pair{641, 479}}) {
    for (int cw = 1; cw <= 1500; cw += 7) {
      for (int ch = 1; ch <= 1500; ch += 11) {
        const PictureRect r = place_picture(cw, ch, pw, ph);
        SCOPED_TRACE(testing::Message() << pw << "x" << ph << " in " << cw << "x" << ch);
        ASSERT_LE(r.width, pw);
        ASSERT_LE(r.height, ph);
        ASSERT_GE(r.x, 0);
        ASSERT_GE(r.y, 0);
        ASSERT_LE(r.x + r.width, cw);
        ASSERT_LE(r.y + r.height, ch);
        // Centred: the gaps on either side differ by at most the two truncated halvings.
        ASSERT_LE(std::abs((cw - r.x - r.width) - r.x), 2);
        ASSERT_LE(std::abs((ch - r.y - r.height) - r.y), 2);
        if (pw > cw || ph > ch) {
          // Shrunk until the tighter side fits: that side is filled up to the truncation.
          ASSERT_TRUE(r.width >= std::min(cw, pw) - 1 || r.height >= std::min(ch, ph) - 1);
          // Same ratio as the picture, up to a pixel of truncation on each side.
          ASSERT_LE(std::abs(static_cast<long long>(r.width) * ph -
                             static_cast<long long>(r.height) * pw),
                    static_cast<long long>(pw) + ph);
        }
      }
    }
  }
}

struct ScaleCase {
  const char* what;
  int picture_width, picture_height, min_width, min_height;
  int expected_scale;
};

void PrintTo(const ScaleCase& c, std::ostream* os) {
  *os << c.what;
}

class ChooseDctScale : public testing::TestWithParam<ScaleCase> {};

TEST_P(ChooseDctScale, PicksTheSmallestScaleThatIsLargeEnough) {
  const ScaleCase& c = GetParam();
  EXPECT_EQ(choose_dct_scale(c.picture_width, c.picture_height, c.min_width, c.min_height),
            c.expected_scale)
      << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseDctScale,
    testing::Values(
        // 2/8 gives 342 x 192, too small for the classic window; 3/8 gives 513 x 288.
        ScaleCase{"the window's drawn size", 1366, 768, 368, 206, 3},
        ScaleCase{"exactly half", 1366, 768, 683, 384, 4},
        ScaleCase{"one pixel over half", 1366, 768, 684, 384, 5},
        ScaleCase{"the height decides", 1366, 768, 10, 385, 5},
        ScaleCase{"full size", 1366, 768, 1366, 768, 8},
        ScaleCase{"more than full size is still full size", 1366, 768, 4000, 4000, 8},
        ScaleCase{"nothing asked", 1366, 768, 0, 0, 1},
        ScaleCase{"an eighth, rounded up", 1366, 768, 171, 96, 1},
        ScaleCase{"just over an eighth", 1366, 768, 172, 96, 2},
        ScaleCase{"tiny picture rounds up to a pixel", 9, 9, 2, 2, 1},
        ScaleCase{"tiny picture at three pixels", 9, 9, 3, 3, 2}));

TEST(ScaledSide, RoundsUpAndDoesNotOverflow) {
  EXPECT_EQ(scaled_side(1366, 3), 513);
  EXPECT_EQ(scaled_side(1, 1), 1);
  EXPECT_EQ(scaled_side(0, 5), 0);
  EXPECT_EQ(scaled_side(1 << 28, 16), 1 << 29);
  EXPECT_EQ(scaled_side(2000000000, 16), 2147483647);
}

TEST(ChooseDctScale, ResultIsLargeEnoughAndOneStepLessIsNot) {
  for (int side = 1; side <= 2000; side += 13) {
    for (int wanted = 0; wanted <= side; wanted += 5) {
      const int scale = choose_dct_scale(side, side, wanted, 0);
      ASSERT_GE(scaled_side(side, scale), wanted) << side << " " << wanted;
      if (scale > 1) {
        ASSERT_LT(scaled_side(side, scale - 1), wanted) << side << " " << wanted;
      }
    }
  }
}

}  // namespace
