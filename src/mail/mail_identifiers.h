// The sender addresses and message identifiers of the standard mail forms.
// The same inputs give the same text on every run and every system, and
// distinct inputs give distinct texts (as far as their decodings differ).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tav {

// Appends "LOCAL@tav.example.jp" for a sender ID (code page 932) without the
// blanks after it. LOCAL is the ID itself when it is a dot-atom of ASCII characters that does not
// begin with "_"; otherwise "_" and the lowercase hexadecimal of the UTF-8
// of the decoded ID (an empty ID gives "_"). Returns the number of bytes
// the decoding replaced by U+FFFD.
std::size_t AppendSenderAddress(std::string_view senderId, std::string& out);

// Appends "NUMBER.TAG@tav.example.jp", the identifier of message `number`
// (code page 932, a MsgNo or RefNo) of the output folder `folderName`
// (UTF-8), without angle brackets. NUMBER is the number itself when it is
// ASCII letters and digits only, else "_" and the lowercase hexadecimal of
// the UTF-8 of the decoded number. TAG is the folder name when it is ASCII
// letters, digits and hyphens only, else "_" and the lowercase hexadecimal of
// its bytes; a TAG that would be longer than 900 characters is "_h" and the
// FNV-1a fingerprint of the name instead. Returns the number of bytes the
// decoding replaced by U+FFFD.
std::size_t AppendMessageIdentifier(std::string_view number, std::string_view folderName,
                                    std::string& out);

// The same as new strings.
std::string SenderAddress(std::string_view senderId);
std::string MessageIdentifier(std::string_view number, std::string_view folderName);

}  // namespace tav
