// The main window for the fuzz targets: one folder of logs, all selected,
// and every message box answered from a script of bits.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace tav::fuzz {

class AnsweringUi : public Ui {
 public:
  // Bit k of `answers` answers box k: 0 goes on (OK or Yes), 1 turns back
  // (Cancel or No). Boxes after the last scripted one go on.
  std::uint32_t answers = 0;
  int scriptedAnswers = 0;

  std::filesystem::path caption;
  std::vector<std::filesystem::path> entries;
  std::string numberBox = "3";

  std::vector<MsgBox> boxes;
  int beeps = 0;
  std::string panel1;

  int ShowMsgBox(const MsgBox& box) override;
  void Beep() override { ++beeps; }
  void SetStatusText(int panel, const std::string& text) override {
    if (panel == 1) panel1 = text;
  }
  void SetStatusBold(bool) override {}
  int FileCount() override { return static_cast<int>(entries.size()); }
  std::filesystem::path FileEntry(int index) override {
    return entries.at(static_cast<std::size_t>(index));
  }
  bool FileSelected(int) override { return true; }
  std::filesystem::path DirectoryCaption() override { return caption; }
  std::string NumberBoxText() override { return numberBox; }
  void SetDirectoryListPath(const std::filesystem::path&) override {}
};

}  // namespace tav::fuzz
