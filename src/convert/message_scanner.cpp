#include "convert/message_scanner.h"

#include <algorithm>
#include <unordered_set>

#include "platform/cp932.h"

namespace tav {

namespace {

// How often the caller hears from a long log.
constexpr std::size_t kMessagesBetweenHooks = 256;

// Each number once, in the order given; a set keeps this linear for a log
// with hundreds of thousands of them.
std::vector<std::string> EachOnce(const std::vector<std::string>& numbers) {
  std::vector<std::string> unique;
  std::unordered_set<std::string_view> seen;
  for (const std::string& number : numbers) {
    if (seen.insert(number).second) unique.push_back(number);
  }
  return unique;
}

// A title listing puts one title's header line right under another's, so
// the line read as the date line begins with a message-number pair: of its
// first 2N + 1 characters only column N + 1 is "/". (A real date line of a
// header line's shape, such as "00/04/12　00:02", has its "/" elsewhere.)
bool IsNumberPair(std::string_view line, int width) {
  const auto pairLength = static_cast<std::size_t>(2 * width + 1);
  std::size_t column = 1;
  for (std::size_t i = 0; i < line.size() && column <= pairLength; ++column) {
    if ((line[i] == '/') != (column == static_cast<std::size_t>(width + 1))) return false;
    i += CharSizeAt(line, i);
  }
  return column > pairLength;
}

}  // namespace

void MessageScanner::ConvertMessages(LoadedLog& log, std::string_view folderName,
                                     MailWriter& writer, LogHooks& hooks, LogResult& result) {
  log.ConfirmHeaders();
  const int width = log.HeaderWidth();
  std::size_t messages = 0;
  for (CurLine = 1; CurLine < log.EndLine(); ++CurLine) {
    if (log.Kind(CurLine) != LineKind::Header) continue;
    if (hooks.ShouldStop()) {
      result.outcome = LogOutcome::Stopped;
      break;
    }
    readers_.ReadHeaderLine(log.ScreenedLine(CurLine), width, Fields);
    ++CurLine;
    const std::string_view dateLine = log.ScreenedLine(CurLine);
    const bool titleListEntry = log.IsHeaderShaped(CurLine) && IsNumberPair(dateLine, width);
    readers_.ReadDateLine(dateLine, width, Fields);
    CollectBody(log);

    MessageRecord record{folderName,     Fields.MsgNo,   Fields.SenderId, Fields.SenderName,
                         Fields.Subject, Fields.MsgDate, Fields.MsgTime,  Fields.RefNo,
                         Body,           Fields.DateText};
    record.LongestBodyLine = longestBodyLine_;
    record.TitleListEntry = titleListEntry;
    const WriteResult written = writer.Write(record);
    if (written.status == WriteResult::Status::Failed) {
      NoteFailure(written, result);
      break;
    }
    if (written.status == WriteResult::Status::Written) {
      ++result.written;
    } else if (written.status == WriteResult::Status::PassedOver) {
      ++result.titleEntriesPassedOver;
    } else {
      result.badNumbers.push_back(Fields.MsgNo);
    }
    if (written.replacedBytes > 0) {
      result.replaced.push_back({Fields.MsgNo, written.replacedBytes});
      replacedAt_.push_back(result.written);
    }
    if (written.replacedAnother) {
      result.replacedMessages.push_back(Fields.MsgNo);
      replacedMessagesAt_.push_back(result.written);
    }
    if (++messages % kMessagesBetweenHooks == 0) hooks.KeepResponsive();
  }
  // Whatever ended the log, its files are written before its result stands.
  if (const WriteResult settled = writer.EndLog();
      settled.status == WriteResult::Status::Failed && result.outcome != LogOutcome::WriteFailed) {
    NoteFailure(settled, result);
  }
  result.badNumbers = EachOnce(result.badNumbers);
  replacedAt_.clear();
  replacedMessagesAt_.clear();
}

void MessageScanner::NoteFailure(const WriteResult& failed, LogResult& result) {
  result.outcome = LogOutcome::WriteFailed;
  result.failedFile = failed.file;
  result.reason = failed.reason;
  result.written -= std::min(failed.notWritten, result.written);
  // A notice about a message that was not written goes with it.
  while (!replacedAt_.empty() && replacedAt_.back() > result.written) {
    replacedAt_.pop_back();
    result.replaced.pop_back();
  }
  while (!replacedMessagesAt_.empty() && replacedMessagesAt_.back() > result.written) {
    replacedMessagesAt_.pop_back();
    result.replacedMessages.pop_back();
  }
}

void MessageScanner::CollectBody(LoadedLog& log) {
  const std::size_t first = CurLine + 1;
  for (;;) {
    // The next line opens the next message: CurLine stays on the last body
    // line (or on the date line when the body is empty).
    if (log.Kind(CurLine + 1) == LineKind::Header) break;
    ++CurLine;
    if (CurLine == log.EndLine()) break;
  }
  const std::size_t end = CurLine == log.EndLine() ? CurLine : CurLine + 1;
  Body = log.LinesWithCrLf(first, end, bodyCopy_, longestBodyLine_);
}

void MessageScanner::Release() {
  Fields = MessageFields();
  Body = {};
  bodyCopy_ = std::string();
}

}  // namespace tav
