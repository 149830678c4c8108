#include "support/LineDiff.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace linediff {
namespace {

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return lines;
}

enum class Edit : std::uint8_t { Same, Removed, Added };

struct Step {
  Edit edit;
  std::size_t from;  // line index in from (Same, Removed)
  std::size_t to;    // line index in to (Same, Added)
};

// The edit script from a to b: common beginning and end directly, the middle
// by the longest common subsequence (or replaced whole when it is too long).
std::vector<Step> editScript(const std::vector<std::string_view>& a,
                             const std::vector<std::string_view>& b) {
  std::size_t head = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
  std::size_t tail = 0;
  while (tail < a.size() - head && tail < b.size() - head &&
         a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
    ++tail;
  const std::size_t n = a.size() - head - tail;
  const std::size_t m = b.size() - head - tail;
  std::vector<Step> steps;
  for (std::size_t i = 0; i < head; ++i) steps.push_back({Edit::Same, i, i});
  if (n > kMaxComparedLines || m > kMaxComparedLines) {
    for (std::size_t i = 0; i < n; ++i) steps.push_back({Edit::Removed, head + i, head});
    for (std::size_t j = 0; j < m; ++j) steps.push_back({Edit::Added, head + n, head + j});
  } else {
    // common[i][j]: the longest common subsequence of a's middle from i and b's from j.
    std::vector<std::uint32_t> common((n + 1) * (m + 1), 0);
    auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& {
      return common[i * (m + 1) + j];
    };
    for (std::size_t i = n; i-- > 0;) {
      for (std::size_t j = m; j-- > 0;) {
        at(i, j) = a[head + i] == b[head + j] ? at(i + 1, j + 1) + 1
                                              : std::max(at(i + 1, j), at(i, j + 1));
      }
    }
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
      if (i < n && j < m && a[head + i] == b[head + j]) {
        steps.push_back({Edit::Same, head + i++, head + j++});
      } else if (i < n && (j == m || at(i + 1, j) >= at(i, j + 1))) {
        steps.push_back({Edit::Removed, head + i++, head + j});  // removals first, as diff -u
      } else {
        steps.push_back({Edit::Added, head + i, head + j++});
      }
    }
  }
  for (std::size_t k = 0; k < tail; ++k) steps.push_back({Edit::Same, head + n + k, head + m + k});
  return steps;
}

std::string range(std::size_t start, std::size_t count) {
  // diff -u names an empty range by the line before it.
  return std::to_string(count == 0 ? start : start + 1) + "," + std::to_string(count);
}

}  // namespace

std::string unifiedDiff(std::string_view from, std::string_view to, const std::string& fromName,
                        const std::string& toName) {
  const std::vector<std::string_view> a = splitLines(from);
  const std::vector<std::string_view> b = splitLines(to);
  const std::vector<Step> steps = editScript(a, b);
  std::string out;
  std::size_t index = 0;
  while (index < steps.size()) {
    while (index < steps.size() && steps[index].edit == Edit::Same) ++index;
    if (index == steps.size()) break;
    // A hunk: context before, changes joined while at most twice the context
    // lies between them, context after.
    const std::size_t begin = index >= kContextLines ? index - kContextLines : 0;
    std::size_t last = index;
    for (std::size_t k = index + 1; k < steps.size() && k - last <= 2 * kContextLines; ++k) {
      if (steps[k].edit != Edit::Same) last = k;
    }
    const std::size_t end = std::min(steps.size(), last + 1 + kContextLines);
    std::size_t fromCount = 0, toCount = 0;
    std::string body;
    for (std::size_t k = begin; k < end; ++k) {
      const Step& step = steps[k];
      if (step.edit != Edit::Added) ++fromCount;
      if (step.edit != Edit::Removed) ++toCount;
      body += step.edit == Edit::Same ? ' ' : step.edit == Edit::Removed ? '-' : '+';
      body += step.edit == Edit::Added ? b[step.to] : a[step.from];
      body += '\n';
    }
    out += "@@ -" + range(steps[begin].from, fromCount) + " +" + range(steps[begin].to, toCount) +
           " @@\n" + body;
    index = end;
  }
  if (out.empty()) return out;
  return "--- " + fromName + "\n+++ " + toName + "\n" + out;
}

}  // namespace linediff
