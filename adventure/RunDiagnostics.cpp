#include "adventure/RunDiagnostics.h"

#include <algorithm>

#include "adventure/DataFile.h"
#include "adventure/GameState.h"
#include "adventure/Interpreter.h"
#include "adventure/Progress.h"
#include "adventure/TextBuild.h"
#include "support/Log.h"
#include "support/qbtools.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Events.h"

namespace {

constexpr int kYesKey = 'J';

void printLine(const std::string& utf8) {
  VelmoratPrintMessage(adventure::latin1(utf8));
}

}  // namespace

std::string VelmoratPlaceName(const ScriptPlace& place) {
  return VelmoratDataFileName(place.scene) + " #" + formatnumber(place.line, '0', 3, false);
}

void VelmoratNoteScriptMessage(GameState& game, const Text& message, bool isFailure) {
  RunDiagnostics& diagnostics = game.Diagnostics;
  const std::string place = VelmoratPlaceName(diagnostics.running);
  logLine(place + ": " + textforlog(message));
  if (diagnostics.authorRun) printLine("    (" + place + ")");
  if (!isFailure) return;
  diagnostics.failureRepeated = diagnostics.lastFailure == diagnostics.running &&
                                diagnostics.commandsAtLastFailure == diagnostics.commandsTaken;
  diagnostics.lastFailure = diagnostics.running;
  diagnostics.commandsAtLastFailure = diagnostics.commandsTaken;
}

bool VelmoratCountStatement(GameState& game, bool waited) {
  RunDiagnostics& diagnostics = game.Diagnostics;
  if (waited) {
    diagnostics.statementsSinceWait = 0;
    diagnostics.lowestLineNearLimit = INT_MAX;
    return false;
  }
  ++diagnostics.statementsSinceWait;
  // The loop's first line is looked for in the last hundredth before the limit.
  const std::size_t limit = diagnostics.endlessLoopStatements;
  if (diagnostics.statementsSinceWait + limit / 100 >= limit &&
      diagnostics.running.scene == game.CurrentScene) {
    diagnostics.lowestLineNearLimit =
        std::min(diagnostics.lowestLineNearLimit, diagnostics.running.line);
  }
  if (diagnostics.statementsSinceWait < limit) return false;
  // The loop is reported where it starts, so that the repeat rule sees the
  // same place each time it comes round.
  diagnostics.running = {game.CurrentScene,
                         std::min(diagnostics.lowestLineNearLimit, diagnostics.running.line)};
  diagnostics.statementsSinceWait = 0;
  diagnostics.lowestLineNearLimit = INT_MAX;
  VelmoratScriptFailure(
      game,
      adventure::latin1("*** Endlosschleife in " + VelmoratDataFileName(game.CurrentScene) +
                        " ab #" + formatnumber(diagnostics.running.line, '0', 3, false) + "?"));
  if (diagnostics.authorRun) {
    printLine("*** Das Skript wurde angehalten.");
    game.ScriptError = false;
    game.QuitRequested = true;
  }
  return true;
}

bool VelmoratStopRepeatedFailure(GameState& game) {
  RunDiagnostics& diagnostics = game.Diagnostics;
  if (!diagnostics.failureRepeated) return false;
  diagnostics.failureRepeated = false;
  game.ScriptError = false;
  const std::uint8_t window = VelmoratTextWindow();
  t_Cr(window);
  if (diagnostics.authorRun) {
    printLine("*** Der Fehler kam ohne Befehl dazwischen wieder: das Skript wurde angehalten.");
    game.QuitRequested = true;
    return true;
  }
  t_Print(window, std::string("Der Fehler kam wieder. Letzten Stand laden <J/N> ? "));
  const std::string key = t_KeyWait(window);
  t_Cr(window);
  if (chrupper(asc(key)) == kYesKey && VelmoratLoadLastState(game)) {
    game.ProgramCounter = 0;
    diagnostics.statementsSinceWait = 0;
    return true;
  }
  game.QuitRequested = true;
  return true;
}
