// Scripted play: types the keys of a key file into the text window's view, one
// at a time as the program takes them, and ends a headless run when the
// program has ended or waits for a key that the file does not have.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <string>
#include <vector>

#include "host/qt/CommandLine.h"
#include "host/qt/KeyScript.h"

class QWidget;

class ScriptedPlay : public QObject {
 public:
  // view: where the keys go (View00). endWhenDone: quit the application when
  // the run is over (headless); otherwise the application stays open.
  ScriptedPlay(QWidget* view, std::vector<ScriptKey> keys, bool endWhenDone);
  void start();
  std::size_t keysTyped() const { return next_; }

 private:
  void poll();
  // The program waits for a key: KeyWaiting says so (once the toolbox has
  // been seen to set it), otherwise its thread has slept for a while.
  bool programWaits(std::chrono::milliseconds steadyFor);
  bool programThreadSleeps();

  QWidget* view_;
  std::vector<ScriptKey> keys_;
  std::size_t next_ = 0;
  bool endWhenDone_;
  bool programSeen_ = false;
  QTimer timer_;
  std::chrono::steady_clock::time_point waitingSince_{};
  bool waiting_ = false;
  bool keyWaitingSeen_ = false;
  long long lastCpuTicks_ = -1;
};

// Sends one key of a key file to the widget as a press and a release, the way
// the window system would deliver it.
void typeScriptKey(QWidget* view, const ScriptKey& key);

// Writes what --dump-text and --dump-window ask for; false (after a message on
// standard error) when a file cannot be written or the window has no image.
bool writeDumps(const CommandLine& line);
