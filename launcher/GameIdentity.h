// The identity of the game a bundle holds (its game.ini): the title and
// credit the windows show, the state folder of its saves and logs, and the
// id the desktop knows it by. A bundle without game.ini is the engine's own
// game; a broken game.ini is reported and played as if it were missing.
#pragma once

#include <string>

// Reads the bundle's game.ini (after the bundle is chosen, before the log and
// the program start) and adopts it; returns the desktop id to use, which is
// ownAppId for a bundle without a sound game.ini.
std::string adoptGameIdentity(const std::string& ownAppId);
