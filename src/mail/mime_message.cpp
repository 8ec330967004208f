#include "mail/mime_message.h"

#include <algorithm>
#include <cctype>

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

// ASCII atoms separated by single spaces, each short enough to stand on a
// folded line of its own: a display name that can stand as it is. A longer
// name becomes encoded words, which fold anywhere.
bool IsPlainPhrase(std::string_view text) {
  constexpr std::size_t kLongestAtom = HeaderFolder::kLineLimit - 1;  // after the folding blank
  if (text.empty() || text.front() == ' ' || text.back() == ' ' ||
      text.find("  ") != std::string_view::npos || !HoldsNoEncodedWordStart(text) ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || IsAtext(c); })) {
    return false;
  }
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    if (end - start > kLongestAtom) return false;
    start = end + 1;
  }
  return true;
}

// Printable ASCII that fits on the Subject line and reads as it stands.
bool IsPlainSubject(std::string_view text) {
  constexpr std::size_t kRoom = HeaderFolder::kLineLimit - std::string_view("Subject: ").size();
  return !text.empty() && text.size() <= kRoom && text.front() != ' ' && text.back() != ' ' &&
         HoldsNoEncodedWordStart(text) &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

// Appends "Name: <identifier>", folded before the identifier when that makes it fit.
void AppendIdentifierField(std::string_view name, std::string_view identifier, std::string& out) {
  HeaderFolder field(out, name);
  field.BeginPart();
  out += '<';
  out += identifier;
  out += '>';
  field.EndPart();
  field.End();
}

}  // namespace

std::size_t MimeMessageBuilder::Append(const MessageRecord& record, const MessageIds& ids,
                                       std::string& out) {
  body_.clear();
  const std::size_t replaced = DecodeBody(record, body_);
  return replaced + Append(record, ids, body_, out);
}

std::size_t MimeMessageBuilder::Append(const MessageRecord& record, const MessageIds& ids,
                                       std::string_view body, std::string& out) {
  std::size_t replaced = AppendFrom(record, out);
  replaced += AppendSubject(record, out);
  replaced += AppendDate(record, out);
  AppendIdentifierField("Message-Id", ids.messageId, out);
  if (!ids.parentId.empty()) {
    AppendIdentifierField("In-Reply-To", ids.parentId, out);
    AppendIdentifierField("References", ids.parentId, out);
  }
  // The identifiers hold the numbers' decodings: their replaced bytes count.
  replaced += Cp932ReplacedBytes(record.MsgNo) + Cp932ReplacedBytes(record.RefNo);
  out += "X-TAV-Digest: ";
  out += ids.digest;
  out += "\r\n";
  AppendBody(record, body, out);
  return replaced;
}

std::size_t MimeMessageBuilder::DecodeBody(const MessageRecord& record, std::string& out) {
  const std::size_t replaced = AppendCp932AsUtf8(record.Body, out);
  out += "\r\n";  // one more line end, as the .eml files of the default output have
  return replaced;
}

std::size_t MimeMessageBuilder::ReplacedFieldBytes(const MessageRecord& record) {
  std::string_view senderId = record.SenderId;
  while (!senderId.empty() && senderId.back() == ' ') senderId.remove_suffix(1);
  std::size_t replaced = Cp932ReplacedBytes(TrimSpaces(record.SenderName)) +
                         Cp932ReplacedBytes(senderId) + Cp932ReplacedBytes(record.Subject) +
                         Cp932ReplacedBytes(record.MsgNo) + Cp932ReplacedBytes(record.RefNo);
  // A date the field readers wrote is ASCII, and so is the year the date
  // line adds to it: only another date can hold bytes that do not decode.
  const bool ascii = std::all_of(record.MsgDate.begin(), record.MsgDate.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (!ascii && MessageTime(record)) replaced += Cp932ReplacedBytes(MessageDate(record));
  return replaced;
}

std::string MimeMessageBuilder::Signature(const MessageRecord& record) {
  std::string lines;
  AppendFrom(record, lines);
  AppendSubject(record, lines);
  AppendDate(record, lines);
  return StoredSignature(lines);
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
  const std::size_t replaced = AppendCp932AsUtf8(MessageDate(record), out);
  out += ' ';
  out += record.MsgTime;
  out += ":00 +0900";
  date.EndPart();
  date.End();
  return replaced;
}

void MimeMessageBuilder::AppendBody(const MessageRecord& record, std::string_view body,
                                    std::string& out) {
  // Decoding leaves NUL, CR and LF as they are and makes at most three
  // bytes of one: lines the scanner measured short enough need only the
  // search for a NUL.
  constexpr std::size_t kSurelyShort = 998 / 3;
  const bool quoted = record.LongestBodyLine <= kSurelyShort
                          ? body.find('\0') != std::string_view::npos
                          : NeedsQuotedPrintable(body);
  out += "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n";
  out += quoted ? "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
                : "Content-Transfer-Encoding: 8bit\r\n\r\n";
  if (quoted) {
    AppendQuotedPrintable(body, out);
  } else {
    out += body;
  }
}

namespace {

// The header block of a message: up to its first empty line.
std::string_view HeaderBlock(std::string_view message) {
  for (std::size_t pos = 0; pos < message.size();) {
    std::size_t end = message.find('\n', pos);
    if (end == std::string_view::npos) return message;
    const std::size_t lineEnd = end > pos && message[end - 1] == '\r' ? end - 1 : end;
    if (lineEnd == pos) return message.substr(0, pos);
    pos = end + 1;
  }
  return message;
}

// The field that starts at `pos` (a line beginning with its name) ends
// before the next line that does not begin with a blank.
std::size_t FieldEnd(std::string_view block, std::size_t pos) {
  for (;;) {
    const std::size_t end = block.find('\n', pos);
    if (end == std::string_view::npos) return block.size();
    pos = end + 1;
    if (pos >= block.size() || (block[pos] != ' ' && block[pos] != '\t')) return pos;
  }
}

// Where the field `name` starts in `block`, or npos.
std::size_t FieldStart(std::string_view block, std::string_view name) {
  for (std::size_t pos = 0; pos < block.size(); pos = FieldEnd(block, pos)) {
    const std::string_view line = block.substr(pos);
    if (line.size() > name.size() && line[name.size()] == ':' &&
        std::equal(name.begin(), name.end(), line.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) ==
                 std::tolower(static_cast<unsigned char>(b));
        })) {
      return pos;
    }
  }
  return std::string_view::npos;
}

}  // namespace

std::optional<std::string> HeaderField(std::string_view message, std::string_view name) {
  const std::string_view block = HeaderBlock(message);
  const std::size_t start = FieldStart(block, name);
  if (start == std::string_view::npos) return std::nullopt;
  std::string value;
  const std::string_view field =
      block.substr(start + name.size() + 1, FieldEnd(block, start) - start - name.size() - 1);
  for (const char c : field) {
    if (c != '\r' && c != '\n') value += c;  // unfolding: the line breaks go, the blanks stay
  }
  if (!value.empty() && value.front() == ' ') value.erase(0, 1);
  return value;
}

std::string StoredSignature(std::string_view message) {
  std::string signature;
  for (const std::string_view name : {"From", "Subject", "Date"}) {
    signature += HeaderField(message, name).value_or("(none)");
    signature += '\n';
  }
  return signature;
}

bool SetParentIdentifier(std::string& message, std::string_view parentId,
                         std::string_view lineEnd) {
  // The replies' fields go first, wherever they are.
  for (const std::string_view name : {"In-Reply-To", "References"}) {
    const std::string_view block = HeaderBlock(message);
    const std::size_t start = FieldStart(block, name);
    if (start != std::string_view::npos) message.erase(start, FieldEnd(block, start) - start);
  }
  const std::string_view block = HeaderBlock(message);
  const std::size_t idStart = FieldStart(block, "Message-Id");
  if (idStart == std::string_view::npos) return false;
  if (parentId.empty()) return true;
  std::string fields;
  AppendIdentifierField("In-Reply-To", parentId, fields);
  AppendIdentifierField("References", parentId, fields);
  if (lineEnd != "\r\n") {
    std::string converted;
    for (std::size_t pos = 0; pos < fields.size();) {
      const std::size_t end = fields.find("\r\n", pos);
      converted.append(fields, pos, end - pos);
      converted += lineEnd;
      pos = end + 2;
    }
    fields = std::move(converted);
  }
  message.insert(FieldEnd(block, idStart), fields);
  return true;
}

}  // namespace tav
