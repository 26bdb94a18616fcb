#include "calc/read_number.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <system_error>

namespace densilo::calc {
namespace {

// The ASCII character a code point folds to, or 0 when it stays as it is.
char folded_ascii(char32_t cp) {
  if (cp >= 0xFF01 && cp <= 0xFF5D && cp != 0xFF04) {
    return static_cast<char>(cp - 0xFEE0);
  }
  switch (cp) {
    case 0x3000:
      return ' ';
    case 0xFFE5:
      return '$';
    case 0xFFE3:
    case 0xFF5E:
      return '~';
    case 0x2605:
    case 0x2606:
      return '*';
    default:
      return 0;
  }
}

bool is_continuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Writes the folded text to `out`, which has room for the whole text (folding never
// lengthens it), and gives its length.
std::size_t fold_into(std::string_view utf8_text, char* out) {
  std::size_t length = 0;
  std::size_t i = 0;
  while (i < utf8_text.size()) {
    // Every folded character is a three-byte sequence led by E2, E3 or EF. Those bytes never
    // occur inside another character, so matching here cannot split a valid sequence, and
    // any other byte, valid or not, is copied as it stands.
    const auto lead = static_cast<unsigned char>(utf8_text[i]);
    if ((lead == 0xE2 || lead == 0xE3 || lead == 0xEF) && i + 2 < utf8_text.size()) {
      const auto second = static_cast<unsigned char>(utf8_text[i + 1]);
      const auto third = static_cast<unsigned char>(utf8_text[i + 2]);
      if (is_continuation(second) && is_continuation(third)) {
        const char32_t cp = static_cast<char32_t>(((lead & 0x0Fu) << 12) | ((second & 0x3Fu) << 6) |
                                                  (third & 0x3Fu));
        if (const char ascii = folded_ascii(cp); ascii != 0) {
          out[length++] = ascii;
          i += 3;
          continue;
        }
      }
    }
    out[length++] = utf8_text[i];
    ++i;
  }
  return length;
}

// White space as the C locale's isspace sees it: tab, line feed, vertical tab, form feed,
// carriage return and space.
bool is_space(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

bool is_exponent_marker(char c) {
  return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

// Exponents are accumulated up to this bound and no further: any number whose exponent
// passes it is far outside the double range whatever its mantissa holds.
constexpr std::int64_t kExponentCap = 1'000'000'000'000'000;

// Texts up to this many bytes are folded into a buffer on the stack.
constexpr std::size_t kShortText = 64;

// Exponents of at most this many characters cannot carry anything from_chars would
// mishandle, so such texts go to it directly.
constexpr std::size_t kShortExponent = 5;

// The leading number as the grammar matched it.
struct Number {
  bool negative = false;
  std::string_view integer_digits;
  std::string_view fraction_digits;
  std::string_view unsigned_text;  // mantissa and exponent without the sign
  char marker = 0;                 // 0 when there is no exponent
  bool exponent_negative = false;
  std::string_view exponent_digits;
};

std::size_t skip_digits(std::string_view text, std::size_t i) {
  while (i < text.size() && is_digit(text[i])) {
    ++i;
  }
  return i;
}

// Matches the grammar at the start of the text; false when there is no mantissa.
bool match_number(std::string_view text, Number& number) {
  std::size_t i = 0;
  while (i < text.size() && is_space(text[i])) {
    ++i;
  }
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    number.negative = text[i] == '-';
    ++i;
  }
  const std::size_t unsigned_begin = i;
  const std::size_t integer_end = skip_digits(text, i);
  number.integer_digits = text.substr(i, integer_end - i);
  i = integer_end;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fraction_end = skip_digits(text, i + 1);
    number.fraction_digits = text.substr(i + 1, fraction_end - i - 1);
    i = fraction_end;
  }
  if (number.integer_digits.empty() && number.fraction_digits.empty()) {
    return false;
  }
  // An exponent counts only when a digit follows its marker and optional sign; otherwise
  // the number ends before the marker.
  if (i < text.size() && is_exponent_marker(text[i])) {
    std::size_t j = i + 1;
    bool exponent_negative = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      exponent_negative = text[j] == '-';
      ++j;
    }
    const std::size_t exponent_end = skip_digits(text, j);
    if (exponent_end > j) {
      number.marker = text[i];
      number.exponent_negative = exponent_negative;
      number.exponent_digits = text.substr(j, exponent_end - j);
      i = exponent_end;
    }
  }
  number.unsigned_text = text.substr(unsigned_begin, i - unsigned_begin);
  return true;
}

// The magnitude for any matched number. The digits are rewritten as 0.DDDDe±P with the
// leading and trailing zeros of the mantissa removed and P the exact decimal exponent, so
// that from_chars sees neither a D marker nor an exponent it could overflow, and the range
// decisions that from_chars leaves to its caller are taken here.
double magnitude_exact(const Number& number) {
  std::string_view digits = number.integer_digits;
  std::int64_t point = 0;  // the value is 0.<significant digits> x 10^point
  std::string significant;
  if (const auto first = digits.find_first_not_of('0'); first != std::string_view::npos) {
    // A text cannot be long enough to make this overflow; it is clamped for form's sake.
    point = static_cast<std::int64_t>(
        std::min<std::size_t>(digits.size() - first, std::size_t{1} << 60));
    significant.reserve(digits.size() - first + number.fraction_digits.size());
    significant.append(digits.substr(first));
    significant.append(number.fraction_digits);
  } else {
    const auto fraction = number.fraction_digits;
    const auto first_nonzero = fraction.find_first_not_of('0');
    if (first_nonzero == std::string_view::npos) {
      return 0.0;  // all digits zero, whatever the exponent
    }
    point = -static_cast<std::int64_t>(std::min<std::size_t>(first_nonzero, std::size_t{1} << 60));
    significant.append(fraction.substr(first_nonzero));
  }
  significant.erase(significant.find_last_not_of('0') + 1);

  std::int64_t exponent = 0;
  for (const char c : number.exponent_digits) {
    exponent = std::min(exponent * 10 + (c - '0'), kExponentCap);
  }
  point += number.exponent_negative ? -exponent : exponent;

  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  // 0.D x 10^310 is at least 1e309, beyond the largest double; 0.D x 10^-324 is below
  // 1e-324, less than half the smallest subnormal.
  if (point > 310) {
    return kInfinity;
  }
  if (point < -324) {
    return 0.0;
  }
  significant.insert(0, "0.");
  significant += 'e';
  significant += std::to_string(point);
  double value = 0.0;
  const auto result =
      std::from_chars(significant.data(), significant.data() + significant.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone when it rounds to zero or to infinity.
    return point > 0 ? kInfinity : 0.0;
  }
  return value;
}

double magnitude(const Number& number) {
  const bool plain_exponent = number.marker == 0 || number.marker == 'e' || number.marker == 'E';
  if (plain_exponent && number.exponent_digits.size() <= kShortExponent) {
    const char* const begin = number.unsigned_text.data();
    const char* const end = begin + number.unsigned_text.size();
    double value = 0.0;
    const auto result = std::from_chars(begin, end, value);
    if (result.ec == std::errc{} && result.ptr == end) {
      return value;
    }
  }
  return magnitude_exact(number);
}

}  // namespace

std::string fold_fullwidth(std::string_view utf8_text) {
  std::string folded(utf8_text.size(), '\0');
  folded.resize(fold_into(utf8_text, folded.data()));
  return folded;
}

double scan_number(std::string_view text) {
  Number number;
  if (!match_number(text, number)) {
    return 0.0;  // no mantissa: +0 even after a minus sign
  }
  const double value = magnitude(number);
  return number.negative ? -value : value;
}

double number_from_text(std::string_view utf8_text) {
  // Only non-ASCII text has anything to fold; most input is plain ASCII, and what people
  // type into a box fits on the stack.
  const bool ascii = std::all_of(utf8_text.begin(), utf8_text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) {
    return scan_number(utf8_text);
  }
  if (utf8_text.size() <= kShortText) {
    std::array<char, kShortText> folded;
    return scan_number(std::string_view(folded.data(), fold_into(utf8_text, folded.data())));
  }
  return scan_number(fold_fullwidth(utf8_text));
}

}  // namespace densilo::calc
