#include "ui/core/text_convert.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>

namespace {

using densilo::core::utf16_from_utf8;
using densilo::core::utf8_from_utf16;

struct EncodingCase {
  const char* what;
  std::u16string utf16;
  std::string utf8;
};

void PrintTo(const EncodingCase& c, std::ostream* os) {
  *os << c.what;
}

class Utf8FromUtf16 : public testing::TestWithParam<EncodingCase> {};

TEST_P(Utf8FromUtf16, EncodesAndDecodesBack) {
  const EncodingCase& c = GetParam();
  EXPECT_EQ(utf8_from_utf16(c.utf16), c.utf8) << c.what;
  EXPECT_EQ(utf16_from_utf8(c.utf8), c.utf16) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8FromUtf16,
    testing::Values(
        EncodingCase{"empty", u"", ""}, EncodingCase{"ASCII digits", u"23.8", "23.8"},
        EncodingCase{"NUL inside the text", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
        EncodingCase{"Chinese label", u"屏幕PPI值：",
                     "\xE5\xB1\x8F\xE5\xB9\x95PPI\xE5\x80\xBC\xEF\xBC\x9A"},
        EncodingCase{"full-width digits and point", u"１９２０．５",
                     "\xEF\xBC\x91\xEF\xBC\x99\xEF\xBC\x92\xEF\xBC\x90\xEF\xBC\x8E\xEF\xBC\x95"},
        EncodingCase{"two-byte form", u"\u00E9\u07FF", "\xC3\xA9\xDF\xBF"},
        EncodingCase{"last BMP code point", u"\uFFFF", "\xEF\xBF\xBF"},
        EncodingCase{"surrogate pair becomes one four-byte form", u"\U0001F600",
                     "\xF0\x9F\x98\x80"},
        EncodingCase{"last code point", u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
        EncodingCase{"lone high surrogate", u"a\xD800z", "a\xED\xA0\x80z"},
        EncodingCase{"lone low surrogate", u"a\xDFFFz", "a\xED\xBF\xBFz"},
        EncodingCase{"high surrogate at the end", u"x\xDBFF", "x\xED\xAF\xBF"},
        EncodingCase{"low before high is two lone surrogates", u"\xDC00\xD800",
                     "\xED\xB0\x80\xED\xA0\x80"},
        EncodingCase{"two high surrogates then a low: one lone, one pair", u"\xD800\xD83D\xDE00",
                     "\xED\xA0\x80\xF0\x9F\x98\x80"}));

struct InvalidCase {
  const char* what;
  std::string utf8;
  std::u16string utf16;
};

void PrintTo(const InvalidCase& c, std::ostream* os) {
  *os << c.what;
}

class Utf16FromInvalidUtf8 : public testing::TestWithParam<InvalidCase> {};

TEST_P(Utf16FromInvalidUtf8, ReplacesEachIllFormedPartOnce) {
  const InvalidCase& c = GetParam();
  EXPECT_EQ(utf16_from_utf8(c.utf8), c.utf16) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf16FromInvalidUtf8,
    testing::Values(InvalidCase{"stray continuation byte", "a\x80z", u"a\uFFFDz"},
                    InvalidCase{"lead byte at the end", "a\xC3", u"a\uFFFD"},
                    InvalidCase{"cut three-byte form is one replacement", "\xE4\xB8", u"\uFFFD"},
                    InvalidCase{"cut four-byte form is one replacement", "\xF0\x9F\x98", u"\uFFFD"},
                    InvalidCase{"ASCII after a cut form is kept", "\xE4\xB8z", u"\uFFFDz"},
                    InvalidCase{"a new lead byte after a cut form starts over", "\xE4\xE4\xB8\xAD",
                                u"\uFFFD中"},
                    InvalidCase{"overlong two-byte slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
                    InvalidCase{"overlong three-byte form", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
                    InvalidCase{"overlong four-byte form", "\xF0\x8F\xBF\xBF",
                                u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                    InvalidCase{"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                    InvalidCase{"bytes that never occur", "\xFE\xFF\xF5", u"\uFFFD\uFFFD\uFFFD"},
                    InvalidCase{"separately encoded pair joins into a pair",
                                "\xED\xA0\xBD\xED\xB8\x80", u"\U0001F600"}));

// Units drawn so that surrogates, in and out of order, are common.
std::u16string random_utf16(std::mt19937& rng, std::size_t length) {
  std::uniform_int_distribution<int> kind(0, 5);
  std::uniform_int_distribution<int> any(0, 0xFFFF);
  std::uniform_int_distribution<int> surrogate(0xD800, 0xDFFF);
  std::uniform_int_distribution<int> ascii(0, 0x7F);
  std::u16string s;
  for (std::size_t i = 0; i < length; ++i) {
    switch (kind(rng)) {
      case 0:
        s.push_back(static_cast<char16_t>(ascii(rng)));
        break;
      case 1:
      case 2:
        s.push_back(static_cast<char16_t>(surrogate(rng)));
        break;
      default:
        s.push_back(static_cast<char16_t>(any(rng)));
        break;
    }
  }
  return s;
}

TEST(TextConvertRoundTrip, EveryRandomUtf16TextComesBackUnchanged) {
  std::mt19937 rng(20261211);
  std::uniform_int_distribution<std::size_t> length(0, 40);
  for (int i = 0; i < 20000; ++i) {
    const std::u16string original = random_utf16(rng, length(rng));
    ASSERT_EQ(utf16_from_utf8(utf8_from_utf16(original)), original);
  }
}

TEST(TextConvertRoundTrip, EveryCodeUnitAloneAndBesideEveryOtherKind) {
  for (std::uint32_t u = 0; u <= 0xFFFF; ++u) {
    const std::u16string alone(1, static_cast<char16_t>(u));
    ASSERT_EQ(utf16_from_utf8(utf8_from_utf16(alone)), alone) << std::hex << u;
    const std::u16string framed = u"\xD800" + alone + u"\xDC00";
    ASSERT_EQ(utf16_from_utf8(utf8_from_utf16(framed)), framed) << std::hex << u;
  }
}

TEST(TextConvertRoundTrip, ValidUtf8ComesBackByteForByte) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::uint32_t> code_point(0, 0x10FFFF);
  for (int i = 0; i < 2000; ++i) {
    std::u16string text;
    for (int k = 0; k < 8; ++k) {
      std::uint32_t cp = code_point(rng);
      if (cp >= 0xD800 && cp <= 0xDFFF)
        cp = 0x4E2D;
      if (cp < 0x10000) {
        text.push_back(static_cast<char16_t>(cp));
      } else {
        cp -= 0x10000;
        text.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        text.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
      }
    }
    const std::string utf8 = utf8_from_utf16(text);
    ASSERT_EQ(utf8_from_utf16(utf16_from_utf8(utf8)), utf8);
  }
}

TEST(TextConvertRoundTrip, ArbitraryBytesDecodeToAStableText) {
  // Once decoded, a text must survive further conversions unchanged, whatever the bytes were.
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<std::size_t> length(0, 24);
  for (int i = 0; i < 20000; ++i) {
    std::string bytes;
    for (std::size_t n = length(rng); n > 0; --n)
      bytes.push_back(static_cast<char>(byte(rng)));
    const std::u16string decoded = utf16_from_utf8(bytes);
    ASSERT_LE(decoded.size(), bytes.size());
    ASSERT_EQ(utf16_from_utf8(utf8_from_utf16(decoded)), decoded);
  }
}

}  // namespace
