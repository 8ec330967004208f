// UTF-8 <-> UTF-16 for the W functions, and the system's text for an error
// code. Windows only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tav {

// Invalid UTF-8 or UTF-16 is replaced by U+FFFD, never dropped silently.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The system's message for an error code from GetLastError, without its
// final line end, in UTF-8.
std::string SystemErrorText(DWORD error);

}  // namespace tav
