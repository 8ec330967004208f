// tav.exe: the main window and its message loop.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <filesystem>
#include <vector>

#include "forms/form1.h"
#include "forms/win32_message_boxes.h"
#include "platform/win32_file_system.h"
#include "platform/win32_shell.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  // An empty removable drive picked in the drive list gives a message of
  // the program, not the system's "insert a disk" box.
  SetErrorMode(SEM_FAILCRITICALERRORS);
  // The shell's document handlers may use COM.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);

  tav::Win32Shell shell;
  tav::Win32FileSystem files;
  tav::Win32MessageBoxes boxes;
  // Files dropped on the program's icon, or sent to it, come as arguments:
  // the window opens with them selected.
  std::vector<std::filesystem::path> startFiles;
  int count = 0;
  if (LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) startFiles.emplace_back(arguments[i]);
    LocalFree(arguments);
  }
  tav::Form1 form(shell, files, boxes);
  if (!form.Create(showCommand, startFiles)) return 1;

  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (form.TranslateDialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
