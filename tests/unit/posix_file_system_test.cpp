// Writing files the safe way: refusals that must hold whatever folder the
// file goes to, including a folder the same object has just created.
#include <sys/stat.h>

#include <cstring>

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
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir / "out")) {
    ++entries;
  }
  EXPECT_EQ(entries, 2u);
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
  EXPECT_FALSE(std::filesystem::exists(dir / "out" / "00002.eml.tav-tmp"));
}

TEST(PosixFileSystem, ReadsAWholeFileOverWhatTheStringHeld) {
  TempDir dir;
  PosixFileSystem files;
  std::string big(5 << 20, 'x');
  big[12345] = '\0';
  WriteFile(dir / "big.log", big);
  std::string bytes = "left over from before";
  ASSERT_TRUE(files.ReadWholeFile(dir / "big.log", bytes).ok);
  EXPECT_EQ(bytes, big);
  WriteFile(dir / "small.log", "ab");
  ASSERT_TRUE(files.ReadWholeFile(dir / "small.log", bytes).ok);
  EXPECT_EQ(bytes, "ab");
}

TEST(PosixFileSystem, ALargeLogIsTheProcesssOwnCopyOnceRead) {
  TempDir dir;
  PosixFileSystem files;
  std::string log(3 << 20, 'a');
  for (std::size_t i = 0; i < log.size(); i += 4099) log[i] = static_cast<char>(i % 251);
  WriteFile(dir / "a.log", log);
  FileBytes bytes;
  ASSERT_TRUE(files.ReadWholeLog(dir / "a.log", bytes).ok);
  ASSERT_EQ(bytes.view(), log);

  // Changing the bytes leaves the file alone.
  bytes.data()[0] = 'Z';
  EXPECT_EQ(ReadFile(dir / "a.log"), log);
  std::string reason;
  EXPECT_TRUE(bytes.Intact(reason));

  // Cutting the file short takes pages away from the mapping: reading them
  // gives zeros instead of stopping the program, and the bytes say so.
  // Systems that cannot copy a mapping's pages at once read the file.
  if (bytes.InRegion()) {
    std::filesystem::resize_file(dir / "a.log", 10);
    const std::string_view after = bytes.view();
    EXPECT_EQ(after.substr(1, 9), log.substr(1, 9));
    EXPECT_EQ(after.back(), '\0');
    EXPECT_FALSE(bytes.Intact(reason));
    EXPECT_NE(reason, "");
  }

  // Small files and files that are not regular are read.
  WriteFile(dir / "b.log", "ab\r\n");
  ASSERT_TRUE(files.ReadWholeLog(dir / "b.log", bytes).ok);
  EXPECT_EQ(bytes.view(), "ab\r\n");
  EXPECT_FALSE(files.ReadWholeLog(dir.path(), bytes).ok);
  EXPECT_FALSE(files.ReadWholeLog(dir / "missing.log", bytes).ok);
}

}  // namespace
}  // namespace tav
