#include "support/Bundle.h"

#include <filesystem>
#include <mutex>
#include <system_error>

namespace {
struct ResourceLocation {
  std::string bundle;     // no final "/"
  std::string resources;  // with a final "/"
};

std::mutex locationLock;
ResourceLocation chosenLocation;

std::string withoutFinalSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// A folder with Data/ but no Contents/Resources/ is a resource folder itself,
// as a game's package installs it (share/<id>/).
ResourceLocation bundleLocation(const std::string& path) {
  const std::string bundle = withoutFinalSlash(path);
  std::error_code error;
  if (!std::filesystem::is_directory(bundle + "/Contents/Resources", error) &&
      std::filesystem::is_directory(bundle + "/Data", error)) {
    return {bundle, bundle + "/"};
  }
  return {bundle, bundle + "/Contents/Resources/"};
}

// …/X.app/Contents/MacOS/program gives the bundle …/X.app; P/bin/program
// gives P/share/velmorat when that folder exists, so an installed tree can be
// moved to any prefix; any other place is taken as a bundle of its own.
ResourceLocation locationOfExecutable() {
  std::error_code error;
  std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return bundleLocation(".");
  std::filesystem::path folder = executable.parent_path();
  if (folder.filename() == "MacOS" && folder.parent_path().filename() == "Contents") {
    return bundleLocation(folder.parent_path().parent_path().string());
  }
  // VELMORAT_INSTALLED_RESOURCES: the resource folder relative to the
  // installed program's folder, from the install directories ("../share/velmorat").
  std::filesystem::path installed = (folder / VELMORAT_INSTALLED_RESOURCES).lexically_normal();
  if (std::filesystem::is_directory(installed, error)) {
    const std::string resources = withoutFinalSlash(installed.string());
    return {resources, resources + "/"};
  }
  return bundleLocation(folder.string());
}

ResourceLocation currentLocation() {
  std::lock_guard guard(locationLock);
  if (chosenLocation.bundle.empty()) chosenLocation = locationOfExecutable();
  return chosenLocation;
}
}  // namespace

std::string bundlePath() {
  return currentLocation().bundle;
}

void setBundlePath(const std::string& path) {
  std::lock_guard guard(locationLock);
  chosenLocation = bundleLocation(path);
}

std::string resourcesPath() {
  return currentLocation().resources;
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
