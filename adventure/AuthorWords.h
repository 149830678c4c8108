// Words a game declares for its players with WORDS statements (in scene 0):
// rewrites applied after the built-in synonym rules, filler words, blank
// normalisation, comparison that treats ä/ae, ö/oe, ü/ue and ß/ss alike, and
// extra help lines; plus WORDS GUESS, the "Meintest Du …?" answer for a
// command one letter away from what the game knows. A game that declares
// nothing gets none of it: every hook below then leaves its input as it is.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/Text.h"

struct AuthorWords {
  bool normaliseBlanks = false;  // WORDS BLANKS
  bool foldUmlauts = false;      // WORDS FOLD
  std::vector<Text> fillers;     // WORDS FILLER, lower case
  // WORDS REWRITE from = to, lower case, in the order declared.
  std::vector<std::pair<Text, Text>> rewrites;
  std::vector<Text> helpLines;  // WORDS HELP, printed after the built-in help
};

// The declarations of the running game; a new game starts without any.
extern AuthorWords DeclaredWords;
// The texts that COMPARE statements tested since the last INPUT (what the
// scene understands), for WORDS GUESS.
extern std::vector<Text> ComparedSinceInput;

void VelmoratResetAuthorWords();

// --- Hooks of the parser and the interpreter ----------------------------------
// Before the synonym rules: blanks trimmed and collapsed when declared.
Text VelmoratWordsBeforeSynonyms(const Text& command);
// After the synonym rules: the rewrites, then the fillers, when declared.
Text VelmoratWordsAfterSynonyms(const Text& command);
// The key under which item names and COMPARE texts are compared: upper case,
// and with WORDS FOLD also Ä, Ö, Ü as AE, OE, UE (ß is SS in upper case).
Text VelmoratComparisonKey(const Text& text);
// COMPARE remembers what it tested; INPUT forgets it.
void VelmoratRememberCompared(const Text& compared);
void VelmoratForgetCompared();
// Runs a WORDS line (the statement table's row).
void VelmoratRunWords(const Text& line);

// --- The pieces, for check-script and tests -------------------------------
// Why a WORDS line is malformed, or empty when it is sound. isDeclaration
// tells whether it declares (anything but GUESS).
std::string VelmoratWordsFault(const Text& line, bool& isDeclaration);
// True when a and b differ by exactly one letter: one inserted, removed or
// replaced, or two neighbours swapped.
bool VelmoratOneLetterApart(const Text& a, const Text& b);
// The command the player probably meant: a compared text one letter away
// from command, or command with one word replaced by an item name or a word
// of a compared text one letter away from it. Empty when there is none.
Text VelmoratGuessCommand(const Text& command, const std::vector<Text>& compared,
                          const std::vector<Text>& itemNames);
