// The style sheet and the search script of the archive, kept as files of
// their own in src/archive/assets/ and built into the program.
#pragma once

#include <string_view>

namespace tav {

extern const std::string_view kArchiveCss;
extern const std::string_view kSearchJs;

}  // namespace tav
