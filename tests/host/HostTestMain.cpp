// The host tests need one QApplication and one installed host for the whole
// program, made before any test runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "HostFixture.h"
#include "adventure/MenuTags.h"
#include "toolbox/windows/ProgramThread.h"
#include "toolbox/windows/Refresh.h"

namespace {
QtHost* theHost = nullptr;
}

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
  stopRefreshProcess();  // it must not outlive the host
  // As in the application: program threads may still call the host, which
  // must not be destroyed under them.
  std::fflush(stdout);
  std::_Exit(result);
}
