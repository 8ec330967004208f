// The message boxes and status texts of a conversion run.
#include "global/global.h"
#include "platform/cp932.h"
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
  MsgText = Utf8FromPath(name) + " を始めとするログファイルを、";
  MsgText += kCrLf;
  MsgText += "以下の条件で処理します。よろしいですか？";
  MsgText += kCrLf;
  MsgText += kCrLf;
  MsgText += FullAuto == 0 ? "★　「実行時の注意あり」SemiAuto モード"
                           : "★　「実行時の注意無し」 FullAuto モード";
  MsgText += kCrLf;
  if (Output == OutputForm::Archive) {
    // Every log goes into the one archive of the folder shown.
    MsgText += "★　作成Ｗｅｂアーカイブ　．．．　";
    MsgText += kCrLf;
    MsgText += Utf8FromPath(ArchiveDir()) + Separator();
  } else {
    if (Output == OutputForm::Mime) {
      MsgText += "★　出力形式　．．．　標準メール（ＭＩＭＥ）";
      MsgText += kCrLf;
    }
    const std::filesystem::path folder =
        JoinPath(ui.DirectoryCaption(), LeadingChars(name, static_cast<std::size_t>(DirNameLen)));
    MsgText += "★　作成ディレクトリ　．．．　";
    MsgText += kCrLf;
    MsgText += Utf8FromPath(folder) + Separator();
  }
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
  if (Output == OutputForm::Archive) {
    // The archive takes no more once a write failed: the run ends after the box.
    MsgText = "Ｗｅｂアーカイブを書き込めませんでした。";
    MsgText += kCrLf;
    MsgText += Utf8FromPath(file);
    MsgText += kCrLf;
    MsgText += "（" + reason + "）";
    MsgText += kCrLf;
    MsgText += "変換を中止します。これまでのアーカイブはそのまま残ります。";
    MsgText += kCrLf;
    ShowMsgText(MsgKind::ArchiveUnusable, " WriteError!!", Buttons::Ok, Icon::Exclamation, file,
                reason);
    return;
  }
  ShowFileFailure(MsgKind::EmlUnwritable, " WriteError!!", "ＥＭＬファイルを書き込めませんでした。",
                  file, reason, "このログの残りをスキップして処理を続けますか？", reason);
}

void Global::ReportFinishFailed(const std::string& reason) {
  if (Output == OutputForm::Archive) {
    MsgText = "Ｗｅｂアーカイブを書き込めませんでした。";
    MsgText += kCrLf;
    MsgText += Utf8FromPath(ArchiveDir());
    MsgText += kCrLf;
    MsgText += "（" + reason + "）";
    MsgText += kCrLf;
    MsgText += "今回の変換の分は書き出していません。これまでのアーカイブはそのまま残ります。";
    MsgText += kCrLf;
    ShowMsgText(MsgKind::ArchiveUnusable, " WriteError!!", Buttons::Ok, Icon::Exclamation,
                ArchiveDir(), reason);
    return;
  }
  // The standard form's files are all written; naming the parents that came
  // later in the run is what failed.
  MsgText = "返信先を書き加えるときに、ＥＭＬファイルを書き込めませんでした。";
  MsgText += kCrLf;
  MsgText += "（" + reason + "）";
  MsgText += kCrLf;
  ShowMsgText(MsgKind::EmlUnwritable, " WriteError!!", Buttons::Ok, Icon::Exclamation, {}, reason);
}

void Global::ReportArchiveUnusable(const std::string& reason) {
  MsgText = "Ｗｅｂアーカイブのフォルダを使えません。";
  MsgText += kCrLf;
  MsgText += Utf8FromPath(ArchiveDir());
  MsgText += kCrLf;
  MsgText += "（" + reason + "）";
  MsgText += kCrLf;
  MsgText += "何も書き出していません。";
  MsgText += kCrLf;
  ShowMsgText(MsgKind::ArchiveUnusable, " DiskError!!", Buttons::Ok, Icon::Exclamation,
              ArchiveDir(), reason);
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

void Global::ReportRunNotices(const std::vector<LogEvent>& notices) {
  if (notices.empty()) return;
  // By log, in the order of the run; a log with much to tell names its
  // first messages only, and the box names its first logs only.
  struct LogNotices {
    std::filesystem::path log;
    std::vector<std::string> replacedIn;  // messages with bytes replaced
    std::size_t bytes = 0;
    std::size_t titleEntries = 0;
    std::vector<std::string> replacedFiles;  // numbers whose file held another message
  };
  std::vector<LogNotices> logs;
  for (const LogEvent& event : notices) {
    if (logs.empty() || logs.back().log != event.file) logs.push_back({event.file, {}, 0, 0, {}});
    LogNotices& log = logs.back();
    switch (event.kind) {
      case LogEventKind::BytesReplaced:
        log.replacedIn.push_back(Cp932ForDisplay(event.number));
        log.bytes += event.count;
        break;
      case LogEventKind::TitleEntriesPassedOver:
        log.titleEntries += event.count;
        break;
      case LogEventKind::MessageReplaced:
        log.replacedFiles.push_back(Cp932ForDisplay(event.number));
        break;
      default:
        break;
    }
  }
  constexpr std::size_t kLogsNamed = 8;
  constexpr std::size_t kNumbersNamed = 10;
  auto numbers = [](const std::vector<std::string>& list) {
    std::string text;
    for (std::size_t i = 0; i < list.size() && i < kNumbersNamed; ++i) {
      text += (i == 0 ? "" : "、") + list[i];
    }
    if (list.size() > kNumbersNamed) {
      text += " ほか " + std::to_string(list.size() - kNumbersNamed) + " 通";
    }
    return text;
  };

  std::vector<std::string> lines;
  for (std::size_t k = 0; k < logs.size() && k < kLogsNamed; ++k) {
    const LogNotices& log = logs[k];
    lines.push_back(Utf8FromPath(log.log));
    if (!log.replacedIn.empty()) {
      lines.push_back("　シフトJISとして読めない " + std::to_string(log.bytes) +
                      " バイトを「\uFFFD」（U+FFFD）に置き換えました：メッセージ " +
                      numbers(log.replacedIn));
    }
    if (log.titleEntries > 0) {
      lines.push_back("　タイトル一覧の " + std::to_string(log.titleEntries) +
                      " 行は、メッセージではないため書き出していません");
    }
    if (!log.replacedFiles.empty()) {
      lines.push_back(
          "　同じ番号の別のメッセージが入っていたファイルを置き換えました：メッセージ " +
          numbers(log.replacedFiles));
    }
  }
  if (logs.size() > kLogsNamed) {
    lines.push_back("ほか " + std::to_string(logs.size() - kLogsNamed) +
                    " 個のログにもお知らせがあります");
  }

  MsgText = "変換したログについて、お知らせがあります。";
  MsgText += kCrLf;
  for (const std::string& line : lines) {
    MsgText += line;
    MsgText += kCrLf;
  }
  ShowMsgText(MsgKind::RunNotices, " Notice!", Buttons::Ok, Icon::None, {}, {}, lines);
}

std::filesystem::path Global::ArchiveDir() {
  return JoinPath(ui.DirectoryCaption(), PathFromUtf8(kArchiveFolderName));
}

void Global::OpenArchive() {
  const std::filesystem::path page = JoinPath(ArchiveDir(), PathFromUtf8(kArchiveStartPage));
  if (files.Exists(page)) {
    shell->OpenWithSystem(Utf8FromPath(page));
    return;
  }
  MsgText = "このフォルダには、まだＷｅｂアーカイブがありません。";
  MsgText += kCrLf;
  MsgText += Utf8FromPath(page);
  MsgText += kCrLf;
  MsgText += "形式を「Ｗｅｂアーカイブ」にしてログを変換すると作られます。";
  MsgText += kCrLf;
  ShowMsgText(MsgKind::NoArchive, " Web?", Buttons::Ok, Icon::None, page);
}

}  // namespace tav
