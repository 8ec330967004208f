#include "forms/drive_list.h"

#include <cwctype>

namespace tav {

namespace {

// "c: [SYSTEM]" for a fixed drive with a volume label, "a:" otherwise. Only
// fixed drives are asked for their label: asking an empty removable drive
// may wait or complain.
std::wstring DriveText(const std::wstring& drive) {
  std::wstring text = drive;
  if (!text.empty()) text[0] = static_cast<wchar_t>(std::towlower(text[0]));
  const std::wstring root = drive + L"\\";
  const UINT type = GetDriveTypeW(root.c_str());
  if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) {
    wchar_t label[MAX_PATH + 1] = {};
    if (GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                              0) &&
        label[0] != L'\0') {
      text += L" [";
      text += label;
      text += L"]";
    }
  }
  return text;
}

}  // namespace

std::wstring DriveOf(const std::filesystem::path& path) {
  std::wstring name = path.root_name().native();
  if (name.size() == 2 && name[1] == L':') name[0] = static_cast<wchar_t>(std::towupper(name[0]));
  return name;
}

void DriveList::Create(HWND parent, int id) {
  combo_ = CreateWindowExW(
      0, L"COMBOBOX", L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 0, 0,
      0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
      nullptr);
}

void DriveList::Refresh() {
  const std::wstring shown = Drive();
  drives_.clear();
  SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
  const DWORD mask = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if (mask & (1u << letter)) AddDrive(std::wstring{static_cast<wchar_t>(L'A' + letter), L':'});
  }
  if (IndexOf(shown) >= 0) Restore(shown);
}

std::wstring DriveList::Drive() const {
  const LRESULT index = SendMessageW(combo_, CB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<std::size_t>(index) >= drives_.size()) return {};
  return drives_[static_cast<std::size_t>(index)];
}

bool DriveList::SetDrive(const std::filesystem::path& path) {
  const std::wstring drive = DriveOf(path);
  if (drive.empty() || SameDrive(drive)) return false;
  if (IndexOf(drive) < 0) AddDrive(drive);
  SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(IndexOf(drive)), 0);
  return true;
}

void DriveList::Restore(const std::wstring& drive) {
  if (IndexOf(drive) < 0) AddDrive(drive);
  SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(IndexOf(drive)), 0);
}

bool DriveList::SameDrive(const std::wstring& drive) const {
  return CompareStringOrdinal(Drive().c_str(), -1, drive.c_str(), -1, TRUE) == CSTR_EQUAL;
}

int DriveList::IndexOf(const std::wstring& drive) const {
  for (std::size_t i = 0; i < drives_.size(); ++i) {
    if (CompareStringOrdinal(drives_[i].c_str(), -1, drive.c_str(), -1, TRUE) == CSTR_EQUAL) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void DriveList::AddDrive(const std::wstring& drive) {
  drives_.push_back(drive);
  const std::wstring text = DriveText(drive);
  SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace tav
