#include "calc/read_number.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "float_bits.h"

namespace densilo::calc {
namespace {

using testing::from_bits;
using testing::same_bits;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kMinSubnormal = std::numeric_limits<double>::denorm_min();

struct TextCase {
  std::string text;
  double expected;
};

void PrintTo(const TextCase& c, std::ostream* os) {
  *os << '"' << c.text << '"';
}

// What a user may type, as the number read from it.
const std::vector<TextCase> kTypedTexts = {
    {"", 0.0},
    {"   \t  ", 0.0},
    {"abc", 0.0},
    {"-", 0.0},
    {"- 5", 0.0},
    {"+-5", 0.0},
    {".", 0.0},
    {"-.", 0.0},
    {"-.e5", 0.0},
    {"1920", 1920.0},
    {"+1920", 1920.0},
    {"  \t 1920", 1920.0},
    {"\n\v\f\r1920", 1920.0},
    {"\xE3\x80\x80"
     "1920",
     1920.0},  // ideographic space
    {"1920 pixels", 1920.0},
    {"1,920", 1.0},
    {"1\xEF\xBC\x8C"
     "920",
     1.0},  // full-width comma
    {"24寸", 24.0},
    {"23。8", 23.0},
    {"２３．８", 23.8},
    {"－５", -5.0},
    {"＋５", 5.0},
    {"5.", 5.0},
    {".5", 0.5},
    {"-.5", -0.5},
    {"00012.500", 12.5},
    {"1.2.3", 1.2},
    {"1e3", 1000.0},
    {"1E3", 1000.0},
    {"1d3", 1000.0},
    {"1D3", 1000.0},
    {"1ｅ3", 1000.0},
    {"1.e5", 100000.0},
    {"2.38e1", 23.8},
    {"2.38E+1", 23.8},
    {"238e-1", 23.8},
    {"1e", 1.0},
    {"1e+", 1.0},
    {"1e-x", 1.0},
    {"1e 3", 1.0},
    {"1d", 1.0},
    {"5e00", 5.0},
    {"0x1A", 0.0},
    {"inf", 0.0},
    {"nan", 0.0},
    {"infinity", 0.0},
    {"1.#INF", 1.0},
    {"-1.#IND", -1.0},
    {"-0", -0.0},
    {"-0.000", -0.0},
    {"0e5", 0.0},
    {"-0e-5", -0.0},
    {"1e400", kInf},
    {"-1e400", -kInf},
    {"1e-400", 0.0},
    {"-1e-400", -0.0},
    {"一二三", 0.0},  // Chinese numerals are not digits
};

class TypedText : public ::testing::TestWithParam<TextCase> {};

TEST_P(TypedText, ReadsTheLeadingNumber) {
  EXPECT_TRUE(same_bits(number_from_text(GetParam().text), GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Table, TypedText, ::testing::ValuesIn(kTypedTexts));

// The largest double is 0x1.fffffffffffffp+1023; halfway to 2^1024 it rounds to infinity
// (the even neighbour), one digit less and it stays finite.
const std::string kHalfwayAboveMax =
    "179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017"
    "977587207096330286416692887910946555547851940402630657488671505820681908902000708383676273"
    "854845817711531764475730270069855571366959622842914819860834936475292719074168444365510704"
    "342711559699508093042880177904174497792";

// 2^-1075, halfway between 0 and the smallest subnormal.
const std::string kHalfwayBelowMinSubnormal =
    "2.470328229206232720882843964341106861825299013071623822127928412503377536351043759326499181"
    "808179961898982823477228588654633283551779698981993873980053909390631503565951557022639229"
    "085839244910518443593180284993653615250031937045767824921936562366986365848075700158576926"
    "990370631192827955855133292783433840935197801553124659726357957462276646527282722005637400"
    "648549997709659947045402082816622623785739345073633900796776193057750674017632467360096895"
    "134053553745851666113422376667860416215968046191446729184030053005753084904876539171138659"
    "164623952491262365388187963623937328042389101867234849766823508986338858792562830275599565"
    "752445550725518931369083625477918694866799496832404970582102851318545139621383772282614543"
    "7693412532098591327667236328125e-324";

std::string repeated(char c, std::size_t n) {
  return std::string(n, c);
}

// Texts that only a correctly rounded reader with an unbounded exponent gets right.
const std::vector<TextCase> kHardTexts = {
    {"1e99999999999", kInf},
    {"-1e99999999999", -kInf},
    {"1e-99999999999", 0.0},
    {"-1e-99999999999", -0.0},
    {"0e99999999999", 0.0},
    {"1e99999999999999999999999999999999", kInf},
    {"1e-99999999999999999999999999999999", 0.0},
    {"1e000000000000000000000000000003", 1000.0},
    {"1d99999999999", kInf},
    {"1D-99999999999", 0.0},
    {"2.5d-3", 0.0025},
    {"1D308", 1e308},
    {"1d309", kInf},
    {"1.7976931348623159d308", kInf},
    {"4.9406564584124654D-324", kMinSubnormal},
    // The exponent makes up for a long run of zeros on either side of the point.
    {"0." + repeated('0', 400) + "1e401", 1.0},
    {"1" + repeated('0', 400) + "e-400", 1.0},
    {"1" + repeated('0', 400) + "d-400", 1.0},
    {"0." + repeated('0', 1000) + "123e1003", 123.0},
    {"0." + repeated('0', 1000) + "1e99999", kInf},
    {"1" + repeated('0', 1000) + "e-99999", 0.0},
    // The edge of the double range.
    {"1.7976931348623157e308", kMax},
    {"1.7976931348623158e308", kMax},
    {"1.7976931348623159e308", kInf},
    {kHalfwayAboveMax, kInf},
    {"-" + kHalfwayAboveMax, -kInf},
    {kHalfwayAboveMax.substr(0, 308) + "1", kMax},  // just below halfway
    {kHalfwayAboveMax + "e0", kInf},
    {kHalfwayAboveMax.substr(0, 1) + "." + kHalfwayAboveMax.substr(1) + "D308", kInf},
    // Subnormals and the underflow to zero.
    {"4.9406564584124654e-324", kMinSubnormal},
    {"2.4703282292062328e-324", kMinSubnormal},
    {"2.4703282292062327e-324", 0.0},
    {"-2.4703282292062327e-324", -0.0},
    {kHalfwayBelowMinSubnormal, 0.0},  // a tie goes to the even zero
    {kHalfwayBelowMinSubnormal.substr(0, kHalfwayBelowMinSubnormal.find('e')) + "1e-324",
     kMinSubnormal},  // just above halfway
    {"2.2250738585072011e-308", from_bits(0x000FFFFFFFFFFFFF)},
    {"2.2250738585072012e-308", from_bits(0x0010000000000000)},
    {"2.2250738585072014e-308", std::numeric_limits<double>::min()},
    // Ties to even, decided only by a digit far beyond the seventeenth.
    {"9007199254740993", 9007199254740992.0},
    {"9007199254740995", 9007199254740996.0},
    {"9007199254740993." + repeated('0', 800) + "1", 9007199254740994.0},
    {"9007199254740992." + repeated('9', 800), 9007199254740992.0},
    {"9007199254740994." + repeated('9', 800) + "e0", 9007199254740994.0},
    {"0.1000000000000000055511151231257827021181583404541015625", 0.1},
    // Halfway between 0.1 and the next double up, which is odd: the tie goes down.
    {"0.100000000000000012490009027033011079765856266021728515625", 0.1},
    {"0.1000000000000000124900090270330110797658562660217285156250001", 0.10000000000000002},
    {"0.1000000000000000124900090270330110797658562660217285156249999", 0.1},
};

class HardText : public ::testing::TestWithParam<TextCase> {};

TEST_P(HardText, IsCorrectlyRounded) {
  EXPECT_TRUE(same_bits(scan_number(GetParam().text), GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Table, HardText, ::testing::ValuesIn(kHardTexts));

// A random decimal text of the grammar, and the same number as from_chars reads it.
struct RandomDecimal {
  std::string text;
  std::string reference;
  int decade = 0;  // the magnitude lies in [10^(decade-1), 10^decade)
};

RandomDecimal random_decimal(std::mt19937_64& rng) {
  auto pick = [&rng](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
  };
  // Mostly short mantissas as people type them, now and then one of several hundred digits.
  const int length = pick(0, 9) == 0 ? pick(300, 900) : pick(1, 25);
  std::string digits;
  for (int i = 0; i < length; ++i) {
    digits += static_cast<char>('0' + pick(0, 9));
  }
  if (pick(0, 3) == 0) {
    digits.insert(0, static_cast<std::size_t>(pick(1, 30)), '0');
  }
  std::string mantissa = digits;
  const int point = pick(-1, static_cast<int>(digits.size()));
  if (point >= 0) {
    mantissa.insert(static_cast<std::size_t>(point), 1, '.');
  }
  // Exponents around the whole range, shifted to make up for the digits before the point.
  std::string exponent;
  int exponent_value = 0;
  if (pick(0, 4) != 0) {
    const int value = pick(-345, 330) - (point >= 0 ? point : length) + 1;
    const char markers[] = {'e', 'E', 'd', 'D'};
    exponent = markers[pick(0, 3)];
    if (value < 0 || pick(0, 1) == 0) {
      exponent += value < 0 ? '-' : '+';
    }
    exponent += std::to_string(value < 0 ? -value : value);
    exponent_value = value;
  }
  const bool negative = pick(0, 1) == 0;
  RandomDecimal result;
  const auto first_nonzero =
      static_cast<int>(std::min(digits.find_first_not_of('0'), digits.size()));
  result.decade =
      (point >= 0 ? point : static_cast<int>(digits.size())) - first_nonzero + exponent_value;
  result.text = (negative ? "-" : "") + mantissa + exponent;
  std::string plain_exponent = exponent;
  if (!plain_exponent.empty()) {
    plain_exponent[0] = 'e';
  }
  result.reference = (negative ? "-" : "") + mantissa + plain_exponent;
  return result;
}

TEST(ScanNumber, AgreesWithFromCharsOnRandomDecimals) {
  std::mt19937_64 rng(20240611);
  for (int i = 0; i < 20000; ++i) {
    const RandomDecimal d = random_decimal(rng);
    double expected = 0.0;
    const char* const begin = d.reference.data();
    const auto [end, ec] = std::from_chars(begin, begin + d.reference.size(), expected);
    ASSERT_EQ(end, begin + d.reference.size()) << d.text;
    const double actual = scan_number(d.text);
    if (ec == std::errc::result_out_of_range) {
      // from_chars leaves these to its caller: an infinity for numbers above 1, a zero for
      // those below, with the text's sign.
      const double magnitude = d.decade > 0 ? kInf : 0.0;
      ASSERT_TRUE(same_bits(actual, d.text[0] == '-' ? -magnitude : magnitude)) << d.text;
      continue;
    }
    ASSERT_TRUE(same_bits(actual, expected)) << d.text;
  }
}

TEST(ScanNumber, StopsWhereTheNumberEnds) {
  // Nothing after the number can change it: none of these tails continues a number.
  std::mt19937_64 rng(7);
  const std::vector<std::string> tails = {"x", " 5", "e", "e+", "d-", ",3", "寸", "\xFF", "。5"};
  for (int i = 0; i < 2000; ++i) {
    const RandomDecimal d = random_decimal(rng);
    for (const auto& tail : tails) {
      ASSERT_TRUE(same_bits(scan_number(d.text + tail), scan_number(d.text))) << d.text + tail;
    }
  }
}

// What fold_fullwidth makes of one code point, straight from the folding table.
std::string folded_form(char32_t cp, const std::string& utf8) {
  if (cp == 0x3000)
    return " ";
  if (cp >= 0xFF01 && cp <= 0xFF5D && cp != 0xFF04) {
    return std::string(1, static_cast<char>(cp - 0xFEE0));
  }
  if (cp == 0xFFE5)
    return "$";
  if (cp == 0xFFE3 || cp == 0xFF5E)
    return "~";
  if (cp == 0x2605 || cp == 0x2606)
    return "*";
  return utf8;
}

std::string utf8_of(char32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (cp >> 18));
    s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

TEST(FoldFullwidth, FoldsExactlyTheTableOverEveryCodePoint) {
  for (char32_t cp = 1; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) {
      continue;
    }
    const std::string utf8 = utf8_of(cp);
    // Between other text, so a fold cannot leak into its neighbours.
    ASSERT_EQ(fold_fullwidth("a" + utf8 + "b"), "a" + folded_form(cp, utf8) + "b")
        << "U+" << std::hex << static_cast<std::uint32_t>(cp);
  }
}

TEST(FoldFullwidth, SpotChecks) {
  EXPECT_EQ(fold_fullwidth("！｝＄～￥￣☆★。、　"), "!}＄~$~**。、 ");
  EXPECT_EQ(fold_fullwidth("ＡＢＣ ａｂｃ ０９"), "ABC abc 09");
}

struct BytesCase {
  std::string bytes;
  std::string folded;
  double number;
};

void PrintTo(const BytesCase& c, std::ostream* os) {
  for (const char b : c.bytes) {
    *os << "\\x" << std::hex << static_cast<int>(static_cast<unsigned char>(b));
  }
}

// Broken UTF-8 is carried through; its bytes are ordinary characters that end a number.
const std::vector<BytesCase> kBrokenUtf8 = {
    {"\xEF\xBC", "\xEF\xBC", 0.0},  // cut at the end
    {"\xEF\xBC"
     "5",
     "\xEF\xBC"
     "5",
     0.0},  // cut before a digit
    {"5\xEF\xBC", "5\xEF\xBC", 5.0},
    {"\xE3"
     "\xEF\xBC\x95",
     "\xE3"
     "5",
     0.0},  // stray lead byte
    {"\x80"
     "5",
     "\x80"
     "5",
     0.0},  // stray continuation byte
    {"5\xFF"
     "5",
     "5\xFF"
     "5",
     5.0},
    {"\xEF\xBC\x95\xEF\xBC\x95\xC0", "55\xC0", 55.0},
    {"\xC0\xAE"
     "5",
     "\xC0\xAE"
     "5",
     0.0},                                               // overlong full stop
    {"\xEF\xBC\x95\xED\xA0\x80", "5\xED\xA0\x80", 5.0},  // encoded surrogate
    {std::string("5\0"
                 "5",
                 3),
     std::string("5\0"
                 "5",
                 3),
     5.0},
};

class BrokenUtf8 : public ::testing::TestWithParam<BytesCase> {};

TEST_P(BrokenUtf8, PassesThroughAsOrdinaryCharacters) {
  EXPECT_EQ(fold_fullwidth(GetParam().bytes), GetParam().folded);
  EXPECT_TRUE(same_bits(number_from_text(GetParam().bytes), GetParam().number));
}

INSTANTIATE_TEST_SUITE_P(Table, BrokenUtf8, ::testing::ValuesIn(kBrokenUtf8));

TEST(FoldFullwidth, NeverReadsPastTheText) {
  // The text ends in the middle of a full-width character held in a buffer of exactly its
  // size, so a read of the missing bytes is caught by the address sanitizer.
  for (const std::string& prefix : {std::string("\xEF"), std::string("\xEF\xBC"),
                                    std::string("1\xE3\x80"), std::string("\xE2\x98")}) {
    const auto buffer = std::make_unique<char[]>(prefix.size());
    std::copy(prefix.begin(), prefix.end(), buffer.get());
    const std::string_view text(buffer.get(), prefix.size());
    EXPECT_EQ(fold_fullwidth(text), prefix);
    EXPECT_FALSE(std::isnan(number_from_text(text)));
  }
}

}  // namespace
}  // namespace densilo::calc
