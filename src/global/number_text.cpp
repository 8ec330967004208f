#include "global/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tav {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::size_t SkipDigits(std::string_view text, std::size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

}  // namespace

double ReadLeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t digits = i;
  i = SkipDigits(text, i);
  if (i == digits) return 0;
  if (i + 1 < text.size() && text[i] == '.' && IsDigit(text[i + 1])) i = SkipDigits(text, i + 1);
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t e = i + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    if (e < text.size() && IsDigit(text[e])) i = SkipDigits(text, e);
  }

  // from_chars does not take a leading plus sign.
  std::size_t from = start;
  if (text[from] == '+') ++from;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data() + from, text.data() + i, value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Either far too large or far too small: tell them apart by the exponent's sign.
    const std::string_view number = text.substr(from, i - from);
    const std::size_t exponent = number.find_first_of("eE");
    const bool tiny = exponent != std::string_view::npos && exponent + 1 < number.size() &&
                      number[exponent + 1] == '-';
    const bool negative = number.front() == '-';
    if (tiny) return 0;
    return negative ? -std::numeric_limits<double>::infinity()
                    : std::numeric_limits<double>::infinity();
  }
  // The default rounding mode rounds an exact half to the even neighbour.
  return std::nearbyint(value);
}

std::optional<std::int16_t> ToInt16(double value) {
  if (!(value >= std::numeric_limits<std::int16_t>::min() &&
        value <= std::numeric_limits<std::int16_t>::max())) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(value);
}

}  // namespace tav
