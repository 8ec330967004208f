// The drive list `Drive1`: a drop-down list of the system's drives.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tav {

class DriveList {
 public:
  void Create(HWND parent, int id);
  HWND hwnd() const { return combo_; }

  // Fills the list with the drives there are now, keeping the one shown
  // when it is still there.
  void Refresh();
  // The drive shown ("C:"); empty when none.
  std::wstring Drive() const;
  // Shows the drive at the start of `path` ("C:" of "C:\logs"), adding it to
  // the list when it is not there. False when it was shown already.
  bool SetDrive(const std::filesystem::path& path);
  // Shows `drive` again without telling anyone (after a drive that could not be read).
  void Restore(const std::wstring& drive);

 private:
  bool SameDrive(const std::wstring& drive) const;
  int IndexOf(const std::wstring& drive) const;
  void AddDrive(const std::wstring& drive);

  HWND combo_ = nullptr;
  std::vector<std::wstring> drives_;  // "C:", in list order
};

// The drive of a path in upper case ("C:"), or its UNC share root; empty
// when the path names none.
std::wstring DriveOf(const std::filesystem::path& path);

}  // namespace tav
