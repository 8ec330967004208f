// Command-line arguments as byte strings for the option parser, and back,
// without losing anything: a file name must reach the conversion exactly as
// it was given, also when it is not valid text.
#pragma once

#include <filesystem>
#include <string>

namespace tav {

// The argument's own bytes on POSIX systems. On Windows its UTF-16 as
// generalized UTF-8: an unpaired surrogate becomes the three bytes UTF-8
// would give its code point, so valid text is plain UTF-8 and nothing is
// replaced.
std::string ArgumentBytes(const std::filesystem::path& argument);

// The inverse of ArgumentBytes, also for a part of its result that starts
// and ends at whole characters (an option's value after "=").
std::filesystem::path PathFromArgumentBytes(const std::string& bytes);

}  // namespace tav
