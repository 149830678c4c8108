#include "support/Log.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace {
// Constant-initialised, so it outlives every static whose destructor still
// logs (the redirected text output writes its last line at exit).
constinit std::mutex lock;
}  // namespace

void logLine(std::string_view message) {
  std::string line(message);
  line.push_back('\n');
  std::lock_guard guard(lock);
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}
