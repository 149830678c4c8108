// Games played through the main routine with typed keys against small data
// folders made here: the parser's shared commands, the status line, INKEY,
// TRACE, scene changes and the replay question, as the player sees them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EngineHarness.h"
#include "adventure/GameState.h"
#include "app/Main.h"

using testing::HasSubstr;
using testing::Not;
using testing_engine::GameRun;
using testing_engine::lastAnswer;
using testing_engine::TestBundle;

namespace {

const char* kHall =
    "TITLE Halle\n"
    "EXIT vorne, links\n"
    "FORWARD 2\n"
    "LEFT 9\n"
    "?   Du stehst in einer Halle.\n"
    "LABEL frage\n"
    "INPUT\n"
    "COMPARE such kiste\n"
    "IF EQUAL kiste\n"
    "COMPARE weiter\n"
    "IF EQUAL weiter\n"
    "?Wie bitte: \n"
    "GOTO frage\n"
    "LABEL kiste\n"
    "?Die Kiste ist leer.\n"
    "GOTO frage\n"
    "LABEL weiter\n"
    "INKEY\n"
    "?Taste genommen.\n"
    "GOTO frage\n"
    "@END\n";

const char* kTower =
    "TITLE Turm\n"
    "TRACE\n"
    "?Oben im Turm.\n"
    "INPUT\n"
    "TRACE OFF\n"
    "QUIT\n"
    "@END\n";

// Scene 0 sets the world up and moves on, so that restarting scene 1 after a
// take or drop does not set it up again.
void addHallScenes(TestBundle& bundle) {
  bundle.addScript(0, testing_engine::kSmallWorld);
  bundle.addScript(1, kHall);
  bundle.addScript(2, kTower);
}

TEST(GamePlay, SharedCommandsStatusLineInkeyTraceAndReplay) {
  TestBundle bundle("hall");
  addHallScenes(bundle);
  GameRun run(bundle);
  std::string screen = run.screen();
  std::string statusLine = screen.substr(0, screen.find('\n'));
  EXPECT_EQ(statusLine.substr(0, 5), "Halle");
  EXPECT_EQ(statusLine.find("Ausgänge: vorne, links"), 39u + 0) << statusLine;
  EXPECT_THAT(screen, HasSubstr("\n   Du stehst in einer Halle.\n"));
  EXPECT_THAT(screen, HasSubstr("Du siehst folgende Gegenstände: Lampe, 2 x Münze\n"));

  run.type("Untersuche Kiste\r");
  EXPECT_THAT(lastAnswer(run.screen()), HasSubstr("Die Kiste ist leer."));
  run.type("suche kiste\r");
  EXPECT_THAT(lastAnswer(run.screen()), HasSubstr("Die Kiste ist leer."));
  run.type("such  kiste\r");
  EXPECT_THAT(lastAnswer(run.screen()), HasSubstr("Wie bitte:"));

  run.type("\r");  // an empty line only prompts again
  EXPECT_THAT(lastAnswer(run.screen()), Not(HasSubstr("Wie bitte:")));

  run.type("nimm münze\r");
  screen = run.screen();
  EXPECT_THAT(lastAnswer(screen), HasSubstr("OK."));
  EXPECT_THAT(screen, HasSubstr("Du siehst folgende Gegenstände: Lampe, Münze\n"));

  run.type("NIMM ALLES\r");
  screen = lastAnswer(run.screen());
  EXPECT_THAT(screen, HasSubstr("OK."));
  EXPECT_THAT(screen, Not(HasSubstr("Du siehst")));
  run.type("in\r");
  EXPECT_THAT(lastAnswer(run.screen()),
              HasSubstr("Du trägst folgende Gegenstände bei Dir: Lampe, 2 x Münze"));

  run.type("entferne lampe\r");
  EXPECT_THAT(run.screen(), HasSubstr("Du siehst folgende Gegenstände: Lampe\n"));
  run.type("entferne alle\r");
  EXPECT_THAT(run.screen(), HasSubstr("Du siehst folgende Gegenstände: Lampe, 2 x Münze\n"));
  run.type("entferne alles\r");
  EXPECT_THAT(lastAnswer(run.screen()), HasSubstr("Wie bitte:"))
      << "with nothing carried the script gets the command";
  run.type("gegenstände\r");
  EXPECT_THAT(lastAnswer(run.screen()), HasSubstr("Du trägst keine Gegenstände bei Dir."));

  run.type("r\r");
  screen = lastAnswer(run.screen());
  EXPECT_THAT(screen, HasSubstr("Du kannst nicht in diese Richtung gehen."));
  EXPECT_THAT(screen, HasSubstr("Wie bitte:")) << "a refused direction reaches the script";

  run.type("hilfe\r");
  screen = run.screen();
  EXPECT_THAT(screen, HasSubstr("lese/schau                 = Aktuelle Szene anzeigen\n"));
  EXPECT_THAT(screen, HasSubstr("aufschließen/zuschließen   = Türe auf- oder zuschließen"));
  EXPECT_THAT(screen,
              HasSubstr("Weitere Befehle und Variationen sind in einigen Szenen möglich\n"));

  run.type("weiter\r");
  EXPECT_THAT(lastAnswer(run.screen()), HasSubstr("Weiter..."));
  run.type("x");
  screen = lastAnswer(run.screen());
  EXPECT_THAT(screen, Not(HasSubstr("Weiter...")));
  EXPECT_THAT(screen, HasSubstr("Taste genommen."));

  run.type("trace on\r");
  EXPECT_THAT(lastAnswer(run.screen()), Not(HasSubstr("Wie bitte:")));
  run.type("vorwärts\r");
  screen = run.screen();
  EXPECT_EQ(screen.substr(0, 8), "002 Turm") << "TRACE without ON or OFF redraws the status line";
  EXPECT_THAT(screen, HasSubstr("Oben im Turm."));

  run.type("ende\r");
  EXPECT_THAT(run.screen(), HasSubstr("Möchtest Du noch einmal spielen <J/N> ?"));
  run.type("j");
  screen = run.screen();
  EXPECT_THAT(screen, HasSubstr("Möchtest Du noch einmal spielen <J/N> ? J\n"));
  EXPECT_THAT(screen, HasSubstr("Du siehst folgende Gegenstände: Lampe, 2 x Münze"))
      << "the new game starts from DATA000.word";

  run.type("links\r");
  screen = run.screen();
  EXPECT_THAT(screen, HasSubstr("*** Scene #009 konnte nicht geladen werden."));
  EXPECT_THAT(screen, HasSubstr("Bitte drücken Sie irgendeine Taste um das Skript neu zu laden"));
  run.type(" ");
  EXPECT_THAT(run.screen(), HasSubstr("Möchtest Du noch einmal spielen <J/N> ?"))
      << "the reload of the missing scene ends the game";
  run.type("\r");
  EXPECT_TRUE(run.waitForEnd());
  screen = run.screen();
  EXPECT_THAT(screen, HasSubstr("<J/N> ? N\n"));
  EXPECT_THAT(screen, HasSubstr("(Programm Ende)"));

  std::string log = run.log();
  EXPECT_THAT(log, HasSubstr("#000: Command = TITLE Halle\n"));
  EXPECT_THAT(log, HasSubstr("#002: Command = ?Oben im Turm.\n"));
  EXPECT_THAT(log, HasSubstr("CLEAR INVENTORY executed\n"));
  EXPECT_THAT(log, HasSubstr("CLEAR SCENES executed\n"));
  EXPECT_THAT(log, HasSubstr("item #2 = 'Münze', COUNT = 2\n"));
}

TEST(GamePlay, MissingDataFolderEndsAfterTheTitleScreen) {
  TestBundle bundle("nodata");
  GameRun run(bundle);
  EXPECT_TRUE(run.waitForEnd());
  std::string screen = run.screen();
  EXPECT_THAT(screen, HasSubstr("Velmorat"));
  EXPECT_THAT(screen, HasSubstr("*** Adventure-Daten wurden nicht gefunden."));
  EXPECT_THAT(screen, HasSubstr("(Programm Ende)"));
  EXPECT_THAT(run.log(), Not(HasSubstr("Command = ")));
}

TEST(GamePlay, FirstFileWithoutEndMarkGoesStraightToTheReplayQuestion) {
  TestBundle bundle("noend");
  bundle.addScript(0, "?Hallo\n");
  GameRun run(bundle);
  EXPECT_THAT(run.screen(), HasSubstr("Möchtest Du noch einmal spielen <J/N> ?"));
  run.type("J");
  run.type("n");
  EXPECT_TRUE(run.waitForEnd());
  EXPECT_EQ(VelmoratFindDataFolder(), bundle.bundlePath() + "/Contents/Resources//Data/");
  std::string log = run.log();
  std::size_t first = log.find("VelmoratLoadData: @END not found.");
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(log.find("VelmoratLoadData: @END not found.", first + 1), std::string::npos)
      << "J started a second game";
  EXPECT_THAT(log, Not(HasSubstr("Command = ")));
}

}  // namespace

namespace {

// Before DIMENSION ITEMS, and in a scene beyond DIMENSION SCENES, the
// parser sees empty tables: nothing to take, nothing lying around, and an
// item cannot be put down where the table has no place for it.
TEST(GamePlay, TablesOutsideTheirBoundsReadAsEmptyAndKeepCarriedItems) {
  TestBundle bundle("bounds");
  bundle.addScript(0,
                   "LABEL a\nINPUT\nCOMPARE weiter\nIF EQUAL w\n?Nichts da.\nGOTO a\nLABEL w\n"
                   "DIMENSION ITEMS 2\nDEFINE ITEM 1 NAME Stein\nADD INVENTORY Stein\n"
                   "GOTO SCENE 5\n@END\n");
  bundle.addScript(5,
                   "?Draussen.\nLABEL f\nINPUT\nCOMPARE ende\nIF EQUAL e\n?Nichts da.\n"
                   "GOTO f\nLABEL e\nQUIT\n@END\n");
  GameRun run(bundle);
  run.type("nimm alles\r");
  EXPECT_THAT(lastAnswer(run.screen()), HasSubstr("Nichts da."));
  run.type("in\r");
  EXPECT_THAT(lastAnswer(run.screen()), HasSubstr("Du trägst keine Gegenstände bei Dir."));
  run.type("weiter\r");
  EXPECT_THAT(run.screen(), HasSubstr("Draussen."));
  run.type("entferne stein\r");
  std::string answer = lastAnswer(run.screen());
  EXPECT_THAT(answer, Not(HasSubstr("OK.")));
  EXPECT_THAT(answer, HasSubstr("Nichts da."));
  run.type("entferne alles\r");
  EXPECT_THAT(lastAnswer(run.screen()), Not(HasSubstr("OK.")));
  run.type("in\r");
  EXPECT_THAT(lastAnswer(run.screen()), HasSubstr("Du trägst folgende Gegenstände bei Dir: Stein"));
  run.type("ende\r");
  run.type("n");
  EXPECT_TRUE(run.waitForEnd());
}

}  // namespace
