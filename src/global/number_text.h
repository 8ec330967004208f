// Reading the number that a text begins with, as the settings file's line 2,
// the main window's number box and the options dialog's number box are read.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tav {

// Skips leading ASCII blanks and tabs, then reads an optional sign, digits,
// an optional "." with digits and an optional exponent (e or E, optional
// sign, digits); whatever follows is ignored. Text that does not begin so
// reads as 0. The value is rounded to a whole number, an exact half to the
// even neighbour; it may be too large for any integer type (even infinite).
double ReadLeadingNumber(std::string_view text);

// The value as a 16-bit signed number, or nullopt when it does not fit.
std::optional<std::int16_t> ToInt16(double value);

}  // namespace tav
