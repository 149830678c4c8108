// The user's state folder of the game being played: its autosave and its log
// live in $XDG_STATE_HOME/NAME/ ($HOME/.local/state/NAME/ when XDG_STATE_HOME
// is unset or relative), so that two games never share saves or logs. NAME
// is "velmorat" for the engine's own game and for bundles without game.ini;
// another game's is its id from game.ini.
#pragma once

#include <string>

// Chooses NAME; call before the program thread starts. Any thread.
void setStateFolderName(const std::string& name);
std::string stateFolderName();
// The folder without a final "/"; empty when neither HOME nor an absolute
// XDG_STATE_HOME is set.
std::string stateFolderPath();
