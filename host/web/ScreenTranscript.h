// The transcript that a screen reader reads as the story goes on: the lines of
// the text window that were finished since the program last waited for input.
// The host looks at the screen only when the program waits. Between two looks
// the text may scroll by more than a screen; the lines that left the area
// meanwhile come from the program's own record of scrolled lines, and the
// screen's rows are matched against the earlier look so that nothing is read
// twice.
#pragma once

#include <string>
#include <vector>

namespace web {

class ScreenTranscript {
 public:
  // lines: the window's text lines now, top first; the scrolling area starts
  // at firstLine and the cursor is on cursorLine (both 1-based).
  // scrolledAway: the lines that scrolled out of the area since the last call,
  // oldest first (empty when none did or when the program keeps no record).
  // Returns the lines finished since the last call, blank ones left out: from
  // the line the cursor was on then (the command as typed) to the line above
  // the cursor now.
  std::vector<std::string> finishedLines(const std::vector<std::string>& lines, int firstLine,
                                         int cursorLine,
                                         const std::vector<std::string>& scrolledAway = {});

 private:
  // Whether the earlier screen's rows above its cursor moved up by shift rows.
  bool movedUpBy(const std::vector<std::string>& lines, int firstRow, int shift) const;
  // Rows (0-based) the earlier screen's lines moved up, or -1 when none fits.
  int scrolledRows(const std::vector<std::string>& lines, int firstRow) const;

  std::vector<std::string> previous_;
  int previousCursorRow_ = -1;  // 0-based; -1 before the first call
};

}  // namespace web
