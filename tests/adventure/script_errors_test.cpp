// Every "*** " message of the statements and of the parser, as the player
// sees it, and the reload that follows a failure: the file starts again from
// its first line after a key, with the world kept.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "EngineHarness.h"

using testing::HasSubstr;
using testing::Not;
using testing_engine::GameRun;
using testing_engine::TestBundle;

namespace {

const char* kSetup =
    "DIMENSION SCENES 3\n"
    "DIMENSION ITEMS 5\n"
    "DIMENSION FLAGS 40\n"
    "DEFINE ITEM 1 NAME Lampe\n"
    "DEFINE ITEM 2 NAME Buch\n"
    "DEFINE SCENE 1 ITEM Buch\n"
    "SET FLAG 0\n"
    "GOTO SCENE 1\n"
    "@END\n";

// Each failing line, with the message it shows.
const std::vector<std::pair<std::string, std::string>> kFailures = {
    {"ADD INVENTORY Besen", "*** ADD INVENTORY Item # muss >=1 und <=5 sein."},
    {"ADD INVENTORY", "*** ADD INVENTORY Item #3 hat keinen Namen."},
    {"SET FLAG 41", "*** Flag #41 nicht gefunden."},
    {"SET FLAG 99999999999", "*** Flag #99999999999 nicht gefunden."},
    {"CLEAR FLAG -1", "*** Flag #-1 nicht gefunden."},
    {"COMPARE FLAG 99", "*** Flag #99 nicht gefunden."},
    {"DEFINE ITEM 0 NAME Null", "*** DEFINE ITEM muss >=1 sein."},
    {"DEFINE ITEM 6 NAME Sechs", "*** DEFINE ITEM muss <=5 sein."},
    {"DEFINE SCENE -1 ITEM Lampe", "*** DEFINE SCENE muss >=0 sein."},
    {"DEFINE SCENE 1 ITEM Besen", "*** DEFINE SCENE ... ITEM existiert nicht."},
    {"DEFINE SCENE 1 ITEM Lampe COUNT -1", "*** DEFINE SCENE ... ITEM ... COUNT muss >=0 sein."},
    {"DEFINE SCENE 3 ITEM Lampe", "*** DEFINE SCENE muss <=2 sein."},
    {"DIMENSION SCENES -1", "*** DIMENSION SCENES muss >=0 sein."},
    {"DIMENSION ITEMS -2", "*** DIMENSION ITEMS muss >=0 sein."},
    {"DIMENSION FLAGS -3", "*** DIMENSION FLAGS muss >=0 sein."},
    {"DIMENSION SCENES 5000", "*** DIMENSION SCENES muss <=1000 sein."},
    {"GOTO nirgends", "*** Label 'nirgends' nicht gefunden."},
    {"COMPARE FLAG 0\nIF EQUAL fehlt", "*** Label 'fehlt' nicht gefunden."},
    {"IF GREATER x", "*** Vergleichsoperator 'GREATER x' nicht gefunden."},
    {"USE fehlt", "*** Szene Grafik 'fehlt.gr' konnte nicht geladen werden."},
    {"DRAW ", "*** Unbekannter Befehl 'DRAW '."},
    {"Hallo Welt", "*** Unbekannter Befehl 'Hallo Welt'."},
};

// One step per failure: skipped once its flag is set, so that every reload
// goes one failure further.
std::string failureScene() {
  std::string script = "DEFINE ITEM Ohne Namen\nDEFINE SCENE 1 Buch\n";
  for (std::size_t i = 0; i < kFailures.size(); ++i) {
    std::string step = std::to_string(i + 1);
    script += "COMPARE FLAG " + step + "\nIF EQUAL weiter" + step + "\nSET FLAG " + step + "\n" +
              kFailures[i].first + "\nLABEL weiter" + step + "\n";
  }
  return script +
         "?Alle Fehler gezeigt.\nLABEL frage\nINPUT\nCOMPARE ende\nIF EQUAL ende\nGOTO frage\n"
         "LABEL ende\nQUIT\n@END\n";
}

TEST(ScriptErrors, EveryFailureShowsItsMessageAndReloadsTheScene) {
  TestBundle bundle("errors");
  bundle.addScript(0, kSetup);
  bundle.addScript(1, failureScene());
  GameRun run(bundle);
  std::string screen = run.screen();
  EXPECT_THAT(screen, HasSubstr("*** DEF ITEM fehlt 'NAME'.\n"));
  EXPECT_THAT(screen, HasSubstr("*** DEFINE SCENE fehlt 'ITEM'.\n"));
  for (const auto& [line, message] : kFailures) {
    screen = run.screen();
    std::size_t shown = screen.rfind(message);
    ASSERT_NE(shown, std::string::npos) << line << "\n" << screen;
    EXPECT_THAT(screen.substr(shown),
                HasSubstr("\nBitte drücken Sie irgendeine Taste um das Skript neu zu laden"));
    run.type(" ");
  }
  screen = run.screen();
  EXPECT_THAT(screen, HasSubstr("Alle Fehler gezeigt."));

  // The parser's failures: a look at an item without picture, a move to a missing scene.
  run.type("schau buch\r");
  EXPECT_THAT(run.screen(), HasSubstr("*** Item Grafik 'ITEM002.gr' konnte nicht geladen werden."));
  run.type(" ");
  EXPECT_THAT(run.screen(), HasSubstr("Alle Fehler gezeigt."));
  run.type("lese lampe\r");  // not here, not carried: nothing is shown or said
  EXPECT_THAT(run.screen(), Not(HasSubstr("ITEM001.gr")));

  run.type("\x1b");  // Escape gives an empty line: asked again
  run.type("n\r");
  run.type("ende\r");
  EXPECT_THAT(run.screen(), HasSubstr("Möchtest Du noch einmal spielen <J/N> ?"));
  run.type("\r");
  EXPECT_TRUE(run.waitForEnd());
  std::string log = run.log();
  EXPECT_THAT(log, HasSubstr("#002: Command = COMPARE FLAG 1\n"));
  EXPECT_THAT(log, HasSubstr("item #0 = 'Besen', COUNT = 1\n"));
}

TEST(ScriptErrors, GotoMissingSceneFailsThenEndsTheGameAfterTheReload) {
  // The message names the scene as written, even beyond the range of a file number.
  for (const auto& [scene, shown] : {std::pair{"12", "012"}, {"4294967296", "4294967296"}}) {
    TestBundle bundle("gotomissing");
    bundle.addScript(0, std::string("?Los.\nGOTO SCENE ") + scene + "\n@END\n");
    GameRun run(bundle);
    std::string screen = run.screen();
    EXPECT_THAT(screen,
                HasSubstr(std::string("*** Scene #") + shown + " konnte nicht geladen werden."));
    run.type(" ");
    EXPECT_THAT(run.screen(), HasSubstr("Möchtest Du noch einmal spielen <J/N> ?"));
    run.type("\r");
    EXPECT_TRUE(run.waitForEnd());
    EXPECT_THAT(run.screen(), HasSubstr("(Programm Ende)"));
  }
}

}  // namespace
