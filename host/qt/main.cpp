// velmorat: the desktop application, or the same game in a terminal when
// asked to (--terminal) or when no display can be reached. The thread that
// runs main is the host's main thread ("AppDelegate"); the game runs on the
// program thread.
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
#include "host/terminal/DisplayProbe.h"
#include "host/terminal/TerminalDevice.h"
#include "host/terminal/TerminalHost.h"
#include "support/Bundle.h"
#include "support/LogFile.h"

namespace {
constexpr int kExitUsage = 2;
constexpr int kExitDumpFailed = 1;
constexpr int kIconSize = 64;

// Standard output is the diagnostic log alone.
void qtMessagesToStandardError(QtMsgType, const QMessageLogContext&, const QString& message) {
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

constexpr int kNoTerminal = -1;

// Plays in the terminal and returns the exit status; kNoTerminal when there
// is none to play in and the player did not ask for it (the desktop then
// gets its chance, and Qt says what is missing).
int playInTerminal(const CommandLine& line) {
  terminal::TerminalOptions options;
  options.aboutLines = {kVelmoratTitle, kVelmoratCredit, "", "Ein Grafik-Textadventure."};
  const char* pictures = std::getenv("VELMORAT_PICTURES");
  if (pictures != nullptr && *pictures != '\0') {
    if (!terminal::pictureModeFromName(pictures, options.pictureMode)) {
      std::fprintf(stderr,
                   "velmorat: VELMORAT_PICTURES=%s is none of symbols, sixels, kitty, iterm2, "
                   "none\n",
                   pictures);
      return kExitUsage;
    }
    options.pictureModeChosen = true;
  }
  terminal::TerminalHost console(options);
  std::string error;
  if (!console.open(error)) {
    if (!line.terminal) return kNoTerminal;
    std::fprintf(stderr, "velmorat: cannot play in the terminal: %s\n", error.c_str());
    return kExitUsage;
  }
  const std::string logFile = moveLogOffTerminal();
  if (!logFile.empty() && logFile != "/dev/null")
    terminal::setCrashNote("Velmorat ist abgest\u00FCrzt. Das Protokoll steht in " + logFile +
                           "\n");
  host::install(&console);
  applicationWillFinishLaunching();
  console.run(
      [&line] {
        applicationDidFinishLaunching(VelmoratMain);
        QStringList documents;
        for (const std::string& path : line.documents) documents << QString::fromStdString(path);
        openDocuments(documents);
      },
      [] { return ProgramThreadsRunning > 0; });
  applicationWillTerminate();
  if (!logFile.empty() && logFile != "/dev/null") {
    std::FILE* terminalOut = std::fopen("/dev/tty", "w");
    if (terminalOut != nullptr) {
      std::fprintf(terminalOut, "Velmorat: das Protokoll steht in %s\n", logFile.c_str());
      std::fclose(terminalOut);
    }
  }
  std::fflush(stdout);
  // As on the desktop: the program thread may still wait for the main thread.
  std::_Exit(0);
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
  if (!line.bundle.empty()) setBundlePath(line.bundle);
  // Qt's own choice of display comes first when the user made one.
  const bool displayChosen = line.headless || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
                             terminal::displayReachable();
  if (line.terminal || !displayChosen) {
    const int status = playInTerminal(line);
    if (status != kNoTerminal) return status;
  }
  if (line.headless) qputenv("QT_QPA_PLATFORM", "offscreen");

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmorat"));
  // The desktop matches the windows to the installed desktop entry and icon
  // by this id; the drawn icon stands in where the icon is not installed.
  QGuiApplication::setDesktopFileName(QStringLiteral(VELMORAT_APP_ID));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(VELMORAT_APP_ID), velmoratIcon()));
  QApplication::setQuitOnLastWindowClosed(applicationShouldTerminateAfterLastWindowClosed());

  QtHost desktop;
  host::install(&desktop);
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
  if (!writeDumps(line) && status == 0) status = kExitDumpFailed;
  std::fflush(stdout);
  // The program thread may still wait for the main thread, which no longer
  // answers; ending here keeps it from running into destroyed objects.
  std::_Exit(status);
}
