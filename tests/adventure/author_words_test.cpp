// Words a game declares with WORDS: the pieces on their own, and a small game
// that declares them, played the way a player would type.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EngineHarness.h"

#include "adventure/AuthorWords.h"
#include "adventure/GameState.h"
#include "adventure/Interpreter.h"
#include "adventure/Parser.h"
#include "adventure/TextBuild.h"
#include "support/qbtools.h"

namespace {

using adventure::latin1;
using testing::EndsWith;
using testing::HasSubstr;
using testing::Not;

// Declarations are made by running WORDS lines, as scene 0 would.
class AuthorWordsTest : public testing::Test {
 protected:
  void declare(const std::string& line) {
    VelmoratExecuteLine(game, latin1(line));
    ASSERT_FALSE(game.ScriptError) << line;
  }
  void run(const std::string& line) { VelmoratExecuteLine(game, latin1(line)); }
  std::string normalised(const std::string& typed) const {
    return texttostring(VelmoratNormaliseCommand(typed, game.Words));
  }
  Text key(const std::string& text) const {
    return VelmoratComparisonKey(latin1(text), game.Words);
  }

  GameState game;
};

TEST_F(AuthorWordsTest, WithoutDeclarationsNothingChanges) {
  EXPECT_EQ(normalised("  lies  den Brief "), "  lies  den brief ");
  EXPECT_EQ(key("Münze"), latin1("MÜNZE"));
  EXPECT_EQ(key("Straße"), latin1("STRASSE")) << "ß and ss were alike before, in upper case";
}

TEST_F(AuthorWordsTest, BlanksAreTrimmedAndCollapsedBeforeTheSynonyms) {
  declare("WORDS BLANKS");
  EXPECT_EQ(normalised("   Suche    die   Kiste  "), "such die kiste");
  EXPECT_EQ(normalised("   "), "") << "only blanks is an empty command: the prompt comes again";
}

TEST_F(AuthorWordsTest, RewritesFollowTheSynonymsInOrderAndMatchWholeWords) {
  declare("WORDS REWRITE lies = lese");
  declare("WORDS REWRITE x = lese");
  declare("WORDS REWRITE lese hinter = such");
  declare("WORDS REWRITE gehe = geh");
  declare("WORDS REWRITE geh nach =");
  declare("WORDS REWRITE I = In");
  EXPECT_EQ(normalised("lies brief"), "lese brief");
  EXPECT_EQ(normalised("x brief"), "lese brief");
  EXPECT_EQ(normalised("xylophon"), "xylophon") << "a rule matches whole words only";
  EXPECT_EQ(normalised("schau hinter bild"), "such bild")
      << "the synonym makes lese, then the rule declared later rewrites it";
  EXPECT_EQ(normalised("gehe nach vorne"), "vorne") << "each rule works on the last result";
  EXPECT_EQ(normalised("geh nach"), "geh nach") << "a rule to nothing keeps a bare command";
  EXPECT_EQ(normalised("i"), "in") << "rules are stored in lower case";
  EXPECT_EQ(normalised("lieschen"), "lieschen");
}

TEST_F(AuthorWordsTest, ADeclarationRunAgainReplacesInsteadOfPilingUp) {
  declare("WORDS REWRITE x = lese");
  declare("WORDS REWRITE x = such");
  declare("WORDS FILLER den den");
  declare("WORDS FILLER den");
  declare("WORDS HELP eine Zeile");
  declare("WORDS HELP eine Zeile");
  EXPECT_EQ(game.Words.rewrites.size(), 1u);
  EXPECT_EQ(normalised("x"), "such");
  EXPECT_EQ(game.Words.fillers.size(), 1u);
  EXPECT_EQ(game.Words.helpLines.size(), 1u);
}

TEST_F(AuthorWordsTest, FillersAreDroppedAfterTheFirstWord) {
  declare("WORDS FILLER den DIE nach");
  EXPECT_EQ(normalised("lese den brief"), "lese brief");
  EXPECT_EQ(normalised("nimm die Münze"), "nimm münze");
  EXPECT_EQ(normalised("die kiste"), "die kiste") << "the verb stays even when it is listed";
  EXPECT_EQ(normalised("lese dennoch"), "lese dennoch") << "whole words only";
  declare("WORDS REWRITE nimm münzen = nimm münze");
  declare("WORDS REWRITE geh =");
  EXPECT_EQ(normalised("nimm die münzen"), "nimm münze") << "fillers go before the rewrites";
  EXPECT_EQ(normalised("geh nach vorne"), "vorne");
}

TEST_F(AuthorWordsTest, FoldingTreatsUmlautsAndTheirSpellingsAlikeOnBothSides) {
  declare("WORDS FOLD");
  EXPECT_EQ(key("Torschlüssel"), key("TORSCHLUESSEL"));
  EXPECT_EQ(key("öffne"), key("Oeffne"));
  EXPECT_EQ(key("Straße"), key("strasse"));
  EXPECT_EQ(key("Ähre"), key("aehre"));
  EXPECT_NE(key("Münze"), key("Munze")) << "a missing e is a different word, not a spelling";
}

TEST_F(AuthorWordsTest, FoldedCompareAndItemLookup) {
  run("DIMENSION SCENES 1");
  run("DIMENSION ITEMS 2");
  run("DEFINE ITEM 2 NAME Münze");
  game.LastInput = latin1("oeffne truhe");
  run("COMPARE öffne Truhe");
  EXPECT_FALSE(game.Condition) << "not folded before the declaration";
  EXPECT_EQ(game.findItem(latin1("MUENZE")), 0);
  declare("WORDS FOLD");
  run("COMPARE öffne Truhe");
  EXPECT_TRUE(game.Condition);
  EXPECT_EQ(game.findItem(latin1("MUENZE")), 2);
}

TEST(AuthorWords, OneLetterApart) {
  auto apart = [](const char* a, const char* b) {
    return VelmoratOneLetterApart(Text::fromBytes(a), Text::fromBytes(b));
  };
  EXPECT_TRUE(apart("brif", "brief")) << "one letter missing";
  EXPECT_TRUE(apart("brieff", "brief")) << "one letter too many";
  EXPECT_TRUE(apart("brisf", "brief")) << "one letter wrong";
  EXPECT_TRUE(apart("breif", "brief")) << "two neighbours swapped";
  EXPECT_TRUE(apart("brief", "brie"));
  EXPECT_TRUE(apart("", "a"));
  EXPECT_FALSE(apart("brief", "brief")) << "equal is not apart";
  EXPECT_FALSE(apart("bref", "brief ")) << "two letters missing";
  EXPECT_FALSE(apart("beirf", "brief")) << "a swap across a letter is two changes";
  EXPECT_FALSE(apart("brxxf", "brief"));
}

TEST_F(AuthorWordsTest, GuessPrefersACompareTextThenAWord) {
  std::vector<Text> compared = {latin1("lese brief"), latin1("öffne briefkasten")};
  std::vector<Text> items = {latin1("münze"), latin1("laterne")};
  auto guess = [&](const char* command) {
    return texttostring(VelmoratGuessCommand(latin1(command), compared, items, game.Words));
  };
  EXPECT_EQ(guess("lese brif"), "lese brief");
  EXPECT_EQ(guess("öfne briefkasten"), "öffne briefkasten");
  EXPECT_EQ(guess("nimm latrene"), "nimm laterne") << "an item name one letter away";
  EXPECT_EQ(guess("benutze briefkastn"), "") << "the scene compares no \"benutze briefkasten\"";
  EXPECT_EQ(guess("lese brief"), "") << "what the scene knows is not guessed";
  EXPECT_EQ(guess("h"), "") << "short words are left alone";
  EXPECT_EQ(guess("tanze wild"), "");
  compared.push_back(latin1("lesen"));
  EXPECT_EQ(guess("lese es an"), "") << "a known word is not replaced by a neighbour";
  declare("WORDS FOLD");
  EXPECT_EQ(guess("nimm muenz"), "nimm münze") << "folded like every comparison";
}

TEST(AuthorWords, FaultsOfWordsLines) {
  bool isDeclaration = false;
  EXPECT_EQ(VelmoratWordsFault(Text::fromBytes("WORDS REWRITE x lese"), isDeclaration),
            "*** WORDS REWRITE fehlt '='.");
  EXPECT_EQ(VelmoratWordsFault(Text::fromBytes("WORDS REWRITE = lese"), isDeclaration),
            "*** WORDS REWRITE fehlt das Wort vor '='.");
  EXPECT_EQ(VelmoratWordsFault(Text::fromBytes("WORDS FILLER   "), isDeclaration),
            "*** WORDS FILLER fehlt ein Wort.");
  EXPECT_EQ(VelmoratWordsFault(Text::fromBytes("WORDS FOOL"), isDeclaration),
            "*** WORDS 'FOOL' ist unbekannt.");
  EXPECT_EQ(VelmoratWordsFault(Text::fromBytes("WORDS GUESS"), isDeclaration), "");
  EXPECT_FALSE(isDeclaration);
  EXPECT_EQ(VelmoratWordsFault(Text::fromBytes("WORDS REWRITE i = in"), isDeclaration), "");
  EXPECT_TRUE(isDeclaration);
  EXPECT_EQ(VelmoratWordsFault(Text::fromBytes("WORDS CAPTION tor Ein Tor"), isDeclaration),
            "*** WORDS CAPTION fehlt '='.");
  EXPECT_EQ(VelmoratWordsFault(Text::fromBytes("WORDS CAPTION = Ein Tor"), isDeclaration),
            "*** WORDS CAPTION fehlt das Bild vor '='.");
}

// Empty and over-long captions are no script error: the game ignores or cuts
// them, and only check-script speaks of them.
TEST_F(AuthorWordsTest, CaptionsAreFoundByPictureNameCutAndNeverEmpty) {
  const std::string longest(kMaxCaptionLength, 'a');
  const std::vector<std::pair<std::string, std::string>> cases = {
      // declaration, what check-script says
      {"WORDS CAPTION Tor = Ein Tor = alt", ""},
      {"WORDS CAPTION tor = Ein Tor im Nebel", ""},
      {"WORDS CAPTION hof =   ", "the caption of picture 'hof' is empty"},
      {"WORDS CAPTION lang = " + longest, ""},
      {"WORDS CAPTION zu_lang = " + longest + "b",
       "the caption of picture 'zu_lang' is longer than 200 characters and will be cut"},
  };
  for (const auto& [line, fault] : cases) {
    declare(line);
    EXPECT_EQ(VelmoratCaptionFault(latin1(line)), fault) << line;
  }
  const auto caption = [this](const char* picture) {
    return texttostring(VelmoratPictureCaption(game.Words, latin1(picture)));
  };
  EXPECT_EQ(caption("TOR"), "Ein Tor im Nebel") << "the second declaration replaces the first";
  EXPECT_EQ(caption("hof"), "");
  EXPECT_EQ(caption("lang"), longest);
  EXPECT_EQ(caption("zu_lang"), longest);
  EXPECT_EQ(game.Words.captions.size(), 3u);
}

}  // namespace

namespace {

using testing_engine::answerTo;
using testing_engine::GameRun;
using testing_engine::TestBundle;

// A room whose script answers two commands and sends everything else to a
// general answer that guesses first.
constexpr const char* kRoom =
    "?Ein Raum.\nLABEL f\nINPUT\nCOMPARE öffne truhe\nIF EQUAL truhe\nCOMPARE ende\n"
    "IF EQUAL e\nWORDS GUESS\nIF EQUAL f\n?Wie bitte?\nGOTO f\nLABEL truhe\n?Truhe offen.\n"
    "GOTO f\nLABEL e\nQUIT\n@END\n";

TEST(AuthorWordsPlay, DeclaredWordsReachTheEngineAndTheScript) {
  TestBundle bundle("words");
  bundle.addScript(0,
                   "DIMENSION SCENES 2\nDIMENSION ITEMS 2\nDEFINE ITEM 1 NAME Torschlüssel\n"
                   "DEFINE ITEM 2 NAME Münze\nDEFINE SCENE 1 ITEM Münze COUNT 2\n"
                   "DEFINE SCENE 1 ITEM Torschlüssel\nWORDS BLANKS\nWORDS FOLD\n"
                   "WORDS FILLER die den\nWORDS REWRITE i = in\n"
                   "WORDS HELP Auch: i (= in)\nGOTO SCENE 1\n@END\n");
  bundle.addScript(1, kRoom);
  GameRun run(bundle);
  EXPECT_THAT(answerTo(run, "  nimm   die MUENZE "), HasSubstr("OK."));
  EXPECT_THAT(answerTo(run, "nimm torschluessel"), HasSubstr("OK."));
  EXPECT_THAT(answerTo(run, "i"),
              HasSubstr("Du trägst folgende Gegenstände bei Dir: Torschlüssel, Münze"));
  EXPECT_THAT(answerTo(run, "Oeffne die Truhe"), HasSubstr("Truhe offen."));
  std::string answer = answerTo(run, "öffne truge");
  EXPECT_THAT(answer, HasSubstr("Meintest Du »öffne truhe«?"));
  EXPECT_THAT(answer, Not(HasSubstr("Wie bitte?"))) << "the guess replaces the general answer";
  EXPECT_THAT(answerTo(run, "tanze"), HasSubstr("Wie bitte?"));
  answer = answerTo(run, "hilfe");
  EXPECT_THAT(answer, HasSubstr("Weitere Befehle und Variationen sind in einigen Szenen möglich\n"
                                "Auch: i (= in)"));
  // The desktop's help window shows the same lines.
  EXPECT_THAT(run.session().helpText(),
              EndsWith("Weitere Befehle und Variationen sind in einigen Szenen möglich\n"
                       "Auch: i (= in)\n"));
  run.type("ende\r");
  run.type("n");
  EXPECT_TRUE(run.waitForEnd());
}

TEST(AuthorWordsPlay, WithoutDeclarationsTheGuessFindsNothingAndFormsStayAsTyped) {
  TestBundle bundle("nowords");
  bundle.addScript(0,
                   "DIMENSION SCENES 2\nDIMENSION ITEMS 1\nDEFINE ITEM 1 NAME Münze\n"
                   "DEFINE SCENE 1 ITEM Münze\nGOTO SCENE 1\n@END\n");
  bundle.addScript(1, kRoom);
  GameRun run(bundle);
  EXPECT_THAT(answerTo(run, "nimm muenze"), HasSubstr("Wie bitte?"));
  EXPECT_THAT(answerTo(run, "oeffne truhe"), HasSubstr("Wie bitte?"))
      << "unfolded, oe and ö are different letters";
  EXPECT_THAT(answerTo(run, " öffne truhe"), HasSubstr("Meintest Du »öffne truhe«?"))
      << "a leading blank is kept, and one letter too many is a near miss";
  // The desktop's help window shows the built-in lines alone.
  EXPECT_THAT(run.session().helpText(),
              EndsWith("Weitere Befehle und Variationen sind in einigen Szenen möglich\n"));
  EXPECT_THAT(run.session().helpText(), Not(HasSubstr("Auch: i (= in)")));
  run.type("ende\r");
  run.type("n");
  EXPECT_TRUE(run.waitForEnd());
}

}  // namespace
