// The quoted-printable transfer encoding of RFC 2045, for message bodies.
#pragma once

#include <string>
#include <string_view>

namespace tav {

// True when the text cannot travel as 8bit: a line longer than 998 bytes
// (without its CR LF), a NUL byte, or a CR or LF outside a CR LF pair.
bool NeedsQuotedPrintable(std::string_view text);

// Appends `text` quoted-printable: its CR LF pairs stay line breaks; "=",
// control characters and bytes above 0x7E are written =XX, and so are a
// space or tab at a line's end; soft line breaks ("=" CR LF) keep every line
// within 76 characters.
void AppendQuotedPrintable(std::string_view text, std::string& out);

}  // namespace tav
