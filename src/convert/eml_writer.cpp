// Writing one message as an RFC 822 file: five header lines, an empty line,
// the body and one more line end, in the log's own bytes.
#include "convert/convert.h"
#include "convert/eml_names.h"
#include "platform/paths.h"

namespace tav {

void Convert::WriteEml() {
  LastWriteReason.clear();
  const auto name = EmlFileName(MsgNo);
  if (!name) {
    EmlPath.clear();
    LastWrite = WriteOutcome::BadNumber;
    BadNumbers.push_back(MsgNo);  // repeats are dropped when they are reported
    return;
  }
  EmlPath = JoinPath(OutDir, *name);

  std::string& text = emlText_;
  text.clear();
  text.reserve(Body.size() + 256);
  text += "From: ";
  text += SenderName;
  text += " <";
  text += SenderId;
  text += "@";
  text += kMailDomain;
  text += ">\r\nSubject: ";
  text += Subject;
  text += "\r\nDate: ";
  text += MsgDate;
  text += " ";
  text += MsgTime;
  text += ":00 +0900\r\nMessage-Id: <";
  text += MsgNo;
  text += ">\r\nReferences: <";
  text += RefNo;
  text += ">\r\n\r\n";
  text += Body;
  text += "\r\n";

  const IoResult result = g.files.WriteWholeFile(EmlPath, text);
  if (result.ok) {
    LastWrite = WriteOutcome::Written;
    ++WrittenCount;
  } else {
    LastWrite = WriteOutcome::Failed;
    LastWriteReason = result.reason;
  }
}

}  // namespace tav
