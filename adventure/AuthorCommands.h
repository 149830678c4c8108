// The author's debug commands, typed at the command prompt in the author's
// run (velmorat --author) and nowhere else: in a player's run a line that
// begins with "#" is an ordinary command for the script.
//
//   #zustand            scene, line, exits, condition, last command
//   #flags              the flags that are set, with their names
//   #gegenstände        where every item is
//   #setze N, #lösche N set or clear flag N
//   #gehe N             start scene N (its file from the first line)
//   #hole NAME          the item, taken from wherever it lies
//   #trace              executed lines to the virtual printer, until #trace again
//
// Flag names come from comment lines of the scripts: "REM Flags: 1 gate key
// found, 2 gate unlocked" (entries "N name" separated by commas) or
// "REM Flag 44: picture drawn anew" (also after // or ').
#pragma once

#include <string>
#include <vector>

#include "adventure/GameState.h"
#include "support/Text.h"

enum class AuthorCommandOutcome {
  NotACommand,   // the line goes on to the parser
  Answered,      // answered in the text window: the player is asked again
  SceneChanged,  // #gehe: the new scene's file is loaded, ProgramCounter is -1
};

AuthorCommandOutcome VelmoratAuthorCommand(GameState& game, const std::string& typedLine);

// Under #trace: keeps an executed line for the printer window.
void VelmoratTraceLine(GameState& game, const Text& line);
// Under #trace: the lines kept since the last prompt go to the printer window.
void VelmoratShowTrace(GameState& game);

// The author's run with a state listener: hands it the state report (the
// lines of #zustand, #flags and #gegenstände under their headings).
void VelmoratPublishState(GameState& game);

// The names of the flags that the comment lines give ("REM Flags: 1 key, 2 door").
std::vector<std::pair<int, std::string>> VelmoratFlagNames(const std::vector<Text>& lines);
