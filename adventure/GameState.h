// The adventure's world and the state of the running game: process-wide
// globals, touched by the program thread only (the interpreter, the parser and
// the main routine). Tables are only reached through the bounded accessors
// below, so a script that forgets DIMENSION or names a scene beyond
// DIMENSION SCENES can never make the engine read or write outside them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/Text.h"
#include "toolbox/graphics/Graphic.h"
#include "toolbox/text/Font.h"

inline constexpr int kNoExit = -1;

// --- Lines of the current data file and where the interpreter stands --------
extern std::vector<Text> ScriptLines;
extern int ProgramCounter;
extern int CurrentScene;
extern bool ScriptError;
extern bool QuitRequested;
extern bool TraceOn;

// --- Exits of the current scene (scene number or kNoExit) --------------------
extern int ExitForward;
extern int ExitBackward;
extern int ExitLeft;
extern int ExitRight;
extern int ExitUp;
extern int ExitDown;

// --- Tables of the world -----------------------------------------------------
extern int SceneCount;               // scenes 0 .. SceneCount - 1
extern int ItemSlots;                // items 1 .. ItemSlots - 1; slot 0 holds no item
extern std::vector<Text> ItemNames;  // ItemSlots entries, empty = not defined
extern std::vector<int> Inventory;   // ItemSlots entries
extern std::vector<int> SceneItems;  // ItemSlots * SceneCount, at item + ItemSlots * scene
extern std::vector<bool> Flags;
extern t_Graphic ScenePicture;

// --- Run state of one game ---------------------------------------------------
extern bool Condition;
extern Text SceneTitle;
extern Text SceneExits;
extern Text LastInput;

// --- Where the data lie and the two faces of the text window ----------------
// Full path of the data folder ending with "/"; empty when the data are missing.
extern std::string DataFolder;
extern t_Font RegularFont;  // "MenloRegular 16x32.font", loaded on first use
extern t_Font BoldFont;     // "MenloBold 16x32.font", loaded on first use
inline constexpr const char* kRegularFontName = "MenloRegular 16x32.font";
inline constexpr const char* kBoldFontName = "MenloBold 16x32.font";
// Loads RegularFont and BoldFont the first time; later calls keep what that
// found, a font that was missing included.
void VelmoratLoadFonts();

// The text window (DefaultWindow) and the picture window.
std::uint8_t VelmoratTextWindow();
inline constexpr std::uint8_t kPictureWindow = 1;

// Sets the six exits to kNoExit.
void VelmoratClearExits();

// Bounded access to the tables. A scene or item outside the dimensioned
// tables has no entry: reads give 0 and the writes report false and change nothing.
bool VelmoratIsItem(int item);                    // 1 <= item < ItemSlots
bool VelmoratHasSceneEntry(int scene, int item);  // the SceneItems entry exists
int VelmoratSceneItemCount(int scene, int item);  // 0 without an entry
bool VelmoratSetSceneItemCount(int scene, int item, int count);
int VelmoratInventoryCount(int item);  // 0 without an entry

// Resets the whole game state to its start values (tests and a fresh process).
void VelmoratResetGameState();
