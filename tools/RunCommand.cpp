// run: builds a game project and plays it; with --watch every saved change
// rebuilds it and replays the session so far in a fresh game.
#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/AtomicFile.h"
#include "support/LineDiff.h"
#include "support/qbtools.h"
#include "tools/BundleBuild.h"
#include "tools/ChildProcess.h"
#include "tools/EngineFiles.h"
#include "tools/SourceWatch.h"
#include "tools/ToolCommand.h"

namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return {};
  const std::vector<std::uint8_t> bytes = getbinaryfromfile(path.string());
  return std::string(bytes.begin(), bytes.end());
}

// The lines in which the velmorat program names a fault of the run.
void printGameFaults(std::string_view errors) {
  while (!errors.empty()) {
    const std::size_t end = errors.find('\n');
    const std::string_view line = errors.substr(0, end);
    if (line.starts_with("velmorat:"))
      std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    errors = end == std::string_view::npos ? std::string_view() : errors.substr(end + 1);
  }
}

class RunProject final : public ToolCommand {
 public:
  RunProject()
      : ToolCommand(
            "run", "build a game project and play it; --watch replays after each change",
            "Builds DIR (as build does) and plays the bundle with the velmorat program in the\n"
            "author's run (velmorat --author: a \"***\" message names its file and line, the\n"
            "#-commands and Fenster > Werkzeuge > Spielzustand show the game's state). With\n"
            "--watch, every saved change of game.ini, scripts/ or pictures/ rebuilds it; a\n"
            "build that fails shows its faults and leaves the game as it was. After a good\n"
            "build a fresh game replaces the running one and replays the commands given so\n"
            "far (and \"Weiter...\" with Return), so the changed scene shows in the state it\n"
            "was reached in, and the virtual printer's page shows how the transcript changed.\n"
            "With --terminal the game plays in the terminal and that page is a window over\n"
            "the game (Esc closes it), where a failed build's faults show as well.\n"
            "With --headless the keys of --keys are replayed after each change, the dumps are\n"
            "written anew and the transcript's diff is printed; the tool keeps watching\n"
            "until it is stopped.") {}
  void declare(CLI::App& command) override {
    command.add_option("DIR", folder_, "the game project")->required();
    command.add_flag("--watch", watch_, "rebuild and replay after every change");
    CLI::Option* terminal = command.add_flag("--terminal", terminal_, "play in the terminal");
    command.add_flag("--headless", headless_, "play without a screen (with --keys)")
        ->excludes(terminal);
    command.add_option("--keys", keys_, "type the keys of FILE (a key file)")->option_text("FILE");
    command.add_option("--dump-text", dumpText_, "write the text window's screen to FILE")
        ->option_text("FILE")
        ->excludes(terminal);
  }

  int run() override {
    const bundlebuild::BuildResult built = bundlebuild::buildAndReport(folder_, {}, true);
    if (!built.built) return 1;
    bundle_ = built.bundle;
    program_ = enginefiles::findEngine().program;
    if (program_.empty()) return 1;
    session_ = fs::path(folder_) / "build" / "session";
    std::error_code error;
    fs::create_directories(session_, error);
    if (!watch_) return toolprocess::runProgram(gameArguments(keys_));
    return headless_ ? watchHeadless() : watchOnScreen();
  }

 private:
  std::vector<std::string> gameArguments(const std::string& keys) const {
    std::vector<std::string> arguments{program_, "--bundle", bundle_, "--author"};
    if (terminal_) arguments.push_back("--terminal");
    if (headless_) arguments.push_back("--headless");
    if (!keys.empty()) arguments.insert(arguments.end(), {"--keys", keys});
    if (!dumpText_.empty()) arguments.insert(arguments.end(), {"--dump-text", dumpText_});
    return arguments;
  }

  bool rebuild() const {
    std::printf("velmorat-tool: rebuilding %s\n", folder_.c_str());
    std::fflush(stdout);
    return bundlebuild::buildAndReport(folder_, {}, true).built;
  }

  // A game in the terminal has the screen: the tool writes nothing there, and
  // a failed build's faults go to the notes that the game shows on SIGUSR1.
  bool rebuildUnderTerminalGame(const toolprocess::Child& game) const {
    const bundlebuild::BuildResult built = bundlebuild::buildBundle(folder_, {});
    if (built.built) return true;
    std::string notes;
    for (const std::string& line : built.warnings) notes += line + "\n";
    for (const std::string& line : built.faults) notes += line + "\n";
    notes += "velmorat-tool: " + folder_ + " was not built (" +
             std::to_string(built.faults.size()) + " fault(s)); the game goes on as it was\n";
    std::string failure;
    if (writeFileAtomically(notesFile().string(), notes, failure)) {
      ::kill(game.pid(), SIGUSR1);
    } else {
      appendToGameLog("velmorat-tool: cannot write " + notesFile().string() + " (" + failure +
                      "); the build's faults:\n" + notes);
    }
    return false;
  }

  fs::path notesFile() const { return session_ / "notes.txt"; }
  fs::path gameLog() const { return session_ / "game.log"; }

  // Where the tool cannot write on the screen that a terminal game draws:
  // after the running game's own lines (both append).
  void appendToGameLog(const std::string& text) const {
    std::FILE* log = std::fopen(gameLog().c_str(), "a");
    if (log == nullptr) return;
    std::fputs(text.c_str(), log);
    std::fclose(log);
  }

  // The keys replayed after each change; the transcript's changes printed.
  int watchHeadless() {
    sourcewatch::SourceWatch watch(folder_);
    if (!watch.ok()) return 1;
    const fs::path before = session_ / "transcript.txt";
    const fs::path now = session_ / "transcript.new.txt";
    std::error_code error;
    fs::remove(before, error);
    for (bool build = true;;) {
      if (build) {
        std::vector<std::string> arguments = gameArguments(keys_);
        arguments.insert(arguments.end(), {"--dump-transcript", now.string()});
        // The game's log and the notes of its offscreen display would drown
        // the diff: they go to files, and only the game's own faults show.
        toolprocess::ChildOptions options;
        options.standardOutput = gameLog().string();
        options.standardError = (session_ / "game.errors").string();
        const int status = toolprocess::runProgram(arguments, options);
        printGameFaults(readText(session_ / "game.errors"));
        const bool first = !fs::exists(before, error);
        const std::string changes =
            linediff::unifiedDiff(readText(before), readText(now), "before", "now");
        std::printf("velmorat-tool: replayed (status %d)%s\n", status,
                    first             ? ""
                    : changes.empty() ? ", the transcript is the same"
                                      : ":");
        if (!first) std::fputs(changes.c_str(), stdout);
        std::fflush(stdout);
        fs::rename(now, before, error);
      }
      if (watch.wait(-1) != sourcewatch::WatchEvent::SourcesChanged) return 1;
      build = rebuild();
    }
  }

  // A game on the screen (the desktop's or the terminal's); after each good
  // build a fresh one replays the commands that the one before recorded.
  int watchOnScreen() {
    sourcewatch::SourceWatch watch(folder_);
    if (!watch.ok()) return 1;
    const fs::path recorded = session_ / "commands.keys";
    const fs::path replay = session_ / "replay.keys";
    fs::path transcript = session_ / "transcript-a.txt";  // the running game's
    fs::path earlier = session_ / "transcript-b.txt";     // the last whole one
    std::error_code error;
    fs::remove(transcript, error);  // those of an earlier watch
    fs::remove(earlier, error);
    // The games inherit SIGUSR1 ignored: one that has not yet set up its
    // notes (--show-notes) lets the signal pass instead of ending.
    if (terminal_) ::signal(SIGUSR1, SIG_IGN);
    std::string keys = keys_;  // what the running game replays
    std::vector<std::string> arguments = gameArguments(keys);
    arguments.insert(arguments.end(), {"--record-keys", recorded.string(), "--dump-transcript",
                                       transcript.string()});
    if (terminal_) arguments.insert(arguments.end(), {"--show-notes", notesFile().string()});
    // The games' logs go one after the other to a file of the session: the
    // tool's terminal shows the builds' faults.
    fs::remove(gameLog(), error);
    toolprocess::ChildOptions options;
    options.standardOutput = gameLog().string();
    options.keepOutput = true;
    toolprocess::Child game(arguments, options);
    for (;;) {
      const sourcewatch::WatchEvent event = watch.wait(game.pid());
      if (event == sourcewatch::WatchEvent::ProgramEnded) return game.wait() == 0 ? 0 : 1;
      if (event == sourcewatch::WatchEvent::Failed) return 1;
      if (!(terminal_ ? rebuildUnderTerminalGame(game) : rebuild())) continue;
      game.stop();
      // A game writes its transcript once its replay is done. One stopped
      // before has recorded only a part of the replay, and its transcript
      // would be a part too: the replay and the transcript to compare with
      // stay those of the game before. Copied after the stop, the commands
      // are all those its player typed.
      if (fs::exists(transcript, error)) {
        if (fs::copy_file(recorded, replay, fs::copy_options::overwrite_existing, error))
          keys = replay.string();
        std::swap(transcript, earlier);
      }
      fs::remove(transcript, error);  // a transcript there is the next game's own
      arguments = gameArguments(keys);
      arguments.insert(arguments.end(), {"--record-keys", recorded.string(), "--dump-transcript",
                                         transcript.string(), "--show-changes", earlier.string()});
      if (terminal_) arguments.insert(arguments.end(), {"--show-notes", notesFile().string()});
      game = toolprocess::Child(arguments, options);
    }
  }

  std::string folder_;
  bool watch_ = false;
  bool terminal_ = false;
  bool headless_ = false;
  std::string keys_;
  std::string dumpText_;
  std::string bundle_;
  std::string program_;
  fs::path session_;
};

RunProject runProject;

}  // namespace
