// One log from reading to the last message written, with every failure,
// an exception included, kept in the result.
#include "convert/log_converter.h"

#include <exception>
#include <new>
#include <system_error>

#include "platform/paths.h"

namespace tav {

const LogResult& LogConverter::Fail(LogOutcome outcome, const std::filesystem::path& file,
                                    std::string reason) {
  result_.outcome = outcome;
  result_.failedFile = file;
  result_.reason = std::move(reason);
  return result_;
}

bool LogConverter::FolderUsable(LogHooks& hooks) {
  const FolderOutcome& folder = result_.folder;
  switch (folder.status) {
    case FolderStatus::NotKept:
    case FolderStatus::Created:
      return true;
    case FolderStatus::Existed:
      if (hooks.UseExistingFolder(folder)) return true;
      result_.outcome = LogOutcome::Declined;
      return false;
    case FolderStatus::FileInTheWay:
      if (!hooks.UseExistingFolder(folder)) {
        result_.outcome = LogOutcome::Declined;
      } else {
        Fail(LogOutcome::FolderIsAFile, folder.folder, folder.reason);
      }
      return false;
    case FolderStatus::Unsafe:
      Fail(LogOutcome::FolderNameUnsafe, folder.folder, {});
      return false;
    case FolderStatus::Failed:
      break;
  }
  Fail(LogOutcome::FolderUnusable, folder.folder, folder.reason);
  return false;
}

const LogResult& LogConverter::ConvertLog(const LogJob& job, MailWriter& writer,
                                          LogHooks& hooks) {
  result_ = LogResult();
  const std::filesystem::path logPath = JoinPath(job.directory, job.name);
  // Where an exception would come from decides how it is reported.
  LogOutcome failure = LogOutcome::Unreadable;
  std::filesystem::path failedFile = logPath;
  try {
    if (IoResult read = log_.LoadLog(files_, logPath); !read.ok) {
      return Fail(LogOutcome::Unreadable, logPath, std::move(read.reason));
    }
    if (log_.HeaderWidth() == 0) {
      result_.outcome = LogOutcome::NotALog;
      return result_;
    }

    failure = LogOutcome::FolderUnusable;
    const std::filesystem::path folderName =
        LeadingChars(job.name, static_cast<std::size_t>(job.dirNameLen));
    failedFile = JoinPath(job.directory, folderName);
    result_.folder = writer.BeginLog({job.directory, folderName});
    if (!FolderUsable(hooks)) return result_;

    failure = LogOutcome::WriteFailed;
    failedFile = result_.folder.folder.empty() ? logPath : result_.folder.folder;
    scanner_.ConvertMessages(log_, Utf8FromPath(folderName), writer, hooks, result_);
  } catch (const std::bad_alloc&) {
    // A log too large for the memory: what it holds goes, so that the next
    // log has the memory back.
    log_.Release();
    scanner_.Release();
    return Fail(failure, failedFile, std::make_error_code(std::errc::not_enough_memory).message());
  } catch (const std::exception& error) {
    return Fail(failure, failedFile, error.what());
  }
  return result_;
}

LogScan LogConverter::ScanLog(const std::filesystem::path& logPath) {
  LogScan scan;
  scan.read = log_.LoadLog(files_, logPath);
  log_.ConfirmHeaders();
  scan.headerWidth = log_.HeaderWidth();
  scan.lines = log_.EndLine() - 1;
  for (std::size_t k = 1; k < log_.EndLine(); ++k) {
    scan.headerLines += log_.Kind(k) == LineKind::Header ? 1 : 0;
  }
  return scan;
}

}  // namespace tav
