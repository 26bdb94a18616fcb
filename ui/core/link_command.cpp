#include "ui/core/link_command.h"

namespace densilo::core {

std::u16string assemble_link_command(std::u16string_view registered_command,
                                     std::u16string_view target) {
  // The quoted form is looked for first, anywhere in the line: a bare "%1" earlier on does not
  // win over a quoted one later, and cutting at the quote keeps the command from ending in an
  // unbalanced quote.
  std::size_t cut = registered_command.find(u"\"%1\"");
  if (cut == std::u16string_view::npos) {
    cut = registered_command.find(u"%1");
  }
  const std::u16string_view head = registered_command.substr(0, cut);

  std::u16string line;
  line.reserve(head.size() + 1 + target.size());
  line.append(head);
  line.push_back(u' ');
  line.append(target);
  return line;
}

}  // namespace densilo::core
