#include "global/number_text.h"

#include <fast_float/fast_float.h>

#include <algorithm>
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

// For a number that from_chars finds out of range (newer fast_float versions
// say so; older ones give infinity or zero): true when it is far too small
// rather than far too large. That follows from the decimal exponent of
// its first non-zero digit plus its written exponent, not from the written
// exponent alone ("0.000...01" is tiny, "1000...0e-300" is huge).
bool IsTooSmall(std::string_view number) {
  std::size_t i = number.front() == '-' ? 1 : 0;
  const std::size_t integerStart = i;
  i = SkipDigits(number, i);
  const std::string_view integer = number.substr(integerStart, i - integerStart);
  std::string_view fraction;
  if (i < number.size() && number[i] == '.') {
    const std::size_t fractionStart = i + 1;
    i = SkipDigits(number, fractionStart);
    fraction = number.substr(fractionStart, i - fractionStart);
  }
  std::int64_t lead = 0;
  if (const std::size_t first = integer.find_first_not_of('0'); first != std::string_view::npos) {
    lead = static_cast<std::int64_t>(integer.size() - first) - 1;
  } else if (const std::size_t firstInFraction = fraction.find_first_not_of('0');
             firstInFraction != std::string_view::npos) {
    lead = -static_cast<std::int64_t>(firstInFraction) - 1;
  } else {
    return true;  // zero
  }
  // The written exponent, held within a bound far beyond any double.
  constexpr std::int64_t kBound = 1'000'000'000'000;
  std::int64_t exponent = 0;
  if (i < number.size()) {
    ++i;  // e or E
    const bool negativeExponent = number[i] == '-';
    if (number[i] == '+' || number[i] == '-') ++i;
    for (; i < number.size(); ++i) exponent = std::min(exponent * 10 + (number[i] - '0'), kBound);
    if (negativeExponent) exponent = -exponent;
  }
  return lead + exponent < 0;
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

  // fast_float reads as std::from_chars does (exactly, to the nearest
  // double), and also where the standard library lacks from_chars for
  // double (libc++, the library of macOS). It takes no leading plus sign.
  std::size_t from = start;
  if (text[from] == '+') ++from;
  double value = 0;
  const auto [end, error] = fast_float::from_chars(text.data() + from, text.data() + i, value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    const std::string_view number = text.substr(from, i - from);
    const bool negative = number.front() == '-';
    if (IsTooSmall(number)) return 0;
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
