#include "convert/mbox_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstring>

#include "mail/mail_identifiers.h"
#include "mail/message_time.h"
#include "platform/fresh_names.h"
#include "platform/paths.h"

namespace tav {

namespace {

// Mailbox text is handed to the file a megabyte at a time.
constexpr std::size_t kFlushAt = std::size_t{1} << 20;

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
  static constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr",
                                                               "May", "Jun", "Jul", "Aug",
                                                               "Sep", "Oct", "Nov", "Dec"};
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

void RemoveAbandonedFreshFiles(FileSystem& files, const std::filesystem::path& folder) {
  std::vector<FolderEntry> entries;
  if (!files.ListFolder(folder.empty() ? std::filesystem::path(".") : folder, entries).ok) return;
  for (const FolderEntry& entry : entries) {
    if (entry.isFile && FreshNames::IsFreshName(entry.name.string())) {
      files.RemoveAbandoned(JoinPath(folder, entry.name));
    }
  }
}

IoResult MboxWriter::Open(const std::filesystem::path& file) {
  target_ = file;
  if (files_.Exists(file)) return IoResult::Failure("exists already");
  RemoveAbandonedFreshFiles(files_, file.parent_path());
  fresh_ = files_.CreateFreshFile(file.parent_path(), failure_);
  return failure_;
}

WriteResult MboxWriter::Write(const MessageRecord& message) {
  if (!failure_.ok || !fresh_) {
    return {WriteResult::Status::Failed, target_, failure_.reason, 0, false};
  }
  if (message.TitleListEntry) return {WriteResult::Status::PassedOver, {}, {}, 0, false};
  const PlacedMessage& placed = registry_.Place(message);
  message_.clear();
  const std::size_t replaced =
      builder_.Append(message, {placed.identifier, placed.parent, placed.digest}, message_);
  // A message read again: its later reading stands in for the earlier one.
  if (placed.readBefore) entries_[placed.earlierSequence - 1].kept = false;
  Entry entry;
  entry.offset = flushed_ + buffer_.size();
  sender_.clear();
  AppendSenderAddress(message.SenderId, sender_);
  AppendMboxMessage(message, sender_, message_, buffer_);
  entry.size = flushed_ + buffer_.size() - entry.offset;
  entries_.push_back(entry);
  if (!placed.parentSettled) unsettled_.push_back(placed);
  if (buffer_.size() >= kFlushAt) Flush();
  if (!failure_.ok) return {WriteResult::Status::Failed, target_, failure_.reason, replaced, false};
  return {WriteResult::Status::Written, target_, {}, replaced, false};
}

void MboxWriter::Flush() {
  if (failure_.ok && fresh_) failure_ = fresh_->Write(buffer_);
  flushed_ += buffer_.size();
  buffer_.clear();
}

IoResult MboxWriter::Finish() {
  Flush();
  if (!failure_.ok || !fresh_) return failure_;
  // The parents that came later in the run, by the message's sequence.
  std::vector<std::string> parents(entries_.size());
  bool rewrite = std::any_of(entries_.begin(), entries_.end(), [](const Entry& e) { return !e.kept; });
  for (const PlacedMessage& placed : unsettled_) {
    std::string parent = registry_.FinalParent(placed);
    if (parent != placed.parent && entries_[placed.sequence - 1].kept) {
      parents[placed.sequence - 1] = std::move(parent);
      rewrite = true;
    }
  }
  if (rewrite) failure_ = Rewrite(parents);
  if (failure_.ok) failure_ = fresh_->Sync();
  if (failure_.ok) failure_ = fresh_->Commit(target_, false);
  fresh_.reset();  // removes the fresh file unless it was committed
  if (failure_.ok) failure_ = files_.SyncFolder(target_.parent_path().empty() ? "." : target_.parent_path());
  return failure_;
}

IoResult MboxWriter::Rewrite(const std::vector<std::string>& parents) {
  IoResult result;
  std::unique_ptr<FreshFile> rewritten = files_.CreateFreshFile(target_.parent_path(), result);
  if (!rewritten) return result;
  // Runs of kept messages whose parents stay are copied a few megabytes at a time.
  std::string text;
  for (std::size_t k = 0; k < entries_.size() && result.ok;) {
    if (!entries_[k].kept) {
      ++k;
      continue;
    }
    const std::uint64_t offset = entries_[k].offset;
    std::uint64_t size = entries_[k].size;
    const bool patched = !parents[k].empty();
    for (++k; !patched && k < entries_.size() && entries_[k].kept && parents[k].empty() &&
              size < kFlushAt;
         ++k) {
      size += entries_[k].size;
    }
    result = fresh_->Read(offset, static_cast<std::size_t>(size), text);
    if (result.ok && patched) SetParentIdentifier(text, parents[k - 1], "\n");
    if (result.ok) result = rewritten->Write(text);
  }
  if (result.ok) fresh_ = std::move(rewritten);  // the first fresh file goes with the old pointer
  return result;
}

}  // namespace tav
