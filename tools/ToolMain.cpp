// velmorat-tool: the authoring and inspection command line. It runs the
// toolbox on a host without a screen.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "host/fake/FakeHost.h"
#include "tools/ToolCommand.h"

namespace {
std::vector<ToolCommand*>& registry() {
  static std::vector<ToolCommand*> commands;
  return commands;
}
}  // namespace

ToolCommand::ToolCommand(std::string name, std::string summary, std::string description)
    : name_(std::move(name)), summary_(std::move(summary)), description_(std::move(description)) {
  registry().push_back(this);
}

const std::vector<ToolCommand*>& toolCommands() {
  return registry();
}

int runToolCommandLine(const std::vector<std::string>& arguments) {
  CLI::App tool(
      "The authoring and inspection command line of Velmorat: it runs the toolbox\n"
      "without a screen. COMMAND --help explains a command.",
      "velmorat-tool");
  tool.require_subcommand(1);
  std::vector<ToolCommand*> byName = registry();
  std::sort(byName.begin(), byName.end(),
            [](const ToolCommand* a, const ToolCommand* b) { return a->name() < b->name(); });
  for (ToolCommand* command : byName) {
    CLI::App* parser = tool.add_subcommand(command->name(), command->summary());
    parser->footer(command->description());
    command->declare(*parser);
  }
  if (arguments.empty()) {
    std::printf("%s", tool.help().c_str());
    return commandline::kUsageStatus;
  }
  // "velmorat-tool help" lists the commands like --help.
  const bool asksHelp = arguments.size() == 1 && arguments[0] == "help";
  const commandline::Parsed parsed =
      commandline::parse(tool, asksHelp ? std::vector<std::string>{"--help"} : arguments);
  if (parsed.help) {
    std::printf("%s", parsed.text.c_str());
    return 0;
  }
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "velmorat-tool: %s", parsed.text.c_str());
    return commandline::kUsageStatus;
  }
  for (ToolCommand* command : registry()) {
    if (tool.got_subcommand(command->name())) {
      static host::FakeHost screenlessHost;
      host::install(&screenlessHost);
      return command->run();
    }
  }
  return commandline::kUsageStatus;
}

int main(int argc, char** argv) {
  return runToolCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
