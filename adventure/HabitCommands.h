// The commands players type out of habit from other adventures, for a game
// that declares WORDS COMMANDS: saving, loading and taking back as words,
// starting anew and ending (each asked first), repeating the last command,
// waiting, replacing the word the game did not know (oops), and answering
// "Meintest Du »…«?" with ja. Such a game also gets its typed lines cut into
// commands: trailing . ! ? go, and a comma separates two commands.
//
// A game without the declaration never reaches anything here: its line is
// one command, passed on as typed. Program thread only.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "adventure/GameState.h"
#include "support/Text.h"

enum class HabitKind {
  None,      // not one of these commands: the line goes on as typed
  Answered,  // answered in the text window; the player is asked again
  Run,       // run line instead of what was typed
  Replaced,  // a load, a take-back or a new start replaced the game
  Ended,     // the player ended the program
};

struct HabitAnswer {
  HabitKind kind = HabitKind::None;
  std::string line;  // Run: the command to run (UTF-8)
};

// The commands of one typed line, in order: the line itself without the
// declaration; with it, the pieces between commas, each without blanks and
// trailing . ! ? at its end, empty pieces left out (an empty line stays one
// empty command, which asks again).
std::vector<std::string> VelmoratSplitTypedLine(const std::string& line, const AuthorWords& words);

// Commands of a typed line that wait for the next prompt, oldest first.
void VelmoratQueueCommands(GameState& game, std::vector<std::string> commands);
std::optional<std::string> VelmoratNextQueuedCommand(GameState& game);

// What line is as a habit command; HabitKind::None without the declaration.
HabitAnswer VelmoratHabitCommand(GameState& game, const std::string& line);

// A command goes to the engine or the script: it is the one nochmal repeats,
// and the guess and the unknown word of the command before are forgotten.
void VelmoratCommandRuns(GameState& game, const std::string& line);

// WORDS GUESS answered command: the suggestion it printed (empty for none),
// and the word of command that the game does not know (npos for none).
void VelmoratRememberGuess(GameState& game, const Text& command, const Text& suggestion,
                           std::size_t unknownWord);

// True once the player ended the program with a habit command (ende): the
// main routine then stops without the replay question.
bool VelmoratPlayerEnded(const GameState& game);

// A new game or a replaced one: queued commands, the last command, the guess
// and the end are forgotten.
void VelmoratForgetHabits(GameState& game);
