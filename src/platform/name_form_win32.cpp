// The composed form through the system's NormalizeString (kernel32 since
// Windows 7), which refuses an unpaired surrogate.
#include <windows.h>

#include <string>

#include "platform/name_form.h"

namespace tav {

std::filesystem::path ComposedName(const std::filesystem::path& name) {
  const std::wstring& text = name.native();
  if (text.empty()) return name;
  const int length = static_cast<int>(text.size());
  // The first call estimates the size; where the estimate falls short, the
  // call answers with a better one, and a second try takes that.
  int size = NormalizeString(NormalizationC, text.data(), length, nullptr, 0);
  for (int attempt = 0; attempt < 2 && size > 0; ++attempt) {
    std::wstring composed(static_cast<std::size_t>(size), L'\0');
    const int written = NormalizeString(NormalizationC, text.data(), length, composed.data(), size);
    if (written > 0) {
      composed.resize(static_cast<std::size_t>(written));
      return std::filesystem::path(std::move(composed));
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    size = -written;
  }
  return name;  // not valid UTF-16
}

}  // namespace tav
