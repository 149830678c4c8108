// The game's main routine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "adventure/GameState.h"
#include "adventure/Session.h"

struct VelmoratOptions {
  // The author's run: places of "***" messages on screen, a repeated error or
  // an endless loop stops the script, the debug commands (#zustand ...).
  bool authorRun = false;
  // Statements run without waiting for the player that count as an endless loop.
  std::size_t endlessLoopStatements = kEndlessLoopStatements;
  // The author's run: the game's state as text at every prompt, on the
  // program thread (the desktop's Fenster > Werkzeuge > Spielzustand).
  std::function<void(const std::string& report)> stateReport = nullptr;
};

// Runs on the program thread: title screen, data check, games, replay question;
// ends the thread through t_QuitProgram. It owns the game state of the run;
// session (its progress, transcript and help) belongs to the caller, who
// keeps it until the program thread has ended.
void VelmoratMain(Session& session);
// The same with options (velmorat --author).
void VelmoratMainWithOptions(Session& session, const VelmoratOptions& options);

// The first steps of VelmoratMain: both game windows set up, titled and
// placed, the heading drawn and the regular font (loaded into game) chosen.
void VelmoratTitleScreen(GameState& game);

// The bundle's data folder ("…/Resources//Data/") when it holds the first data
// file, else empty.
std::string VelmoratFindDataFolder();

// What the bundle's resources must hold for a game: the two fonts and the
// first data file. Without them the program cannot show more than an error.
std::vector<std::string> VelmoratRequiredResources();

// The credit line after the title in window titles and on the title screen.
inline constexpr const char* kVelmoratTitle = "Velmorat";
inline constexpr const char* kVelmoratCredit = "von Velmorat-Team (2025-2026)";

// The title and credit line that the windows and the title screen show: the
// engine's own game's above, unless the program chose those of the game it
// plays (its game.ini) before the program thread started.
void VelmoratSetTitle(const std::string& title, const std::string& credit);
std::string VelmoratTitle();
std::string VelmoratCredit();
