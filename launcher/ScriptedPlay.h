// Scripted play on the desktop: the keys of a key file typed into the text
// window's view (KeyReplay decides which key goes to which wait), ending a
// headless run when the program has ended or waits for a key that the file
// does not have.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "adventure/Session.h"
#include "host/qt/MainThreadQueue.h"
#include "launcher/CommandLine.h"
#include "launcher/KeyReplay.h"
#include "launcher/KeyScript.h"

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
  bool finished() const { return replay_.isFinished(); }
  std::size_t keysTyped() const { return replay_.keysTyped(); }
  int firstUnusedLine() const { return replay_.firstUnusedLine(); }
  const std::vector<std::string>& misfits() const { return replay_.misfits(); }

 private:
  void finish();

  QWidget* view_;
  std::function<void()> whenDone_;
  bool endWhenDone_;
  KeyReplay replay_;
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
