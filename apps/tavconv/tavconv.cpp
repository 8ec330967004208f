#include "tavconv.h"

#include <memory>
#include <string>
#include <variant>

#include "archive/html_archive_writer.h"
#include "command_line.h"
#include "convert/eml_writer.h"
#include "convert/log_converter.h"
#include "convert/log_report.h"
#include "convert/maildir_writer.h"
#include "convert/mbox_writer.h"
#include "platform/cp932.h"
#include "platform/interrupts.h"
#include "platform/paths.h"

namespace tav {

namespace {

// Tells what happened to each log on the error stream, one line per problem,
// and remembers whether anything could not be read or written.
struct Report {
  // The error stream is unbuffered: a log's lines (tens of thousands where
  // messages replace others) go out a block at a time, not a piece at a time.
  static constexpr std::size_t kBlock = std::size_t{64} << 10;

  explicit Report(std::ostream& stream) : errors(stream) {}

  void Line(const std::filesystem::path& subject, const std::string& what) {
    pending += "tavconv: ";
    pending += Utf8FromPath(subject);
    pending += ": ";
    pending += what;
    pending += '\n';
    if (pending.size() >= kBlock) Flush();
  }
  void Flush() {
    errors << pending;
    pending.clear();
  }
  void Problem(const std::filesystem::path& subject, const std::string& what) {
    Line(subject, what);
    Flush();
    failed = true;
  }

  void Log(const std::filesystem::path& log, const LogResult& result) {
    ForEachLogEvent(log, result, [&](const LogEvent& event) {
      Line(event.file, Text(event));
      if (event.IsFailure()) failed = true;
    });
    Flush();
  }

  static std::string Text(const LogEvent& event) {
    switch (event.kind) {
      case LogEventKind::NotALog:
        return "no message header lines; skipped";
      case LogEventKind::Unreadable:
        return "cannot read: " + event.reason;
      case LogEventKind::FolderNameUnsafe:
        return "unusable output folder name (\".\", \"..\", a final dot or blank, or a device "
               "name); log skipped";
      case LogEventKind::FolderIsAFile:
        return "cannot create the output folder: a file of that name is there (" + event.reason +
               "); log skipped";
      case LogEventKind::FolderUnusable:
        return "cannot create the output folder: " + event.reason + "; log skipped";
      case LogEventKind::WriteFailed:
        return "cannot write: " + event.reason + "; rest of the log skipped";
      case LogEventKind::FolderReused:
        return "folder exists; converting into it";
      case LogEventKind::NumberNotWritten:
        return "message number \"" + Cp932ForDisplay(event.number) +
               "\" cannot stand as a file name; message not written";
      case LogEventKind::BytesReplaced:
        return "message " + Cp932ForDisplay(event.number) + ": " + std::to_string(event.count) +
               (event.count == 1 ? " byte" : " bytes") +
               " that code page 932 cannot decode replaced by U+FFFD";
      case LogEventKind::TitleEntriesPassedOver:
        return std::to_string(event.count) +
               (event.count == 1 ? " title-list entry" : " title-list entries") +
               " passed over (no message read)";
      case LogEventKind::MessageReplaced:
        return "message " + Cp932ForDisplay(event.number) +
               ": its file held a different message of that number, now replaced";
    }
    return {};
  }

  std::ostream& errors;
  std::string pending;  // lines not yet written
  bool failed = false;
};

// What one log's conversion put where, for the line on the output stream.
struct Written {
  std::filesystem::path log;
  std::size_t messages = 0;
  std::filesystem::path where;
};

std::ostream& operator<<(std::ostream& out, const Written& written) {
  return out << Utf8FromPath(written.log) << ": " << written.messages
             << (written.messages == 1 ? " message" : " messages") << " written to "
             << Utf8FromPath(written.where) << "\n";
}

// The command line asks no questions: an existing folder is converted
// into. A signal stops the run at the next message.
class CommandLineHooks : public LogHooks {
 public:
  bool ShouldStop() override { return InterruptSignal() != 0; }
};

// Converts every log into `writer`, reporting each; returns what was written
// where. `destination` is where the messages go when the writer keeps no
// folder per log; once `stopped` says the writer can take no more, or a
// signal asks to stop, no further log is converted.
template <typename Stopped>
std::vector<Written> ConvertLogs(const CommandLine& line, MailWriter& writer,
                                 const std::filesystem::path& destination, FileSystem& files,
                                 Report& report, Stopped stopped) {
  std::vector<Written> written;
  LogConverter converter(files);
  CommandLineHooks hooks;
  for (const std::filesystem::path& log : line.logs) {
    if (InterruptSignal() != 0) break;
    const LogResult& result =
        converter.ConvertLog({log.parent_path(), log.filename(), line.dirNameLen}, writer, hooks);
    report.Log(log, result);
    if (result.outcome == LogOutcome::Converted || result.outcome == LogOutcome::WriteFailed) {
      written.push_back(
          {log, result.written, destination.empty() ? result.folder.folder : destination});
    }
    if (stopped()) break;
  }
  return written;
}

// Converts the logs into `writer` and finishes it; prints what was written
// once it is all in place. A run a signal stopped finishes nothing: what
// was complete stays, the writer's fresh files go with it.
template <typename Stopped>
void ConvertAndFinish(const CommandLine& line, MailWriter& writer,
                      const std::filesystem::path& destination, FileSystem& files, Report& report,
                      std::ostream& out, Stopped stopped, const std::string& finishFailure) {
  const std::vector<Written> written =
      ConvertLogs(line, writer, destination, files, report, stopped);
  if (InterruptSignal() != 0) return;
  if (const IoResult finished = writer.Finish(); !finished.ok) {
    report.Problem(destination.empty() ? line.logs.back() : destination,
                   finishFailure + finished.reason);
    if (!destination.empty() && stopped()) return;  // a mailbox that is not there
  }
  for (const Written& log : written) out << log;
}

}  // namespace

int RunTavconv(const std::vector<std::filesystem::path>& args, std::ostream& out,
               std::ostream& errors, FileSystem& files) {
  const std::variant<CommandLine, int> parsed = ParseCommandLine(args, out, errors);
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  const CommandLine& line = std::get<CommandLine>(parsed);

  Report report(errors);
  const auto never = [] { return false; };
  switch (line.output) {
    case CommandLine::Output::Eml:
    case CommandLine::Output::Mime: {
      EmlFolderWriter writer(files, line.output == CommandLine::Output::Eml ? MailForm::Raw
                                                                             : MailForm::Mime);
      ConvertAndFinish(line, writer, {}, files, report, out, never, "cannot write: ");
      break;
    }
    case CommandLine::Output::Mbox: {
      MboxWriter writer(files);
      if (const IoResult opened = writer.Open(line.target); !opened.ok) {
        report.Problem(line.target, opened.reason + "; nothing converted");
        break;
      }
      // One file holds every message: once it cannot be written, no log is,
      // and no message is written until the file is in place.
      ConvertAndFinish(line, writer, line.target, files, report, out,
                       [&] { return writer.failed(); }, "not written: ");
      break;
    }
    case CommandLine::Output::Maildir: {
      MaildirWriter writer(files);
      if (const IoResult opened = writer.Open(line.target); !opened.ok) {
        report.Problem(line.target, "cannot make the Maildir: " + opened.reason);
        break;
      }
      ConvertAndFinish(line, writer, line.target, files, report, out, never, "cannot write: ");
      break;
    }
    case CommandLine::Output::Html: {
      HtmlArchiveWriter writer(files);
      if (const IoResult opened = writer.Open(line.target); !opened.ok) {
        report.Problem(line.target, opened.reason);
        break;
      }
      // The archive is put in place only once it is complete, as a whole.
      ConvertAndFinish(line, writer, line.target, files, report, out,
                       [&] { return writer.failed(); }, "not written: ");
      break;
    }
  }
  // A report that did not reach its reader (a full disk, a closed pipe) is
  // a failure too.
  out.flush();
  errors.flush();
  if (out.fail() || errors.fail()) return kExitFailure;
  return report.failed ? kExitFailure : kExitOk;
}

}  // namespace tav
