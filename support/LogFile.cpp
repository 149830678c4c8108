#include "support/LogFile.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "support/Log.h"

namespace {
std::string numbered(const std::filesystem::path& base, int run) {
  return run == 0 ? base.string() : base.string() + "." + std::to_string(run);
}

std::string variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}
}  // namespace

LogDestination chooseLogDestination(bool headless, bool logOption, bool standardOutputIsTerminal) {
  if (headless || logOption || !standardOutputIsTerminal) return LogDestination::StandardOutput;
  return LogDestination::File;
}

std::string logFolder() {
  // The base directory specification: a relative XDG_STATE_HOME is invalid and ignored.
  std::string state = variable("XDG_STATE_HOME");
  if (!state.empty() && state.front() == '/') return state + "/velmorat";
  std::string home = variable("HOME");
  if (home.empty()) return {};
  return home + "/.local/state/velmorat";
}

std::string startLogFile(const std::string& folder) {
  if (folder.empty()) return "no folder for the log (neither XDG_STATE_HOME nor HOME is set)";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return "cannot create " + folder + ": " + error.message();
  const std::filesystem::path base = std::filesystem::path(folder) / kLogFileName;
  for (int run = kKeptLogRuns - 1; run > 0; --run) {
    // A missing older log is no fault: the rename fails and the next one follows.
    std::filesystem::rename(numbered(base, run - 1), numbered(base, run), error);
  }
  std::string reason;
  if (!logToFile(base.string(), reason)) return "cannot write " + base.string() + ": " + reason;
  return {};
}
