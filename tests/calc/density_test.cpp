#include "calc/density.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "float_bits.h"

namespace densilo::calc {
namespace {

using testing::from_bits;
using testing::same_bits;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kPositiveNaN = from_bits(0x7FF8000000000000);
const double kPayloadNaN = from_bits(0xFFF8000000000001);
const double kSignalingNaN = from_bits(0x7FF0000000000001);

TEST(DefaultNaN, HasTheBitsOfTheX86InvalidResult) {
  EXPECT_EQ(testing::bits_of(kDefaultNaN), 0xFFF8000000000000u);
}

struct TruncateCase {
  double value;
  std::int32_t expected;
};

void PrintTo(const TruncateCase& c, std::ostream* os) {
  *os << testing::describe(c.value);
}

const std::vector<TruncateCase> kTruncations = {
    {1920.9, 1920},
    {-1920.9, -1920},
    {-0.5, 0},
    {4294967296.0, 0},
    {4294967297.5, 1},
    {3000000000.0, -1294967296},
    {2147483648.0, -2147483647 - 1},
    {-2147483649.0, 2147483647},
    {1e20, 0},  // beyond 2^63: the integer indefinite, whose low half is 0
    {-1e20, 0},
    {9223372036854774784.0, -1024},  // the largest double below 2^63: 0x7FFFFFFFFFFFFC00
    {9223372036854775808.0, 0},      // 2^63 itself is out of range
    {-9223372036854775808.0, 0},     // -2^63 is in range and is the same bit pattern
    {-9223372036854777856.0, 0},
    {kInf, 0},
    {-kInf, 0},
    {kDefaultNaN, 0},
    {kPositiveNaN, 0},
};

class Truncate : public ::testing::TestWithParam<TruncateCase> {};

TEST_P(Truncate, KeepsTheLowHalfOfThe64BitTruncation) {
  EXPECT_EQ(truncate_to_int32(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, Truncate, ::testing::ValuesIn(kTruncations));

struct UnaryCase {
  double argument;
  double expected;
};

void PrintTo(const UnaryCase& c, std::ostream* os) {
  *os << testing::describe(c.argument);
}

const std::vector<UnaryCase> kSquares = {
    {3.0, 9.0},
    {-3.0, 9.0},
    {0.0, 0.0},
    {-0.0, 0.0},  // +0, not -0
    {kInf, kInf},
    {-kInf, kInf},
    {1.3407807929942596e154, 1.7976931348623155e308},
    {1.3407807929942597e154, kInf},  // the square passes the largest double
    {-1e200, kInf},
    {1e-160, 1e-320},  // a subnormal square
    {1e-200, 0.0},
    {-1e-200, 0.0},
    {kDefaultNaN, kDefaultNaN},
    {kPositiveNaN, kPositiveNaN},
    {kPayloadNaN, kPayloadNaN},
};

class Square : public ::testing::TestWithParam<UnaryCase> {};

TEST_P(Square, KeepsTheSpecialValues) {
  EXPECT_TRUE(same_bits(power(GetParam().argument, 2.0), GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Table, Square, ::testing::ValuesIn(kSquares));

TEST(Square, IsWithinOneUnitOfTheCorrectlyRoundedSquare) {
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> exponent(-520.0, 505.0);  // squares stay finite
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  for (int i = 0; i < 100000; ++i) {
    const double x = mantissa(rng) * std::pow(2.0, std::floor(exponent(rng)));
    const double exact = x * x;  // one correct rounding
    const double square = power(x, 2.0);
    ASSERT_LE(std::fabs(square - exact), std::fabs(std::nextafter(exact, kInf) - exact)) << x;
  }
}

TEST(Power, ANaNExponentPassesThrough) {
  EXPECT_TRUE(same_bits(power(2.0, kPayloadNaN), kPayloadNaN));
  EXPECT_TRUE(same_bits(power(kPositiveNaN, kPayloadNaN), kPositiveNaN));
}

const std::vector<UnaryCase> kSquareRoots = {
    {4.0, 2.0},
    {2.0, 1.4142135623730951},
    {0.0, 0.0},
    {-0.0, -0.0},
    {kInf, kInf},
    {-1.0, kDefaultNaN},
    {-kInf, kDefaultNaN},
    {-1e-320, kDefaultNaN},
    {1e-320, 9.99994433575849e-161},
    {kPositiveNaN, kPositiveNaN},
    {kPayloadNaN, kPayloadNaN},
    {kSignalingNaN, kSignalingNaN},
};

class SquareRoot : public ::testing::TestWithParam<UnaryCase> {};

TEST_P(SquareRoot, KeepsTheSpecialValues) {
  EXPECT_TRUE(same_bits(square_root(GetParam().argument), GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Table, SquareRoot, ::testing::ValuesIn(kSquareRoots));

struct DensityCase {
  std::int32_t width;
  std::int32_t height;
  double diagonal;
  double expected;
};

void PrintTo(const DensityCase& c, std::ostream* os) {
  *os << c.width << " x " << c.height << " at " << testing::describe(c.diagonal);
}

const std::vector<DensityCase> kSpecialDensities = {
    {1920, 0, 23.8, kDefaultNaN},  // the height in inches is 0 or NaN: 0/0
    {0, 0, 0.0, kDefaultNaN},
    {0, 0, 23.8, kDefaultNaN},
    {-1920, 0, kInf, kDefaultNaN},
    {1920, 0, 0.0, kDefaultNaN},
    {1920, 1080, 0.0, kInf},
    {1920, -1080, 0.0, -kInf},
    {1920, 1080, -0.0, kInf},
    {1920, 1080, 1e-200, kInf},  // the diagonal's square underflows to 0
    {1920, -1080, 1e-200, -kInf},
    {1920, 1080, kInf, 0.0},
    {1920, -1080, kInf, -0.0},
    {1920, 1080, -kInf, 0.0},
    {1920, 1080, 1e200, 0.0},  // the diagonal's square overflows
    {1920, -1080, 1e200, -0.0},
    {1920, 1080, kPayloadNaN, kPayloadNaN},
    {1920, 1080, kPositiveNaN, kPositiveNaN},
    {0, 1080, kPositiveNaN, kPositiveNaN},
};

class SpecialDensity : public ::testing::TestWithParam<DensityCase> {};

TEST_P(SpecialDensity, ComesOutOfTheSevenSteps) {
  const auto& c = GetParam();
  EXPECT_TRUE(same_bits(compute_ppi(c.width, c.height, c.diagonal), c.expected));
}

INSTANTIATE_TEST_SUITE_P(Table, SpecialDensity, ::testing::ValuesIn(kSpecialDensities));

// Densities where rounding each step from a 64-bit significand gives other bits than plain
// double arithmetic would, worked out independently with exact rational arithmetic. A build
// whose long double steps silently run in double precision fails these.
const std::vector<DensityCase> kExtendedPrecisionDensities = {
    {1920, 1080, 0x1.7cccccccccccdp+4, 0x1.723c8b35b7b1bp+6},
    {-1294967296, 1080, 0x1.7cccccccccccdp+4, 0x1.9f1e4b4b4bea0p+25},
    {1691, 2656, 0x1.3a66666666666p+5, 0x1.40786a900ed80p+6},
    {7964, 6103, 0x1.2000000000000p+3, 0x1.16b59c57cc086p+10},
    {7978, 5658, 0x1.a666666666666p+2, 0x1.727ad4ffce23cp+10},
    {213, 7801, 0x1.8e66666666666p+6, 0x1.3968f16df39a9p+6},
    {7387, 1913, 0x1.be66666666666p+4, 0x1.11804fd138faep+8},
    {3796, 1771, 0x1.3c66666666666p+6, 0x1.a7a56a8fdb1d9p+5},
    {7298, 6720, 0x1.6f33333333333p+6, 0x1.b045aa31634a7p+6},
    {7959, 3940, 0x1.5466666666666p+6, 0x1.a16e4177e8fd0p+6},
};

class ExtendedPrecisionDensity : public ::testing::TestWithParam<DensityCase> {};

TEST_P(ExtendedPrecisionDensity, MatchesTheStepwiseReference) {
  const auto& c = GetParam();
  EXPECT_TRUE(same_bits(compute_ppi(c.width, c.height, c.diagonal), c.expected));
}

INSTANTIATE_TEST_SUITE_P(Table, ExtendedPrecisionDensity,
                         ::testing::ValuesIn(kExtendedPrecisionDensities));

TEST(ComputePpi, SignsFollowTheHeightOnly) {
  std::mt19937_64 rng(3);
  std::uniform_int_distribution<std::int32_t> pixels(1, 20000);
  std::uniform_real_distribution<double> inches(0.5, 120.0);
  for (int i = 0; i < 10000; ++i) {
    const std::int32_t w = pixels(rng);
    const std::int32_t h = pixels(rng);
    const double d = inches(rng);
    const double density = compute_ppi(w, h, d);
    ASSERT_TRUE(same_bits(compute_ppi(-w, h, d), density));
    ASSERT_TRUE(same_bits(compute_ppi(w, h, -d), density));
    ASSERT_TRUE(same_bits(compute_ppi(w, -h, d), -density));
    // Close to the closed formula, which the steps must not be replaced by.
    ASSERT_NEAR(density, std::hypot(w, h) / d, density * 1e-14);
  }
}

}  // namespace
}  // namespace densilo::calc
