// Where the diagnostic log goes when the program draws on the terminal that
// standard output is: into a file, so that log lines never land in the
// picture. The file is $XDG_STATE_HOME/velmorat/velmorat.log, with
// $HOME/.local/state for an unset XDG_STATE_HOME, emptied at each start.
#pragma once

#include <string>

// The log file's path for the environment; empty without HOME and XDG_STATE_HOME.
std::string stateLogFilePath();

// Moves standard output (the log), and standard error when it is the
// terminal too, into the log file when standard output is a terminal.
// Returns the file's path; empty when nothing moved (standard output is no
// terminal). When the file cannot be made the log is dropped instead, and
// the answer names /dev/null.
std::string moveLogOffTerminal();
