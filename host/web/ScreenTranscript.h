// The transcript that a screen reader reads as the story goes on: the lines of
// the text window that were finished since the program last waited for input.
// The host looks at the screen only when the program waits, so it works out
// from two looks how far the text scrolled in between: the lines above the
// earlier cursor that are still on screen have moved up by that much.
#pragma once

#include <string>
#include <vector>

namespace web {

class ScreenTranscript {
 public:
  // lines: the window's text lines now, top first; the scrolling area starts
  // at firstLine and the cursor is on cursorLine (both 1-based). Returns
  // the lines finished since the last call, blank ones left out: from the
  // line the cursor was on then (the command as typed) to the line above the
  // cursor now. Lines that scrolled away between two calls are lost.
  std::vector<std::string> finishedLines(const std::vector<std::string>& lines, int firstLine,
                                         int cursorLine);

 private:
  // Rows (0-based) the earlier screen's lines moved up, or -1 when none fits.
  int scrolledRows(const std::vector<std::string>& lines, int firstRow) const;

  std::vector<std::string> previous_;
  int previousCursorRow_ = -1;  // 0-based; -1 before the first call
};

}  // namespace web
