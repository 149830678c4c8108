// What a run shows of a script's faults: the place of every "***" message in
// the log (and on screen in the author's run), an error that repeats with no
// command in between, an endless loop, and the author's debug commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <mutex>
#include <string>

#include "EngineHarness.h"
#include "adventure/AuthorCommands.h"

using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;
using testing_engine::answerTo;
using testing_engine::GameRun;
using testing_engine::TestBundle;

namespace {

constexpr const char* kReplay = "Möchtest Du noch einmal spielen <J/N> ?";

// Scene 1 fails at its second line on every reload: the table is never made.
TEST(RunDiagnostics, ARepeatedErrorStopsTheAuthorsRunAndOffersThePlayerTheLastState) {
  TestBundle bundle("repeat");
  bundle.addScript(0, "GOTO SCENE 1\n@END\n");
  bundle.addScript(1, "?Hallo\nADD INVENTORY Besen\nINPUT\n@END\n");
  for (bool author : {true, false}) {
    GameRun run(bundle, {.authorRun = author});
    std::string screen = run.screen();
    EXPECT_THAT(screen, HasSubstr("*** ADD INVENTORY Item # muss >=1 und <=-1 sein."));
    if (author) {
      EXPECT_THAT(screen, HasSubstr("\n    (DATA001.word #001)\n"));
    } else {
      EXPECT_THAT(screen, Not(HasSubstr("(DATA001.word #001)")));
    }
    run.type(" ");  // the first reload runs into the same error
    screen = run.screen();
    if (author) {
      EXPECT_THAT(screen, HasSubstr("das Skript wurde angehalten."));
    } else {
      EXPECT_THAT(screen, HasSubstr("Der Fehler kam wieder. Letzten Stand laden <J/N> ?"));
      run.type("n");
    }
    EXPECT_THAT(run.screen(), HasSubstr(kReplay));
    run.type("n");
    ASSERT_TRUE(run.waitForEnd());
    EXPECT_THAT(run.log(),
                HasSubstr("DATA001.word #001: *** ADD INVENTORY Item # muss >=1 und <=-1 sein.\n"));
  }
}

// A thousand statements stand for the game's million, which the count does not tell apart.
TEST(RunDiagnostics, AnEndlessLoopIsReportedWhereItStarts) {
  TestBundle bundle("loop");
  bundle.addScript(0, "DIMENSION FLAGS 1\nGOTO SCENE 1\n@END\n");
  bundle.addScript(1, "REM Schleife\nLABEL a\nSET FLAG 0\nGOTO a\n@END\n");
  for (bool author : {true, false}) {
    GameRun run(bundle, {.authorRun = author, .endlessLoopStatements = 1000});
    std::string screen = run.screen();
    EXPECT_THAT(screen, HasSubstr("*** Endlosschleife in DATA001.word ab #001?"));
    if (author) {
      EXPECT_THAT(screen, HasSubstr("*** Das Skript wurde angehalten."));
    } else {
      EXPECT_THAT(screen, HasSubstr("Bitte drücken Sie irgendeine Taste"));
      run.type(" ");
      EXPECT_THAT(run.screen(), HasSubstr("Letzten Stand laden <J/N> ?"));
      run.type("n");
    }
    EXPECT_THAT(run.screen(), HasSubstr(kReplay));
    run.type("n");
    ASSERT_TRUE(run.waitForEnd());
  }
}

// Each command with what its answer shows, typed in this order.
TEST(RunDiagnostics, DebugCommandsWorkInTheAuthorsRunOnly) {
  TestBundle bundle("debug");
  bundle.addScript(
      0, std::string("REM Flags: 3 Tor offen, 4 Lampe an.\n") + testing_engine::kSmallWorld);
  const std::string answers =
      "LABEL e\nINPUT\nCOMPARE ende\nIF EQUAL q\n?Nichts passiert.\n"
      "GOTO e\nLABEL q\nQUIT\n@END\n";
  bundle.addScript(1, "TITLE Halle\nFORWARD 2\n" + answers);
  bundle.addScript(2, "?Im Garten.\n" + answers);
  const std::pair<const char*, const char*> steps[] = {
      {"#zustand", "Szene 1 (DATA001.word #003), Titel 'Halle'"},
      {"#setze 3", "Flag 3 gesetzt."},
      {"#setze 10", "Kein Flag 10 (DIMENSION FLAGS: 0 bis 9)."},
      {"#flags", "Flag 3: Tor offen\n1 von 10 Flags gesetzt."},
      {"#lösche 3", "Flag 3 gelöscht."},
      {"#hole münze", "Münze geholt."},
      {"#gegenstände", "1 Lampe, Szene 1: 1\n2 Münze, getragen 1, Szene 1: 1\n3 Kiste: nirgends"},
      {"#hole besen", "Kein Gegenstand 'besen'."},
      {"#gehe 2", "Im Garten."},
  };
  for (bool author : {true, false}) {
    // The state window's report, as the program thread hands it over at each prompt.
    std::mutex reportLock;
    std::string report;
    GameRun run(bundle, {.authorRun = author, .stateReport = [&](const std::string& now) {
                           std::lock_guard guard(reportLock);
                           report = now;
                         }});
    for (const auto& [command, answer] : steps) {
      const std::string shown = answerTo(run, command);
      if (author) {
        EXPECT_THAT(shown, HasSubstr(answer)) << command;
      } else {
        EXPECT_THAT(shown, HasSubstr("Nichts passiert.")) << "a command for the script";
      }
    }
    {
      std::lock_guard guard(reportLock);
      EXPECT_EQ(report.empty(), !author);
      if (author) {
        EXPECT_THAT(report, HasSubstr("Zustand\nSzene 2 (DATA002.word #002)"));
        EXPECT_THAT(report, HasSubstr("\nFlags\n0 von 10 Flags gesetzt.\n"));
        EXPECT_THAT(report, HasSubstr("\nGegenstände\n1 Lampe, Szene 1: 1\n2 Münze, getragen 1"));
      }
    }
    run.type("ende\r");
    EXPECT_THAT(run.screen(), HasSubstr(kReplay));
    run.type("n");
    ASSERT_TRUE(run.waitForEnd());
  }
}

TEST(RunDiagnostics, FlagNamesComeFromCommentLines) {
  std::vector<Text> lines = {
      Text::fromBytes("REM Flags: 1 gate key found, 2 gate unlocked, 23 quiet return."),
      Text::fromBytes("// Flag 44: picture drawn anew"),
      Text::fromBytes("?Flags: 5 not a comment"),
      Text::fromBytes("' Flags: x, 7"),
  };
  EXPECT_THAT(
      VelmoratFlagNames(lines),
      ElementsAre(std::pair{1, std::string("gate key found")},
                  std::pair{2, std::string("gate unlocked")},
                  std::pair{23, std::string("quiet return")},
                  std::pair{44, std::string("picture drawn anew")}, std::pair{7, std::string("")}));
}

}  // namespace
