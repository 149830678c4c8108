// The script interpreter: runs the lines of the current data file on the
// program thread, one statement per line, on the game state it is handed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "adventure/GameState.h"
#include "support/Text.h"

// Runs lines while 0 <= ProgramCounter < ScriptLines.size() and QuitRequested
// is false; after a failed statement waits for a key and reloads the scene.
// maxLines bounds the lines run (the fuzz target's budget; the game has none).
void VelmoratRunScript(GameState& game, std::size_t maxLines = SIZE_MAX);

// Executes one line (the statement table); sets ScriptError on a failure.
void VelmoratExecuteLine(GameState& game, const Text& line);

// Prints a message in the text window followed by a line end.
void VelmoratPrintMessage(const Text& message);
void VelmoratPrintMessage(const std::string& utf8Message);
// Prints a "*** " message and sets ScriptError; the log names its place.
void VelmoratScriptFailure(GameState& game, const Text& message);
// Prints a "*** " warning that leaves the script running; the log names its place.
void VelmoratScriptNotice(GameState& game, const Text& message);
// How many "***" messages the text window has shown since the program began
// (a headless run reports them in its exit status). Any thread.
std::uint64_t VelmoratScriptMessagesShown();

// Draws line 1 of the text window: SceneTitle (with the scene number under
// TRACE) on the left, "Ausgänge: " + SceneExits on the right.
void VelmoratStatusLine(GameState& game);
