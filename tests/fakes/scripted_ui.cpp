#include "scripted_ui.h"

#include <algorithm>

#include "platform/paths.h"

namespace tav::test {

void ScriptedUi::ShowDirectory(const std::filesystem::path& dir,
                               const std::vector<std::filesystem::path>& names) {
  caption = dir;
  files.clear();
  for (const auto& name : names) files.push_back({name, false});
}

bool ScriptedUi::Select(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    auto it = std::find_if(files.begin(), files.end(),
                           [&](const Entry& e) { return e.name == PathFromUtf8(name); });
    if (it == files.end()) return false;
    it->selected = true;
  }
  return true;
}

std::vector<std::string> ScriptedUi::Titles() const {
  std::vector<std::string> titles;
  for (const MsgBox& box : boxes) titles.push_back(box.title);
  return titles;
}

int ScriptedUi::ShowMsgBox(const MsgBox& box) {
  boxes.push_back(box);
  events.push_back("box" + box.title);
  int answer = kGoOn;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  } else {
    ++unanswered;
    if (!goOnUnanswered) answer = kTurnBack;
  }
  const bool yesNo = box.buttons == Buttons::YesNo;
  if (answer == kGoOn) return yesNo ? kYes : kOk;
  if (answer == kTurnBack) return box.buttons == Buttons::Ok ? kOk : yesNo ? kNo : kCancel;
  return answer;
}

void ScriptedUi::Beep() {
  ++beeps;
  events.push_back("beep");
}

void ScriptedUi::SetStatusText(int panel, const std::string& text) {
  (panel == 1 ? panel1 : panel2) = text;
  events.push_back("status" + std::to_string(panel) + " " + text);
}

void ScriptedUi::SetStatusBold(bool isBold) {
  bold = isBold;
  events.push_back(isBold ? "bold" : "regular");
}

void ScriptedUi::SetDirectoryListPath(const std::filesystem::path& path) {
  dirListPath = path;
  events.push_back("dir " + Utf8FromPath(path));
}

}  // namespace tav::test
