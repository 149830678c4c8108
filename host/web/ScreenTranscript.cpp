#include "host/web/ScreenTranscript.h"

#include <algorithm>

namespace web {

int ScreenTranscript::scrolledRows(const std::vector<std::string>& lines, int firstRow) const {
  const int cursorRow = std::min(previousCursorRow_, static_cast<int>(lines.size()));
  // A shift that moves the earlier cursor row to the top of the area or past
  // it leaves nothing to compare: the text from the top of the area is new.
  for (int shift = 0; shift < cursorRow - firstRow; ++shift) {
    bool same = true;
    for (int row = firstRow; row + shift < cursorRow && same; ++row) {
      same =
          lines[static_cast<std::size_t>(row)] == previous_[static_cast<std::size_t>(row + shift)];
    }
    if (same) return shift;
  }
  return -1;
}

std::vector<std::string> ScreenTranscript::finishedLines(const std::vector<std::string>& lines,
                                                         int firstLine, int cursorLine) {
  const int rowCount = static_cast<int>(lines.size());
  const int firstRow = std::clamp(firstLine - 1, 0, rowCount);
  const int cursorRow = std::clamp(cursorLine - 1, 0, rowCount);
  int start = 0;
  if (previousCursorRow_ >= 0 && previous_.size() == lines.size()) {
    const int shift = scrolledRows(lines, firstRow);
    start = shift < 0 ? firstRow : std::max(previousCursorRow_ - shift, firstRow);
  }
  std::vector<std::string> finished;
  for (int row = start; row < cursorRow; ++row) {
    const std::string& line = lines[static_cast<std::size_t>(row)];
    if (line.find_first_not_of(' ') != std::string::npos) finished.push_back(line);
  }
  previous_ = lines;
  previousCursorRow_ = cursorRow;
  return finished;
}

}  // namespace web
