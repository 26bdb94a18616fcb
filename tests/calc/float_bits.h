#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>

namespace densilo::calc::testing {

inline std::uint64_t bits_of(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

inline double from_bits(std::uint64_t bits) {
  return std::bit_cast<double>(bits);
}

inline std::string describe(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g [%016llx]", value,
                static_cast<unsigned long long>(bits_of(value)));
  return text;
}

// Equal to the bit: tells -0 from +0 and one NaN from another.
inline ::testing::AssertionResult same_bits(double actual, double expected) {
  if (bits_of(actual) == bits_of(expected)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "got " << describe(actual) << ", expected " << describe(expected);
}

}  // namespace densilo::calc::testing
