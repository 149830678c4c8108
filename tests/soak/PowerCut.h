// The power cut: the game is killed (SIGKILL) at random moments while it
// plays, keeps its last state after every command and saves, over and over,
// all runs sharing one state folder and one save. After every kill the last
// state and the save must load without a refusal; after the next start no
// temporary file may be left in the state folder.
#pragma once

#include <string>

#include "soak/SeedRun.h"

namespace soak {

struct PowerCutReport {
  int kills = 0;
  int temporariesLeft = 0;  // kills that struck in the middle of a write
  std::string failure;      // empty when every check held
};

// base gives the bundle and the work folder; the runs' files are named
// "power-cut" there.
PowerCutReport cutPower(SeedOptions base, int kills);

}  // namespace soak
