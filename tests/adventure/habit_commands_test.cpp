// The commands players type out of habit (WORDS COMMANDS), the cutting of
// typed lines, the rewrite with "*", the guess that only proposes what the
// game understands, and the offer to continue from the last state.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "EngineHarness.h"

#include "adventure/AuthorWords.h"
#include "adventure/HabitCommands.h"
#include "adventure/Progress.h"
#include "host/fake/FakeHost.h"
#include "support/qbtools.h"

namespace {

using testing::HasSubstr;
using testing::Not;
using testing_engine::answerTo;
using testing_engine::GameRun;
using testing_engine::TestBundle;

std::vector<Text> texts(std::initializer_list<const char*> utf8) {
  std::vector<Text> result;
  for (const char* text : utf8) result.push_back(stringtotext(text));
  return result;
}

TEST(HabitCommands, TypedLinesAreCutOnlyUnderTheDeclaration) {
  AuthorWords declared;
  declared.commands = true;
  const struct {
    const char* typed;
    std::vector<std::string> declaredCommands;
  } cases[] = {
      {"nimm münze, öffne briefkasten.", {"nimm münze", "öffne briefkasten"}},
      {"  nimm die münze. ", {"nimm die münze"}},
      {"hilfe!?", {"hilfe"}},
      {", ,", {""}},
      {"", {""}},
      {"v,,h", {"v", "h"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VelmoratSplitTypedLine(c.typed, declared), c.declaredCommands) << c.typed;
    EXPECT_EQ(VelmoratSplitTypedLine(c.typed, {}), std::vector<std::string>{c.typed})
        << "without the declaration the line stays whole: " << c.typed;
  }
}

TEST(HabitCommands, RewriteWithStarTakesTheWordsBetween) {
  AuthorWords words;
  words.rewrites = {{stringtotext("wirf * weg"), stringtotext("entferne *")},
                    {stringtotext("lege * ab"), stringtotext("entferne *")}};
  const std::pair<const char*, const char*> cases[] = {
      {"wirf brief weg", "entferne brief"}, {"lege alte laterne ab", "entferne alte laterne"},
      {"wirf münze ein", "wirf münze ein"}, {"wirf weg", "wirf weg"},
      {"wirfbrief weg", "wirfbrief weg"},
  };
  for (const auto& [typed, expected] : cases) {
    EXPECT_EQ(texttostring(VelmoratWordsAfterSynonyms(stringtotext(typed), words)), expected);
  }
}

TEST(HabitCommands, GuessProposesOnlyWhatTheGameUnderstands) {
  const std::vector<Text> compared = texts({"ziehe seil hoch", "lese brunnen", "benutze kurbel"});
  const std::vector<Text> items = texts({"seil", "brief"});
  const AuthorWords words;
  const std::pair<const char*, const char*> cases[] = {
      {"zieh seil", ""},  // "ziehe seil" is no command of the scene
      {"lese brif", "lese brief"},
      {"nimm sei", "nimm seil"},
      {"lese brunen", "lese brunnen"},
      {"benutz kurbel", "benutze kurbel"},
  };
  for (const auto& [typed, meant] : cases) {
    EXPECT_EQ(texttostring(VelmoratGuessCommand(stringtotext(typed), compared, items, words)),
              meant)
        << typed;
  }
  EXPECT_EQ(VelmoratUnknownWord(stringtotext("lese krug"), compared, items, words), 1u);
  EXPECT_EQ(VelmoratUnknownWord(stringtotext("zieh seil"), compared, items, words), 0u);
  EXPECT_EQ(VelmoratUnknownWord(stringtotext("nimm seil"), compared, items, words),
            std::string::npos);
}

// Scene 1 answers warte, looks at the lamp and has a general answer with a
// guess; flag 5 is the quiet return after taking or dropping.
constexpr const char* kRoom =
    "LABEL anfang\nCOMPARE FLAG 5\nIF EQUAL leise\n?Ein Raum.\nGOTO f\nLABEL leise\n"
    "CLEAR FLAG 5\nLABEL f\nINPUT\nCOMPARE warte\nIF EQUAL w\nCOMPARE lese lampe\n"
    "IF EQUAL l\nCOMPARE ende\nIF EQUAL e\nWORDS GUESS\nIF EQUAL f\n?Wie bitte?\nGOTO f\n"
    "LABEL w\n?Zeit vergeht.\nGOTO f\nLABEL l\n?Eine Lampe.\nGOTO f\nLABEL e\nQUIT\n@END\n";

host::FakeHost& desktop() {
  return static_cast<host::FakeHost&>(host::current());
}

std::string world(const std::string& declarations) {
  std::string scene0 = testing_engine::kSmallWorld;
  return declarations + scene0;
}

class HabitPlay : public testing::Test {
 protected:
  void SetUp() override {
    bundle_.addScript(1, kRoom);
    bundle_.addPicture("ITEM001.gr", 4, 4, 0x102030);  // the lamp's close-up
  }
  TestBundle bundle_{"habits"};
};

TEST_F(HabitPlay, EachCommandDoesWhatPlayersExpect) {
  bundle_.addScript(0, world("WORDS COMMANDS\nWORDS QUIET 5\n"));
  GameRun run(bundle_);
  const std::pair<const char*, const char*> answers[] = {
      {"nochmal", "Es gibt noch keinen Befehl zum Wiederholen."},
      {"ja", "Ich habe Dich nichts gefragt."},
      {"oops lampe", "Im letzten Befehl gab es kein Wort, das ich nicht kannte."},
      {"z", "Zeit vergeht."},
      {"lese lampx", "Meintest Du »lese lampe«?"},
      {"j", "Eine Lampe."},
      {"lese krug", "Wie bitte?"},
      {"oops lampe", "Eine Lampe."},
      {"g", "Eine Lampe."},
      {"hilfe", "sichern, laden, rückgängig = Spielstand, Zug zurück"},
      {"nimm münze, warte.", "Zeit vergeht."},
      {"undo", "Zurückgenommen: warte"},
      {"rückgängig", "Zurückgenommen: nimm münze"},
  };
  for (const auto& [typed, expected] : answers) {
    EXPECT_THAT(answerTo(run, typed), HasSubstr(expected)) << typed;
  }
  const std::string saved = (std::filesystem::temp_directory_path() /
                             ("habit_" + std::to_string(::getpid()) + ".velmorat"))
                                .string();
  desktop().savePanelAnswer = saved;
  desktop().openPanelAnswer = {saved};
  EXPECT_THAT(answerTo(run, "speichern"), HasSubstr("Spielstand gesichert:"));
  EXPECT_THAT(answerTo(run, "laden"), HasSubstr("Spielstand geladen:"));
  std::filesystem::remove(saved);
  const std::string taken = answerTo(run, "nimm lampe!");
  EXPECT_THAT(taken, HasSubstr("OK."));
  EXPECT_THAT(taken, Not(HasSubstr("Ein Raum."))) << "the quiet flag skips the description";
  EXPECT_THAT(answerTo(run, "in"), HasSubstr("Lampe"));

  run.type("\x0b\r");  // Up recalls "in"
  EXPECT_THAT(testing_engine::lastAnswer(run.screen()), HasSubstr("Du trägst"));

  EXPECT_THAT(answerTo(run, "neustart"), HasSubstr("von vorne beginnen <J/N> ?"));
  run.type("j");
  EXPECT_THAT(run.screen(), HasSubstr("Ein Raum."));
  EXPECT_THAT(answerTo(run, "in"), HasSubstr("keine Gegenstände")) << "a new game";
  answerTo(run, "ende");
  run.type("n");
  EXPECT_FALSE(run.ended());
  answerTo(run, "quit");
  run.type("j");
  ASSERT_TRUE(run.waitForEnd());
  EXPECT_THAT(run.screen(), Not(HasSubstr("noch einmal spielen")));
}

TEST_F(HabitPlay, WithoutTheDeclarationTheScriptSeesTheWordsAsTyped) {
  bundle_.addScript(0, world(""));
  GameRun run(bundle_);
  for (const char* typed : {"z", "nochmal", "nimm münze, warte", "speichern"}) {
    EXPECT_THAT(answerTo(run, typed), HasSubstr("Wie bitte?")) << typed;
  }
  const std::string taken = answerTo(run, "nimm lampe");
  EXPECT_THAT(taken, HasSubstr("Ein Raum.")) << "the scene is described again after a take";
  answerTo(run, "ende");
  run.type("n");
  EXPECT_TRUE(run.waitForEnd());
}

TEST_F(HabitPlay, TheLastStateIsOfferedAtStartAndKeptUntilAnswered) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("habit_state_" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  bundle_.addScript(0, world("WORDS COMMANDS\n"));
  {
    Session session;
    session.useStateFolder(StateFolder::Own, folder.string());
    GameRun run(bundle_, {}, &session);
    EXPECT_THAT(run.screen(), Not(HasSubstr("weiterspielen"))) << "nothing to continue yet";
    answerTo(run, "nimm lampe");
    answerTo(run, "ende");
    run.type("j");
    ASSERT_TRUE(run.waitForEnd());
  }
  for (const char* answer : {"n", "\r"}) {
    Session session;
    session.useStateFolder(StateFolder::Own, folder.string());
    GameRun run(bundle_, {}, &session);
    EXPECT_THAT(run.screen(), HasSubstr("Möchtest Du dort weiterspielen, wo Du aufgehört hast"));
    run.type(answer);
    const bool continued = answer[0] == '\r';
    EXPECT_THAT(answerTo(run, "in"), continued ? HasSubstr("Lampe") : HasSubstr("keine"))
        << "answer " << answer << "; a no keeps the last state for the next start";
    answerTo(run, "ende");
    run.type("j");
    ASSERT_TRUE(run.waitForEnd());
  }
  Session session;
  session.useStateFolder(StateFolder::None);
  GameRun run(bundle_, {}, &session);
  EXPECT_THAT(run.screen(), Not(HasSubstr("weiterspielen"))) << "a run without a state folder";
  answerTo(run, "ende");
  run.type("j");
  EXPECT_TRUE(run.waitForEnd());
  std::filesystem::remove_all(folder);
}

// A file of shared answers reached by GOTO SCENE sees "here" as the scene
// where the player typed the command.
TEST_F(HabitPlay, AvailableHereMeansWhereThePlayerStandsAlsoInASharedFile) {
  bundle_.addScript(0, world(""));
  bundle_.addScript(
      1, "LABEL f\nINPUT\nCOMPARE ende\nIF EQUAL e\nGOTO SCENE 2\nLABEL e\nQUIT\n@END\n");
  bundle_.addScript(2,
                    "AVAILABLE HERE Münze\nIF EQUAL m\n?Münze fort.\nGOTO k\nLABEL m\n"
                    "?Münze da.\nLABEL k\nAVAILABLE HERE Kiste\nIF EQUAL d\n?Kiste fort.\n"
                    "GOTO SCENE 1\nLABEL d\n?Kiste da.\nGOTO SCENE 1\n@END\n");
  GameRun run(bundle_);
  const std::string answer = answerTo(run, "schau dich um");
  EXPECT_THAT(answer, HasSubstr("Münze da.")) << "two coins lie in scene 1";
  EXPECT_THAT(answer, HasSubstr("Kiste fort."));
  answerTo(run, "ende");
  run.type("n");
  EXPECT_TRUE(run.waitForEnd());
}

}  // namespace
