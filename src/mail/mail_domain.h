// The mail domain of the service's members, used in every sender address
// and message identifier.
#pragma once

#include <string_view>

namespace tav {

inline constexpr std::string_view kMailDomain = "tav.example.jp";

}  // namespace tav
