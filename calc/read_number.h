#pragma once

#include <string>
#include <string_view>

namespace densilo::calc {

// The number a user typed into a box: full-width forms folded to ASCII, then the leading
// decimal number read leniently. Never NaN; a text without a leading number gives +0.
double number_from_text(std::string_view utf8_text);

// Replaces the full-width forms of ASCII characters (and the ideographic space, the
// full-width yen sign, macron and tilde, and the two stars) by their ASCII counterparts.
// Everything else, invalid UTF-8 included, passes through byte for byte.
std::string fold_fullwidth(std::string_view utf8_text);

// The correctly rounded (nearest, ties to even) value of the longest decimal number at the
// start of the text, after white space: [sign] digits [. digits] [(e|E|d|D) [sign] digits].
// Out of range gives a signed infinity or a signed zero; no number at all gives +0.
double scan_number(std::string_view text);

}  // namespace densilo::calc
