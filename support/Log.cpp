#include "support/Log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

namespace {
std::mutex lock;
std::FILE* destination = nullptr;  // nullptr: the standard output

void closeFile() {
  if (destination != nullptr) std::fclose(destination);
  destination = nullptr;
}
}  // namespace

void logLine(std::string_view message) {
  std::string line(message);
  line.push_back('\n');
  std::lock_guard guard(lock);
  std::FILE* target = destination != nullptr ? destination : stdout;
  std::fwrite(line.data(), 1, line.size(), target);
  std::fflush(target);
}

bool logToFile(const std::string& path, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    error = std::strerror(errno);
    return false;
  }
  std::lock_guard guard(lock);
  closeFile();
  destination = file;
  return true;
}

void logToStandardOutput() {
  std::lock_guard guard(lock);
  closeFile();
}
