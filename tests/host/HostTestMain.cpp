// The host tests need one QApplication and one installed host for the whole
// program, made before any test runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "HostFixture.h"
#include "adventure/MenuTags.h"
#include "support/ThreadLaunch.h"
#include "toolbox/windows/ProgramThread.h"
#include "toolbox/windows/Refresh.h"

namespace {
QtHost* theHost = nullptr;
constexpr auto kThreadEndBound = std::chrono::seconds(30);
}  // namespace

QtHost& testHost() {
  return *theHost;
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  // The game's items, as main hands them over.
  QtHost desktop("", {.loadGame = kMenuLoadGame,
                      .saveGame = kMenuSaveGame,
                      .loadLastState = kMenuLoadLastState,
                      .saveTranscript = kMenuSaveTranscript,
                      .takeBackMove = kMenuTakeBackMove,
                      .showTranscript = kMenuShowTranscript});
  theHost = &desktop;
  // One point is one pixel here, so that tests can name exact pixels; the
  // desktop tests turn the fit on for themselves.
  desktop.layout().setFitsScreen(false);
  host::install(&desktop);
  // The delegate's launch, with a program that ends at once: initqbtools and
  // the title-bar height, as the application has them.
  applicationDidFinishLaunching([] {});
  testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  // No toolbox thread outlives the host: the refresh is joined, the program
  // threads and workers are waited for while the main thread serves their
  // last calls. One still running is a fault of the tests or the toolbox.
  stopRefreshProcess();
  bool threadsEnded = false;
  onProgramThread([&threadsEnded] {
    threadsEnded = endProgramThreads(kThreadEndBound) && awaitDetachedThreads(kThreadEndBound);
  });
  if (!threadsEnded) {
    std::fprintf(stderr, "tests_host: toolbox threads still run after the tests\n");
    std::fflush(stdout);
    std::_Exit(EXIT_FAILURE);  // destroying the host under them would crash instead
  }
  return result;
}
