// A unified diff of two texts by lines, as diff -u prints it: how a game's
// transcript changed (velmorat-tool test and run --watch, velmorat --show-changes).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace linediff {

// Lines of context around each change.
inline constexpr int kContextLines = 3;
// Beyond this many lines between the common beginning and end the middle is
// shown as one replaced block: the table of a finer diff would grow with the
// square of it (2000 lines: 16 MB).
inline constexpr std::size_t kMaxComparedLines = 2000;

// Empty when the texts have the same lines (a line feed missing at the end
// of either is no difference: an editor may add or drop it); otherwise "--- fromName", "+++ toName"
// and the hunks, each line ended by a line feed.
std::string unifiedDiff(std::string_view from, std::string_view to, const std::string& fromName,
                        const std::string& toName);

}  // namespace linediff
