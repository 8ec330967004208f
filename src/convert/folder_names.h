// Output folder names that would put the .eml files somewhere else.
#pragma once

#include <filesystem>

namespace tav {

// True for "." and "..", a name that ends in a dot or a blank (Windows drops
// those, so the files would go into another folder), and a reserved Windows
// device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, and COM and LPT
// with a superscript 1, 2 or 3, in any case, alone or before a dot, blanks
// after it ignored). Such names are refused on every system, so a log
// converts the same way wherever it is converted.
bool IsUnsafeFolderName(const std::filesystem::path& name);

}  // namespace tav
