// Starts tav.exe from the folder it was unpacked into, as a user does, and
// checks what the user sees: the main window with the toolbar's pictures,
// and the two dialogs made hidden behind it. Then ends the program with the
// toolbar's "end" button. Exit status 0 when everything was there.
//
//   package_probe.exe FOLDER\tav.exe
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "forms/form1.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
  if (!ok) ++failures;
}

struct Search {
  DWORD process;
  std::wstring className;
  HWND found = nullptr;
};

// A top-level window of the process with this class, visible or not.
HWND FindWindowOf(DWORD process, const wchar_t* className) {
  Search search{process, className};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (owner != s.process || s.className != name) return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Pixels of a screen area that are clearly coloured (not grey, white or black).
int ColouredPixels(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  int coloured = 0;
  const auto* pixels = static_cast<const BYTE*>(bits);
  for (int i = 0; i < width * height; ++i) {
    const BYTE b = pixels[4 * i], g = pixels[4 * i + 1], r = pixels[4 * i + 2];
    const int high = std::max({r, g, b});
    const int low = std::min({r, g, b});
    if (high - low > 60) ++coloured;
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return coloured;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: package_probe FOLDER\\tav.exe\n");
    return 2;
  }
  const std::filesystem::path program = argv[1];
  const std::wstring folder = program.parent_path().native();
  std::wstring commandLine = L"\"" + program.native() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // Started in its own folder, as a double-click in the folder starts it.
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    std::fprintf(stderr, "cannot start tav.exe: error %lu\n", GetLastError());
    return 1;
  }
  CloseHandle(process.hThread);

  HWND main = nullptr;
  for (int i = 0; i < 300 && main == nullptr; ++i) {
    HWND window = FindWindowOf(process.dwProcessId, L"TavForm1");
    if (window != nullptr && IsWindowVisible(window)) main = window;
    if (main == nullptr) Sleep(100);
  }
  Check(main != nullptr, "the main window shows");
  if (main == nullptr) {
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return 1;
  }
  wchar_t caption[64] = {};
  GetWindowTextW(main, caption, 64);
  Check(std::wstring(caption) == tav::Form1::kCaption, "its caption");
  HWND options = FindWindowOf(process.dwProcessId, L"TavOptions");
  HWND about = FindWindowOf(process.dwProcessId, L"TavAbout");
  Check(options != nullptr && !IsWindowVisible(options), "the options dialog is made, hidden");
  Check(about != nullptr && !IsWindowVisible(about), "the about dialog is made, hidden");

  // Every keyed button has an image of its own: the icons were found in
  // the working directory.
  HWND toolbar = FindWindowExW(main, nullptr, TOOLBARCLASSNAMEW, nullptr);
  Check(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0) == tav::Form1::kToolbarButtons,
        "the toolbar has its buttons");
  std::set<LRESULT> images;
  for (int position = 0; position < tav::Form1::kToolbarButtons; ++position) {
    if (tav::Form1::kToolbar[static_cast<std::size_t>(position)].key == nullptr) continue;
    const LRESULT image = SendMessageW(
        toolbar, TB_GETBITMAP, static_cast<WPARAM>(tav::Form1::kToolbarCommandBase + position), 0);
    if (image != I_IMAGENONE) images.insert(image);
  }
  Check(images.size() == 6, "each of the six buttons has its own image");
  // And they are drawn: the pictures are coloured, a toolbar without them grey.
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(500);
  RECT bar{};
  GetWindowRect(toolbar, &bar);
  const int coloured = ColouredPixels(bar);
  std::printf("coloured pixels in the toolbar: %d\n", coloured);
  Check(coloured > 6 * 20, "the toolbar shows its pictures");

  // The toolbar's "end" ends the program at once.
  int end = 0;
  while (std::string(tav::Form1::kToolbar[static_cast<std::size_t>(end)].key != nullptr
                         ? tav::Form1::kToolbar[static_cast<std::size_t>(end)].key
                         : "") != "end") {
    ++end;
  }
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(tav::Form1::kToolbarCommandBase + end, 0),
               reinterpret_cast<LPARAM>(toolbar));
  const bool ended = WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0;
  DWORD exitCode = 1;
  if (ended) GetExitCodeProcess(process.hProcess, &exitCode);
  Check(ended && exitCode == 0, "\"end\" ends the program");
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  return failures == 0 ? 0 : 1;
}
