// The message scanner: cuts a loaded log into messages. Every confirmed
// header line opens one message, which runs to the line before the next
// header line or to the end of the log; its fields are read, its body
// collected, and the message record handed to a writer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "convert/field_readers.h"
#include "convert/loaded_log.h"
#include "convert/log_result.h"
#include "convert/mail_writer.h"

namespace tav {

class MessageScanner {
 public:
  // Confirms the header lines of `log`, then hands each of its messages to
  // `writer`, with `folderName` (UTF-8) as the record's folder name. Counts
  // in `result` what was written and what was not; a failed write ends the
  // log (the rest of it is skipped).
  void ConvertMessages(LoadedLog& log, std::string_view folderName, MailWriter& writer,
                       LogHooks& hooks, LogResult& result);

  // Gives the memory of the last message back.
  void Release();

 private:
  // Collects the body lines after the date line at CurLine: up to the next
  // header line or the end of the log, each followed by CR LF.
  void CollectBody(LoadedLog& log);
  // Counts a failed write: the messages it says were not written after all
  // lose their count and their notices.
  void NoteFailure(const WriteResult& failed, LogResult& result);

  std::size_t CurLine = 0;
  // The message record; the storage is kept from one message to the next.
  MessageFields Fields;
  std::string_view Body;  // in the log, or in bodyCopy_
  std::string bodyCopy_;
  std::size_t longestBodyLine_ = 0;
  FieldReaders readers_;
  // For each of the log's notices (replaced bytes, replaced messages), how
  // many messages were written with the one it is about.
  std::vector<std::size_t> replacedAt_, replacedMessagesAt_;
};

}  // namespace tav
