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

const LogResult& LogConverter::ConvertLog(const LogJob& job, MailWriter& writer,
                                          LogHooks& hooks) {
  result_ = LogResult();
  const std::filesystem::path logPath = JoinPath(job.directory, job.name);
  // Where an exception would come from decides how it is reported.
  LogOutcome failure = LogOutcome::Unreadable;
  std::filesystem::path failedFile = logPath;
  try {
    if (IoResult read = LoadLog(logPath); !read.ok) {
      return Fail(LogOutcome::Unreadable, logPath, std::move(read.reason));
    }
    if (HeaderWidth == 0) {
      result_.outcome = LogOutcome::NotALog;
      return result_;
    }

    failure = LogOutcome::FolderUnusable;
    const std::filesystem::path folderName =
        LeadingChars(job.name, static_cast<std::size_t>(job.dirNameLen));
    failedFile = JoinPath(job.directory, folderName);
    folderName_ = Utf8FromPath(folderName);
    result_.folder = writer.BeginLog({job.directory, folderName});
    const FolderOutcome& folder = result_.folder;
    switch (folder.status) {
      case FolderStatus::NotKept:
      case FolderStatus::Created:
        break;
      case FolderStatus::Existed:
        if (!hooks.UseExistingFolder(folder)) result_.outcome = LogOutcome::Declined;
        break;
      case FolderStatus::FileInTheWay:
        if (!hooks.UseExistingFolder(folder)) {
          result_.outcome = LogOutcome::Declined;
          break;
        }
        return Fail(LogOutcome::FolderUnusable, folder.folder, folder.reason);
      case FolderStatus::Unsafe:
        return Fail(LogOutcome::FolderNameUnsafe, folder.folder, {});
      case FolderStatus::Failed:
        return Fail(LogOutcome::FolderUnusable, folder.folder, folder.reason);
    }
    if (result_.outcome == LogOutcome::Declined) return result_;

    failure = LogOutcome::WriteFailed;
    failedFile = folder.folder.empty() ? logPath : folder.folder;
    ConvertMessages(writer, hooks);
  } catch (const std::bad_alloc&) {
    // A log too large for the memory: what it holds goes, so that the next
    // log has the memory back.
    LogText = FileBytes();
    LogLines = decltype(LogLines)(3);  // an empty log: no line, the end marker
    HeaderFlags = decltype(HeaderFlags)(3);
    Body = std::string();
    return Fail(failure, failedFile, std::make_error_code(std::errc::not_enough_memory).message());
  } catch (const std::exception& error) {
    return Fail(failure, failedFile, error.what());
  }
  return result_;
}

}  // namespace tav
