// Scripted play in the terminal (velmorat --terminal --keys FILE): the keys
// typed into the game as the terminal's own key presses, after which the
// player goes on. A terminal game is ended by a signal that leaves no time
// for last words, so the transcript of --dump-transcript is written anew at
// every wait once the keys are typed, and the changes of --show-changes are shown in the terminal's
// window over the game as soon as the keys are typed. The watcher's notes
// (--show-notes FILE, a failed build's faults) show there on SIGUSR1: the
// watcher cannot write into a screen the game draws.
#pragma once

#include <memory>

#include "adventure/Session.h"
#include "host/terminal/InputDecoder.h"
#include "host/terminal/TerminalHost.h"
#include "launcher/CommandLine.h"
#include "launcher/KeyReplay.h"
#include "launcher/KeyScript.h"

class TerminalScriptedPlay {
 public:
  // Everything given is kept by reference and must outlive this object.
  TerminalScriptedPlay(terminal::TerminalHost& console, Session& session, const CommandLine& line,
                       KeyScript script);
  ~TerminalScriptedPlay();
  TerminalScriptedPlay(const TerminalScriptedPlay&) = delete;
  TerminalScriptedPlay& operator=(const TerminalScriptedPlay&) = delete;

  // Main thread, once the program thread has been started.
  void start();

 private:
  void programWaits();
  void showNotes();

  terminal::TerminalHost& console_;
  Session& session_;
  const CommandLine& line_;
  KeyReplay replay_;
};

// A key of a key file as the terminal would decode it.
terminal::InputEvent terminalKeyOf(const ScriptKey& key);
