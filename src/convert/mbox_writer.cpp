#include "convert/mbox_writer.h"

#include <array>
#include <chrono>
#include <cstdio>

#include "mail/mail_identifiers.h"
#include "mail/message_time.h"

namespace tav {

namespace {

// Mailbox text is handed to the file a megabyte at a time.
constexpr std::size_t kFlushAt = std::size_t{1} << 20;

// " Sat Dec  4 03:34:00 1999": the date of a From_ line, in UTC; the start
// of the epoch for a message without a valid date.
void AppendFromLineDate(const MessageRecord& record, std::string& out) {
  using namespace std::chrono;
  static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr",
                                                          "May", "Jun", "Jul", "Aug",
                                                          "Sep", "Oct", "Nov", "Dec"};
  const sys_seconds when = MessageTime(record).value_or(sys_seconds{});
  const sys_days day = floor<days>(when);
  const year_month_day date{day};
  const hh_mm_ss<seconds> time{when - day};
  char text[40];
  std::snprintf(text, sizeof text, " %s %s %2u %02ld:%02ld:%02ld %d",
                kDays[weekday(day).c_encoding()], kMonths[unsigned(date.month()) - 1],
                unsigned(date.day()), static_cast<long>(time.hours().count()),
                static_cast<long>(time.minutes().count()),
                static_cast<long>(time.seconds().count()), int(date.year()));
  out += text;
}

// True when `line` is ">" any number of times, then "From ".
bool NeedsQuoting(std::string_view line) {
  const std::size_t quotes = line.find_first_not_of('>');
  return quotes != std::string_view::npos && line.substr(quotes).starts_with("From ");
}

}  // namespace

void AppendMboxMessage(const MessageRecord& record, std::string_view sender,
                       std::string_view message, std::string& mbox) {
  mbox += "From ";
  mbox += sender;
  AppendFromLineDate(record, mbox);
  mbox += '\n';
  while (!message.empty()) {
    std::size_t end = message.find("\r\n");
    if (end == std::string_view::npos) end = message.size();
    const std::string_view line = message.substr(0, end);
    if (NeedsQuoting(line)) mbox += '>';
    mbox += line;
    mbox += '\n';
    message.remove_prefix(std::min(end + 2, message.size()));
  }
  mbox += '\n';
}

IoResult MboxWriter::Open(const std::filesystem::path& file) {
  target_ = file;
  if (files_.Exists(file)) return IoResult::Failure("exists already");
  fresh_ = files_.CreateFreshFile(file.parent_path(), failure_);
  return failure_;
}

WriteResult MboxWriter::Write(const MessageRecord& message) {
  if (!failure_.ok || !fresh_) {
    return {WriteResult::Status::Failed, target_, failure_.reason, 0};
  }
  message_.clear();
  const std::size_t replaced = builder_.Append(message, message_);
  AppendMboxMessage(message, SenderAddress(message.SenderId), message_, buffer_);
  if (buffer_.size() >= kFlushAt) Flush();
  if (!failure_.ok) return {WriteResult::Status::Failed, target_, failure_.reason, replaced};
  return {WriteResult::Status::Written, target_, {}, replaced};
}

void MboxWriter::Flush() {
  if (failure_.ok && fresh_) failure_ = fresh_->Write(buffer_);
  buffer_.clear();
}

IoResult MboxWriter::Finish() {
  Flush();
  if (failure_.ok && fresh_) failure_ = fresh_->Commit(target_, false);
  fresh_.reset();  // removes the fresh file unless it was committed
  return failure_;
}

}  // namespace tav
