// Where a run's diagnostic log goes. The log prints every script line, so on
// a player's terminal it would give away the puzzles, and a game drawn on the
// terminal would be spoilt by it: a player's run moves it into a file of the
// game's state folder (StateFolder.h), $XDG_STATE_HOME/velmorat/velmorat.log
// for the engine's own game, and keeps the
// last few runs. Runs for scripts and tests (--headless, --log, a standard
// output that is a pipe or a file) keep it on the standard output. Every host
// follows this rule.
#pragma once

#include <string>

enum class LogDestination { StandardOutput, File };

LogDestination chooseLogDestination(bool headless, bool logOption, bool standardOutputIsTerminal);

// The log file's path for the environment; empty without HOME and XDG_STATE_HOME.
std::string stateLogFilePath();

// This run and the four before it: velmorat.log, velmorat.log.1 .. .4.
inline constexpr int kKeptLogRuns = 5;
// Moves path to path.1, path.1 to path.2 ... ; the oldest of kKeptLogRuns
// falls away. Missing files are no fault.
void rotateLogFiles(const std::string& path);

// Moves standard output (the log), and standard error when errorsToo and it
// is the terminal too, into a fresh log file when standard output is a
// terminal; the older runs' logs are kept (rotateLogFiles). Returns the
// file's path; empty when nothing moved (standard output is no terminal).
// When the file cannot be made the log is dropped instead, and the answer
// names /dev/null. The file is bounded (boundLogFile): a script that floods
// the log cannot fill the disk.
std::string moveLogOffTerminal(bool errorsToo = true);
