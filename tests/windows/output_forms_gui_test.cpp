// The output forms, and files dropped on the window or given at start-up.
#include <shlobj.h>

#include "gui_fixture.h"

namespace tav::test {
namespace {

using Files = std::vector<std::wstring>;

class OutputFormsGui : public GuiTest {
 protected:
  bool Checked(int command) {
    HMENU file = GetSubMenu(GetMenu(form->hwnd()), 0);
    return (GetMenuState(file, static_cast<UINT>(command), MF_BYCOMMAND) & MF_CHECKED) != 0;
  }
  // Files dropped from Explorer: an HDROP as the shell builds it.
  void Drop(const std::vector<std::filesystem::path>& paths) {
    std::wstring list;
    for (const auto& path : paths) list += path.native() + L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (list.size() + 1) * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    SendMessageW(form->hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  }
  Files Selected() {
    Files selected;
    for (int i = 0; i < form->FileCount(); ++i) {
      if (form->FileSelected(i)) selected.push_back(form->FileEntry(i).native());
    }
    return selected;
  }
};

TEST_F(OutputFormsGui, TheFormIsShownWrittenAndKeptUntilAReset) {
  const std::string three = ReadIni();
  Start();
  // The forms follow `end`: the items of old keep their places and keys.
  EXPECT_EQ(GetMenuItemID(GetSubMenu(GetMenu(form->hwnd()), 0), 2),
            static_cast<UINT>(Form1::kMenuEnd));
  EXPECT_TRUE(Checked(Form1::kMenuFormLog));
  EXPECT_EQ(StatusText(3), L"ログのまま");
  Command(Form1::kMenuFormMime);
  EXPECT_EQ(ReadIni(), three + "[Output]=mime\r\n");
  EXPECT_TRUE(Checked(Form1::kMenuFormMime));
  EXPECT_FALSE(Checked(Form1::kMenuFormLog));

  form.reset();
  Start();
  EXPECT_EQ(StatusText(3), L"標準メール");
  Command(Form1::kMenuOption);
  SendMessageW(form->frmOptions().Control(FrmOptions::kCommand1), BM_CLICK, 0, 0);
  EXPECT_EQ(ReadIni(), "[DefaultDir]=z\r\n[DirName]=3\r\n[Editor]=z\r\n");
  EXPECT_EQ(StatusText(3), L"ログのまま");
  EXPECT_TRUE(Checked(Form1::kMenuFormLog));
}

TEST_F(OutputFormsGui, DroppedFilesAndFilesGivenAtStartUpAreSelectedInTheirFolder) {
  const std::filesystem::path other = logsDir / L"別 フォルダ";
  std::filesystem::create_directories(other / L"sub");
  for (const wchar_t* name : {L"a.log", L"b.log"}) files.WriteWholeFile(other / name, "x");
  Start(nullptr, nullptr, {other / L"b.log"});
  EXPECT_EQ(Label1(), other.native());
  EXPECT_EQ(Selected(), Files{L"b.log"});

  // A file of another folder than the first's is passed over.
  form->SetStatusBold(true);
  Drop({logsDir / L"mail0412.log", logsDir / L"fbbs0412.log", other / L"a.log"});
  EXPECT_EQ(Label1(), logsDir.native());
  EXPECT_EQ(form->dir1().Path(), logsDir);
  EXPECT_EQ(Selected(), (Files{L"fbbs0412.log", L"mail0412.log"}));
  EXPECT_FALSE(form->StatusBold());
  Drop({other / L"sub"});  // a folder is opened
  EXPECT_EQ(Label1(), (other / L"sub").native());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(OutputFormsGui, ArchiveRunIsRefusedAndTheStartPageOpensWhereThereIsOne) {
  Start();
  Command(Form1::kMenuFormArchive);
  SelectFiles({L"mail0412.log"});
  boxes.answers = {kOk, kOk, kOk};
  Command(Form1::kMenuRun);
  ASSERT_EQ(boxes.Titles(), (std::vector<std::string>{" start?", " FormError!!"}));
  EXPECT_NE(boxes.shown[0].box.text.find(Utf8FromPath(logsDir / L"tav-web\\")), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(logsDir), {}), 3);  // the logs alone

  Command(Form1::kMenuOpenArchive);
  EXPECT_EQ(boxes.shown.back().box.title, " Web?");
  std::filesystem::create_directories(logsDir / L"tav-web");
  files.WriteWholeFile(logsDir / L"tav-web" / L"index.html", "<!DOCTYPE html>");
  Command(Form1::kMenuOpenArchive);
  EXPECT_EQ(shell.opened, std::vector<std::string>{Utf8FromPath(logsDir / L"tav-web\\index.html")});
}

}  // namespace
}  // namespace tav::test
