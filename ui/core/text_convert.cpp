#include "ui/core/text_convert.h"

#include <cstdint>

namespace densilo::core {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool is_high_surrogate(char32_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool is_low_surrogate(char32_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

void append_utf8(std::string& out, char32_t cp) {
  auto byte = [&out](char32_t b) {
    out.push_back(static_cast<char>(static_cast<unsigned char>(b)));
  };
  if (cp < 0x80) {
    byte(cp);
  } else if (cp < 0x800) {
    byte(0xC0 | (cp >> 6));
    byte(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    byte(0xE0 | (cp >> 12));
    byte(0x80 | ((cp >> 6) & 0x3F));
    byte(0x80 | (cp & 0x3F));
  } else {
    byte(0xF0 | (cp >> 18));
    byte(0x80 | ((cp >> 12) & 0x3F));
    byte(0x80 | ((cp >> 6) & 0x3F));
    byte(0x80 | (cp & 0x3F));
  }
}

void append_utf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

}  // namespace

std::string utf8_from_utf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t unit = text[i];
    if (is_high_surrogate(unit) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
      const char32_t low = text[++i];
      append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
    } else {
      // Lone surrogates take the three-byte form like any other BMP unit.
      append_utf8(out, unit);
    }
  }
  return out;
}

std::u16string utf16_from_utf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    ++i;
    if (lead < 0x80) {
      out.push_back(lead);
      continue;
    }
    // The range of the first continuation byte excludes overlong forms and code points above
    // U+10FFFF. Unlike strict UTF-8, ED A0..BF (the surrogates) is accepted.
    int continuations = 0;
    char32_t cp = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      continuations = 1;
      cp = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      continuations = 2;
      cp = lead & 0x0Fu;
      if (lead == 0xE0)
        low = 0xA0;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      continuations = 3;
      cp = lead & 0x07u;
      if (lead == 0xF0)
        low = 0x90;
      if (lead == 0xF4)
        high = 0x8F;
    } else {
      out.push_back(kReplacement);
      continue;
    }
    bool complete = true;
    for (int k = 0; k < continuations; ++k) {
      if (i >= text.size()) {
        complete = false;
        break;
      }
      const auto next = static_cast<unsigned char>(text[i]);
      if (next < low || next > high) {
        // Not consumed: it may start the next sequence.
        complete = false;
        break;
      }
      cp = (cp << 6) | (next & 0x3Fu);
      ++i;
      low = 0x80;
      high = 0xBF;
    }
    if (complete) {
      append_utf16(out, cp);
    } else {
      out.push_back(kReplacement);
    }
  }
  return out;
}

}  // namespace densilo::core
