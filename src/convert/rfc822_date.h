// The date of a date line in the form "d mmm yyyy" of RFC 822 headers.
#pragma once

#include <string>
#include <string_view>

namespace tav {

// Converts the year, month and day fields of a date written yy/mm/dd (each
// the two characters between and around the slashes, or fewer where the line
// ends) to "d mmm yyyy": 99/12/04 gives "4 Dec 1999". Each field must be one
// or two ASCII digits, blanks around them allowed, and together they must
// name a real calendar date (yy 30-99 is 19yy, 00-29 is 20yy); otherwise the
// result is empty.
std::string Rfc822Date(std::string_view year, std::string_view month, std::string_view day);

}  // namespace tav
