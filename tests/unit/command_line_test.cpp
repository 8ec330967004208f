// Reading tavconv's command line: outputs, values, logs, usage errors, and
// file names that come back exactly as given. Help and version: tavconv_test
// and tests/install/check_man_page.py.
#include <gtest/gtest.h>

#include <sstream>

#include "command_line.h"
#include "platform/paths.h"

namespace tav {
namespace {

// The words of `line`, split at spaces.
std::vector<std::filesystem::path> Args(const std::string& line) {
  std::vector<std::filesystem::path> args;
  std::istringstream words(line);
  for (std::string word; words >> word;) args.push_back(PathFromUtf8(word));
  return args;
}

std::variant<CommandLine, int> Parse(const std::vector<std::filesystem::path>& args,
                                     std::string* errors = nullptr) {
  std::ostringstream out, err;
  std::variant<CommandLine, int> result = ParseCommandLine(args, out, err);
  if (errors) *errors = err.str();
  return result;
}

CommandLine Accepted(const std::vector<std::filesystem::path>& args) {
  const std::variant<CommandLine, int> result = Parse(args);
  if (const CommandLine* line = std::get_if<CommandLine>(&result)) return *line;
  ADD_FAILURE() << "refused with exit status " << std::get<int>(result);
  return {};
}

// The exit status the arguments are refused with; -1 when they are accepted.
int Refused(const std::vector<std::filesystem::path>& args, std::string* errors = nullptr) {
  const std::variant<CommandLine, int> result = Parse(args, errors);
  const int* status = std::get_if<int>(&result);
  return status ? *status : -1;
}

TEST(CommandLine, ReadsOutputsValuesAndLogsInAnyOrder) {
  const CommandLine plain = Accepted(Args("a.log --dir-name-len=010 /help --"));
  EXPECT_EQ(plain.output, CommandLine::Output::Eml);
  EXPECT_EQ(plain.dirNameLen, 10);             // decimal, not octal
  EXPECT_EQ(plain.logs, Args("a.log /help"));  // "/name" is a file on Windows too
  const CommandLine mime = Accepted(Args("--mime - --dir-name-len 5 --dir-name-len 7"));
  EXPECT_EQ(mime.output, CommandLine::Output::Mime);
  EXPECT_EQ(mime.dirNameLen, 7);  // the last value given
  EXPECT_EQ(mime.logs, Args("-"));
  const CommandLine mbox = Accepted(Args("--mbox --mime -- -x.log --maildir"));
  EXPECT_EQ(mbox.output, CommandLine::Output::Mbox);
  EXPECT_EQ(mbox.target, PathFromUtf8("--mime"));  // a value, as getopt takes it
  EXPECT_EQ(mbox.logs, Args("-x.log --maildir"));
  const CommandLine maildir = Accepted(Args("--maildir=M/a=b x"));
  EXPECT_EQ(maildir.output, CommandLine::Output::Maildir);
  EXPECT_EQ(maildir.target, PathFromUtf8("M/a=b"));
  const CommandLine html = Accepted(Args("--html web a.log"));
  EXPECT_EQ(html.output, CommandLine::Output::Html);
  EXPECT_EQ(html.target, PathFromUtf8("web"));
}

TEST(CommandLine, UsageErrorsExitWithTwoAndTheMessageAndUsage) {
  for (const char* number : {"0", "32768", "-1", "2.5", "0x10", "+5", " 5", "", "x"}) {
    EXPECT_EQ(Refused({"--dir-name-len", number, "a.log"}), 2) << number;
  }
  for (const char* line :
       {"", "--mime", "--dir-name-len", "--dir-name-len= 5 a", "--mbox= a b", "--frobnicate a",
        "-x a", "--mime --mbox m a", "--maildir d --mbox m a", "a --maildir d --mime",
        "--html w --mime a", "--html w --maildir d a", "--html= a"}) {
    std::string errors;
    EXPECT_EQ(Refused(Args(line), &errors), 2) << line;
    EXPECT_TRUE(errors.starts_with("tavconv: ")) << line << ": " << errors;
    EXPECT_NE(errors.find("\nusage: tavconv "), std::string::npos) << line << ": " << errors;
  }
}

// Not valid text: bytes that are not UTF-8 on POSIX systems, an unpaired
// surrogate on Windows. Valid text beside them and options around them must
// not change them.
TEST(CommandLine, FileNamesComeBackExactlyAsGiven) {
#ifdef _WIN32
  const std::filesystem::path odd(std::wstring(L"\xD800log\xDC00\x65E5.log"));
  const std::wstring option = L"--mbox=";
#else
  const std::filesystem::path odd(std::string("\xFF\xFElog\x80\xE6\x97\xA5.log"));
  const std::string option = "--mbox=";
#endif
  const std::filesystem::path emoji = PathFromUtf8("\xF0\x9F\x98\x80\xE3\x83\xAD.log");
  const CommandLine line = Accepted({odd, option + odd.native(), emoji});
  EXPECT_EQ(line.logs, std::vector({odd, emoji}));
  EXPECT_EQ(line.target.native(), odd.native());
}

}  // namespace
}  // namespace tav
