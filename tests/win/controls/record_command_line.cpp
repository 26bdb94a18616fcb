// Stands in for a browser in the link tests: writes the command line it was started with, as
// UTF-16 followed by a newline, to the file named by DENSILO_RECORD_TO.
#include <windows.h>

#include <string>

int wmain() {
  wchar_t path[MAX_PATH * 4] = {};
  if (GetEnvironmentVariableW(L"DENSILO_RECORD_TO", path, MAX_PATH * 4) == 0) {
    return 2;
  }
  const std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
  // Written under another name and renamed, so a reader never sees half of it.
  const std::wstring partial = std::wstring(path) + L".partial";
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return 1;
  }
  DWORD written = 0;
  const BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)),
                            &written, nullptr);
  CloseHandle(file);
  if (!ok || !MoveFileExW(partial.c_str(), path, MOVEFILE_REPLACE_EXISTING)) {
    return 1;
  }
  return 0;
}
