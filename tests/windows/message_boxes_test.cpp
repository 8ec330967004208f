// The real message boxes: during a run a box holds every window of the
// program, the open dialogs included.
#include <atomic>
#include <thread>

#include "forms/win32_message_boxes.h"
#include "gui_fixture.h"

namespace tav::test {
namespace {

TEST_F(GuiTest, RunBoxIsTaskModalAndItsAnswerCounts) {
  Win32MessageBoxes realBoxes;
  Form1& f = Start(&realBoxes);
  Command(Form1::kMenuOption);
  HWND main = f.hwnd();
  HWND options = f.frmOptions().hwnd();
  SelectFiles({L"fbbs0412.log"});

  // A second thread finds the box, looks at the windows and presses Cancel.
  std::atomic<bool> found{false};
  std::atomic<bool> mainEnabled{true};
  std::atomic<bool> optionsEnabled{true};
  std::thread user([&] {
    for (int i = 0; i < 500 && !found; ++i) {
      if (HWND box = FindWindowW(L"#32770", L" start?")) {
        found = true;
        mainEnabled = IsWindowEnabled(main) != 0;
        optionsEnabled = IsWindowEnabled(options) != 0;
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
      }
      Sleep(10);
    }
  });
  Command(Form1::kMenuRun);
  user.join();

  ASSERT_TRUE(found);
  EXPECT_FALSE(mainEnabled);
  EXPECT_FALSE(optionsEnabled);
  // Cancel at the first question: nothing converted, the run's end shown.
  EXPECT_FALSE(std::filesystem::exists(logsDir / L"fbb"));
  EXPECT_EQ(StatusText(1), L"end");
  EXPECT_TRUE(f.StatusBold());
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(IsWindowEnabled(options));
}

}  // namespace
}  // namespace tav::test
