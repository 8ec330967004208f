#include "mail/message_time.h"

#include <array>
#include <string>
#include <string_view>

namespace tav {

namespace {

constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The number that `text` holds entirely in ASCII digits, or -1.
int Number(std::string_view text) {
  if (text.empty() || text.size() > 4) return -1;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

// Where the date line writes a four-digit year ("2030/01/05"), those four
// digits; the field readers' date reads the year as 30, that is 1930.
std::string_view FourDigitYear(const MessageRecord& record) {
  const std::string_view text = record.DateText;
  const bool fourDigits = text.size() >= 5 && text[4] == '/' && Number(text.substr(0, 4)) >= 0;
  return fourDigits ? text.substr(0, 4) : std::string_view();
}

}  // namespace

std::string MessageDate(const MessageRecord& record) {
  const std::string_view date = record.MsgDate;
  const std::string_view year = FourDigitYear(record);
  const std::size_t yearStart = date.rfind(' ');
  if (year.empty() || yearStart == std::string_view::npos) return std::string(date);
  std::string full(date.substr(0, yearStart + 1));
  full += year;
  return full;
}

std::optional<std::chrono::sys_seconds> MessageTime(const MessageRecord& record) {
  using namespace std::chrono;
  // "d Mon yyyy", as the field readers write a date; the year may be the
  // one the date line writes in four digits.
  const std::string_view date = record.MsgDate;
  const std::size_t first = date.find(' ');
  const std::size_t second = date.rfind(' ');
  if (first == std::string_view::npos || second != first + 4) return std::nullopt;
  const int day = Number(date.substr(0, first));
  const std::string_view month = date.substr(first + 1, 3);
  const std::string_view fourDigits = FourDigitYear(record);
  const int year = Number(fourDigits.empty() ? date.substr(second + 1) : fourDigits);
  std::size_t monthIndex = 0;
  while (monthIndex < kMonths.size() && kMonths[monthIndex] != month) ++monthIndex;
  const year_month_day ymd{std::chrono::year(year),
                           std::chrono::month(static_cast<unsigned>(monthIndex + 1)),
                           std::chrono::day(static_cast<unsigned>(day < 0 ? 0 : day))};
  if (day < 0 || year < 0 || monthIndex == kMonths.size() || !ymd.ok()) return std::nullopt;

  const std::string_view time = record.MsgTime;
  if (time.size() != 5 || time[2] != ':') return std::nullopt;
  const int hour = Number(time.substr(0, 2));
  const int minute = Number(time.substr(3, 2));
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return std::nullopt;

  // Japan Standard Time is nine hours ahead of UTC all year.
  return sys_days(ymd) + hours(hour) + minutes(minute) - hours(9);
}

}  // namespace tav
