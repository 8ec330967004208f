// The composed form of file names. A name can reach the program composed
// ("ガ" as U+30AC, as Windows and most Linux tools write it) or decomposed
// ("カ" and U+3099, as HFS+ volumes and many Mac copying tools leave it);
// output folder names and message identifiers are taken from the composed
// form, so that both give the same folder on every system.
#pragma once

#include <filesystem>

namespace tav {

// `name` in Unicode normalization form C (NFC). A name that is not valid
// text (bytes that are not UTF-8 on POSIX, an unpaired UTF-16 surrogate on
// Windows) is returned as it is.
std::filesystem::path ComposedName(const std::filesystem::path& name);

}  // namespace tav
