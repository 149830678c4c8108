// The adventure's world and the state of the running game as one value. The
// main routine owns it and hands it to the interpreter, the parser and the
// pictures, all on the program thread; saving a game or taking it back is a
// copy of this value. Tables are only reached through the bounded accessors,
// so a script that forgets DIMENSION or names a scene beyond DIMENSION SCENES
// can never make the engine read or write outside them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "adventure/AuthorWords.h"
#include "adventure/RunDiagnostics.h"
#include "support/Text.h"
#include "toolbox/core/Font.h"
#include "toolbox/graphics/Graphic.h"

inline constexpr int kNoExit = -1;

// The six directions a scene's exits lead in, the index of GameState::Exits;
// saves and the author's views list them in this order.
enum ExitDirection : std::size_t {
  ExitForward,
  ExitBackward,
  ExitLeft,
  ExitRight,
  ExitUp,
  ExitDown
};
inline constexpr std::size_t kExitDirections = 6;

inline constexpr const char* kRegularFontName = "MenloRegular 16x32.font";
inline constexpr const char* kBoldFontName = "MenloBold 16x32.font";

class Session;

struct GameState {
  // --- Lines of the current data file and where the interpreter stands ------
  std::vector<Text> ScriptLines;
  int ProgramCounter = 0;
  int CurrentScene = 0;
  bool ScriptError = false;
  bool QuitRequested = false;
  bool TraceOn = false;

  // --- Exits of the current scene (scene number or kNoExit) ------------------
  std::array<int, kExitDirections> Exits{kNoExit, kNoExit, kNoExit, kNoExit, kNoExit, kNoExit};

  // --- Tables of the world ---------------------------------------------------
  int SceneCount = 0;           // scenes 0 .. SceneCount - 1
  int ItemSlots = 0;            // items 1 .. ItemSlots - 1; slot 0 holds no item
  std::vector<Text> ItemNames;  // ItemSlots entries, empty = not defined
  std::vector<int> Inventory;   // ItemSlots entries
  std::vector<int> SceneItems;  // ItemSlots * SceneCount, at item + ItemSlots * scene
  std::vector<bool> Flags;
  t_Graphic ScenePicture;
  Text ScenePictureName;  // as USE named it: what the picture window is described by

  // --- Run state of one game -------------------------------------------------
  bool Condition = false;
  Text SceneTitle;
  Text SceneExits;
  Text LastInput;
  // The scene where the player was last asked for a command: "here" for
  // AVAILABLE HERE, also while a shared file (GOTO SCENE) answers. Not
  // saved: the next prompt sets it again.
  int PromptScene = 0;

  // --- Words the game declared (WORDS), and the texts that COMPARE tested
  // since the last INPUT, for WORDS GUESS -------------------------------------
  AuthorWords Words;
  std::vector<Text> ComparedSinceInput;

  // --- Where the script runs, and what the author's run shows of it ----------
  RunDiagnostics Diagnostics;
  // The run this game is played in (its progress, transcript and help); set
  // by the main routine, kept when a saved game replaces this one.
  Session* session = nullptr;

  // --- Where the data lie and the two faces of the text window --------------
  // Full path of the data folder ending with "/"; empty when the data are missing.
  std::string DataFolder;
  t_Font RegularFont;  // kRegularFontName, loaded on first use
  t_Font BoldFont;     // kBoldFontName, loaded on first use
  // Each font file is looked for once: a missing one is not searched (and
  // logged) again at every status line.
  bool FontsLookedFor = false;

  // Loads RegularFont and BoldFont the first time; later calls keep what that
  // found, a font that was missing included.
  void loadFonts();

  // Sets the six exits to kNoExit.
  void clearExits();

  // Bounded access to the tables. A scene or item outside the dimensioned
  // tables has no entry: reads give 0 and the writes report false and change nothing.
  bool isItem(int item) const;                    // 1 <= item < ItemSlots
  bool hasSceneEntry(int scene, int item) const;  // the SceneItems entry exists
  int sceneItemCount(int scene, int item) const;  // 0 without an entry
  bool setSceneItemCount(int scene, int item, int count);
  int inventoryCount(int item) const;  // 0 without an entry

  // The number of the item called name, case folded (and umlauts folded
  // under WORDS FOLD); 0 if none.
  int findItem(const Text& name) const;
  // No item lies in any scene.
  void clearSceneItems();
};

// The text window (DefaultWindow) and the picture window.
std::uint8_t VelmoratTextWindow();
inline constexpr std::uint8_t kPictureWindow = 1;
