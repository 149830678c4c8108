#include "host/web/ScreenTranscript.h"

#include <algorithm>

namespace web {
namespace {

void addUnlessBlank(std::vector<std::string>& finished, const std::string& line) {
  if (line.find_first_not_of(' ') != std::string::npos) finished.push_back(line);
}

}  // namespace

bool ScreenTranscript::movedUpBy(const std::vector<std::string>& lines, int firstRow,
                                 int shift) const {
  const int cursorRow = std::min(previousCursorRow_, static_cast<int>(lines.size()));
  for (int row = firstRow; row + shift < cursorRow; ++row) {
    if (lines[static_cast<std::size_t>(row)] != previous_[static_cast<std::size_t>(row + shift)])
      return false;
  }
  return true;
}

int ScreenTranscript::scrolledRows(const std::vector<std::string>& lines, int firstRow) const {
  // A shift that moves the earlier cursor row to the top of the area or past
  // it leaves nothing to compare: the text from the top of the area is new.
  for (int shift = 0; shift < previousCursorRow_ - firstRow; ++shift) {
    if (movedUpBy(lines, firstRow, shift)) return shift;
  }
  return -1;
}

std::vector<std::string> ScreenTranscript::finishedLines(
    const std::vector<std::string>& lines, int firstLine, int cursorLine,
    const std::vector<std::string>& scrolledAway) {
  const int rowCount = static_cast<int>(lines.size());
  const int firstRow = std::clamp(firstLine - 1, 0, rowCount);
  const int cursorRow = std::clamp(cursorLine - 1, 0, rowCount);
  const auto scrolledCount = static_cast<int>(scrolledAway.size());
  int start = 0;          // the first row of the screen not read before
  int firstScrolled = 0;  // the first of scrolledAway not read before
  if (previousCursorRow_ >= 0 && previous_.size() == lines.size()) {
    start = firstRow;
    // The rows of the area read at the last look.
    const int readRows = std::max(previousCursorRow_ - firstRow, 0);
    if (scrolledAway.empty()) {
      const int shift = scrolledRows(lines, firstRow);
      if (shift >= 0) start = std::max(previousCursorRow_ - shift, firstRow);
    } else if (scrolledCount < readRows && movedUpBy(lines, firstRow, scrolledCount)) {
      start = previousCursorRow_ - scrolledCount;
      firstScrolled = scrolledCount;
    } else if (scrolledCount >= readRows &&
               std::equal(scrolledAway.begin(), scrolledAway.begin() + readRows,
                          previous_.begin() + firstRow)) {
      firstScrolled = readRows;
    }
    // Otherwise the area was cleared in between: all of it is new.
  }
  std::vector<std::string> finished;
  for (int index = firstScrolled; index < scrolledCount; ++index)
    addUnlessBlank(finished, scrolledAway[static_cast<std::size_t>(index)]);
  for (int row = start; row < cursorRow; ++row)
    addUnlessBlank(finished, lines[static_cast<std::size_t>(row)]);
  previous_ = lines;
  previousCursorRow_ = cursorRow;
  return finished;
}

}  // namespace web
