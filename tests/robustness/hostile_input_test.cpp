// Logs and log names made to hurt: random bytes, giant lines, a million
// lines, lone lead bytes, names that make awkward folders, message numbers
// that cannot be file names. Big inputs are made here, never committed.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <fstream>
#include <random>
#include <sstream>

#include "disk.h"
#include "log_check.h"
#include "platform/paths.h"
#include "support/disk_fixture.h"
#include "tavconv.h"

namespace tav {
namespace {

using namespace std::string_literals;
using test::ReadFile;
using test::WriteFile;

constexpr std::size_t kMiB = 1024 * 1024;
// The giant line: 100 MB, or 10 MB in the slower sanitizer build, which
// looks for memory errors rather than at scale.
constexpr std::size_t kGiant = (test::kSanitized ? 10 : 100) * kMiB;
// How many times its size a giant line may take at the peak. The sanitizer
// keeps freed blocks aside for a while, which adds a few hundred MB.
constexpr std::size_t kGiantMemoryFactor = test::kSanitized ? 48 : 16;

class HostileInput : public test::DiskFixture {
 protected:
  // Writes `head`, `count` times `unit`, then `tail`, without holding the
  // whole file in memory (so the memory a run takes can be measured).
  static void WriteRepeated(const std::filesystem::path& path, std::string_view head,
                            std::string_view unit, std::size_t count, std::string_view tail) {
    std::ofstream out(path, std::ios::binary);
    out << head;
    std::string chunk;
    for (std::size_t i = 0; i < 4096; ++i) chunk += unit;
    for (std::size_t done = 0; done < count; done += 4096) {
      out.write(chunk.data(), static_cast<std::streamsize>(
                                  unit.size() * std::min<std::size_t>(4096, count - done)));
    }
    out << tail;
    ASSERT_TRUE(out.good());
  }
  // Converts the selected logs in Full Auto mode, going on at every box.
  void RunFullAuto(int boxes = 1) {
    g.FullAuto = 1;
    ui.answers.assign(static_cast<std::size_t>(boxes), kOk);
    Run();
  }
  std::string EmlBytes(std::string_view folder, std::string_view name) const {
    return ReadFile(dir / folder / name);
  }
};

TEST_F(HostileInput, RandomBytesKeepEveryRuleOfTheFuzzChecks) {
  std::mt19937 random(20240412);
  const std::string message = "\r\n001/002  ID000001  Taro     First\r\n00/04/10 21:47\r\n";
  for (int round = 0; round < 300; ++round) {
    std::string input(2 + random() % 3000, '\0');
    for (char& c : input) c = static_cast<char>(random());
    // Some rounds get real messages among the noise, so the writer runs too.
    if (round % 2 == 0) input.insert(2 + random() % (input.size() - 1), message);
    for (const std::string& finding : fuzz::ConvertLogAndCheck(input)) {
      ADD_FAILURE() << "round " << round << ": " << finding;
    }
  }
}

TEST_F(HostileInput, NulBytesAndBinaryNoiseAreCopiedAsTheyAre) {
  std::string noise;
  for (int b = 0; b < 256; ++b) noise += static_cast<char>(b);
  const std::string log = noise + "\r\n001/002  ID\0\0\0\0\0\0  N\0me     S\0b\r\n"s +
                          "00/04/10 21:47\0\r\n\0body\0\r\n"s + noise;
  WriteFile(dir / "bin.log", log);
  ShowAndSelect({"bin.log"});
  RunFullAuto();
  const std::string eml = EmlBytes("bin", "00001.eml");
  EXPECT_TRUE(eml.starts_with("From: N\0me  <ID\0\0\0\0\0\0@tav.example.jp>\r\nSubject: S\0b\r\n"s))
      << eml.substr(0, 80);
  // The body runs to the end of the file: the NUL line, then the noise cut
  // at its CR and LF.
  EXPECT_NE(eml.find("\r\n\r\n\0body\0\r\n"s), std::string::npos);
  EXPECT_TRUE(eml.ends_with(noise.substr(14) + "\r\n\r\n"));
}

TEST_F(HostileInput, GiantLogWithoutALineEndIsOneLineThatIsNoLog) {
  WriteRepeated(dir / "giant.log", "", "y", kGiant, "");
  ShowAndSelect({"giant.log"});
  const std::size_t before = test::PeakMemory();
  ui.answers = {kOk, kOk};
  Run();
  // One line, read once: about the file's size in memory, not a multiple.
  EXPECT_LT(test::PeakMemory() - before, 3 * kGiant);
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " log?"}));
  const LogScan scan = converter.ScanLog(dir / "giant.log");
  EXPECT_EQ(scan.lines, 1u);
  EXPECT_EQ(scan.headerWidth, 0);
  EXPECT_EQ(Names(""), (std::vector<std::string>{"giant.log"}));
}

TEST_F(HostileInput, GiantHeaderLineIsReadOnceAndWrittenWhole) {
  // A header-shaped line of 100 MB: the name, then a subject of words.
  const std::size_t words = kGiant / 8;
  WriteRepeated(dir / "giant.log", "001/002  ID000001  Taro     ", "subject ", words,
                "\r\n00/04/10 21:47\r\nbody\r\n");
  ShowAndSelect({"giant.log"});
  const std::size_t before = test::PeakMemory();
  RunFullAuto();
  // The line's columns are indexed once; memory stays a small multiple of it.
  EXPECT_LT(test::PeakMemory() - before, kGiantMemoryFactor * kGiant);
  const std::string eml = EmlBytes("gia", "00001.eml");
  const std::string start = "From: Taro  <ID000001@tav.example.jp>\r\nSubject: subjectsubject";
  EXPECT_TRUE(eml.starts_with(start));
  const std::size_t subjectEnd = eml.find("\r\n", 40);
  EXPECT_EQ(subjectEnd - std::string("From: Taro  <ID000001@tav.example.jp>\r\nSubject: ").size(),
            words * 7);
  EXPECT_TRUE(eml.ends_with(">\r\nReferences: <>\r\n\r\nbody\r\n\r\n"));
}

TEST_F(HostileInput, LogLargerThanTheMemoryIsReportedAndTheRunGoesOn) {
  if (test::kSanitized) GTEST_SKIP() << "the sanitizer's operator new never throws std::bad_alloc";
  // A sparse file of 1 TiB: no machine holds it, so reading it fails for
  // want of memory, which must not end the program.
  WriteLog("huge.log", {});
  std::filesystem::resize_file(dir / "huge.log", std::uintmax_t{1} << 40);
  WriteLog("small.log", {"001/002  ID000001  Taro     First", "00/04/10 21:47", "body"});
  ShowAndSelect({"huge.log", "small.log"});
  RunFullAuto(2);
  ASSERT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " FileError!!"}));
  EXPECT_EQ(ui.boxes[1].subject, dir / "huge.log");
  EXPECT_NE(ui.boxes[1].text.find("Cannot allocate memory"), std::string::npos) << ui.boxes[1].text;
  EXPECT_EQ(Names("sma"), (std::vector<std::string>{"00001.eml"}));
  EXPECT_FALSE(std::filesystem::exists(dir / "hug"));
  EXPECT_TRUE(ui.bold);
  EXPECT_EQ(ui.beeps, 4);
}

TEST_F(HostileInput, PipesAndLogsLargerThanAnyStringAreRefusedAndTheNextConverted) {
  WriteLog("huge.log", {});
  std::error_code unsupported;
  std::filesystem::resize_file(dir / "huge.log", std::numeric_limits<std::int64_t>::max(),
                               unsupported);
  if (unsupported) std::filesystem::remove(dir / "huge.log");
  // A pipe that nobody writes to: reading it would wait for ever.
  ASSERT_EQ(::mkfifo((dir / "pipe.log").c_str(), 0600), 0);
  WriteLog("good.log", {"001/002  ID000001  Taro     First", "00/04/10 21:47", "body"});
  std::vector<std::filesystem::path> args = {dir / "pipe.log", dir / "good.log"};
  if (!unsupported) args.insert(args.begin(), dir / "huge.log");
  std::ostringstream out, errors;
  EXPECT_EQ(RunTavconv(args, out, errors, files), kExitFailure);
  EXPECT_NE(errors.str().find(Utf8FromPath(dir / "pipe.log") + ": cannot read: not a regular file"),
            std::string::npos)
      << errors.str();
  if (!unsupported) {
    EXPECT_NE(errors.str().find(Utf8FromPath(dir / "huge.log") + ": cannot read: File too large"),
              std::string::npos)
        << errors.str();
  }
  EXPECT_EQ(Names("goo"), (std::vector<std::string>{"00001.eml"}));
}

TEST_F(HostileInput, HeaderLineOfOneMegabyteWithJapaneseAndSpaces) {
  std::string subject;
  for (int i = 0; i < 1024 * 1024 / 8; ++i) subject += test::Sjis("件名 ab ");
  const std::string header = test::Sjis("001/002  ID000001  佐藤 一郎     ") + subject;
  WriteFile(dir / "long.log", header + "\r\n00/04/10 21:47\r\nbody\r\n");
  ShowAndSelect({"long.log"});
  const std::size_t before = test::PeakMemory();
  RunFullAuto();
  EXPECT_LT(test::PeakMemory() - before, 64 * kMiB);
  std::string expected;
  for (int i = 0; i < 1024 * 1024 / 8; ++i) expected += test::Sjis("件名ab");
  const std::string eml = EmlBytes("lon", "00001.eml");
  EXPECT_TRUE(eml.starts_with(test::Sjis("From: 佐藤 一郎 <ID000001@tav.example.jp>\r\nSubject: ") +
                              expected + "\r\nDate: 10 Apr 2000 21:47:00 +0900\r\n"));
}

TEST_F(HostileInput, MillionLineLogBecomesAThousandMessages) {
  std::string log;
  log.reserve(12 * kMiB);
  for (int m = 0; m < 1000; ++m) {
    char header[64];
    std::snprintf(header, sizeof header, "%05d/01000  ID%06d  Name%d  Subject\r\n", m, m, m);
    log += header;
    log += "00/04/10 21:47\r\n";
    for (int k = 0; k < 998; ++k) log += "body line\r\n";
  }
  WriteFile(dir / "million.log", log);
  ShowAndSelect({"million.log"});
  RunFullAuto();
  EXPECT_EQ(converter.ScanLog(dir / "million.log").lines, 1'000'000u);
  EXPECT_EQ(Names("mil").size(), 1000u);
  std::string body;
  for (int k = 0; k < 998; ++k) body += "body line\r\n";
  EXPECT_TRUE(EmlBytes("mil", "00999.eml").ends_with("<>\r\n\r\n" + body + "\r\n"));
  EXPECT_EQ(ui.beeps, 3);
}

TEST_F(HostileInput, LoneLeadBytesAtLineEndsStayOnTheirLine) {
  // Each lead byte stands before a CR, an LF, a CR LF or the end of the file;
  // none of them may swallow the line end after it.
  WriteFile(dir / "lead.log",
            "001/002  ID000001  Taro     Subj\x82\r\n00/04/10 21:47\x81\n"
            "body\x9F\rmore\xE0\r\n002/002  ID000002  Jiro     S\xFC\r\n"
            "00/04/11 21:47  001\x82\xD6\r\nend\x82");
  ShowAndSelect({"lead.log"});
  RunFullAuto();
  EXPECT_EQ(EmlBytes("lea", "00001.eml"),
            "From: Taro  <ID000001@tav.example.jp>\r\nSubject: Subj\x82\r\n"
            "Date: 10 Apr 2000 21:47:00 +0900\r\nMessage-Id: <00001>\r\nReferences: <>\r\n\r\n"
            "body\x9F\r\nmore\xE0\r\n\r\n");
  EXPECT_TRUE(EmlBytes("lea", "00002.eml").ends_with("References: <00001>\r\n\r\nend\x82\r\n\r\n"));
}

TEST_F(HostileInput, LogNamesWithBlanksEmojiOrJapaneseNameWholeCharacters) {
  struct Case {
    const char* log;
    const char* numberBox;
    const char* folder;
  };
  for (const Case& c :
       {Case{"a b c.log", "3", "a b"},
        {"\xF0\x9F\x98\x80mail.log", "1", "\xF0\x9F\x98\x80"},
        {"\xF0\x9F\x98\x80mail.log", "2", "\xF0\x9F\x98\x80m"},
        {"\xE3\x83\xAD\xE3\x82\xB0\xE3\x81\xAE.log", "2", "\xE3\x83\xAD\xE3\x82\xB0"}}) {
    WriteLog(c.log, {"001/002  ID000001  Taro     First", "00/04/10 21:47", "body"});
    ShowAndSelect({c.log});
    ui.numberBox = c.numberBox;
    RunFullAuto();
    EXPECT_EQ(Names(c.folder), (std::vector<std::string>{"00001.eml"})) << c.log;
    std::filesystem::remove_all(dir / c.folder);
    std::filesystem::remove(dir / c.log);
  }
  EXPECT_EQ(ui.Titles(), std::vector<std::string>(4, " start?"));
}

TEST_F(HostileInput, FolderNamesThatWouldLeaveTheFolderOrNameADeviceAreRefused) {
  struct Case {
    const char* log;
    const char* numberBox;
  };
  for (const Case& c : {Case{".x.log", "1"},
                        {"..log", "2"},
                        {"abc..log", "4"},
                        {"ab c.log", "3"},
                        {"CON.log", "3"},
                        {"com1.log", "4"},
                        {"Lpt9.txt", "4"},
                        {"nul.txt", "5"},
                        {"aux", "9"},
                        {"prn", "3"}}) {
    WriteLog(c.log, {"001/002  ID000001  Taro     First", "00/04/10 21:47", "body"});
    ShowAndSelect({c.log});
    ui.numberBox = c.numberBox;
    ui.boxes.clear();
    RunFullAuto(2);
    ASSERT_EQ(ui.boxes.size(), 2u) << c.log;
    EXPECT_EQ(ui.boxes[1].kind, MsgKind::FolderNameUnsafe) << c.log;
    EXPECT_EQ(Names(""), std::vector<std::string>{c.log}) << c.log;
    std::filesystem::remove(dir / c.log);
  }
  // Nothing went beside the test's folder either.
  EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "00001.eml"));
}

TEST_F(HostileInput, MessageNumbersThatCannotBeFileNamesAreListedAndNeverWritten) {
  // Width 5: characters 1 and 4 are digits, 2, 3 and 5 can be anything.
  const std::vector<std::string> bad = {"0:01x",
                                        "0*01x",
                                        "0?01x",
                                        "0\"01x",
                                        "0<01x",
                                        "0>01x",
                                        "0|01x",
                                        "0\\01x",
                                        "0001/",
                                        "0\x01"
                                        "01x",
                                        "0\x7F"
                                        "01x",
                                        "0\x80"
                                        "01x",
                                        "0\xA0"
                                        "01x",
                                        "0\xFD"
                                        "01x",
                                        "0\x82!1x",
                                        "0\x85\x40"
                                        "01x"};
  const std::vector<std::string> good = {"0" + test::Sjis("ソ") + "012", "0..1.", "0 .1 "};
  std::string log;
  for (const std::string& number : bad)
    log += number + "/00125  ID000001  Taro     Bad\r\n00/04/10 21:47\r\nx\r\n";
  for (const std::string& number : good)
    log += number + "/00125  ID000001  Taro     Good\r\n00/04/10 21:47\r\ny\r\n";
  WriteFile(dir / "num.log", log);
  ShowAndSelect({"num.log"});
  RunFullAuto(2);

  EXPECT_EQ(Names("num"), (std::vector<std::string>{"0 .1 .eml", "0..1..eml", "0ソ012.eml"}));
  ASSERT_EQ(ui.boxes.size(), 2u);
  const MsgBox& box = ui.boxes[1];
  EXPECT_EQ(box.kind, MsgKind::BadMessageNumbers);
  EXPECT_EQ(box.items, (std::vector<std::string>{"0:01x", "0*01x", "0?01x", "0\"01x", "0<01x",
                                                 "0>01x", "0|01x", "0\\01x", "0001/", "0<01>01x",
                                                 "0<7F>01x", "0<80>01x", "0<A0>01x", "0<FD>01x",
                                                 "0<82>!1x", "0<85><40>01x"}));
  EXPECT_NE(box.text.find(Utf8FromPath(dir / "num.log")), std::string::npos);
  // Nothing escaped the output folder.
  EXPECT_EQ(Names(""), (std::vector<std::string>{"num", "num.log"}));

  // The command-line converter names each number and fails the run.
  std::filesystem::remove_all(dir / "num");
  std::ostringstream out, errors;
  EXPECT_EQ(RunTavconv({dir / "num.log"}, out, errors, files), 1);
  EXPECT_NE(errors.str().find("message number \"0<85><40>01x\" cannot stand as a file name"),
            std::string::npos)
      << errors.str();
  EXPECT_EQ(Names("num").size(), 3u);
}

TEST_F(HostileInput, HundredsOfThousandsOfBadNumbersAreListedOnceEachInLinearTime) {
  // 200,000 different numbers that cannot be file names (their second
  // character forbids it), each met twice: listing the numbers not written
  // must not search all the earlier ones for every message. (20,000 in the
  // slower sanitizer build.)
  std::vector<std::string> numbers;
  for (const char c2 : std::string_view(":*?<>|")) {
    for (char c3 = '!'; c3 <= '~'; ++c3) {
      for (char c4 = '0'; c4 <= '9'; ++c4) {
        for (char c5 = '!'; c5 <= '~'; ++c5) {
          if (c3 != '/' && c5 != '/') numbers.push_back(std::string("0") + c2 + c3 + c4 + c5);
        }
      }
    }
  }
  numbers.resize(test::kSanitized ? 20'000 : 200'000);
  std::string log;
  for (int pass = 0; pass < 2; ++pass) {
    for (const std::string& number : numbers)
      log += number + "/00125  ID000001  Taro  S\r\n0/0/0 :\r\n";
  }
  WriteFile(dir / "bad.log", log);
  ShowAndSelect({"bad.log"});
  RunFullAuto(2);
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[1].items, numbers);
  EXPECT_TRUE(Names("bad").empty());
}

}  // namespace
}  // namespace tav
