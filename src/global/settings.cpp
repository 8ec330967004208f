// The settings file tav.ini: positional lines, each a fixed key text
// followed by its value, in code page 932. Lines 1 to 3 have always been
// there; line 4, the output form, is written once the user chose a form
// (or the file held it), so a file of three lines stays three lines.
#include <new>
#include <string_view>

#include "platform/line_ends.h"
#include "global/global.h"
#include "global/number_text.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace tav {

namespace {

constexpr std::string_view kDefaultMarker = "z";

// Only lines 1 to 4 hold settings; later lines are never looked at.
constexpr std::size_t kSettingsLines = 4;

// The text of a line from its `first`-th character (counted from 1) on.
std::string_view FromChar(std::string_view line, std::size_t first) {
  std::size_t i = 0;
  for (std::size_t chars = 1; chars < first && i < line.size(); ++chars) i += CharSizeAt(line, i);
  return line.substr(i);
}

}  // namespace

std::string_view OutputFormValue(OutputForm form) {
  switch (form) {
    case OutputForm::Mime:
      return "mime";
    case OutputForm::Archive:
      return "html";
    case OutputForm::Log:
      break;
  }
  return "eml";
}

OutputForm OutputFormOfValue(std::string_view value) {
  if (value == OutputFormValue(OutputForm::Mime)) return OutputForm::Mime;
  if (value == OutputFormValue(OutputForm::Archive)) return OutputForm::Archive;
  return OutputForm::Log;
}

std::string Global::WindowsDirText() const {
  const std::string utf8 = Utf8FromPath(WindowsDir);
  // The Windows directory is plain ASCII on every real system; anything else
  // is kept as close as code page 932 allows.
  if (auto bytes = Utf8ToCp932(utf8)) return *bytes;
  return utf8;
}

std::string Global::DefaultEditorCommand() const {
  return WindowsDirText() + "\\write.exe ";
}

void Global::ApplyResetValues() {
  DefaultDir = WindowsDirText();
  DirNameLen = 3;
  EditorCommand = DefaultEditorCommand();
  Output = OutputForm::Log;
  OutputLineKept = false;
}

void Global::ReadSettings() {
  // A file too large for the memory cannot be read either.
  FileBytes bytes;
  if (!files.ReadWholeFile(SettingsPath, bytes).ok) {
    // A missing or unreadable file: start from the reset values, write nothing.
    ApplyResetValues();
    return;
  }
  const std::vector<std::string_view> lines = FirstLines(View(bytes), kSettingsLines);
  auto line = [&lines](std::size_t number) {
    return number <= lines.size() ? lines[number - 1] : std::string_view();
  };

  const std::string_view dir = FromChar(line(1), 14);
  DefaultDir = dir == kDefaultMarker ? WindowsDirText() : std::string(dir);
  DirNameLen = ToInt16(ReadLeadingNumber(FromChar(line(2), 11))).value_or(0);
  const std::string_view editor = FromChar(line(3), 10);
  EditorCommand = editor == kDefaultMarker ? DefaultEditorCommand() : std::string(editor);
  // A file of three lines is the log's own form, and stays three lines.
  OutputLineKept = lines.size() >= 4;
  Output = OutputFormOfValue(FromChar(line(4), 10));
}

bool Global::WriteSettings() {
  SettingsText = "[DefaultDir]=" + DefaultDir + "\r\n";
  SettingsText += "[DirName]=" + std::to_string(DirNameLen) + "\r\n";
  SettingsText += "[Editor]=" + EditorCommand + "\r\n";
  if (OutputLineKept) SettingsText += "[Output]=" + std::string(OutputFormValue(Output)) + "\r\n";
  const IoResult result = files.WriteWholeFile(SettingsPath, SettingsText);
  if (result.ok) return true;

  MsgText = "設定ファイルを書き込めませんでした。";
  MsgText += "\r\n";
  MsgText += Utf8FromPath(SettingsPath);
  MsgText += "\r\n";
  MsgText += "（" + result.reason + "）";
  MsgText += "\r\n";
  ShowMsgText(MsgKind::SettingsUnwritable, " IniError!!", Buttons::Ok, Icon::Exclamation,
              SettingsPath, result.reason);
  return false;
}

void Global::ResetSettings() {
  // Fresh strings moved in: GCC 12 at -O3 takes assigning the view into the
  // existing strings for an overlapping copy and warns.
  DefaultDir = std::string(kDefaultMarker);
  DirNameLen = 3;
  EditorCommand = std::string(kDefaultMarker);
  // The reset file has the three lines of old, which read as the log's own form.
  Output = OutputForm::Log;
  OutputLineKept = false;
  // The file receives the markers and the variables the values they stand
  // for, also when the file could not be written.
  if (WriteSettings()) {
    ReadSettings();
  } else {
    ApplyResetValues();
  }
  ui.ShowOutputForm();
}

void Global::ChooseOutputForm(OutputForm form) {
  Output = form;
  OutputLineKept = true;
  ui.ShowOutputForm();
  SettingsPath = JoinPath(ProgramDir, "tav.ini");
  WriteSettings();
}

void Global::StoreDefaultDir() {
  const std::filesystem::path shown = ui.DirectoryCaption();
  const std::string utf8 = Utf8FromPath(shown);
  const auto bytes = Utf8ToCp932(utf8);
  if (!bytes) {
    ReportNotStorable(utf8);
    return;
  }
  DefaultDir = *bytes;
  ui.SetDirectoryListPath(shown);
  WriteSettings();
}

void Global::ReportNotStorable(const std::string& text) {
  MsgText = "設定ファイルに保存できない文字が含まれているため、設定を変更しません。";
  MsgText += "\r\n";
  MsgText += text;
  MsgText += "\r\n";
  MsgText += "（tav.ini はシフトJISで書かれるため、シフトJISにない文字は使えません）";
  MsgText += "\r\n";
  ShowMsgText(MsgKind::NotStorable, " IniError!!", Buttons::Ok, Icon::Exclamation,
              PathFromUtf8(text), "not representable in code page 932");
}

}  // namespace tav
