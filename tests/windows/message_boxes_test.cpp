// The real message boxes: a box opens over the window it belongs to, and
// during a run it holds every window of the program, the open dialogs
// included; when it closes, the main window is active with its focus back.
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "forms/spaced_beeps.h"
#include "forms/win32_message_boxes.h"
#include "gui_fixture.h"

namespace tav::test {
namespace {

TEST_F(GuiTest, RunBoxIsOwnedByTheMainWindowAndHoldsEveryWindow) {
  Win32MessageBoxes realBoxes;
  Form1& f = Start(&realBoxes);
  HWND main = f.hwnd();
  // The window opens with the focus in the first control of the tab order.
  EXPECT_EQ(GetFocus(), Control(Form1::kDir1));
  // Away from where an ownerless box would open.
  SetWindowPos(main, nullptr, 700, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Command(Form1::kMenuOption);
  HWND options = f.frmOptions().hwnd();
  SelectFiles({L"fbbs0412.log"});
  SetForegroundWindow(main);
  SetFocus(Control(Form1::kFile1));

  // A second thread finds the box, looks at the windows and presses Cancel.
  std::atomic<bool> found{false};
  std::atomic<bool> mainEnabled{true};
  std::atomic<bool> optionsEnabled{true};
  std::atomic<bool> overMain{false};
  std::thread user([&] {
    for (int i = 0; i < 500 && !found; ++i) {
      HWND box = FindWindowW(L"#32770", L" start?");
      if (box != nullptr && GetForegroundWindow() == box) {
        found = true;
        mainEnabled = IsWindowEnabled(main) != 0;
        optionsEnabled = IsWindowEnabled(options) != 0;
        RECT boxRect{};
        RECT mainRect{};
        GetWindowRect(box, &boxRect);
        GetWindowRect(main, &mainRect);
        const POINT centre{(boxRect.left + boxRect.right) / 2, (boxRect.top + boxRect.bottom) / 2};
        overMain = GetWindow(box, GW_OWNER) == main && PtInRect(&mainRect, centre);
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
      }
      Sleep(10);
    }
  });
  Command(Form1::kMenuRun);
  user.join();

  ASSERT_TRUE(found);
  EXPECT_TRUE(overMain);
  EXPECT_FALSE(mainEnabled);
  EXPECT_FALSE(optionsEnabled);
  // Cancel at the first question: nothing converted, the run's end shown.
  EXPECT_FALSE(std::filesystem::exists(logsDir / L"fbb"));
  EXPECT_EQ(StatusText(1), L"end");
  EXPECT_TRUE(f.StatusBold());
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(IsWindowEnabled(options));
  Pump();
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(GetFocus(), Control(Form1::kFile1));
}

TEST(SpacedBeepsTest, EachBeepIsHeardToItsEndAndAskingReturnsAtOnce) {
  using Clock = std::chrono::steady_clock;
  const auto length = std::chrono::milliseconds(50);
  const auto pause = std::chrono::milliseconds(30);
  std::mutex mutex;
  std::vector<std::pair<Clock::time_point, Clock::time_point>> heard;
  auto play = [&] {
    const auto start = Clock::now();
    std::this_thread::sleep_for(length);
    const std::lock_guard lock(mutex);
    heard.emplace_back(start, Clock::now());
  };
  {
    SpacedBeeps beeps(play, pause);
    const auto asked = Clock::now();
    for (int i = 0; i < 3; ++i) beeps.Beep();
    EXPECT_LT(Clock::now() - asked, length);
    std::this_thread::sleep_for(10 * length);
  }
  ASSERT_EQ(heard.size(), 3u);
  for (std::size_t i = 1; i < heard.size(); ++i) {
    EXPECT_GE(heard[i].first - heard[i - 1].second, pause) << "beep " << i;
  }

  // Ending the program drops the beeps that have not begun.
  heard.clear();
  {
    SpacedBeeps beeps(play, pause);
    for (int i = 0; i < 5; ++i) beeps.Beep();
  }
  EXPECT_LE(heard.size(), 1u);
}

}  // namespace
}  // namespace tav::test
