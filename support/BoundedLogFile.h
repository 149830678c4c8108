// A log file that cannot fill the disk: it keeps the first headBytes of the
// log in order, then one line saying how many lines were left out, then the
// newest lines. The newest lines are written as they come and compacted
// whenever more than 2 * tailBytes have gathered behind the head, so that
// after a crash the file still ends with the last lines (at least tailBytes
// of them, once there were that many), and each byte is written about twice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

inline constexpr std::size_t kLogFileHeadBytes = std::size_t{20} << 20;
inline constexpr std::size_t kLogFileTailBytes = std::size_t{1} << 20;

class BoundedLogFile {
 public:
  // descriptor: an open, seekable file positioned at its end; not owned.
  BoundedLogFile(int descriptor, std::size_t headBytes, std::size_t tailBytes);

  // Appends one line (with its line end); false when it could not be written
  // whole. Not thread-safe: the log's lock orders the calls.
  bool write(std::string_view line);

  std::uint64_t linesLeftOut() const { return linesLeftOut_; }

 private:
  void compact();
  // The file's end, where writes go on; standard error may write there too.
  std::uint64_t seekEnd() const;

  int descriptor_;
  std::size_t headBytes_;
  std::size_t tailBytes_;
  std::uint64_t written_;           // bytes of the file
  std::uint64_t tailStart_ = 0;     // where the part behind the head begins; 0 before
  std::deque<std::string> newest_;  // the newest lines, at most tailBytes_ of them
  std::size_t newestBytes_ = 0;
  std::uint64_t linesBehindHead_ = 0;  // lines in the file behind the head
  std::uint64_t linesLeftOut_ = 0;
};
