// Scripted play: types the keys of a key file into the text window's view, one
// at a time as the program takes them, and ends a headless run when the
// program has ended or waits for a key that the file does not have.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "host/qt/CommandLine.h"
#include "host/qt/KeyScript.h"

class QWidget;

class ScriptedPlay : public QObject {
 public:
  // view: where the keys go (View00). chooseMenuItem: what a {Menu N} of the
  // key file does with N. endWhenDone: quit the application when the run is
  // over (headless); otherwise the application stays open.
  ScriptedPlay(QWidget* view, std::function<void(int tag)> chooseMenuItem,
               std::vector<ScriptKey> keys, bool endWhenDone);
  void start();
  std::size_t keysTyped() const { return next_; }

 private:
  void poll();
  // Looks at the program: it waits for a key in t_KeyWait (KeyWaiting), or
  // its thread sleeps without using the processor (INKEY polls that way).
  void observeProgram();
  bool programThreadSleeps();
  std::chrono::steady_clock::duration keyWaitingFor() const;
  std::chrono::steady_clock::duration sleepingFor() const;

  QWidget* view_;
  std::function<void(int tag)> chooseMenuItem_;
  std::vector<ScriptKey> keys_;
  std::size_t next_ = 0;
  bool endWhenDone_;
  bool programSeen_ = false;
  QTimer timer_;
  std::chrono::steady_clock::time_point now_{};
  std::chrono::steady_clock::time_point keyWaitingSince_{};
  std::chrono::steady_clock::time_point sleepingSince_{};
  bool keyWaiting_ = false;
  bool sleeping_ = false;
  long long lastCpuTicks_ = -1;
};

// Sends one key of a key file to the widget as a press and a release, the way
// the window system would deliver it.
void typeScriptKey(QWidget* view, const ScriptKey& key);

// Writes what --dump-text and --dump-window ask for; false (after a message on
// standard error) when a file cannot be written or the window has no image.
bool writeDumps(const CommandLine& line);
