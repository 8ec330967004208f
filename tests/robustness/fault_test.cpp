// Failing file systems, for real where Linux allows it: logs that go away or
// cannot be read after they were listed, output folders that cannot be used,
// full and read-only disks, writes cut off by a crash. Whatever fails, the
// user is told which file, and no good file is lost or half written.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <map>
#include <memory>

#include "disk.h"
#include "convert/eml_writer.h"
#include "platform/paths.h"
#include "platform/posix_file_system.h"
#include "support/disk_fixture.h"

namespace tav {
namespace {

using test::ReadFile;
using test::WriteFile;

const std::vector<std::string> kLog = {
    "001/003  ID000001  Taro     First",  "00/04/10 21:47", "body one",
    "002/003  ID000002  Jiro     Second", "00/04/11 21:47", "body two",
    "003/003  ID000003  Saburo   Third",  "00/04/12 21:47", "body three",
};

class Faults : public test::DiskFixture {
 protected:
  std::string Shown(const std::filesystem::path& path) const { return Utf8FromPath(path); }
  static std::vector<std::string> Names(const std::filesystem::path& folder) {
    return test::FolderNames(folder);
  }
  // A log of `lines` in `folder`, written as the run would find it.
  static void PutLog(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    WriteFile(path, test::Sjis(test::CrLfLines(lines)));
  }
};

TEST_F(Faults, LogsThatGoAwayOrCannotBeReadAfterListingAreReportedAndSkipped) {
  for (const char* name : {"dangling.log", "eio.log", "folder.log", "gone.log", "good.log"}) {
    WriteLog(name, kLog);
  }
  ShowAndSelect({"dangling.log", "eio.log", "folder.log", "gone.log", "good.log"});
  // Broken after the list was read, each in its own way. Reading
  // /proc/self/mem from its start is a real read error, even for root.
  std::filesystem::remove(dir / "dangling.log");
  std::filesystem::create_symlink(dir / "nowhere", dir / "dangling.log");
  std::filesystem::remove(dir / "eio.log");
  std::filesystem::create_symlink("/proc/self/mem", dir / "eio.log");
  std::filesystem::remove(dir / "folder.log");
  std::filesystem::create_directory(dir / "folder.log");
  std::filesystem::remove(dir / "gone.log");

  g.FullAuto = 1;
  ui.answers = {kOk, kOk, kOk, kOk, kOk};
  Run();
  ASSERT_EQ(ui.boxes.size(), 5u);
  const std::pair<const char*, const char*> expected[] = {
      {"dangling.log", "No such file or directory"},
      {"eio.log", "Input/output error"},
      {"folder.log", "Is a directory"},
      {"gone.log", "No such file or directory"}};
  for (std::size_t i = 0; i < 4; ++i) {
    const MsgBox& box = ui.boxes[i + 1];
    EXPECT_EQ(box.kind, MsgKind::LogUnreadable);
    EXPECT_EQ(box.subject, dir / expected[i].first);
    EXPECT_NE(box.text.find(Shown(dir / expected[i].first)), std::string::npos) << box.text;
    EXPECT_NE(box.text.find(expected[i].second), std::string::npos) << box.text;
  }
  EXPECT_EQ(Names(dir.path()),
            (std::vector<std::string>{"dangling.log", "eio.log", "folder.log", "goo", "good.log"}));
  EXPECT_EQ(Names(dir / "goo"), (std::vector<std::string>{"00001.eml", "00002.eml", "00003.eml"}));
  EXPECT_EQ(ui.beeps, 5 + 2);
}

// Writes what the window writes, after another program has changed the log
// that was just read: the output begins only once the log is in memory.
class DisturbingWriter : public MailWriter {
 public:
  DisturbingWriter(FileSystem& files, std::function<void()> disturb)
      : window_(files, MailForm::Raw), disturb_(std::move(disturb)) {}
  FolderOutcome BeginLog(const LogTarget& target) override {
    disturb_();
    return window_.BeginLog(target);
  }
  WriteResult Write(const MessageRecord& message) override { return window_.Write(message); }
  WriteResult EndLog() override { return window_.EndLog(); }

 private:
  EmlFolderWriter window_;
  std::function<void()> disturb_;
};

TEST_F(Faults, ALogRewrittenOrCutShortOnceReadConvertsAsItWasRead) {
  // Over half a megabyte, with full-width spaces in every header line.
  std::vector<std::string> lines;
  for (int m = 1; m <= 300; ++m) {
    lines.push_back("00" + std::to_string(100 + m) + "/00400　ID" + std::to_string(100000 + m) +
                    "  佐藤　一郎  週末の　オフ会" + std::to_string(m));
    lines.push_back("00/04/10 21:47");
    lines.insert(lines.end(), 100, "本文の行　全角の空白も　そのまま");
  }
  WriteLog("big.log", lines);
  const std::string log = ReadFile(dir / "big.log");
  ASSERT_GT(log.size(), 512u * 1024);
  auto output = [this] {
    std::map<std::string, std::string> written;
    for (const std::string& name : Names(dir / "big")) written[name] = ReadFile(dir / "big" / name);
    std::filesystem::remove_all(dir / "big");
    return written;
  };
  LogHooks hooks;
  EmlFolderWriter undisturbed(files, MailForm::Raw);
  ASSERT_EQ(converter.ConvertLog({dir.path(), "big.log", 3}, undisturbed, hooks).written, 300u);
  const auto expected = output();

  // Rewritten with the same bytes (a terminal program restarting its
  // capture, cp, cat >), cut to nothing, cut in the middle of a line.
  const std::function<void()> disturbances[] = {
      [&] { WriteFile(dir / "big.log", log); },
      [&] { std::filesystem::resize_file(dir / "big.log", 0); },
      [&] { std::filesystem::resize_file(dir / "big.log", log.size() / 2 + 7); },
  };
  for (const auto& disturb : disturbances) {
    DisturbingWriter writer(files, disturb);
    const LogResult& result = converter.ConvertLog({dir.path(), "big.log", 3}, writer, hooks);
    EXPECT_EQ(result.outcome, LogOutcome::Converted);
    EXPECT_EQ(result.written, 300u);
    EXPECT_EQ(output(), expected);
    WriteFile(dir / "big.log", log);
  }
}

TEST_F(Faults, OutputFolderPathThatIsAFileOrABrokenLinkIsNotUsed) {
  WriteLog("abcdef.log", kLog);
  WriteLog("xyz.log", kLog);
  WriteFile(dir / "abc", "someone's file");
  std::filesystem::create_symlink(dir / "nowhere", dir / "xyz");
  ShowAndSelect({"abcdef.log", "xyz.log"});

  // Semi-automatic: the existing-entry warning first; Yes, then the folder
  // cannot be used: OK skips the log.
  ui.answers = {kOk, kYes, kOk, kOk, kYes, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " DiskError!!", " DiskError!!",
                                                   " start?", " DiskError!!", " DiskError!!"}));
  EXPECT_EQ(ui.boxes[2].kind, MsgKind::FolderUnusable);
  EXPECT_NE(ui.boxes[2].text.find(Shown(dir / "abc")), std::string::npos);
  EXPECT_EQ(ui.boxes[5].kind, MsgKind::FolderUnusable);
  EXPECT_EQ(ReadFile(dir / "abc"), "someone's file");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "xyz"));
  EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));
  EXPECT_TRUE(ui.bold);

  // Full Auto: no warning, only the report; Cancel there stops the run.
  ui.boxes.clear();
  g.FullAuto = 1;
  ui.answers = {kOk, kCancel};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " DiskError!!"}));
  EXPECT_EQ(ui.panel1, "end");
}

TEST_F(Faults, DirectoryThatVanishedBeforeTheRunReportsEachLog) {
  const std::filesystem::path shown = dir / "logs";
  std::filesystem::create_directory(shown);
  PutLog(shown / "a.log", kLog);
  PutLog(shown / "b.log", kLog);
  ShowFolder(shown);
  ui.Select({"a.log", "b.log"});
  std::filesystem::remove_all(shown);
  g.FullAuto = 1;
  ui.answers = {kOk, kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " FileError!!", " FileError!!"}));
  EXPECT_EQ(ui.boxes[2].subject, shown / "b.log");
  EXPECT_FALSE(std::filesystem::exists(shown));
  EXPECT_EQ(ui.panel1, "end");
}

TEST_F(Faults, DefaultDirThatNoLongerExistsIsKeptAsWritten) {
  g.WindowsDir = PathFromUtf8("C:\\WINDOWS");
  g.SettingsPath = dir / "tav.ini";
  const std::string gone = Utf8FromPath(dir / "gone");
  const std::string text = "[DefaultDir]=" + gone + "\r\n[DirName]=4\r\n[Editor]=ed \r\n";
  WriteFile(g.SettingsPath, text);
  const auto written = std::filesystem::last_write_time(g.SettingsPath);
  g.ReadSettings();
  // Reading neither checks the folder nor writes anything; the window
  // decides where to start when the folder is gone.
  EXPECT_EQ(g.DefaultDir, gone);
  EXPECT_EQ(g.DirNameLen, 4);
  EXPECT_EQ(std::filesystem::last_write_time(g.SettingsPath), written);
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"tav.ini"}));
  ASSERT_TRUE(g.WriteSettings());
  EXPECT_EQ(ReadFile(g.SettingsPath), text);
  EXPECT_TRUE(ui.boxes.empty());
}

// --- Nothing half-written: the native writes through a temporary file ---

// In a child process: writes 1 MiB where only 64 KiB may be written. The
// system stops the process there (SIGXFSZ), or, with that signal ignored,
// fails the write (EFBIG); the child exits 0 when the failure was reported.
[[noreturn]] void WriteOverTheSizeLimit(FileSystem& files, const std::filesystem::path& path,
                                        bool ignoreSignal) {
  if (ignoreSignal) std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{64 * 1024, 64 * 1024};
  setrlimit(RLIMIT_FSIZE, &limit);
  const IoResult result = files.WriteWholeFile(path, std::string(1 << 20, 'x'));
  std::_Exit(!result.ok && result.reason == "File too large" ? 0 : 1);
}

class NativeWrites : public Faults {
 protected:
  std::filesystem::path Target() const { return dir / "00001.eml"; }
  void SetUp() override { WriteFile(Target(), "the good old file"); }
  PosixFileSystem native;
};

TEST_F(NativeWrites, AWriteReplacesTheFileAndLeavesNothingElse) {
  ASSERT_TRUE(native.WriteWholeFile(Target(), "new").ok);
  EXPECT_EQ(ReadFile(Target()), "new");
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"00001.eml"}));

  // A link in the file's place is replaced, never written through.
  WriteFile(dir / "outside", "not ours");
  std::filesystem::remove(Target());
  std::filesystem::create_symlink(dir / "outside", Target());
  ASSERT_TRUE(native.WriteWholeFile(Target(), "new").ok);
  EXPECT_FALSE(std::filesystem::is_symlink(Target()));
  EXPECT_EQ(ReadFile(dir / "outside"), "not ours");
}

TEST_F(NativeWrites, FailedWritesKeepTheOldFileAndRemoveTheTemporary) {
  // No folder to make the fresh file in.
  IoResult result = native.WriteWholeFile(dir / "gone" / "00001.eml", "new");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.reason, "No such file or directory");

  // A read-only file is not replaced, even by root.
  std::filesystem::permissions(Target(), std::filesystem::perms::owner_read);
  result = native.WriteWholeFile(Target(), "new");
  EXPECT_EQ(result.reason, "Permission denied");
  std::filesystem::permissions(Target(), std::filesystem::perms::owner_all);

  // A folder in the file's place.
  std::filesystem::create_directory(dir / "sub");
  result = native.WriteWholeFile(dir / "sub", "new");
  EXPECT_EQ(result.reason, "Is a directory");

  // A file larger than the process may write: the write fails part way.
  EXPECT_EXIT(WriteOverTheSizeLimit(native, Target(), true), ::testing::ExitedWithCode(0), "");

  EXPECT_EQ(ReadFile(Target()), "the good old file");
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"00001.eml", "sub"}));
}

TEST_F(NativeWrites, ACrashWhileWritingLeavesTheOldFileInPlace) {
  // Killed by the system in the middle of the write, as a crash would.
  EXPECT_EXIT(WriteOverTheSizeLimit(native, Target(), false), ::testing::KilledBySignal(SIGXFSZ),
              "");
  EXPECT_EQ(ReadFile(Target()), "the good old file");
  // The cut-off fresh file is left beside it, under a name of its own that
  // no later write takes.
  std::vector<std::string> names = Names(dir.path());
  ASSERT_EQ(names.size(), 2u);
  EXPECT_TRUE(names[0].starts_with(".tav-") && names[0].ends_with(".tmp")) << names[0];
  EXPECT_EQ(std::filesystem::file_size(dir / names[0]), 64u * 1024);
  ASSERT_TRUE(native.WriteWholeFile(Target(), "new").ok);
  EXPECT_EQ(ReadFile(Target()), "new");
  EXPECT_EQ(Names(dir.path()), names);
}

// --- Full and read-only disks ---

class SmallDisks : public Faults {
 protected:
  bool Mount(std::size_t kib) {
    disk = std::make_unique<test::SmallDisk>(dir / "disk", kib);
    return disk->mounted();
  }
  std::filesystem::path On(std::string_view name) const { return disk->path() / name; }
  ~SmallDisks() override { disk.reset(); }  // unmounted before the folder goes

  std::unique_ptr<test::SmallDisk> disk;
};

TEST_F(SmallDisks, EmlWriteThatFillsTheDiskKeepsTheOldFileAndSkipsTheRest) {
  if (!Mount(256)) GTEST_SKIP() << disk->why();
  // The second message is larger than the space left once the log is there.
  std::vector<std::string> lines = {"001/003  ID000001  Taro     First", "00/04/10 21:47", "one",
                                    "002/003  ID000002  Jiro     Second", "00/04/11 21:47"};
  for (int i = 0; i < 1400; ++i) lines.push_back(std::string(100, 'b'));
  lines.insert(lines.end(), {"003/003  ID000003  Saburo   Third", "00/04/12 21:47", "three"});
  PutLog(On("mail.log"), lines);
  std::filesystem::create_directory(On("mai"));
  WriteFile(On("mai") / "00002.eml", "the good old message");
  ShowFolder(disk->path());
  ui.Select({"mail.log"});
  g.FullAuto = 1;
  ui.answers = {kOk, kOk};
  Run();

  ASSERT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " WriteError!!"}));
  EXPECT_EQ(ui.boxes[1].subject, On("mai") / "00002.eml");
  EXPECT_NE(ui.boxes[1].text.find("No space left on device"), std::string::npos);
  EXPECT_EQ(ReadFile(On("mai") / "00002.eml"), "the good old message");
  // The first message is whole, the third was not tried, no temporary is left.
  EXPECT_TRUE(ReadFile(On("mai") / "00001.eml").ends_with("\r\n\r\none\r\n\r\n"));
  EXPECT_EQ(Names(On("mai")), (std::vector<std::string>{"00001.eml", "00002.eml"}));
  EXPECT_TRUE(ui.bold);
}

TEST_F(SmallDisks, SettingsWriteOnAFullDiskKeepsTheOldFile) {
  if (!Mount(256)) GTEST_SKIP() << disk->why();
  g.WindowsDir = PathFromUtf8("C:\\WINDOWS");
  g.SettingsPath = On("tav.ini");
  const std::string good = "[DefaultDir]=D:\\logs\r\n[DirName]=3\r\n[Editor]=ed \r\n";
  WriteFile(g.SettingsPath, good);
  disk->Fill(16);
  g.ReadSettings();
  g.DefaultDir = std::string(64 * 1024, 'd');
  ui.answers = {kOk};
  EXPECT_FALSE(g.WriteSettings());
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].kind, MsgKind::SettingsUnwritable);
  EXPECT_NE(ui.boxes[0].text.find(Shown(g.SettingsPath)), std::string::npos);
  EXPECT_NE(ui.boxes[0].text.find("No space left on device"), std::string::npos);
  EXPECT_EQ(ReadFile(g.SettingsPath), good);
  EXPECT_EQ(Names(disk->path()), (std::vector<std::string>{"filler", "tav.ini"}));
}

TEST_F(SmallDisks, ReadOnlyDiskRefusesSettingsFoldersAndFilesEvenToRoot) {
  if (!Mount(256)) GTEST_SKIP() << disk->why();
  g.WindowsDir = PathFromUtf8("C:\\WINDOWS");
  g.SettingsPath = On("tav.ini");
  const std::string good = "[DefaultDir]=D:\\logs\r\n[DirName]=3\r\n[Editor]=ed \r\n";
  WriteFile(g.SettingsPath, good);
  PutLog(On("abc.log"), kLog);
  PutLog(On("xyz.log"), kLog);
  std::filesystem::create_directory(On("xyz"));
  WriteFile(On("xyz") / "00001.eml", "old");
  ASSERT_TRUE(disk->MakeReadOnly());

  ui.answers = {kOk};
  EXPECT_FALSE(g.WriteSettings());
  EXPECT_NE(ui.boxes.at(0).text.find("Read-only file system"), std::string::npos);
  EXPECT_EQ(ReadFile(g.SettingsPath), good);

  ui.boxes.clear();
  ShowFolder(disk->path());
  ui.Select({"abc.log", "xyz.log"});
  g.FullAuto = 1;
  ui.answers = {kOk, kOk, kOk};
  Run();
  EXPECT_EQ(ui.Titles(), (std::vector<std::string>{" start?", " DiskError!!", " WriteError!!"}));
  EXPECT_EQ(ui.boxes[1].kind, MsgKind::FolderUnusable);
  EXPECT_NE(ui.boxes[1].text.find("Read-only file system"), std::string::npos);
  EXPECT_EQ(ui.boxes[2].subject, On("xyz") / "00001.eml");
  EXPECT_EQ(ReadFile(On("xyz") / "00001.eml"), "old");
}

}  // namespace
}  // namespace tav
