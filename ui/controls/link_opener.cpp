#include "ui/controls/link_opener.h"

#include <shellapi.h>

#include "ui/core/link_command.h"
#include "ui/win/handles.h"

namespace densilo::controls {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");

std::u16string to_u16(std::wstring_view text) {
  return {text.begin(), text.end()};
}
std::wstring to_wide(std::u16string_view text) {
  return {text.begin(), text.end()};
}

}  // namespace

std::intptr_t WindowsLinkSystem::shell_open(const std::wstring& target, int show) {
  // The shell is loaded at the first press, not with the program: it drags in COM and more,
  // about a megabyte of working set that a run without a press never needs. It stays loaded,
  // since what the shell started may still be running in it.
  const HMODULE shell = LoadLibraryW(L"shell32.dll");
  if (!shell) {
    return 0;
  }
  // Through a plain function pointer type, the way GetProcAddress results are meant to be cast.
  const auto execute = reinterpret_cast<decltype(&ShellExecuteW)>(
      reinterpret_cast<void (*)()>(GetProcAddress(shell, "ShellExecuteW")));
  if (!execute) {
    return 0;
  }
  const HINSTANCE result = execute(nullptr, L"open", target.c_str(), nullptr, nullptr, show);
  return reinterpret_cast<std::intptr_t>(result);
}

std::optional<std::wstring> WindowsLinkSystem::read_class_default(const std::wstring& subkey) {
  // RRF_RT_REG_SZ also accepts REG_EXPAND_SZ and expands it. The size is asked first and the
  // read repeated if the value grew in between, so any length fits.
  constexpr DWORD kFlags = RRF_RT_REG_SZ;
  DWORD bytes = 0;
  LSTATUS status =
      RegGetValueW(HKEY_CLASSES_ROOT, subkey.c_str(), nullptr, kFlags, nullptr, nullptr, &bytes);
  for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS; ++attempt) {
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    status = RegGetValueW(HKEY_CLASSES_ROOT, subkey.c_str(), nullptr, kFlags, nullptr, value.data(),
                          &size);
    if (status == ERROR_SUCCESS) {
      value.resize(wcsnlen(value.c_str(), value.size()));
      return value;
    }
    if (status == ERROR_MORE_DATA) {
      bytes = size;
      status = ERROR_SUCCESS;
    }
  }
  return std::nullopt;
}

bool WindowsLinkSystem::run(const std::wstring& command_line, int show) {
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::wstring mutable_line = command_line;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, mutable_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  const win::unique_handle process_handle(process.hProcess);
  const win::unique_handle thread_handle(process.hThread);
  return true;
}

bool open_link_target(std::wstring_view target, int show, LinkSystem& system) {
  if (target.empty()) {
    return false;
  }
  const std::wstring file(target);
  if (system.shell_open(file, show) > 32) {
    return true;
  }
  const std::optional<std::wstring> file_class = system.read_class_default(L".htm");
  if (!file_class) {
    return false;
  }
  const std::optional<std::wstring> command =
      system.read_class_default(*file_class + L"\\shell\\open\\command");
  if (!command) {
    return false;
  }
  return system.run(to_wide(core::assemble_link_command(to_u16(*command), to_u16(file))), show);
}

bool open_link_target(std::wstring_view target, int show) {
  WindowsLinkSystem system;
  return open_link_target(target, show, system);
}

}  // namespace densilo::controls
