// Scripted play: types the keys of a key file into the text window's view, one
// each time the program waits for input, and ends a headless run when the
// program has ended or waits for a key that the file does not have.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/qt/MainThreadQueue.h"
#include "launcher/CommandLine.h"
#include "launcher/KeyScript.h"

class QWidget;

class ScriptedPlay : public QObject {
 public:
  // view: where the keys go (View00). chooseMenuItem: what a {Menu N} of the
  // key file does with N. endWhenDone: quit the application when the run is
  // over (headless); otherwise the application stays open.
  ScriptedPlay(QWidget* view, std::function<void(int tag)> chooseMenuItem,
               std::vector<ScriptKey> keys, bool endWhenDone);
  ~ScriptedPlay() override;
  // Call after the program thread has been started: from here on each input
  // wait that the program publishes (InputWait.h) gets the next key.
  void start();
  std::size_t keysTyped() const { return next_; }

 private:
  // On the main thread, after a notice from the program: types the next key
  // when the program waits for one with nothing queued, or ends the run.
  void programChanged();
  void finish();

  QWidget* view_;
  std::function<void(int tag)> chooseMenuItem_;
  std::vector<ScriptKey> keys_;
  std::size_t next_ = 0;
  bool endWhenDone_;
  bool finished_ = false;
  // The wait last given a key: a wait is served once, however many notices
  // about it arrive.
  std::uint64_t servedWait_ = 0;
  // The program's notices come through it; those still queued go with this
  // object.
  MainThreadQueue notices_;
};

// Sends one key of a key file to the widget as a press and a release, the way
// the window system would deliver it.
void typeScriptKey(QWidget* view, const ScriptKey& key);

// Writes what --dump-text and --dump-window ask for; false (after a message on
// standard error) when a file cannot be written or the window has no image.
bool writeDumps(const CommandLine& line);
