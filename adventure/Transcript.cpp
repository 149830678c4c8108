#include "adventure/Transcript.h"

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
  std::string text;
  {
    std::lock_guard guard(transcriptLock);
    for (const std::string& line : scrolledLines) text += line + '\n';
  }
  for (const std::string& line : areaLines(VelmoratTextWindow())) text += line + '\n';
  return text;
}

void VelmoratClearTranscript() {
  std::lock_guard guard(transcriptLock);
  scrolledLines.clear();
}
