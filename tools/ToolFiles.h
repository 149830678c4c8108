// Whole-file input and output for the velmorat-tool commands, with the
// message on standard error that every command gives when a file fails.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace toolfiles {

// The whole file, read by the bounded whole-file reader; nothing, after a
// message, when it cannot be read. An empty file gives no bytes.
std::optional<std::vector<std::uint8_t>> readInputFile(const std::string& path);
// The same for commands that need content: an empty file is refused too.
std::optional<std::vector<std::uint8_t>> readNonEmptyInputFile(const std::string& path);

// Replaces a regular file with bytes, whole, keeping its permissions: a
// reader sees the old file or the new one, and a failed write leaves the old
// one; false, after a message, then. A link, a device or a pipe is written
// straight through.
bool writeOutputFile(const std::string& path, std::span<const std::uint8_t> bytes);
bool writeOutputFile(const std::string& path, std::string_view text);

}  // namespace toolfiles
