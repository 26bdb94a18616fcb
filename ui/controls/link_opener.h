// Opening a hyperlink's target: the shell's "open" first, then the command registered for
// ".htm" files with the target appended.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace densilo::controls {

// The three system services open_link_target uses, so tests can see each call it makes.
class LinkSystem {
 public:
  virtual ~LinkSystem() = default;
  // ShellExecuteW with no owner, the verb "open", the target as the file, no parameters and no
  // directory; its result as an integer (above 32 is success).
  virtual std::intptr_t shell_open(const std::wstring& target, int show) = 0;
  // The default value of HKEY_CLASSES_ROOT\<subkey>, of any length; nothing if the key or the
  // value cannot be read.
  virtual std::optional<std::wstring> read_class_default(const std::wstring& subkey) = 0;
  // Starts the command line with the show command; true if the process started.
  virtual bool run(const std::wstring& command_line, int show) = 0;
};

// The real services.
class WindowsLinkSystem final : public LinkSystem {
 public:
  std::intptr_t shell_open(const std::wstring& target, int show) override;
  std::optional<std::wstring> read_class_default(const std::wstring& subkey) override;
  bool run(const std::wstring& command_line, int show) override;
};

// Opens `target` in the user's browser; true on success. An empty target fails at once without
// any call. A failure is silent.
bool open_link_target(std::wstring_view target, int show, LinkSystem& system);
bool open_link_target(std::wstring_view target, int show);

}  // namespace densilo::controls
