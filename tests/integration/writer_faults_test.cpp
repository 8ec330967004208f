// The writers of the mail forms when their files fail, and exceptions
// inside a log's conversion: each failure is reported, names its file, and
// leaves nothing half made behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <new>
#include <sstream>
#include <stdexcept>

#include "convert/eml_writer.h"
#include "convert/log_converter.h"
#include "platform/paths.h"
#include "support/log_fixture.h"
#include "tavconv.h"

namespace tav {
namespace {

const std::vector<std::string> kLog = {
    "001/002  ID000001  佐藤 一郎     最初", "00/04/10 21:47", "本文一",
    "002/002  ID000002  たけし        次",   "00/04/11 21:47", "本文二",
};

class WriterFaults : public test::LogFixture {
 protected:
  int Tav(const std::vector<std::filesystem::path>& args) {
    errors.str("");
    std::ostringstream out;
    return RunTavconv(args, out, errors, files);
  }
  bool Told(const std::string& text) const { return errors.str().find(text) != std::string::npos; }
  // The fake gives its fresh files names beginning with this.
  static bool IsFresh(const std::filesystem::path& path) {
    return path.filename().string().starts_with(".tav-");
  }

  std::ostringstream errors;
};

TEST_F(WriterFaults, AMaildirMessageThatCannotBeWrittenIsNamedAndTheOthersStillArrive) {
  WriteLog("abc.log", kLog);
  WriteLog("xyz.log", kLog);
  const auto box = dir / "box";
  files.failWrite = [&](const std::filesystem::path& path) -> std::optional<std::string> {
    if (path.parent_path() == box / "cur" && path.string().find("00001.abc") != std::string::npos) {
      return "Input/output error";
    }
    return std::nullopt;
  };
  EXPECT_EQ(Tav({"--maildir", box, dir / "abc.log", dir / "xyz.log"}), kExitFailure);
  EXPECT_TRUE(Told("cannot write: " + Utf8FromPath(box / "cur" / "00001.abc@tav.example.jp")))
      << errors.str();
  EXPECT_TRUE(Told(": Input/output error")) << errors.str();
  // The messages are renamed into place a batch at a time: the others arrive.
  EXPECT_EQ(files.Names(box / "cur").size(), 3u);
  EXPECT_TRUE(files.Names(box / "tmp").empty());
}

TEST_F(WriterFaults, AnMboxWhoseFileCannotBeMadeOrIsTakenMeanwhileLeavesNothing) {
  WriteLog("abc.log", kLog);
  // Its folder is missing: not even the fresh file can be made.
  EXPECT_EQ(Tav({"--mbox", dir / "missing" / "all.mbox", dir / "abc.log"}), kExitFailure);
  EXPECT_TRUE(Told("No such file or directory; nothing converted")) << errors.str();

  // Another program makes FILE while the mailbox is being filled: the
  // mailbox is not put over it, and its fresh file goes.
  const auto mbox = dir / "all.mbox";
  files.failWrite = [&](const std::filesystem::path& path) -> std::optional<std::string> {
    if (IsFresh(path) && !files.Exists(mbox)) files.AddFile(mbox, "someone's");
    return std::nullopt;
  };
  EXPECT_EQ(Tav({"--mbox", mbox, dir / "abc.log"}), kExitFailure);
  EXPECT_TRUE(Told(Utf8FromPath(mbox) + ": not written: File exists")) << errors.str();
  EXPECT_EQ(files.Bytes(mbox), "someone's");
  EXPECT_EQ(files.Names(dir.path()), (std::vector<std::string>{"abc.log", "all.mbox"}));
}

// Header and date lines of message `number` (five digits) of 100.
std::vector<std::string> Message(int number, const std::string& body) {
  char header[64];
  std::snprintf(header, sizeof header, "%05d/00100  ID%06d  Taro     Subject", number, number);
  return {header, "00/04/10 21:47", body};
}

TEST_F(WriterFaults, AFileThatFailsBehindTheConversionCountsOnlyWhatWasWritten) {
  std::vector<std::string> lines;
  for (int number = 1; number <= 100; ++number) {
    const auto message = Message(number, "body");
    lines.insert(lines.end(), message.begin(), message.end());
  }
  WriteLog("a.log", lines);
  // The folder holds other messages of 00049 and 00060 from before.
  files.AddFile(dir / "a.l" / "00049.eml", "From: someone\r\n\r\nold\r\n");
  files.AddFile(dir / "a.l" / "00060.eml", "From: someone\r\n\r\nold\r\n");
  files.failWrite = [this](const std::filesystem::path& path) -> std::optional<std::string> {
    if (path == dir / "a.l" / "00050.eml") return "No space left on device";
    return std::nullopt;
  };
  LogConverter converter(files);
  LogHooks hooks;
  EmlFolderWriter writer(files, MailForm::Raw);
  const LogResult& result = converter.ConvertLog({dir.path(), "a.log", 3}, writer, hooks);
  EXPECT_EQ(result.outcome, LogOutcome::WriteFailed);
  EXPECT_EQ(result.failedFile, dir / "a.l" / "00050.eml");
  EXPECT_EQ(result.written, 49u);
  // 00060 was never replaced: no notice says it was.
  EXPECT_EQ(result.replacedMessages, std::vector<std::string>{"00049"});
  EXPECT_TRUE(files.Exists(dir / "a.l" / "00048.eml"));
  EXPECT_FALSE(files.Exists(dir / "a.l" / "00051.eml"));
  EXPECT_NE(files.Bytes(dir / "a.l" / "00060.eml").find("old"), std::string::npos);

  // The next log into the folder lists titles: the message written before
  // the failure stays, a number whose file was dropped is written.
  files.failWrite = nullptr;
  std::vector<std::string> titles;
  for (int number = 49; number <= 53; ++number) titles.push_back(Message(number, "")[0] + " Re:");
  titles.push_back("00/04/10 21:47");
  // Entries of 00049 and 00051, each over the next title as its date line.
  WriteLog("a.l2.log", titles);
  const LogResult& listed = converter.ConvertLog({dir.path(), "a.l2.log", 3}, writer, hooks);
  EXPECT_EQ(listed.outcome, LogOutcome::Converted);
  EXPECT_EQ(listed.titleEntriesPassedOver, 1u);
  EXPECT_NE(files.Bytes(dir / "a.l" / "00049.eml").find("body"), std::string::npos);
  EXPECT_TRUE(files.Exists(dir / "a.l" / "00051.eml"));
}

// A writer that throws where it is told to.
class ThrowingWriter : public MailWriter {
 public:
  std::function<void()> onBegin = [] {};
  std::function<void()> onWrite = [] {};
  FolderOutcome BeginLog(const LogTarget&) override {
    onBegin();
    return {};
  }
  WriteResult Write(const MessageRecord&) override {
    onWrite();
    return {};
  }
};

TEST_F(WriterFaults, ExceptionsInALogEndUpInItsResultAndTheNextLogConverts) {
  WriteLog("abc.log", kLog);
  LogConverter converter(files);
  LogHooks hooks;
  ThrowingWriter writer;
  writer.onWrite = [] { throw std::bad_alloc(); };
  const LogResult& outOfMemory = converter.ConvertLog({dir.path(), "abc.log", 3}, writer, hooks);
  EXPECT_EQ(outOfMemory.outcome, LogOutcome::WriteFailed);
  EXPECT_EQ(outOfMemory.reason, std::make_error_code(std::errc::not_enough_memory).message());

  writer.onWrite = [] {};
  writer.onBegin = [] { throw std::runtime_error("folder trouble"); };
  const LogResult& thrown = converter.ConvertLog({dir.path(), "abc.log", 3}, writer, hooks);
  EXPECT_EQ(thrown.outcome, LogOutcome::FolderUnusable);
  EXPECT_EQ(thrown.failedFile, dir / "abc");
  EXPECT_EQ(thrown.reason, "folder trouble");

  writer.onBegin = [] {};
  const LogResult& fine = converter.ConvertLog({dir.path(), "abc.log", 3}, writer, hooks);
  EXPECT_EQ(fine.outcome, LogOutcome::Converted);
  EXPECT_EQ(fine.written, 2u);
}

}  // namespace
}  // namespace tav
