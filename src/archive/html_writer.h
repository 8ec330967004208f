// Writing HTML: the archive's own markup comes only from string literals,
// and every other text goes through the one escaping function, so nothing
// read from a log can reach a page as markup.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tav {

// Markup of the archive's own, written in the source: only a string literal
// converts to it.
class Markup {
 public:
  template <std::size_t N>
  consteval Markup(const char (&literal)[N]) : text_(literal, N - 1) {}
  std::string_view text() const { return text_; }

 private:
  std::string_view text_;
};

// Appends `text` (UTF-8) with &, <, >, " and ' as character references:
// safe in element content and in quoted attribute values.
void AppendEscaped(std::string_view text, std::string& out);

class HtmlWriter {
 public:
  explicit HtmlWriter(std::string& out) : out_(out) {}

  HtmlWriter& operator<<(Markup markup) {
    out_ += markup.text();
    return *this;
  }
  // Text, escaped: log text, names, and the paths and numbers the archive makes.
  HtmlWriter& Text(std::string_view text) {
    AppendEscaped(text, out_);
    return *this;
  }
  HtmlWriter& Number(std::size_t value) {
    out_ += std::to_string(value);
    return *this;
  }
  // Escaped text in which web addresses (http, https, ftp) become links
  // that open outside the archive.
  HtmlWriter& TextWithLinks(std::string_view text);

  std::string& out() { return out_; }

 private:
  std::string& out_;
};

// The length of the web address at the start of `text`, 0 when none starts
// there. Only addresses a browser and an HTML checker accept as they stand
// are taken; punctuation that ends a sentence is left out.
std::size_t WebAddressLength(std::string_view text);

}  // namespace tav
