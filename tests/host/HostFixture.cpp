#include "HostFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <thread>

#include "support/Bundle.h"
#include "support/qbtools.h"
#include "toolbox/core/Font.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/windows/WindowManagement.h"
#include "toolbox/windows/WindowSetup.h"

void onProgramThread(const std::function<void()>& work) {
  // The main thread serves its events until the program thread's last act,
  // a quit queued behind the main-thread work of the host, arrives: no
  // polling, and nothing the work queued for the main thread is left behind.
  // The host's queue is one ThreadSanitizer can follow, Qt's is not.
  QEventLoop serving;
  std::thread program([&] {
    work();
    testHost().runOnMainAsync([&serving] { serving.quit(); });
  });
  serving.exec();
  program.join();
}

bool serveEventsUntil(const std::function<bool()>& done, int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return done();
}

void setUpGraphicWindow(int n, int width, int height, int border, bool autoUpdate) {
  onProgramThread([&] {
    auto window = static_cast<std::uint8_t>(n);
    t_InitWindow(window, 24, autoUpdate, width, height, border, border, emptyFont(), true);
    t_WindowSize(window, -1, -1, width, height);
    t_WindowVisible(window, true);
  });
}

bool setUpTextWindow() {
  setBundlePath(VELMORAT_BUNDLE);
  if (fileexists(resourcesPath() + "MenloBold 16x32.font") != 1) return false;
  onProgramThread([] {
    t_InitWindow(0, 24, 20, 4, 0, "MenloBold 16x32.font");
    t_WindowVisible(0, true);
  });
  return windowRecord(0).Initialized;
}

std::string capturedLog(const std::function<void()>& work) {
  testing::internal::CaptureStdout();
  work();
  return testing::internal::GetCapturedStdout();
}
