// The game's command prompt ">>> Befehl ? ": the line editor's field, driven
// key by key (t_InputForm with setupOnly) so that Ctrl-P and Ctrl-N, codes
// the editor leaves unused, step through the session's earlier commands, and
// so that menu items and opened files reach the program while it waits.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "adventure/GameState.h"
#include "toolbox/text/InputHistory.h"

inline constexpr const char* kCommandPrompt = ">>> Befehl ? ";
inline constexpr std::size_t kCommandHistoryLines = 100;
inline constexpr int kRecallPreviousKey = 16;  // Ctrl-P
inline constexpr int kRecallNextKey = 14;      // Ctrl-N
// Under WORDS COMMANDS also the arrows, while the field is empty or shows a
// recalled line unchanged; otherwise they keep the editor's meaning.
inline constexpr int kUpArrowKey = 11;
inline constexpr int kDownArrowKey = 10;

// The line as typed (empty after Escape or an empty Return); nothing when a
// load or a take-back replaced the game while the prompt waited.
std::optional<std::string> VelmoratReadCommand(GameState& game);
