// Whole-file input and output for the velmorat-tool commands, with the
// message on standard error that every command gives when a file fails.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace toolfiles {

// The whole file (bounded like every whole-file read); empty, after a
// message, when it cannot be read or is empty.
std::vector<std::uint8_t> readInputFile(const std::string& path);

// Replaces the file with bytes; false, after a message, when that fails.
bool writeOutputFile(const std::string& path, std::span<const std::uint8_t> bytes);
bool writeOutputFile(const std::string& path, std::string_view text);

}  // namespace toolfiles
