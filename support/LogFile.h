// Where a run's diagnostic log goes. The log prints every script line, so in
// a player's terminal it would give away the puzzles: a player's run keeps it
// in a file of the user's state folder, with the last few runs kept. Runs for
// scripts and tests (--headless, --log, a standard output that is a pipe or a
// file) keep it on the standard output. Shared by every host.
#pragma once

#include <string>

enum class LogDestination { StandardOutput, File };

LogDestination chooseLogDestination(bool headless, bool logOption, bool standardOutputIsTerminal);

// $XDG_STATE_HOME/velmorat, else $HOME/.local/state/velmorat (no final "/");
// empty when neither variable is set.
std::string logFolder();

inline constexpr const char* kLogFileName = "velmorat.log";
// This run and the four before it: velmorat.log, velmorat.log.1 .. .4.
inline constexpr int kKeptLogRuns = 5;

// Creates folder if needed, moves the older logs one number up (the oldest
// falls away) and sends the log to folder/velmorat.log. Returns the empty
// string on success, else a one-line reason (the log then stays on the
// standard output).
std::string startLogFile(const std::string& folder);
