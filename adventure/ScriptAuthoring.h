// The authoring side of adventure data files: script sources are UTF-8 text
// files that authors edit; the game reads Latin-1 script text stored as an
// LZW block. Used by velmorat-tool (pack-script, unpack-script, check-script)
// and by tests that make their own data folders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace adventure {

struct PackedScript {
  std::vector<std::uint8_t> stored;  // the .word file; empty when errors is not
  std::vector<std::string> errors;   // "FILE:LINE: ..." lines
  std::vector<std::string> warnings;
};

// UTF-8 source to a stored data file. A character outside Latin-1 or broken
// UTF-8 is an error naming sourceName and the line; a missing "@END" a warning.
PackedScript packScriptSource(const std::string& utf8Source, const std::string& sourceName);

// A stored data file back to UTF-8 source (the whole decoded text, "@END" included).
// Empty when the block does not decode.
std::string unpackScript(const std::vector<std::uint8_t>& stored);

// Reads the lines of every DATAnnn.word in folder and reports faults, one
// line each, "DATAnnn.word:LINE: ..." (LINE counts from 1, as the trace's
// index + 1): unknown statements, jumps to missing labels, scenes named by
// GOTO SCENE or an exit without a data file, USE of missing pictures, items
// used but never defined, flag numbers outside DIMENSION FLAGS, and files
// that do not load at all.
std::vector<std::string> checkScriptFolder(const std::string& folder);

}  // namespace adventure
