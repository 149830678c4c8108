#include "adventure/Pictures.h"

#include <functional>

#include "adventure/AuthorWords.h"
#include "adventure/GameState.h"
#include "adventure/TextBuild.h"
#include "support/Log.h"
#include "support/qbtools.h"
#include "toolbox/graphics/PictureFile.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowDescription.h"

namespace {

// Draws the pictures of the items whose count is at least 1 in rows on the
// 256-pixel grid and returns the list text of all of them.
Text itemPictures(const GameState& game, const std::function<int(int item)>& countOf) {
  if (game.ItemSlots <= 1) {
    t_WindowUpdate(kPictureWindow, false);
    return Text();
  }
  int shown = 0;
  for (int item = 1; item < game.ItemSlots; ++item) {
    if (countOf(item) >= 1) ++shown;
  }
  int lastRow = (shown - 1) / kItemsPerRow;
  int inLastRow = shown - lastRow * kItemsPerRow;
  int drawn = 0;
  Text list;
  for (int item = 1; item < game.ItemSlots; ++item) {
    int count = countOf(item);
    if (count < 1) continue;
    if (drawn < kMaxItemPictures) {
      int row = drawn / kItemsPerRow;
      int column = drawn - row * kItemsPerRow;
      int inRow = row == lastRow ? inLastRow : kItemsPerRow;
      logLine("currentitem=" + std::to_string(drawn + 1) + ", row=" + std::to_string(row) +
              ", itemsinrow=" + std::to_string(inRow));
      int x = (kPictureWindowWidth - kItemGridCell * inRow) / 2 + kItemGridCell * column;
      int y = kItemFirstRowY - kItemGridCell * row;
      g_Draw(kPictureWindow, g_LoadGraphic(game.DataFolder + VelmoratItemPictureName(item)), x, y,
             1, kItemTransparentIndex);
      ++drawn;
    }
    if (!list.empty()) list = adventure::concat({list, Text::fromBytes(", ")});
    list = count < 2 ? adventure::concat({list, game.ItemNames[item]})
                     : adventure::concat({list, adventure::decimal(count), Text::fromBytes(" x "),
                                          game.ItemNames[item]});
  }
  t_WindowUpdate(kPictureWindow, false);
  return list;
}

}  // namespace

std::string VelmoratItemPictureName(int item) {
  return "ITEM" + formatnumber(item, '0', 3, false) + ".gr";
}

Text VelmoratSceneItemPictures(const GameState& game) {
  return itemPictures(game,
                      [&game](int item) { return game.sceneItemCount(game.CurrentScene, item); });
}

Text VelmoratInventoryPictures(const GameState& game) {
  return itemPictures(game, [&game](int item) { return game.inventoryCount(item); });
}

bool VelmoratItemCloseUp(const GameState& game, int item) {
  std::string path = game.DataFolder + VelmoratItemPictureName(item);
  if (fileexists(path) != 1) return false;
  g_ClearScreen(kPictureWindow, kWhiteIndex, -1);
  g_Draw(kPictureWindow, g_LoadGraphic(path), 390, 150, 2, kItemTransparentIndex);
  std::string name = VelmoratItemPictureName(item);
  name.resize(name.size() - 3);  // ".gr"
  VelmoratDescribePicture(game, Text::fromBytes(name));
  t_WindowUpdate(kPictureWindow, false);
  return true;
}

void VelmoratDescribePicture(const GameState& game, const Text& picture) {
  Text caption = VelmoratPictureCaption(game.Words, picture);
  t_SetWindowDescription(kPictureWindow, texttostring(caption.empty() ? picture : caption));
}
