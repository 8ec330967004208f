// The main window in harder cases: a long run, a name that is not valid
// UTF-16, an exception in a handler, lists that change under it, a change
// of DPI and a folder deeper than the old path limit.
#include <functional>
#include <map>

#include "gui_fixture.h"
#include "tavconv.h"

#include <dbt.h>

namespace tav::test {
namespace {

// The real file system with a hook before each read, and names that stand
// for other files: a name Wine cannot hold is read from a real file, and
// what is made or written under it is only recorded.
class HookedFileSystem : public Win32FileSystem {
 public:
  std::function<void()> beforeRead = [] {};
  std::function<void()> beforeWrite = [] {};
  std::map<std::filesystem::path, std::filesystem::path> standIns;
  std::vector<std::filesystem::path> made;

  IoResult ReadWholeFile(const std::filesystem::path& path, FileBytes& bytes) override {
    beforeRead();
    const auto standIn = standIns.find(path);
    return Win32FileSystem::ReadWholeFile(standIn != standIns.end() ? standIn->second : path,
                                          bytes);
  }
  DirResult MakeDirectory(const std::filesystem::path& path) override {
    if (!StandsIn(path)) return Win32FileSystem::MakeDirectory(path);
    made.push_back(path);
    return {};
  }
  IoResult WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) override {
    beforeWrite();
    if (!StandsIn(path)) return Win32FileSystem::WriteWholeFile(path, bytes);
    made.push_back(path);
    return {};
  }

 private:
  static bool StandsIn(const std::filesystem::path& path) {
    return path.native().find(L'\xD800') != std::wstring::npos;
  }
};

TEST_F(GuiTest, RunRepaintsShowsItsLogAndTakesNoCommands) {
  HookedFileSystem hooked;
  Form1& f = Start(nullptr, &hooked);
  Notify(Form1::kCheck1, BN_CLICKED);  // Full Auto
  SelectFiles({L"fbbs0412.log", L"mail0412.log"});
  HWND list = Control(Form1::kFile1);
  bool painted = false;
  std::wstring shownDuringRun;
  hooked.beforeRead = [&] {
    if (shownDuringRun.empty()) {
      // What a user does while the first log is converted.
      InvalidateRect(f.hwnd(), nullptr, TRUE);
      for (int id : {+Form1::kMenuRun, +Form1::kMenuOption, Form1::kToolbarCommandBase + 3}) {
        PostMessageW(f.hwnd(), WM_COMMAND, static_cast<WPARAM>(id), 0);
      }
      PostMessageW(list, WM_KEYDOWN, VK_HOME, 0);
      PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
      PostMessageW(f.hwnd(), WM_CLOSE, 0, 0);
    } else {
      painted = !GetUpdateRect(f.hwnd(), nullptr, FALSE);
    }
    shownDuringRun = StatusText(2);
  };
  boxes.answers = {kOk};
  Command(Form1::kMenuRun);
  Pump();
  EXPECT_TRUE(painted);
  EXPECT_EQ(shownDuringRun, L"mail0412.log");
  // One run, one question; nothing else started, during the run or after it.
  EXPECT_EQ(boxes.Titles(), std::vector<std::string>{" start?"});
  EXPECT_FALSE(f.frmOptions().IsVisible());
  EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 2);
  EXPECT_NE(f.hwnd(), nullptr);
}

TEST_F(GuiTest, NameThatIsNotUtf16IsShownWithAReplacementAndConvertedByItself) {
  const std::wstring name = L"m\xD800il.log";  // an unpaired surrogate, legal on NTFS
  HookedFileSystem hooked;
  hooked.standIns[logsDir / name] = logsDir / L"mail0412.log";
  Form1& f = Start(nullptr, &hooked);
  SendMessageW(Control(Form1::kFile1), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  SelectFiles({name.c_str()});
  boxes.answers = {kOk};
  Command(Form1::kMenuRun);
  ASSERT_EQ(boxes.Titles(), std::vector<std::string>{" start?"});
  EXPECT_NE(boxes.shown[0].box.text.find("m\uFFFDil.log"), std::string::npos);
  EXPECT_EQ(StatusText(2), L"m\uFFFDil.log");
  ASSERT_EQ(hooked.made.size(), 4u);  // the folder and three messages
  EXPECT_EQ(hooked.made[3], logsDir / L"m\xD800i" / L"00003.eml");

  std::ostringstream out;
  std::ostringstream errors;
  EXPECT_EQ(RunTavconv({logsDir / name}, out, errors, hooked), kExitOk) << errors.str();
  EXPECT_NE(out.str().find("m\uFFFDil.log: 3 messages written"), std::string::npos) << out.str();

  // An exception while a log is converted is told for that log; the run goes on.
  hooked.beforeRead = [] { throw std::runtime_error("disk on fire"); };
  SelectFiles({L"mail0412.log"});
  boxes.shown.clear();
  boxes.answers = {kOk, kOk};
  Command(Form1::kMenuRun);
  ASSERT_EQ(boxes.Titles(), (std::vector<std::string>{" start?", " FileError!!"}));
  EXPECT_NE(boxes.shown[1].box.text.find("disk on fire"), std::string::npos);
  EXPECT_EQ(StatusText(1), L"end");

  // One in any other handler is told over the window, which goes on.
  hooked.beforeRead = [] {};
  hooked.beforeWrite = [] { throw std::runtime_error("disk on fire"); };
  boxes.shown.clear();
  boxes.answers = {kOk, kOk};
  Notify(Form1::kFile1, LBN_DBLCLK);  // the editor choice writes tav.ini
  ASSERT_EQ(boxes.Titles(), (std::vector<std::string>{" Editor?", " Error!!"}));
  EXPECT_NE(boxes.shown[1].box.text.find("disk on fire"), std::string::npos);
  EXPECT_EQ(boxes.shown[1].owner, f.hwnd());
  hooked.beforeWrite = [] {};
  boxes.answers = {kOk};
  Command(Form1::kMenuRun);
  EXPECT_EQ(StatusText(1), L"end");
}

TEST_F(GuiTest, F5AndNewDrivesRefreshTheListsKeepingTheSelection) {
  Form1& f = Start();
  SelectFiles({L"fbbs0412.log", L"mail0412.log"});
  files.WriteWholeFile(logsDir / L"new.log", "x");
  std::filesystem::remove(logsDir / L"fbbs0412.log");
  std::filesystem::create_directories(logsDir / L"mai");
  Key(Control(Form1::kFile1), VK_F5);
  EXPECT_EQ(File1Entries(),
            (std::vector<std::wstring>{L"frpg0413.log", L"mail0412.log", L"new.log"}));
  EXPECT_EQ(SendMessageW(Control(Form1::kFile1), LB_GETSEL, 1, 0), 1);
  EXPECT_EQ(SendMessageW(Control(Form1::kFile1), LB_GETSELCOUNT, 0, 0), 1);
  EXPECT_EQ(f.dir1().EntryPath(f.dir1().EntryCount() - 1), logsDir / L"mai");

  // The folder shown is gone: the one above it.
  f.SetDirectoryListPath(logsDir / L"mai");
  std::filesystem::remove(logsDir / L"mai");
  Key(Control(Form1::kDir1), VK_F5);
  EXPECT_EQ(Label1(), logsDir.native());

  // A drive that comes and goes.
  auto driveQ = [&] {
    return SendMessageW(Control(Form1::kDrive1), CB_FINDSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(L"q:")) >= 0;
  };
  DEV_BROADCAST_VOLUME volume{sizeof volume, DBT_DEVTYP_VOLUME, 0, 1u << 16, 0};
  const auto tell = [&](WPARAM event) {
    SendMessageW(f.hwnd(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
  };
  ASSERT_TRUE(DefineDosDeviceW(0, L"Q:", logsDir.c_str()));
  tell(DBT_DEVICEARRIVAL);
  EXPECT_TRUE(driveQ());
  DefineDosDeviceW(DDD_REMOVE_DEFINITION, L"Q:", nullptr);
  tell(DBT_DEVICEREMOVECOMPLETE);
  EXPECT_FALSE(driveQ());
}

TEST_F(GuiTest, EveryFontImageAndSizeFollowsTheDpi) {
  Form1& f = Start();
  auto fontHeight = [](HWND window) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0));
    return GetObjectW(handle, sizeof font, &font) != 0 ? font.lfHeight : 0;
  };
  RECT suggested{10, 10, 500, 500};
  for (const int dpi : {144, 96}) {
    SendMessageW(f.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    for (HWND window : {Control(Form1::kFile1), Control(Form1::kStatusBar1), f.Tooltips()}) {
      EXPECT_EQ(fontHeight(window), -MulDiv(9, dpi, 72)) << dpi;
    }
    EXPECT_EQ(ClientSize(f.hwnd()).cx, MulDiv(4470, dpi, 1440));
    RECT file1{};
    GetWindowRect(Control(Form1::kFile1), &file1);
    EXPECT_EQ(file1.bottom - file1.top, MulDiv(2970, dpi, 1440));
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(
                              SendMessageW(Control(Form1::kToolbar1), TB_GETIMAGELIST, 0, 0)),
                          &width, &height);
    EXPECT_EQ(height, MulDiv(16, dpi, 96));
  }

  // A dialog laid out for another DPI than its monitor's takes the
  // monitor's when it opens.
  HWND options = f.frmOptions().hwnd();
  SendMessageW(options, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(ClientSize(options).cx, MulDiv(5745, 144, 1440));
  Command(Form1::kMenuOption);
  const int dpi = static_cast<int>(GetDpiForWindow(options));
  EXPECT_EQ(ClientSize(options).cx, MulDiv(5745, dpi, 1440));
  EXPECT_EQ(fontHeight(f.frmOptions().Control(FrmOptions::kCombo1)), -MulDiv(9, dpi, 72));
}

TEST_F(GuiTest, LogsInAFolderDeeperThan300CharactersConvertAsOnTheCommandLine) {
  std::filesystem::path deep = logsDir;
  for (const wchar_t part : std::wstring_view(L"一二三四五六")) deep /= std::wstring(50, part);
  ASSERT_GT(deep.native().size(), 300u);
  std::filesystem::create_directories(deep / L"cli");
  for (const auto& folder : {deep, deep / L"cli"}) {
    std::filesystem::copy_file(logsDir / L"mail0412.log", folder / L"mail0412.log");
  }
  Form1& f = Start();
  f.SetDirectoryListPath(deep);
  EXPECT_EQ(Label1(), deep.native());
  SelectFiles({L"mail0412.log"});
  boxes.answers = {kOk};
  Command(Form1::kMenuRun);
  std::ostringstream out;
  std::ostringstream errors;
  ASSERT_EQ(RunTavconv({deep / L"cli" / L"mail0412.log"}, out, errors, files), kExitOk)
      << errors.str();
  for (const wchar_t* eml : {L"00001.eml", L"00002.eml", L"00003.eml"}) {
    FileBytes byWindow;
    FileBytes byTavconv;
    EXPECT_TRUE(files.ReadWholeFile(deep / L"mai" / eml, byWindow).ok);
    EXPECT_TRUE(files.ReadWholeFile(deep / L"cli" / L"mai" / eml, byTavconv).ok);
    EXPECT_EQ(View(byWindow), View(byTavconv));
  }
}

}  // namespace
}  // namespace tav::test
