// What the interpreter watches while a game runs, for authors and players
// alike: where each "*** " message comes from (the log names the data file and
// line index, "DATA001.word #006"), an error that comes back at the same line
// with no command in between (the reload would repeat it for ever), and a
// script that runs on without ever waiting for the player.
//
// The author's run (velmorat --author) shows the place on screen too, stops
// the script on a repeated error or an endless loop, and takes the debug
// commands (AuthorCommands.h). A player's run is offered the last state instead.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "support/Text.h"

struct GameState;

struct ScriptPlace {
  int scene = INT_MIN;  // INT_MIN: no place yet
  int line = -1;
  bool operator==(const ScriptPlace&) const = default;
};

// Statements run without INPUT or INKEY before the script counts as an endless loop.
inline constexpr std::size_t kEndlessLoopStatements = 1'000'000;

struct RunDiagnostics {
  bool authorRun = false;
  ScriptPlace running;  // the line the interpreter executes
  // The last "*** " failure, and how many commands the script had received then.
  ScriptPlace lastFailure;
  std::uint64_t commandsAtLastFailure = 0;
  bool failureRepeated = false;
  std::uint64_t commandsTaken = 0;  // commands INPUT returned to the script
  // Statements without a wait that make an endless loop (tests take fewer).
  std::size_t endlessLoopStatements = kEndlessLoopStatements;
  std::size_t statementsSinceWait = 0;
  int lowestLineNearLimit = INT_MAX;
  bool traceLines = false;  // #trace: executed lines go to the virtual printer
  std::string traceText;    // those lines, the newest 64 KiB
  // The author's run: receives the game's state as text (scene, flags, items)
  // at every prompt, for a window that follows it (VelmoratPublishState).
  std::function<void(const std::string& report)> stateListener;
  std::map<int, std::string> flagNames;  // from the scripts' comments, read once
  bool flagNamesRead = false;
};

// "DATA001.word #006".
std::string VelmoratPlaceName(const ScriptPlace& place);

// A "*** " message was shown at the running line: logged with its place, the
// place shown below it in the author's run, and remembered for the repeat rule.
void VelmoratNoteScriptMessage(GameState& game, const Text& message, bool isFailure);

// After each executed line: counts it (waited tells INPUT and INKEY, which
// start the count anew). True when the script has now run
// kEndlessLoopStatements lines without waiting; the failure is then reported.
bool VelmoratCountStatement(GameState& game, bool waited);

// The reload after a failure would repeat it: in the author's run the script
// stops; in a player's run the last state is offered, else the game ends.
// True when it took care of the failure (no reload is wanted).
bool VelmoratStopRepeatedFailure(GameState& game);
