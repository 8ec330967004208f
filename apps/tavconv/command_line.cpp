#include "command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <memory>
#include <optional>
#include <string>

#include "argument_bytes.h"
#include "tavconv.h"

namespace tav {

namespace {

constexpr const char* kUsage =
    "usage: tavconv [--dir-name-len N] [--mime | --mbox FILE | --maildir DIR | --html DIR]\n"
    "               [--] LOG...";

constexpr const char* kDescription =
    "Converts session logs (code page 932 text) into Internet mail, each LOG in\n"
    "the order given. By default each LOG gets a folder beside it, named by the\n"
    "first N characters of its file name, with one NNNNN.eml file per message;\n"
    "an existing folder is reused. A file without message header lines is\n"
    "skipped.";

constexpr const char* kNotes =
    "--mime, --mbox, --maildir and --html exclude each other. After --, every\n"
    "argument is a LOG, also one that starts with \"-\".\n"
    "\n"
    "Exit status: 0 when every log was converted or skipped as not a log,\n"
    "1 when anything could not be read or written, 2 on a usage error.\n"
    "See tavconv(1).";

// tavconv --help: the usage line, the description, one line per option
// ("-h, --help", "--mbox FILE") with its description, the notes.
class HelpFormatter : public CLI::Formatter {
 public:
  HelpFormatter() { column_width(22); }

  std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode mode) const override {
    return std::string(kUsage) + "\n\n" + app->get_description() + "\n" + make_groups(app, mode) +
           "\n" + app->get_footer() + "\n";
  }

  std::string make_option_name(const CLI::Option* option, bool) const override {
    std::string names;
    for (const std::string& name : option->get_snames()) names += "-" + name + ", ";
    for (const std::string& name : option->get_lnames()) names += "--" + name + ", ";
    return names.substr(0, names.size() - 2);
  }

  std::string make_option_opts(const CLI::Option* option) const override {
    return option->get_type_size() == 0 ? std::string() : " " + option->get_type_name();
  }
};

// Decimal digits only: CLI11's own reading of numbers would also take
// "0x10", " 5" and "010" (as octal).
std::optional<int> ParseDirNameLen(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || value < 1 || value > 32767) return std::nullopt;
  return value;
}

// CLI11 takes the next argument as the value of "--name=": refused instead,
// since the "=" says the value was meant to be empty.
void RefuseEmptyValues(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") return;
    if (arg.starts_with("--") && arg.ends_with("=")) {
      throw CLI::ValidationError(arg.substr(0, arg.size() - 1), "no value after \"=\"");
    }
  }
}

}  // namespace

std::variant<CommandLine, int> ParseCommandLine(const std::vector<std::filesystem::path>& args,
                                                std::ostream& out, std::ostream& errors) {
  CommandLine line;
  std::string target;
  std::vector<std::string> logs;

  CLI::App app(kDescription, "tavconv");
  app.formatter(std::make_shared<HelpFormatter>());
  app.footer(kNotes);
  // "/name" is a file on every system, never an option.
  app.allow_windows_style_options(false);
  // An option given again replaces its earlier value.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  const CLI::Validator notEmpty(
      [](const std::string& value) { return value.empty() ? "an empty name" : std::string(); }, "");

  app.set_help_flag("-h,--help", "show this help and exit");
  app.set_version_flag("--version", std::string("tavconv ") + TAV_VERSION,
                       "show the version and exit");
  app.add_option_function<std::string>(
         "--dir-name-len",
         [&line](const std::string& text) {
           const std::optional<int> value = ParseDirNameLen(text);
           if (!value) {
             throw CLI::ValidationError(
                 "--dir-name-len", "takes a whole number from 1 to 32767, not \"" + text + "\"");
           }
           line.dirNameLen = *value;
         },
         "characters of a log's file name that name its\nfolder (1 to 32767, default 3)")
      ->type_name("N");
  CLI::Option* mime = app.add_flag("--mime")->description(
      "write the .eml files as standard Internet mail:\nUTF-8 text, MIME header fields");
  CLI::Option* mbox = app.add_option("--mbox", target,
                                     "write every message, as --mime does, into the\n"
                                     "new mbox file FILE")
                          ->type_name("FILE")
                          ->check(notEmpty);
  CLI::Option* maildir = app.add_option("--maildir", target,
                                        "write every message, as --mime does, into the\n"
                                        "Maildir DIR")
                             ->type_name("DIR")
                             ->check(notEmpty);
  CLI::Option* html = app.add_option("--html", target,
                                     "write every message into the web archive DIR\n"
                                     "(made, or added to when it holds one)")
                          ->type_name("DIR")
                          ->check(notEmpty);
  mime->excludes(mbox)->excludes(maildir)->excludes(html);
  mbox->excludes(maildir)->excludes(html);
  maildir->excludes(html);
  app.add_option("LOG", logs)->required();

  std::vector<std::string> bytes;
  for (const std::filesystem::path& arg : args) bytes.push_back(ArgumentBytes(arg));
  try {
    RefuseEmptyValues(bytes);
    std::reverse(bytes.begin(), bytes.end());  // CLI11 takes the arguments last first
    app.parse(bytes);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return kExitOk;
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << '\n';
    return kExitOk;
  } catch (const CLI::ParseError& error) {
    errors << "tavconv: " << error.what() << '\n' << kUsage << '\n';
    return kExitUsage;
  }

  if (mime->count() > 0) line.output = CommandLine::Output::Mime;
  if (mbox->count() > 0) line.output = CommandLine::Output::Mbox;
  if (maildir->count() > 0) line.output = CommandLine::Output::Maildir;
  if (html->count() > 0) line.output = CommandLine::Output::Html;
  if (!target.empty()) line.target = PathFromArgumentBytes(target);
  for (const std::string& log : logs) line.logs.push_back(PathFromArgumentBytes(log));
  return line;
}

}  // namespace tav
