// The game played in this process on the screenless host, key by key, the
// way scripted play types a key file: one key each time the program waits for
// input, a menu item chosen as a click would choose it.
#pragma once

#include <chrono>
#include <string>

#include "adventure/Session.h"
#include "launcher/KeyScript.h"
#include "toolbox/windows/InputWait.h"

namespace soak {

class GameDriver {
 public:
  // Starts the game of bundlePath on its program thread; every panel answers
  // panelPath. Once per process.
  GameDriver(const std::string& bundlePath, const std::string& panelPath);
  // Waits for the program's first wait for input; false when it does not come
  // within bound.
  bool start(std::chrono::milliseconds bound);
  // Types the key (or chooses the menu item) and waits until the program
  // waits for input again: false when it has not within bound, or has ended.
  bool press(const ScriptKey& key, std::chrono::milliseconds bound);
  InputWaitKind waitKind() const;
  // The text window's lines, joined with "\n".
  std::string screen() const;
  // Whether the transcript holds as many lines as it keeps.
  bool transcriptFull() const;
  // Asks the program thread to end and waits for it (at most bound).
  bool stop(std::chrono::milliseconds bound);

 private:
  bool awaitWait(std::uint64_t newerThan, std::chrono::milliseconds bound);
  std::string panelPath_;
  Session session_;
};

}  // namespace soak
