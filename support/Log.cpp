#include "support/Log.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "support/BoundedLogFile.h"

namespace {
// Constant-initialised, so it outlives every static whose destructor still
// logs (the redirected text output writes its last line at exit).
constinit std::mutex lock;
// Set once the log goes to a file of ours; then lines bypass stdio.
constinit BoundedLogFile* boundedFile = nullptr;
// Constructed on first use and never destroyed, as boundedFile.
constinit std::function<bool(std::string_view)>* sink = nullptr;
bool failureSaid = false;
}  // namespace

void logLine(std::string_view message) {
  std::string line(message);
  line.push_back('\n');
  std::lock_guard guard(lock);
  bool written = false;
  if (sink != nullptr) {
    written = (*sink)(message);
  } else if (boundedFile != nullptr) {
    written = boundedFile->write(line);
  } else {
    written =
        std::fwrite(line.data(), 1, line.size(), stdout) == line.size() && std::fflush(stdout) == 0;
    std::clearerr(stdout);
  }
  if (!written && !failureSaid) {
    // A full disk under the log file: said once where the player may see
    // it, and the game goes on without the lines that do not fit.
    failureSaid = true;
    std::fprintf(stderr, "Velmorat: Das Diagnoseprotokoll kann nicht geschrieben werden (%s).\n",
                 std::strerror(errno));
  }
}

void boundLogFile(std::size_t headBytes, std::size_t tailBytes) {
  std::lock_guard guard(lock);
  std::fflush(stdout);
  // Never freed: destructors of statics still log at the very end.
  if (boundedFile == nullptr) boundedFile = new BoundedLogFile(STDOUT_FILENO, headBytes, tailBytes);
}

void setLogSink(std::function<bool(std::string_view line)> newSink) {
  std::lock_guard guard(lock);
  std::fflush(stdout);
  if (sink == nullptr) sink = new std::function<bool(std::string_view)>();
  *sink = std::move(newSink);
}
