#include "calc/density.h"

#include <cmath>
#include <limits>
#include <type_traits>

namespace densilo::calc {
namespace {

// Each step is carried out with a 64-bit significand (x87 extended precision, which GCC and
// mingw-w64 give long double on x86) and rounded to double when stored. Where long double is
// something else, plain double is the documented stand-in, never a wider format.
using Wide =
    std::conditional_t<std::numeric_limits<long double>::digits == 64, long double, double>;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

double to_double(Wide value) {
  return static_cast<double>(value);
}

// The special cases of the x86 rules are spelled out rather than left to the hardware: a
// compiler folding a constant expression makes a positive NaN for 0/0, the processor the
// negative default NaN, and the text shown depends on which.

double quotient(double dividend, double divisor) {
  if (std::isnan(dividend)) {
    return dividend;
  }
  if (std::isnan(divisor)) {
    return divisor;
  }
  const bool negative = std::signbit(dividend) != std::signbit(divisor);
  if (divisor == 0.0) {
    if (dividend == 0.0) {
      return kDefaultNaN;
    }
    return negative ? -kInfinity : kInfinity;
  }
  if (std::isinf(divisor)) {
    if (std::isinf(dividend)) {
      return kDefaultNaN;
    }
    return negative ? -0.0 : 0.0;
  }
  return to_double(static_cast<Wide>(dividend) / static_cast<Wide>(divisor));
}

double sum(double left, double right) {
  if (std::isnan(left)) {
    return left;
  }
  if (std::isnan(right)) {
    return right;
  }
  if (std::isinf(left) && std::isinf(right) && std::signbit(left) != std::signbit(right)) {
    return kDefaultNaN;
  }
  return to_double(static_cast<Wide>(left) + static_cast<Wide>(right));
}

}  // namespace

std::int32_t truncate_to_int32(double value) {
  // The range check comes first because converting an out-of-range double to an integer is
  // undefined in C++; NaN fails both comparisons.
  constexpr double kTwoTo63 = 9223372036854775808.0;
  const std::int64_t wide = (value >= -kTwoTo63 && value < kTwoTo63)
                                ? static_cast<std::int64_t>(value)
                                : std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide)));
}

double power(double base, double exponent) {
  if (std::isnan(base)) {
    return base;
  }
  if (std::isnan(exponent)) {
    return exponent;
  }
  if (exponent == 2.0) {
    if (std::isinf(base)) {
      return kInfinity;
    }
    // The exact square needs 106 bits; it is rounded to the 64-bit significand and then to
    // double, where it overflows to +inf or underflows to a subnormal or +0 as it must.
    const Wide magnitude = std::fabs(static_cast<Wide>(base));
    return to_double(magnitude * magnitude);
  }
  const Wide result = std::pow(static_cast<Wide>(base), static_cast<Wide>(exponent));
  return std::isnan(result) ? kDefaultNaN : to_double(result);
}

double square_root(double value) {
  if (std::isnan(value) || value == 0.0 || value == kInfinity) {
    return value;
  }
  if (value < 0.0) {
    return kDefaultNaN;
  }
  return to_double(std::sqrt(static_cast<Wide>(value)));
}

double compute_ppi(std::int32_t width, std::int32_t height, double diagonal) {
  const double ratio = quotient(width, height);
  const double diagonal_squared = power(diagonal, 2.0);
  const double ratio_squared = power(ratio, 2.0);
  const double denominator = sum(ratio_squared, 1.0);
  const double height_inches_squared = quotient(diagonal_squared, denominator);
  const double height_inches = square_root(height_inches_squared);
  return quotient(height, height_inches);
}

}  // namespace densilo::calc
