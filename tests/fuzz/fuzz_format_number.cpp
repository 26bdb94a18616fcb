// Any double (every bit pattern), any count of decimals or none, grouping on or off. The
// text is never empty, fits the 199-character working area, holds only the characters a
// number text may hold, and, without rounding, reads back within the 13 digits it shows.
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "calc/format_number.h"
#include "calc/read_number.h"

namespace {

[[noreturn]] void fail() {
  std::abort();
}

template <typename T>
T take(const std::uint8_t*& data, std::size_t& size) {
  T value{};
  const std::size_t n = size < sizeof value ? size : sizeof value;
  std::memcpy(&value, data, n);
  data += n;
  size -= n;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace densilo::calc;
  const double value = std::bit_cast<double>(take<std::uint64_t>(data, size));
  const auto flags = take<std::uint8_t>(data, size);
  const auto count = take<std::int32_t>(data, size);
  // Mostly the small counts that mean something, sometimes any 32-bit count at all.
  const std::int32_t decimals = (flags & 4) ? count : count % 24 - 4;
  const std::optional<std::int32_t> maybe_decimals =
      (flags & 1) ? std::optional<std::int32_t>(decimals) : std::nullopt;
  const bool group = (flags & 2) != 0;

  const std::string text = format_number(value, maybe_decimals, group);
  if (text.empty() || text.size() > kMaxFormattedLength) {
    fail();
  }
  const char* const allowed = group ? "0123456789-+.e#INFDQA," : "0123456789-+.e#INFDQA";
  if (text.find_first_not_of(allowed) != std::string::npos) {
    fail();
  }
  if (!maybe_decimals && !group) {
    if (text != significant_text(value)) {
      fail();
    }
    if (std::isfinite(value)) {
      // 13 significant digits, rounded 18 -> 17 -> 13 half up: off by at most half a unit
      // of the 13th digit and half of the 17th, less than 5.0001e-13 of the value, plus the
      // rounding of the read-back.
      const double back = scan_number(text);
      if (std::signbit(back) != std::signbit(value) && value != 0.0) {
        fail();
      }
      if (std::fabs(back - value) > std::fabs(value) * 5.0001e-13 + 5e-324) {
        fail();
      }
    }
  }
  return 0;
}
