#include "support/scripted_ui.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/paths.h"

namespace tav::test {

void ScriptedUi::ShowDirectory(const std::filesystem::path& dir) {
  caption = dir;
  files.clear();
  std::vector<std::filesystem::path> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  for (const auto& name : names) files.push_back({name, false});
}

void ScriptedUi::Select(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    auto it = std::find_if(files.begin(), files.end(),
                           [&](const Entry& e) { return e.name == PathFromUtf8(name); });
    ASSERT_NE(it, files.end()) << name << " is not listed";
    it->selected = true;
  }
}

std::vector<std::string> ScriptedUi::Titles() const {
  std::vector<std::string> titles;
  for (const MsgBox& box : boxes) titles.push_back(box.title);
  return titles;
}

int ScriptedUi::ShowMsgBox(const MsgBox& box) {
  boxes.push_back(box);
  events.push_back("box" + box.title);
  if (answers.empty()) {
    ADD_FAILURE() << "unexpected message box" << box.title << ":\n" << box.text;
    return kCancel;
  }
  const int answer = answers.front();
  answers.pop_front();
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
