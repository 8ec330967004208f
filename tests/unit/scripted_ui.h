// A window for the logic under test: a file list with a selection, a
// directory caption, a number box, a status bar, and message boxes answered
// from a script and recorded.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace tav::testing {

class ScriptedUi : public Ui {
 public:
  struct Entry {
    std::filesystem::path name;
    bool selected = false;
  };
  std::vector<Entry> files;
  std::filesystem::path caption;
  std::string numberBox = "3";
  std::map<int, std::string> status;
  bool bold = false;
  int beeps = 0;
  std::vector<MsgBox> shown;  // every box, in order
  std::deque<int> answers;    // the buttons the user presses, in order

  int ShowMsgBox(const MsgBox& box) override {
    shown.push_back(box);
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected message box: " << box.title << "\n" << box.text;
      return kCancel;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Beep() override { ++beeps; }
  void SetStatusText(int panel, const std::string& text) override { status[panel] = text; }
  void SetStatusBold(bool isBold) override { bold = isBold; }
  int FileCount() override { return static_cast<int>(files.size()); }
  std::filesystem::path FileEntry(int index) override { return files.at(index).name; }
  bool FileSelected(int index) override { return files.at(index).selected; }
  std::filesystem::path DirectoryCaption() override { return caption; }
  std::string NumberBoxText() override { return numberBox; }
  void SetDirectoryListPath(const std::filesystem::path& path) override { caption = path; }
};

}  // namespace tav::testing
