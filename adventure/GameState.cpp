#include "adventure/GameState.h"

#include "support/qbtools.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/Glyphs.h"

void GameState::loadFonts() {
  if (FontsLookedFor) return;
  FontsLookedFor = true;
  RegularFont = t_LoadFontResource(kRegularFontName);
  BoldFont = t_LoadFontResource(kBoldFontName);
}

std::uint8_t VelmoratTextWindow() {
  return DefaultWindow.load();
}

void GameState::clearExits() {
  Exits.fill(kNoExit);
}

bool GameState::isItem(int item) const {
  return item >= 1 && item < ItemSlots && static_cast<std::size_t>(item) < Inventory.size();
}

namespace {
// Index into the scene table, or -1 when the tables have no such entry.
long sceneItemIndex(const GameState& game, int scene, int item) {
  if (item < 0 || item >= game.ItemSlots || scene < 0 || scene >= game.SceneCount) return -1;
  long index = static_cast<long>(item) + static_cast<long>(game.ItemSlots) * scene;
  return index < static_cast<long>(game.SceneItems.size()) ? index : -1;
}
}  // namespace

bool GameState::hasSceneEntry(int scene, int item) const {
  return sceneItemIndex(*this, scene, item) >= 0;
}

int GameState::sceneItemCount(int scene, int item) const {
  long index = sceneItemIndex(*this, scene, item);
  return index < 0 ? 0 : SceneItems[index];
}

bool GameState::setSceneItemCount(int scene, int item, int count) {
  long index = sceneItemIndex(*this, scene, item);
  if (index < 0) return false;
  SceneItems[index] = count;
  return true;
}

int GameState::inventoryCount(int item) const {
  return isItem(item) ? Inventory[item] : 0;
}

int GameState::findItem(const Text& name) const {
  Text wanted = VelmoratComparisonKey(name, Words);
  for (int item = 1; item < ItemSlots; ++item) {
    if (wanted == VelmoratComparisonKey(ItemNames[item], Words)) return item;
  }
  return 0;
}

void GameState::clearSceneItems() {
  for (int scene = 0; scene < SceneCount; ++scene) {
    for (int item = 1; item < ItemSlots; ++item) setSceneItemCount(scene, item, 0);
  }
}
