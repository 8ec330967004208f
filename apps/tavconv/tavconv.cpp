#include "tavconv.h"

#include <charconv>
#include <string>

#include "cli_ui.h"
#include "platform/paths.h"
#include "program.h"

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

  CliUi ui(errors, dirNameLen);
  for (const std::filesystem::path& log : logs) {
    ui.SetLog(log);
    Program program(ui, files);
    program.global.FullAuto = 1;
    program.convert.RunConversion();
    const Convert& convert = program.convert;
    if (convert.HeaderWidth == 3 || convert.HeaderWidth == 5) {
      if (convert.OutDirExisted) {
        errors << "tavconv: " << Utf8FromPath(convert.OutDir)
               << ": folder exists; converting into it\n";
      }
      out << Utf8FromPath(log) << ": " << convert.WrittenCount
          << (convert.WrittenCount == 1 ? " message" : " messages") << " written to "
          << Utf8FromPath(convert.OutDir) << "\n";
    }
  }
  return ui.failed() ? kExitFailure : kExitOk;
}

}  // namespace tav
