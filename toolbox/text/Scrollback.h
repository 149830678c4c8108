// The past of a text window for a host's view of it: Page Up, Page Down and
// the mouse wheel show the lines that scrolled out of the text area, while
// the program, the video memory and the screen's text stay as they are. The
// lines themselves are kept by the program (its transcript), which hands the
// toolbox a source for them and switches the view on for a game that wants
// it. Hosts read through here on their main thread; the program thread sets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ScrollbackSource {
  // The number of lines kept, oldest first.
  std::function<std::size_t()> lineCount;
  // count lines from the line with index first (0 = the oldest kept).
  std::function<std::vector<std::string>(std::size_t first, std::size_t count)> lines;
};

// Installs the source of a window's past (replacing one installed before).
void t_SetScrollbackSource(std::uint8_t window, ScrollbackSource source);
// Switches the host's view of the past on or off; off by default.
void t_EnableScrollback(std::uint8_t window, bool enabled);
bool t_ScrollbackEnabled(std::uint8_t window);

// One page of the view, linesBack lines above the live text area: as many
// lines as the area has, the kept lines followed by the area's own, oldest
// first (UTF-8, trailing blanks cut). linesBack is held to what is kept; the
// page starts with the line linesBack + area lines from the end.
struct ScrollbackPage {
  std::vector<std::string> lines;
  std::size_t linesBack = 0;  // after holding it to what is kept
  std::size_t linesKept = 0;
};
ScrollbackPage t_ScrollbackPage(std::uint8_t window, std::size_t linesBack);
// The mark a host shows while it shows the past (UTF-8, one line): how far
// back the view stands and how to get back.
std::string t_ScrollbackMark(const ScrollbackPage& page);
// The number of lines kept for the window's past.
std::size_t t_ScrollbackLinesKept(std::uint8_t window);
// The number of lines a page moves: the text area's height.
int t_ScrollbackPageLines(std::uint8_t window);
