// The host tests need one QApplication and one installed host for the whole
// program, made before any test runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "HostFixture.h"
#include "toolbox/windows/ProgramThread.h"

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
  QtHost desktop;
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
  // As in the application: the refresh process and program threads may still
  // call the host, which must not be destroyed under them.
  std::fflush(stdout);
  std::_Exit(result);
}
