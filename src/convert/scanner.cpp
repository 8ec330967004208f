// Cutting a loaded log into messages: header lines are confirmed by the
// line after them, then every confirmed header line opens one message.
#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "convert/convert.h"
#include "platform/cp932.h"

namespace tav {

void Convert::ConfirmHeaders() {
  // A header line is only one when the line after it holds a ":" and a "/"
  // (the end marker holds neither).
  for (CurLine = 0; !AtEnd();) {
    ++CurLine;
    if (HeaderFlags[CurLine] == 0) continue;
    const std::string_view next = Line(CurLine + 1);
    if (next.find(':') == std::string_view::npos || next.find('/') == std::string_view::npos) {
      HeaderFlags[CurLine] = 0;
    }
  }
}

void Convert::ConvertMessages() {
  WrittenCount = 0;
  BadNumbers.clear();

  ConfirmHeaders();

  // Message pass.
  for (CurLine = 0; !AtEnd();) {
    ++CurLine;
    if (HeaderFlags[CurLine] == 0) continue;
    ReadHeaderLine();
    ++CurLine;
    ReadDateLine();
    CollectBody();
    WriteEml();
    if (LastWrite == WriteOutcome::Failed) {
      g.ReportEmlUnwritable(EmlPath, LastWriteReason);
      if (g.Answer != kOk) {
        StopRun();
        return;
      }
      break;  // the rest of this log is skipped
    }
  }

  if (!BadNumbers.empty()) {
    // Each number once, in the order the log has them; a set keeps this
    // linear for a log with hundreds of thousands of them.
    std::unordered_set<std::string_view> seen;
    std::vector<std::string> shown;
    for (const std::string& number : BadNumbers) {
      if (seen.insert(number).second) shown.push_back(Cp932ForDisplay(number));
    }
    g.ReportBadMessageNumbers(shown);
  }
}

void Convert::CollectBody() {
  Body.clear();
  for (;;) {
    if (HeaderFlags[CurLine + 1] == 1) return;  // the next line opens the next message
    ++CurLine;
    if (AtEnd()) return;
    Body += Line(CurLine);
    Body += "\r\n";
  }
}

}  // namespace tav
