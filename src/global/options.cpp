// The options dialog's texts and the number it stores. The window itself
// (src/forms/frm_options.cpp) only shows what is built here.
//
// The paragraphs are quoted exactly as the dialog has always shown them:
// every line but one begins with an ideographic space (\u3000), written as
// an escape so that it cannot be mistaken for an ASCII blank.
#include "global/global.h"
#include "global/number_text.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace tav {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kStars = "★★";

}  // namespace

void Global::BuildFolderParagraph() {
  MsgText = "\u3000■\u3000フォルダ自動生成";
  MsgText += kCrLf;
  MsgText += kCrLf;
  MsgText += "\u3000「＊．ＥＭＬファイル」を格納するフォルダを自動生成します。";
  MsgText += kCrLf;
  MsgText += "\u3000ログファイル名の先頭から何文字目までをフォルダ名にしますか？";
  MsgText += kCrLf;
}

void Global::BuildEditorParagraph() {
  MsgText = "\u3000■\u3000エディタの指定";
  MsgText += kCrLf;
  MsgText += kCrLf;
  MsgText += "\u3000ログの参照、整形等に呼び出すエディタを指定できます。";
  MsgText += kCrLf;
  MsgText +=
      "\u3000メイン画面の「ＦｉｌｅＬｉｓｔＢｏｘ」でエディタを選択しダブルクリックしてください。"
      "\u3000現在のエディタは．．．";
  MsgText += kCrLf;
}

void Global::BuildResetParagraph() {
  MsgText = "\u3000■\u3000「ＴＡＶ．ＩＮＩ」の初期化";
  MsgText += kCrLf;
  MsgText += kCrLf;
  MsgText += "\u3000「動作が起こらない」など、不具合が多い場合には、";
  MsgText += kCrLf;
  // The one line without a leading space.
  MsgText += "「カスタマイズファイル」を初期化してみてください。";
  MsgText += kCrLf;
  MsgText += "\u3000（今のところ、殆どが「On Error Resume Next」ですので．．．。）";
  MsgText += kCrLf;
  // A surprised face: two ASCII blanks, and half-width semi-voiced marks as eyes.
  MsgText += "\u3000  w(\uFF9Fo\uFF9F)w,,OH!\u3000";
  MsgText += kCrLf;
}

void Global::BuildDefaultDirParagraph() {
  MsgText = "\u3000■\u3000デフォルト作業ディレクトリの指定";
  MsgText += kCrLf;
  MsgText += kCrLf;
  MsgText += "\u3000起動時の作業ディレクトリを指定できます。";
  MsgText += kCrLf;
  MsgText +=
      "\u3000メイン画面の「ＤｉｒＬｉｓｔＢｏｘ」で見えている状況が設定されます。"
      "\u3000現在のディレクトリは．．．";
  MsgText += kCrLf;
}

// The settings are code page 932 bytes; a value written by hand that is not
// valid code page 932 shows its odd bytes as <XX> instead of hiding them.
std::string Global::EditorStarLine() const {
  return kStars + Cp932ForDisplay(EditorCommand) + kStars;
}

std::string Global::DefaultDirStarLine() const {
  return kStars + Cp932ForDisplay(DefaultDir) + kStars;
}

bool Global::StoreDirNameLen(const std::string& numberBoxText) {
  const auto value = ToInt16(ReadLeadingNumber(numberBoxText));
  if (!value) {
    ReportDirNameLenOutOfRange(numberBoxText);
    return false;
  }
  DirNameLen = *value;
  SettingsPath = JoinPath(ProgramDir, "tav.ini");
  return WriteSettings();
}

void Global::ReportDirNameLenOutOfRange(const std::string& text) {
  MsgText = "フォルダ名の文字数が範囲外のため、設定を変更しません：" + text;
  MsgText += kCrLf;
  MsgText += "-32768 から 32767 までの整数を指定してください。";
  MsgText += kCrLf;
  ShowMsgText(MsgKind::BadFolderNameLen, " Directory Name?", Buttons::Ok, Icon::Exclamation, {},
              {});
}

}  // namespace tav
