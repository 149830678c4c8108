#include "toolbox/windows/TextFollower.h"

#include <algorithm>
#include <cctype>

#include "support/Utf8.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/WindowDescription.h"

namespace {

constexpr std::string_view kStatusSeparator = ", ";

std::string shortenBlankRuns(const std::string& line) {
  std::string shortened;
  std::size_t blanks = 0;
  for (char c : line) {
    if (c == ' ') {
      ++blanks;
      continue;
    }
    if (blanks > 0 && !shortened.empty()) shortened += blanks > 1 ? kStatusSeparator : " ";
    blanks = 0;
    shortened += c;
  }
  return shortened;
}

}  // namespace

FollowedText TextFollower::follow() {
  FollowedText followed;
  if (!MemoryReady.load() || window_ >= kGraphicWindowCount) return followed;
  // The wait is looked at before the lines: a line finished after this look
  // belongs to the next follow, and the pending line below is still current.
  const InputWaitKind wait = currentInputWait().kind;
  outputlines::LinesAfter after = outputlines::linesAfter(seen_);
  followed.missedLines = after.missed;
  for (outputlines::FinishedLine& line : after.lines) {
    seen_ = line.number;
    if (line.window == window_) followed.lines.push_back(std::move(line));
  }
  followed.pictureUtf8 = t_WindowDescription(pictureWindow_, &followed.pictureAfterLine);
  followed.pictureChanged = !followed.pictureUtf8.empty() && followed.pictureUtf8 != picture_;
  if (followed.pictureChanged) picture_ = followed.pictureUtf8;
  followed.waiting =
      (wait == InputWaitKind::Key || wait == InputWaitKind::Line || wait == InputWaitKind::Poll) &&
      !KeyAvailable.load() && outputlines::newestLineNumber() == seen_;
  if (!followed.waiting) return followed;
  // The status line is drawn in pieces: it is read only while nothing draws.
  const t_Window& w = windowRecord(window_);
  for (int line = 1; line < w.TextFirstLine; ++line) {
    const std::string text =
        outputlines::readableLine(t_GetScreenLine(window_, line, 1, w.TextWidth));
    if (!outputlines::holdsWords(text)) continue;
    if (!followed.statusUtf8.empty()) followed.statusUtf8 += kStatusSeparator;
    followed.statusUtf8 += shortenBlankRuns(text);
  }
  followed.statusChanged = !followed.statusUtf8.empty() && followed.statusUtf8 != status_;
  if (followed.statusChanged) status_ = followed.statusUtf8;
  followed.lineInput = wait == InputWaitKind::Line;
  followed.caret = std::max(0, w.TextHpos - w.TextFirstColumn);
  followed.pendingUtf8 = outputlines::readableLine(
      t_GetScreenLine(window_, w.TextVpos, w.TextFirstColumn, w.TextLastColumn));
  const int shown = static_cast<int>(utf8ToScalars(followed.pendingUtf8).size());
  if (shown < followed.caret) followed.pendingUtf8.append(followed.caret - shown, ' ');
  if (followed.lineInput) followed.typedFrom = std::max(0, w.InputHpos - w.TextFirstColumn);
  return followed;
}
