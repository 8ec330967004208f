// Form1's event handlers and the window operations the program's logic
// calls (Ui).
#include "forms/design.h"
#include "forms/folder_listing.h"
#include "forms/form1.h"
#include "forms/twips.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "platform/win32_paths.h"
#include "platform/win32_text.h"

namespace tav {

const std::array<Form1::ToolbarButton, Form1::kToolbarButtons> Form1::kToolbar = {{
    {nullptr, nullptr},
    {nullptr, nullptr},
    {"edit", L"選択されたログをエディタで開きます。"},
    {"start", L"＊．ＥＭＬファイルを作成します。"},
    {nullptr, nullptr},
    {nullptr, nullptr},
    {"info", L"バージョン情報を表示します。"},
    {"dev", L"ヘルプファイルの参照"},
    {"opt", L"オプション各種を設定します。"},
    {nullptr, nullptr},
    {nullptr, nullptr},
    {"end", L"終了"},
    {nullptr, nullptr},
}};

const std::array<const char*, 6> Form1::kImageKeys = {"end", "opt", "edit", "start", "info", "dev"};

int Form1::FormCommand(OutputForm form) {
  switch (form) {
    case OutputForm::Mime:
      return kMenuFormMime;
    case OutputForm::Archive:
      return kMenuFormArchive;
    case OutputForm::Log:
      break;
  }
  return kMenuFormLog;
}

const wchar_t* Form1::FormMenuText(OutputForm form) {
  switch (form) {
    case OutputForm::Mime:
      return L"形式：標準メールの .eml（MIME）";
    case OutputForm::Archive:
      return L"形式：Ｗｅｂアーカイブ（tav-web フォルダ）";
    case OutputForm::Log:
      break;
  }
  return L"形式：ログのままの .eml（従来どおり）";
}

const wchar_t* Form1::FormPanelText(OutputForm form) {
  switch (form) {
    case OutputForm::Mime:
      return L"標準メール";
    case OutputForm::Archive:
      return L"Webアーカイブ";
    case OutputForm::Log:
      break;
  }
  return L"ログのまま";
}

namespace {

constexpr const char* kCrLf = "\r\n";

std::filesystem::path CurrentDirectory() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring path(size, L'\0');
  path.resize(GetCurrentDirectoryW(size, path.data()));
  return path;
}

// The absolute path with the long name of each part, where the system can
// give it.
std::filesystem::path LongName(const std::filesystem::path& path) {
  const std::filesystem::path absolute = NormalizeFolder(path);
  const DWORD size = GetLongPathNameW(absolute.c_str(), nullptr, 0);
  if (size == 0) return absolute;
  std::wstring name(size, L'\0');
  const DWORD length = GetLongPathNameW(absolute.c_str(), name.data(), size);
  if (length == 0 || length >= size) return absolute;
  name.resize(length);
  return name;
}

// Disables the dialogs while it lives: during a run they take no input.
class DialogsDisabled {
 public:
  explicit DialogsDisabled(std::initializer_list<HWND> dialogs) {
    for (HWND dialog : dialogs) {
      if (dialog != nullptr && IsWindowEnabled(dialog)) {
        EnableWindow(dialog, FALSE);
        disabled_.push_back(dialog);
      }
    }
  }
  ~DialogsDisabled() {
    for (HWND dialog : disabled_) {
      if (IsWindow(dialog)) EnableWindow(dialog, TRUE);
    }
  }
  DialogsDisabled(const DialogsDisabled&) = delete;
  DialogsDisabled& operator=(const DialogsDisabled&) = delete;

 private:
  std::vector<HWND> disabled_;
};

}  // namespace

// --- Start-up ---

void Form1::Form_Load() {
  Global& g = program_.global;
  g.WindowsDir = shell_.WindowsDirectory();
  g.ProgramDir = shell_.ProgramPath().parent_path();
  BuildToolbar();
  g.SettingsPath = JoinPath(g.ProgramDir, "tav.ini");
  g.ReadSettings();
  frmOptions_.Create(hwnd());
  frmAbout_.Create(hwnd());

  // A default directory that is gone (or that is no code page 932 text)
  // gives way to the program's directory.
  std::filesystem::path defaultDir = g.ProgramDir;
  if (const auto text = Cp932ToUtf8(g.DefaultDir)) {
    const std::filesystem::path wanted = PathFromUtf8(*text);
    const DWORD attributes = GetFileAttributesW(ExtendedPath(wanted).c_str());
    if (!wanted.empty() && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      defaultDir = wanted;
    }
  }
  SetWindowTextW(Control(kLabel1), defaultDir.c_str());
  if (drive1_.SetDrive(defaultDir)) Drive1_Change();
  if (!SetDir1Path(defaultDir)) {
    // One that is there but cannot be listed has been reported; then the
    // program's directory, and Label1 names whatever the lists show.
    if (!SameFolder(defaultDir, g.ProgramDir)) SetDir1Path(g.ProgramDir);
    drive1_.SetDrive(dir1_.Path());
    SetWindowTextW(Control(kLabel1), dir1_.Path().c_str());
  }

  AddNumberItems(Control(kCombo1));
  SetWindowTextW(Control(kCombo1), std::to_wstring(g.DirNameLen).c_str());
  ShowOutputForm();
}

void Form1::LoadToolbarImages(UINT dpi) {
  // The toolbar is 330 twips high: 16 pixel images at 96 DPI.
  const int size = MulDiv(16, static_cast<int>(dpi), 96);
  HIMAGELIST old = imageList1_;
  imageList1_ = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 6, 0);

  // Each image comes from "<key>.ico" in the current working directory (and
  // nowhere else). A missing or unreadable file leaves its button without
  // an image.
  const std::filesystem::path workingDirectory = CurrentDirectory();
  for (std::size_t i = 0; i < kImageKeys.size(); ++i) {
    const std::wstring file =
        (workingDirectory / Widen(std::string(kImageKeys[i]) + ".ico")).native();
    HICON icon = static_cast<HICON>(
        LoadImageW(nullptr, file.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
    imageOf_[i] = icon != nullptr ? ImageList_AddIcon(imageList1_, icon) : I_IMAGENONE;
    if (icon != nullptr) DestroyIcon(icon);
  }
  HWND toolbar = Control(kToolbar1);
  SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList1_));
  if (old == nullptr) return;
  ImageList_Destroy(old);
  // A file that could be read before and no longer can moves the images
  // after it: each button is given its image again.
  for (std::size_t position = 0; position < kToolbar.size(); ++position) {
    for (std::size_t i = 0; i < kImageKeys.size(); ++i) {
      const char* key = kToolbar[position].key;
      if (key != nullptr && std::string_view(kImageKeys[i]) == key) {
        SendMessageW(toolbar, TB_CHANGEBITMAP, kToolbarCommandBase + position, imageOf_[i]);
      }
    }
  }
}

void Form1::BuildToolbar() {
  HWND toolbar = Control(kToolbar1);
  SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  LoadToolbarImages(Dpi());
  std::array<TBBUTTON, kToolbarButtons> buttons{};
  for (std::size_t position = 0; position < kToolbar.size(); ++position) {
    TBBUTTON& button = buttons[position];
    button.idCommand = kToolbarCommandBase + static_cast<int>(position);
    button.dwData = position;
    const char* key = kToolbar[position].key;
    if (key == nullptr) {
      button.fsStyle = BTNS_SEP;
      continue;
    }
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON;
    button.iBitmap = I_IMAGENONE;
    for (std::size_t i = 0; i < kImageKeys.size(); ++i) {
      if (std::string_view(kImageKeys[i]) == key) button.iBitmap = imageOf_[i];
    }
  }
  SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
}

// --- Browsing ---

void Form1::Drive1_Change() {
  SetStatusBold(false);
  const std::wstring previous = DriveOf(dir1_.Path());
  // "D:" names the current directory of drive D.
  if (!SetDir1Path(std::filesystem::path(drive1_.Drive()))) drive1_.Restore(previous);
}

void Form1::Dir1_Change() {
  SetStatusBold(false);
  FillFile1(dir1_.Path());
  SetWindowTextW(Control(kLabel1), dir1_.Path().c_str());
}

bool Form1::SetDir1Path(const std::filesystem::path& folder) {
  if (!dir1_.Path().empty() && SameFolder(NormalizeFolder(folder), dir1_.Path())) return true;
  const IoResult shown = dir1_.SetPath(folder);
  if (!shown.ok) {
    ReportUnreadableFolder(folder, shown.reason);
    return false;
  }
  Dir1_Change();
  return true;
}

void Form1::FillFile1(const std::filesystem::path& folder, const std::vector<std::wstring>& keep) {
  std::vector<std::wstring> names;
  const IoResult listed = ListFolder(folder, EntryKind::Files, names);
  HWND list = Control(kFile1);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  SendMessageW(list, LB_INITSTORAGE, names.size(), names.size() * 32 * sizeof(wchar_t));
  for (const std::wstring& name : names) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  for (const std::wstring& name : keep) {
    const auto index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(name.c_str()));
    if (index >= 0) SendMessageW(list, LB_SETSEL, TRUE, index);
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  if (!listed.ok) ReportUnreadableFolder(folder, listed.reason);
}

void Form1::ReportUnreadableFolder(const std::filesystem::path& folder, const std::string& reason) {
  Global& g = program_.global;
  g.MsgText = "フォルダを読み込めませんでした。";
  g.MsgText += kCrLf;
  g.MsgText += Utf8FromPath(folder);
  g.MsgText += kCrLf;
  g.MsgText += "（" + reason + "）";
  g.MsgText += kCrLf;
  g.ShowMsgText(MsgKind::Other, " DirError!!", Buttons::Ok, Icon::Exclamation, folder, reason);
}

void Form1::Check1_Click() {
  Global& g = program_.global;
  g.FullAuto = g.FullAuto == 0 ? 1 : 0;
  SendMessageW(Control(kCheck1), BM_SETCHECK, g.FullAuto == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

// --- Commands ---

void Form1::run_Click() {
  if (runActive_) return;
  {
    // The run holds the program: the main window takes only the answers to
    // its boxes, the dialogs nothing.
    const ScopedFlag running(runActive_);
    const DialogsDisabled dialogs{frmOptions_.hwnd(), frmAbout_.hwnd()};
    program_.run.RunConversion();
  }
  // The output folders just made show in Dir1.
  RefreshLists();
}

void Form1::RefreshLists() {
  std::vector<std::wstring> selected;
  for (int i = 0; i < FileCount(); ++i) {
    if (FileSelected(i)) selected.push_back(FileEntry(i).native());
  }
  const std::filesystem::path shown = dir1_.Path();
  if (dir1_.Refresh().ok) {
    // The same folder listed again stays where it was scrolled to.
    HWND list = Control(kFile1);
    const auto top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    FillFile1(shown, selected);
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
  } else {
    // The folder, or its drive, is gone: the nearest folder above it that
    // can be listed, else the program's.
    std::filesystem::path folder = shown;
    bool listed = false;
    while (!listed && folder.has_relative_path()) {
      folder = folder.parent_path();
      listed = dir1_.SetPath(folder).ok;
    }
    if (!listed) listed = dir1_.SetPath(program_.global.ProgramDir).ok;
    if (listed) Dir1_Change();
  }
  drive1_.Refresh();
  drive1_.SetDrive(dir1_.Path());
}

void Form1::SelectDroppedFiles(const std::vector<std::filesystem::path>& paths) {
  if (runActive_ || paths.empty()) return;
  SetStatusBold(false);
  // Full paths with their long names, as File1 lists them (a command line
  // may give a relative path or a short 8.3 name).
  std::vector<std::filesystem::path> full;
  for (const std::filesystem::path& path : paths) full.push_back(LongName(path));
  // A folder given first is opened; otherwise the first file's folder.
  const DWORD attributes = GetFileAttributesW(ExtendedPath(full[0]).c_str());
  const bool folderFirst =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const std::filesystem::path folder = folderFirst ? full[0] : full[0].parent_path();
  if (!SetDir1Path(folder)) return;
  drive1_.SetDrive(dir1_.Path());
  std::vector<std::wstring> names;
  if (!folderFirst) {
    for (const std::filesystem::path& path : full) {
      if (SameFolder(NormalizeFolder(path.parent_path()), dir1_.Path())) {
        names.push_back(path.filename().native());
      }
    }
  }
  // Listed afresh, also when the folder was shown already: a log saved
  // since is there too. The first selected entry is in view.
  HWND list = Control(kFile1);
  FillFile1(dir1_.Path(), names);
  for (int i = 0; i < FileCount(); ++i) {
    if (!FileSelected(i)) continue;
    SendMessageW(list, LB_SETCARETINDEX, static_cast<WPARAM>(i), FALSE);
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(i), 0);
    break;
  }
}

void Form1::end_Click() {
  EndProgram();
}

void Form1::EndProgram() {
  if (frmOptions_.hwnd() != nullptr) DestroyWindow(frmOptions_.hwnd());
  if (frmAbout_.hwnd() != nullptr) DestroyWindow(frmAbout_.hwnd());
  // The window's WM_DESTROY ends the message loop; no queued message of the
  // destroyed windows runs.
  DestroyWindow(hwnd());
}

void Form1::edit_Click() {
  program_.global.OpenSelectedInEditor();
}

void Form1::File1_DblClick() {
  SetStatusBold(false);
  // The options dialog shows the new editor at once, also while hidden.
  if (program_.global.ChooseEditor()) frmOptions_.ShowEditorLine();
}

void Form1::Toolbar1_ButtonClick(const std::string& key) {
  SetStatusBold(false);
  if (key == "end") {
    EndProgram();
  } else if (key == "opt") {
    option_Click();
  } else if (key == "edit") {
    edit_Click();
  } else if (key == "start") {
    run_Click();
  } else if (key == "info") {
    version_Click();
  } else if (key == "dev") {
    helphtml_Click();
  }
}

void Form1::helphtml_Click() {
  shell_.OpenWithSystem(Utf8FromPath(JoinPath(program_.global.ProgramDir, "tav.htm")));
}

void Form1::ini_file_Click() {
  SetStatusBold(false);
  program_.global.OpenSettingsInEditor();
}

void Form1::version_Click() {
  SetStatusBold(false);
  frmAbout_.Show();
}

void Form1::option_Click() {
  SetStatusBold(false);
  frmOptions_.Show();
}

void Form1::outputForm_Click(OutputForm form) {
  SetStatusBold(false);
  program_.global.ChooseOutputForm(form);
}

void Form1::openArchive_Click() {
  SetStatusBold(false);
  program_.global.OpenArchive();
}

// --- Ui ---

int Form1::ShowMsgBox(const MsgBox& box) {
  return boxes_.Show(box, BoxOwner());
}

void Form1::Beep() {
  boxes_.Beep();
}

void Form1::SetStatusText(int panel, const std::string& text) {
  const std::wstring wide = Widen(text);
  SendMessageW(Control(kStatusBar1), SB_SETTEXTW, static_cast<WPARAM>(panel - 1),
               reinterpret_cast<LPARAM>(wide.c_str()));
}

void Form1::SetStatusBold(bool bold) {
  if (bold == statusBold_) return;
  statusBold_ = bold;
  HWND statusBar = Control(kStatusBar1);
  SendMessageW(statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(bold ? boldFont_ : font_), TRUE);
  InvalidateRect(statusBar, nullptr, TRUE);
}

int Form1::FileCount() {
  return static_cast<int>(SendMessageW(Control(kFile1), LB_GETCOUNT, 0, 0));
}

std::filesystem::path Form1::FileEntry(int index) {
  HWND list = Control(kFile1);
  const auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return std::filesystem::path(text);
}

bool Form1::FileSelected(int index) {
  return SendMessageW(Control(kFile1), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

std::filesystem::path Form1::DirectoryCaption() {
  return std::filesystem::path(Text(Control(kLabel1)));
}

std::string Form1::NumberBoxText() {
  return Narrow(Text(Control(kCombo1)));
}

void Form1::SetDirectoryListPath(const std::filesystem::path& path) {
  SetDir1Path(path);
}

void Form1::ShowOutputForm() {
  const OutputForm form = program_.global.Output;
  HMENU file = GetSubMenu(GetMenu(hwnd()), 0);
  CheckMenuRadioItem(file, kMenuFormLog, kMenuFormArchive, FormCommand(form), MF_BYCOMMAND);
  SendMessageW(Control(kStatusBar1), SB_SETTEXTW, kFormPanel,
               reinterpret_cast<LPARAM>(FormPanelText(form)));
}

}  // namespace tav
