#include "support/Log.h"

#include <cstdio>
#include <mutex>
#include <string>

void logLine(std::string_view message) {
  static std::mutex lock;
  std::string line(message);
  line.push_back('\n');
  std::lock_guard guard(lock);
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}
