#include "tools/EngineFiles.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace enginefiles {
namespace {

namespace fs = std::filesystem;

bool isProgram(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

// A program inside X.app/Contents/MacOS finds X.app/Contents/Resources; an
// installed one ../share/velmorat.
std::string resourcesOf(const fs::path& program) {
  const fs::path folder = program.parent_path();
  if (folder.filename() == "MacOS") return (folder.parent_path() / "Resources").string() + "/";
  return (folder / VELMORAT_INSTALLED_RESOURCES).lexically_normal().string() + "/";
}

}  // namespace

const std::vector<std::string>& sharedResourceNames() {
  static const std::vector<std::string> names{"MenloRegular 16x32.font", "MenloBold 16x32.font",
                                              "sysbeep.aif"};
  return names;
}

Engine findEngine() {
  std::vector<fs::path> candidates;
  if (const char* chosen = std::getenv("VELMORAT_PROGRAM"); chosen != nullptr && *chosen != '\0') {
    candidates.emplace_back(chosen);
  } else {
    std::error_code error;
    const fs::path tool = fs::read_symlink("/proc/self/exe", error);
    const fs::path folder = tool.parent_path();
    candidates = {folder.parent_path() / "Velmorat.app/Contents/MacOS/velmorat",
                  folder / "velmorat", folder.parent_path() / "games/velmorat"};
  }
  for (const fs::path& candidate : candidates) {
    if (!isProgram(candidate)) continue;
    const fs::path program = fs::absolute(candidate).lexically_normal();
    return {program.string(), resourcesOf(program)};
  }
  std::fprintf(stderr,
               "velmorat-tool: the velmorat program was not found beside velmorat-tool "
               "(VELMORAT_PROGRAM=PATH names it)\n");
  return {};
}

}  // namespace enginefiles
