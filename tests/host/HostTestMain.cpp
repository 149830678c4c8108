// The host tests need one QApplication and one installed host for the whole
// program, made before any test runs.
#include <gtest/gtest.h>

#include <QApplication>

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
  host::install(&desktop);
  // The delegate's launch, with a program that ends at once: initqbtools and
  // the title-bar height, as the application has them.
  applicationDidFinishLaunching([] {});
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
