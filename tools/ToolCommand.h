// velmorat-tool commands. Each command is an object of its own, defined once
// at namespace scope in its source file of tools/: the constructor registers it,
// declare() binds its arguments and options to its fields on the shared
// command-line parser, and run() does the work once they are parsed.
#pragma once

#include <string>
#include <vector>

#include "support/CommandLineParser.h"

class ToolCommand {
 public:
  // name as typed; summary: one line for the command list; description: the
  // paragraph of NAME --help below the usage line.
  ToolCommand(std::string name, std::string summary, std::string description);
  virtual ~ToolCommand() = default;
  ToolCommand(const ToolCommand&) = delete;
  ToolCommand& operator=(const ToolCommand&) = delete;

  // One line an argument or option: command.add_option("IN", in_)->required();
  virtual void declare(CLI::App& command) = 0;
  // The process exit status.
  virtual int run() = 0;

  const std::string& name() const { return name_; }
  const std::string& summary() const { return summary_; }
  const std::string& description() const { return description_; }

 private:
  std::string name_;
  std::string summary_;
  std::string description_;
};

// The registered commands in the order of registration.
const std::vector<ToolCommand*>& toolCommands();

// Parses and runs one command line of velmorat-tool (without the program's
// name) on the registered commands; the process exit status.
int runToolCommandLine(const std::vector<std::string>& arguments);
