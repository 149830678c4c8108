// velmorat: the desktop application, or the same game in a terminal when
// asked to (--terminal) or when no display can be reached. The thread that
// runs main is the host's main thread ("AppDelegate"); the game runs on the
// program thread.
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QPainter>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string_view>
#include <thread>

#include "adventure/Interpreter.h"
#include "adventure/MenuTags.h"
#include "adventure/Progress.h"
#include "adventure/Session.h"
#include "app/Main.h"
#include "host/qt/QtHost.h"
#include "host/qt/Translations.h"
#include "host/terminal/DisplayProbe.h"
#include "host/terminal/TerminalDevice.h"
#include "host/terminal/TerminalHost.h"
#include "launcher/CommandLine.h"
#include "launcher/GameIdentity.h"
#include "launcher/KeyScript.h"
#include "launcher/RunOutcome.h"
#include "launcher/ScriptedPlay.h"
#include "launcher/SessionFiles.h"
#include "launcher/TerminalScriptedPlay.h"
#include "launcher/TerminationSignal.h"
#include "support/Bundle.h"
#include "support/Log.h"
#include "support/LogFile.h"
#include "support/ThreadLaunch.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/ProgramThread.h"
#include "toolbox/windows/Refresh.h"

namespace {
constexpr int kExitUsage = 2;

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}
constexpr int kExitDumpFailed = 1;
constexpr int kExitNoGame = 1;
constexpr int kIconSize = 64;
// Ending wakes the program thread from its wait for input, where it ends at
// once; the bound is for a program busy elsewhere, far within a second.
constexpr auto kProgramEndBound = std::chrono::milliseconds(400);

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
// script line, and with it the puzzles' answers); real errors stay on the
// terminal.
void chooseLog(const CommandLine& line) {
  const bool scripted = line.headless || !line.keysFile.empty();
  if (chooseLogDestination(scripted, line.log, isatty(STDOUT_FILENO) != 0) !=
      LogDestination::File) {
    return;
  }
  logInFile = true;
  if (moveLogOffTerminal(false) == "/dev/null") {
    std::fprintf(stderr, "velmorat: cannot write %s; no log this run (velmorat --log shows it)\n",
                 stateLogFilePath().c_str());
  }
}

// Scripted and headless runs and other games leave the player's last state
// alone: a test or a walkthrough must never overwrite it.
void chooseStateFolder(Session& session, const CommandLine& line, bool otherBundle) {
  if (!line.stateFolder.empty()) {
    session.useStateFolder(StateFolder::Own, line.stateFolder);
  } else if (line.headless || !line.keysFile.empty() || otherBundle) {
    session.useStateFolder(StateFolder::None);
  } else {
    session.useStateFolder(StateFolder::Player);
  }
}

// The application's end: asks the program thread to end (a wait for input,
// where a quit or spent keys leave it, ends at once) and joins it, and waits
// for the toolbox's workers; true when all have ended within the bound.
bool endProgram() {
  t_RequestProgramEnd();
  return endProgramThreads(kProgramEndBound) && awaitDetachedThreads(kProgramEndBound);
}

// endProgram while the Qt main thread serves the last calls to it.
bool waitForProgramEnd() {
  QEventLoop serving;
  bool ended = false;
  std::thread watcher([&serving, &ended] {
    ended = endProgram();
    QMetaObject::invokeMethod(&serving, &QEventLoop::quit, Qt::QueuedConnection);
  });
  serving.exec();
  watcher.join();
  return ended;
}

// A program busy elsewhere may still call the main thread, which no longer
// answers; ending without destructors keeps it from running into destroyed
// objects.
[[noreturn]] void leaveWithoutProgram(int status) {
  logLine("main: The program thread did not end; the application ends without it.");
  std::fflush(stdout);
  std::_Exit(status);
}

constexpr int kNoTerminal = -1;

// Plays in the terminal and returns the exit status; kNoTerminal when there
// is none to play in and the player did not ask for it.
int playInTerminal(Session& session, const CommandLine& line, KeyScript keys) {
  terminal::TerminalOptions options;
  options.plain = line.plain;
  options.aboutLines = {VelmoratTitle(), VelmoratCredit(), "", "Ein Grafik-Textadventure."};
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
  std::unique_ptr<TerminalScriptedPlay> play;
  if (!line.keysFile.empty() || !line.dumpTranscriptFile.empty() || !line.showChangesFile.empty() ||
      !line.showNotesFile.empty())
    play = std::make_unique<TerminalScriptedPlay>(console, session, line, std::move(keys));
  applicationWillFinishLaunching();
  console.run(
      [&session, &line, &play] {
        applicationDidFinishLaunching([&session, author = line.author] {
          VelmoratMainWithOptions(session, {.authorRun = author});
        });
        QStringList documents;
        for (const std::string& path : line.documents) documents << QString::fromStdString(path);
        openDocuments(documents);
        if (play) play->start();
      },
      [] { return ProgramThreadsRunning > 0; });
  // The terminal's loop serves no more calls: a program busy elsewhere that
  // calls it would never end, and is left behind without destructors.
  const bool ended = endProgram();
  stopRefreshProcess();
  applicationWillTerminate();
  if (!logFile.empty() && logFile != "/dev/null") {
    std::FILE* terminalOut = std::fopen("/dev/tty", "w");
    if (terminalOut != nullptr) {
      std::fprintf(terminalOut, "Velmorat: das Protokoll steht in %s\n", logFile.c_str());
      std::fclose(terminalOut);
    }
  }
  if (!ended) leaveWithoutProgram(0);
  return 0;
}

// The game's own menu items, handed to the desktop's menu bar.
ProgramMenuTags velmoratMenuTags() {
  return {.loadGame = kMenuLoadGame,
          .saveGame = kMenuSaveGame,
          .loadLastState = kMenuLoadLastState,
          .saveTranscript = kMenuSaveTranscript,
          .takeBackMove = kMenuTakeBackMove,
          .showTranscript = kMenuShowTranscript};
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
  // The player's standing choice, for a screen reader in every terminal session.
  const char* plain = std::getenv("VELMORAT_PLAIN");
  if (plain != nullptr && std::string_view(plain) == "1" && !line.headless &&
      line.keysFile.empty()) {
    line.plain = line.terminal = true;
  }
  KeyScript keys;
  if (!line.keysFile.empty()) {
    keys = readKeyScript(line.keysFile);
    if (!keys.error.empty()) {
      std::fprintf(stderr, "velmorat: %s: %s\n", line.keysFile.c_str(), keys.error.c_str());
      return kExitUsage;
    }
  }
  const std::string ownBundle = bundlePath();
  if (!line.bundle.empty()) setBundlePath(line.bundle);
  // The run's progress, transcript and help; it outlives the program thread.
  Session session;
  chooseStateFolder(session, line, !line.bundle.empty() && !sameFile(ownBundle, bundlePath()));
  std::string missing = firstMissingResource(VelmoratRequiredResources());
  if (!missing.empty()) {
    std::fprintf(stderr, "velmorat: no game in %s: %s is missing\n", bundlePath().c_str(),
                 missing.c_str());
    return kExitNoGame;
  }
  // Before a terminal takes the screen and the standard error with it.
  if (!line.recordKeysFile.empty() && !recordCommandsTo(session, line.recordKeysFile))
    return kExitUsage;
  const std::string appId = adoptGameIdentity(VELMORAT_APP_ID);
  // Qt's own choice of display comes first when the user made one.
  const bool displayChosen = line.headless || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
                             terminal::displayReachable();
  if (line.terminal || !displayChosen) {
    const int status = playInTerminal(session, line, std::move(keys));
    if (status != kNoTerminal) return status;
    // Qt would abort here with a core dump; the player gets a sentence instead.
    std::fprintf(stderr,
                 "velmorat: no display to open a window on and no terminal to play in; start it "
                 "in a desktop session or a terminal, or with --headless --keys FILE\n");
    return kExitNoGame;
  }
  chooseLog(line);
  if (line.headless) qputenv("QT_QPA_PLATFORM", "offscreen");

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmorat"));
  QApplication::setOrganizationName(QStringLiteral("Velmorat"));
  // The desktop matches the windows to the installed desktop entry and icon
  // by this id; the drawn icon stands in where the icon is not installed.
  QGuiApplication::setDesktopFileName(QString::fromStdString(appId));
  QApplication::setWindowIcon(QIcon::fromTheme(QString::fromStdString(appId), velmoratIcon()));
  QApplication::setQuitOnLastWindowClosed(applicationShouldTerminateAfterLastWindowClosed());
  if (!installGermanTranslations()) logLine("Qt: German translations not found.");

  QtHost desktop(VelmoratCredit(), velmoratMenuTags());
  if (!line.panelAnswer.empty()) desktop.answerPanelsWith(line.panelAnswer);
  host::install(&desktop);
  // Read as the window opens: the game may declare help lines of its own.
  desktop.setGameHelp([&session] { return QString::fromStdString(session.helpText()); });
  QSettings settings;
  if (!line.headless) desktop.loadSettings(settings);
  desktop.setRedrawsViews(!line.headless);
  // Qt's own quit would first ask every window to close, and ours only hide:
  // the application ends its event loop itself.
  const auto quitGame = [] {
    t_RequestProgramEnd();
    QCoreApplication::exit(0);
  };
  desktop.setQuitRoutine(quitGame);
  applicationWillFinishLaunching();
  QObject::connect(&application, &QCoreApplication::aboutToQuit, &applicationWillTerminate);

  std::unique_ptr<ScriptedPlay> play;
  if (line.headless || !line.keysFile.empty()) {
    auto chooseMenuItem = [&desktop](int tag) {
      if (!desktop.menuBar().choose(tag))
        std::fprintf(stderr, "velmorat: no menu item has the tag %d ({Menu %d})\n", tag, tag);
    };
    play = std::make_unique<ScriptedPlay>(desktop.view(0), chooseMenuItem, keys, line.headless);
    play->setWhenDone([&line, &session] {
      if (!line.dumpTranscriptFile.empty()) writeTranscript(session, line.dumpTranscriptFile);
      if (!line.showChangesFile.empty()) showTranscriptChanges(session, line.showChangesFile);
    });
  }
  // A watcher that replaces this game (velmorat-tool run --watch) ends it
  // with SIGTERM: it quits as through the menu, and its dumps are written.
  quitOnTerminationSignal(quitGame);
  if (line.author) desktop.enableGameStateWindow();
  QTimer::singleShot(0, [&] {
    applicationDidFinishLaunching([&session, &line, &desktop] {
      VelmoratOptions options{.authorRun = line.author};
      if (line.author)
        options.stateReport = [&desktop](const std::string& report) {
          desktop.showGameState(report);
        };
      VelmoratMainWithOptions(session, options);
    });
    QStringList documents;
    for (const std::string& path : line.documents) documents << QString::fromStdString(path);
    openDocuments(documents);
    if (play) play->start();
  });
  int status = application.exec();
  if (!line.headless) {
    desktop.saveSettings(settings);
    settings.sync();  // before a program that does not end leaves without destructors
  }
  const bool threadsEnded = waitForProgramEnd();
  stopRefreshProcess();
  // A replay cut short on the screen leaves no transcript, as in the
  // terminal: its absence tells a watcher that stopped the game (run --watch)
  // that the keys were not all typed.
  if (play && !line.headless && !play->finished()) line.dumpTranscriptFile.clear();
  if (!writeDumps(line, session) && status == 0) status = kExitDumpFailed;
  if (line.headless && play) {
    std::vector<std::string> messages;
    status = headlessExitStatus(
        status, {VelmoratScriptMessagesShown(), play->firstUnusedLine(), play->misfits()},
        line.keysFile, messages);
    for (const std::string& message : messages)
      std::fprintf(stderr, "velmorat: %s\n", message.c_str());
  }
  std::fflush(stdout);
  if (!threadsEnded) leaveWithoutProgram(status);
  return status;
}
