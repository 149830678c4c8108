// The statements one by one, without windows: their effect on the tables and
// the failure state. Messages go to a window that does not exist here, so
// only the state is checked; the screen is checked by the played games.
#include <gtest/gtest.h>

#include "adventure/GameState.h"
#include "adventure/Interpreter.h"
#include "adventure/Statements.h"
#include "adventure/TableLimits.h"
#include "graphics/LogCapture.h"
#include "support/Bundle.h"
#include "support/qbtools.h"

namespace {

class Interpreter : public testing::Test {
 protected:
  void run(const std::string& utf8Line) { VelmoratExecuteLine(game, stringtotext(utf8Line)); }

  // Runs a line that must fail, and clears the failure for the next one.
  bool fails(const std::string& utf8Line) {
    game.ScriptError = false;
    run(utf8Line);
    bool failed = game.ScriptError;
    game.ScriptError = false;
    return failed;
  }

  GameState game;

  void SetUp() override {
    run("DIMENSION SCENES 3");
    run("DIMENSION ITEMS 5");
    run("DIMENSION FLAGS 9");
    run("DEFINE ITEM 1 NAME Lampe");
    run("DEFINE ITEM 2 NAME Münze");
  }
};

TEST_F(Interpreter, DimensionsMakeTablesOfTheGivenSizes) {
  EXPECT_EQ(game.SceneCount, 3);
  EXPECT_EQ(game.ItemSlots, 6);
  EXPECT_EQ(game.Flags.size(), 10u);  // flags 0 to 9
  EXPECT_EQ(game.SceneItems.size(), 18u);
  EXPECT_TRUE(fails("SET FLAG 10"));
  EXPECT_FALSE(fails("SET FLAG 9"));
  EXPECT_TRUE(fails("DIMENSION SCENES -1"));
  EXPECT_TRUE(fails("DIMENSION ITEMS -1"));
  EXPECT_TRUE(fails("DIMENSION FLAGS -1"));
  EXPECT_EQ(game.ItemSlots, 6) << "a failed DIMENSION keeps the table";
}

TEST_F(Interpreter, HugeDimensionsAreRefusedInsteadOfAllocated) {
  EXPECT_TRUE(fails("DIMENSION SCENES 99999999999999999999"));
  EXPECT_TRUE(fails("DIMENSION ITEMS 2000000000"));
  EXPECT_TRUE(fails("DIMENSION FLAGS 2000000000"));
  EXPECT_FALSE(fails("DIMENSION SCENES " + std::to_string(adventure::kMaxScenes)));
  EXPECT_FALSE(fails("DIMENSION ITEMS " + std::to_string(adventure::kMaxItems)));
  EXPECT_EQ(game.SceneItems.size(),
            static_cast<std::size_t>(adventure::kMaxItems + 1) * adventure::kMaxScenes);
}

TEST_F(Interpreter, DefineChecksItemNumbersAndSceneCounts) {
  EXPECT_TRUE(fails("DEFINE ITEM 0 NAME Null"));
  EXPECT_TRUE(fails("DEFINE ITEM 6 NAME Sechs"));
  EXPECT_FALSE(fails("DEFINE ITEM 5 NAME Fünf"));
  EXPECT_FALSE(fails("DEFINE ITEM Fehlt")) << "a missing NAME only warns";

  EXPECT_FALSE(fails("DEFINE SCENE 2 ITEM lampe"));
  EXPECT_EQ(game.sceneItemCount(2, 1), 1) << "no COUNT means one; names fold case";
  EXPECT_FALSE(fails("DEFINE SCENE 2 ITEM Münze COUNT 3"));
  EXPECT_EQ(game.sceneItemCount(2, 2), 3);
  EXPECT_FALSE(fails("DEFINE SCENE 2 ITEM Lampe COUNT 0"));
  EXPECT_EQ(game.sceneItemCount(2, 1), 0);
  EXPECT_TRUE(fails("DEFINE SCENE -1 ITEM Lampe"));
  EXPECT_TRUE(fails("DEFINE SCENE 1 ITEM Besen"));
  EXPECT_TRUE(fails("DEFINE SCENE 1 ITEM Lampe COUNT -2"));
  EXPECT_FALSE(fails("DEFINE SCENE 1 Lampe")) << "a missing ITEM only warns";
}

TEST_F(Interpreter, DefineSceneBeyondTheSceneTableFailsWithoutWriting) {
  std::vector<int> before = game.SceneItems;
  EXPECT_TRUE(fails("DEFINE SCENE 3 ITEM Lampe"));
  EXPECT_TRUE(fails("DEFINE SCENE 400 ITEM Lampe"));
  EXPECT_EQ(game.SceneItems, before);
}

TEST_F(Interpreter, TablesBeforeDimensionAreEmptyAndNeverTouched) {
  game = GameState();
  EXPECT_TRUE(fails("ADD INVENTORY Lampe"));
  EXPECT_FALSE(fails("SUBTRACT INVENTORY Lampe"));
  EXPECT_FALSE(fails("AVAILABLE INVENTORY Lampe"));
  EXPECT_FALSE(game.Condition);
  EXPECT_FALSE(fails("CLEAR INVENTORY"));
  EXPECT_FALSE(fails("CLEAR SCENES"));
  EXPECT_TRUE(fails("DEFINE SCENE 0 ITEM Lampe"));
  EXPECT_TRUE(fails("DEFINE ITEM 1 NAME Lampe"));
  EXPECT_EQ(game.sceneItemCount(0, 1), 0);
  EXPECT_EQ(game.inventoryCount(1), 0);
}

TEST_F(Interpreter, InventoryStatementsFindItemsByName) {
  EXPECT_FALSE(fails("ADD INVENTORY lampe"));
  EXPECT_FALSE(fails("ADD INVENTORY LAMPE"));
  EXPECT_EQ(game.Inventory[1], 2);
  run("AVAILABLE INVENTORY Lampe");
  EXPECT_TRUE(game.Condition);
  run("SUBTRACT INVENTORY Lampe");
  run("SUBTRACT INVENTORY Lampe");
  run("SUBTRACT INVENTORY Lampe");
  EXPECT_EQ(game.Inventory[1], -1) << "the count may become negative";
  run("AVAILABLE INVENTORY Lampe");
  EXPECT_FALSE(game.Condition);
  EXPECT_TRUE(fails("ADD INVENTORY Besen"));
  EXPECT_TRUE(fails("ADD INVENTORY")) << "the empty name finds slot 3, which has no name";
  EXPECT_FALSE(fails("ADDRESS")) << "taken as ADD, without INVENTORY it does nothing";
  run("CLEAR INVENTORY");
  EXPECT_EQ(game.Inventory[1], 0);
}

TEST_F(Interpreter, FlagsCompareAndConditionRegister) {
  run("SET FLAG 3");
  run("COMPARE FLAG 3");
  EXPECT_TRUE(game.Condition);
  run("CLEAR FLAG 3");
  run("COMPARE FLAG 3");
  EXPECT_FALSE(game.Condition);
  EXPECT_TRUE(fails("CLEAR FLAG -1"));
  EXPECT_TRUE(fails("COMPARE FLAG 10"));

  game.LastInput = stringtotext("such kiste");
  run("COMPARE SUCH KISTE");
  EXPECT_TRUE(game.Condition) << "case is folded on both sides";
  run("COMPARE such  kiste");
  EXPECT_FALSE(game.Condition);
  run("COMPARE such");
  EXPECT_FALSE(game.Condition) << "the whole command must match";
  game.LastInput = stringtotext("straße");
  run("COMPARE STRASSE");
  EXPECT_TRUE(game.Condition);
}

TEST_F(Interpreter, ExitsTakeNumbersAndClearDirectionResetsThem) {
  run("FORWARD 2");
  run("BACKWARD 1");
  run("LEFT 7");
  run("RIGHT -3");
  run("UP 12");
  run("DOWN x");
  EXPECT_EQ(game.Exits[ExitForward], 2);
  EXPECT_EQ(game.Exits[ExitBackward], 1);
  EXPECT_EQ(game.Exits[ExitLeft], 7);
  EXPECT_EQ(game.Exits[ExitRight], -3);
  EXPECT_EQ(game.Exits[ExitUp], 12);
  EXPECT_EQ(game.Exits[ExitDown], 0) << "no digits read as 0";
  run("CLEAR DIRECTION");
  EXPECT_EQ(game.Exits[ExitForward], kNoExit);
  EXPECT_EQ(game.Exits[ExitUp], kNoExit);
}

TEST_F(Interpreter, JumpsLandOnTheLabelAfterTheCounterStep) {
  game.ScriptLines = {stringtotext("?a"), stringtotext("LABEL   Start  "), stringtotext("?b")};
  run("GOTO Start");
  EXPECT_EQ(game.ProgramCounter, 0) << "target 1 minus 1";
  EXPECT_TRUE(fails("GOTO start"));
  game.Condition = false;
  game.ProgramCounter = 5;
  EXPECT_FALSE(fails("IF EQUAL fehlt"));
  EXPECT_EQ(game.ProgramCounter, 5);
  EXPECT_FALSE(game.Condition);
  game.Condition = true;
  EXPECT_TRUE(fails("IF EQUAL fehlt"));
  EXPECT_TRUE(game.Condition);
  EXPECT_TRUE(fails("IF GREATER Start"));
}

TEST_F(Interpreter, RecognisesStatementsByPrefixInTestOrder) {
  EXPECT_FALSE(fails("REMARK ignored"));
  EXPECT_FALSE(fails("// comment"));
  EXPECT_FALSE(fails("' comment"));
  EXPECT_FALSE(fails(""));
  EXPECT_TRUE(fails("DRAW ")) << "DRAW is exact";
  EXPECT_TRUE(fails("QUITS"));
  EXPECT_TRUE(fails("rem lower case"));
  EXPECT_STREQ(VelmoratStatementOf(stringtotext("ADDX"))->keyword, "ADD");
  EXPECT_STREQ(VelmoratStatementOf(stringtotext("UPDATE"))->keyword, "UP");
  EXPECT_STREQ(VelmoratStatementOf(stringtotext("?"))->keyword, "?");
  EXPECT_EQ(VelmoratStatementOf(stringtotext("INPUT ")), nullptr);
  EXPECT_EQ(VelmoratStatementArguments(stringtotext("UP   12 ")), stringtotext("12"));
  run("QUIT");
  EXPECT_TRUE(game.QuitRequested);
}

TEST_F(Interpreter, FindItemFoldsCaseAndFindsTheFirstUnnamedSlotForAnEmptyName) {
  EXPECT_EQ(game.findItem(stringtotext("MÜNZE")), 2);
  EXPECT_EQ(game.findItem(stringtotext("Besen")), 0);
  EXPECT_EQ(game.findItem(Text()), 3);
  run("DEFINE SCENE 1 ITEM Lampe COUNT 4");
  game.clearSceneItems();
  EXPECT_EQ(game.sceneItemCount(1, 1), 0);
}

}  // namespace

namespace {

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// The status line (TITLE, EXIT, TRACE) asks for the fonts every time; a
// missing font is looked for, and logged, only the first time.
TEST(GameFonts, AMissingFontIsLookedForOnce) {
  setBundlePath(testing::TempDir() + "/no-such-bundle");
  GameState game;
  LogCapture log;
  game.loadFonts();
  game.loadFonts();
  VelmoratStatusLine(game);
  const std::string text = log.text();
  EXPECT_EQ(occurrences(text, "t_LoadFontResource: Could not load file"), 2u) << text;
  EXPECT_FALSE(game.RegularFont.hasData());
  EXPECT_FALSE(game.BoldFont.hasData());
}

}  // namespace
