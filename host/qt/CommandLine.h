// The command line of the velmorat program, read by the shared command-line
// parser. A new option is a field here and one line in declareOptions
// (CommandLine.cpp). Free of Qt so that it can be tested on its own.
#pragma once

#include <string>
#include <vector>

struct CommandLine {
  bool help = false;
  bool headless = false;
  bool terminal = false;     // --terminal: play in the terminal
  std::string bundle;        // --bundle DIR; empty: the bundle around the program
  std::string keysFile;      // --keys FILE
  std::string dumpTextFile;  // --dump-text FILE
  int dumpWindow = -1;       // --dump-window N FILE.png
  std::string dumpWindowFile;
  std::vector<std::string> documents;  // other arguments: files to open
  std::string error;                   // empty when the line was understood
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);
// The text of --help.
std::string commandLineHelp();
