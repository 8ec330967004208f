#include "tavconv.h"

#include <charconv>
#include <string>

#include "convert/eml_writer.h"
#include "convert/log_converter.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace tav {

namespace {

constexpr const char* kUsage =
    "usage: tavconv [--dir-name-len N] LOG...\n"
    "\n"
    "Converts each session LOG (Shift-JIS text) into one .eml file per message,\n"
    "in a folder beside the log named by the first N characters of the log's\n"
    "file name (default 3, accepted 1 to 32767). An existing folder is reused.\n"
    "\n"
    "  --dir-name-len N  characters of the log's name that name its folder\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "Exit status: 0 when every log was converted or skipped as not a log,\n"
    "1 when anything could not be read or written, 2 on a usage error.\n";

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
                    std::to_string(replaced.count) +
                    (replaced.count == 1 ? " byte" : " bytes") +
                    " that code page 932 cannot decode replaced by U+FFFD");
    }
  }

  std::ostream& errors;
  bool failed = false;
};

bool ParseDirNameLen(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end && value >= 1 && value <= 32767;
}

}  // namespace

int RunTavconv(const std::vector<std::filesystem::path>& args, std::ostream& out,
               std::ostream& errors, FileSystem& files) {
  int dirNameLen = 3;
  std::vector<std::filesystem::path> logs;
  bool optionsDone = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string arg = Utf8FromPath(args[i]);
    if (optionsDone || arg.empty() || arg[0] != '-' || arg == "-") {
      logs.push_back(args[i]);
    } else if (arg == "--") {
      optionsDone = true;
    } else if (arg == "--help" || arg == "-h") {
      out << kUsage;
      return kExitOk;
    } else if (arg == "--version") {
      out << "tavconv 1.0.8\n";
      return kExitOk;
    } else if (arg == "--dir-name-len" || arg.starts_with("--dir-name-len=")) {
      std::string value;
      if (arg == "--dir-name-len") {
        if (i + 1 == args.size()) {
          errors << "tavconv: --dir-name-len needs a number\n" << kUsage;
          return kExitUsage;
        }
        value = Utf8FromPath(args[++i]);
      } else {
        value = arg.substr(std::string("--dir-name-len=").size());
      }
      if (!ParseDirNameLen(value, dirNameLen)) {
        errors << "tavconv: --dir-name-len takes a whole number from 1 to 32767, not \"" << value
               << "\"\n";
        return kExitUsage;
      }
    } else {
      errors << "tavconv: unknown option " << arg << "\n" << kUsage;
      return kExitUsage;
    }
  }
  if (logs.empty()) {
    errors << "tavconv: no log given\n" << kUsage;
    return kExitUsage;
  }

  Report report(errors);
  LogConverter converter(files);
  EmlFolderWriter writer(files, MailForm::Raw);
  LogHooks hooks;  // no questions: an existing folder is converted into
  for (const std::filesystem::path& log : logs) {
    const LogResult& result =
        converter.ConvertLog({log.parent_path(), log.filename(), dirNameLen}, writer, hooks);
    report.Log(log, result);
    if (result.outcome == LogOutcome::Converted || result.outcome == LogOutcome::WriteFailed) {
      out << Utf8FromPath(log) << ": " << result.written
          << (result.written == 1 ? " message" : " messages") << " written to "
          << Utf8FromPath(result.folder.folder) << "\n";
    }
  }
  return report.failed ? kExitFailure : kExitOk;
}

}  // namespace tav
