// Reading tavconv's command line: outputs, values, logs, usage errors, and
// file names that come back exactly as given.
#include <gtest/gtest.h>

#include <sstream>

#include "command_line.h"
#include "platform/paths.h"

namespace tav {
namespace {

using Output = CommandLine::Output;

std::vector<std::filesystem::path> Paths(const std::vector<std::string>& utf8) {
  std::vector<std::filesystem::path> paths;
  for (const std::string& name : utf8) paths.push_back(PathFromUtf8(name));
  return paths;
}

struct Parsed {
  std::variant<CommandLine, int> result;
  std::string out;
  std::string errors;
};

Parsed ParsePaths(const std::vector<std::filesystem::path>& args) {
  std::ostringstream out;
  std::ostringstream errors;
  std::variant<CommandLine, int> result = ParseCommandLine(args, out, errors);
  return {std::move(result), out.str(), errors.str()};
}

Parsed Parse(const std::vector<std::string>& utf8Args) {
  return ParsePaths(Paths(utf8Args));
}

CommandLine Line(const std::vector<std::string>& utf8Args) {
  const Parsed parsed = Parse(utf8Args);
  EXPECT_EQ(parsed.errors, "");
  if (const int* status = std::get_if<int>(&parsed.result)) {
    ADD_FAILURE() << "exit status " << *status;
    return {};
  }
  return std::get<CommandLine>(parsed.result);
}

TEST(CommandLine, ReadsOutputsValuesAndLogsInAnyOrder) {
  CommandLine line = Line({"a.log"});
  EXPECT_EQ(line.output, Output::Eml);
  EXPECT_EQ(line.dirNameLen, 3);
  EXPECT_EQ(line.target, std::filesystem::path());

  line = Line({"a.log", "--dir-name-len=010", "b.log", "--mime"});
  EXPECT_EQ(line.output, Output::Mime);
  EXPECT_EQ(line.dirNameLen, 10);  // decimal, not octal
  EXPECT_EQ(line.logs, Paths({"a.log", "b.log"}));

  line = Line({"--mbox", "all.mbox", "--dir-name-len", "5", "--dir-name-len", "32767", "x.log"});
  EXPECT_EQ(line.output, Output::Mbox);
  EXPECT_EQ(line.target, PathFromUtf8("all.mbox"));
  EXPECT_EQ(line.dirNameLen, 32767);  // the last value given

  line = Line({"--maildir=Mail/a=b", "-", "--", "--mime", "-x.log", "--"});
  EXPECT_EQ(line.output, Output::Maildir);
  EXPECT_EQ(line.target, PathFromUtf8("Mail/a=b"));
  EXPECT_EQ(line.logs, Paths({"-", "--mime", "-x.log", "--"}));

  // Windows-style "/name" is a file on every system.
  EXPECT_EQ(Line({"/help", "/mime"}).logs, Paths({"/help", "/mime"}));
}

TEST(CommandLine, UsageErrorsExitWithTwoAndSayWhatIsWrong) {
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"--mime"},
      {"--dir-name-len"},
      {"--dir-name-len", "0", "a.log"},
      {"--dir-name-len", "32768", "a.log"},
      {"--dir-name-len", "-1", "a.log"},
      {"--dir-name-len", "2.5", "a.log"},
      {"--dir-name-len", "0x10", "a.log"},
      {"--dir-name-len", "+5", "a.log"},
      {"--dir-name-len", " 5", "a.log"},
      {"--dir-name-len", "", "a.log"},
      {"--dir-name-len=", "5", "a.log"},
      {"--mbox=", "a.log", "b.log"},
      {"--mbox", "", "a.log"},
      {"--frobnicate", "a.log"},
      {"-x", "a.log"},
      {"--mime", "--mbox", "all.mbox", "a.log"},
      {"--maildir", "Mail", "--mbox", "all.mbox", "a.log"},
      {"a.log", "--maildir", "Mail", "--mime"},
  };
  for (const std::vector<std::string>& args : wrong) {
    std::string shown;
    for (const std::string& arg : args) shown += " [" + arg + "]";
    const Parsed parsed = Parse(args);
    ASSERT_TRUE(std::holds_alternative<int>(parsed.result)) << shown;
    EXPECT_EQ(std::get<int>(parsed.result), 2) << shown;
    EXPECT_TRUE(parsed.errors.starts_with("tavconv: ")) << shown << ": " << parsed.errors;
    EXPECT_NE(parsed.errors.find("\nusage: tavconv "), std::string::npos) << shown;
    EXPECT_EQ(parsed.out, "") << shown;
  }
  EXPECT_NE(Parse({"--dir-name-len", "x", "a.log"}).errors.find("1 to 32767, not \"x\""),
            std::string::npos);
  EXPECT_NE(Parse({"--frobnicate", "a.log"}).errors.find("--frobnicate"), std::string::npos);
  EXPECT_NE(Parse({"--mime", "--maildir", "M", "a.log"}).errors.find("excludes"),
            std::string::npos);
}

TEST(CommandLine, HelpAndVersionExitWithZeroOnStandardOutput) {
  for (const char* help : {"--help", "-h"}) {
    const Parsed parsed = Parse({"a.log", help});
    EXPECT_EQ(std::get<int>(parsed.result), 0);
    EXPECT_TRUE(parsed.out.starts_with(
        "usage: tavconv [--dir-name-len N] [--mime | --mbox FILE | --maildir DIR] [--] LOG...\n"))
        << parsed.out;
    EXPECT_EQ(parsed.errors, "");
  }
  const Parsed version = Parse({"--version"});
  EXPECT_EQ(std::get<int>(version.result), 0);
  EXPECT_EQ(version.out, "tavconv 1.0.8\n");
}

// File names that are not valid text: bytes that are not UTF-8 on POSIX
// systems, an unpaired surrogate on Windows. Valid text beside them, and
// options around them, must not change them.
TEST(CommandLine, FileNamesComeBackExactlyAsGiven) {
#ifdef _WIN32
  const std::filesystem::path odd(std::wstring(L"\xD800log\xDC00\x65E5.log"));
  const std::filesystem::path mbox(std::wstring(L"m\xDBFF.mbox"));
  const std::filesystem::path mboxOption(std::wstring(L"--mbox=m\xDBFF.mbox"));
#else
  const std::filesystem::path odd(std::string("\xFF\xFElog\x80\xE6\x97\xA5.log"));
  const std::filesystem::path mbox(std::string("m\xC3.mbox"));
  const std::filesystem::path mboxOption(std::string("--mbox=m\xC3.mbox"));
#endif
  const std::filesystem::path emoji = PathFromUtf8("\xF0\x9F\x98\x80\xE3\x83\xAD.log");
  std::variant<CommandLine, int> parsed = ParsePaths({odd, mboxOption, emoji}).result;
  ASSERT_TRUE(std::holds_alternative<CommandLine>(parsed));
  EXPECT_EQ(std::get<CommandLine>(parsed).logs, std::vector({odd, emoji}));
  EXPECT_EQ(std::get<CommandLine>(parsed).target.native(), mbox.native());

  parsed = ParsePaths({"--maildir", odd, emoji}).result;
  ASSERT_TRUE(std::holds_alternative<CommandLine>(parsed));
  EXPECT_EQ(std::get<CommandLine>(parsed).target.native(), odd.native());
}

}  // namespace
}  // namespace tav
