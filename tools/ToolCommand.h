// velmorat-tool subcommands. Each source file of tools/ registers its commands
// with a static ToolCommandRegistration; ToolMain dispatches by name.
#pragma once

#include <string>
#include <vector>

struct ToolCommand {
  std::string name;
  std::string summary;  // one line for the command list
  std::string usage;    // the text of NAME --help
  // args excludes the command name; returns the process exit status.
  int (*run)(const std::vector<std::string>& args);
};

struct ToolCommandRegistration {
  explicit ToolCommandRegistration(ToolCommand command);
};

const std::vector<ToolCommand>& toolCommands();
