// The file names of the archive: a folder per section (folder name) and a
// stem per message, made from the texts the identifiers of the standard
// mail form are made of. Names hold no uppercase letter, so they stay
// distinct on file systems that ignore case, and never name a Windows device.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tav {

// `text` as it stands when it is lowercase ASCII letters, digits and hyphens
// (no hyphen first) and no device name; otherwise "_" and the lowercase
// hexadecimal of its bytes. Never empty.
std::string SafeName(std::string_view utf8);

// The folder of a section: SafeName of the folder name (UTF-8).
inline std::string SectionTag(std::string_view folderName) {
  return SafeName(folderName);
}

// The stem of message `number` (code page 932): SafeName of its decoding.
std::string NumberStem(std::string_view number);

// The stem of a message that is not the first of its folder name and
// number: the number's stem, "-" and 16 hexadecimal digits of `digest`.
std::string DigestStem(std::string_view numberStem, std::uint64_t digest);

}  // namespace tav
