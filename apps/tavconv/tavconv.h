// The command-line converter: converts each log given, in order, as a Full
// Auto run of the main window would, without questions.
#pragma once

#include <filesystem>
#include <ostream>
#include <vector>

#include "platform/file_system.h"

namespace tav {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // something could not be read or written
inline constexpr int kExitUsage = 2;

// `args` are the arguments after the program name. Results go to `out`,
// notices and failures to `errors`.
int RunTavconv(const std::vector<std::filesystem::path>& args, std::ostream& out,
               std::ostream& errors, FileSystem& files);

}  // namespace tav
