// The keys of a key file handed to the program one wait at a time, whatever
// host shows the game: the desktop types them as Qt key events, the terminal
// as its own key presses. Free of Qt.
//
// Lines are typed at line inputs. A "Weiter..." (INKEY) wait gets a Return of
// its own unless the file's next key is one, so that a command is never eaten
// by a key wait; a question that takes one key takes the line's first key.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "launcher/KeyScript.h"

// What the replay asks of its host; all called on the host's main thread.
struct KeyReplayHooks {
  // Types one key into the text window, as the keyboard would.
  std::function<void(const ScriptKey&)> typeKey;
  // What a {Menu N} of the key file does with N.
  std::function<void(int tag)> chooseMenuItem;
  // Runs work on the main thread after the delay (the replay lives longer
  // than the host's loop serves it).
  std::function<void(std::chrono::milliseconds, std::function<void()>)> runAfter;
  // The keys are typed, or the program ended; called once.
  std::function<void()> finished;
};

class KeyReplay {
 public:
  KeyReplay(KeyScript script, KeyReplayHooks hooks);

  // Main thread, after each notice of the program's waits (InputWait.h) and
  // once at the start: types the next key when the program waits for one
  // with nothing queued, or finishes.
  void programChanged();

  bool isFinished() const { return finished_; }
  std::size_t keysTyped() const { return next_; }
  // The file's line of the first key not typed; 0 when none is left but line
  // ends (blank lines at the end are no keys a reader notices).
  int firstUnusedLine() const;
  // "line N: ..." for each line typed at a wait it does not fit (more than one
  // key at a wait for one key). Read after the run.
  const std::vector<std::string>& misfits() const { return misfits_; }

 private:
  void finish();
  // Serves a wait for one key; false when the keys are used up.
  bool answerKeyWait(bool poll);

  KeyReplayHooks hooks_;
  std::vector<ScriptKey> keys_;
  std::vector<int> lines_;
  std::vector<std::string> misfits_;
  std::size_t next_ = 0;
  bool finished_ = false;
  // The wait last given a key: a wait is served once, however many notices
  // about it arrive.
  std::uint64_t servedWait_ = 0;
};
