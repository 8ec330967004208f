// The directory list `Dir1`: an owner-drawn list box showing the folders of
// a path from its root down, open, and the path's subfolders below them.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tav {

class DirList {
 public:
  DirList() = default;
  ~DirList();
  DirList(const DirList&) = delete;
  DirList& operator=(const DirList&) = delete;

  // Creates the list box as a child of `parent`.
  void Create(HWND parent, int id);
  HWND hwnd() const { return list_; }

  // Shows `folder`. On a folder that cannot be read the list stays as it
  // was and the system's reason comes back.
  IoResult SetPath(const std::filesystem::path& folder);
  // Lists the path's folders again, keeping the highlighted entry and the
  // scroll position where they are still there.
  IoResult Refresh();
  const std::filesystem::path& Path() const { return path_; }
  // The folder that the entry at `index` stands for (empty when none).
  std::filesystem::path EntryPath(int index) const;
  int EntryCount() const { return static_cast<int>(entries_.size()); }

  void MeasureItem(MEASUREITEMSTRUCT& item, UINT dpi) const;
  void DrawItem(const DRAWITEMSTRUCT& item, HBRUSH background, UINT dpi) const;

 private:
  struct Entry {
    std::filesystem::path path;
    std::wstring text;
    int level;
    bool open;  // the path's own folders; the subfolders are closed
  };

  HWND list_ = nullptr;
  std::filesystem::path path_;
  std::vector<Entry> entries_;
  HICON openIcon_ = nullptr;
  HICON closedIcon_ = nullptr;
};

}  // namespace tav
