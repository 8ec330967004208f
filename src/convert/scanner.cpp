// Cutting a loaded log into messages: header lines are confirmed by the
// line after them, then every confirmed header line opens one message,
// which goes to the writer.
#include <cstring>
#include <string_view>
#include <unordered_set>

#include "convert/log_converter.h"

namespace tav {

namespace {

// How often the caller hears from a long log.
constexpr std::size_t kMessagesBetweenHooks = 256;

}  // namespace

void LogConverter::ConfirmHeaders() {
  // A header line is only one when the line after it holds a ":" and a "/"
  // (the end marker holds neither). Flags are bytes, so the next flagged
  // line is found with a byte search; the end marker's flag is 0. Flagged
  // lines are gathered a batch at a time and the lines after them fetched
  // ahead: in a large log each would otherwise be a wait on memory.
  const std::uint8_t* const flags = HeaderFlags.data();
  const std::size_t end = EndLine();
  constexpr std::size_t kBatch = 16;
  std::size_t batch[kBatch];
  for (std::size_t k = 1; k < end;) {
    std::size_t count = 0;
    for (; count < kBatch && k < end; ++k) {
      const void* hit = std::memchr(flags + k, kHeaderLine, end - k);
      if (hit == nullptr) {
        k = end;
        break;
      }
      k = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - flags);
      batch[count++] = k;
#if defined(__GNUC__)
      __builtin_prefetch(LogText.data() + LogLines[k + 1]);
#endif
    }
    for (std::size_t i = 0; i < count; ++i) {
      const std::string_view next = Line(batch[i] + 1);
      if (next.find(':') == std::string_view::npos || next.find('/') == std::string_view::npos) {
        HeaderFlags[batch[i]] = kShapeOnly;
      }
    }
  }
  CurLine = end;
}

void LogConverter::ConvertMessages(MailWriter& writer, LogHooks& hooks) {
  ConfirmHeaders();

  std::size_t messages = 0;
  for (CurLine = 0; !AtEnd();) {
    ++CurLine;
    if (HeaderFlags[CurLine] != kHeaderLine) continue;
    ReadHeaderLine();
    ++CurLine;
    ReadDateLine();
    CollectBody();

    const MessageRecord record{folderName_, MsgNo,   SenderId, SenderName, Subject,
                               MsgDate,     MsgTime, RefNo,    Body};
    const WriteResult written = writer.Write(record);
    if (written.replacedBytes > 0) result_.replaced.push_back({MsgNo, written.replacedBytes});
    if (written.status == WriteResult::Status::Written) {
      ++result_.written;
    } else if (written.status == WriteResult::Status::NumberUnusable) {
      result_.badNumbers.push_back(MsgNo);
    } else {
      // The rest of the log is skipped.
      result_.outcome = LogOutcome::WriteFailed;
      result_.failedFile = written.file;
      result_.reason = written.reason;
      break;
    }
    if (++messages % kMessagesBetweenHooks == 0) hooks.KeepResponsive();
  }

  // Each bad number once, in the order the log has them; a set keeps this
  // linear for a log with hundreds of thousands of them. Built after the
  // last number went in, as the views point into the strings.
  std::vector<std::string> unique;
  std::unordered_set<std::string_view> seen;
  for (const std::string& number : result_.badNumbers) {
    if (seen.insert(number).second) unique.push_back(number);
  }
  result_.badNumbers = std::move(unique);
}

void LogConverter::CollectBody() {
  Body.clear();
  for (;;) {
    if (HeaderFlags[CurLine + 1] == kHeaderLine) return;  // the next line opens the next message
    ++CurLine;
    if (AtEnd()) return;
    Body += ScreenedLine(CurLine);
    Body += "\r\n";
  }
}

}  // namespace tav
