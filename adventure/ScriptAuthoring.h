// The authoring side of adventure data files: script sources are UTF-8 text
// files that authors edit; the game reads Latin-1 script text stored as an
// LZW block. Used by velmorat-tool (pack-script, unpack-script, check-script)
// and by tests that make their own data folders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/Text.h"

namespace adventure {

struct PackedScript {
  std::vector<std::uint8_t> stored;  // the .word file; empty when errors is not
  std::vector<std::string> errors;   // "FILE:LINE: ..." lines
  std::vector<std::string> warnings;
  Text latin1;  // the converted script text (what stored holds), also after errors
};

struct PackOptions {
  // Typographic quotes, dashes and the ellipsis become their Latin-1 or ASCII
  // stand-ins instead of errors.
  bool fixTypography = false;
  // A missing "@END" is a warning instead of an error (tests of the loader).
  bool allowMissingEnd = false;
};

// At most this many conversion errors are listed; one more line counts the
// rest, so that a binary file gives a screenful, not one line per byte.
inline constexpr std::size_t kMaxListedPackErrors = 10;

// UTF-8 source to a stored data file. A byte order mark at the start is
// skipped. A character outside Latin-1 or broken UTF-8 is an error naming
// sourceName and the line, and so is a missing "@END" (see PackOptions).
PackedScript packScriptSource(const std::string& utf8Source, const std::string& sourceName,
                              const PackOptions& options = {});
// The same without the LZW stage: stored stays empty (check-script reads sources so).
PackedScript convertScriptSource(const std::string& utf8Source, const std::string& sourceName,
                                 const PackOptions& options = {});

// The stand-in for a typographic character ("\u201E" gives "\""), or nullptr
// for a character that has none.
const char* typographicStandIn(char32_t character);

// A stored data file back to UTF-8 source (the whole decoded text, "@END" included).
// Empty when the block does not decode.
std::string unpackScript(const std::vector<std::uint8_t>& stored);

}  // namespace adventure
