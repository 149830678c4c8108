// Words a game declares for its players with WORDS statements (in scene 0):
// filler words and rewrites applied after the built-in synonym rules, blank
// normalisation, comparison that treats ä/ae, ö/oe, ü/ue and ß/ss alike, and
// extra help lines; plus WORDS GUESS, the "Meintest Du …?" answer for a
// command one letter away from what the game knows. A game that declares
// nothing gets none of it: every hook below then leaves its input as it is.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "support/Text.h"

struct GameState;

// Part of the game state: saved and taken back with it.
struct AuthorWords {
  bool normaliseBlanks = false;  // WORDS BLANKS
  bool foldUmlauts = false;      // WORDS FOLD
  std::vector<Text> fillers;     // WORDS FILLER, lower case
  // WORDS REWRITE from = to, lower case, in the order declared.
  std::vector<std::pair<Text, Text>> rewrites;
  std::vector<Text> helpLines;  // WORDS HELP, printed after the built-in help
  // WORDS COMMANDS: the commands players type out of habit (HabitCommands.h),
  // trailing . ! ? and commas between commands, history on Up and Down.
  bool commands = false;
  // WORDS QUIET n: a take or drop that succeeds sets flag n before the scene
  // starts again, so that the scene can come back without its description.
  int quietFlag = -1;
  // WORDS CAPTION picture = text: a picture in words, for players who do not
  // see it. The picture's name (without ".gr") in lower case.
  std::vector<std::pair<Text, Text>> captions;
};

// A caption longer than this is cut: it is read aloud whenever the picture shows.
inline constexpr std::size_t kMaxCaptionLength = 200;

// --- Hooks of the parser and the interpreter ----------------------------------
// Before the synonym rules: blanks trimmed and collapsed when declared.
Text VelmoratWordsBeforeSynonyms(const Text& command, const AuthorWords& words);
// After the synonym rules: the fillers dropped, then the rewrites, when declared.
Text VelmoratWordsAfterSynonyms(const Text& command, const AuthorWords& words);
// The key under which item names and COMPARE texts are compared: upper case,
// and with WORDS FOLD also Ä, Ö, Ü as AE, OE, UE (ß is SS in upper case).
Text VelmoratComparisonKey(const Text& text, const AuthorWords& words);
// COMPARE remembers what it tested (game.ComparedSinceInput, which INPUT
// empties): what the scene understands, for WORDS GUESS.
void VelmoratRememberCompared(GameState& game, const Text& compared);
// Runs a WORDS line (the statement table's row).
void VelmoratRunWords(GameState& game, const Text& line);

// --- The pieces, for check-script and tests -------------------------------
// Why a WORDS line is malformed, or empty when it is sound. isDeclaration
// tells whether it declares (anything but GUESS).
std::string VelmoratWordsFault(const Text& line, bool& isDeclaration);
// What check-script says of a WORDS CAPTION line whose text is empty or
// longer than kMaxCaptionLength (the game ignores or cuts it); empty otherwise.
std::string VelmoratCaptionFault(const Text& line);
// The caption declared for a picture (name without ".gr", any case); empty
// when there is none.
Text VelmoratPictureCaption(const AuthorWords& words, const Text& picture);
// True when a and b differ by exactly one letter: one inserted, removed or
// replaced, or two neighbours swapped.
bool VelmoratOneLetterApart(const Text& a, const Text& b);
// The command the player probably meant: a compared text one letter away
// from command, or command with one word replaced by an item name or a word
// of a compared text one letter away from it, compared under words' folding,
// when the result is a compared text or a look, take or drop of an item (a
// guess the game would refuse is no help). Empty when there is none.
Text VelmoratGuessCommand(const Text& command, const std::vector<Text>& compared,
                          const std::vector<Text>& itemNames, const AuthorWords& words);
// The index of the first word of command that is neither an item name, nor a
// word of a compared text, nor one of the engine's verbs; npos when all are.
std::size_t VelmoratUnknownWord(const Text& command, const std::vector<Text>& compared,
                                const std::vector<Text>& itemNames, const AuthorWords& words);
