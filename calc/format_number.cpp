#include "calc/format_number.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "calc/density.h"

namespace densilo::calc {
namespace {

constexpr double kRoundingBias = 1e-12;
constexpr double kRoundingThreshold = 0.5;
constexpr int kShownDigits = 13;
constexpr int kFirstDigits = 17;
constexpr int kCutDigits = kFirstDigits + 1;

// Beyond 10^308 a power of ten is no longer a finite double.
constexpr std::int32_t kMaxDecimalCount = 308;

constexpr std::array<double, 23> kExactPowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The double nearest to 10^exponent, 0 <= exponent <= kMaxDecimalCount.
double power_of_ten(std::int32_t exponent) {
  if (exponent < static_cast<std::int32_t>(kExactPowersOfTen.size())) {
    return kExactPowersOfTen[static_cast<std::size_t>(exponent)];
  }
  char text[8] = "1e";
  const auto end = std::to_chars(text + 2, text + sizeof text, exponent).ptr;
  double value = 0.0;
  std::from_chars(text, end, value);
  return value;
}

// Significant digits of a positive finite double, most significant first, and the decimal
// exponent of the first one.
struct Digits {
  std::array<char, kCutDigits> digits{};
  int exponent = 0;
};

// Digits after the first that make to_chars exact for every double: no double's exact
// decimal expansion has more than 767 significant digits (the most belong to values just
// below twice the smallest normal number).
constexpr int kExactPrecision = 766;

// Reads "d.ddd...e±x" as written by to_chars in scientific form.
void read_scientific(std::string_view text, std::size_t wanted, char* digits, int& exponent) {
  digits[0] = text[0];
  std::memcpy(digits + 1, text.data() + 2, wanted - 1);
  const auto e = text.find('e');
  const bool negative = text[e + 1] == '-';
  int magnitude = 0;
  std::from_chars(text.data() + e + 2, text.data() + text.size(), magnitude);
  exponent = negative ? -magnitude : magnitude;
}

// The first kCutDigits digits of the exact decimal expansion, cut off, not rounded.
//
// Fast path: to_chars rounds correctly to 25 digits. Rounding can only change the first 18
// digits by a carry that runs through digits 19 to 25 and leaves them all 0, so whenever one
// of those is not 0 the first 18 digits are those of the exact value. Otherwise (values with
// a short exact expansion such as 2.5, or a run of nines) the exact expansion decides.
Digits cut_digits(double magnitude) {
  constexpr int kCheckedDigits = 25;
  Digits result;
  std::array<char, kCheckedDigits + 16> text{};
  const auto written = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                     std::chars_format::scientific, kCheckedDigits - 1);
  std::array<char, kCheckedDigits> checked{};
  read_scientific(
      std::string_view(text.data(), static_cast<std::size_t>(written.ptr - text.data())),
      checked.size(), checked.data(), result.exponent);
  const bool carry_possible =
      std::all_of(checked.begin() + kCutDigits, checked.end(), [](char c) { return c == '0'; });
  if (!carry_possible) {
    std::copy_n(checked.begin(), kCutDigits, result.digits.begin());
    return result;
  }
  std::array<char, kExactPrecision + 16> exact{};
  const auto exact_end = std::to_chars(exact.data(), exact.data() + exact.size(), magnitude,
                                       std::chars_format::scientific, kExactPrecision);
  read_scientific(
      std::string_view(exact.data(), static_cast<std::size_t>(exact_end.ptr - exact.data())),
      result.digits.size(), result.digits.data(), result.exponent);
  return result;
}

// Keeps the first `kept` digits, adding one to the last of them when the next is 5 or more.
// A carry out of the first digit leaves 1 followed by zeros, one decade higher.
void round_half_up(Digits& d, int kept) {
  const auto k = static_cast<std::size_t>(kept);
  if (d.digits[k] < '5') {
    return;
  }
  std::size_t i = k;
  while (i > 0 && d.digits[i - 1] == '9') {
    d.digits[i - 1] = '0';
    --i;
  }
  if (i == 0) {
    d.digits[0] = '1';
    ++d.exponent;
  } else {
    ++d.digits[i - 1];
  }
}

std::string special_text(double value) {
  if (std::isinf(value)) {
    return value > 0 ? "1.#INF" : "-1.#INF";
  }
  if (std::bit_cast<std::uint64_t>(value) == std::bit_cast<std::uint64_t>(kDefaultNaN)) {
    return "-1.#IND";
  }
  return std::signbit(value) ? "-1.#QNAN" : "1.#QNAN";
}

// Appends digits without their trailing zeros, and the "." before them only if any remain.
void append_fraction(std::string& text, std::string_view digits) {
  const auto last = digits.find_last_not_of('0');
  if (last != std::string_view::npos) {
    text += '.';
    text.append(digits.substr(0, last + 1));
  }
}

// Commas that grouping would add: only a plain decimal (optional "-", digits, optional "."
// and digits) is grouped, in threes leftwards from the point.
std::size_t grouping_commas(std::string_view text) {
  const std::size_t start = (!text.empty() && text[0] == '-') ? 1 : 0;
  const std::size_t point = std::min(text.find('.'), text.size());
  auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  const auto integer = text.substr(start, point - start);
  const auto fraction = point < text.size() ? text.substr(point + 1) : std::string_view{};
  if (integer.empty() || !std::all_of(integer.begin(), integer.end(), is_digit) ||
      !std::all_of(fraction.begin(), fraction.end(), is_digit)) {
    return 0;
  }
  return (integer.size() - 1) / 3;
}

void insert_commas(std::string& text) {
  const std::size_t start = text[0] == '-' ? 1 : 0;
  std::size_t position = std::min(text.find('.'), text.size());
  while (position > start + 3) {
    position -= 3;
    text.insert(position, 1, ',');
  }
}

// Pads the count of characters after the first "." up to `decimals`, never beyond `limit`.
void fill_zeros(std::string& text, std::int32_t decimals, std::size_t limit) {
  auto point = text.find('.');
  if (point == std::string::npos) {
    point = text.size();
    text += '.';
  }
  const std::size_t shown = text.size() - point - 1;
  const auto wanted = static_cast<std::size_t>(decimals);
  if (shown < wanted) {
    text.append(std::min(wanted - shown, limit - std::min(limit, text.size())), '0');
  }
}

}  // namespace

double round_to_decimals(double value, std::int32_t decimals) {
  if (value == 0.0 || std::isnan(value)) {
    return value;
  }
  const bool negative = value < 0.0;
  // Counts whose power of ten is not finite: no double has a digit that far right, and
  // every double rounds to zero that far left. Infinities stay what they are.
  if (decimals > kMaxDecimalCount || std::isinf(value)) {
    return value;
  }
  if (decimals < -kMaxDecimalCount) {
    return negative ? -0.0 : 0.0;
  }
  const double magnitude = std::fabs(value);
  const double scale = power_of_ten(decimals < 0 ? -decimals : decimals);
  const double scaled = decimals > 0   ? magnitude * scale
                        : decimals < 0 ? magnitude / scale
                                       : magnitude;
  const double biased = scaled + kRoundingBias;
  double integer = std::trunc(biased);
  // An overflow in the scaling leaves infinity, whose fraction counts as 0.
  const double fraction = std::isinf(biased) ? 0.0 : biased - integer;
  if (fraction >= kRoundingThreshold) {
    integer = integer + 1.0;
  }
  const double unscaled = decimals > 0 ? integer / scale : decimals < 0 ? integer * scale : integer;
  return negative ? -unscaled : unscaled;
}

std::string significant_text(double value) {
  if (!std::isfinite(value)) {
    return special_text(value);
  }
  if (value == 0.0) {
    return "0";
  }
  Digits d = cut_digits(std::fabs(value));
  round_half_up(d, kFirstDigits);
  round_half_up(d, kShownDigits);
  const std::string_view digits(d.digits.data(), kShownDigits);
  const int x = d.exponent;

  std::string text;
  text.reserve(24);
  if (value < 0) {
    text += '-';
  }
  if (x < -4 || x >= kShownDigits) {
    text += digits[0];
    append_fraction(text, digits.substr(1));
    const int magnitude = x < 0 ? -x : x;
    text += x < 0 ? "e-" : "e+";
    text += static_cast<char>('0' + magnitude / 100);
    text += static_cast<char>('0' + magnitude / 10 % 10);
    text += static_cast<char>('0' + magnitude % 10);
  } else if (x >= 0) {
    const auto integer_digits = static_cast<std::size_t>(x) + 1;
    text.append(digits.substr(0, integer_digits));
    append_fraction(text, digits.substr(integer_digits));
  } else {
    text += '0';
    std::string fraction(static_cast<std::size_t>(-x - 1), '0');
    fraction.append(digits);
    append_fraction(text, fraction);
  }
  return text;
}

std::string format_number(double value, std::optional<std::int32_t> decimals, bool group) {
  const double rounded = decimals ? round_to_decimals(value, *decimals) : value;
  std::string text = significant_text(rounded);
  // The fill and the commas share the working area; grouping only looks left of the point,
  // which the fill never changes, so its commas can be counted before the fill.
  const std::size_t commas = group ? grouping_commas(text) : 0;
  if (decimals && *decimals > 0) {
    fill_zeros(text, *decimals, kMaxFormattedLength - commas);
  }
  if (commas > 0) {
    insert_commas(text);
  }
  return text;
}

}  // namespace densilo::calc
