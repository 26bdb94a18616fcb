#pragma once

#include <string>
#include <string_view>

namespace densilo::core {

// Window texts are UTF-16 and the calculation works on UTF-8. Whatever a user can put into an
// edit box must come back unchanged, including unpaired surrogates, so the UTF-8 side is the
// generalised form that encodes a lone surrogate like any other code point in three bytes
// (WTF-8). Every UTF-16 sequence survives utf16_from_utf8(utf8_from_utf16(s)).
std::string utf8_from_utf16(std::u16string_view text);

// Decodes UTF-8, and the three-byte surrogate forms above, to UTF-16. Input that is not
// well-formed never stops the decoding: each maximal ill-formed part (a stray continuation
// byte, a lead byte without its continuations, an overlong or out-of-range form) becomes one
// U+FFFD, and decoding resumes at the first byte that was not consumed.
std::u16string utf16_from_utf8(std::string_view text);

}  // namespace densilo::core
