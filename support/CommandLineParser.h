// The one command-line parser of velmorat and of every velmorat-tool command:
// CLI11. A program declares its options on a CLI::App, each bound to a field
// of its own (one line an option), and parses its arguments here, so that
// every command answers --help, unknown options and missing values alike.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace commandline {

// Exit status of a command that was not understood.
inline constexpr int kUsageStatus = 2;

struct Parsed {
  bool help = false;  // --help: text holds the help of the (sub)command asked for
  std::string error;  // empty when the arguments were understood
  std::string text;   // the help text, or the error followed by the usage hint
};

// Parses arguments (without the program's name) into the fields bound to app.
Parsed parse(CLI::App& app, const std::vector<std::string>& arguments);

}  // namespace commandline
