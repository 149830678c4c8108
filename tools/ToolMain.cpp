// velmorat-tool: the authoring and inspection command line. It runs the
// toolbox on a host without a screen.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "host/fake/FakeHost.h"
#include "toolbox/windows/Refresh.h"
#include "tools/ToolCommand.h"

namespace {
std::vector<ToolCommand>& registry() {
  static std::vector<ToolCommand> commands;
  return commands;
}

void printCommandList() {
  std::printf(
      "usage: velmorat-tool COMMAND [ARGS...]   (COMMAND --help for details)\n\ncommands:\n");
  std::vector<ToolCommand> sorted = registry();
  std::sort(sorted.begin(), sorted.end(),
            [](const ToolCommand& a, const ToolCommand& b) { return a.name < b.name; });
  for (const ToolCommand& command : sorted) {
    std::printf("  %-14s %s\n", command.name.c_str(), command.summary.c_str());
  }
}
}  // namespace

ToolCommandRegistration::ToolCommandRegistration(ToolCommand command) {
  registry().push_back(std::move(command));
}

const std::vector<ToolCommand>& toolCommands() {
  return registry();
}

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    printCommandList();
    return args.empty() ? 2 : 0;
  }
  for (const ToolCommand& command : registry()) {
    if (command.name != args[0]) continue;
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
      std::printf("%s\n", command.usage.c_str());
      return 0;
    }
    static host::FakeHost screenlessHost;
    host::install(&screenlessHost);
    const int status = command.run(rest);
    stopRefreshProcess();  // a command that set up a window started it
    return status;
  }
  std::fprintf(stderr, "velmorat-tool: unknown command '%s'\n\n", args[0].c_str());
  printCommandList();
  return 2;
}
