// Window management, refresh, the program thread and documents on the real
// Qt windows.
#include <pthread.h>

#include <QCoreApplication>
#include <QPaintEvent>
#include <QUrl>
#include <atomic>
#include <filesystem>

#include "HostFixture.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/windows/Documents.h"
#include "toolbox/windows/ProgramThread.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowManagement.h"
#include "toolbox/windows/WindowSetup.h"

TEST(QtWindows, CloseBoxHidesTheWindowAndKeepsItsText) {
  testHost().setTextViewString(9, "Seite 1");
  t_WindowFront(9);
  ASSERT_TRUE(testHost().window(9)->isVisible());
  testHost().window(9)->close();
  QCoreApplication::processEvents();
  EXPECT_FALSE(testHost().window(9)->isVisible());
  t_WindowFront(9);
  EXPECT_TRUE(testHost().window(9)->isVisible());
  EXPECT_EQ(testHost().textViewString(9), "Seite 1");
}

TEST(QtWindows, WindowSizeSetsFrameAroundViewAndPosReadsTheRecord) {
  setUpGraphicWindow(3, 64, 32, 10);
  int title = testHost().titleBarHeight();
  onProgramThread([] { t_WindowSize(3, -1, -1, 640, 400); });
  QCoreApplication::processEvents();
  VelmoratWindow* window = testHost().window(3);
  EXPECT_EQ(window->width(), 660);
  EXPECT_EQ(window->height(), 400 + title + 20);
  // The view draws the whole content; the picture lands on its frame.
  ContentWidget* content = window->content();
  EXPECT_EQ(content->widgetRectOf(content->childFrame(testHost().view(3))),
            QRectF(10, 10, 640, 400));
  // The record decides the content size, not the host frame.
  EXPECT_EQ(t_WindowPos(3, 8), 64);
  EXPECT_EQ(t_WindowPos(3, 9), 32);
  EXPECT_EQ(t_WindowPos(3, 17), title);
  // The position reads back as set, and is where the window stands (one
  // point is one pixel in these tests; the offscreen frame adds up to 2).
  onProgramThread([] { t_WindowSize(3, 50, -1, -1, -1); });
  EXPECT_EQ(t_WindowPos(3, 13), 50);
  EXPECT_NEAR(window->geometry().x(), 50, 2);
  std::string log = capturedLog([] { EXPECT_EQ(t_WindowPos(13, 0), 0); });
  EXPECT_NE(log.find("t_WindowPos: Window does not exist."), std::string::npos);
}

TEST(QtWindows, FramesCountFromTheBottomOfTheScreen) {
  host::HostWindow* printer = testHost().fixedWindow(9);
  testHost().setFrame(printer, {100, 200, 600, 400});
  host::Rect frame = testHost().frame(printer);
  EXPECT_EQ(frame.x, 100);
  EXPECT_EQ(frame.y, 200);
  int screenHeight = testHost().window(9)->screen()->geometry().height();
  EXPECT_EQ(testHost().window(9)->geometry().y(), screenHeight - 600);
}

TEST(QtWindows, TitleBarHeightIsMeasuredFromThePasteboardWindow) {
  onProgramThread([] { t_InitMemory(); });
  host::HostWindow* pasteboard = testHost().fixedWindow(8);
  int measured =
      int(testHost().frame(pasteboard).height - testHost().scrollViewFrame(8).height - 20);
  EXPECT_EQ(measured, testHost().titleBarHeight());
  EXPECT_GT(measured, 0);
}

namespace {
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};
}  // namespace

TEST(QtRefresh, RepaintsAWindowWithAutomaticUpdateWhenItChanges) {
  setUpGraphicWindow(2, 32, 32, 0, true);
  PaintCounter counter;
  testHost().view(2)->installEventFilter(&counter);
  onProgramThread([] { g_Plot(2, 1, 1); });
  EXPECT_TRUE(serveEventsUntil([&] { return counter.paints >= 1; }, 5000));
  testHost().view(2)->removeEventFilter(&counter);
}

TEST(QtRefresh, ViewShowsTheWindowsPixels) {
  setUpGraphicWindow(4, 32, 32, 0);
  // Distinct channels so that a red/blue swap would show.
  std::uint8_t* pixel = VideoMemory + windowRecord(4).MemoryStart;
  pixel[0] = 200;
  pixel[1] = 100;
  pixel[2] = 50;
  onProgramThread([] { t_WindowUpdate(4, false); });
  QImage shown = testHost().view(4)->grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(0, 0)), QColor(200, 100, 50));
}

TEST(ProgramThread, TwoQuickStartsRunBothRoutines) {
  std::atomic<int> first{0};
  std::atomic<int> second{0};
  startprocess([&] { first = 1; }, 0x100000);
  startprocess([&] { second = 2; }, 0x100000);
  EXPECT_TRUE(serveEventsUntil([&] { return first == 1 && second == 2; }, 2000));
  EXPECT_TRUE(serveEventsUntil([] { return ProgramThreadsRunning == 0; }, 2000));
}

TEST(ProgramThread, GetsItsStackAndNameAndEndsQuietlyOnQuit) {
  std::atomic<std::size_t> stackBytes{0};
  char name[16] = {};
  std::atomic<bool> reachedAfterQuit{false};
  startprocess(
      [&] {
        pthread_attr_t attributes;
        pthread_getattr_np(pthread_self(), &attributes);
        std::size_t size = 0;
        pthread_attr_getstacksize(&attributes, &size);
        pthread_attr_destroy(&attributes);
        pthread_getname_np(pthread_self(), name, sizeof name);
        stackBytes = size;
        throw ProgramThreadExit{};
        reachedAfterQuit = true;
      },
      kProgramStackSize);
  EXPECT_TRUE(
      serveEventsUntil([&] { return stackBytes != 0 && ProgramThreadsRunning == 0; }, 2000));
  EXPECT_GE(stackBytes, std::size_t{0x40000000});
  EXPECT_STREQ(name, "Main Program");
  EXPECT_FALSE(reachedAfterQuit);
}

TEST(Documents, DroppedFilesBecomeFileEvents) {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "velmorat Dokumente ä";
  std::filesystem::create_directories(folder);
  std::size_t before = FileEventQueueCopy().size();
  testHost().window(12)->dropUrls({QUrl::fromLocalFile(QString::fromStdString(folder.string())),
                                   QUrl(QStringLiteral("https://example.org/not-a-file"))});
  std::vector<t_Event> events = FileEventQueueCopy();
  ASSERT_EQ(events.size(), before + 1);
  EXPECT_EQ(events.back().Kind, 4);
  EXPECT_EQ(events.back().Value, 2);  // a folder
  EXPECT_EQ(events.back().Description, folder.string());
  EXPECT_TRUE(FileAvailable());
}

TEST(Documents, DroppedPathsKeepTheirNormalForm) {
  // "ä" decomposed, as some file systems and programs write it.
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "velmorat-nfd-a\u0308";
  std::filesystem::create_directories(folder);
  testHost().window(12)->dropUrls({QUrl::fromLocalFile(QString::fromStdString(folder.string()))});
  t_Event event = FileEventQueueCopy().back();
  EXPECT_EQ(event.Description, folder.string());
  EXPECT_EQ(event.Value, 2);
}

TEST(Sound, BeepWithoutAudioDeviceIsNoError) {
  // Offscreen test machines have no sound card: a sound that cannot be played
  // says so, so that the caller falls back to the plain beep, which is quiet.
  EXPECT_FALSE(testHost().playSound("/nonexistent/sysbeep.aif"));
  testHost().systemBeep();
}
