// The script interpreter: runs the lines of the current data file on the
// program thread, one statement per line, with the world in GameState.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/Text.h"

// Runs lines while 0 <= ProgramCounter < ScriptLines.size() and QuitRequested
// is false; after a failed statement waits for a key and reloads the scene.
// maxLines bounds the lines run (the fuzz target's budget; the game has none).
void VelmoratRunScript(std::size_t maxLines = SIZE_MAX);

// Executes one line (the statement table); sets ScriptError on a failure.
void VelmoratExecuteLine(const Text& line);

// Prints a message in the text window followed by a line end.
void VelmoratPrintMessage(const Text& message);
void VelmoratPrintMessage(const std::string& utf8Message);
// Prints a "*** " message and sets ScriptError.
void VelmoratScriptFailure(const Text& message);

// Draws line 1 of the text window: title (with the scene number under TRACE)
// on the left, "Ausgänge: " + exits on the right.
void VelmoratStatusLine(const Text& title, const Text& exits);

// The number of the item called name, case folded; 0 if none.
int VelmoratFindItem(const Text& name);

// No item lies in any scene.
void VelmoratClearSceneItems();

// The keyword of the statement that the line is ("GOTO", "?", "" for an empty
// line), found in the interpreter's test order; nullptr for an unknown line.
// The script checker reads lines the way the interpreter does through it.
const char* VelmoratStatementKeyword(const Text& line);
