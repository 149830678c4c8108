// The lines the text windows finished, in the order they were printed, for
// readers that follow the story as it comes instead of looking at the screen:
// a screen reader, a line-oriented terminal, speech. A line is finished when
// the cursor leaves it with a carriage return (printed, or a wrap past the
// area's last column); lines the cursor leaves by moving elsewhere (the status
// line, a field drawn in place) are not part of the stream.
//
// The lines are numbered from 1; a reader remembers the number it last took.
// Only the newest kKeptLines stay, so a reader that falls far behind learns
// how many it missed instead of the stream growing without end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace outputlines {

inline constexpr std::size_t kKeptLines = 4096;

// A screen line as text for a reader: the font's symbols that have no
// printable Latin-1 character (codes 128..159) as blanks, the horizontal rule
// (156) as '-'. UTF-8 in and out.
std::string readableLine(const std::string& screenLineUtf8);
// Whether a line holds a letter or a digit: a rule or a frame holds none.
bool holdsWords(const std::string& lineUtf8);

struct FinishedLine {
  std::uint64_t number = 0;
  std::uint8_t window = 0;
  std::string textUtf8;  // the area's columns (readableLine), blanks at the end left out
  bool typed = false;    // the line a line input ended: its prompt and what was typed
};

struct LinesAfter {
  std::vector<FinishedLine> lines;
  std::uint64_t missed = 0;  // finished lines no longer kept
};

// Program thread (the printing thread): the line `line` of the window is
// finished. Marks the window changed, so that readers of the screen look.
void recordLineEnd(std::uint8_t window, int line);
// Program thread: the next line the window finishes is a line input's.
void markNextLineTyped(std::uint8_t window);

// Program thread: while one lives, finished lines are not recorded: for
// text drawn in place that a wrap may end (a status line across the whole
// window), which is no part of the story.
class NotStory {
 public:
  NotStory();
  ~NotStory();
  NotStory(const NotStory&) = delete;
  NotStory& operator=(const NotStory&) = delete;
};

// Any thread: listener runs on the printing thread after each finished line,
// with no lock of the toolbox held; it should only hand the news on. Removing
// a listener waits until a call of it has returned.
int addLineListener(std::function<void()> listener);
void removeLineListener(int id);

// Any thread: the lines numbered above `after`, oldest first.
LinesAfter linesAfter(std::uint64_t after);
// Any thread: the number of the newest line, 0 before the first.
std::uint64_t newestLineNumber();
// Forgets every line and the numbering (a test's fresh start).
void resetForTesting();

}  // namespace outputlines
