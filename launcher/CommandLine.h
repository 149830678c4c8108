// The command line of the velmorat program, read by the shared command-line
// parser. A new option is a field here and one line in declareOptions
// (CommandLine.cpp). Free of Qt so that it can be tested on its own.
#pragma once

#include <string>
#include <vector>

// --dump-window N FILE.png; the option may be given once per window.
struct WindowDump {
  int window = 0;
  std::string file;
};

struct CommandLine {
  bool help = false;
  bool headless = false;
  bool terminal = false;           // --terminal: play in the terminal
  bool plain = false;              // --plain: in the terminal, line by line (screen readers)
  bool log = false;                // --log: the diagnostic log on the standard output
  bool author = false;             // --author: the author's run (debug commands, places shown)
  std::string bundle;              // --bundle DIR; empty: the bundle around the program
  std::string keysFile;            // --keys FILE
  std::string dumpTextFile;        // --dump-text FILE
  std::string dumpTranscriptFile;  // --dump-transcript FILE
  std::string recordKeysFile;      // --record-keys FILE
  std::string showChangesFile;     // --show-changes FILE
  std::string showNotesFile;       // --show-notes FILE
  std::vector<WindowDump> windowDumps;
  std::string panelAnswer;             // --panel-answer PATH: every panel answers PATH
  std::string stateFolder;             // --state DIR: the last state lives in DIR
  std::vector<std::string> documents;  // other arguments: files to open
  std::string error;                   // empty when the line was understood
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);
// The text of --help.
std::string commandLineHelp();
