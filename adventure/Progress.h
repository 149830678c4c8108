// Keeping the player's progress: saved games (the menu items "Spiel laden…"
// and "Spiel sichern…", saves opened as documents), the autosave after every
// command, the moves that can be taken back, and the session's transcript on
// paper and in a file. None of it reaches the script: requests come through
// menus and documents, answers are one line in the text window.
//
// Menu items and opened files are queued by the host at any time; the program
// takes them while it waits for a command or for the answer to the replay
// question, because loading, saving and taking back read or replace the game
// state, which only the program thread touches. Everything here runs on the
// program thread except the menu handler installed by VelmoratPrepareProgress.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "adventure/GameState.h"
#include "adventure/Session.h"
#include "toolbox/windows/Events.h"

inline constexpr std::size_t kUndoSteps = 100;

// Where the autosave lives: velmorat/Letzter Stand.velmorat in the session's
// state folder (StateFolder): $XDG_STATE_HOME, or $HOME/.local/state when
// that is not an absolute path, or its own folder; empty when there is none.
std::string VelmoratAutosavePath(const Session& session);
// The run offers its last state, which exists and belongs to the data of
// game: the main routine then asks whether to continue from it.
bool VelmoratLastStateAvailable(GameState& game);

// Registers the game's panel entries (100 and 101) with their panel fields,
// installs the program's menu handler and keeps the transcript of the text
// window in session. Main routine, once, after the windows are set up.
void VelmoratPrepareProgress(Session& session);
// Takes the handlers that VelmoratPrepareProgress installed back from the
// toolbox, for an owner whose session goes while the process goes on (a test
// with several runs). After the program thread has ended.
void VelmoratReleaseProgress();

// A copy of the game's progress for keeping: the session's parts (the data
// file's lines, the picture, the fonts) are left out. game is unchanged.
GameState VelmoratProgressOf(GameState& game);

// A new game begins: nothing can be taken back yet (the autosave stays).
void VelmoratProgressNewGame(GameState& game);
// The script asks for a command: when a command has reached the script since
// the last time, the state is kept as the autosave.
void VelmoratProgressAtPrompt(GameState& game);
// The line typed reached the script; before is the state it was typed in
// (from VelmoratProgressOf). It becomes the newest step that can be taken back.
void VelmoratProgressCommandTaken(GameState& game, const std::string& typedLine, GameState before);

// What of the menu and file queues the program has taken; a wait for a key
// that should end for new requests compares with it (t_KeyWaitOrEvent).
t_EventCounts VelmoratProgressSeen(const GameState& game);
// Takes the menu items and files queued since the last look; true when some
// of them are requests for the program.
bool VelmoratTakeProgressRequests(GameState& game);

enum class ProgressOutcome {
  Unchanged,  // answered (or nothing to do); the game goes on where it was
  Replaced,   // a load or a take-back replaced the game: its scene starts anew
};
// Carries out the taken requests in the order they came, each answered by one
// line in the text window; beforeFirstLine runs once before the first line.
// gameRunning is false at the replay question and before the first game: an
// ended game is not saved, and a load or take-back there leaves nothing to
// take back. After Replaced the game's scene file is loaded and its
// ProgramCounter is -1, as after a move.
ProgressOutcome VelmoratCarryOutProgressRequests(GameState& game, bool gameRunning,
                                                 const std::function<void()>& beforeFirstLine);

// Loads the autosave into the running game, answering with one line; false
// (after saying why) when there is none or it is refused. After true the
// game's scene file is loaded and its ProgramCounter is -1, as after a move.
bool VelmoratLoadLastState(GameState& game);
// A request typed as a command: queued as if its menu item had been chosen
// (with path, the file its panel gave), carried out by the next
// VelmoratCarryOutProgressRequests.
void VelmoratQueueProgressRequest(GameState& game, int tag, const std::string& path = {});
// The game starts anew from scene 0 (its file runs from the first line after
// INPUT, and declares the world again); the state before can be taken back.
void VelmoratStartAnew(GameState& game);
