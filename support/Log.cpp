#include "support/Log.h"

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "support/BoundedLogFile.h"

namespace {
// Constant-initialised, so it outlives every static whose destructor still
// logs (the redirected text output writes its last line at exit).
constinit std::mutex lock;
// Set once the log goes to a file of ours; then lines bypass stdio.
constinit BoundedLogFile* boundedFile = nullptr;
}  // namespace

void logLine(std::string_view message) {
  std::string line(message);
  line.push_back('\n');
  std::lock_guard guard(lock);
  if (boundedFile != nullptr) {
    boundedFile->write(line);
    return;
  }
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

void boundLogFile(std::size_t headBytes, std::size_t tailBytes) {
  std::lock_guard guard(lock);
  std::fflush(stdout);
  // Never freed: destructors of statics still log at the very end.
  if (boundedFile == nullptr) boundedFile = new BoundedLogFile(STDOUT_FILENO, headBytes, tailBytes);
}
