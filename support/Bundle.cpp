#include "support/Bundle.h"

#include <filesystem>
#include <mutex>
#include <system_error>

namespace {
std::mutex bundleLock;
std::string chosenBundle;

// …/X.app/Contents/MacOS/program gives …/X.app; any other place gives the
// executable's own folder.
std::string bundleOfExecutable() {
  std::error_code error;
  std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return ".";
  std::filesystem::path folder = executable.parent_path();
  if (folder.filename() == "MacOS" && folder.parent_path().filename() == "Contents") {
    return folder.parent_path().parent_path().string();
  }
  return folder.string();
}
}  // namespace

std::string bundlePath() {
  std::lock_guard guard(bundleLock);
  if (chosenBundle.empty()) chosenBundle = bundleOfExecutable();
  return chosenBundle;
}

void setBundlePath(const std::string& path) {
  std::lock_guard guard(bundleLock);
  chosenBundle = path;
  while (chosenBundle.size() > 1 && chosenBundle.back() == '/') chosenBundle.pop_back();
}

std::string resourcesPath() {
  return bundlePath() + "/Contents/Resources/";
}

std::string dataPath() {
  return resourcesPath() + "Data/";
}

std::string firstMissingResource(const std::vector<std::string>& resources) {
  const std::string folder = resourcesPath();
  for (const std::string& resource : resources) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(folder + resource, error)) return folder + resource;
  }
  return {};
}
