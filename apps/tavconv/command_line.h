// The command line of tavconv: which output, the folder-name length and the
// logs, read by CLI11 with one convention for every option.
#pragma once

#include <filesystem>
#include <ostream>
#include <variant>
#include <vector>

namespace tav {

struct CommandLine {
  enum class Output { Eml, Mime, Mbox, Maildir, Html };

  int dirNameLen = 3;
  Output output = Output::Eml;
  std::filesystem::path target;  // the mbox file, the Maildir or the web archive; else empty
  std::vector<std::filesystem::path> logs;
};

// The parsed command line, or the exit status when it is handled (--help,
// --version: 0, written on `out`) or wrong (2, the message on `errors`).
// `args` are the arguments after the program name; paths come back exactly
// as given.
std::variant<CommandLine, int> ParseCommandLine(const std::vector<std::filesystem::path>& args,
                                                std::ostream& out, std::ostream& errors);

}  // namespace tav
