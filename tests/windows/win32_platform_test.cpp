// The Win32 file system, code page 932 through the system's tables, and
// the Win32 shell, on a real (Wine) system.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/paths.h"
#include "platform/win32_console.h"
#include "platform/win32_file_system.h"
#include "platform/win32_paths.h"
#include "platform/win32_shell.h"

namespace tav {
namespace {

class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, base);
    path_ = std::filesystem::path(base) / (L"tav-test-" + std::to_wstring(GetCurrentProcessId()) +
                                           L"-" + std::to_wstring(counter_++));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

TEST(Win32FileSystemTest, MakeDirectoryTellsTheFailureKindsApart) {
  TempFolder temp;
  Win32FileSystem files;
  const auto folder = temp.path() / L"ログ";
  EXPECT_EQ(files.MakeDirectory(folder).status, DirStatus::Created);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(files.MakeDirectory(folder).status, DirStatus::ExistsAsFolder);

  const auto file = temp.path() / L"file";
  ASSERT_TRUE(files.WriteWholeFile(file, "x").ok);
  EXPECT_EQ(files.MakeDirectory(file).status, DirStatus::ExistsAsOther);

  const DirResult missingParent = files.MakeDirectory(temp.path() / L"no" / L"such");
  EXPECT_EQ(missingParent.status, DirStatus::Failed);
  EXPECT_FALSE(missingParent.reason.empty());
}

TEST(Win32FileSystemTest, WritesReplacesAndReadsBytesExactly) {
  TempFolder temp;
  Win32FileSystem files;
  const auto file = temp.path() / L"a b.ini";
  const std::string bytes("[DefaultDir]=C:\\\x83\x8D\x83\x4F\r\nline\rend\n\0tail", 33);
  ASSERT_TRUE(files.WriteWholeFile(file, "old content that is longer").ok);
  ASSERT_TRUE(files.WriteWholeFile(file, bytes).ok);
  FileBytes read(64, 's');  // stale
  ASSERT_TRUE(files.ReadWholeFile(file, read).ok);
  EXPECT_EQ(View(read), bytes);
  // Nothing but the file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()), {}), 1);

  ASSERT_TRUE(files.WriteWholeFile(file, "").ok);
  ASSERT_TRUE(files.ReadWholeFile(file, read).ok);
  EXPECT_EQ(View(read), "");
}

TEST(Win32FileSystemTest, RefusesReadOnlyTargetsAndFolders) {
  TempFolder temp;
  Win32FileSystem files;
  const auto file = temp.path() / L"tav.ini";
  ASSERT_TRUE(files.WriteWholeFile(file, "kept").ok);
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
  const IoResult refused = files.WriteWholeFile(file, "new");
  EXPECT_FALSE(refused.ok);
  EXPECT_FALSE(refused.reason.empty());
  FileBytes read;
  ASSERT_TRUE(files.ReadWholeFile(file, read).ok);
  EXPECT_EQ(View(read), "kept");

  EXPECT_FALSE(files.WriteWholeFile(temp.path(), "x").ok);
  EXPECT_FALSE(files.ReadWholeFile(temp.path(), read).ok);
  const IoResult missing = files.ReadWholeFile(temp.path() / L"missing", read);
  EXPECT_FALSE(missing.ok);
  EXPECT_FALSE(missing.reason.empty());
}

TEST(Cp932Win32Test, DecodesAndEncodesExactRoundTripsOnly) {
  // 0x81 0x60 is the wave dash of code page 932 (U+FF5E), not U+301C.
  EXPECT_EQ(Cp932ToUtf8("\x83\x8D\x83\x4F\x81\x60 A"), "ログ～ A");
  EXPECT_EQ(Utf8ToCp932("ログ～ A"), "\x83\x8D\x83\x4F\x81\x60 A");
  EXPECT_EQ(Cp932ToUtf8("\xB1"), "ｱ");  // half-width katakana
  EXPECT_EQ(Cp932ToUtf8(""), "");
  EXPECT_EQ(Utf8ToCp932(""), "");

  for (const char* bad : {"\x80", "\xA0", "\xFD", "\xFE", "\xFF", "a\x83", "\x83\x20"}) {
    EXPECT_EQ(Cp932ToUtf8(bad), std::nullopt) << "byte " << static_cast<int>(bad[0] & 0xFF);
  }
  // No best-fit substitutes: characters outside code page 932 fail.
  EXPECT_EQ(Utf8ToCp932("ä"), std::nullopt);
  EXPECT_EQ(Utf8ToCp932("\xF0\x9F\x93\x9D"), std::nullopt);
  EXPECT_EQ(Utf8ToCp932("\xE3\x80\x9C"), std::nullopt);  // U+301C
  EXPECT_EQ(Utf8ToCp932("\xFF"), std::nullopt);          // invalid UTF-8
}

TEST(Win32ShellTest, FindsWindowsAndTheProgramAndStartsProcesses) {
  Win32Shell shell;
  const std::wstring windows = shell.WindowsDirectory().native();
  ASSERT_GE(windows.size(), 3u);
  EXPECT_EQ(windows[1], L':');
  EXPECT_NE(windows.back(), L'\\');
  EXPECT_EQ(shell.ProgramPath().filename(), L"tav_win32_platform_tests.exe");

  EXPECT_TRUE(shell.StartProcess("cmd.exe /c exit 0").ok);
  const IoResult missing = shell.StartProcess("C:\\no such\\editor.exe C:\\x.log");
  EXPECT_FALSE(missing.ok);
  EXPECT_FALSE(missing.reason.empty());
}

TEST(Win32PathsTest, LongPathsGetThePrefixAndNamesStayWhatTheyAre) {
  EXPECT_EQ(ExtendedPath(L"C:\\logs\\a.log"), L"C:\\logs\\a.log");
  const std::wstring name(300, L'a');
  EXPECT_EQ(ExtendedPath(L"C:\\x\\" + name + L"\\..\\b/c.log"), L"\\\\?\\C:\\x\\b\\c.log");
  EXPECT_EQ(ExtendedPath(L"\\\\server\\share\\" + name), L"\\\\?\\UNC\\server\\share\\" + name);
  EXPECT_EQ(ExtendedPath(L"\\\\?\\C:\\" + name), L"\\\\?\\C:\\" + name);

  // A name that is not valid UTF-16 is shown with U+FFFD; a pair stays one character.
  EXPECT_EQ(Utf8FromPath(std::wstring{L'a', 0xD800, L'b', 0xDC00, L'.', 0xD83D, 0xDE00}),
            "a\uFFFDb\uFFFD.\U0001F600");
}

TEST(Win32ProgramsTest, BothManifestsAllowLongPaths) {
  for (const wchar_t* program : {L"tav.exe", L"tavconv.exe"}) {
    HMODULE module = LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << Utf8FromPath(program);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr) << Utf8FromPath(program);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    EXPECT_NE(manifest.find("WindowsSettings\">true</longPathAware>"), std::string::npos)
        << Utf8FromPath(program);
    FreeLibrary(module);
  }
}

// Wine's file layer ignores case, as Windows and macOS do by default: logs
// whose folder names differ in case only share the first one's folder, the
// second is told that it exists, and each keeps its own name's identifiers.
TEST(Win32ProgramsTest, TavconvSharesAFolderWhoseNameDiffersInCaseOnly) {
  TempFolder temp;
  const auto upper = temp.path() / L"MAIL0412.log", lower = temp.path() / L"mailfbbs.log";
  std::filesystem::copy_file(L"test-samples\\mail0412.log", upper);
  std::filesystem::copy_file(L"test-samples\\fbbs0412.log", lower);
  const auto report = temp.path() / L"report.txt";
  _wsystem((L"tavconv.exe --mime \"" + upper.native() + L"\" \"" + lower.native() + L"\" 2>\"" +
            report.native() + L"\"").c_str());
  std::vector<std::filesystem::path> folders;
  for (const auto& entry : std::filesystem::directory_iterator(temp.path())) {
    if (entry.is_directory()) folders.push_back(entry.path().filename());
  }
  EXPECT_EQ(folders, std::vector<std::filesystem::path>{L"MAI"});
  const auto text = [](const std::filesystem::path& file) {
    FileBytes bytes;
    Win32FileSystem().ReadWholeFile(file, bytes);
    return std::string(View(bytes));
  };
  EXPECT_NE(text(report).find(Utf8FromPath(temp.path() / L"mai") + ": folder exists"),
            std::string::npos);
  EXPECT_NE(text(upper.parent_path() / L"MAI" / L"00001.eml").find("<00001.MAI@tav.example.jp>"),
            std::string::npos);
  EXPECT_NE(text(lower.parent_path() / L"MAI" / L"00231.eml").find("<00231.mai@tav.example.jp>"),
            std::string::npos);

  // The same mail session under both names: six messages, six files.
  const auto again = temp.path() / L"mail0415.log";
  std::filesystem::copy_file(L"test-samples\\mail0412.log", again);
  const auto box = temp.path() / L"box";
  _wsystem((L"tavconv.exe --maildir \"" + box.native() + L"\" \"" + upper.native() + L"\" \"" +
            again.native() + L"\" 2>nul").c_str());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(box / L"cur"),
                          std::filesystem::directory_iterator()),
            6);
}

TEST(Win32ProgramsTest, TavconvWritesAConsoleInUtf16AndAFileInUtf8) {
  TempFolder temp;
  const auto log = temp.path() / L"メール.log";
  std::filesystem::copy_file(L"test-samples\\mail0412.log", log);
  const std::wstring expected = L"メール.log: 3 messages written to ";

  HANDLE before = GetStdHandle(STD_OUTPUT_HANDLE);
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE console =
      CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inherited, CONSOLE_TEXTMODE_BUFFER, nullptr);
  SetConsoleScreenBufferSize(console, {400, 50});
  const auto file = temp.path() / L"out.txt";
  HANDLE output = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                              CREATE_ALWAYS, 0, nullptr);
  for (HANDLE target : {console, output}) {
    std::filesystem::remove_all(temp.path() / L"メー");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = target;
    std::wstring line = L"tavconv.exe \"" + log.native() + L"\"";
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                               &startup, &process));
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(output);
  std::wstring screen(400, L' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(console, screen.data(), 400, {0, 0}, &read);
  EXPECT_NE(screen.find(expected), std::wstring::npos) << Utf8FromPath(screen);
  FileBytes bytes;
  Win32FileSystem().ReadWholeFile(file, bytes);
  EXPECT_NE(View(bytes).find(Utf8FromPath(expected)), std::string::npos) << View(bytes);

  // A character cut between two writes waits for its last byte.
  {
    Win32ConsoleBuffer buffer(console);
    std::ostream stream(&buffer);
    SetConsoleCursorPosition(console, {0, 10});
    for (const char byte : std::string("ロ\xFF")) stream << byte << std::flush;
  }
  ReadConsoleOutputCharacterW(console, screen.data(), 2, {0, 10}, &read);
  EXPECT_EQ(screen.substr(0, 2), L"ロ\uFFFD");
  CloseHandle(console);
  FreeConsole();
  SetStdHandle(STD_OUTPUT_HANDLE, before);
}

}  // namespace
}  // namespace tav
