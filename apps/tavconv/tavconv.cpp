#include "tavconv.h"

#include <variant>

#include "cli_ui.h"
#include "command_line.h"
#include "platform/paths.h"
#include "program.h"

namespace tav {

int RunTavconv(const std::vector<std::filesystem::path>& args, std::ostream& out,
               std::ostream& errors, FileSystem& files) {
  const std::variant<CommandLine, int> parsed = ParseCommandLine(args, out, errors);
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  const CommandLine& line = std::get<CommandLine>(parsed);
  if (line.output != CommandLine::Output::Eml) {
    errors << "tavconv: --mime, --mbox and --maildir are not built in this branch\n";
    return kExitUsage;
  }

  CliUi ui(errors, line.dirNameLen);
  for (const std::filesystem::path& log : line.logs) {
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
