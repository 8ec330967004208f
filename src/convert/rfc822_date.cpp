#include "convert/rfc822_date.h"

#include <optional>

namespace tav {

namespace {

// One or two ASCII digits, with ASCII blanks around them.
std::optional<int> ReadField(std::string_view field) {
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  if (field.empty() || field.size() > 2) return std::nullopt;
  int value = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::string Rfc822Date(std::string_view year, std::string_view month, std::string_view day) {
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const auto yy = ReadField(year);
  const auto mm = ReadField(month);
  const auto dd = ReadField(day);
  if (!yy || !mm || !dd) return {};
  const int fullYear = *yy >= 30 ? 1900 + *yy : 2000 + *yy;
  if (*mm < 1 || *mm > 12 || *dd < 1 || *dd > DaysInMonth(fullYear, *mm)) return {};
  // "d Mmm yyyy": the day without a leading zero, the year 1930 to 2029.
  char text[11];
  std::size_t size = 0;
  if (*dd >= 10) text[size++] = static_cast<char>('0' + *dd / 10);
  text[size++] = static_cast<char>('0' + *dd % 10);
  text[size++] = ' ';
  for (const char* m = kMonths[*mm - 1]; *m != '\0'; ++m) text[size++] = *m;
  text[size++] = ' ';
  for (int unit = 1000; unit > 0; unit /= 10)
    text[size++] = static_cast<char>('0' + fullYear / unit % 10);
  return std::string(text, size);
}

}  // namespace tav
