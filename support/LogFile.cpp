#include "support/LogFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "support/BoundedLogFile.h"
#include "support/Log.h"
#include "support/StateFolder.h"

namespace {

std::string numbered(const std::string& path, int run) {
  return run == 0 ? path : path + "." + std::to_string(run);
}
}  // namespace

LogDestination chooseLogDestination(bool headless, bool logOption, bool standardOutputIsTerminal) {
  if (headless || logOption || !standardOutputIsTerminal) return LogDestination::StandardOutput;
  return LogDestination::File;
}

std::string stateLogFilePath() {
  const std::string folder = stateFolderPath();
  return folder.empty() ? folder : folder + "/velmorat.log";
}

void rotateLogFiles(const std::string& path) {
  for (int run = kKeptLogRuns - 1; run > 0; --run) {
    std::error_code missing;
    std::filesystem::rename(numbered(path, run - 1), numbered(path, run), missing);
  }
}

std::string moveLogOffTerminal(bool errorsToo) {
  if (!isatty(STDOUT_FILENO)) return "";
  std::fflush(stdout);
  std::fflush(stderr);
  std::string path = stateLogFilePath();
  int descriptor = -1;
  if (!path.empty()) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    rotateLogFiles(path);
    descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  }
  if (descriptor < 0) {
    path = "/dev/null";
    descriptor = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  }
  if (descriptor < 0) return "";
  const bool errorsOnTerminal = errorsToo && isatty(STDERR_FILENO);
  dup2(descriptor, STDOUT_FILENO);
  if (errorsOnTerminal) dup2(descriptor, STDERR_FILENO);
  close(descriptor);
  if (path != "/dev/null") boundLogFile(kLogFileHeadBytes, kLogFileTailBytes);
  return path;
}
