#include "support/BoundedLogFile.h"

#include <unistd.h>

namespace {

// Room for the line that counts the lines left out, so that a compaction
// always frees more than it writes.
constexpr std::size_t kLeftOutNoteBytes = 200;

bool writeAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(descriptor, bytes.data(), bytes.size());
    if (done <= 0) return false;  // a full disk: the line is lost, the game goes on
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return true;
}

}  // namespace

BoundedLogFile::BoundedLogFile(int descriptor, std::size_t headBytes, std::size_t tailBytes)
    : descriptor_(descriptor), headBytes_(headBytes), tailBytes_(tailBytes), written_(seekEnd()) {}

bool BoundedLogFile::write(std::string_view line) {
  if (tailStart_ == 0 && written_ + line.size() <= headBytes_) {
    const bool written = writeAll(descriptor_, line);
    written_ = seekEnd();
    return written;
  }
  if (tailStart_ == 0) tailStart_ = written_;
  const bool written = writeAll(descriptor_, line);
  written_ = seekEnd();
  ++linesBehindHead_;
  newest_.emplace_back(line);
  newestBytes_ += line.size();
  while (newestBytes_ > tailBytes_ && newest_.size() > 1) {
    newestBytes_ -= newest_.front().size();
    newest_.pop_front();
  }
  if (written_ - tailStart_ > 2 * tailBytes_ + kLeftOutNoteBytes) compact();
  return written;
}

std::uint64_t BoundedLogFile::seekEnd() const {
  const off_t end = ::lseek(descriptor_, 0, SEEK_END);
  return end > 0 ? static_cast<std::uint64_t>(end) : 0;
}

void BoundedLogFile::compact() {
  linesLeftOut_ += linesBehindHead_ - newest_.size();
  std::string kept = "log: " + std::to_string(linesLeftOut_) +
                     " lines left out here (the log file keeps its first " +
                     std::to_string(headBytes_) + " bytes and its last " +
                     std::to_string(tailBytes_) + ")\n";
  for (const std::string& line : newest_) kept += line;
  if (::pwrite(descriptor_, kept.data(), kept.size(), static_cast<off_t>(tailStart_)) !=
      static_cast<ssize_t>(kept.size())) {
    return;
  }
  written_ = tailStart_ + kept.size();
  if (::ftruncate(descriptor_, static_cast<off_t>(written_)) != 0) return;
  ::lseek(descriptor_, 0, SEEK_END);
  linesBehindHead_ = newest_.size();
}
