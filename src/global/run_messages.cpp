// The message boxes and status texts of a conversion run.
#include "global/global.h"
#include "platform/paths.h"

namespace tav {

namespace {

constexpr const char* kCrLf = "\r\n";

std::string Separator() {
  const std::filesystem::path::value_type separator[] = {std::filesystem::path::preferred_separator,
                                                         0};
  return Utf8FromPath(std::filesystem::path(separator));
}

// The question that ends every box offering to skip the file in hand.
constexpr const char* kSkipQuestion = "このファイルをスキップして処理を続けますか？";

}  // namespace

void Global::ShowMsgText(MsgKind kind, const std::string& title, Buttons buttons, Icon icon,
                         const std::filesystem::path& subject, const std::string& reason,
                         const std::vector<std::string>& items) {
  MsgBox box;
  box.kind = kind;
  box.text = MsgText;
  box.title = title;
  box.buttons = buttons;
  box.icon = icon;
  box.subject = subject;
  box.reason = reason;
  box.items = items;
  Answer = ui.ShowMsgBox(box);
}

void Global::ShowRunStatus() {
  ui.SetStatusText(1, "working!");
  ui.SetStatusText(2, Utf8FromPath(SelectedNames[CurFileIndex]));
}

void Global::ConfirmRun() {
  const std::filesystem::path& name = SelectedNames[CurFileIndex];
  const std::filesystem::path folder =
      JoinPath(ui.DirectoryCaption(), LeadingChars(name, static_cast<std::size_t>(DirNameLen)));
  MsgText = Utf8FromPath(name) + " を始めとするログファイルを、";
  MsgText += kCrLf;
  MsgText += "以下の条件で処理します。よろしいですか？";
  MsgText += kCrLf;
  MsgText += kCrLf;
  MsgText += FullAuto == 0 ? "★　「実行時の注意あり」SemiAuto モード"
                           : "★　「実行時の注意無し」 FullAuto モード";
  MsgText += kCrLf;
  MsgText += "★　作成ディレクトリ　．．．　";
  MsgText += kCrLf;
  MsgText += Utf8FromPath(folder) + Separator();
  MsgText += kCrLf;
  ShowMsgText(MsgKind::ConfirmRun, " start?", Buttons::OkCancel, Icon::None,
              JoinPath(ui.DirectoryCaption(), name));
}

void Global::AskSkipLog() {
  MsgText =
      Utf8FromPath(SelectedNames[CurFileIndex]) + " は、ログファイルではない可能性があります。";
  MsgText += kCrLf;
  MsgText += "このファイルをスキップして処理を続けますか？";
  MsgText += kCrLf;
  ShowMsgText(MsgKind::SkipLog, " log?", Buttons::OkCancel, Icon::None, LogPath);
}

void Global::ReportDiskError() {
  if (FullAuto == 1) return;
  // Only an entry that is there already gives the warning.
  if (DirError.status != DirStatus::ExistsAsFolder && DirError.status != DirStatus::ExistsAsOther) {
    return;
  }
  MsgText = "パス名が無効です。";
  MsgText += kCrLf;
  MsgText += "ディレクトリに上書きしようとしている可能性があります。";
  MsgText += kCrLf;
  MsgText += "よろしいですか？";
  ShowMsgText(MsgKind::ExistingFolder, " DiskError!!", Buttons::YesNo, Icon::Exclamation);
}

void Global::ShowFileFailure(MsgKind kind, const std::string& title, const std::string& headline,
                             const std::filesystem::path& file, const std::string& detail,
                             const std::string& question, const std::string& reason) {
  MsgText = headline;
  MsgText += kCrLf;
  MsgText += Utf8FromPath(file);
  MsgText += kCrLf;
  MsgText += "（" + detail + "）";
  MsgText += kCrLf;
  MsgText += question;
  MsgText += kCrLf;
  ShowMsgText(kind, title, Buttons::OkCancel, Icon::Exclamation, file, reason);
}

void Global::ReportLogUnreadable(const std::string& reason) {
  ShowFileFailure(MsgKind::LogUnreadable, " FileError!!", "ログファイルを読み込めませんでした。",
                  LogPath, reason, kSkipQuestion, reason);
}

void Global::ReportFolderUnusable(const std::filesystem::path& folder, const std::string& reason) {
  ShowFileFailure(MsgKind::FolderUnusable, " DiskError!!", "出力フォルダを作成できませんでした。",
                  folder, reason, kSkipQuestion, reason);
}

void Global::ReportFolderNameUnsafe(const std::filesystem::path& folder) {
  ShowFileFailure(MsgKind::FolderNameUnsafe, " DiskError!!",
                  "出力フォルダの名前に使えない名前です。", folder,
                  "「.」「..」、ピリオドか空白で終わる名前、CON・PRN・AUX・NUL・COM1～COM9・"
                  "LPT1～LPT9・COM¹～COM³・LPT¹～LPT³ は使えません",
                  kSkipQuestion, "unusable folder name");
}

void Global::ReportEmlUnwritable(const std::filesystem::path& file, const std::string& reason) {
  ShowFileFailure(MsgKind::EmlUnwritable, " WriteError!!", "ＥＭＬファイルを書き込めませんでした。",
                  file, reason, "このログの残りをスキップして処理を続けますか？", reason);
}

void Global::ReportBadMessageNumbers(const std::vector<std::string>& numbers) {
  MsgText = "次のメッセージ番号はファイル名にできないため、書き出しませんでした。";
  MsgText += kCrLf;
  MsgText += Utf8FromPath(LogPath);
  MsgText += kCrLf;
  for (const std::string& number : numbers) {
    MsgText += "　" + number;
    MsgText += kCrLf;
  }
  ShowMsgText(MsgKind::BadMessageNumbers, " MsgNo?", Buttons::Ok, Icon::Exclamation, LogPath,
              "message number cannot stand as a file name", numbers);
}

void Global::ReportBadFolderNameLen(const std::string& text) {
  MsgText = "「Directory Name」の値が正しくありません：" + text;
  MsgText += kCrLf;
  MsgText += "1 から 32767 までの整数を指定してください。";
  MsgText += kCrLf;
  ShowMsgText(MsgKind::BadFolderNameLen, " Directory Name?", Buttons::Ok, Icon::Exclamation, {},
              {});
}

}  // namespace tav
