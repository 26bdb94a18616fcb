#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace densilo::calc {

// Rounds to the given number of decimals (negative counts round to tens, hundreds, ...):
// halves away from zero, after a bias of 1e-12 on the scaled magnitude, with every step in
// plain double arithmetic. Zeros and NaNs come back unchanged, infinities stay infinite.
double round_to_decimals(double value, std::int32_t decimals);

// General notation with at most 13 significant digits: fixed form for decimal exponents
// -4..12, otherwise d.dddde+XXX with a three-digit exponent; no trailing fraction zeros.
// The digits come from the exact value cut to 18 digits and rounded 18 -> 17 -> 13, each
// time halves up. Infinities and NaNs read 1.#INF, -1.#INF, -1.#IND (the default NaN),
// 1.#QNAN and -1.#QNAN.
std::string significant_text(double value);

// The text shown for a number: rounded to `decimals` when given, in general notation, then
// padded with zeros to at least `decimals` characters after the first "." (or given a "."
// and zeros when it has none), and with thousands commas when `group` is set and the text is
// a plain decimal. Never empty and never longer than kMaxFormattedLength characters.
std::string format_number(double value, std::optional<std::int32_t> decimals, bool group);

// The text is built in a working area of 200 bytes, one of which holds the terminator.
inline constexpr std::size_t kMaxFormattedLength = 199;

}  // namespace densilo::calc
