#include "convert/log_report.h"

namespace tav {

bool LogEvent::IsFailure() const {
  switch (kind) {
    case LogEventKind::NotALog:
    case LogEventKind::FolderReused:
    case LogEventKind::BytesReplaced:
    case LogEventKind::TitleEntriesPassedOver:
    case LogEventKind::MessageReplaced:
      return false;
    case LogEventKind::Unreadable:
    case LogEventKind::FolderNameUnsafe:
    case LogEventKind::FolderIsAFile:
    case LogEventKind::FolderUnusable:
    case LogEventKind::WriteFailed:
    case LogEventKind::NumberNotWritten:
      break;
  }
  return true;
}

std::vector<LogEvent> DescribeLog(const std::filesystem::path& logPath, const LogResult& result) {
  std::vector<LogEvent> events;
  ForEachLogEvent(logPath, result, [&](const LogEvent& event) { events.push_back(event); });
  return events;
}

void ForEachLogEvent(const std::filesystem::path& logPath, const LogResult& result,
                     const std::function<void(const LogEvent&)>& tell) {
  auto failure = [&](LogEventKind kind, const std::filesystem::path& file) {
    tell({kind, file, result.reason, {}, 0});
  };
  switch (result.outcome) {
    case LogOutcome::Converted:
    case LogOutcome::Declined:
    case LogOutcome::Stopped:
      break;
    case LogOutcome::NotALog:
      failure(LogEventKind::NotALog, logPath);
      break;
    case LogOutcome::Unreadable:
      failure(LogEventKind::Unreadable, result.failedFile);
      break;
    case LogOutcome::FolderNameUnsafe:
      failure(LogEventKind::FolderNameUnsafe, result.failedFile);
      break;
    case LogOutcome::FolderIsAFile:
      failure(LogEventKind::FolderIsAFile, result.failedFile);
      break;
    case LogOutcome::FolderUnusable:
      failure(LogEventKind::FolderUnusable, result.failedFile);
      break;
    case LogOutcome::WriteFailed:
      failure(LogEventKind::WriteFailed, result.failedFile);
      break;
  }
  if (result.folder.status == FolderStatus::Existed && result.outcome != LogOutcome::Declined) {
    tell({LogEventKind::FolderReused, result.folder.folder, {}, {}, 0});
  }
  for (const std::string& number : result.badNumbers) {
    tell({LogEventKind::NumberNotWritten, logPath, {}, number, 0});
  }
  for (const ReplacedBytes& replaced : result.replaced) {
    tell({LogEventKind::BytesReplaced, logPath, {}, replaced.msgNo, replaced.count});
  }
  for (const std::string& number : result.replacedMessages) {
    tell({LogEventKind::MessageReplaced, logPath, {}, number, 0});
  }
  if (result.titleEntriesPassedOver > 0) {
    tell({LogEventKind::TitleEntriesPassedOver, logPath, {}, {}, result.titleEntriesPassedOver});
  }
}

}  // namespace tav
