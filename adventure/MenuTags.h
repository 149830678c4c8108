// The tags of the game's own menu items. Items 100 and 101 (load and save a
// game) use the toolbox's panel actions, registered by the main routine;
// 300 to 303 have no built-in action and reach the program through the menu
// event queue. A host offers them however it likes (menu bar, keys), as long
// as choosing one goes through t_MenuEventHandler with its tag.
#pragma once

inline constexpr int kMenuLoadGame = 100;        // "Spiel laden…"
inline constexpr int kMenuSaveGame = 101;        // "Spiel sichern…"
inline constexpr int kMenuTakeBackMove = 300;    // "Zug zurücknehmen"
inline constexpr int kMenuLoadLastState = 301;   // "Letzten Stand laden"
inline constexpr int kMenuSaveTranscript = 302;  // "Protokoll sichern…"
inline constexpr int kMenuShowTranscript = 303;  // "Verlauf"
