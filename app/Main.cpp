#include "app/Main.h"

#include <mutex>
#include <optional>

#include "adventure/AuthorWords.h"
#include "adventure/DataFile.h"
#include "adventure/GameState.h"
#include "adventure/HabitCommands.h"
#include "adventure/Interpreter.h"
#include "adventure/MenuTags.h"
#include "adventure/Pictures.h"
#include "adventure/Progress.h"
#include "support/Bundle.h"
#include "support/qbtools.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/WindowManagement.h"
#include "toolbox/windows/WindowSetup.h"
#include "toolbox/windows/YesNo.h"

namespace {

constexpr int kTextColumns = 78;
constexpr int kTextLines = 24;
constexpr int kTextBorder = 16;
constexpr int kTrueColour = 24;
// The text window stands right of the picture window, at its height.
constexpr int kTextWindowX = kPictureWindowWidth;
constexpr int kWindowPosY = 20;
constexpr int kFirstSceneLine = 4;
constexpr int kYesKey = 'J';
constexpr int kNoKey = 'N';

enum class AfterGame { Again, Stop, Resume };

// The replay question. It also takes the menu items and files that wait for
// the program: after the losing end, taking back the fatal command or loading
// the last state continues the game instead.
AfterGame askForAnotherGame(GameState& game) {
  const std::uint8_t window = VelmoratTextWindow();
  const YesNoQuestion replay{
      "Möchtest Du noch einmal spielen <", kYesKey, "/", kNoKey, false, "> ? "};
  for (;;) {
    t_PrintYesNoQuestion(window, replay);
    bool askAgain = false;
    while (!askAgain) {
      const std::optional<std::string> key = t_KeyWaitOrEvent(window, VelmoratProgressSeen(game));
      if (key)
        return t_YesNoAnswer(window, replay, *key, true) ? AfterGame::Again : AfterGame::Stop;
      if (!VelmoratTakeProgressRequests(game)) continue;
      const ProgressOutcome outcome = VelmoratCarryOutProgressRequests(game, false, [&] {
        t_Cr(window);
        askAgain = true;
      });
      if (outcome == ProgressOutcome::Replaced) return AfterGame::Resume;
    }
  }
}

// The last state of an earlier session, offered before the first game; it
// stays as it is until the player has answered.
bool continueFromLastState(GameState& game) {
  if (!VelmoratLastStateAvailable(game)) return false;
  const std::uint8_t window = VelmoratTextWindow();
  const YesNoQuestion resume{
      "Möchtest Du dort weiterspielen, wo Du aufgehört hast <", kYesKey, "/", kNoKey, true, "> ? "};
  t_PrintYesNoQuestion(window, resume);
  if (!t_YesNoAnswer(window, resume, t_KeyWait(window), true)) return false;
  VelmoratQueueProgressRequest(game, kMenuLoadLastState);
  return VelmoratCarryOutProgressRequests(game, false, [] {}) == ProgressOutcome::Replaced;
}

void playOneGame(GameState& game) {
  VelmoratForgetHabits(game);
  game.ScriptLines = VelmoratLoadData(game.DataFolder, 0);
  game.SceneTitle = Text();
  game.SceneExits = Text();
  game.LastInput = Text();
  game.Condition = false;
  game.Words = AuthorWords{};  // declared anew by the game's scene 0
  VelmoratRunScript(game);
}

}  // namespace

std::vector<std::string> VelmoratRequiredResources() {
  return {kBoldFontName, kRegularFontName, std::string("Data/") + VelmoratDataFileName(0)};
}

// The two pieces are joined as they stand ("Resources//Data/"): file names in
// log lines show the folder the way the game has always named it.
std::string VelmoratFindDataFolder() {
  std::string folder = resourcesPath() + "/Data/";
  return fileexists(folder + VelmoratDataFileName(0)) == 1 ? folder : std::string();
}

namespace {
std::mutex titleLock;
std::string chosenTitle = kVelmoratTitle;
std::string chosenCredit = kVelmoratCredit;
}  // namespace

void VelmoratSetTitle(const std::string& title, const std::string& credit) {
  std::lock_guard guard(titleLock);
  chosenTitle = title;
  chosenCredit = credit;
}

std::string VelmoratTitle() {
  std::lock_guard guard(titleLock);
  return chosenTitle;
}

std::string VelmoratCredit() {
  std::lock_guard guard(titleLock);
  return chosenCredit;
}

void VelmoratTitleScreen(GameState& game) {
  t_InitWindow(0, kTrueColour, kTextColumns, kTextLines, kTextBorder, kBoldFontName);
  t_InitWindow(kPictureWindow, kTrueColour, false, kPictureWindowWidth, kPictureWindowHeight, 0, 0,
               emptyFont(), true);
  const std::string title = VelmoratTitle() + " " + VelmoratCredit();
  t_WindowTitle(0, title);
  t_WindowTitle(kPictureWindow, title);
  t_WindowSize(0, kTextWindowX, t_WindowPos(kPictureWindow, kWindowPosY), -1, -1);
  t_ColorBorder(0, 0);
  t_WindowFront(0);
  std::uint8_t window = VelmoratTextWindow();
  t_Header(window, VelmoratTitle(), VelmoratCredit());
  game.loadFonts();
  if (game.RegularFont.hasData()) t_WindowFont(window, game.RegularFont);
  t_TextLine(window);
  t_Cr(window);
}

void VelmoratMain(Session& session) {
  VelmoratMainWithOptions(session, {});
}

void VelmoratMainWithOptions(Session& session, const VelmoratOptions& options) {
  GameState game;
  game.session = &session;
  game.Diagnostics.authorRun = options.authorRun;
  game.Diagnostics.endlessLoopStatements = options.endlessLoopStatements;
  game.Diagnostics.stateListener = options.stateReport;
  VelmoratTitleScreen(game);
  std::uint8_t window = VelmoratTextWindow();
  game.DataFolder = VelmoratFindDataFolder();
  if (game.DataFolder.empty()) {
    t_Print(window, std::string("*** Adventure-Daten wurden nicht gefunden."));
    t_QuitProgram(0);
  }
  t_WindowVisible(kPictureWindow, true);
  game.clearExits();
  t_Vtab(window, kFirstSceneLine);
  t_ClearEndOfWindow(window);
  VelmoratPrepareProgress(session);
  game.CurrentScene = 0;
  game.ProgramCounter = 0;
  // A saved game opened with the program (velmorat FILE.velmorat) is played
  // instead of a new one.
  bool resume = VelmoratTakeProgressRequests(game) &&
                VelmoratCarryOutProgressRequests(game, false, [] {}) == ProgressOutcome::Replaced;
  resume = resume || continueFromLastState(game);
  for (;;) {
    if (resume) {
      game.ProgramCounter = 0;
      VelmoratRunScript(game);
    } else {
      VelmoratProgressNewGame(game);
      playOneGame(game);
    }
    if (VelmoratPlayerEnded(game)) break;
    t_Cr(window);
    const AfterGame next = askForAnotherGame(game);
    resume = next == AfterGame::Resume;
    if (resume) continue;
    game.QuitRequested = next == AfterGame::Stop;
    t_Cr(window);
    game.CurrentScene = 0;
    game.ScriptError = false;
    game.ProgramCounter = 0;
    if (game.QuitRequested) break;
  }
  t_QuitProgram(0);
}
