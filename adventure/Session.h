// One run of the game, beyond the game state: the player's progress (the
// moves that can be taken back, the requests from menus and opened files that
// wait for the program, the autosave's marks), the transcript of the text
// window and the help that the last prompt published. The program's main
// routine owns it and hands it to the game (GameState::session) and to the
// host's menu actions; it outlives the program thread, which is joined before
// the session goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "adventure/CommandPrompt.h"
#include "adventure/GameState.h"
#include "adventure/SaveGame.h"
#include "support/Text.h"
#include "toolbox/windows/Events.h"

// The oldest transcript lines go beyond this (about 8 MB of text, days of play).
inline constexpr std::size_t kMaxTranscriptLines = 100000;

// The player's state folder for this run, chosen by the program's command
// line before the game starts.
enum class StateFolder {
  Unchosen,  // the player's; nothing is offered at start (tests, tools)
  Player,    // the player's, and the last state is offered at start
  Own,       // a folder of its own (--state DIR), and the last state is offered at start
  None,      // none at all: scripted and headless runs keep the player's alone
};

// The progress of the run. Program thread only.
struct SessionProgress {
  struct Request {
    int tag = 0;  // a menu tag of MenuTags.h, or a file opened with the program
    std::string path;
  };
  // A step that can be taken back: the state a command was typed in.
  struct Step {
    GameState before;
    std::string typedLine;
  };
  t_EventCounts seen;  // what of the menu and file queues the program has taken
  std::vector<Request> pending;
  std::deque<Step> steps;  // oldest first
  bool commandSinceAutosave = false;
  bool autosaveFailureShown = false;
  std::string identityOf;  // the data folder whose identity is known
  SaveIdentity identity;
};

// The player's command habits. Program thread only.
struct SessionHabits {
  std::deque<std::string> queued;  // the commands left of the last typed line
  std::string lastCommand;
  Text guessedFrom;  // the command WORDS GUESS answered
  Text suggestion;   // what it proposed, empty for nothing
  std::size_t unknownWord = std::string::npos;
  bool ended = false;  // the player ended the program (ende)
};

class Session {
 public:
  // Starts after the menu items and files queued so far: they belong to an
  // earlier run in this process.
  Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  SessionProgress progress;
  SessionHabits habits;
  // The commands of this session, newest last (Ctrl-P, Ctrl-N). Program thread.
  InputHistory commandHistory{kCommandHistoryLines};

  // Called on the program thread with each line that the command prompt
  // returns, as typed (UTF-8); velmorat --record-keys writes them down. Set
  // it before the program starts; an empty function removes it.
  void setCommandListener(std::function<void(const std::string&)> listener);
  void tellCommandListener(const std::string& line);

  // Any thread; chosen before the program starts.
  void useStateFolder(StateFolder kind, const std::string& folder = {});
  StateFolder stateFolderKind() const;
  std::string ownStateFolder() const;

  // How many chosen menu items the program's menu handler has looked at; the
  // handler runs on workers, one at a time under this lock.
  std::mutex menuNoticesLock;
  std::size_t menuNoticesSeen = 0;

  // The transcript: every line the text window's text area has shown, oldest
  // first, with the player's commands after the prompt as typed. Lines that
  // scroll out of the area are kept here; the lines still on screen are read
  // from the window, so the transcript and the screen never disagree. The
  // status line above the area is not part of it.
  // The toolbox's scrolled-line handler (program thread).
  void keepScrolledLine(std::uint8_t window, const std::string& lineUtf8);
  // UTF-8, each line ended by a line feed; the empty lines at the end of the
  // screen are left out. Any thread.
  std::string transcript() const;
  // The lines kept so far, for the host's view of the past: their number,
  // and count of them from index first (0 = oldest). Any thread.
  std::size_t transcriptLineCount() const;
  std::vector<std::string> transcriptLines(std::size_t first, std::size_t count) const;

  // The help as of the last prompt: the program thread publishes it, the
  // host's main thread reads it (lines ended by a line feed) when the player
  // opens the help window.
  void publishHelp(std::vector<Text> lines);
  std::string helpText() const;

 private:
  std::mutex listenerLock_;
  std::function<void(const std::string&)> commandListener_;

  mutable std::mutex stateFolderLock_;
  StateFolder stateFolderKind_ = StateFolder::Unchosen;
  std::string ownStateFolder_;

  mutable std::mutex transcriptLock_;
  std::deque<std::string> scrolledLines_;

  mutable std::mutex helpLock_;
  std::vector<Text> helpLines_;
};
