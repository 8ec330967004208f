// A scripted stand-in for the main window: queued answers for message
// boxes, and a record of every box, beep and status change, in order.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace tav::test {

class ScriptedUi : public Ui {
 public:
  struct Entry {
    std::filesystem::path name;
    bool selected = false;
  };

  // Answers for the next message boxes, in order. A box with no answer left
  // fails the test and is answered with Cancel.
  std::deque<int> answers;

  // What happened, in order: "box <title>", "beep", "status<panel> <text>",
  // "bold", "regular", "dir <path>".
  std::vector<std::string> events;
  std::vector<MsgBox> boxes;
  int beeps = 0;
  std::string panel1 = "status";
  std::string panel2 = "file ";
  bool bold = false;

  // The main window's controls as a run reads them.
  std::vector<Entry> files;
  std::filesystem::path caption;
  std::string numberBox = "3";
  std::filesystem::path dirListPath;

  // Shows `dir` the way File1 does (its regular files, sorted), nothing selected.
  void ShowDirectory(const std::filesystem::path& dir);
  // Selects the entries of these names (they must be listed).
  void Select(const std::vector<std::string>& names);
  // The titles of the boxes shown, in order.
  std::vector<std::string> Titles() const;

  int ShowMsgBox(const MsgBox& box) override;
  void Beep() override;
  void SetStatusText(int panel, const std::string& text) override;
  void SetStatusBold(bool isBold) override;
  int FileCount() override { return static_cast<int>(files.size()); }
  std::filesystem::path FileEntry(int index) override { return files.at(index).name; }
  bool FileSelected(int index) override { return files.at(index).selected; }
  std::filesystem::path DirectoryCaption() override { return caption; }
  std::string NumberBoxText() override { return numberBox; }
  void SetDirectoryListPath(const std::filesystem::path& path) override;
};

}  // namespace tav::test
