#include "support/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
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

std::string nameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name of its own for every write, so that two writers never share one:
// ".NAME.PID-N.tmp" beside the file.
std::string temporaryPathFor(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  return folder + "." + nameOf(path) + "." + std::to_string(::getpid()) + "-" +
         std::to_string(++counter) + ".tmp";
}

bool allDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The writer's process id in a temporary file's name for path; 0 when the
// name is no such temporary file.
pid_t writerOf(std::string_view fileName, const std::string& path) {
  const std::string prefix = "." + nameOf(path) + ".";
  constexpr std::string_view kSuffix = ".tmp";
  if (!fileName.starts_with(prefix) || !fileName.ends_with(kSuffix)) return 0;
  fileName.remove_prefix(prefix.size());
  fileName.remove_suffix(kSuffix.size());
  const std::size_t dash = fileName.find('-');
  if (dash == std::string_view::npos || !allDigits(fileName.substr(0, dash)) ||
      !allDigits(fileName.substr(dash + 1)) || dash > 9)
    return 0;
  return static_cast<pid_t>(std::stol(std::string(fileName.substr(0, dash))));
}

bool processRuns(pid_t process) {
  return ::kill(process, 0) == 0 || errno != ESRCH;
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

void removeLeftTemporaryFiles(const std::string& path) {
  const std::string folder = folderOf(path);
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return;
  while (const dirent* entry = ::readdir(listing)) {
    const pid_t writer = writerOf(entry->d_name, path);
    if (writer > 0 && writer != ::getpid() && !processRuns(writer))
      ::unlinkat(::dirfd(listing), entry->d_name, 0);
  }
  ::closedir(listing);
}

// What survives a power cut rests on POSIX rename(2) replacing the name in
// one step, and on fsync(2) of the file before the rename: on the journalling
// file systems Linux uses (ext4, XFS, Btrfs) the name then never points to a
// file whose bytes are not on the disk, so after the cut the name holds the
// old file or the new one, whole. The fsync of the folder after the rename
// makes the new name itself durable before success is reported.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& failure) {
  if (path.empty() || path.back() == '/') {
    failure = std::strerror(EISDIR);
    return false;
  }
  removeLeftTemporaryFiles(path);
  const std::string temporary = temporaryPathFor(path);
  const int descriptor =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
  if (descriptor < 0) {
    failure = std::strerror(errno);
    return false;
  }
  // The file keeps the permissions its owner gave it (a save kept private
  // stays private); a new one gets the umask's.
  struct stat earlier {};
  const bool keepMode = ::stat(path.c_str(), &earlier) == 0 && S_ISREG(earlier.st_mode);
  bool written = (!keepMode || ::fchmod(descriptor, earlier.st_mode & 07777) == 0) &&
                 writeAll(descriptor, bytes) && ::fsync(descriptor) == 0;
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
