#include "tavconv.h"

#include <memory>
#include <string>
#include <variant>

#include "command_line.h"
#include "convert/eml_writer.h"
#include "convert/log_converter.h"
#include "convert/log_report.h"
#include "convert/maildir_writer.h"
#include "convert/mbox_writer.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace tav {

namespace {

// Tells what happened to each log on the error stream, one line per problem,
// and remembers whether anything could not be read or written.
struct Report {
  explicit Report(std::ostream& stream) : errors(stream) {}

  void Line(const std::filesystem::path& subject, const std::string& what) {
    errors << "tavconv: " << Utf8FromPath(subject) << ": " << what << '\n';
  }
  void Problem(const std::filesystem::path& subject, const std::string& what) {
    Line(subject, what);
    failed = true;
  }

  void Log(const std::filesystem::path& log, const LogResult& result) {
    for (const LogEvent& event : DescribeLog(log, result)) {
      Line(event.file, Text(event));
      if (event.IsFailure()) failed = true;
    }
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
    }
    return {};
  }

  std::ostream& errors;
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

// Converts every log into `writer`, reporting each; returns what was written
// where. `destination` is where the messages go when the writer keeps no
// folder per log; once `stopped` says the writer can take no more, no
// further log is converted.
template <typename Stopped>
std::vector<Written> ConvertLogs(const CommandLine& line, MailWriter& writer,
                                 const std::filesystem::path& destination, FileSystem& files,
                                 Report& report, Stopped stopped) {
  std::vector<Written> written;
  LogConverter converter(files);
  LogHooks hooks;  // no questions: an existing folder is converted into
  for (const std::filesystem::path& log : line.logs) {
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

void Print(std::ostream& out, const std::vector<Written>& written) {
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
      Print(out, ConvertLogs(line, writer, {}, files, report, never));
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
      const std::vector<Written> written =
          ConvertLogs(line, writer, line.target, files, report, [&] { return writer.failed(); });
      if (const IoResult finished = writer.Finish(); !finished.ok) {
        report.Problem(line.target, "not written: " + finished.reason);
        break;
      }
      Print(out, written);
      break;
    }
    case CommandLine::Output::Maildir: {
      MaildirWriter writer(files);
      if (const IoResult opened = writer.Open(line.target); !opened.ok) {
        report.Problem(line.target, "cannot make the Maildir: " + opened.reason);
        break;
      }
      Print(out, ConvertLogs(line, writer, line.target, files, report, never));
      break;
    }
  }
  return report.failed ? kExitFailure : kExitOk;
}

}  // namespace tav
