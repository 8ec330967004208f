// Code page 932 through the system's own conversion tables, named
// explicitly: the ANSI code page of the machine may be another one.
#include <windows.h>

#include "platform/cp932.h"

namespace tav {

namespace {

constexpr UINT kCp932 = 932;

std::optional<std::wstring> Decode(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length == 0) return std::nullopt;
  std::wstring out(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, out.data(), length);
  return out;
}

std::optional<std::string> EncodeUtf8(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size, nullptr,
                                         0, nullptr, nullptr);
  if (length == 0) return std::nullopt;
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size, out.data(), length, nullptr,
                      nullptr);
  return out;
}

}  // namespace

std::optional<std::string> Cp932ToUtf8(std::string_view bytes) {
  if (HasUnassignedSingleByte(bytes)) return std::nullopt;
  const auto text = Decode(kCp932, bytes);
  if (!text) return std::nullopt;
  return EncodeUtf8(*text);
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  const auto text = Decode(CP_UTF8, utf8);
  if (!text) return std::nullopt;
  if (text->empty()) return std::string();
  const int size = static_cast<int>(text->size());
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, text->data(), size, nullptr,
                                         0, nullptr, &usedDefault);
  if (length == 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, text->data(), size, out.data(), length, nullptr,
                      &usedDefault);
  // Only exact round trips count: a character that comes back as another
  // one was a substitute, not a code page 932 character.
  if (usedDefault || Cp932ToUtf8(out) != std::optional<std::string>(std::string(utf8))) {
    return std::nullopt;
  }
  return out;
}

}  // namespace tav
