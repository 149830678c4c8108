#include "app/Main.h"

#include <optional>

#include "adventure/AuthorWords.h"
#include "adventure/DataFile.h"
#include "adventure/GameState.h"
#include "adventure/Interpreter.h"
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
constexpr int kEscape = 27;

// The character of a key code of the 8-bit character set as UTF-8; nothing
// for a negative code (or one outside the set).
std::string keyCharacter(int code) {
  if (code < 0 || code > 255) return "";
  return texttostring(Text({static_cast<std::uint8_t>(code)}));
}

void printKey(std::uint8_t window, int code, bool highlighted) {
  if (highlighted) t_Inverse(window);
  t_Print(window, keyCharacter(code));
  t_Normal(window);
}

struct YesNoQuestion {
  std::string question;
  int yesKey;
  std::string separator;
  int noKey;
  bool defaultYes;
  std::string suffix;
};

void printQuestion(std::uint8_t window, const YesNoQuestion& asked) {
  t_Print(window, asked.question);
  printKey(window, asked.yesKey, asked.defaultYes);
  t_Print(window, asked.separator);
  printKey(window, asked.noKey, !asked.defaultYes);
  t_Print(window, asked.suffix);
}

// The answer that key gives; with echo its key is printed and the line ended.
bool answerQuestion(std::uint8_t window, const YesNoQuestion& asked, const std::string& key,
                    bool echo) {
  const int code = chrupper(asc(key));
  const bool answer = asked.defaultYes ? !(code == chrupper(asked.noKey) || code == kEscape)
                                       : code == chrupper(asked.yesKey);
  if (echo) {
    t_Print(window, keyCharacter(answer ? asked.yesKey : asked.noKey));
    t_Cr(window);
  }
  return answer;
}

enum class AfterGame { Again, Stop, Resume };

// The replay question. It also takes the menu items and files that wait for
// the program: after the losing end, taking back the fatal command or loading
// the last state continues the game instead.
AfterGame askForAnotherGame(GameState& game) {
  const std::uint8_t window = VelmoratTextWindow();
  const YesNoQuestion replay{
      "Möchtest Du noch einmal spielen <", kYesKey, "/", kNoKey, false, "> ? "};
  for (;;) {
    printQuestion(window, replay);
    bool askAgain = false;
    while (!askAgain) {
      const std::optional<std::string> key = t_KeyWaitOrEvent(window, VelmoratProgressSeen());
      if (key)
        return answerQuestion(window, replay, *key, true) ? AfterGame::Again : AfterGame::Stop;
      if (!VelmoratTakeProgressRequests()) continue;
      const ProgressOutcome outcome = VelmoratCarryOutProgressRequests(game, false, [&] {
        t_Cr(window);
        askAgain = true;
      });
      if (outcome == ProgressOutcome::Replaced) return AfterGame::Resume;
    }
  }
}

void playOneGame(GameState& game) {
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

bool t_InputYesNo(std::uint8_t window, const std::string& question, int yesKey,
                  const std::string& separator, int noKey, bool defaultYes,
                  const std::string& suffix, bool echo) {
  const YesNoQuestion asked{question, yesKey, separator, noKey, defaultYes, suffix};
  printQuestion(window, asked);
  return answerQuestion(window, asked, t_KeyWait(window), echo);
}

void VelmoratTitleScreen(GameState& game) {
  t_InitWindow(0, kTrueColour, kTextColumns, kTextLines, kTextBorder, kBoldFontName);
  t_InitWindow(kPictureWindow, kTrueColour, false, kPictureWindowWidth, kPictureWindowHeight, 0, 0,
               emptyFont(), true);
  const std::string title = std::string(kVelmoratTitle) + " " + kVelmoratCredit;
  t_WindowTitle(0, title);
  t_WindowTitle(kPictureWindow, title);
  t_WindowSize(0, kTextWindowX, t_WindowPos(kPictureWindow, kWindowPosY), -1, -1);
  t_ColorBorder(0, 0);
  t_WindowFront(0);
  std::uint8_t window = VelmoratTextWindow();
  t_Header(window, kVelmoratTitle, kVelmoratCredit);
  game.loadFonts();
  if (game.RegularFont.hasData()) t_WindowFont(window, game.RegularFont);
  t_TextLine(window);
  t_Cr(window);
}

void VelmoratMain() {
  VelmoratMainWithOptions({});
}

void VelmoratMainWithOptions(const VelmoratOptions& options) {
  GameState game;
  game.Diagnostics.authorRun = options.authorRun;
  game.Diagnostics.endlessLoopStatements = options.endlessLoopStatements;
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
  VelmoratPrepareProgress();
  game.CurrentScene = 0;
  game.ProgramCounter = 0;
  // A saved game opened with the program (velmorat FILE.velmorat) is played
  // instead of a new one.
  bool resume = VelmoratTakeProgressRequests() &&
                VelmoratCarryOutProgressRequests(game, false, [] {}) == ProgressOutcome::Replaced;
  for (;;) {
    if (resume) {
      game.ProgramCounter = 0;
      VelmoratRunScript(game);
    } else {
      VelmoratProgressNewGame();
      playOneGame(game);
    }
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
