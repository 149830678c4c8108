// Item pictures on the grid of the picture window, the close-up, the
// inventory display and the answer to an insult, checked in window 1's pixels.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "EngineHarness.h"
#include "toolbox/graphics/PictureFile.h"

using testing::HasSubstr;
using testing_engine::GameRun;
using testing_engine::picturePixel;
using testing_engine::TestBundle;

namespace {

constexpr int kItems = 16;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kInsultColour = 0x123456;

// Distinct colours, none white or black, so that a picture drawn at the
// place of another item shows.
std::uint32_t itemColour(int item) {
  return static_cast<std::uint32_t>(item * 15) << 16 |
         static_cast<std::uint32_t>(250 - item * 9) << 8 | 0x40;
}

std::string setup() {
  std::string script = "DIMENSION SCENES 4\nDIMENSION ITEMS 16\n";
  for (int item = 1; item <= kItems; ++item) {
    std::string name = "Ding" + std::to_string(item);
    script += "DEFINE ITEM " + std::to_string(item) + " NAME " + name + "\n";
    script += "DEFINE SCENE 3 ITEM " + name + (item == 3 ? " COUNT 3\n" : "\n");
    if (item <= 7) script += "DEFINE SCENE 2 ITEM " + name + "\n";
  }
  return script + "DEFINE SCENE 1 ITEM Ding1\nGOTO SCENE 1\n@END\n";
}

std::string scene(int next) {
  return "USE weiss\nDRAW\nFORWARD " + std::to_string(next) +
         "\nLABEL f\nINPUT\nCOMPARE ende\nIF EQUAL e\nGOTO f\nLABEL e\nQUIT\n@END\n";
}

// The top-left corner (x, y) of the picture of each drawn item, in item order.
struct Place {
  int item;
  int x;
  int y;
};

void expectPictures(const std::vector<Place>& places) {
  for (const Place& place : places) {
    EXPECT_EQ(picturePixel(place.x, place.y), itemColour(place.item))
        << "item " << place.item << " at " << place.x << "," << place.y;
    EXPECT_EQ(picturePixel(place.x + 7, place.y + 7), itemColour(place.item));
    EXPECT_EQ(picturePixel(place.x + 8, place.y + 8), kWhite) << "pictures are drawn at scale 1";
    if (place.x > 0) {
      EXPECT_EQ(picturePixel(place.x - 1, place.y), kWhite) << "item " << place.item;
    }
  }
}

TEST(Pictures, ItemGridForOneSevenAndSixteenItemsCloseUpInventoryAndInsult) {
  TestBundle bundle("pictures");
  bundle.addScript(0, setup());
  for (int s = 1; s <= 3; ++s) bundle.addScript(s, scene(s + 1));
  bundle.addPicture("weiss.gr", 160, 100, kWhite, 8);
  bundle.addPicture("form021.gr", 4, 4, kInsultColour);
  for (int item = 1; item <= kItems; ++item) {
    bundle.addPicture("ITEM" + std::string(item < 10 ? "00" : "0") + std::to_string(item) + ".gr",
                      8, 8, itemColour(item));
  }
  GameRun run(bundle);
  EXPECT_THAT(run.screen(), HasSubstr("Du siehst folgende Gegenstände: Ding1\n"));
  expectPictures({{1, 512, 530}});

  run.type("schau ding1\r");
  run.screen();
  EXPECT_EQ(picturePixel(390, 150), itemColour(1));
  EXPECT_EQ(picturePixel(405, 165), itemColour(1)) << "the close-up is drawn at scale 2";
  EXPECT_EQ(picturePixel(406, 166), kWhite);
  EXPECT_EQ(picturePixel(389, 150), kWhite) << "the close-up is drawn on white";

  run.type("arsch\r");
  run.screen();
  EXPECT_EQ(picturePixel(0, 0), kInsultColour);
  EXPECT_EQ(picturePixel(3, 3), kInsultColour);

  run.type("nimm ding1\r");
  run.type("inhalt\r");
  EXPECT_THAT(run.screen(), HasSubstr("Du trägst folgende Gegenstände bei Dir: Ding1\n"));
  expectPictures({{1, 512, 530}});
  EXPECT_EQ(picturePixel(0, 0), kWhite) << "the inventory is shown on white";
  run.type("entferne ding1\r");

  run.type("v\r");
  std::string screen = run.screen();
  EXPECT_THAT(screen, HasSubstr(": Ding1, Ding2, Ding3, Ding4, Ding5, Ding6,\nDing7\n"))
      << "a name that does not fit moves to the next line whole";
  expectPictures({{1, 0, 530},
                  {2, 256, 530},
                  {3, 512, 530},
                  {4, 768, 530},
                  {5, 1024, 530},
                  {6, 384, 274},
                  {7, 640, 274}});

  run.type("v\r");
  screen = run.screen();
  EXPECT_THAT(screen, HasSubstr("Ding1, Ding2, 3 x Ding3, Ding4,"));
  EXPECT_THAT(screen, HasSubstr("Ding15, Ding16\n"));
  std::vector<Place> grid;
  for (int item = 1; item <= 15; ++item) {
    int row = (item - 1) / 5;
    grid.push_back({item, 256 * ((item - 1) % 5), 530 - 256 * row});
  }
  expectPictures(grid);

  run.type("ende\r");
  run.type("n");
  EXPECT_TRUE(run.waitForEnd());
  std::string log = run.log();
  EXPECT_THAT(log, HasSubstr("currentitem=1, row=0, itemsinrow=1\n"));
  EXPECT_THAT(log, HasSubstr("currentitem=5, row=0, itemsinrow=5\n"));
  EXPECT_THAT(log, HasSubstr("currentitem=7, row=1, itemsinrow=2\n"));
  EXPECT_THAT(log, HasSubstr("currentitem=15, row=2, itemsinrow=5\n"));
  EXPECT_THAT(log, testing::Not(HasSubstr("currentitem=16")));
}

// A 4-bit picture (one palette index a byte) whose left half is palette
// colour 14 and whose right half is colour 1, red.
void addHalfTransparentPicture(const TestBundle& bundle, const std::string& fileName) {
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < 64; ++i) pixels.push_back(i % 8 < 4 ? 14 : 1);
  t_Graphic picture{.Format = 1,
                    .Size = 64,
                    .Width = 8,
                    .Height = 8,
                    .PixelWidth = 1,
                    .PixelHeight = 1,
                    .Data = pixels};
  std::vector<std::uint8_t> bytes = picture::fileBytes(picture);
  std::ofstream(bundle.dataFolder() + fileName, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// Palette colour 14 is the background of item pictures: in the item rows and
// in the insult answer the scene shows through it, in the close-up the white.
TEST(Pictures, PaletteColourFourteenOfItemAndInsultPicturesIsTransparent) {
  constexpr std::uint32_t kScene = 0x336699;
  constexpr std::uint32_t kRed = 0xFF0000;
  TestBundle bundle("transparent");
  bundle.addScript(0,
                   "DIMENSION SCENES 2\nDIMENSION ITEMS 1\nDEFINE ITEM 1 NAME Glas\n"
                   "DEFINE SCENE 1 ITEM Glas\nGOTO SCENE 1\n@END\n");
  bundle.addScript(1,
                   "USE szene\nDRAW\nLABEL f\nINPUT\nCOMPARE ende\nIF EQUAL e\nGOTO f\n"
                   "LABEL e\nQUIT\n@END\n");
  bundle.addPicture("szene.gr", 160, 100, kScene, 8);
  addHalfTransparentPicture(bundle, "ITEM001.gr");
  addHalfTransparentPicture(bundle, "form021.gr");
  GameRun run(bundle);
  run.screen();
  EXPECT_EQ(picturePixel(512, 530), kScene) << "the item row lets the scene show through";
  EXPECT_EQ(picturePixel(516, 530), kRed);

  run.type("fick\r");
  run.screen();
  EXPECT_EQ(picturePixel(0, 0), kScene) << "the insult answer lets the scene show through";
  EXPECT_EQ(picturePixel(4, 0), kRed);

  run.type("schau glas\r");
  run.screen();
  EXPECT_EQ(picturePixel(390, 150), kWhite) << "the close-up stands on white";
  EXPECT_EQ(picturePixel(398, 150), kRed);
  EXPECT_EQ(picturePixel(397, 150), kWhite) << "four transparent pixels at scale 2";

  run.type("ende\r");
  run.type("n");
  EXPECT_TRUE(run.waitForEnd());
}

}  // namespace
