// The desktop host on Qt's offscreen platform: how long a key pressed in the
// text window's view takes to show as a glyph in the view's next image (goal:
// one refresh interval, 33 ms, plus the program's 10 ms key poll), against a
// full repaint of the text window measured in the same run; how long Page Up
// takes to show a page of 100,000 kept lines (goal: 16 ms), against the same
// repaint; and the share of a core that the refresh uses while nothing
// changes, over 10 seconds.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <fstream>
#include <random>
#include <sstream>

#include "bench/KeptPast.h"
#include "bench/RatioReporter.h"
#include "host/qt/QtHost.h"
#include "host/qt/Windows.h"
#include "support/Bundle.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/ProgramThread.h"
#include "toolbox/windows/WindowManagement.h"
#include "toolbox/windows/WindowSetup.h"

namespace {
constexpr auto kIdleMeasurement = std::chrono::seconds(10);
constexpr int kLatencySamples = 40;
constexpr int kMaxLatencyMs = 1000;
constexpr double kGoalMs = 33.0 + 10.0;

QtHost* desktop = nullptr;
std::atomic<int> echoed{0};

// The program: a text window that echoes every key, as the line input does.
void echoProgram() {
  t_InitWindow(0, 24, 78, 24, 16, "MenloBold 16x32.font");
  t_WindowFront(0);
  for (;;) {
    t_Print(0, t_KeyWait(0));
    ++echoed;
  }
}

class PaintWatch : public QObject {
 public:
  int lastEchoSeen = -1;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) lastEchoSeen = echoed;
    return false;
  }
};

void serve(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    QThread::usleep(200);
  }
}

void KeyToGlyph(benchmark::State& state) {
  PaintWatch watch;
  QWidget* view = desktop->view(0);
  view->installEventFilter(&watch);
  std::mt19937 random(43);
  for (auto _ : state) {
    // A random phase against the refresh and the key poll.
    serve(static_cast<int>(random() % 45));
    int before = echoed;
    auto start = std::chrono::steady_clock::now();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(view, &press);
    QElapsedTimer timeout;
    timeout.start();
    watch.lastEchoSeen = -1;
    while (watch.lastEchoSeen <= before && timeout.elapsed() < kMaxLatencyMs) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(view, &release);
  }
  view->removeEventFilter(&watch);
}
BENCHMARK(KeyToGlyph)->UseManualTime()->Iterations(kLatencySamples)->Unit(benchmark::kMillisecond);

void RepaintOfTextWindow(benchmark::State& state) {
  for (auto _ : state) desktop->view(0)->repaint();
}
BENCHMARK(RepaintOfTextWindow)->Unit(benchmark::kMillisecond);

// From half way back, Page Up and Page Down by turns, each shown at once.
void PageOfThePast(benchmark::State& state) {
  installKeptPast(0);
  t_EnableScrollback(0, true);
  GraphicView* view = desktop->view(0);
  view->scrollPast(50000);
  bool up = true;
  for (auto _ : state) {
    QKeyEvent key(QEvent::KeyPress, up ? Qt::Key_PageUp : Qt::Key_PageDown, Qt::NoModifier);
    QApplication::sendEvent(view, &key);
    view->repaint();
    up = !up;
  }
  view->scrollPast(-100000);
  t_EnableScrollback(0, false);
}
BENCHMARK(PageOfThePast)->Unit(benchmark::kMillisecond);

double threadSeconds(const std::string& task) {
  std::ifstream stat("/proc/self/task/" + task + "/stat");
  std::string line;
  std::getline(stat, line);
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string skipped;
  for (int field = 3; field <= 13; ++field) fields >> skipped;
  long long user = 0;
  long long system = 0;
  fields >> user >> system;
  return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

std::string taskNamed(const std::string& name) {
  for (const QString& task :
       QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    std::ifstream comm("/proc/self/task/" + task.toStdString() + "/comm");
    std::string taskName;
    std::getline(comm, taskName);
    if (taskName == name) return task.toStdString();
  }
  return {};
}

double processSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QtHost host;
  desktop = &host;
  host::install(&host);
  setBundlePath(VELMORAT_BUNDLE);
  applicationDidFinishLaunching(echoProgram);
  serve(1000);  // window set up and shown
  if (!WindowTable[0].Initialized) {
    std::fprintf(stderr, "host_bench: the text window could not be set up (fonts in %s?)\n",
                 VELMORAT_BUNDLE);
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double latency = reporter.time("KeyToGlyph/iterations:40/manual_time");
  double repaint = reporter.time("RepaintOfTextWindow");
  if (latency > 0 && repaint > 0) {
    std::printf(
        "\nKey to glyph: %.1f ms = %.2f x a full repaint of the text window (%.2f ms), "
        "%.2f x the goal of %.0f ms\n",
        latency, latency / repaint, repaint, latency / kGoalMs, kGoalMs);
  }

  const double page = reporter.time("PageOfThePast");
  if (page > 0 && repaint > 0) {
    std::printf(
        "Page Up over 100,000 lines: %.2f ms = %.2f x a full repaint, %.2f x the goal of 16 ms\n",
        page, page / repaint, page / 16.0);
  }

  std::string refresh = taskNamed("t_WindowAutoUpd");
  std::string mainThread = std::to_string(getpid());
  double refreshBefore = refresh.empty() ? 0 : threadSeconds(refresh);
  double mainBefore = threadSeconds(mainThread);
  double processBefore = processSeconds();
  auto start = std::chrono::steady_clock::now();
  serve(static_cast<int>(std::chrono::milliseconds(kIdleMeasurement).count()));
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("Idle for %.0f s (text window shown, refreshed at 30 per second):\n", seconds);
  if (!refresh.empty()) {
    std::printf("  refresh process: %.2f %% of one core\n",
                100 * (threadSeconds(refresh) - refreshBefore) / seconds);
  }
  std::printf("  main thread (repaints, event loop): %.2f %% of one core\n",
              100 * (threadSeconds(mainThread) - mainBefore) / seconds);
  std::printf("  whole process: %.2f %% of one core\n",
              100 * (processSeconds() - processBefore) / seconds);
  benchmark::Shutdown();
  std::fflush(stdout);
  std::_Exit(0);
}
