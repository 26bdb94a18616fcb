// Any bytes as the text of an input box. Besides not crashing: never NaN, the same value as
// folding then scanning, folding is idempotent and never lengthens the text, and wherever
// the C library's strtod reads the same grammar, the same bits.
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calc/read_number.h"

namespace {

[[noreturn]] void fail() {
  std::abort();
}

// strtod reads the grammar too, apart from hexadecimal numbers, infinities, NaNs and the D
// exponent marker; without those letters (and without bytes a locale could count as space)
// it must agree to the bit.
bool strtod_reads_the_same_grammar(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 || c == '\0') {
      return false;
    }
    switch (c) {
      case 'x':
      case 'X':
      case 'p':
      case 'P':
      case 'i':
      case 'I':
      case 'n':
      case 'N':
      case 'd':
      case 'D':
        return false;
      default:
        break;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  using namespace densilo::calc;

  const double value = number_from_text(text);
  if (std::isnan(value)) {
    fail();
  }
  const std::string folded = fold_fullwidth(text);
  if (folded.size() > text.size() || fold_fullwidth(folded) != folded) {
    fail();
  }
  if (std::bit_cast<std::uint64_t>(scan_number(folded)) != std::bit_cast<std::uint64_t>(value)) {
    fail();
  }
  if (strtod_reads_the_same_grammar(text)) {
    const std::string terminated(text);
    const double expected = std::strtod(terminated.c_str(), nullptr);
    if (std::bit_cast<std::uint64_t>(expected) != std::bit_cast<std::uint64_t>(value)) {
      fail();
    }
  }
  return 0;
}
