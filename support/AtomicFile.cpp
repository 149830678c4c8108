#include "support/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {
// File permissions before the umask: what the user's other files get.
constexpr mode_t kNewFileMode = 0666;

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A name of its own for every write, so that two writers never share one.
std::string temporaryPathFor(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return folder + "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) +
         ".tmp";
}

bool writeAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The rename is only on the disk once the folder is; a folder that cannot be
// opened for that (some file systems) still holds the finished file.
void syncFolder(const std::string& folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}
}  // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& failure) {
  if (path.empty() || path.back() == '/') {
    failure = std::strerror(EISDIR);
    return false;
  }
  const std::string temporary = temporaryPathFor(path);
  const int descriptor =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
  if (descriptor < 0) {
    failure = std::strerror(errno);
    return false;
  }
  bool written = writeAll(descriptor, bytes) && ::fsync(descriptor) == 0;
  int error = written ? 0 : errno;
  if (::close(descriptor) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && ::rename(temporary.c_str(), path.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (!written) {
    ::unlink(temporary.c_str());
    failure = std::strerror(error);
    return false;
  }
  syncFolder(folderOf(path));
  return true;
}
