#include "convert/field_readers.h"

#include "convert/rfc822_date.h"
#include "platform/cp932.h"

namespace tav {

namespace {

// "へ", which follows the number of the message replied to.
constexpr std::string_view kReplyMarker = "\x82\xD6";

// Sets `field` to the characters of `chars` (`count` of them, at most
// five) with zeros in front, five in all. Assigned in place, so the field
// keeps its storage from one message to the next.
void AssignZeroPadded(std::string& field, std::string_view chars, Col count) {
  field.assign(static_cast<std::size_t>(5 - count), '0');
  field += chars;
}

// True when the `count` columns from column `first` are ASCII digits.
bool IsAsciiDigits(const Columns& line, Col first, Col count) {
  for (Col c = first; c < first + count; ++c) {
    const std::string_view character = line.At(c);
    if (character.size() != 1 || character[0] < '0' || character[0] > '9') return false;
  }
  return true;
}

Col CharCount(std::string_view text) {
  Col count = 0;
  for (std::size_t i = 0; i < text.size(); i += CharSizeAt(text, i)) ++count;
  return count;
}

// Appends the text without its ASCII spaces. A space byte is always a
// character of its own, so this drops exactly the space characters.
void AppendWithoutSpaces(std::string& out, std::string_view text) {
  for (std::size_t space; (space = text.find(' ')) != std::string_view::npos;) {
    out += text.substr(0, space);
    text.remove_prefix(space + 1);
  }
  out += text;
}

}  // namespace

void FieldReaders::ReadHeaderLine(std::string_view text, int headerWidth, MessageFields& fields) {
  std::string& MsgNo = fields.MsgNo;
  std::string& SenderId = fields.SenderId;
  std::string& SenderName = fields.SenderName;
  std::string& Subject = fields.Subject;
  SenderId.clear();
  SenderName.clear();
  Subject.clear();
  const Col n = headerWidth;
  columns_.Assign(text);
  const Columns& line = columns_;
  const Col length = line.Count();

  const std::string_view number = line.Mid(1, n);
  AssignZeroPadded(MsgNo, number, CharCount(number));

  // Sender ID: the first non-space column from 2N + 2 to 30 (a column past
  // the end of the line counts as not a space). All spaces: no ID, and the
  // name is looked for from column 31.
  Col pos = 31;
  for (Col c = 2 * n + 2; c <= 30; ++c) {
    if (!line.IsSpace(c)) {
      SenderId = line.Mid(c, 8);
      pos = c + 8;
      break;
    }
  }

  // Name start: the next non-space column.
  Col nameStart = 0;
  for (Col c = pos; c <= length; ++c) {
    if (!line.IsSpace(c)) {
      nameStart = c;
      pos = c;
      break;
    }
  }

  // Name end: the next space, which the name keeps.
  Col nameChars = 0;
  for (Col c = pos; c <= length; ++c) {
    if (line.IsSpace(c)) {
      nameChars = c - pos + 1;
      SenderName = line.Mid(pos, nameChars);
      pos = c;
      break;
    }
  }

  // Subject. Within the first four columns after the name's end, once a
  // character has been taken, a space one or two columns on means that a
  // short second word of the name stood there: the name takes it and the
  // subject starts after it.
  Col taken = 0;
  Col c = pos;
  for (; c <= length && c - pos < 4; ++c) {
    if (taken > 0) {
      Subject += line.At(c);
      if (line.IsSpace(c + 1)) {
        SenderName = line.Mid(nameStart, nameChars + 2);
        Subject.clear();
        AppendWithoutSpaces(Subject, line.From(c + 1));
        return;
      }
      if (line.IsSpace(c + 2)) {
        SenderName = line.Mid(nameStart, nameChars + 3);
        Subject.clear();
        AppendWithoutSpaces(Subject, line.From(c + 2));
        return;
      }
    } else if (!line.IsSpace(c)) {
      Subject += line.At(c);
      ++taken;
    }
  }
  // Beyond that, every non-space character belongs to the subject.
  if (c <= length) AppendWithoutSpaces(Subject, line.From(c));
}

void FieldReaders::ReadDateLine(std::string_view text, int headerWidth, MessageFields& fields) {
  std::string& MsgDate = fields.MsgDate;
  std::string& MsgTime = fields.MsgTime;
  std::string& RefNo = fields.RefNo;
  fields.DateText.clear();
  MsgDate.clear();
  RefNo.clear();
  MsgTime.clear();
  const Col n = headerWidth;
  columns_.Assign(text);
  const Columns& line = columns_;
  const Col length = line.Count();

  for (Col c = 1; c <= length;) {
    if (line.At(c) == kReplyMarker) {
      // The N characters before the marker; fewer when the line starts sooner.
      const Col first = c - n < 1 ? 1 : c - n;
      AssignZeroPadded(RefNo, line.Mid(first, c - first), c - first);
      return;
    }
    if (c + 3 <= length && line.IsAscii(c, '/') && line.IsAscii(c + 3, '/')) {
      // A "/" in column 1 or 2 leaves no room for the year.
      MsgDate = c >= 3 ? Rfc822Date(line.Mid(c - 2, 2), line.Mid(c + 1, 2), line.Mid(c + 4, 2))
                       : std::string();
      MsgTime = line.Mid(c + 7, 5);
      // The date as written: with all four digits of a year written so
      // (four ASCII digits before the "/", no digit before them).
      const bool fourDigits = c >= 5 && IsAsciiDigits(line, c - 4, 4) &&
                              !(c >= 6 && IsAsciiDigits(line, c - 5, 1));
      fields.DateText = fourDigits ? line.Mid(c - 4, 10) : line.Mid(c - 2, 8);
      c += 13;
      continue;
    }
    ++c;
  }
}

MessageFields ReadHeaderFields(std::string_view line, int headerWidth) {
  MessageFields fields;
  FieldReaders().ReadHeaderLine(line, headerWidth, fields);
  return fields;
}

MessageFields ReadDateFields(std::string_view line, int headerWidth) {
  MessageFields fields;
  FieldReaders().ReadDateLine(line, headerWidth, fields);
  return fields;
}

}  // namespace tav
