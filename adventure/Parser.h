// The player's command: prompt, normalisation (lower case, synonyms) and the
// commands every scene shares (look, take, drop, inventory, directions, help,
// trace, insults). What is left goes back to the script's INPUT.
#pragma once

#include <string>

#include "adventure/GameState.h"
#include "support/Text.h"

// The normalised command, never empty; or, when a menu item or an opened save
// replaced the game while the prompt waited, the restored game's LastInput
// (its scene file then starts anew, ProgramCounter being -1).
Text VelmoratInput(GameState& game);

// Lower case Latin-1 bytes with the synonym rules applied, and the words the
// game declared.
Text VelmoratNormaliseCommand(const std::string& typedLine, const AuthorWords& words = {});

// Prints an item list (", "-separated) with word wrap in the text window.
void VelmoratPrintList(const Text& list);

// The lines that the command "hilfe" prints: the built-in lines, then those
// the game declared (WORDS HELP). Each prompt publishes them for the host's
// help window (Session::publishHelp).
std::vector<Text> VelmoratHelpLines(const AuthorWords& words);
