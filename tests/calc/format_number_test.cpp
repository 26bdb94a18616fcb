#include "calc/format_number.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "calc/read_number.h"
#include "float_bits.h"

namespace densilo::calc {
namespace {

using testing::from_bits;

constexpr double kInf = std::numeric_limits<double>::infinity();

struct FormatCase {
  double value;
  std::optional<std::int32_t> decimals;
  bool group;
  std::string expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << testing::describe(c.value) << " decimals "
      << (c.decimals ? std::to_string(*c.decimals) : "none") << (c.group ? " grouped" : "");
}

// One decimal, no grouping: every text the result box can show.
const std::vector<FormatCase> kDensityTexts = {
    {91.7877, 1, false, "91.8"},
    {100.0, 1, false, "100.0"},
    {0.0, 1, false, "0.0"},
    {-0.0, 1, false, "0.0"},
    {0.04, 1, false, "0.0"},
    {0.05, 1, false, "0.1"},
    {0.15, 1, false, "0.2"},
    {2.45, 1, false, "2.5"},
    {2.5, 1, false, "2.5"},
    {9.95, 1, false, "10.0"},
    {99.95, 1, false, "100.0"},
    {0.04999999999995, 1, false, "0.1"},  // the bias lifts it to one half
    {0.0499999999998, 1, false, "0.0"},
    {-91.7877, 1, false, "-91.8"},
    {-0.05, 1, false, "-0.1"},
    {-0.04, 1, false, "0.0"},  // negative zero shows no sign
    {123456789012.34, 1, false, "123456789012.3"},
    {999999999999.95, 1, false, "1000000000000.0"},
    {1234567890123.45, 1, false, "1234567890124.0"},
    {9999999999999.4, 1, false, "9999999999999.0"},
    {9999999999999.95, 1, false, "1e+013.0"},
    {1e13, 1, false, "1e+013.0"},
    {1.5e13, 1, false, "1.5e+013"},
    {1e20, 1, false, "1e+020.0"},
    {1.2345e20, 1, false, "1.2345e+020"},
    {1.7e307, 1, false, "1.7e+307"},
    {1.8e307, 1, false, "1.#INF"},  // the scaling by 10 overflows
    {kInf, 1, false, "1.#INF"},
    {-kInf, 1, false, "-1.#INF"},
    {from_bits(0xFFF8000000000000), 1, false, "-1.#IND"},
    {from_bits(0x7FF8000000000000), 1, false, "1.#QNAN"},
    {from_bits(0xFFF8000000000001), 1, false, "-1.#QNAN"},
    {from_bits(0x7FF0000000000001), 1, false, "1.#QNAN"},
    {from_bits(0xFFFFFFFFFFFFFFFF), 1, false, "-1.#QNAN"},
    {92.559, 1, false, "92.6"},
    {54410390.6, 1, false, "54410390.6"},
    {1.797693134862315e307, 1, false, "1.797693134862e+307"},
    {1.797693134862316e307, 1, false, "1.#INF"},
};

// Other counts of decimals, no count at all, and grouping.
const std::vector<FormatCase> kOtherTexts = {
    {2.5, 0, false, "3"},
    {-2.5, 0, false, "-3"},
    {1250.0, -2, false, "1300"},
    {1234.5, -2, false, "1200"},
    {0.05, std::nullopt, false, "0.05"},
    {1e-5, std::nullopt, false, "1e-005"},
    {1.0 / 3.0, std::nullopt, false, "0.3333333333333"},
    {2.0 / 3.0, std::nullopt, false, "0.6666666666667"},
    {-0.0, std::nullopt, false, "0"},
    {999999999999.95, 2, false, "999999999999.90"},
    {1.5e13, 8, false, "1.5e+01300"},  // the exponent counts as decimals
    {kInf, 6, false, "1.#INF00"},
    {1e13, 3, false, "1e+013.000"},
    {1234567.25, std::nullopt, true, "1,234,567.25"},
    {-1234.0, 0, true, "-1,234"},
    {123.0, 1, true, "123.0"},
    {1234.5, 3, true, "1,234.500"},
    {1e13, 1, true, "1e+013.0"},
    {-kInf, 1, true, "-1.#INF"},
    {1234567890123.0, std::nullopt, true, "1,234,567,890,123"},
};

class DensityText : public ::testing::TestWithParam<FormatCase> {};
class OtherText : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DensityText, IsExact) {
  const auto& c = GetParam();
  EXPECT_EQ(format_number(c.value, c.decimals, c.group), c.expected);
}

TEST_P(OtherText, IsExact) {
  const auto& c = GetParam();
  EXPECT_EQ(format_number(c.value, c.decimals, c.group), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, DensityText, ::testing::ValuesIn(kDensityTexts));
INSTANTIATE_TEST_SUITE_P(Table, OtherText, ::testing::ValuesIn(kOtherTexts));

struct SignificantCase {
  double value;
  std::string expected;
};

void PrintTo(const SignificantCase& c, std::ostream* os) {
  *os << testing::describe(c.value);
}

const std::vector<SignificantCase> kSignificantTexts = {
    {1234567890122.5, "1234567890123"},  // a tie at the 14th digit goes up
    // Its 17 digits are 46144785096125000: the 17-digit step makes the tie.
    {4.6144785096125e-8, "4.614478509613e-008"},
    {0.1, "0.1"},
    {91.8, "91.8"},
    {1e-4, "0.0001"},
    {0.00012345, "0.00012345"},
    {1e-5, "1e-005"},
    {9.99999999999996e-5, "0.0001"},  // the carry moves it into the fixed form
    {9999999999999.5, "1e+013"},      // and out of it
    {123456789012345.0, "1.234567890123e+014"},
    {1e100, "1e+100"},
    {-2.5e-300, "-2.5e-300"},
    {std::numeric_limits<double>::max(), "1.797693134862e+308"},
    {std::numeric_limits<double>::min(), "2.225073858507e-308"},
    {std::numeric_limits<double>::denorm_min(), "4.940656458412e-324"},
    {0.0, "0"},
    {-0.0, "0"},
    {9007199254740993.0, "9.007199254741e+015"},
};

class SignificantText : public ::testing::TestWithParam<SignificantCase> {};

TEST_P(SignificantText, IsExact) {
  EXPECT_EQ(significant_text(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SignificantText, ::testing::ValuesIn(kSignificantTexts));

TEST(FormatNumber, UnusedDecimalCountsStayInTheWorkingArea) {
  const std::vector<double> values = {0.0,
                                      -0.0,
                                      1.5,
                                      -2.5e-300,
                                      1e300,
                                      -1.7e308,
                                      4.9e-324,
                                      kInf,
                                      -kInf,
                                      from_bits(0xFFF8000000000000),
                                      from_bits(0x7FF8000000000000),
                                      1234567.891};
  const std::vector<std::int32_t> counts = {std::numeric_limits<std::int32_t>::min(),
                                            -400,
                                            -309,
                                            -308,
                                            -307,
                                            307,
                                            308,
                                            309,
                                            200,
                                            198,
                                            1000,
                                            std::numeric_limits<std::int32_t>::max()};
  for (const double value : values) {
    for (const std::int32_t count : counts) {
      for (const bool group : {false, true}) {
        const std::string text = format_number(value, count, group);
        ASSERT_FALSE(text.empty()) << value << ' ' << count;
        ASSERT_LE(text.size(), kMaxFormattedLength) << value << ' ' << count;
        ASSERT_EQ(text.find_first_not_of("0123456789-+.e#INFDQA,"), std::string::npos) << text;
      }
    }
  }
  // The fill stops at the edge of the working area and not before.
  EXPECT_EQ(format_number(1.5, 1000, false), "1.5" + std::string(196, '0'));
  EXPECT_EQ(format_number(1234.5, 1000, true), "1,234.5" + std::string(192, '0'));
}

// ---- Digits: the fast path against the exact decimal expansion ----

// The exact decimal expansion of a positive double: its significant digits and the decimal
// exponent of the first. 766 decimals after the first digit hold every double exactly.
std::string exact_digits(double value, int& exponent) {
  std::string text(1000, '\0');
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value,
                                 std::chars_format::scientific, 766)
                       .ptr;
  text.resize(static_cast<std::size_t>(end - text.data()));
  const auto e = text.find('e');
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exponent);
  return text.substr(0, 1) + text.substr(2, e - 2);
}

TEST(ExactDigits, SevenHundredSixtySevenDigitsHoldEveryDouble) {
  // The longest expansion of all belongs to the largest subnormal's neighbour; asked for
  // more digits, to_chars must only add zeros.
  for (const double value : {from_bits(0x001FFFFFFFFFFFFF), from_bits(0x000FFFFFFFFFFFFF),
                             std::numeric_limits<double>::denorm_min()}) {
    std::string text(1000, '\0');
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value,
                                   std::chars_format::scientific, 900)
                         .ptr;
    text.resize(static_cast<std::size_t>(end - text.data()));
    const std::string beyond = text.substr(2 + 766, 900 - 766);
    EXPECT_EQ(beyond.find_first_not_of('0'), std::string::npos) << text;
  }
}

// Keeps `kept` digits, adding one to the last when the next is 5 or more.
void round_digits(std::string& digits, std::size_t kept, int& exponent) {
  const bool up = digits[kept] >= '5';
  digits.resize(kept);
  if (!up) {
    return;
  }
  for (std::size_t i = kept; i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(0, 1, '1');
  digits.pop_back();
  ++exponent;
}

// The text significant_text must give, built from the exact digits by the book: cut at 18,
// rounded to 17, rounded to 13, then laid out by the decimal exponent.
std::string reference_text(std::string digits, int exponent, bool negative) {
  digits.resize(18, '0');
  round_digits(digits, 17, exponent);
  round_digits(digits, 13, exponent);
  std::string text = negative ? "-" : "";
  auto fraction = [](std::string f) {
    f.erase(f.find_last_not_of('0') + 1);
    return f.empty() ? f : "." + f;
  };
  if (exponent < -4 || exponent >= 13) {
    char e[16];
    std::snprintf(e, sizeof e, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return text + digits[0] + fraction(digits.substr(1)) + e;
  }
  if (exponent >= 0) {
    const auto n = static_cast<std::size_t>(exponent) + 1;
    return text + digits.substr(0, n) + fraction(digits.substr(n));
  }
  return text + "0" + fraction(std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits);
}

TEST(SignificantText, MatchesTheExactExpansionForRandomDoubles) {
  std::mt19937_64 rng(1234);
  for (int i = 0; i < 50000; ++i) {
    double x = from_bits(rng());
    if (i % 2 == 0) {  // typical magnitudes as often as the whole range
      x = std::uniform_real_distribution<double>(-1e6, 1e6)(rng);
    }
    if (!std::isfinite(x) || x == 0.0) {
      continue;
    }
    int exponent = 0;
    const std::string digits = exact_digits(std::fabs(x), exponent);
    ASSERT_EQ(significant_text(x), reference_text(digits, exponent, x < 0)) << testing::describe(x);
  }
}

TEST(SignificantText, ShortExactExpansions) {
  // Values whose whole expansion fits in a few digits, where the digits after the 18th are
  // zeros and not the remains of a carry.
  std::mt19937_64 rng(99);
  for (int i = 0; i < 20000; ++i) {
    const auto integer =
        static_cast<double>(rng() >> std::uniform_int_distribution<int>(11, 63)(rng));
    const double x = std::ldexp(integer, std::uniform_int_distribution<int>(-30, 60)(rng));
    if (x == 0.0) {
      continue;
    }
    int exponent = 0;
    const std::string digits = exact_digits(x, exponent);
    ASSERT_EQ(significant_text(x), reference_text(digits, exponent, false)) << testing::describe(x);
  }
}

__extension__ typedef unsigned __int128 Uint128;

std::string decimal(Uint128 n) {
  std::string s;
  do {
    s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(n % 10)));
    n /= 10;
  } while (n != 0);
  return s;
}

Uint128 power_of(Uint128 base, int exponent) {
  Uint128 result = 1;
  for (int i = 0; i < exponent; ++i) {
    result *= base;
  }
  return result;
}

// Doubles of 35 digits whose exact digits 14 to 25 read 4999 4 9999999 and whose 26th is 5
// or more. Rounded to 25 digits their 18th digit turns from 4 into 5, which after the 17-
// and 13-digit steps moves the 13th digit: a fast path that trusted rounded digits here
// would print the wrong number.
std::vector<double> carry_traps() {
  constexpr int kDigits = 35;
  constexpr int kTail = kDigits - 13;  // x mod 10^22 decides digits 14 to 35
  const Uint128 tail_modulus = power_of(10, kTail);
  const Uint128 low =
      Uint128{499949999999} * power_of(10, kTail - 12) + 5 * power_of(10, kTail - 13);
  const Uint128 high = Uint128{499950000000} * power_of(10, kTail - 12);
  const Uint128 two_part = Uint128{1} << kTail;
  const Uint128 five_part = power_of(5, kTail);
  const Uint128 half = (five_part + 1) / 2;  // the inverse of 2 modulo 5^22
  std::vector<double> traps;
  for (int e = 61; e <= 63; ++e) {
    Uint128 inverse = 1;
    for (int i = 0; i < e - kTail; ++i) {
      inverse = inverse * half % five_part;
    }
    // x = M * 2^e, so x mod 10^22 = 2^22 * (M * 2^(e-22) mod 5^22): pick that residue in
    // the window and solve for M.
    for (Uint128 y = (low + two_part - 1) / two_part; y * two_part < high; y += 97) {
      const Uint128 m0 = y % five_part * inverse % five_part;
      for (Uint128 m = m0; m < (Uint128{1} << 53); m += five_part) {
        if (m < (Uint128{1} << 52)) {
          continue;
        }
        const Uint128 x = m << e;
        if (x < power_of(10, kDigits - 1) || x >= power_of(10, kDigits)) {
          continue;
        }
        const std::string digits = decimal(x);
        if (digits.substr(13, 12) == "499949999999" && digits[25] >= '5' &&
            x % tail_modulus >= low) {
          traps.push_back(std::ldexp(static_cast<double>(static_cast<std::uint64_t>(m)), e));
        }
      }
    }
  }
  return traps;
}

TEST(SignificantText, CutsTheExactDigitsWhereRoundingWouldCarry) {
  const std::vector<double> traps = carry_traps();
  ASSERT_FALSE(traps.empty());
  for (const double x : traps) {
    int exponent = 0;
    const std::string digits = exact_digits(x, exponent);
    ASSERT_EQ(digits.substr(13, 12), "499949999999");
    const std::string expected = reference_text(digits, exponent, false);
    // The trap is real: digits rounded at the 25th would give another text.
    std::string rounded = digits;
    int rounded_exponent = exponent;
    round_digits(rounded, 25, rounded_exponent);
    ASSERT_NE(reference_text(rounded, rounded_exponent, false), expected);
    EXPECT_EQ(significant_text(x), expected) << testing::describe(x);
    EXPECT_EQ(significant_text(-x), "-" + expected);
  }
}

TEST(SignificantText, ReadsBackAsTheNearestDoubleToItsDigits) {
  // What a user copies out of the result box reads back as the 13-digit value shown.
  std::mt19937_64 rng(77);
  for (int i = 0; i < 50000; ++i) {
    const double x = from_bits(rng());
    if (!std::isfinite(x) || x == 0.0) {
      continue;
    }
    int exponent = 0;
    std::string digits = exact_digits(std::fabs(x), exponent);
    digits.resize(18, '0');
    round_digits(digits, 17, exponent);
    round_digits(digits, 13, exponent);
    const std::string scientific = (x < 0 ? "-" : "") + digits.substr(0, 1) + "." +
                                   digits.substr(1) + "e" + std::to_string(exponent);
    double expected = 0.0;
    std::from_chars(scientific.data(), scientific.data() + scientific.size(), expected);
    ASSERT_TRUE(testing::same_bits(scan_number(significant_text(x)), expected)) << scientific;
  }
}

TEST(RoundToDecimals, ZerosAndNaNsComeBackUnchanged) {
  for (const std::int32_t decimals : {-400, -3, 0, 1, 5, 400}) {
    EXPECT_TRUE(testing::same_bits(round_to_decimals(-0.0, decimals), -0.0));
    EXPECT_TRUE(testing::same_bits(round_to_decimals(0.0, decimals), 0.0));
    const double nan = from_bits(0x7FF8000000000123);
    EXPECT_TRUE(testing::same_bits(round_to_decimals(nan, decimals), nan));
    EXPECT_TRUE(testing::same_bits(round_to_decimals(-kInf, decimals), -kInf));
  }
  EXPECT_TRUE(testing::same_bits(round_to_decimals(-0.04, 1), -0.0));
  EXPECT_TRUE(testing::same_bits(round_to_decimals(-0.04, -400), -0.0));
}

}  // namespace
}  // namespace densilo::calc
