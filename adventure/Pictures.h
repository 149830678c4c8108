// Scene and item pictures in the picture window (window 1, 1280 x 800).
#pragma once

#include <string>

#include "adventure/GameState.h"
#include "support/Text.h"

// Item pictures stand on a grid of 256 x 256 pixels, five to a row, rows
// centred, the first row at y 530 and further rows upward; at most 15.
inline constexpr int kItemGridCell = 256;
inline constexpr int kItemsPerRow = 5;
inline constexpr int kMaxItemPictures = 15;
inline constexpr int kItemFirstRowY = 530;
inline constexpr int kPictureWindowWidth = 1280;
inline constexpr int kPictureWindowHeight = 800;
inline constexpr int kItemTransparentIndex = 14;
inline constexpr int kWhiteIndex = 15;

// "ITEM" + the item in at least three digits + ".gr".
std::string VelmoratItemPictureName(int item);

// Draw the pictures of the items in the current scene (carried by the
// player) and return their list text ("Lampe, 2 x Münze").
Text VelmoratSceneItemPictures(const GameState& game);
Text VelmoratInventoryPictures(const GameState& game);

// The close-up of an item for the look command; false when its picture file is missing.
bool VelmoratItemCloseUp(const GameState& game, int item);
// Tells the hosts what the picture window shows: the game's caption of the
// picture (named without ".gr"), or else the name itself.
void VelmoratDescribePicture(const GameState& game, const Text& picture);
