// The script statements in one table: keyword, how a line is recognised, the
// handler that runs it and what check-script checks in it. The interpreter,
// the script checker and the README test all read this table; a new statement
// is one row here (and its handler), a new family of checks one StatementCheck.
#pragma once

#include <span>

#include "adventure/GameState.h"
#include "support/Text.h"

// What check-script looks at in a statement's arguments.
enum class StatementCheck {
  None,
  ExitScene,      // the scene an exit names has a data file
  GotoTarget,     // GOTO SCENE n: the data file; GOTO label: the label
  IfTarget,       // IF EQUAL label: the label
  Picture,        // USE name: name.gr exists
  InventoryItem,  // … INVENTORY name: the item is defined
  SceneItem,      // DEFINE SCENE s ITEM name: the item is defined
  Flag,           // … FLAG n: n lies within DIMENSION FLAGS
  Words,          // WORDS …: well formed, declarations in scene 0
  OutputLine,     // ?text: fits the text window
};

struct Statement {
  const char* keyword;
  bool exact;  // the whole line is the keyword, not only its first bytes
  void (*run)(GameState& game, const Text& line);
  StatementCheck check;
};

// Every statement in the order lines are tested against them: recognition is
// by prefix, so the first matching row wins ("ADDX" is ADD, "UPDATE" is UP).
std::span<const Statement> VelmoratStatements();

// The statement that the line is, nullptr for an unknown line.
const Statement* VelmoratStatementOf(const Text& line);

// What follows the statement's keyword, blanks removed at both ends; the
// keyword's length is taken from the table.
Text VelmoratStatementArguments(const Text& line);
