#include <gtest/gtest.h>

#include "graphics/LogCapture.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/TextBlock.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowManagement.h"
#include "windows/GraphicWindowFixture.h"

namespace {

using windowtest::fontWithData;

class WindowManagementTest : public windowtest::GraphicWindowTest {
 protected:
  // Window 3: 640 x 400 pixels, borders of 10, title bar 28.
  void openWindowThree() { openPictureWindow(3, 640, 400, 10); }
};

TEST_F(WindowManagementTest, SizeKeepsThePositionAndAddsBordersAndTitle) {
  openWindowThree();
  desktop.window(3).frame = host::Rect{70, 90, 1, 1};
  t_WindowSize(3, -1, -1, 640, 400);
  const host::Rect frame = desktop.window(3).frame;
  EXPECT_EQ(frame.x, 70);
  EXPECT_EQ(frame.y, 90);
  EXPECT_EQ(frame.width, 660);
  EXPECT_EQ(frame.height, 448);
  const host::Rect view = desktop.view(3).frame;
  EXPECT_EQ(view.x, 10);
  EXPECT_EQ(view.y, 10);
  EXPECT_EQ(view.width, 640);
  EXPECT_EQ(view.height, 400);
}

TEST_F(WindowManagementTest, PosAnswersContentSizeFromTheRecordNotTheFrame) {
  openWindowThree();
  desktop.window(3).frame = host::Rect{70, 90, 5000, 3};
  EXPECT_EQ(t_WindowPos(3, 8), 640);
  EXPECT_EQ(t_WindowPos(3, 9), 400);
  EXPECT_EQ(t_WindowPos(3, 10), 660);
  EXPECT_EQ(t_WindowPos(3, 11), 420);
  EXPECT_EQ(t_WindowPos(3, 12), 448);
  EXPECT_EQ(t_WindowPos(3, 13), 70);
  EXPECT_EQ(t_WindowPos(3, 14), 1080 - 90 - 448);
  EXPECT_EQ(t_WindowPos(3, 15), 1920);
  EXPECT_EQ(t_WindowPos(3, 16), 1080);
  EXPECT_EQ(t_WindowPos(3, 17), 28);
  EXPECT_EQ(t_WindowPos(3, 18), 10);
  EXPECT_EQ(t_WindowPos(3, 19), 10);
  EXPECT_EQ(t_WindowPos(3, 20), 90);
  EXPECT_EQ(t_WindowPos(3, 21), 0);
  EXPECT_EQ(t_WindowPos(3, -1), 0);
}

TEST_F(WindowManagementTest, PosAnswersTheTextAreaOfAGraphicWindow) {
  t_InitWindow(2, 24, false, 80, 48, 0, 0, fontWithData(8, 16), true);
  windowRecord(2).TextFirstColumn = 2;
  windowRecord(2).TextLastLine = 2;
  const int expected[] = {2, 1, 10, 2, 9, 2, 10, 3};
  for (int selector = 0; selector < 8; ++selector) {
    EXPECT_EQ(t_WindowPos(2, selector), expected[selector]) << selector;
  }
}

TEST_F(WindowManagementTest, PosOfAFixedWindowComesFromItsFrame) {
  t_InitMemory();
  desktop.window(11).frame = host::Rect{5.9, 6, 300.7, 228};
  EXPECT_EQ(t_WindowPos(11, 2), 299);
  EXPECT_EQ(t_WindowPos(11, 7), 228);
  EXPECT_EQ(t_WindowPos(11, 8), 300);
  EXPECT_EQ(t_WindowPos(11, 9), 200);
  EXPECT_EQ(t_WindowPos(11, 13), 5);
  EXPECT_EQ(t_WindowPos(11, 18), 0);
}

TEST_F(WindowManagementTest, UnknownWindowsAreReportedByEveryRoutine) {
  LogCapture log;
  EXPECT_EQ(t_WindowPos(13, 0), 0);
  t_WindowVisible(13, true);
  t_WindowFront(200);
  t_WindowSize(13, 1, 1, 1, 1);
  t_WindowTitle(13, "x");
  t_WindowTitleVisible(13, false);
  EXPECT_EQ(log.text(),
            "t_WindowPos: Window does not exist.\n"
            "t_WindowVisible: Window does not exist.\n"
            "t_WindowFront: Window does not exist.\n"
            "t_WindowSize: Window does not exist.\n"
            "t_WindowTitle: Window does not exist.\n"
            "t_WindowTitleVisible: Window does not exist.\n");
}

TEST_F(WindowManagementTest, SizeOfAnUninitialisedGraphicWindowIsRefused) {
  t_InitMemory();
  LogCapture log;
  t_WindowSize(6, 0, 0, 100, 100);
  EXPECT_EQ(log.text(), "t_WindowSize: Window #6 not initialized.\n");
}

TEST_F(WindowManagementTest, AHiddenTitleBarLeavesNoRoomInLaterSizes) {
  openPictureWindow(2, 100, 50);
  t_WindowTitleVisible(2, false);
  EXPECT_EQ(windowRecord(2).TitleHeight, 0);
  EXPECT_FALSE(desktop.window(2).titleVisible);
  t_WindowSize(2, 0, 0, 100, 50);
  EXPECT_EQ(desktop.window(2).frame.height, 50);
  t_WindowTitleVisible(2, true);
  EXPECT_EQ(windowRecord(2).TitleHeight, 28);
}

TEST_F(WindowManagementTest, SystemWindowSizesItsScrollViewOnlyWhereAsked) {
  t_InitMemory();
  desktop.setScrollViewFrame(9, host::Rect{20, 20, 600, 400});
  t_WindowSize(9, 10, 10, 500, -1);
  const host::Rect scroll = desktop.scrollViewFrame(9);
  EXPECT_EQ(scroll.width, 460);
  EXPECT_EQ(scroll.height, 400);
  EXPECT_EQ(desktop.window(9).frame.width, 500);
}

TEST_F(WindowManagementTest, HidingAGraphicWindowForgetsItsLastImageDuration) {
  openPictureWindow(1, 64, 64);
  t_WindowVisible(1, true);
  EXPECT_TRUE(windowRecord(1).Visible);
  EXPECT_TRUE(desktop.window(1).visible);
  windowRecord(1).UpdateDuration = 99;
  t_WindowVisible(1, false);
  EXPECT_FALSE(windowRecord(1).Visible);
  EXPECT_FALSE(desktop.window(1).visible);
  EXPECT_EQ(windowRecord(1).UpdateDuration, 0);
}

TEST_F(WindowManagementTest, ShowingThePasteboardWindowShowsThePasteboardText) {
  desktop.setPasteboardText("Kopie");
  t_WindowVisible(8, true);
  EXPECT_EQ(desktop.textViewString(8), "Kopie");
  EXPECT_TRUE(desktop.window(8).visible);
  desktop.setPasteboardText("");
  t_WindowFront(8);
  EXPECT_EQ(desktop.textViewString(8), "");
}

TEST_F(WindowManagementTest, TheCloseBoxHidesTheWindowAndKeepsItsText) {
  desktop.setTextViewString(9, "Druck");
  t_WindowVisible(9, true);
  EXPECT_FALSE(t_WindowShouldClose(&desktop.window(9)));
  EXPECT_FALSE(desktop.window(9).visible);
  t_WindowVisible(9, true);
  EXPECT_TRUE(desktop.window(9).visible);
  EXPECT_EQ(desktop.textViewString(9), "Druck");
}

TEST_F(WindowManagementTest, NumbersAndHostWindowsMapBothWays) {
  for (int number : {0, 7, 8, 9, 10, 11, 12}) {
    host::HostWindow* window = t_WindowHost(static_cast<std::uint8_t>(number));
    ASSERT_NE(window, nullptr) << number;
    EXPECT_EQ(t_WindowNumber(window), number);
  }
  EXPECT_EQ(t_WindowHost(13), nullptr);
  EXPECT_EQ(t_WindowNumber(nullptr), kNoWindow);
  EXPECT_EQ(t_WindowMain(), 12);
  desktop.mainWindowNumber = -1;
  EXPECT_EQ(t_WindowMain(), kNoWindow);
}

TEST_F(WindowManagementTest, BorderColourUsesTheLowFourBits) {
  openPictureWindow(2, 64, 64);
  t_ColorBorder(2, 17);
  EXPECT_EQ(windowRecord(2).RGBColorBorder, (t_RGBColor{255, 255, 0, 0}));
  const std::uint8_t* background = desktop.window(2).background;
  EXPECT_EQ(background[0], 255);
  EXPECT_EQ(background[1], 0);
  EXPECT_EQ(background[3], 255);
  LogCapture log;
  t_ColorBorder(8, 1);
  t_ColorBorder(5, 1);
  EXPECT_EQ(log.text(),
            "t_ColorBorder: Window is not a graphic window.\n"
            "t_ColorBorder: Window #5 not initialized.\n");
}

TEST_F(WindowManagementTest, ResizingASystemWindowLaysOutItsTextView) {
  desktop.mainWindowNumber = 9;
  desktop.setFrame(&desktop.window(9), host::Rect{0, 0, 700, 500});
  t_WindowDidResize();
  const host::Rect scroll = desktop.scrollViewFrame(9);
  EXPECT_EQ(scroll.x, 20);
  EXPECT_EQ(scroll.width, 660);
  EXPECT_EQ(scroll.height, 500 - 40 - 28 - 15);
  EXPECT_EQ(desktop.rulerFrame(9).width, 652);
  EXPECT_EQ(desktop.rulerFrame(9).height, 19);
  desktop.mainWindowNumber = 8;
  desktop.setFrame(&desktop.window(8), host::Rect{0, 0, 300, 200});
  t_WindowDidResize();
  EXPECT_EQ(desktop.scrollViewFrame(8).width, 280);
  EXPECT_EQ(desktop.scrollViewFrame(8).height, 200 - 20 - 28);
}

TEST_F(WindowManagementTest, QuitProgramPrintsTheClosingMessageAndUnwinds) {
  t_InitWindow(0, 24, false, 160, 64, 0, 0, fontWithData(8, 16), true);
  t_WindowVisible(0, true);
  LogCapture log;
  EXPECT_THROW(t_QuitProgram(0), ProgramThreadExit);
  EXPECT_TRUE(
      log.text().ends_with("t_QuitProgram: Quitting current thread with message in window #0.\n"));
  std::string screen;
  for (int column = 1; column <= 20; ++column) {
    screen.push_back(static_cast<char>(textblock::storedCode(windowRecord(0), column, 4)));
  }
  EXPECT_EQ(screen.substr(0, 15), "(Programm Ende)");
  EXPECT_EQ(desktop.view(0).displayNowCount, 1);
}

TEST_F(WindowManagementTest, QuitProgramWithoutWindowOnlyLogs) {
  t_InitMemory();
  LogCapture log;
  EXPECT_THROW(t_QuitProgram(13), ProgramThreadExit);
  EXPECT_TRUE(log.text().ends_with("t_QuitProgram: Quitting current thread.\n"));
}

}  // namespace
