#include "host/terminal/PictureRenderer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/Utf8.h"

namespace terminal {
namespace {

// A 64 x 40 picture of four flat quarters (red, green, blue, white) with a
// black diagonal through it: colours whose red/blue swap, shifted rows or
// a lost diagonal would all show in the symbols.
host::ArgbImage knownPicture() {
  host::ArgbImage image;
  image.width = 64;
  image.height = 40;
  image.bytes.resize(64 * 40 * 4);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 64; ++x) {
      std::uint8_t* pixel = &image.bytes[static_cast<std::size_t>((y * 64 + x) * 4)];
      const bool right = x >= 32;
      const bool lower = y >= 20;
      pixel[0] = 255;
      pixel[1] = !right && !lower ? 255 : (right && lower ? 255 : 0);
      pixel[2] = right && !lower ? 255 : (right && lower ? 255 : 0);
      pixel[3] = !right && lower ? 255 : (right && lower ? 255 : 0);
      if (std::abs(x - y * 64 / 40) < 3) pixel[1] = pixel[2] = pixel[3] = 0;
    }
  }
  return image;
}

// The symbols row by row, then each cell's two colours as 256-colour numbers.
std::string listing(const SymbolPicture& picture) {
  std::string text;
  for (int row = 0; row < picture.rows; ++row) {
    for (int column = 0; column < picture.columns; ++column)
      appendUtf8(text,
                 picture.cells[static_cast<std::size_t>(row * picture.columns + column)].character);
    text += '\n';
  }
  for (int row = 0; row < picture.rows; ++row) {
    for (int column = 0; column < picture.columns; ++column) {
      const SymbolCell& cell =
          picture.cells[static_cast<std::size_t>(row * picture.columns + column)];
      text += std::to_string(cell.foreground) + "/" + std::to_string(cell.background) + " ";
    }
    text += '\n';
  }
  return text;
}

TEST(PictureRenderer, SymbolModeOfAKnownPictureIsStable) {
  const SymbolPicture picture = pictureAsSymbols(knownPicture(), 16, 10, 0.5, 256);
  // 64 x 40 pixels are 1.6 : 1; in cells half as wide as high that is 16 x 5.
  ASSERT_EQ(picture.columns, 16);
  ASSERT_EQ(picture.rows, 5);
  // Written by chafa 1.12 (Debian 12); another chafa may choose other
  // symbols, and then this listing is renewed after a look at the picture.
  EXPECT_EQ(listing(picture), R"(▀╾▃▁   ▕▏       
  ▔▅━▀▁▕▏       
▀▀▀▀▀▀▘▅▁▀▀▀▀▀▀▀
       ▕▏▆▃┑▂   
       ▕▏   ▆▀┭▃
52/196 16/160 233/196 88/196 88/196 88/196 88/196 130/196 70/46 70/46 70/46 70/46 70/46 70/46 70/46 70/46 
-1/196 231/196 88/196 196/52 232/124 196/52 52/196 130/196 70/46 70/46 70/46 70/46 70/46 70/46 70/46 70/46 
196/21 196/21 196/21 196/21 196/21 196/21 88/19 19/88 243/28 46/248 46/231 46/231 46/231 46/231 46/231 46/231 
-1/21 231/21 231/21 231/21 231/21 231/21 231/21 63/21 147/231 255/238 231/240 235/250 234/255 234/231 234/231 234/231 
-1/21 231/21 231/21 231/21 231/21 231/21 231/21 63/21 147/231 147/231 147/231 147/231 231/242 239/255 234/250 237/231 
)");
  EXPECT_EQ(pictureAsSymbols(knownPicture(), 16, 10, 0.5, 256), picture);
}

TEST(PictureRenderer, FewerColoursStayInTheTerminalsRange) {
  for (int colours : {8, 16}) {
    const SymbolPicture picture = pictureAsSymbols(knownPicture(), 16, 10, 0.5, colours);
    ASSERT_EQ(picture.cells.size(), 16u * 5u);
    for (const SymbolCell& cell : picture.cells) {
      EXPECT_LT(cell.foreground, colours);
      EXPECT_LT(cell.background, colours);
    }
  }
}

TEST(PictureRenderer, PictureKeepsItsAspectInsideTheBox) {
  int columns = 200;
  int rows = 10;
  fitPictureCells(1280, 800, 0.5, columns, rows);
  EXPECT_EQ(rows, 10);
  EXPECT_EQ(columns, 32);
  columns = 0;
  rows = 10;
  fitPictureCells(1280, 800, 0.5, columns, rows);
  EXPECT_EQ(columns, 0);
  EXPECT_EQ(rows, 0);
}

TEST(PictureRenderer, BrokenImagesGiveNothing) {
  host::ArgbImage image = knownPicture();
  image.bytes.resize(100);  // fewer bytes than the size claims
  EXPECT_EQ(pictureAsSymbols(image, 16, 10, 0.5, 256).columns, 0);
  EXPECT_TRUE(pictureAsPixels(image, PictureMode::Sixels, 16, 10, 10, 20).empty());
  EXPECT_EQ(pictureAsSymbols(host::ArgbImage{}, 16, 10, 0.5, 256).columns, 0);
  EXPECT_TRUE(pictureAsPixels(knownPicture(), PictureMode::Symbols, 16, 10, 10, 20).empty());
  EXPECT_TRUE(pictureAsPixels(knownPicture(), PictureMode::Sixels, 16, 10, 0, 20).empty());
}

TEST(PictureRenderer, PixelModesSpeakTheirTerminalsProtocol) {
  EXPECT_TRUE(
      pictureAsPixels(knownPicture(), PictureMode::Sixels, 16, 10, 10, 20).starts_with("\x1bP"));
  EXPECT_TRUE(
      pictureAsPixels(knownPicture(), PictureMode::Kitty, 16, 10, 10, 20).starts_with("\x1b_G"));
  EXPECT_TRUE(pictureAsPixels(knownPicture(), PictureMode::Iterm2, 16, 10, 10, 20)
                  .starts_with("\x1b]1337;File="));
}

TEST(PictureRenderer, ModeNamesRoundTrip) {
  for (PictureMode mode : {PictureMode::Symbols, PictureMode::Sixels, PictureMode::Kitty,
                           PictureMode::Iterm2, PictureMode::None}) {
    PictureMode parsed = PictureMode::None;
    ASSERT_TRUE(pictureModeFromName(pictureModeName(mode), parsed));
    EXPECT_EQ(parsed, mode);
  }
  PictureMode untouched = PictureMode::Kitty;
  EXPECT_FALSE(pictureModeFromName("ascii", untouched));
  EXPECT_EQ(untouched, PictureMode::Kitty);
}

}  // namespace
}  // namespace terminal
