#include "tavconv.h"

#include <memory>
#include <string>
#include <variant>

#include "archive/html_archive_writer.h"
#include "command_line.h"
#include "convert/eml_writer.h"
#include "convert/log_converter.h"
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
    switch (result.outcome) {
      case LogOutcome::Converted:
      case LogOutcome::Declined:
        break;
      case LogOutcome::NotALog:
        Line(log, "no message header lines; skipped");
        break;
      case LogOutcome::Unreadable:
        Problem(log, "cannot read: " + result.reason);
        break;
      case LogOutcome::FolderNameUnsafe:
        Problem(result.failedFile,
                "unusable output folder name (\".\", \"..\", a final dot or blank, or a device "
                "name); log skipped");
        break;
      case LogOutcome::FolderUnusable:
        Problem(result.failedFile,
                "cannot create the output folder: " +
                    (result.folder.status == FolderStatus::FileInTheWay
                         ? "a file of that name is there (" + result.reason + ")"
                         : result.reason) +
                    "; log skipped");
        break;
      case LogOutcome::WriteFailed:
        Problem(result.failedFile, "cannot write: " + result.reason + "; rest of the log skipped");
        break;
    }
    if (result.folder.status == FolderStatus::Existed) {
      Line(result.folder.folder, "folder exists; converting into it");
    }
    for (const std::string& number : result.badNumbers) {
      Problem(log, "message number \"" + Cp932ForDisplay(number) +
                       "\" cannot stand as a file name; message not written");
    }
    for (const ReplacedBytes& replaced : result.replaced) {
      Line(log, "message " + Cp932ForDisplay(replaced.msgNo) + ": " +
                    std::to_string(replaced.count) + (replaced.count == 1 ? " byte" : " bytes") +
                    " that code page 932 cannot decode replaced by U+FFFD");
    }
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
    case CommandLine::Output::Html: {
      HtmlArchiveWriter writer(files);
      if (const IoResult opened = writer.Open(line.target); !opened.ok) {
        report.Problem(line.target, opened.reason);
        break;
      }
      // The archive is put in place only once it is complete, as a whole.
      const std::vector<Written> written =
          ConvertLogs(line, writer, line.target, files, report, [&] { return writer.failed(); });
      if (const IoResult finished = writer.Finish(); !finished.ok) {
        report.Problem(line.target, "not written: " + finished.reason);
        break;
      }
      Print(out, written);
      break;
    }
  }
  return report.failed ? kExitFailure : kExitOk;
}

}  // namespace tav
