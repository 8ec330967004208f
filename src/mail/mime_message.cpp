#include "mail/mime_message.h"

#include <algorithm>

#include "mail/cp932_decoder.h"
#include "mail/header_folder.h"
#include "mail/mail_identifiers.h"
#include "mail/mail_text.h"
#include "mail/message_time.h"
#include "mail/quoted_printable.h"

namespace tav {

namespace {

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Text that a reader would not take for an encoded word.
bool HoldsNoEncodedWordStart(std::string_view text) {
  return text.find("=?") == std::string_view::npos;
}

// ASCII atoms separated by single spaces: a display name that can stand as
// it is.
bool IsPlainPhrase(std::string_view text) {
  return !text.empty() && text.front() != ' ' && text.back() != ' ' &&
         text.find("  ") == std::string_view::npos && HoldsNoEncodedWordStart(text) &&
         std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || IsAtext(c); });
}

// Printable ASCII that fits on the Subject line and reads as it stands.
bool IsPlainSubject(std::string_view text) {
  constexpr std::size_t kRoom = HeaderFolder::kLineLimit - std::string_view("Subject: ").size();
  return !text.empty() && text.size() <= kRoom && text.front() != ' ' && text.back() != ' ' &&
         HoldsNoEncodedWordStart(text) &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

}  // namespace

std::size_t MimeMessageBuilder::Append(const MessageRecord& record, std::string& out) {
  std::size_t replaced = AppendFrom(record, out);
  replaced += AppendSubject(record, out);
  replaced += AppendDate(record, out);
  replaced += AppendIdentifiers(record, out);
  replaced += AppendBody(record, out);
  return replaced;
}

std::size_t MimeMessageBuilder::AppendFrom(const MessageRecord& record, std::string& out) {
  field_.clear();
  const std::size_t replaced = AppendCp932AsUtf8(TrimSpaces(record.SenderName), field_);
  HeaderFolder from(out, "From");
  if (IsPlainPhrase(field_)) {
    // One part per atom, so the line can fold between them.
    std::string_view name = field_;
    for (std::size_t space; (space = name.find(' ')) != std::string_view::npos;) {
      from.AddPart(name.substr(0, space));
      name.remove_prefix(space + 1);
    }
    from.AddPart(name);
  } else {
    from.AddEncodedWords(field_);  // nothing for an empty name
  }
  from.BeginPart();
  out += '<';
  const std::size_t addressReplaced = AppendSenderAddress(record.SenderId, out);
  out += '>';
  from.EndPart();
  from.End();
  return replaced + addressReplaced;
}

std::size_t MimeMessageBuilder::AppendSubject(const MessageRecord& record, std::string& out) {
  field_.clear();
  const std::size_t replaced = AppendCp932AsUtf8(record.Subject, field_);
  HeaderFolder subject(out, "Subject");
  if (IsPlainSubject(field_)) {
    subject.AddPart(field_);
  } else {
    subject.AddEncodedWords(field_);  // an empty subject leaves "Subject:" alone
  }
  subject.End();
  return replaced;
}

std::size_t MimeMessageBuilder::AppendDate(const MessageRecord& record, std::string& out) {
  // Nothing is invented: without a date and a valid time there is no Date.
  if (!MessageTime(record)) return 0;
  HeaderFolder date(out, "Date");
  date.BeginPart();
  const std::size_t replaced = AppendCp932AsUtf8(record.MsgDate, out);
  out += ' ';
  out += record.MsgTime;
  out += ":00 +0900";
  date.EndPart();
  date.End();
  return replaced;
}

std::size_t MimeMessageBuilder::AppendIdentifiers(const MessageRecord& record, std::string& out) {
  auto addIdentifier = [&out](std::string_view name, std::string_view identifier) {
    HeaderFolder header(out, name);
    header.BeginPart();
    out += '<';
    out += identifier;
    out += '>';
    header.EndPart();
    header.End();
  };
  field_.clear();
  std::size_t replaced = AppendMessageIdentifier(record.MsgNo, record.FolderName, field_);
  addIdentifier("Message-Id", field_);
  if (!record.RefNo.empty()) {
    field_.clear();
    replaced += AppendMessageIdentifier(record.RefNo, record.FolderName, field_);
    addIdentifier("In-Reply-To", field_);
    addIdentifier("References", field_);
  }
  return replaced;
}

std::size_t MimeMessageBuilder::AppendBody(const MessageRecord& record, std::string& out) {
  body_.clear();
  const std::size_t replaced = AppendCp932AsUtf8(record.Body, body_);
  body_ += "\r\n";  // one more line end, as the .eml files of the default output have
  const bool quoted = NeedsQuotedPrintable(body_);
  out += "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n";
  out += quoted ? "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
                : "Content-Transfer-Encoding: 8bit\r\n\r\n";
  if (quoted) {
    AppendQuotedPrintable(body_, out);
  } else {
    out += body_;
  }
  return replaced;
}

}  // namespace tav
