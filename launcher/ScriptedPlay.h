// Scripted play: types the keys of a key file into the text window's view, one
// each time the program waits for input, and ends a headless run when the
// program has ended or waits for a key that the file does not have.
//
// Lines are typed at line inputs. A "Weiter..." (INKEY) wait gets a Return of
// its own unless the file's next key is one, so that a command is never eaten
// by a key wait; a question that takes one key takes the line's first key.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "adventure/Session.h"
#include "host/qt/MainThreadQueue.h"
#include "launcher/CommandLine.h"
#include "launcher/KeyScript.h"
#include "toolbox/windows/InputWait.h"

class QWidget;

class ScriptedPlay : public QObject {
 public:
  // view: where the keys go (View00). chooseMenuItem: what a {Menu N} of the
  // key file does with N. endWhenDone: quit the application when the run is
  // over (headless); otherwise the application stays open.
  ScriptedPlay(QWidget* view, std::function<void(int tag)> chooseMenuItem, KeyScript script,
               bool endWhenDone);
  ~ScriptedPlay() override;
  // Call after the program thread has been started: from here on each input
  // wait that the program publishes (InputWait.h) gets the next key.
  void start();
  // Runs on the main thread once the keys are typed (or the program ended),
  // before a headless run ends.
  void setWhenDone(std::function<void()> whenDone) { whenDone_ = std::move(whenDone); }
  std::size_t keysTyped() const { return next_; }
  // The file's line of the first key not typed; 0 when none is left but line
  // ends (blank lines at the end are no keys a reader notices).
  int firstUnusedLine() const;
  // "line N: ..." for each line typed at a wait it does not fit (more than one
  // key at a wait for one key). Read after the run.
  const std::vector<std::string>& misfits() const { return misfits_; }

 private:
  // On the main thread, after a notice from the program: types the next key
  // when the program waits for one with nothing queued, or ends the run.
  void programChanged();
  void finish();
  // Serves a wait for one key; false when the keys are used up.
  bool answerKeyWait(InputWaitKind kind);

  QWidget* view_;
  std::function<void(int tag)> chooseMenuItem_;
  std::function<void()> whenDone_;
  std::vector<ScriptKey> keys_;
  std::vector<int> lines_;
  std::vector<std::string> misfits_;
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

// Writes what --dump-text, --dump-transcript and --dump-window ask for; false (after a message on
// standard error) when a file cannot be written or the window has no image.
bool writeDumps(const CommandLine& line, const Session& session);
