#include "platform/win32_shell.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "platform/win32_text.h"

namespace tav {

std::filesystem::path Win32Shell::WindowsDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const UINT length = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return {};
    // A result at least as long as the buffer is the size that is needed.
    if (length < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), length));
    buffer.resize(length + 1);
  }
}

std::filesystem::path Win32Shell::ProgramPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    // A full buffer means the path was cut: try again with a larger one.
    if (length < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

IoResult Win32Shell::StartProcess(const std::string& commandLine) {
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::wstring line = Widen(commandLine);
  line.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return IoResult::Failure(SystemErrorText(GetLastError()));
  }
  // The new process takes the foreground once its window appears.
  AllowSetForegroundWindow(process.dwProcessId);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return IoResult::Success();
}

void Win32Shell::OpenWithSystem(const std::string& target) {
  const std::wstring file = Widen(target);
  ShellExecuteW(GetDesktopWindow(), L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace tav
