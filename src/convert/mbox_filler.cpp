#include "convert/mbox_filler.h"

#include <array>
#include <bit>
#include <charconv>
#include <chrono>
#include <cstring>
#include <exception>

#include "mail/mail_identifiers.h"
#include "mail/message_time.h"

namespace tav {

namespace {

// Mailbox text is handed to the file a megabyte at a time.
constexpr std::size_t kWriteAt = std::size_t{1} << 20;
// A batch goes to the thread at this much text: enough to make the hand-over
// rare, little enough that the thread is not left with much at the end.
constexpr std::size_t kBatchText = std::size_t{256} << 10;
// Batches handed over and not yet taken: a few, so that neither side waits
// for the other at every hand-over when both go at about the same pace.
constexpr std::size_t kBatchesAhead = 4;

// Appends `value` (0 to 99) as two digits.
void AppendTwoDigits(unsigned value, std::string& out) {
  out += static_cast<char>('0' + value / 10);
  out += static_cast<char>('0' + value % 10);
}

// " Sat Dec  4 03:34:00 1999": the date of a From_ line, in UTC; the start
// of the epoch for a message without a valid date.
void AppendFromLineDate(const MessageRecord& record, std::string& out) {
  using namespace std::chrono;
  static constexpr std::array<std::string_view, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                            "Thu", "Fri", "Sat"};
  static constexpr std::array<std::string_view, 12> kMonths = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const sys_seconds when = MessageTime(record).value_or(sys_seconds{});
  const sys_days day = floor<days>(when);
  const year_month_day date{day};
  const hh_mm_ss<seconds> time{when - day};
  out += ' ';
  out += kDays[weekday(day).c_encoding()];
  out += ' ';
  out += kMonths[unsigned(date.month()) - 1];
  out += ' ';
  const unsigned dayOfMonth = unsigned(date.day());
  out += dayOfMonth < 10 ? ' ' : static_cast<char>('0' + dayOfMonth / 10);
  out += static_cast<char>('0' + dayOfMonth % 10);
  out += ' ';
  AppendTwoDigits(static_cast<unsigned>(time.hours().count()), out);
  out += ':';
  AppendTwoDigits(static_cast<unsigned>(time.minutes().count()), out);
  out += ':';
  AppendTwoDigits(static_cast<unsigned>(time.seconds().count()), out);
  out += ' ';
  char year[12];
  out.append(year, std::to_chars(year, year + sizeof year, int(date.year())).ptr);
}

// True when `line` is ">" any number of times, then "From ".
bool NeedsQuoting(std::string_view line) {
  if (line.empty() || (line.front() != '>' && line.front() != 'F')) return false;
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
  // Every line loses its CR, and a quoted line (five bytes at least) gains
  // one ">": only a last line without CR LF grows, by its ">" and LF, and
  // the empty line after the message takes one byte more. So the output
  // never runs ahead of the input by more than a byte, and eight bytes can
  // be copied at a time before it is known where the line ends.
  const std::size_t start = mbox.size();
  mbox.resize(start + message.size() + 3);
  char* out = mbox.data() + start;
  const char* in = message.data();
  const char* const end = in + message.size();
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  while (in != end) {
    // The quoting looks at the line's start only, which "From " cannot pass.
    if (NeedsQuoting({in, static_cast<std::size_t>(end - in)})) *out++ = '>';
    for (;;) {
      if (end - in >= 8) {
        std::uint64_t word;
        std::memcpy(&word, in, 8);
        std::memcpy(out, &word, 8);
        // The bytes that are CR, as high bits; the lowest is the first CR.
        const std::uint64_t x = word ^ (kOnes * '\r');
        const std::uint64_t crs = (x - kOnes) & ~x & kHighBits;
        const int before = crs == 0 ? 8 : std::countr_zero(crs) / 8;
        in += before;
        out += before;
        if (before == 8) continue;
      } else if (in != end && *in != '\r') {
        *out++ = *in++;
        continue;
      }
      if (in == end) break;  // a last line without CR LF
      if (end - in >= 2 && in[1] == '\n') {
        in += 2;
        break;
      }
      *out++ = *in++;  // a CR on its own stays
    }
    *out++ = '\n';
  }
  *out++ = '\n';
  mbox.resize(static_cast<std::size_t>(out - mbox.data()));
}

MboxFiller::MboxFiller(FreshFile& file)
    : file_(file), handOver_(kBatchesAhead), thread_([this] { Run(); }) {}

MboxFiller::~MboxFiller() {
  if (!thread_.joinable()) return;
  handOver_.Close();
  thread_.join();
}

IoResult MboxFiller::Add(const MessageRecord& record, const PlacedMessage& placed,
                         std::size_t& replaced) {
  Message& message = filling_.messages.emplace_back();
  std::string& text = filling_.text;
  std::size_t field = 0;
  for (const std::string_view value :
       {record.FolderName, record.MsgNo, record.SenderId, record.SenderName, record.Subject,
        record.MsgDate, record.MsgTime, record.RefNo}) {
    text += value;
    message.ends[field++] = text.size();
  }
  replaced = MimeMessageBuilder::DecodeBody(record, text);
  message.ends[field++] = text.size();
  for (const std::string_view value :
       {record.DateText, std::string_view(placed.identifier), std::string_view(placed.parent),
        std::string_view(placed.digest)}) {
    text += value;
    message.ends[field++] = text.size();
  }
  message.longestBodyLine = record.LongestBodyLine;
  if (text.size() >= kBatchText) Submit();
  const std::lock_guard lock(mutex_);
  return failure_;
}

void MboxFiller::Submit() {
  handOver_.Give(filling_);
  filling_.text.clear();
  filling_.messages.clear();
}

IoResult MboxFiller::Finish() {
  if (!filling_.messages.empty()) Submit();
  handOver_.Close();
  thread_.join();
  // The thread is gone: what it kept is this thread's now.
  Write();
  return failure_.ok ? writeFailure_ : failure_;
}

void MboxFiller::Run() {
  Batch batch;
  while (handOver_.Take(batch)) {
    IoResult failed;
    try {
      Fill(batch);
    } catch (const std::exception& error) {
      failed = IoResult::Failure(error.what());
    }
    {
      const std::lock_guard lock(mutex_);
      if (failure_.ok) failure_ = failed.ok ? writeFailure_ : failed;
    }
    handOver_.Return(std::move(batch));
  }
}

void MboxFiller::Fill(const Batch& batch) {
  const std::string_view text = batch.text;
  std::size_t start = 0;
  for (const Message& message : batch.messages) {
    auto field = [&](Field which) {
      const std::size_t from = which == 0 ? start : message.ends[which - 1];
      return text.substr(from, message.ends[which] - from);
    };
    // The body is in UTF-8 already.
    MessageRecord record{field(kFolderName), field(kMsgNo),   field(kSenderId),
                         field(kSenderName), field(kSubject), field(kMsgDate),
                         field(kMsgTime),    field(kRefNo),   {},
                         field(kDateText)};
    record.LongestBodyLine = message.longestBodyLine;
    message_.clear();
    builder_.Append(record, {field(kIdentifier), field(kParent), field(kDigest)}, field(kBody),
                    message_);
    sender_.clear();
    AppendSenderAddress(record.SenderId, sender_);
    Span& span = spans_.emplace_back();
    span.offset = written_ + buffer_.size();
    AppendMboxMessage(record, sender_, message_, buffer_);
    span.size = written_ + buffer_.size() - span.offset;
    if (buffer_.size() >= kWriteAt) Write();
    start = message.ends[kFields - 1];
  }
}

void MboxFiller::Write() {
  // After a failure nothing more is written; the spans are still counted.
  if (writeFailure_.ok) writeFailure_ = file_.Write(buffer_);
  written_ += buffer_.size();
  buffer_.clear();
}

}  // namespace tav
