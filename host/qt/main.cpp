// velmorat: the desktop application. Qt's main thread is the host's main
// thread ("AppDelegate"); the game runs on the program thread.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QPainter>
#include <QSettings>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "adventure/Parser.h"
#include "app/Main.h"
#include "app/ProgramThread.h"
#include "host/qt/CommandLine.h"
#include "host/qt/KeyScript.h"
#include "host/qt/QtHost.h"
#include "host/qt/ScriptedPlay.h"
#include "host/qt/Translations.h"
#include "support/Bundle.h"
#include "support/Log.h"
#include "support/LogFile.h"
#include "toolbox/windows/InputWait.h"

namespace {
constexpr int kExitUsage = 2;
constexpr int kExitDumpFailed = 1;
constexpr int kExitNoGame = 1;
constexpr int kIconSize = 64;
// Quitting tells the program thread to end; it looks for that every 10 ms
// while it waits for a key, so this is ample and still far within a second.
constexpr int kProgramEndWaitMs = 400;

bool logInFile = false;

// Standard output is the diagnostic log alone. When the log is in a file,
// Qt's notes and warnings go there too and the terminal sees only real errors.
void qtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (logInFile && (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg)) {
    logLine("Qt: " + message.toStdString());
    return;
  }
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// A player's run from a terminal keeps the log in a file (the log shows every
// script line, and with it the puzzles' answers).
void chooseLog(const CommandLine& line) {
  if (chooseLogDestination(line.headless, line.log, isatty(STDOUT_FILENO) != 0) !=
      LogDestination::File) {
    return;
  }
  logInFile = true;
  std::string problem = startLogFile(logFolder());
  if (problem.empty()) return;
  std::fprintf(stderr, "velmorat: %s; no log this run (velmorat --log shows it here)\n",
               problem.c_str());
  std::string ignored;
  logToFile("/dev/null", ignored);
}

// The program thread ends at its next look for a key; its last calls to the
// main thread are served meanwhile.
void waitForProgramEnd() {
  QElapsedTimer timer;
  timer.start();
  while (ProgramThreadsRunning > 0 && timer.elapsed() < kProgramEndWaitMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
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
  qInstallMessageHandler(qtMessages);
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
  if (!line.bundle.empty()) setBundlePath(line.bundle);
  std::string missing = firstMissingResource(VelmoratRequiredResources());
  if (!missing.empty()) {
    std::fprintf(stderr, "velmorat: no game in %s: %s is missing\n", bundlePath().c_str(),
                 missing.c_str());
    return kExitNoGame;
  }
  chooseLog(line);
  if (line.headless) qputenv("QT_QPA_PLATFORM", "offscreen");

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmorat"));
  QApplication::setOrganizationName(QStringLiteral("Velmorat"));
  QApplication::setWindowIcon(velmoratIcon());
  QApplication::setQuitOnLastWindowClosed(applicationShouldTerminateAfterLastWindowClosed());
  if (!installGermanTranslations()) logLine("Qt: German translations not found.");

  QtHost desktop;
  host::install(&desktop);
  desktop.setGameHelp(QString::fromStdString(VelmoratHelpText()));
  QSettings settings;
  if (!line.headless) desktop.loadSettings(settings);
  // Qt's own quit would first ask every window to close, and ours only hide:
  // the application ends its event loop itself.
  desktop.setQuitRoutine([] {
    t_RequestProgramEnd();
    QCoreApplication::exit(0);
  });
  applicationWillFinishLaunching();
  QObject::connect(&application, &QCoreApplication::aboutToQuit, &applicationWillTerminate);

  std::unique_ptr<ScriptedPlay> play;
  if (line.headless || !line.keysFile.empty()) {
    play = std::make_unique<ScriptedPlay>(desktop.view(0), keys.keys, line.headless);
  }
  QTimer::singleShot(0, [&] {
    applicationDidFinishLaunching(VelmoratMain);
    QStringList documents;
    for (const std::string& path : line.documents) documents << QString::fromStdString(path);
    openDocuments(documents);
    if (play) play->start();
  });
  int status = application.exec();
  if (!line.headless) desktop.saveSettings(settings);
  waitForProgramEnd();
  if (!writeDumps(line) && status == 0) status = kExitDumpFailed;
  std::fflush(stdout);
  // The program thread may still wait for the main thread, which no longer
  // answers; ending here keeps it from running into destroyed objects.
  std::_Exit(status);
}
