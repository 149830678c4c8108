// The terminal as a line-oriented program, for screen readers and braille
// displays: every line the game finishes is written once, in order, as plain
// text; the prompt and what the player types stand on the last line like any
// line input's; nothing is ever drawn in place. The only control characters
// written are carriage return, line feed and backspace (to take back typed
// characters), so a screen reader reads the story as it comes and a braille
// display follows the cursor.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/terminal/TerminalScreen.h"
#include "toolbox/windows/TextFollower.h"

namespace terminal {

class PlainTranscript {
 public:
  // The bytes that take the terminal from what it shows to what the window
  // holds now: the status line when it changed, the picture's caption when
  // it changed ("Bild: ..."), the finished lines, then the pending line.
  std::string follow(const FollowedText& followed);
  // The caption once more (F8, "bild"); "Bild: -" when there is none.
  std::string repeatCaption();
  // A box of the host (a question, a prompt for a file, the Verlauf): its
  // title and lines once, then its input line or its highlighted entry as
  // the pending line.
  std::string showDialog(const DialogView& view);
  // After a box: the game's pending line is written anew at the next follow.
  std::string closeDialog();

 private:
  std::string finishLine(const std::u32string& line);
  std::string editPendingTo(const std::u32string& target, int caret);
  std::string leavePending();

  std::u32string shown_;  // what stands on the terminal's unfinished line
  int cursor_ = 0;        // where the terminal's cursor is in it
  std::string caption_;
  std::optional<DialogView> dialog_;
};

// The function key that a word typed at the prompt stands for in the plain
// terminal ("sichern" is F2), for the host's actions without function keys.
std::optional<int> functionKeyOfWord(const std::string& typedUtf8);

}  // namespace terminal
