// The thread that fills an mbox: it builds each message's text in the
// standard mail form and appends it to the mailbox's fresh file, a batch of
// messages at a time, while the conversion reads on: that is about half of
// an mbox's work. A message's identifiers are settled, and its body decoded
// (which counts the bytes replaced, for the conversion's report), before it
// is handed over.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "convert/message_registry.h"
#include "mail/message_record.h"
#include "mail/mime_message.h"
#include "platform/batch_hand_over.h"
#include "platform/file_system.h"

namespace tav {

class MboxFiller {
 public:
  // Where one message's text lies in the file.
  struct Span {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
  };

  // Starts the thread; it alone writes to `file` until Finish.
  explicit MboxFiller(FreshFile& file);
  // Waits for the thread (whatever it still has is written or dropped).
  ~MboxFiller();
  MboxFiller(const MboxFiller&) = delete;
  MboxFiller& operator=(const MboxFiller&) = delete;

  // Hands over a copy of the message, its body decoded here, and its
  // identifiers; `replaced` becomes the bytes of the body that do not
  // decode. A failure of the thread so far comes back (success while there
  // is none).
  IoResult Add(const MessageRecord& record, const PlacedMessage& placed, std::size_t& replaced);
  // Waits for every message handed over to be in the file; the first
  // failure, if any.
  IoResult Finish();

  // After Finish: where the text of each message handed over lies, in order.
  const std::vector<Span>& Spans() const { return spans_; }

 private:
  // The fields of the messages of a batch, one after another in `text`
  // (the body in UTF-8).
  enum Field {
    kFolderName,
    kMsgNo,
    kSenderId,
    kSenderName,
    kSubject,
    kMsgDate,
    kMsgTime,
    kRefNo,
    kBody,
    kDateText,
    kIdentifier,
    kParent,
    kDigest,
    kFields
  };
  struct Message {
    std::array<std::size_t, kFields> ends{};  // where each field ends in the batch's text
    std::size_t longestBodyLine = 0;
  };
  struct Batch {
    std::string text;
    std::vector<Message> messages;
  };

  // Hands the batch being filled to the thread (waiting while it has a few
  // to take already).
  void Submit();
  void Run();
  void Fill(const Batch& batch);
  void Write();

  FreshFile& file_;
  Batch filling_;  // the conversion's

  BatchHandOver<Batch> handOver_;

  std::mutex mutex_;
  IoResult failure_;  // the thread's first failure, under mutex_

  // The thread's own.
  MimeMessageBuilder builder_;
  std::string message_, sender_, buffer_;
  std::uint64_t written_ = 0;  // bytes handed to the file before buffer_
  IoResult writeFailure_;
  std::vector<Span> spans_;

  std::thread thread_;  // last: it starts once everything above is made
};

// Appends `message` (CR LF lines) to `mbox` the mboxrd way: a From_ line
// with `sender` and the message's date, every line that begins with any
// number of ">" and then "From " quoted with one more ">", LF line ends,
// and an empty line after the message.
void AppendMboxMessage(const MessageRecord& record, std::string_view sender,
                       std::string_view message, std::string& mbox);

}  // namespace tav
