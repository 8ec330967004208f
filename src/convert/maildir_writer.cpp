#include "convert/maildir_writer.h"

#include <vector>

#include "mail/mail_identifiers.h"
#include "platform/paths.h"

namespace tav {

namespace {

// What separates a name from its flags: ":" as Maildir has it; Windows
// does not allow ":" in a file name, so "!" there.
#ifdef _WIN32
constexpr std::string_view kInfoSeparator = "!";
#else
constexpr std::string_view kInfoSeparator = ":";
#endif

IoResult MakeFolder(FileSystem& files, const std::filesystem::path& folder) {
  const DirResult made = files.MakeDirectory(folder);
  switch (made.status) {
    case DirStatus::Created:
    case DirStatus::ExistsAsFolder:
      return IoResult::Success();
    case DirStatus::ExistsAsOther:
      return IoResult::Failure(Utf8FromPath(folder) + ": not a folder");
    case DirStatus::Failed:
      break;
  }
  return IoResult::Failure(Utf8FromPath(folder) + ": " + made.reason);
}

}  // namespace

IoResult MaildirWriter::Open(const std::filesystem::path& dir) {
  tmp_ = JoinPath(dir, "tmp");
  cur_ = JoinPath(dir, "cur");
  // The folders above DIR that are missing come first, as with mkdir -p.
  std::vector<std::filesystem::path> folders = {cur_, JoinPath(dir, "new"), tmp_, dir};
  for (std::filesystem::path at = dir.parent_path(); !at.empty() && !files_.Exists(at);
       at = at.parent_path()) {
    folders.push_back(at);
    if (at == at.parent_path()) break;
  }
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
    if (IoResult made = MakeFolder(files_, *folder); !made.ok) return made;
  }
  return IoResult::Success();
}

std::string MaildirWriter::FileName(const MessageRecord& message) {
  std::string name = MessageIdentifier(message.MsgNo, message.FolderName);
  name += kInfoSeparator;
  name += "2,S";
  return name;
}

WriteResult MaildirWriter::Write(const MessageRecord& message) {
  const std::filesystem::path target = JoinPath(cur_, PathFromUtf8(FileName(message)));
  message_.clear();
  const std::size_t replaced = builder_.Append(message, message_);
  IoResult result;
  if (auto file = files_.CreateFreshFile(tmp_, result)) {
    result = file->Write(message_);
    if (result.ok) result = file->Commit(target, true);
  }
  if (!result.ok) return {WriteResult::Status::Failed, target, result.reason, replaced};
  return {WriteResult::Status::Written, target, {}, replaced};
}

}  // namespace tav
