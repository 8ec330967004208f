// The two dialogs' windows: created hidden at start-up, shown modeless,
// hidden by cancel and Esc, destroyed by the title bar's close.
#include "gui_fixture.h"

namespace tav::test {
namespace {

TEST_F(GuiTest, DialogsAreCreatedHiddenWithTheirFrames) {
  Form1& f = Start();
  const UINT dpi = GetDpiForWindow(f.hwnd());
  HWND options = f.frmOptions().hwnd();
  HWND about = f.frmAbout().hwnd();
  ASSERT_NE(options, nullptr);
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(IsWindowVisible(options));
  EXPECT_FALSE(IsWindowVisible(about));
  EXPECT_EQ(Text(options), L"     options");
  EXPECT_EQ(Text(about), L"     version infomation");
  EXPECT_EQ(ClientSize(options).cx, MulDiv(5745, static_cast<int>(dpi), 1440));
  EXPECT_EQ(ClientSize(options).cy, MulDiv(5955, static_cast<int>(dpi), 1440));
  EXPECT_EQ(ClientSize(about).cx, MulDiv(5040, static_cast<int>(dpi), 1440));
  EXPECT_EQ(ClientSize(about).cy, MulDiv(4545, static_cast<int>(dpi), 1440));

  const LONG optionsStyle = GetWindowLongW(options, GWL_STYLE);
  EXPECT_TRUE(optionsStyle & WS_SYSMENU);
  EXPECT_FALSE(optionsStyle & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
  const LONG aboutStyle = GetWindowLongW(about, GWL_STYLE);
  EXPECT_EQ(aboutStyle & WS_OVERLAPPEDWINDOW, static_cast<LONG>(WS_OVERLAPPEDWINDOW));
}

TEST_F(GuiTest, DialogsShowModelessAndEscHidesThem) {
  Form1& f = Start();
  Command(Form1::kMenuVersion);
  Command(Form1::kMenuOption);
  HWND options = f.frmOptions().hwnd();
  HWND about = f.frmAbout().hwnd();
  EXPECT_TRUE(IsWindowVisible(options));
  EXPECT_TRUE(IsWindowVisible(about));
  // Modeless: the main window stays usable behind them.
  EXPECT_TRUE(IsWindowEnabled(f.hwnd()));
  // Showing one again keeps the same window.
  Command(Form1::kMenuOption);
  EXPECT_EQ(f.frmOptions().hwnd(), options);

  PostMessageW(options, WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_FALSE(IsWindowVisible(options));
  EXPECT_TRUE(IsWindowVisible(about));
  PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_FALSE(IsWindowVisible(about));
  // Hidden, not destroyed: the next showing shows the same window.
  Command(Form1::kMenuVersion);
  EXPECT_EQ(f.frmAbout().hwnd(), about);
  EXPECT_TRUE(IsWindowVisible(about));
}

TEST_F(GuiTest, TitleBarCloseDestroysADialogAndTheNextShowingMakesItAnew) {
  Form1& f = Start();
  Command(Form1::kMenuOption);
  HWND first = f.frmOptions().hwnd();
  SendMessageW(first, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(f.frmOptions().hwnd(), nullptr);
  EXPECT_NE(f.hwnd(), nullptr);

  Command(Form1::kMenuOption);
  ASSERT_NE(f.frmOptions().hwnd(), nullptr);
  EXPECT_TRUE(IsWindowVisible(f.frmOptions().hwnd()));
  EXPECT_EQ(Text(f.frmOptions().hwnd()), L"     options");
}

}  // namespace
}  // namespace tav::test
