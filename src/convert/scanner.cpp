// Cutting a loaded log into messages: header lines are confirmed by the
// line after them, then every confirmed header line opens one message.
#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_set>

#include "convert/convert.h"
#include "platform/cp932.h"

namespace tav {

void Convert::ConfirmHeaders() {
  // A header line is only one when the line after it holds a ":" and a "/"
  // (the end marker holds neither). Flags are bytes of 0 or 1, so the next
  // flagged line is found with a byte search; the end marker's flag is 0.
  // Flagged lines are gathered a batch at a time and the lines after them
  // fetched ahead: in a large log each would otherwise be a wait on memory.
  const std::uint8_t* const flags = HeaderFlags.data();
  const std::size_t end = EndLine();
  constexpr std::size_t kBatch = 16;
  std::size_t batch[kBatch];
  for (std::size_t k = 1; k < end;) {
    std::size_t count = 0;
    for (; count < kBatch && k < end; ++k) {
      const void* hit = std::memchr(flags + k, 1, end - k);
      if (hit == nullptr) {
        k = end;
        break;
      }
      k = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - flags);
      batch[count++] = k;
#if defined(__GNUC__)
      __builtin_prefetch(LogText.data() + LogLines[k + 1].begin);
#endif
    }
    for (std::size_t i = 0; i < count; ++i) {
      const std::string_view next = Line(batch[i] + 1);
      if (next.find(':') == std::string_view::npos || next.find('/') == std::string_view::npos) {
        HeaderFlags[batch[i]] = 0;
      }
    }
  }
  CurLine = end;
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
    // A log cut short under its mapping has pages of zeros where its text
    // was: nothing read from it since is written, and the log is reported.
    std::string reason;
    if (!LogText.Intact(reason)) {
      g.ReportLogUnreadable(reason);
      if (g.Answer != kOk) {
        StopRun();
        return;
      }
      break;
    }
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
