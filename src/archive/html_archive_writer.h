// The writer of a web archive of every message of every log:
// `tavconv --html DIR`. Messages are gathered while the logs are read (their
// bodies in a scratch file); Finish writes the pages, the search index and
// the archive's records, and puts the new archive in place.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "archive/archive_files.h"
#include "archive/archive_model.h"
#include "archive/archive_pages.h"
#include "archive/scratch_file.h"
#include "archive/search_index.h"
#include "convert/mail_writer.h"
#include "mail/mime_message.h"
#include "platform/file_system.h"

namespace tav {

class HtmlArchiveWriter : public MailWriter {
 public:
  explicit HtmlArchiveWriter(FileSystem& files) : files_(files) {}

  // Starts on DIR: refuses a DIR that holds files that are not the
  // archive's, and reads an archive it holds, to add to it.
  IoResult Open(const std::filesystem::path& dir);
  // The archive keeps no folder per log.
  FolderOutcome BeginLog(const LogTarget&) override { return {}; }
  WriteResult Write(const MessageRecord& message) override;
  // Writes the pages and puts the archive in place; on a failure nothing of
  // this run is left and the previous archive stays as it was.
  IoResult Finish() override;
  bool failed() const { return !failure_.ok; }

 private:
  IoResult ReadPreviousArchive();
  // The pages, the search index and the records, in the staging folder.
  IoResult WritePages();
  // Every message's page and .eml, and its text for the search.
  IoResult WriteMessages(const ArchivePages& pages, const ShownFields& shown,
                         SearchIndexBuilder& search);
  // Section `s`'s thread pages, and the pages left where a thread joined another.
  IoResult WriteThreads(std::uint32_t s, const ArchiveThreads& threads, const ArchivePages& pages);
  IoResult WriteIndexes(std::uint32_t s, const ArchiveThreads& threads, const ArchivePages& pages);
  void ReadBody(std::uint32_t message, std::string& body);
  // Keeps or writes a message's .eml so that it names its final parent.
  IoResult SettleEml(std::uint32_t message);
  std::string MessageFile(std::uint32_t message, std::string_view extension) const;

  ArchiveFiles files_;
  ArchiveModel model_;
  ScratchFile bodies_;
  std::vector<bool> emlWritten_;  // per message: its .eml was written in this run
  // Per message: the parent its .eml names now (kNoMessage for none).
  std::vector<std::int32_t> emlParents_;
  MimeMessageBuilder builder_;
  std::string text_;
  std::string dir_;
  IoResult failure_;
};

}  // namespace tav
