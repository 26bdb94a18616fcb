#pragma once
// The floating-point environment the calculation relies on.

#include <cstdint>

namespace densilo::app {

// Rounding to nearest, every exception masked, and the x87 unit at its full 64-bit
// significand. SSE has no precision setting; its flush-to-zero and denormals-are-zero stay off
// so that subnormal results survive.
void reset_floating_point();

inline constexpr std::uint16_t kX87ControlWord = 0x037F;
inline constexpr std::uint32_t kSseControlStatus = 0x1F80;

}  // namespace densilo::app
