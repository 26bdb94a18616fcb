#pragma once

#include <string>
#include <string_view>

namespace densilo::core {

// The command line that opens `target` through the command registered for web pages, when the
// shell cannot open it by itself. The registered command is cut at its "%1" placeholder (at the
// opening quote when the placeholder is quoted) and the target follows after one space,
// unquoted. Nothing is truncated, whatever the lengths.
std::u16string assemble_link_command(std::u16string_view registered_command,
                                     std::u16string_view target);

}  // namespace densilo::core
