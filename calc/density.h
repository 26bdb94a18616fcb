#pragma once

#include <bit>
#include <cstdint>

namespace densilo::calc {

// The NaN that x86 produces for every invalid operation (0/0, inf/inf, the square root of a
// negative number). The result text shows it as -1.#IND and any other NaN differently.
inline constexpr double kDefaultNaN = std::bit_cast<double>(std::uint64_t{0xFFF8000000000000});

// Pixels per inch of a screen: height / sqrt(diagonal^2 / ((width / height)^2 + 1)), taken
// step by step with a 64-bit significand and rounded to double after each step, because
// those steps decide the results for zero, negative and infinite inputs.
double compute_ppi(std::int32_t width, std::int32_t height, double diagonal);

// Truncation toward zero through a 64-bit integer, keeping the low 32 bits, as the x86
// conversion instructions do: NaN, infinities and values outside the 64-bit range give the
// "integer indefinite" 0x8000000000000000, whose low half is 0.
std::int32_t truncate_to_int32(double value);

// base^exponent. Only the square is used; it is formed with a 64-bit significand, rounded
// to double, and keeps the special values (+0 for zeros, +inf for infinities, a NaN as it
// is). Other exponents are handed to the standard library.
double power(double base, double exponent);

// The square root with a 64-bit significand, rounded to double. A NaN, +inf and zeros of
// either sign come back unchanged; a negative value gives kDefaultNaN.
double square_root(double value);

}  // namespace densilo::calc
