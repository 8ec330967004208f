// Writing files the safe way: refusals that must hold whatever folder the
// file goes to, including a folder the same object has just created.
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "platform/posix_file_system.h"
#include "support/temp_dir.h"

namespace tav {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Sets the process's umask for one test.
class Umask {
 public:
  explicit Umask(mode_t mask) : previous_(::umask(mask)) {}
  ~Umask() { ::umask(previous_); }

 private:
  mode_t previous_;
};

TEST(PosixFileSystem, ReplacesItsOwnFilesInANewFolderAndLeavesNoTemporaryFile) {
  TempDir dir;
  PosixFileSystem files;
  ASSERT_EQ(files.MakeDirectory(dir / "out").status, DirStatus::Created);
  EXPECT_TRUE(files.WriteWholeFile(dir / "out" / "00001.eml", "first").ok);
  EXPECT_TRUE(files.WriteWholeFile(dir / "out" / "00002.eml", "other").ok);
  EXPECT_TRUE(files.WriteWholeFile(dir / "out" / "00001.eml", "second").ok);
  EXPECT_EQ(ReadFile(dir / "out" / "00001.eml"), "second");
  EXPECT_EQ(ReadFile(dir / "out" / "00002.eml"), "other");
  EXPECT_EQ(test::FolderNames(dir / "out"), (std::vector<std::string>{"00001.eml", "00002.eml"}));
}

TEST(PosixFileSystem, FilesCreatedReadOnlyAreNotReplacedEvenInANewFolder) {
  TempDir dir;
  PosixFileSystem files;
  const Umask noWrite(0222);
  ASSERT_EQ(files.MakeDirectory(dir / "out").status, DirStatus::Created);
  EXPECT_TRUE(files.WriteWholeFile(dir / "out" / "00001.eml", "first").ok);
  EXPECT_TRUE(files.WriteWholeFile(dir / "out" / "00002.eml", "other").ok);
  const IoResult again = files.WriteWholeFile(dir / "out" / "00001.eml", "second");
  EXPECT_FALSE(again.ok);
  EXPECT_EQ(again.reason, std::strerror(EACCES));
  EXPECT_EQ(ReadFile(dir / "out" / "00001.eml"), "first");
}

TEST(PosixFileSystem, AReusedFolderIsCheckedForReadOnlyFilesAndFolders) {
  TempDir dir;
  PosixFileSystem files;
  ASSERT_EQ(files.MakeDirectory(dir / "out").status, DirStatus::Created);
  WriteFile(dir / "out" / "00001.eml", "kept");
  std::filesystem::permissions(dir / "out" / "00001.eml", std::filesystem::perms::owner_read);
  std::filesystem::create_directory(dir / "out" / "00002.eml");
  // The same object asked for the folder again: it exists, so it is not new.
  ASSERT_EQ(files.MakeDirectory(dir / "out").status, DirStatus::ExistsAsFolder);

  const IoResult readOnly = files.WriteWholeFile(dir / "out" / "00001.eml", "new");
  EXPECT_FALSE(readOnly.ok);
  EXPECT_EQ(readOnly.reason, std::strerror(EACCES));
  EXPECT_EQ(ReadFile(dir / "out" / "00001.eml"), "kept");
  const IoResult folder = files.WriteWholeFile(dir / "out" / "00002.eml", "new");
  EXPECT_FALSE(folder.ok);
  EXPECT_EQ(folder.reason, std::strerror(EISDIR));
  EXPECT_EQ(test::FolderNames(dir / "out"), (std::vector<std::string>{"00001.eml", "00002.eml"}));
}

TEST(PosixFileSystem, ReadsAWholeFileOverWhatTheStringHeld) {
  TempDir dir;
  PosixFileSystem files;
  std::string big(5 << 20, 'x');
  big[12345] = '\0';
  WriteFile(dir / "big.log", big);
  FileBytes bytes(4096, 'z');  // left over from before
  ASSERT_TRUE(files.ReadWholeFile(dir / "big.log", bytes).ok);
  EXPECT_EQ(View(bytes), big);
  WriteFile(dir / "small.log", "ab");
  ASSERT_TRUE(files.ReadWholeFile(dir / "small.log", bytes).ok);
  EXPECT_EQ(View(bytes), "ab");
}

TEST(PosixFileSystem, OnlyRegularFilesAreReadAndAHugeOneIsRefusedNotThrown) {
  TempDir dir;
  PosixFileSystem files;
  FileBytes bytes;
  // A pipe without a writer: opening it to read would wait for ever.
  ASSERT_EQ(::mkfifo((dir / "pipe.log").c_str(), 0600), 0);
  IoResult read = files.ReadWholeFile(dir / "pipe.log", bytes);
  EXPECT_FALSE(read.ok);
  EXPECT_EQ(read.reason, "not a regular file");
  EXPECT_FALSE(files.ReadWholeFile(dir.path(), bytes).ok);
  EXPECT_FALSE(files.ReadWholeFile(dir / "missing.log", bytes).ok);
  EXPECT_FALSE(files.ReadWholeFile("/dev/null", bytes).ok);

  // A sparse file larger than any string: refused with a reason.
  WriteFile(dir / "huge.log", "");
  std::error_code unsupported;
  std::filesystem::resize_file(dir / "huge.log", std::numeric_limits<std::int64_t>::max(),
                               unsupported);
  if (!unsupported) {
    read = files.ReadWholeFile(dir / "huge.log", bytes);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.reason, std::strerror(EFBIG));
  }
}

TEST(PosixFileSystem, FreshFilesNeverShareANameWithAnotherFile) {
  TempDir dir;
  // The name the first fresh file would take is a user's file already.
  FreshNames names(7);
  std::string taken;
  names.MakeFresh([&](const std::string& name) { return taken = name; },
                  [](const std::string&) { return false; });
  WriteFile(dir / taken, "the user's");

  PosixFileSystem files({}, 7);
  ASSERT_TRUE(files.WriteWholeFile(dir / "00001.eml", "first").ok);
  EXPECT_EQ(ReadFile(dir / taken), "the user's");

  IoResult failure;
  auto one = files.CreateFreshFile(dir.path(), failure);
  auto two = files.CreateFreshFile(dir.path(), failure);
  ASSERT_TRUE(one && two);
  ASSERT_TRUE(one->Write("one").ok);
  ASSERT_TRUE(two->Write("two").ok);
  // Not replacing: an existing target is left alone and the commit refused.
  const IoResult refused = one->Commit(dir / "00001.eml", false);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.reason, std::strerror(EEXIST));
  EXPECT_EQ(ReadFile(dir / "00001.eml"), "first");
  ASSERT_TRUE(two->Commit(dir / "00001.eml", true).ok);
  EXPECT_EQ(ReadFile(dir / "00001.eml"), "two");
  one.reset();  // never committed: nothing of it is left
  two.reset();
  EXPECT_EQ(test::FolderNames(dir.path()), (std::vector<std::string>{taken, "00001.eml"}));
}

// The system calls that finish a file, failing as a test asks.
int failingClose(int fd) {
  ::close(fd);
  errno = EIO;  // a write the system could not complete, reported late
  return -1;
}
int noHardLinks(const char*, const char*) {
  errno = EPERM;  // as on FAT and some network file systems
  return -1;
}

TEST(PosixFileSystem, ALateWriteErrorAtCloseFailsTheCommitAndLeavesNothing) {
  TempDir dir;
  WriteFile(dir / "00001.eml", "old");
  PosixFileSystem files(PosixCalls{.close = failingClose});
  const IoResult result = files.WriteWholeFile(dir / "00001.eml", "new");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.reason, std::strerror(EIO));
  EXPECT_EQ(ReadFile(dir / "00001.eml"), "old");
  EXPECT_EQ(test::FolderNames(dir.path()), (std::vector<std::string>{"00001.eml"}));
}

TEST(PosixFileSystem, WithoutHardLinksACommitThatMustNotReplaceStillRefusesAnExistingFile) {
  TempDir dir;
  PosixFileSystem files(PosixCalls{.link = noHardLinks});
  IoResult failure;
  auto fresh = files.CreateFreshFile(dir.path(), failure);
  ASSERT_TRUE(fresh && fresh->Write("mailbox").ok);
  WriteFile(dir / "taken.mbox", "someone's");
  EXPECT_EQ(fresh->Commit(dir / "taken.mbox", false).reason, std::strerror(EEXIST));
  EXPECT_EQ(ReadFile(dir / "taken.mbox"), "someone's");

  fresh = files.CreateFreshFile(dir.path(), failure);
  ASSERT_TRUE(fresh && fresh->Write("mailbox").ok);
  EXPECT_TRUE(fresh->Commit(dir / "new.mbox", false).ok);
  fresh.reset();
  EXPECT_EQ(ReadFile(dir / "new.mbox"), "mailbox");
  EXPECT_EQ(test::FolderNames(dir.path()), (std::vector<std::string>{"new.mbox", "taken.mbox"}));
}

}  // namespace
}  // namespace tav
