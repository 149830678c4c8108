// Whole-file reading and path helpers of qbtools.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "support/Log.h"
#include "support/ZeroedArray.h"
#include "support/qbtools.h"

namespace {

constexpr std::size_t kReadChunkBytes = 1 << 20;

std::string describeError(int error, const std::string& path) {
  return std::to_string(error) + " (" + std::strerror(error) + "): " + path;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
  ~FileDescriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return descriptor_; }

 private:
  int descriptor_;
};

// Only regular files are read: a pipe or device could block the caller or
// never end. The size that fstat reports is a guess, since a file may grow
// while it is read; more than kMaxWholeFileBytes is refused either way.
std::vector<std::uint8_t> readWholeFile(const std::string& path, std::string_view logPrefix) {
  const auto fail = [&](const std::string& description) {
    logLine(std::string(logPrefix) + "Error #" + description);
    return std::vector<std::uint8_t>();
  };
  // O_NONBLOCK: opening a pipe without a writer must not wait
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) return fail(describeError(errno, path));
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) return fail(describeError(errno, path));
  if (S_ISDIR(status.st_mode)) return fail(describeError(EISDIR, path));
  if (!S_ISREG(status.st_mode)) return fail(describeError(EINVAL, path) + " (not a regular file)");
  if (static_cast<std::uint64_t>(status.st_size) > kMaxWholeFileBytes) {
    return fail(describeError(EFBIG, path) + " (" + std::to_string(status.st_size) +
                " bytes, at most " + std::to_string(kMaxWholeFileBytes) + " are read)");
  }
  // The file's pages stay in the page cache: the next reader of the same file
  // (a picture shown again, the tool run once more) finds them there.
  // One read of the size plus one byte, straight into the result, finds the
  // end (or growth) without a second buffer. The vector zeroes that room
  // before the read: it takes bytes no other way short of a copy.
  const std::size_t expected = std::size_t(status.st_size) + 1;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(expected);
  scratch::preferHugePages(bytes.data(), bytes.capacity());
  for (;;) {
    const std::size_t used = bytes.size();
    if (used > kMaxWholeFileBytes) {
      return fail(describeError(EFBIG, path) + " (more than " + std::to_string(kMaxWholeFileBytes) +
                  " bytes)");
    }
    const std::size_t chunk = used < expected ? expected - used : kReadChunkBytes;
    bytes.resize(used + chunk);
    const ssize_t got = ::read(file.get(), bytes.data() + used, chunk);
    if (got < 0) {
      if (errno == EINTR) {
        bytes.resize(used);
        continue;
      }
      return fail(describeError(errno, path));
    }
    bytes.resize(used + static_cast<std::size_t>(got));
    if (got == 0) break;
  }
  if (bytes.capacity() - bytes.size() > kReadChunkBytes / 2) bytes.shrink_to_fit();
  return bytes;
}

}  // namespace

std::vector<std::uint8_t> getbinaryfromfile(const std::string& path) {
  return readWholeFile(path, "getbinaryfromfile: ");
}

std::vector<std::uint8_t> gettextfromfile(const std::string& path) {
  return readWholeFile(path, "gettextfromfile: ");
}

int fileexists(const std::string& path) {
  if (path.empty()) return -1;
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return 0;
  return S_ISDIR(status.st_mode) ? 2 : 1;
}

std::string filenamefrompath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
