#include "ui/controls/link_opener.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "ui/win/handles.h"

namespace densilo::test {
namespace {

using controls::LinkSystem;
using controls::open_link_target;

// Records every call and answers from a script.
struct FakeSystem final : LinkSystem {
  std::intptr_t shell_result = SE_ERR_NOASSOC;
  std::map<std::wstring, std::wstring> registry;  // HKEY_CLASSES_ROOT subkey -> default value
  bool run_result = true;
  std::vector<std::wstring> calls;

  std::intptr_t shell_open(const std::wstring& target, int show) override {
    calls.push_back(L"shell " + target + L" " + std::to_wstring(show));
    return shell_result;
  }
  std::optional<std::wstring> read_class_default(const std::wstring& subkey) override {
    calls.push_back(L"read " + subkey);
    const auto it = registry.find(subkey);
    if (it == registry.end()) {
      return std::nullopt;
    }
    return it->second;
  }
  bool run(const std::wstring& command_line, int show) override {
    calls.push_back(L"run [" + command_line + L"] " + std::to_wstring(show));
    return run_result;
  }
};

const std::wstring kTarget = L"https://example.org/about";
const std::wstring kShell = L"shell https://example.org/about 5";
const std::wstring kReadHtm = L"read .htm";
const std::wstring kReadCommand = L"read pagefile\\shell\\open\\command";

std::map<std::wstring, std::wstring> registered(std::wstring command) {
  return {{L".htm", L"pagefile"}, {L"pagefile\\shell\\open\\command", std::move(command)}};
}

TEST(OpenLinkTarget, CallsInOrderAndOutcome) {
  const std::wstring long_command = L"\"C:\\" + std::wstring(3000, L'b') + L".exe\" -url";
  struct Case {
    const char* name;
    std::wstring target;
    std::intptr_t shell_result;
    std::map<std::wstring, std::wstring> registry;
    bool run_result;
    bool expected;
    std::vector<std::wstring> expected_calls;
  };
  const Case cases[] = {
      {"empty target: nothing at all", L"", 42, registered(L"b.exe \"%1\""), true, false, {}},
      {"the shell opens it", kTarget, 33, registered(L"b.exe \"%1\""), true, true, {kShell}},
      {"shell fails (32): quoted placeholder, two spaces before the target",
       kTarget,
       32,
       registered(L"\"C:\\b.exe\" \"%1\""),
       true,
       true,
       {kShell, kReadHtm, kReadCommand, L"run [\"C:\\b.exe\"  https://example.org/about] 5"}},
      {"unquoted placeholder: cut there, two spaces as well",
       kTarget,
       SE_ERR_NOASSOC,
       registered(L"b.exe %1 -new"),
       true,
       true,
       {kShell, kReadHtm, kReadCommand, L"run [b.exe  https://example.org/about] 5"}},
      {"no placeholder: the whole command, one space, the target",
       kTarget,
       SE_ERR_FNF,
       registered(L"b.exe -url"),
       true,
       true,
       {kShell, kReadHtm, kReadCommand, L"run [b.exe -url https://example.org/about] 5"}},
      {"a command of any length runs whole",
       kTarget,
       0,
       registered(long_command),
       true,
       true,
       {kShell, kReadHtm, kReadCommand, L"run [" + long_command + L" " + kTarget + L"] 5"}},
      {"the command does not start",
       kTarget,
       2,
       registered(L"b.exe \"%1\""),
       false,
       false,
       {kShell, kReadHtm, kReadCommand, L"run [b.exe  https://example.org/about] 5"}},
      {"no .htm class: nothing runs", kTarget, 2, {}, true, false, {kShell, kReadHtm}},
      {"no command for the class: nothing runs",
       kTarget,
       2,
       {{L".htm", L"pagefile"}},
       true,
       false,
       {kShell, kReadHtm, kReadCommand}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSystem system;
    system.shell_result = c.shell_result;
    system.registry = c.registry;
    system.run_result = c.run_result;
    EXPECT_EQ(open_link_target(c.target, SW_SHOW, system), c.expected);
    EXPECT_EQ(system.calls, c.expected_calls);
  }
}

TEST(WindowsLinkSystem, ReadsDefaultValuesOfAnyLengthAndExpandsThem) {
  const std::wstring root = L"DensiloTestValues";
  const std::wstring long_value = L"\"C:\\" + std::wstring(1500, L'x') + L".exe\" \"%1\"";
  SetEnvironmentVariableW(L"DENSILO_BROWSER_DIR", L"C:\\Browsers");
  struct Case {
    const wchar_t* subkey;
    DWORD type;  // 0: the key exists without a default value
    std::wstring stored;
    std::optional<std::wstring> expected;
  };
  const Case cases[] = {
      {L"short", REG_SZ, L"pagefile", L"pagefile"},
      {L"long", REG_SZ, long_value, long_value},
      {L"expand", REG_EXPAND_SZ, L"%DENSILO_BROWSER_DIR%\\b.exe \"%1\"",
       L"C:\\Browsers\\b.exe \"%1\""},
      {L"empty", REG_SZ, L"", L""},
      {L"no default value", 0, L"", std::nullopt},
  };
  for (const Case& c : cases) {
    const std::wstring key = root + L"\\" + c.subkey;
    if (c.type == 0) {
      HKEY created = nullptr;
      ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                &created, nullptr),
                ERROR_SUCCESS);
      RegCloseKey(created);
    } else {
      const auto bytes = static_cast<DWORD>((c.stored.size() + 1) * sizeof(wchar_t));
      ASSERT_EQ(
          RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, c.type, c.stored.c_str(), bytes),
          ERROR_SUCCESS);
    }
  }
  controls::WindowsLinkSystem real;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.subkey);
    EXPECT_EQ(real.read_class_default(root + L"\\" + c.subkey), c.expected);
  }
  EXPECT_EQ(real.read_class_default(root + L"\\missing"), std::nullopt);
  RegDeleteTreeW(HKEY_CLASSES_ROOT, root.c_str());
  SetEnvironmentVariableW(L"DENSILO_BROWSER_DIR", nullptr);
}

// The real services, end to end: the prefix's registry names a ".htm" class whose command is
// our recorder, the shell cannot open the target, and the recorder writes the command line it
// was started with.
class RegisteredPageClass : public ::testing::Test {
 protected:
  static constexpr wchar_t kClass[] = L"DensiloTestPage";

  void SetUp() override {
    wchar_t self[MAX_PATH * 4] = {};
    const DWORD n = GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
    ASSERT_GT(n, 0u);
    std::wstring dir(self, n);
    dir.resize(dir.find_last_of(L"\\/") + 1);
    recorder_ = dir + L"record_command_line.exe";
    record_ = dir + L"recorded_command_line.txt";
    DeleteFileW(record_.c_str());
    ASSERT_NE(GetFileAttributesW(recorder_.c_str()), INVALID_FILE_ATTRIBUTES);

    old_htm_ = controls::WindowsLinkSystem{}.read_class_default(L".htm");
    set_default(L".htm", kClass);
    command_ = L"\"" + recorder_ + L"\" \"%1\"";
    set_default(std::wstring(kClass) + L"\\shell\\open\\command", command_);
    SetEnvironmentVariableW(L"DENSILO_RECORD_TO", record_.c_str());
  }

  void TearDown() override {
    SetEnvironmentVariableW(L"DENSILO_RECORD_TO", nullptr);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kClass);
    if (old_htm_) {
      set_default(L".htm", *old_htm_);
    } else {
      RegDeleteTreeW(HKEY_CLASSES_ROOT, L".htm");
    }
    DeleteFileW(record_.c_str());
  }

  static void set_default(const std::wstring& subkey, const std::wstring& value) {
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    ASSERT_EQ(
        RegSetKeyValueW(HKEY_CLASSES_ROOT, subkey.c_str(), nullptr, REG_SZ, value.c_str(), bytes),
        ERROR_SUCCESS);
  }

  // The line the recorder wrote (without its newline), once it has written it.
  std::optional<std::wstring> recorded() const {
    for (int i = 0; i < 200; ++i) {
      std::ifstream in(std::filesystem::path(record_), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), {});
      if (!bytes.empty() && bytes.size() % 2 == 0 && bytes.back() == '\0' &&
          bytes[bytes.size() - 2] == '\n') {
        std::wstring text(bytes.size() / 2 - 1, L'\0');
        std::memcpy(text.data(), bytes.data(), text.size() * 2);
        return text;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return std::nullopt;
  }

  std::wstring recorder_;
  std::wstring record_;
  std::wstring command_;
  std::optional<std::wstring> old_htm_;
};

TEST_F(RegisteredPageClass, ShellFailsAndTheRegisteredCommandRunsWithTwoSpaces) {
  // A scheme nobody registered: the shell finds no handler for it (SE_ERR_NOASSOC) and gives
  // up, while an http or https address would open in the bench's own browser.
  const std::wstring target = L"densilo-unregistered-scheme:about-the-author";
  controls::WindowsLinkSystem real;
  ASSERT_LE(real.shell_open(target, SW_SHOW), 32) << "the shell must fail for this test";
  EXPECT_EQ(real.read_class_default(L".htm"), kClass);

  ASSERT_TRUE(open_link_target(target, SW_SHOW));
  const auto line = recorded();
  ASSERT_TRUE(line.has_value()) << "the registered command did not run";
  EXPECT_EQ(*line, L"\"" + recorder_ + L"\"  " + target);
}

}  // namespace
}  // namespace densilo::test
