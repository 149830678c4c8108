#include "toolbox/graphics/RunLength.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "support/Log.h"
#include "support/ZeroedArray.h"
#include "support/qbtools.h"
#include "toolbox/graphics/BigEndian.h"
#include "toolbox/graphics/PatternFill.h"

namespace {

constexpr int kLongRunCommand = 240;      // 16-bit count follows
constexpr int kLongerRunCommand = 241;    // 32-bit count follows
constexpr int kFirstShortRunCommand = 4;  // 1..3 repeat the escape unit itself

struct Routine {
  const char* name;
  const char* longCountLine;
  bool dumpsZeroCommand;
};

// "AA BB" for the given positions, leaving out those outside the input.
std::string hexGroup(std::span<const std::uint8_t> data, std::int64_t first, int count) {
  std::string text;
  for (std::int64_t at = first; at < first + count; ++at) {
    if (at < 0 || at >= static_cast<std::int64_t>(data.size())) continue;
    if (!text.empty()) text += ' ';
    text += hexbyte(data[at]);
  }
  return text;
}

// The bytes around a zero command of three-byte units: two before the escape
// unit and the unit; the command; two filler bytes and the next three.
void dumpZeroCommand(const Routine& routine, std::span<const std::uint8_t> data, std::size_t p) {
  const std::string prefix = std::string(routine.name) + ": ";
  const std::int64_t at = static_cast<std::int64_t>(p);
  logLine(prefix + hexGroup(data, at - 2, 2) + hexGroup(data, at, 3));
  logLine(prefix + hexGroup(data, at + 3, 1));
  logLine(prefix + hexGroup(data, at + 4, 2) + hexGroup(data, at + 6, 3));
}

class BoundedOutput {
 public:
  // A bound below the global one is what the caller expects, such as a
  // picture's pixel bytes: the output takes that room at once instead of
  // growing into it by copies (a 3 MB scene was copied nine times over),
  // and the pages of the room are touched only where bytes are written.
  BoundedOutput(const Routine& routine, std::size_t maxBytes, std::vector<std::uint8_t> prefix)
      : routine_(routine),
        maxBytes_(std::min(maxBytes, kMaxDecodedBytes)),
        prefixBytes_(prefix.size()),
        bytes_(std::move(prefix)) {
    if (maxBytes_ < kMaxDecodedBytes) {
      bytes_.reserve(prefixBytes_ + maxBytes_);
      scratch::preferHugePages(bytes_.data(), bytes_.capacity());
    }
  }

  // Appends count copies of the unit; false (after the log line) when the
  // bound cut them short.
  bool appendRepeated(const std::uint8_t* unit, int unitBytes, std::uint64_t count) {
    const std::uint64_t room = this->room();
    const std::uint64_t wanted = count * unitBytes;
    const std::size_t length = static_cast<std::size_t>(std::min(wanted, room));
    makeRoom(length);
    const std::size_t start = bytes_.size();
    bytes_.resize(start + length);
    graphics::fillWithPattern(bytes_.data() + start, length, unit, std::size_t(unitBytes));
    return wanted <= room || exceeded();
  }

  bool appendLiterals(const std::uint8_t* bytes, std::size_t length) {
    const std::size_t room = this->room();
    makeRoom(std::min(length, room));
    bytes_.insert(bytes_.end(), bytes, bytes + std::min(length, room));
    return length <= room || exceeded();
  }

  // A stream far shorter than its bound gives its room back.
  std::vector<std::uint8_t> take() {
    if (bytes_.capacity() / 2 > bytes_.size()) bytes_.shrink_to_fit();
    return std::move(bytes_);
  }

 private:
  std::size_t room() const { return maxBytes_ - (bytes_.size() - prefixBytes_); }

  // A run of 4 G units into a 256 MiB bound peaked at 528 MB with the
  // vector's own doubling (45-byte file); grownCapacity keeps it at the bound.
  void makeRoom(std::size_t extra) {
    const std::size_t needed = bytes_.size() + extra;
    if (needed > bytes_.capacity()) {
      bytes_.reserve(grownCapacity(bytes_.capacity(), needed, prefixBytes_ + maxBytes_));
    }
  }

  bool exceeded() {
    logLine(std::string(routine_.name) + ": Output exceeds " +
            formatnumber(static_cast<std::int64_t>(maxBytes_), ' ', 1, true) +
            " Bytes, decoding stopped.");
    return false;
  }

  const Routine& routine_;
  std::size_t maxBytes_;
  std::size_t prefixBytes_;
  std::vector<std::uint8_t> bytes_;
};

template <int U>
bool isEscape(const std::uint8_t* unit, const std::uint8_t* escape) {
  return std::memcmp(unit, escape, U) == 0;
}

// The end of the stretch of literal units starting at p (the first escape
// unit at or after p, or where no whole unit is left).
template <int U>
std::size_t literalsEnd(std::span<const std::uint8_t> data, std::size_t p) {
  const std::uint8_t* escape = data.data();
  if constexpr (U == 1) {
    const void* found = std::memchr(data.data() + p, escape[0], data.size() - p);
    return found ? static_cast<const std::uint8_t*>(found) - data.data() : data.size();
  } else {
    while (p + U <= data.size() && !isEscape<U>(data.data() + p, escape)) p += U;
    return p;
  }
}

template <int U>
std::vector<std::uint8_t> decodeRuns(const Routine& routine, std::span<const std::uint8_t> data,
                                     std::size_t maxBytes, std::vector<std::uint8_t> prefix = {}) {
  const std::size_t length = data.size();
  if (length < 4 * U) return prefix;
  const std::uint8_t* escape = data.data();
  BoundedOutput output(routine, maxBytes, std::move(prefix));
  std::size_t p = U;
  while (p < length) {
    if (p + U > length) break;  // a unit cut off by the end is not a literal
    if (!isEscape<U>(data.data() + p, escape)) {
      const std::size_t end = literalsEnd<U>(data, p);
      if (!output.appendLiterals(data.data() + p, end - p)) break;
      p = end;
      continue;
    }
    const std::size_t commandAt = p + U;
    if (commandAt >= length) break;
    const int command = data[commandAt];
    std::size_t itemBytes = 2 * U;
    int countBytes = 0;
    if (command >= kFirstShortRunCommand && command < kLongRunCommand) {
      itemBytes = 2 * U + 1;
    } else if (command == kLongRunCommand) {
      itemBytes = 2 * U + 3;
      countBytes = 2;
    } else if (command == kLongerRunCommand) {
      itemBytes = 2 * U + 5;
      countBytes = 4;
    }
    if (p + itemBytes > length) break;  // a truncated item appends nothing
    bool more = true;
    if (command == 0) {
      logLine(std::string(routine.name) + ": Repeat count cannot be zero.");
      if (routine.dumpsZeroCommand) dumpZeroCommand(routine, data, p);
    } else if (command < kFirstShortRunCommand) {
      logLine(std::string(routine.name) + ": Appending " + std::to_string(command) + " elements.");
      more = output.appendRepeated(escape, U, command);
    } else if (command <= kLongerRunCommand) {
      if (command == kLongerRunCommand) logLine(routine.longCountLine);
      const std::uint32_t count =
          countBytes == 0 ? command : graphics::bigEndian(data.data() + commandAt + 1, countBytes);
      more = output.appendRepeated(data.data() + commandAt + 1 + countBytes, U, count);
    } else {
      char line[80];
      std::snprintf(line, sizeof line, "%s: Illegal command ($%02x)", routine.name, command);
      logLine(line);
    }
    if (!more) break;
    p += itemBytes;
  }
  return output.take();
}

constexpr Routine kRoutine8{"rletobinary8", "rletobinary8: Decode LongInt count", false};
constexpr Routine kRoutine16{"rletobinary16", "rletobinary16: Decode LongInt count.", false};
constexpr Routine kRoutine24{"rletobinary24", "rletobinary24: Decode LongInt count.", true};
constexpr Routine kRoutine32{"rletobinary32", "rletobinary32: Decode LongInt count.", false};

}  // namespace

std::vector<std::uint8_t> rletobinary8(std::span<const std::uint8_t> data, std::size_t maxBytes) {
  return decodeRuns<1>(kRoutine8, data, maxBytes);
}

std::vector<std::uint8_t> rletobinary16(std::span<const std::uint8_t> data, std::size_t maxBytes) {
  return decodeRuns<2>(kRoutine16, data, maxBytes);
}

std::vector<std::uint8_t> rletobinary24(std::span<const std::uint8_t> data, std::size_t maxBytes) {
  return decodeRuns<3>(kRoutine24, data, maxBytes);
}

std::vector<std::uint8_t> rletobinary32(std::span<const std::uint8_t> data, std::size_t maxBytes) {
  return decodeRuns<4>(kRoutine32, data, maxBytes);
}

namespace runlength {

std::vector<std::uint8_t> decode(int unitBytes, std::span<const std::uint8_t> data,
                                 std::size_t maxBytes, std::vector<std::uint8_t> prefix) {
  switch (unitBytes) {
    case 1:
      return decodeRuns<1>(kRoutine8, data, maxBytes, std::move(prefix));
    case 2:
      return decodeRuns<2>(kRoutine16, data, maxBytes, std::move(prefix));
    case 3:
      return decodeRuns<3>(kRoutine24, data, maxBytes, std::move(prefix));
    default:
      return decodeRuns<4>(kRoutine32, data, maxBytes, std::move(prefix));
  }
}

}  // namespace runlength
