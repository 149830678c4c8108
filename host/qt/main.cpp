// velmorat: the desktop application. Qt's main thread is the host's main
// thread ("AppDelegate"); the game runs on the program thread.
#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "app/Main.h"
#include "app/ProgramThread.h"
#include "host/qt/CommandLine.h"
#include "host/qt/KeyScript.h"
#include "host/qt/QtHost.h"
#include "host/qt/ScriptedPlay.h"
#include "support/Bundle.h"

namespace {
constexpr int kExitUsage = 2;
constexpr int kExitDumpFailed = 1;
constexpr int kIconSize = 64;

// Standard output is the diagnostic log alone.
void qtMessagesToStandardError(QtMsgType, const QMessageLogContext&, const QString& message) {
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

QIcon velmoratIcon() {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(QColor(0, 0, 128));
  QPainter painter(&pixmap);
  painter.setPen(QColor(255, 255, 0));
  QFont font = painter.font();
  font.setPixelSize(kIconSize * 3 / 4);
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("V"));
  return QIcon(pixmap);
}
}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(qtMessagesToStandardError);
  CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (line.help) {
    std::cout << commandLineHelp();
    return 0;
  }
  if (!line.error.empty()) {
    std::fprintf(stderr, "velmorat: %s (see velmorat --help)\n", line.error.c_str());
    return kExitUsage;
  }
  KeyScript keys;
  if (!line.keysFile.empty()) {
    keys = readKeyScript(line.keysFile);
    if (!keys.error.empty()) {
      std::fprintf(stderr, "velmorat: %s: %s\n", line.keysFile.c_str(), keys.error.c_str());
      return kExitUsage;
    }
  }
  if (line.headless) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!line.bundle.empty()) setBundlePath(line.bundle);

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmorat"));
  QApplication::setWindowIcon(velmoratIcon());
  QApplication::setQuitOnLastWindowClosed(applicationShouldTerminateAfterLastWindowClosed());

  QtHost desktop;
  if (!line.panelAnswer.empty()) desktop.answerPanelsWith(line.panelAnswer);
  host::install(&desktop);
  applicationWillFinishLaunching();
  QObject::connect(&application, &QCoreApplication::aboutToQuit, &applicationWillTerminate);

  std::unique_ptr<ScriptedPlay> play;
  if (line.headless || !line.keysFile.empty()) {
    auto chooseMenuItem = [&desktop](int tag) {
      if (!desktop.menuBar().choose(tag))
        std::fprintf(stderr, "velmorat: no menu item has the tag %d ({Menu %d})\n", tag, tag);
    };
    play =
        std::make_unique<ScriptedPlay>(desktop.view(0), chooseMenuItem, keys.keys, line.headless);
  }
  QTimer::singleShot(0, [&] {
    applicationDidFinishLaunching(VelmoratMain);
    QStringList documents;
    for (const std::string& path : line.documents) documents << QString::fromStdString(path);
    openDocuments(documents);
    if (play) play->start();
  });
  int status = application.exec();
  if (!writeDumps(line) && status == 0) status = kExitDumpFailed;
  std::fflush(stdout);
  // The program thread may still wait for the main thread, which no longer
  // answers; ending here keeps it from running into destroyed objects.
  std::_Exit(status);
}
