// A text window as a stream of text, for hosts that present the story to
// someone who does not look at its pixels (a screen reader, a line-oriented
// terminal, speech): the lines finished since the last look, once each and in
// order, and, while the program waits for the player, the line the cursor
// stands on (a prompt and what is typed so far) and the status lines above
// the text area.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolbox/text/OutputLines.h"

struct FollowedText {
  std::vector<outputlines::FinishedLine> lines;  // of this window only
  std::uint64_t missedLines = 0;                 // lines dropped before they were read
  // The program waits for a key or a line with none queued. Only then do the
  // fields below hold: nothing moves the cursor during such a wait.
  bool waiting = false;
  bool lineInput = false;
  std::string pendingUtf8;  // the cursor's line, up to the cursor or its last character
  int caret = 0;            // characters of pendingUtf8 before the cursor
  int typedFrom = 0;        // line input: characters of the prompt before the typed text
  // While waiting: the lines above the text area that hold words, each with
  // its runs of blanks shortened to ", " ("Turmzimmer, Ausgänge: v h");
  // changed: not empty and not what the last follow found.
  std::string statusUtf8;
  bool statusChanged = false;
  // The picture window's description (t_WindowDescription); changed as above.
  // It was set after the line numbered pictureAfterLine had been finished:
  // it belongs after that line in reading order.
  std::string pictureUtf8;
  bool pictureChanged = false;
  std::uint64_t pictureAfterLine = 0;
};

class TextFollower {
 public:
  // Follows the lines finished after line number `after`: 0 from the
  // beginning, outputlines::newestLineNumber() from now on.
  TextFollower(std::uint8_t window, std::uint8_t pictureWindow, std::uint64_t after)
      : window_(window), pictureWindow_(pictureWindow), seen_(after) {}
  // Any thread; one thread at a time.
  FollowedText follow();

 private:
  std::uint8_t window_;
  std::uint8_t pictureWindow_;
  std::uint64_t seen_;
  std::string status_;
  std::string picture_;
};
