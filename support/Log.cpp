#include "support/Log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

namespace {
// Constant-initialised, so it outlives every static whose destructor still
// logs (the redirected text output writes its last line at exit).
constinit std::mutex lock;
bool failureSaid = false;
}  // namespace

void logLine(std::string_view message) {
  std::string line(message);
  line.push_back('\n');
  std::lock_guard guard(lock);
  const bool written = std::fwrite(line.data(), 1, line.size(), stdout) == line.size();
  if ((!written || std::fflush(stdout) != 0) && !failureSaid) {
    // A full disk under the log file: said once where the player may see
    // it, and the game goes on without the lines that do not fit.
    failureSaid = true;
    std::fprintf(stderr, "Velmorat: Das Diagnoseprotokoll kann nicht geschrieben werden (%s).\n",
                 std::strerror(errno));
  }
  std::clearerr(stdout);
}
