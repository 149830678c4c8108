#include "adventure/Transcript.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <vector>

#include "adventure/GameState.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"

namespace {
std::mutex transcriptLock;
std::deque<std::string> scrolledLines;

// The lines of the text area now on screen, without the empty ones at its end.
std::vector<std::string> areaLines(std::uint8_t window) {
  std::vector<std::string> lines;
  if (window >= kGraphicWindowCount || !MemoryReady || !windowRecord(window).Initialized) {
    return lines;
  }
  const t_Window& w = windowRecord(window);
  for (int line = w.TextFirstLine; line <= w.TextLastLine; ++line) {
    lines.push_back(t_GetScreenLine(window, line, w.TextFirstColumn, w.TextLastColumn));
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}
}  // namespace

void VelmoratKeepScrolledLine(std::uint8_t window, const std::string& lineUtf8) {
  if (window != VelmoratTextWindow()) return;
  std::lock_guard guard(transcriptLock);
  scrolledLines.push_back(lineUtf8);
  if (scrolledLines.size() > kMaxTranscriptLines) scrolledLines.pop_front();
}

std::string VelmoratTranscript() {
  const std::vector<std::string> area = areaLines(VelmoratTextWindow());
  std::string text;
  // One allocation of the final size: a long game's transcript is megabytes,
  // and growing it step by step would leave the heap with its larger peaks.
  std::lock_guard guard(transcriptLock);
  std::size_t size = 0;
  for (const std::string& line : scrolledLines) size += line.size() + 1;
  for (const std::string& line : area) size += line.size() + 1;
  text.reserve(size);
  for (const std::string& line : scrolledLines) text.append(line).push_back('\n');
  for (const std::string& line : area) text.append(line).push_back('\n');
  return text;
}

std::size_t VelmoratTranscriptLineCount() {
  std::lock_guard guard(transcriptLock);
  return scrolledLines.size();
}

std::vector<std::string> VelmoratTranscriptLines(std::size_t first, std::size_t count) {
  std::lock_guard guard(transcriptLock);
  if (first >= scrolledLines.size()) return {};
  const auto begin = scrolledLines.begin() + static_cast<std::ptrdiff_t>(first);
  const auto end =
      begin + static_cast<std::ptrdiff_t>(std::min(count, scrolledLines.size() - first));
  return {begin, end};
}

void VelmoratClearTranscript() {
  std::lock_guard guard(transcriptLock);
  scrolledLines.clear();
}
