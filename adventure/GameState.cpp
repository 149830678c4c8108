#include "adventure/GameState.h"

#include "toolbox/text/Glyphs.h"
#include "toolbox/text/VideoMemory.h"

std::vector<Text> ScriptLines;
int ProgramCounter = 0;
int CurrentScene = 0;
bool ScriptError = false;
bool QuitRequested = false;
bool TraceOn = false;

int ExitForward = kNoExit;
int ExitBackward = kNoExit;
int ExitLeft = kNoExit;
int ExitRight = kNoExit;
int ExitUp = kNoExit;
int ExitDown = kNoExit;

int SceneCount = 0;
int ItemSlots = 0;
std::vector<Text> ItemNames;
std::vector<int> Inventory;
std::vector<int> SceneItems;
std::vector<bool> Flags;
t_Graphic ScenePicture;

bool Condition = false;
Text SceneTitle;
Text SceneExits;
Text LastInput;

std::string DataFolder;
t_Font RegularFont;
t_Font BoldFont;

namespace {
// Each font file is looked for once: a missing one is not searched (and
// logged) again at every status line.
bool fontsLookedFor = false;
}  // namespace

void VelmoratLoadFonts() {
  if (fontsLookedFor) return;
  fontsLookedFor = true;
  RegularFont = t_LoadFontResource(kRegularFontName);
  BoldFont = t_LoadFontResource(kBoldFontName);
}

std::uint8_t VelmoratTextWindow() {
  return DefaultWindow.load();
}

void VelmoratClearExits() {
  ExitForward = ExitBackward = ExitLeft = ExitRight = ExitUp = ExitDown = kNoExit;
}

bool VelmoratIsItem(int item) {
  return item >= 1 && item < ItemSlots && static_cast<std::size_t>(item) < Inventory.size();
}

namespace {
// Index into SceneItems, or -1 when the tables have no such entry.
long sceneItemIndex(int scene, int item) {
  if (item < 0 || item >= ItemSlots || scene < 0 || scene >= SceneCount) return -1;
  long index = static_cast<long>(item) + static_cast<long>(ItemSlots) * scene;
  return index < static_cast<long>(SceneItems.size()) ? index : -1;
}
}  // namespace

bool VelmoratHasSceneEntry(int scene, int item) {
  return sceneItemIndex(scene, item) >= 0;
}

int VelmoratSceneItemCount(int scene, int item) {
  long index = sceneItemIndex(scene, item);
  return index < 0 ? 0 : SceneItems[index];
}

bool VelmoratSetSceneItemCount(int scene, int item, int count) {
  long index = sceneItemIndex(scene, item);
  if (index < 0) return false;
  SceneItems[index] = count;
  return true;
}

int VelmoratInventoryCount(int item) {
  return VelmoratIsItem(item) ? Inventory[item] : 0;
}

void VelmoratResetGameState() {
  ScriptLines.clear();
  ProgramCounter = 0;
  CurrentScene = 0;
  ScriptError = false;
  QuitRequested = false;
  TraceOn = false;
  VelmoratClearExits();
  SceneCount = 0;
  ItemSlots = 0;
  ItemNames.clear();
  Inventory.clear();
  SceneItems.clear();
  Flags.clear();
  ScenePicture = t_Graphic{};
  Condition = false;
  SceneTitle = Text();
  SceneExits = Text();
  LastInput = Text();
}
