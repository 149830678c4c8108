#include "tools/ToolFiles.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/AtomicFile.h"
#include "support/qbtools.h"

namespace toolfiles {

std::optional<std::vector<std::uint8_t>> readInputFile(const std::string& path) {
  std::vector<std::uint8_t> bytes = getbinaryfromfile(path);
  // The reader gives nothing for a failure and for an empty file alike.
  std::error_code unknown;
  if (bytes.empty() && !(std::filesystem::is_regular_file(path, unknown) &&
                         std::filesystem::file_size(path, unknown) == 0)) {
    std::fprintf(stderr, "%s: cannot read the file\n", path.c_str());
    return std::nullopt;
  }
  return bytes;
}

std::optional<std::vector<std::uint8_t>> readNonEmptyInputFile(const std::string& path) {
  std::optional<std::vector<std::uint8_t>> bytes = readInputFile(path);
  if (bytes && bytes->empty()) {
    std::fprintf(stderr, "%s: the file is empty\n", path.c_str());
    return std::nullopt;
  }
  return bytes;
}

bool writeOutputFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  return writeOutputFile(
      path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// Another program may read the output while it is written, such as a game
// running from the bundle being rebuilt.
// A regular file, or a new one, is therefore replaced whole; anything else is
// written straight through: a link (/dev/stdout, or an author's link to a file
// elsewhere) must stay a link, and a terminal or a pipe cannot be renamed. So
// is a file the user may write in a folder they may not, where no temporary
// file can stand beside it.
bool writeOutputFile(const std::string& path, std::string_view text) {
  namespace fs = std::filesystem;
  std::error_code unknown;
  const auto kind = fs::symlink_status(path, unknown).type();
  const auto folderWritable = [&path] {
    const fs::path folder = fs::path(path).parent_path();
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
  };
  if (kind == fs::file_type::not_found || (kind == fs::file_type::regular && folderWritable())) {
    std::string failure;
    if (writeFileAtomically(path, text, failure)) return true;
    std::fprintf(stderr, "%s: cannot write the file: %s\n", path.c_str(), failure.c_str());
    return false;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  // A full disk may show only when the buffer goes out.
  if (!out.flush()) {
    std::fprintf(stderr, "%s: cannot write the file\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace toolfiles
