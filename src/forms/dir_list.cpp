#include "forms/dir_list.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "forms/folder_listing.h"
#include "forms/twips.h"

namespace tav {

namespace {

// The system's small folder icon, open or closed.
HICON FolderIcon(bool open) {
  SHFILEINFOW info{};
  const UINT flags =
      SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES | (open ? SHGFI_OPENICON : 0u);
  if (!SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags)) {
    return nullptr;
  }
  return info.hIcon;
}

// A drive's root reads in lower case ("c:\"), as drive lists show it.
std::wstring RootText(const std::filesystem::path& root) {
  std::wstring text = root.native();
  if (text.size() >= 2 && text[1] == L':') text[0] = static_cast<wchar_t>(towlower(text[0]));
  return text;
}

}  // namespace

DirList::~DirList() {
  if (openIcon_ != nullptr) DestroyIcon(openIcon_);
  if (closedIcon_ != nullptr) DestroyIcon(closedIcon_);
}

void DirList::Create(HWND parent, int id) {
  list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                              LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          GetModuleHandleW(nullptr), nullptr);
  openIcon_ = FolderIcon(true);
  closedIcon_ = FolderIcon(false);
}

IoResult DirList::SetPath(const std::filesystem::path& folder) {
  const std::filesystem::path target = NormalizeFolder(folder);
  std::vector<std::wstring> subfolders;
  const IoResult listed = ListFolder(target, EntryKind::Folders, subfolders);
  if (!listed.ok) return listed;
  std::sort(subfolders.begin(), subfolders.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringEx(LOCALE_NAME_USER_DEFAULT, LINGUISTIC_IGNORECASE, a.c_str(), -1,
                           b.c_str(), -1, nullptr, nullptr, 0) == CSTR_LESS_THAN;
  });

  std::vector<Entry> entries;
  std::filesystem::path walked = target.root_path();
  entries.push_back({walked, RootText(walked), 0, true});
  for (const auto& part : target.relative_path()) {
    if (part.empty()) continue;
    walked /= part;
    entries.push_back({walked, part.native(), static_cast<int>(entries.size()), true});
  }
  const int subLevel = static_cast<int>(entries.size());
  for (const std::wstring& name : subfolders) {
    entries.push_back({target / name, name, subLevel, false});
  }

  path_ = target;
  entries_ = std::move(entries);
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  for (const Entry& entry : entries_) {
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text.c_str()));
  }
  // The path's own folder is the highlighted entry.
  SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(subLevel - 1), 0);
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  return IoResult::Success();
}

IoResult DirList::Refresh() {
  const auto highlighted = EntryPath(static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)));
  const auto top = SendMessageW(list_, LB_GETTOPINDEX, 0, 0);
  const IoResult listed = SetPath(path_);
  if (!listed.ok) return listed;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].path == highlighted) SendMessageW(list_, LB_SETCURSEL, i, 0);
  }
  SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
  return listed;
}

std::filesystem::path DirList::EntryPath(int index) const {
  if (index < 0 || index >= EntryCount()) return {};
  return entries_[static_cast<std::size_t>(index)].path;
}

void DirList::MeasureItem(MEASUREITEMSTRUCT& item, UINT dpi) const {
  item.itemHeight = static_cast<UINT>(Px(240, dpi));
}

void DirList::DrawItem(const DRAWITEMSTRUCT& item, HBRUSH background, UINT dpi) const {
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= entries_.size()) return;
  const Entry& entry = entries_[item.itemID];
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  FillRect(dc, &area, background);

  const int indent = Px(120, dpi) * entry.level + Px(30, dpi);
  const int iconSize = GetSystemMetricsForDpi(SM_CXSMICON, dpi);
  HICON icon = entry.open ? openIcon_ : closedIcon_;
  const int iconTop = area.top + (area.bottom - area.top - iconSize) / 2;
  if (icon != nullptr) {
    DrawIconEx(dc, area.left + indent, iconTop, icon, iconSize, iconSize, 0, nullptr, DI_NORMAL);
  }

  RECT textArea = area;
  textArea.left += indent + iconSize + Px(60, dpi);
  SIZE extent{};
  GetTextExtentPoint32W(dc, entry.text.c_str(), static_cast<int>(entry.text.size()), &extent);
  RECT mark = textArea;
  mark.right = std::min<LONG>(textArea.right, textArea.left + extent.cx + Px(60, dpi));
  mark.left -= Px(30, dpi);
  if (selected) FillRect(dc, &mark, GetSysColorBrush(COLOR_HIGHLIGHT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(dc, entry.text.c_str(), static_cast<int>(entry.text.size()), &textArea,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &mark);
}

}  // namespace tav
