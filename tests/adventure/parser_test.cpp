// The normalisation of a typed command: Latin-1 bytes, lower case and the
// synonym rules; and the shared commands in played games.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EngineHarness.h"

#include "adventure/Parser.h"
#include "support/qbtools.h"

namespace {

std::string normalised(const std::string& typed) {
  return texttostring(VelmoratNormaliseCommand(typed));
}

TEST(Parser, SynonymsRewriteOnlyTheFirstWordAndKeepTheRest) {
  EXPECT_EQ(normalised("Untersuche die Kiste"), "such die kiste");
  EXPECT_EQ(normalised("untersuchen"), "such");
  EXPECT_EQ(normalised("durchsuchen Truhe"), "such truhe");
  EXPECT_EQ(normalised("Suche  Kiste"), "such  kiste") << "the blanks after the word stay";
  EXPECT_EQ(normalised("Nehme Lampe"), "nimm lampe");
  EXPECT_EQ(normalised("betracht buch"), "lese buch");
  EXPECT_EQ(normalised("betrachte buch"), "lese buch");
  EXPECT_EQ(normalised("schau"), "lese");
  EXPECT_EQ(normalised("schauen"), "lese");
  EXPECT_EQ(normalised("guck"), "lese");
  EXPECT_EQ(normalised("zeige bild"), "lese bild");
  EXPECT_EQ(normalised("lesen"), "lesen") << "lese itself has no rule";
  EXPECT_EQ(normalised("die suche"), "die suche") << "rules look only at the beginning";
  // Of the look rules only the first applies: "schau" becomes "lese" and
  // "zeig" is not tried on the rest.
  EXPECT_EQ(normalised("schauzeig"), "lesezeig");
}

TEST(Parser, TypedTextBecomesLowerLatin1WithOneByteForOtherCharacters) {
  Text command = VelmoratNormaliseCommand("GEGENSTÄNDE Öl Übel €");
  std::vector<std::uint8_t> expected = {'g', 'e',  'g', 'e', 'n',  's', 't', 0xE4, 'n', 'd', 'e',
                                        ' ', 0xF6, 'l', ' ', 0xFC, 'b', 'e', 'l',  ' ', 127};
  EXPECT_EQ(command.Elements, expected);
}

}  // namespace

namespace {

using testing::HasSubstr;
using testing::Not;
using testing_engine::answerTo;
using testing_engine::GameRun;
using testing_engine::TestBundle;

TEST(ParserPlay, LookRestartTraceAndBackwardWords) {
  TestBundle bundle("parser");
  bundle.addScript(0,
                   "DIMENSION SCENES 3\nDIMENSION ITEMS 3\nDEFINE ITEM 1 NAME Lampe\n"
                   "DEFINE ITEM 2 NAME Buch\nDEFINE ITEM 3 NAME Kiste\nDEFINE SCENE 1 ITEM Lampe\n"
                   "DEFINE SCENE 1 ITEM Buch\nGOTO SCENE 1\n@END\n");
  bundle.addScript(1,
                   "BACKWARD 2\n?Ein Raum.\nLABEL f\nINPUT\nCOMPARE ende\nIF EQUAL e\n"
                   "?Antwort.\nGOTO f\nLABEL e\nQUIT\n@END\n");
  bundle.addScript(2,
                   "?Der Garten.\nLABEL f\nINPUT\nCOMPARE ende\nIF EQUAL e\n?Gartenantwort.\n"
                   "GOTO f\nLABEL e\nQUIT\n@END\n");
  bundle.addPicture("ITEM001.gr", 4, 4, 0x102030);
  GameRun run(bundle);
  EXPECT_THAT(run.screen(), HasSubstr("Du siehst folgende Gegenstände: Lampe, Buch\n"));

  std::string answer = answerTo(run, "schau kiste");
  EXPECT_THAT(answer, HasSubstr("Antwort.")) << "an item not at hand is looked at silently";
  EXPECT_THAT(answer, Not(HasSubstr("***")));

  EXPECT_THAT(answerTo(run, "trace foo"), HasSubstr("Antwort."));
  EXPECT_THAT(answerTo(run, "trace off"), Not(HasSubstr("Antwort.")));

  answer = answerTo(run, "lese");
  EXPECT_THAT(answer, HasSubstr("Ein Raum.")) << "plain lese describes the scene again";
  EXPECT_THAT(answer, Not(HasSubstr("Antwort.")));

  EXPECT_THAT(answerTo(run, "betrachte buch"),
              HasSubstr("*** Item Grafik 'ITEM002.gr' konnte nicht geladen werden."));
  run.type(" ");
  std::string screen = run.screen();
  EXPECT_THAT(screen.substr(screen.rfind("***")), HasSubstr("Ein Raum."))
      << "the scene file is reloaded";

  EXPECT_THAT(answerTo(run, "zurück"), HasSubstr("Der Garten."));
  EXPECT_THAT(answerTo(run, "scheisse"), HasSubstr("Gartenantwort."))
      << "an insult reaches the script";
  run.type("ende\r");
  run.type("n");
  EXPECT_TRUE(run.waitForEnd());
}

// Counts as large as an int (a script may give them) must not wrap to
// negative numbers, which would make the carried pieces vanish.
TEST(ParserPlay, TakingAndDroppingHugeCountsSaturatesInsteadOfWrapping) {
  TestBundle bundle("huge");
  bundle.addScript(0,
                   "DIMENSION SCENES 3\nDIMENSION ITEMS 1\nDEFINE ITEM 1 NAME Sand\n"
                   "DEFINE SCENE 1 ITEM Sand COUNT 2147483647\n"
                   "DEFINE SCENE 2 ITEM Sand COUNT 2147483647\nGOTO SCENE 1\n@END\n");
  const char* field =
      "FORWARD 2\nLABEL f\nINPUT\nCOMPARE ende\nIF EQUAL e\nGOTO f\nLABEL e\nQUIT\n@END\n";
  bundle.addScript(1, field);
  bundle.addScript(2, field);
  GameRun run(bundle);
  run.type("nimm alles\r");
  run.type("v\r");
  run.type("nimm sand\r");
  EXPECT_THAT(answerTo(run, "in"),
              HasSubstr("Du trägst folgende Gegenstände bei Dir: 2147483647 x Sand"));
  EXPECT_THAT(answerTo(run, "entferne alles"),
              HasSubstr("Du siehst folgende Gegenstände: 2147483647 x Sand\n"));
  run.type("ende\r");
  run.type("n");
  EXPECT_TRUE(run.waitForEnd());
}

}  // namespace
