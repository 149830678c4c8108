// Keeping the player's progress, played through the main routine against a
// small data folder: saving and loading through the menu and as a document,
// refusals that change nothing, taking back moves, takes and the losing end,
// the autosave, the command history and the transcript.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "EngineHarness.h"
#include "adventure/CommandPrompt.h"
#include "adventure/MenuTags.h"
#include "adventure/Progress.h"
#include "adventure/SaveGame.h"
#include "host/fake/FakeHost.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/windows/Documents.h"
#include "toolbox/windows/Menus.h"

using testing::EndsWith;
using testing::HasSubstr;
using testing::Not;
using testing_engine::GameRun;
using testing_engine::lastAnswer;
using testing_engine::TestBundle;

namespace {

namespace fs = std::filesystem;

// Jumping ends the game; "licht" sets flag 3, which the hall then mentions.
const char* kHall =
    "TITLE Halle\n"
    "EXIT vorne\n"
    "FORWARD 2\n"
    "?Du stehst in einer Halle.\n"
    "COMPARE FLAG 3\n"
    "IF EQUAL hell\n"
    "GOTO frage\n"
    "LABEL hell\n"
    "?Die Halle ist hell.\n"
    "LABEL frage\n"
    "INPUT\n"
    "COMPARE licht\n"
    "IF EQUAL licht\n"
    "COMPARE spring\n"
    "IF EQUAL spring\n"
    "?Wie bitte?\n"
    "GOTO frage\n"
    "LABEL licht\n"
    "SET FLAG 3\n"
    "?Es wird hell.\n"
    "GOTO frage\n"
    "LABEL spring\n"
    "?Du fällst in die Tiefe. Du hast verloren.\n"
    "QUIT\n"
    "@END\n";

const char* kTower =
    "TITLE Turm\n"
    "EXIT hinten\n"
    "BACKWARD 1\n"
    "?Oben im Turm.\n"
    "LABEL frage\n"
    "INPUT\n"
    "?Wie bitte?\n"
    "GOTO frage\n"
    "@END\n";

std::string readFile(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

host::FakeHost& desktop() {
  return static_cast<host::FakeHost&>(host::current());
}

// The screen's last line that holds anything: where the prompt waits.
std::string lastLine(std::string screen) {
  while (!screen.empty() && screen.back() == '\n') screen.pop_back();
  return screen.substr(screen.rfind('\n') + 1);
}

class Progress : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("progress_test_" + std::to_string(::getpid()));
    fs::create_directories(folder_);
    ::setenv("XDG_STATE_HOME", (folder_ / "state").c_str(), 1);
    bundle_.addScript(0, testing_engine::kSmallWorld);
    bundle_.addScript(1, kHall);
    bundle_.addScript(2, kTower);
    testing_engine::useBundle(bundle_);
  }
  void TearDown() override {
    run_.reset();
    fs::remove_all(folder_);
  }

  GameRun& start() {
    run_.reset();  // one run at a time
    run_ = std::make_unique<GameRun>(bundle_);
    return *run_;
  }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }

  // Chooses a menu item as a click would and returns the screen once the
  // program has answered it (it takes menu items while it waits for a key),
  // checking that the answer shows expected.
  std::string choose(int tag, const std::string& expected, const std::string& panelAnswer = "") {
    desktop().savePanelAnswer = panelAnswer;
    desktop().openPanelAnswer = {panelAnswer};
    const std::size_t before = count(run_->screen(), expected);
    const std::string screen = run_->screenAfter([tag] {
      t_MenuEventHandler(MenuSender{true, "Ablage", "", "", 0, tag});
    });
    if (!expected.empty() && count(screen, expected) <= before) {
      ADD_FAILURE() << "\"" << expected << "\" did not appear after menu item " << tag << ":\n"
                    << screen;
    }
    return screen;
  }
  std::string save(const std::string& name) {
    choose(kMenuSaveGame, "Spielstand gesichert: " + name, path(name));
    return readFile(path(name));
  }

  static std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
      ++found;
    return found;
  }

  TestBundle bundle_{"progress"};
  fs::path folder_;
  std::unique_ptr<GameRun> run_;
};

TEST_F(Progress, TheGamesPanelEntriesFollowTheToolboxsOwn) {
  GameRun& run = start();
  run.screen();
  std::map<int, std::vector<t_MenuAction>> byTag;
  for (const t_MenuAction& entry : MenuActionTableCopy()) byTag[entry.Tag].push_back(entry);
  ASSERT_EQ(byTag[kMenuLoadGame].size(), 1u);
  ASSERT_EQ(byTag[kMenuSaveGame].size(), 1u);
  EXPECT_EQ(byTag[kMenuLoadGame][0].Action, 100);
  EXPECT_EQ(byTag[kMenuLoadGame][0].FileTypes, "velmorat");
  EXPECT_EQ(byTag[kMenuSaveGame][0].Action, 101);
  EXPECT_EQ(byTag[kMenuSaveGame][0].FileName, "Velmorat.velmorat");
  EXPECT_EQ(byTag[kMenuSaveGame][0].FileTypes, "velmorat");
  // 300 to 303 have no entry: they reach the program through the queue.
  EXPECT_EQ(byTag.count(kMenuTakeBackMove), 0u);
  run.type("spring\rn");
}

TEST_F(Progress, SavedGameComesBackThroughTheMenuAndAsADocument) {
  GameRun& run = start();
  run.type("nimm lampe\rlicht\rv\r");
  const std::string saved = save("a.velmorat");
  EXPECT_THAT(saved, HasSubstr("\nscene 2\n"));
  EXPECT_THAT(saved, HasSubstr("\ncarried 1 1\n"));

  run.type("h\rentferne lampe\r");
  std::string screen = choose(kMenuLoadGame, "Spielstand geladen: a.velmorat", path("a.velmorat"));
  EXPECT_THAT(lastAnswer(screen), HasSubstr("Oben im Turm."));  // the scene anew
  EXPECT_EQ(save("b.velmorat"), saved);

  run.type("h\r");
  EXPECT_THAT(lastAnswer(run.screen()), HasSubstr("Die Halle ist hell."));  // flag 3 came back
  run.type("in\r");
  EXPECT_THAT(lastAnswer(run.screen()), HasSubstr("Du trägst folgende Gegenstände bei Dir: Lampe"));

  // Opening the file as a document (a drop, Ablage > Öffnen) loads it too.
  Document document;
  int error = 0;
  const std::string loaded =
      run.screenAfter([&] { document.readFromURL(path("a.velmorat"), "velmorat", &error); });
  EXPECT_EQ(count(loaded, "Spielstand geladen"), 2u);
  EXPECT_THAT(lastAnswer(loaded), HasSubstr("Oben im Turm."));
  run.type("h\rspring\rn");
  EXPECT_TRUE(run.waitForEnd());
}

// Whatever is wrong with a file, the player reads one line and plays on in
// the same game: a save made afterwards equals one made before.
TEST_F(Progress, RefusedFilesChangeNothing) {
  TestBundle other("progress_other");
  other.addScript(0, testing_engine::kSmallWorld);
  other.addScript(1, "?Eine andere Halle.\nINPUT\n@END\n");
  const std::string otherIdentity = VelmoratDataIdentity(other.dataFolder());

  GameRun& run = start();
  run.type("nimm münze\r");
  const std::string before = save("vorher.velmorat");
  // Written by the encoder, so that only the scene is wrong: there is no DATA003.word.
  DecodedSave decoded = VelmoratDecodeSave(before, VelmoratDataIdentity(bundle_.dataFolder()));
  ASSERT_EQ(decoded.refusal, SaveRefusal::None);
  decoded.game.CurrentScene = 3;
  writeFile(path("szene.velmorat"),
            VelmoratEncodeSave(decoded.game, VelmoratDataIdentity(bundle_.dataFolder())));
  writeFile(path("kurz.velmorat"), before.substr(0, before.size() / 2));
  writeFile(path("zufall.velmorat"), std::string("\x9f\x03Velmorat\x00\xff", 12));
  writeFile(path("fremd.velmorat"), VelmoratEncodeSave(decoded.game, otherIdentity));

  const std::vector<std::pair<std::string, std::string>> refusals = {
      {"kurz.velmorat", "ist beschädigt oder unvollständig."},
      {"zufall.velmorat", "ist kein Spielstand von Velmorat."},
      {"fremd.velmorat", "gehört zu anderen Spieldaten."},
      {"szene.velmorat", "enthält Zahlen außerhalb der Spieltabellen."},
      {"fehlt.velmorat", "kann nicht gelesen werden."},
  };
  for (const auto& [name, reason] : refusals) {
    std::string screen = choose(kMenuLoadGame, "Spielstand nicht geladen: " + name, path(name));
    EXPECT_EQ(lastLine(screen), ">>> Befehl ?") << "asked again at once";
    // A long answer is broken between words.
    std::replace(screen.begin(), screen.end(), '\n', ' ');
    EXPECT_THAT(screen, HasSubstr(reason)) << name;
  }
  EXPECT_EQ(save("nachher.velmorat"), before);
  run.type("spring\rn");
}

TEST_F(Progress, TakesBackAMoveATakeAndTheLosingEnd) {
  GameRun& run = start();
  std::string screen = choose(kMenuTakeBackMove, "Es gibt keinen Zug, den Du zurücknehmen kannst.");
  run.type("nimm lampe\rv\r");
  EXPECT_THAT(run.screen(), HasSubstr("Oben im Turm."));

  screen = choose(kMenuTakeBackMove, "Zurückgenommen: v");
  EXPECT_THAT(lastAnswer(screen), HasSubstr("Du stehst in einer Halle."));
  EXPECT_THAT(lastAnswer(screen), HasSubstr("Du siehst folgende Gegenstände: 2 x Münze"));
  screen = choose(kMenuTakeBackMove, "Zurückgenommen: nimm lampe");
  EXPECT_THAT(lastAnswer(screen), HasSubstr("Du siehst folgende Gegenstände: Lampe, 2 x Münze"));

  run.type("licht\rspring\r");
  EXPECT_THAT(run.screen(), HasSubstr("Möchtest Du noch einmal spielen <J/N> ?"));
  screen = choose(kMenuTakeBackMove, "Zurückgenommen: spring");
  EXPECT_THAT(lastAnswer(screen), HasSubstr("Die Halle ist hell."));
  EXPECT_EQ(lastLine(screen), ">>> Befehl ?");
  run.type("spring\rn");
  EXPECT_TRUE(run.waitForEnd());
}

// The last state is kept after every command that reaches the script; after
// the losing end, and in a later session, it brings the game back.
TEST_F(Progress, LastStateBringsTheGameBackAfterLosingAndAfterQuitting) {
  {
    GameRun& run = start();
    choose(kMenuLoadLastState, "Es gibt noch keinen letzten Stand.");
    run.type("nimm lampe\rlicht\r");
    run.screen();
    ASSERT_TRUE(fs::exists(VelmoratAutosavePath(run.session())));
    run.type("spring\r");
    EXPECT_THAT(run.screen(), HasSubstr("Du hast verloren."));
    std::string screen = choose(kMenuLoadLastState, "Letzter Stand geladen.");
    EXPECT_THAT(lastAnswer(screen), HasSubstr("Die Halle ist hell."));
    run.type("spring\rn");
    EXPECT_TRUE(run.waitForEnd());
  }
  GameRun& later = start();
  std::string screen = choose(kMenuLoadLastState, "Letzter Stand geladen.");
  EXPECT_THAT(lastAnswer(screen), HasSubstr("Die Halle ist hell."));
  later.type("in\r");
  EXPECT_THAT(lastAnswer(later.screen()), HasSubstr("bei Dir: Lampe"));
  later.type("spring\rn");
}

TEST_F(Progress, CtrlPAndCtrlNRecallTheLastHundredCommands) {
  GameRun& run = start();
  std::string commands;
  for (int command = 1; command <= 105; ++command) commands += "x" + std::to_string(command) + "\r";
  run.type(commands);
  run.type(std::string(100, '\x10'));
  EXPECT_EQ(lastLine(run.screen()), ">>> Befehl ? x6");
  run.type("\x10");  // the oldest kept stays
  EXPECT_EQ(lastLine(run.screen()), ">>> Befehl ? x6");
  run.type("\x0e\x0e");
  EXPECT_EQ(lastLine(run.screen()), ">>> Befehl ? x8");
  run.type(std::string("\x7f") + "9\x01" + "y");  // editing keys work on the recalled line
  EXPECT_EQ(lastLine(run.screen()), ">>> Befehl ? yx9");
  run.type("\r\x10");
  EXPECT_EQ(lastLine(run.screen()), ">>> Befehl ? yx9");
  run.type(
      "\x1a"
      "spring\rn");
  EXPECT_TRUE(run.waitForEnd());
}

TEST_F(Progress, TranscriptIsWhatTheTextAreaShowedAndGoesToPaperAndFile) {
  GameRun& run = start();
  run.type("nimm lampe\rlicht\r");
  std::string screen = run.screen();
  // Nothing has scrolled yet: the transcript is the screen from the text
  // area's first line (line 3) on.
  std::string fromArea;
  std::istringstream lines(screen);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (number >= 3) fromArea += line + "\n";
  }
  while (fromArea.ends_with("\n\n")) fromArea.pop_back();  // the empty lines below
  EXPECT_EQ(run.session().transcript(), fromArea);
  EXPECT_THAT(fromArea, HasSubstr(">>> Befehl ? nimm lampe\n"));

  choose(kMenuShowTranscript, "");
  EXPECT_TRUE(desktop().window(9).visible);
  EXPECT_EQ(desktop().textViewString(9), fromArea);

  // Lines that scroll away stay in the transcript, in order.
  std::string many;
  for (int command = 1; command <= 30; ++command) many += "w" + std::to_string(command) + "\r";
  run.type(many);
  screen = run.screen();
  EXPECT_THAT(screen, Not(HasSubstr(">>> Befehl ? nimm lampe")));
  std::string transcript = run.session().transcript();
  EXPECT_EQ(transcript.find(fromArea.substr(0, fromArea.rfind(">>> Befehl ?"))), 0u);
  EXPECT_LT(transcript.find(">>> Befehl ? w1\n"), transcript.find(">>> Befehl ? w30\n"));
  std::string lastLines = screen.substr(screen.rfind("w29"));
  while (lastLines.ends_with("\n")) lastLines.pop_back();
  EXPECT_THAT(transcript, EndsWith(lastLines + "\n"));

  choose(kMenuSaveTranscript, "Protokoll gesichert: Protokoll.txt", path("Protokoll.txt"));
  const std::string written = readFile(path("Protokoll.txt"));
  EXPECT_EQ(written.find(transcript.substr(0, transcript.rfind(">>> Befehl ?"))), 0u);
  run.type("spring\rn");
}

}  // namespace
