// Character classes of Internet mail headers (RFC 5322).
#pragma once

#include <string_view>

namespace tav {

// A character of an atom: ASCII letters, digits and !#$%&'*+-/=?^_`{|}~.
constexpr bool IsAtext(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         std::string_view("!#$%&'*+-/=?^_`{|}~").find(c) != std::string_view::npos;
}

}  // namespace tav
