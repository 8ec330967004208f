// The generated logs are what the benchmark and the output comparison take
// them for, and the digests notice what they must.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>

#include "bench_logs.h"
#include "convert/log_converter.h"
#include "digest.h"
#include "golden.h"
#include "log_generator.h"
#include "platform/cp932.h"
#include "platform/posix_file_system.h"

namespace tav::bench {
namespace {

std::string Sjis(std::string_view utf8) {
  return Utf8ToCp932(utf8).value();
}

bool Has(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

// A folder of its own under the system's temporary folder, removed at the end.
class Scratch {
 public:
  Scratch() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            (std::string("tav-bench-test-") + info->name() + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~Scratch() { std::filesystem::remove_all(path_); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A log loaded and screened as a conversion does it.
LogScan Scan(const std::filesystem::path& log) {
  PosixFileSystem files;
  return LogConverter(files).ScanLog(log);
}

TEST(LogGenerator, TheSameRecipeGivesTheSameBytesAndAnotherSeedOthers) {
  const LogRecipe recipe{LogKind::Forum, 7, 2'000, 0, true};
  EXPECT_EQ(GenerateLog(recipe), GenerateLog(recipe));
  LogRecipe other = recipe;
  other.seed = 8;
  EXPECT_NE(GenerateLog(recipe), GenerateLog(other));
}

TEST(LogGenerator, NamedLogsHaveTheirSizes) {
  const std::string small = GenerateLog(FindLog("small")->recipe);
  EXPECT_GE(CountLines(small), 70'000u);
  EXPECT_LT(CountLines(small), 71'000u);
  const std::string medium = GenerateLog(FindLog("medium")->recipe);
  EXPECT_GE(CountLines(medium), 1'000'000u);
  EXPECT_LT(CountLines(medium), 1'002'000u);
  // large is ~100 MB: its recipe says so, generating it here would be slow.
  EXPECT_EQ(FindLog("large")->recipe.minBytes, 100'000'000u);
}

TEST(LogGenerator, MailLogsHoldWidthThreeMessagesAndForumLogsWidthFive) {
  Scratch scratch;
  for (const auto& [kind, width, reply] :
       {std::tuple{LogKind::Mail, 3, "001"}, std::tuple{LogKind::Forum, 5, "0"}}) {
    const std::string text = GenerateLog({kind, 5, 5'000, 0, false});
    const auto log = scratch.path() / "gen.log";
    std::ofstream(log, std::ios::binary) << text;
    EXPECT_EQ(Scan(log).headerWidth, width);
    // Replies, quotes, blank lines, indented lines with full-width spaces,
    // the session noise around the messages.
    EXPECT_TRUE(Has(text, std::string(reply) + Sjis("へのコメント")));
    EXPECT_TRUE(Has(text, "\r\n> "));
    EXPECT_TRUE(Has(text, "\r\n\r\n"));
    EXPECT_TRUE(Has(text, "\r\n" + Sjis("　")));
    EXPECT_TRUE(Has(text, "ATDT0311112222\r\nCONNECT"));
    EXPECT_TRUE(Has(text, "NO CARRIER\r\n"));
  }
}

TEST(LogGenerator, ForumLogsListTitlesAndReadMessagesAgain) {
  const std::string text = GenerateLog({LogKind::Forum, 5, 20'000, 0, false});
  EXPECT_TRUE(Has(text, Sjis("コマンド (R:読む L:一覧 Q:戻る) ? L")));
  EXPECT_TRUE(Has(text, Sjis("コマンド (R:読む N:次 A:もう一度 Q:戻る) ? A")));
  // Some forums write four-digit years, the others two.
  EXPECT_TRUE(Has(text, "\r\n1996/"));
  EXPECT_TRUE(Has(text, "\r\n96/"));
}

TEST(LogGenerator, AwkwardLogsHoldTheBrokenShapes) {
  const std::string text = GenerateLog({LogKind::Mail, 9, 20'000, 0, true});
  EXPECT_TRUE(Has(text, "\r\neof\r\n") || Has(text, "\neof\r") || Has(text, "\neof\n"));
  EXPECT_TRUE(Has(text, "\x80\xA0\xFD\xFE\xFF"));
  EXPECT_NE(text.find("\n0?"), std::string::npos);  // a number no file may be named by
  EXPECT_NE(text.back(), '\n');                     // the capture was cut off
  std::size_t loneLf = 0, loneCr = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) ++loneLf;
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) ++loneCr;
  }
  EXPECT_GT(loneLf, 10u);
  EXPECT_GT(loneCr, 10u);
}

TEST(LogGenerator, CountsLinesAsTheConverterDoes) {
  Scratch scratch;
  for (const LogKind kind : {LogKind::Mail, LogKind::Forum}) {
    const std::string text = GenerateLog({kind, 3, 3'000, 0, true});
    const auto log = scratch.path() / "odd.log";
    std::ofstream(log, std::ios::binary) << text;
    EXPECT_EQ(CountLines(text), Scan(log).lines);
  }
}

TEST(Digest, NoticesEveryByteTheNamesAndTheOrderOfWrites) {
  BaselinePlan plan;
  plan.log = "/data/x.log";
  plan.writes = {{"/data/x/00001.eml", "", "one"}, {"/data/x/00002.eml", "", "two"}};
  const Digest base = DigestWrites(plan, "printed");
  EXPECT_EQ(base.files, 2u);
  EXPECT_EQ(base.bytes, 6u);

  BaselinePlan changed = plan;
  changed.writes[1].bytes = "twO";
  EXPECT_NE(DigestWrites(changed, "printed").hash, base.hash);
  changed = plan;
  changed.writes[1].path = "/data/x/00003.eml";
  EXPECT_NE(DigestWrites(changed, "printed").hash, base.hash);
  changed = plan;
  std::swap(changed.writes[0], changed.writes[1]);
  EXPECT_NE(DigestWrites(changed, "printed").hash, base.hash);
  // Moving a byte from one file to the next is not the same output.
  changed = plan;
  changed.writes[0].bytes = "on";
  changed.writes[1].bytes = "etwo";
  EXPECT_NE(DigestWrites(changed, "printed").hash, base.hash);
  EXPECT_NE(DigestWrites(plan, "printed differently").hash, base.hash);
}

TEST(Digest, AFolderDigestDoesNotDependOnTheOrderFilesWereMade) {
  Scratch scratch;
  const auto a = scratch.path() / "a";
  const auto b = scratch.path() / "b";
  std::filesystem::create_directories(a);
  std::filesystem::create_directories(b);
  std::ofstream(a / "1.eml") << "x";
  std::ofstream(a / "2.eml") << "y";
  std::ofstream(b / "2.eml") << "y";
  std::ofstream(b / "1.eml") << "x";
  EXPECT_EQ(DigestFolder(a), DigestFolder(b));
  std::ofstream(b / "1.eml") << "z";
  EXPECT_NE(DigestFolder(a), DigestFolder(b));
}

TEST(GoldenFigures, SurviveBeingWrittenAndReadBack) {
  Scratch scratch;
  const GoldenFigures figures = {{"small", "writes=1 bytes=2 fnv=0000000000000003"},
                                 {"oddmail", "writes=4 bytes=5 fnv=0000000000000006"}};
  WriteGolden(scratch.path() / "golden.txt", figures);
  EXPECT_EQ(ReadGolden(scratch.path() / "golden.txt"), figures);
}

}  // namespace
}  // namespace tav::bench
