// The player of the targets that run scripts: a fixed cycle of commands
// typed whenever the script asks for one, and a bound on the lines run.
#pragma once

#include <cstddef>

#include "adventure/GameState.h"

namespace fuzzplayer {

// Sets up the text window (78 x 24 tiny cells) and the picture window
// (small, 24 bits) that the interpreter draws into. Once, at start.
void openGameWindows();
// Runs game's script from its ProgramCounter for at most maxLines lines,
// typing the commands as the script asks; the windows and the cycle of
// commands start afresh.
void play(GameState& game, std::size_t maxLines);

}  // namespace fuzzplayer
