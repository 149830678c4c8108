#include "adventure/Session.h"

#include <algorithm>

#include "adventure/Parser.h"
#include "support/qbtools.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/windows/Menus.h"

namespace {
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

Session::Session() : helpLines_(VelmoratHelpLines({})) {
  progress.seen = t_EventCountsNow();
  menuNoticesSeen = static_cast<std::size_t>(t_MenuEventCount());
}

void Session::setCommandListener(std::function<void(const std::string&)> listener) {
  std::lock_guard guard(listenerLock_);
  commandListener_ = std::move(listener);
}

void Session::tellCommandListener(const std::string& line) {
  std::lock_guard guard(listenerLock_);
  if (commandListener_) commandListener_(line);
}

void Session::useStateFolder(StateFolder kind, const std::string& folder) {
  std::lock_guard guard(stateFolderLock_);
  stateFolderKind_ = kind;
  ownStateFolder_ = folder;
}

StateFolder Session::stateFolderKind() const {
  std::lock_guard guard(stateFolderLock_);
  return stateFolderKind_;
}

std::string Session::ownStateFolder() const {
  std::lock_guard guard(stateFolderLock_);
  return ownStateFolder_;
}

void Session::keepScrolledLine(std::uint8_t window, const std::string& lineUtf8) {
  if (window != VelmoratTextWindow()) return;
  std::lock_guard guard(transcriptLock_);
  scrolledLines_.push_back(lineUtf8);
  if (scrolledLines_.size() > kMaxTranscriptLines) scrolledLines_.pop_front();
}

std::string Session::transcript() const {
  const std::vector<std::string> area = areaLines(VelmoratTextWindow());
  std::string text;
  // One allocation of the final size: a long game's transcript is megabytes,
  // and growing it step by step would leave the heap with its larger peaks.
  std::lock_guard guard(transcriptLock_);
  std::size_t size = 0;
  for (const std::string& line : scrolledLines_) size += line.size() + 1;
  for (const std::string& line : area) size += line.size() + 1;
  text.reserve(size);
  for (const std::string& line : scrolledLines_) text.append(line).push_back('\n');
  for (const std::string& line : area) text.append(line).push_back('\n');
  return text;
}

std::size_t Session::transcriptLineCount() const {
  std::lock_guard guard(transcriptLock_);
  return scrolledLines_.size();
}

std::vector<std::string> Session::transcriptLines(std::size_t first, std::size_t count) const {
  std::lock_guard guard(transcriptLock_);
  if (first >= scrolledLines_.size()) return {};
  const auto begin = scrolledLines_.begin() + static_cast<std::ptrdiff_t>(first);
  const auto end =
      begin + static_cast<std::ptrdiff_t>(std::min(count, scrolledLines_.size() - first));
  return {begin, end};
}

void Session::publishHelp(std::vector<Text> lines) {
  std::lock_guard guard(helpLock_);
  helpLines_ = std::move(lines);
}

std::string Session::helpText() const {
  std::lock_guard guard(helpLock_);
  std::string text;
  for (const Text& line : helpLines_) text += texttostring(line) + "\n";
  return text;
}
