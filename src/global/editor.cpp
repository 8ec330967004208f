// The external editor: opening the selected logs, choosing the editor by
// double-clicking its program file, and opening tav.ini.
#include "global/global.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace tav {

namespace {

constexpr const char* kCrLf = "\r\n";

bool HasBlank(std::string_view text) {
  return text.find_first_of(" \t") != std::string_view::npos;
}

// A path as one argument of a command line: quoted when a blank would cut it.
std::string CommandLineArgument(const std::filesystem::path& path) {
  const std::string text = Utf8FromPath(path);
  return HasBlank(text) ? "\"" + text + "\"" : text;
}

}  // namespace

std::string Global::EditorCommandLine(const std::filesystem::path& file) const {
  // A prefix written by hand in tav.ini is used as written, also when it is
  // not code page 932 text; then its bytes are shown as they are.
  const auto prefix = Cp932ToUtf8(EditorCommand);
  return (prefix ? *prefix : Cp932ForDisplay(EditorCommand)) + CommandLineArgument(file);
}

bool Global::StartCommandLine(const std::string& commandLine) {
  const IoResult started = shell->StartProcess(commandLine);
  if (started.ok) return true;
  MsgText = "エディタを起動できませんでした。";
  MsgText += kCrLf;
  MsgText += kCrLf;
  MsgText += commandLine;
  MsgText += kCrLf;
  MsgText += kCrLf;
  MsgText += "（" + started.reason + "）";
  MsgText += kCrLf;
  ShowMsgText(MsgKind::StartFailed, " Editor!!", Buttons::Ok, Icon::Exclamation, {}, started.reason,
              {commandLine});
  return false;
}

void Global::OpenSelectedInEditor() {
  const int count = ui.FileCount();
  SelectedNames.assign(static_cast<std::size_t>(count > 0 ? count : 0), {});
  LastFileIndex = count - 1;
  for (CurFileIndex = 0; CurFileIndex <= LastFileIndex; ++CurFileIndex) {
    if (!ui.FileSelected(CurFileIndex)) continue;
    const std::filesystem::path& name = SelectedNames[static_cast<std::size_t>(CurFileIndex)] =
        ui.FileEntry(CurFileIndex);
    // An editor that does not start for one file does not start for the
    // others either: one message is enough.
    if (!StartCommandLine(EditorCommandLine(JoinPath(ui.DirectoryCaption(), name)))) {
      ++CurFileIndex;
      return;
    }
  }
}

bool Global::ChooseEditor() {
  LastFileIndex = ui.FileCount() - 1;
  std::filesystem::path program;
  std::string candidate;
  for (CurFileIndex = 0; CurFileIndex <= LastFileIndex; ++CurFileIndex) {
    if (!ui.FileSelected(CurFileIndex)) continue;
    program = JoinPath(ui.DirectoryCaption(), ui.FileEntry(CurFileIndex));
    // Stored quoted when its path holds a blank, so that the command line
    // names the program and not a part of its path.
    candidate = CommandLineArgument(program) + " ";
    break;
  }

  // tav.ini is code page 932 text: a path it cannot hold is not offered.
  const auto bytes = Utf8ToCp932(candidate);
  if (!bytes) {
    ReportNotStorable(candidate);
    return false;
  }

  MsgText = "呼び出すエディタを．．．";
  MsgText += kCrLf;
  MsgText += kCrLf;
  MsgText += candidate;
  MsgText += kCrLf;
  MsgText += kCrLf;
  MsgText += "．．．に設定します。よろしいですか？";
  ShowMsgText(MsgKind::EditorChoice, " Editor?", Buttons::OkCancel, Icon::None, program);
  if (Answer != kOk) return false;

  EditorCommand = *bytes;
  SettingsPath = JoinPath(ProgramDir, "tav.ini");
  WriteSettings();
  return true;
}

void Global::OpenSettingsInEditor() {
  StartCommandLine(EditorCommandLine(JoinPath(ProgramDir, "tav.ini")));
}

}  // namespace tav
