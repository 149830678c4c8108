#include "support/StateFolder.h"

#include <cstdlib>
#include <mutex>

namespace {
std::mutex nameLock;
std::string chosenName = "velmorat";

std::string environmentOf(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}
}  // namespace

void setStateFolderName(const std::string& name) {
  std::lock_guard guard(nameLock);
  chosenName = name;
}

std::string stateFolderName() {
  std::lock_guard guard(nameLock);
  return chosenName;
}

std::string stateFolderPath() {
  std::string folder = environmentOf("XDG_STATE_HOME");
  // The XDG rule: a relative XDG_STATE_HOME is invalid and ignored.
  if (folder.empty() || folder.front() != '/') {
    const std::string home = environmentOf("HOME");
    if (home.empty() || home.front() != '/') return {};
    folder = home + "/.local/state";
  }
  return folder + "/" + stateFolderName();
}
