// A real main window for a test: a temporary program folder with tav.ini, a
// log folder holding the sample logs, message boxes answered by a script
// and a shell that records what it is asked to start.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "support/fake_shell.h"
#include "forms/form1.h"
#include "forms/message_boxes.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "platform/win32_file_system.h"

namespace tav::test {

class ScriptedMessageBoxes : public MessageBoxes {
 public:
  struct Shown {
    MsgBox box;
    HWND owner;
  };
  std::vector<Shown> shown;
  std::deque<int> answers;
  int beeps = 0;

  int Show(const MsgBox& box, HWND owner) override {
    shown.push_back({box, owner});
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected message box: " << box.title << "\n" << box.text;
      return kCancel;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Beep() override { ++beeps; }

  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (const Shown& s : shown) titles.push_back(s.box.title);
    return titles;
  }
};

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, base);
    root_ = std::filesystem::path(base) / (L"tav-gui-" + std::to_wstring(GetCurrentProcessId()) +
                                           L"-" + std::to_wstring(GetTickCount64()));
    programDir = root_ / L"program";
    logsDir = root_ / L"ログ 置き場";
    std::filesystem::create_directories(programDir);
    std::filesystem::create_directories(logsDir);
    for (const char* log : {"fbbs0412.log", "frpg0413.log", "mail0412.log"}) {
      std::filesystem::copy_file(std::filesystem::path("test-samples") / log, logsDir / log);
    }
    shell.windowsDirectory = Win32WindowsDirectory();
    shell.programPath = programDir / L"tav.exe";
    WriteIni(*Utf8ToCp932(Utf8FromPath(logsDir)), "3", "ed.exe ");
  }

  void TearDown() override {
    form.reset();
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  static std::filesystem::path Win32WindowsDirectory() {
    wchar_t windows[MAX_PATH + 1] = {};
    GetWindowsDirectoryW(windows, MAX_PATH + 1);
    return windows;
  }

  std::filesystem::path IniPath() const { return programDir / L"tav.ini"; }
  void WriteIni(const std::string& dir, const std::string& dirName, const std::string& editor) {
    ASSERT_TRUE(files
                    .WriteWholeFile(IniPath(), "[DefaultDir]=" + dir + "\r\n[DirName]=" + dirName +
                                                   "\r\n[Editor]=" + editor + "\r\n")
                    .ok);
  }
  std::string ReadIni() {
    FileBytes bytes;
    files.ReadWholeFile(IniPath(), bytes);
    return std::string(View(bytes));
  }

  // `formFiles` is the window's file system, `files` when it is null.
  Form1& Start(MessageBoxes* realBoxes = nullptr, FileSystem* formFiles = nullptr) {
    form = std::make_unique<Form1>(shell, formFiles != nullptr ? *formFiles : files,
                                   realBoxes != nullptr ? *realBoxes : boxes);
    EXPECT_TRUE(form->Create(SW_SHOWNORMAL));
    Pump();
    return *form;
  }

  // Handles the pending messages as the program's message loop does.
  void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quitPosted = true;
        continue;
      }
      if (form && form->hwnd() != nullptr && form->TranslateDialogMessage(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  HWND Control(Form1::Id id) const { return form->Control(id); }
  void Command(int id, int code = 0, HWND control = nullptr) {
    SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
  }
  // A notification of a control to the main window, as a user's action sends it.
  void Notify(Form1::Id id, int code) { Command(id, code, Control(id)); }

  static std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
  }
  std::wstring Label1() const { return Text(Control(Form1::kLabel1)); }
  std::wstring StatusText(int panel) const {
    wchar_t text[256] = {};
    SendMessageW(Control(Form1::kStatusBar1), SB_GETTEXTW, static_cast<WPARAM>(panel - 1),
                 reinterpret_cast<LPARAM>(text));
    return text;
  }
  std::vector<std::wstring> File1Entries() const {
    std::vector<std::wstring> entries;
    HWND list = Control(Form1::kFile1);
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t text[MAX_PATH] = {};
      SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      entries.push_back(text);
    }
    return entries;
  }
  void SelectFiles(std::initializer_list<const wchar_t*> names) {
    HWND list = Control(Form1::kFile1);
    for (const wchar_t* name : names) {
      const auto index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(name));
      ASSERT_GE(index, 0) << "no entry " << Utf8FromPath(name);
      SendMessageW(list, LB_SETSEL, TRUE, index);
    }
  }
  // Double-clicks the directory list's entry that shows `text`.
  void DoubleClickDir1(const std::wstring& text) {
    HWND list = Control(Form1::kDir1);
    const auto index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(text.c_str()));
    ASSERT_GE(index, 0) << "no folder " << Utf8FromPath(text);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(Form1::kDir1, LBN_DBLCLK);
  }
  // A key pressed while `target` has the focus, through the message loop.
  void Key(HWND target, WPARAM key) {
    PostMessageW(target, WM_KEYDOWN, key, 0);
    PostMessageW(target, WM_KEYUP, key, 0xC0000000);
    Pump();
  }
  SIZE ClientSize(HWND window) const {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
  }

  std::filesystem::path programDir;
  std::filesystem::path logsDir;
  FakeShell shell;
  Win32FileSystem files;
  ScriptedMessageBoxes boxes;
  std::unique_ptr<Form1> form;
  bool quitPosted = false;

 private:
  std::filesystem::path root_;
};

}  // namespace tav::test
