// The mbox writer builds and writes its messages on a thread of its own, a
// batch at a time: what it leaves is what building them in turn gives.
#include <gtest/gtest.h>

#include <string>

#include "convert/mbox_filler.h"
#include "convert/mbox_writer.h"
#include "fake_file_system.h"
#include "mail/mail_identifiers.h"
#include "mail/message_identity.h"
#include "mail/mime_message.h"

namespace tav {
namespace {

TEST(MboxWriter, MessagesOfManyBatchesStandInTheirOrderAndTellTheirReplacedBytes) {
  test::FakeFileSystem files;
  files.AddFolder("/out");
  MboxWriter writer(files);
  ASSERT_TRUE(writer.Open("/out/all.mbox").ok);
  // Two megabytes of messages, each with a line to quote and a lead byte
  // that pairs with nothing.
  const std::string body = std::string(2000, 'x') + "\r\nFrom here\r\n\x82\xA0\x82\r\n";
  MimeMessageBuilder builder;
  std::string expected, message;
  for (int k = 0; k < 1000; ++k) {
    const std::string number = std::to_string(10000 + k);
    const MessageRecord record{"mai",        number,  "MNG02345", "Taro ", "Hello",
                               "4 Dec 1999", "12:34", "",         body,    "99/12/04"};
    EXPECT_EQ(writer.Write(record).replacedBytes, 1u);
    message.clear();
    builder.Append(record, {PlainIdentifier(record), "", MessageDigest(record)}, message);
    AppendMboxMessage(record, SenderAddress(record.SenderId), message, expected);
  }
  ASSERT_TRUE(writer.Finish().ok);
  EXPECT_EQ(files.Bytes("/out/all.mbox"), expected);
}

}  // namespace
}  // namespace tav
