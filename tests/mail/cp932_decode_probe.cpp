// Decodes code page 932 for check_cp932_decoder.py: each line of standard
// input holds one text in hexadecimal; each line of output holds its UTF-8
// decoding in hexadecimal, a space and the number of bytes replaced, and
// " count differs" when counting alone gives another number.
#include <cstdio>
#include <iostream>
#include <string>

#include "mail/cp932_decoder.h"

int main() {
  std::string line;
  std::string bytes;
  std::string utf8;
  while (std::getline(std::cin, line)) {
    bytes.clear();
    for (std::size_t i = 0; i + 1 < line.size(); i += 2) {
      bytes += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
    }
    utf8.clear();
    const std::size_t replaced = tav::AppendCp932AsUtf8(bytes, utf8);
    for (const char c : utf8) std::printf("%02x", static_cast<unsigned char>(c));
    std::printf(" %zu%s\n", replaced,
                tav::Cp932ReplacedBytes(bytes) == replaced ? "" : " count differs");
  }
  return 0;
}
