// The main window as the tests, the fuzz targets and the benchmark see it:
// scripted answers for message boxes, and a record of every box, beep and
// status change, in order.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "global/ui.h"

namespace tav::test {

class ScriptedUi : public Ui {
 public:
  // Answers that suit whatever buttons the box has: OK or Yes, Cancel or No.
  static constexpr int kGoOn = -1;
  static constexpr int kTurnBack = -2;

  struct Entry {
    std::filesystem::path name;
    bool selected = false;
  };

  // Answers for the next message boxes, in order: button codes, kGoOn or
  // kTurnBack. A box with no answer left is counted in `unanswered` and
  // turned back (Cancel, No), or with `goOnUnanswered` gone on with.
  std::deque<int> answers;
  bool goOnUnanswered = false;
  int unanswered = 0;

  // What happened, in order: "box <title>", "beep", "status<panel> <text>",
  // "bold", "regular", "dir <path>".
  std::vector<std::string> events;
  std::vector<MsgBox> boxes;
  int beeps = 0;
  int responsiveCalls = 0;
  std::string panel1 = "status";
  std::string panel2 = "file ";
  bool bold = false;

  // The main window's controls as a run reads them.
  std::vector<Entry> files;
  std::filesystem::path caption;
  std::string numberBox = "3";
  std::filesystem::path dirListPath;

  // Shows these names in `dir` as File1 does, nothing selected.
  void ShowDirectory(const std::filesystem::path& dir,
                     const std::vector<std::filesystem::path>& names);
  // Selects the entries of these names (UTF-8); false when one is not listed.
  bool Select(const std::vector<std::string>& names);
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
  void KeepResponsive() override { ++responsiveCalls; }
};

}  // namespace tav::test
