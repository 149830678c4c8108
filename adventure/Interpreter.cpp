#include "adventure/Interpreter.h"

#include <atomic>

#include <array>
#include <cstdint>

#include "adventure/AuthorCommands.h"
#include "adventure/AuthorWords.h"
#include "adventure/DataFile.h"
#include "adventure/GameState.h"
#include "adventure/Parser.h"
#include "adventure/Pictures.h"
#include "adventure/Statements.h"
#include "adventure/TableLimits.h"
#include "adventure/TextBuild.h"
#include "support/Log.h"
#include "support/qbtools.h"
#include "toolbox/graphics/PictureFile.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/OutputLines.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/Refresh.h"

using adventure::argumentsAfter;
using adventure::concat;
using adventure::decimal;
using adventure::latin1;
using adventure::startsWith;

namespace {

constexpr int kStatusHalfWidth = 39;

// The number after a keyword inside arguments ("FLAG 3"), at full width, so
// that a message names the number the script wrote.
std::int64_t numberAfter(const Text& arguments, const char* keyword) {
  return texttoint(argumentsAfter(arguments, keyword));
}

// Numbers read from a script saturate at the limits of int, so a huge number
// is still just "too large" for every check below.
int exitNumber(const Text& line) {
  return adventure::scriptNumber(VelmoratStatementArguments(line));
}

void fail(GameState& game, const std::string& utf8Message) {
  VelmoratScriptFailure(game, latin1(utf8Message));
}

void runOutputLine(GameState&, const Text& line) {
  std::uint8_t window = VelmoratTextWindow();
  t_Print(window, textfrom(line, 2));
  t_ClearEndOfLine(window);
  t_Cr(window);
}

void runAdd(GameState& game, const Text& line) {
  Text r = VelmoratStatementArguments(line);
  if (!startsWith(r, "INVENTORY")) return;
  int item = game.findItem(argumentsAfter(r, "INVENTORY"));
  if (!game.isItem(item)) {
    VelmoratScriptFailure(game, concat({latin1("*** ADD INVENTORY Item # muss >=1 und <="),
                                        decimal(game.ItemSlots - 1), latin1(" sein.")}));
  } else if (game.ItemNames[item].empty()) {
    VelmoratScriptFailure(game, concat({latin1("*** ADD INVENTORY Item #"), decimal(item),
                                        latin1(" hat keinen Namen.")}));
  } else {
    game.Inventory[item] =
        adventure::heldToInt(std::int64_t{game.Inventory[item]} + 1);  // stays at the limit
  }
}

// AVAILABLE HERE: carried or lying where the player stands (the scene of
// the last prompt, also in a file of shared answers), so that a script can
// describe what the player sees as well as what is carried.
void runAvailable(GameState& game, const Text& line) {
  Text r = VelmoratStatementArguments(line);
  if (startsWith(r, "HERE")) {
    const int item = game.findItem(argumentsAfter(r, "HERE"));
    game.Condition =
        game.inventoryCount(item) > 0 || game.sceneItemCount(game.PromptScene, item) > 0;
    return;
  }
  if (!startsWith(r, "INVENTORY")) return;
  game.Condition = game.inventoryCount(game.findItem(argumentsAfter(r, "INVENTORY"))) > 0;
}

void runSubtract(GameState& game, const Text& line) {
  Text r = VelmoratStatementArguments(line);
  if (!startsWith(r, "INVENTORY")) return;
  int item = game.findItem(argumentsAfter(r, "INVENTORY"));
  if (game.isItem(item)) game.Inventory[item] -= 1;
}

// The flag named after "FLAG" in r, or -1 after the "*** Flag #" failure.
int flagIndex(GameState& game, const Text& r) {
  std::int64_t flag = numberAfter(r, "FLAG");
  if (flag >= 0 && static_cast<std::uint64_t>(flag) < game.Flags.size())
    return static_cast<int>(flag);
  VelmoratScriptFailure(game,
                        concat({latin1("*** Flag #"), decimal(flag), latin1(" nicht gefunden.")}));
  return -1;
}

void runSet(GameState& game, const Text& line) {
  Text r = VelmoratStatementArguments(line);
  if (!startsWith(r, "FLAG")) return;
  if (int flag = flagIndex(game, r); flag >= 0) game.Flags[flag] = true;
}

void clearInventory(GameState& game) {
  logLine("CLEAR INVENTORY executed");
  for (int item = 1; item < game.ItemSlots; ++item) game.Inventory[item] = 0;
}

void clearScenes(GameState& game) {
  logLine("CLEAR SCENES executed");
  game.clearSceneItems();
}

void runClear(GameState& game, const Text& line) {
  Text r = VelmoratStatementArguments(line);
  if (startsWith(r, "FLAG")) {
    if (int flag = flagIndex(game, r); flag >= 0) game.Flags[flag] = false;
  } else if (adventure::equals(r, "DIRECTION")) {
    logLine("CLEAR DIRECTION executed");
    game.clearExits();
  } else if (adventure::equals(r, "INVENTORY")) {
    clearInventory(game);
  } else if (adventure::equals(r, "SCENES")) {
    clearScenes(game);
  }
}

void runCompare(GameState& game, const Text& line) {
  Text r = VelmoratStatementArguments(line);
  if (startsWith(r, "FLAG")) {
    if (int flag = flagIndex(game, r); flag >= 0) game.Condition = game.Flags[flag];
    return;
  }
  VelmoratRememberCompared(game, r);
  game.Condition =
      VelmoratComparisonKey(r, game.Words) == VelmoratComparisonKey(game.LastInput, game.Words);
}

void defineItem(GameState& game, Text& r) {
  Text t = argumentsAfter(r, "ITEM");
  int p = position(t, Text::fromBytes("NAME"), 1);
  if (p < 1) {
    VelmoratScriptNotice(game, latin1("*** DEF ITEM fehlt 'NAME'."));
    r = t;
    return;
  }
  int item = adventure::scriptNumber(textleft(t, p - 1));
  Text name = texttrim(textfrom(t, p + 4));
  r = name;
  if (item < 1) {
    fail(game, "*** DEFINE ITEM muss >=1 sein.");
  } else if (item >= game.ItemSlots) {
    VelmoratScriptFailure(game, concat({latin1("*** DEFINE ITEM muss <="),
                                        decimal(game.ItemSlots - 1), latin1(" sein.")}));
  } else {
    game.ItemNames[item] = name;
  }
}

void defineSceneItem(GameState& game, const Text& r) {
  Text t = argumentsAfter(r, "SCENE");
  int p = position(t, Text::fromBytes("ITEM"), 1);
  if (p < 1) {
    VelmoratScriptNotice(game, latin1("*** DEFINE SCENE fehlt 'ITEM'."));
    return;
  }
  int scene = adventure::scriptNumber(textleft(t, p - 1));
  Text u = texttrim(textfrom(t, p + 4));
  if (scene < 0) {
    fail(game, "*** DEFINE SCENE muss >=0 sein.");
    return;
  }
  int q = position(u, Text::fromBytes("COUNT"), 1);
  int count = q < 1 ? 1 : adventure::scriptNumber(textfrom(u, q + 5));
  Text name = q < 1 ? u : texttrim(textleft(u, q - 1));
  int item = game.findItem(name);
  logLine("item #" + std::to_string(item) + " = '" + textforlog(name) +
          "', COUNT = " + std::to_string(count));
  if (item < 1) {
    fail(game, "*** DEFINE SCENE ... ITEM existiert nicht.");
  } else if (count < 0) {
    fail(game, "*** DEFINE SCENE ... ITEM ... COUNT muss >=0 sein.");
  } else if (item >= game.ItemSlots) {
    VelmoratScriptFailure(game, concat({latin1("*** DEFINE SCENE ... ITEM muss <="),
                                        decimal(game.ItemSlots - 1), latin1(" sein.")}));
  } else if (!game.setSceneItemCount(scene, item, count)) {
    // The scene lies beyond DIMENSION SCENES: it has no place in the table.
    VelmoratScriptFailure(game, concat({latin1("*** DEFINE SCENE muss <="),
                                        decimal(game.SceneCount - 1), latin1(" sein.")}));
  }
}

void runDefine(GameState& game, const Text& line) {
  Text r = VelmoratStatementArguments(line);
  if (startsWith(r, "ITEM")) defineItem(game, r);
  if (startsWith(r, "SCENE")) defineSceneItem(game, r);
}

// A DIMENSION size: -1 (after the failure) when it is negative or too large
// for the table; "what" names the table in the message.
int dimensionSize(GameState& game, const Text& r, const char* what, int largest) {
  int size = adventure::scriptNumber(r);
  if (size < 0) {
    VelmoratScriptFailure(
        game, concat({latin1("*** DIMENSION "), latin1(what), latin1(" muss >=0 sein.")}));
    return -1;
  }
  if (size > largest) {
    VelmoratScriptFailure(game, concat({latin1("*** DIMENSION "), latin1(what), latin1(" muss <="),
                                        decimal(largest), latin1(" sein.")}));
    return -1;
  }
  return size;
}

void runDimension(GameState& game, const Text& line) {
  Text r = VelmoratStatementArguments(line);
  if (startsWith(r, "SCENES")) {
    r = argumentsAfter(r, "SCENES");
    if (int scenes = dimensionSize(game, r, "SCENES", adventure::kMaxScenes); scenes >= 0) {
      game.SceneCount = scenes;
      game.SceneItems.assign(static_cast<std::size_t>(game.ItemSlots) * game.SceneCount, 0);
    }
  }
  if (startsWith(r, "ITEMS")) {
    r = argumentsAfter(r, "ITEMS");
    if (int items = dimensionSize(game, r, "ITEMS", adventure::kMaxItems); items >= 0) {
      game.ItemSlots = items + 1;
      game.ItemNames.assign(game.ItemSlots, Text());
      game.Inventory.assign(game.ItemSlots, 0);
      game.SceneItems.assign(static_cast<std::size_t>(game.ItemSlots) * game.SceneCount, 0);
    }
  }
  if (startsWith(r, "FLAGS")) {
    Text size = argumentsAfter(r, "FLAGS");
    if (int flags = dimensionSize(game, size, "FLAGS", adventure::kMaxFlags); flags >= 0) {
      game.Flags.assign(static_cast<std::size_t>(flags) + 1, false);
    }
    return;
  }
  if (adventure::equals(r, "INVENTORY")) clearInventory(game);
  if (adventure::equals(r, "SCENES")) clearScenes(game);
}

void runDraw(GameState& game, const Text&) {
  g_Draw(kPictureWindow, game.ScenePicture, 0, 0, 1, -1);
  VelmoratDescribePicture(game, game.ScenePictureName);
  t_WindowUpdate(kPictureWindow, false);
}

void runExit(GameState& game, const Text& line) {
  game.SceneExits = VelmoratStatementArguments(line);
  VelmoratStatusLine(game);
}

void runTitle(GameState& game, const Text& line) {
  game.SceneTitle = VelmoratStatementArguments(line);
  VelmoratStatusLine(game);
}

void runTrace(GameState& game, const Text& line) {
  Text r = VelmoratStatementArguments(line);
  if (adventure::equals(r, "ON")) game.TraceOn = true;
  if (adventure::equals(r, "OFF")) game.TraceOn = false;
  VelmoratStatusLine(game);
}

void jumpToLabel(GameState& game, const Text& label) {
  int target = VelmoratFindLabel(game.ScriptLines, label);
  if (target < 0) {
    VelmoratScriptFailure(game,
                          concat({latin1("*** Label '"), label, latin1("' nicht gefunden.")}));
  } else {
    game.ProgramCounter = target - 1;
  }
}

void runGoto(GameState& game, const Text& line) {
  Text r = VelmoratStatementArguments(line);
  if (!startsWith(r, "SCENE")) {
    jumpToLabel(game, r);
    return;
  }
  std::int64_t scene = numberAfter(r, "SCENE");
  game.CurrentScene = adventure::heldToInt(scene);
  game.ScriptLines = VelmoratLoadData(game.DataFolder, game.CurrentScene);
  game.ProgramCounter = -1;
  game.clearExits();
  if (game.ScriptLines.empty()) {
    VelmoratScriptFailure(game, concat({latin1("*** Scene #"), adventure::threeDigits(scene),
                                        latin1(" konnte nicht geladen werden.")}));
  }
}

void runIf(GameState& game, const Text& line) {
  Text r = VelmoratStatementArguments(line);
  if (!startsWith(r, "EQUAL")) {
    VelmoratScriptFailure(
        game, concat({latin1("*** Vergleichsoperator '"), r, latin1("' nicht gefunden.")}));
    return;
  }
  if (game.Condition) jumpToLabel(game, argumentsAfter(r, "EQUAL"));
}

void runInkey(GameState&, const Text&) {
  std::uint8_t window = VelmoratTextWindow();
  t_Inverse(window);
  t_Print(window, std::string("Weiter..."));
  t_Normal(window);
  // INKEY takes the key itself instead of through t_KeyWait (no cursor); a
  // queued key ends the wait at once, as does the request to end the program.
  for (;;) {
    waitForInput(InputWaitKind::Poll, [] { return KeyAvailable.load(); });
    std::optional<t_Event> event = KeyEventQueue.takeFront();
    if (!event) continue;
    CurrentKeyEvent = *event;
    if (event->Value >= 0) break;
  }
  t_Htab(window, 1);
  t_ClearEndOfLine(window);
}

void runInput(GameState& game, const Text&) {
  game.ComparedSinceInput.clear();
  game.LastInput = VelmoratInput(game);
  game.Diagnostics.commandsTaken += 1;
}

void runQuit(GameState& game, const Text&) {
  game.QuitRequested = true;
}

void runUse(GameState& game, const Text& line) {
  Text file = concat({VelmoratStatementArguments(line), Text::fromBytes(".gr")});
  std::string path = game.DataFolder + texttostring(file);
  if (fileexists(path) == 1) {
    game.ScenePicture = g_LoadGraphic(path);
    game.ScenePictureName = VelmoratStatementArguments(line);
  } else {
    VelmoratScriptFailure(game, concat({latin1("*** Szene Grafik '"), file,
                                        latin1("' konnte nicht geladen werden.")}));
  }
}

// FORWARD, BACKWARD, LEFT, RIGHT, UP, DOWN: the exit in that direction.
template <ExitDirection direction>
void runExitTo(GameState& game, const Text& line) {
  game.Exits[direction] = exitNumber(line);
}
void runNothing(GameState&, const Text&) {}

// Recognition is by prefix, so the order matters: the first matching row runs.
constexpr std::array<Statement, 31> kStatements = {{
    {"?", false, runOutputLine, StatementCheck::OutputLine},
    {"ADD", false, runAdd, StatementCheck::InventoryItem},
    {"AVAILABLE", false, runAvailable, StatementCheck::InventoryItem},
    {"BACKWARD", false, runExitTo<ExitBackward>, StatementCheck::ExitScene},
    {"CLEAR", false, runClear, StatementCheck::Flag},
    {"COMPARE", false, runCompare, StatementCheck::Flag},
    {"DEFINE", false, runDefine, StatementCheck::SceneItem},
    {"DIMENSION", false, runDimension, StatementCheck::None},
    {"DOWN", false, runExitTo<ExitDown>, StatementCheck::ExitScene},
    {"DRAW", true, runDraw, StatementCheck::None},
    {"EXIT", false, runExit, StatementCheck::None},
    {"FORWARD", false, runExitTo<ExitForward>, StatementCheck::ExitScene},
    {"GOTO", false, runGoto, StatementCheck::GotoTarget},
    {"IF", false, runIf, StatementCheck::IfTarget},
    {"INKEY", true, runInkey, StatementCheck::None},
    {"INPUT", true, runInput, StatementCheck::None},
    {"LEFT", false, runExitTo<ExitLeft>, StatementCheck::ExitScene},
    {"QUIT", true, runQuit, StatementCheck::None},
    {"RIGHT", false, runExitTo<ExitRight>, StatementCheck::ExitScene},
    {"SET", false, runSet, StatementCheck::Flag},
    {"SUBTRACT", false, runSubtract, StatementCheck::InventoryItem},
    {"TITLE", false, runTitle, StatementCheck::None},
    {"TRACE", false, runTrace, StatementCheck::None},
    {"UP", false, runExitTo<ExitUp>, StatementCheck::ExitScene},
    {"USE", false, runUse, StatementCheck::Picture},
    {"WORDS", false, VelmoratRunWords, StatementCheck::Words},
    {"LABEL", false, runNothing, StatementCheck::None},
    {"REM", false, runNothing, StatementCheck::None},
    {"//", false, runNothing, StatementCheck::None},
    {"'", false, runNothing, StatementCheck::None},
    {"", true, runNothing, StatementCheck::None},
}};

void reloadAfterFailure(GameState& game) {
  if (VelmoratStopRepeatedFailure(game)) return;
  std::uint8_t window = VelmoratTextWindow();
  t_Cr(window);
  t_Print(window, std::string("Bitte drücken Sie irgendeine Taste um das Skript neu zu laden "));
  t_KeyWait(window);
  t_Cr(window);
  t_Cr(window);
  game.ScriptLines = VelmoratLoadData(game.DataFolder, game.CurrentScene);
  game.clearExits();
  game.ScriptError = false;
  game.ProgramCounter = 0;
  VelmoratCountStatement(game, true);  // the key was a wait
}

bool insideScript(const GameState& game) {
  return game.ProgramCounter >= 0 &&
         static_cast<std::size_t>(game.ProgramCounter) < game.ScriptLines.size();
}

}  // namespace

namespace {
std::atomic<std::uint64_t> scriptMessagesShown{0};
}  // namespace

std::uint64_t VelmoratScriptMessagesShown() {
  return scriptMessagesShown.load();
}

void VelmoratPrintMessage(const Text& message) {
  if (startsWith(message, "***")) ++scriptMessagesShown;
  std::uint8_t window = VelmoratTextWindow();
  t_Print(window, message);
  t_Cr(window);
}

void VelmoratPrintMessage(const std::string& utf8Message) {
  VelmoratPrintMessage(latin1(utf8Message));
}

void VelmoratScriptFailure(GameState& game, const Text& message) {
  VelmoratPrintMessage(message);
  VelmoratNoteScriptMessage(game, message, true);
  game.ScriptError = true;
}

void VelmoratScriptNotice(GameState& game, const Text& message) {
  VelmoratPrintMessage(message);
  VelmoratNoteScriptMessage(game, message, false);
}

std::span<const Statement> VelmoratStatements() {
  return kStatements;
}

const Statement* VelmoratStatementOf(const Text& line) {
  for (const Statement& row : kStatements) {
    bool matches = row.exact ? adventure::equals(line, row.keyword) : startsWith(line, row.keyword);
    if (matches) return &row;
  }
  return nullptr;
}

Text VelmoratStatementArguments(const Text& line) {
  const Statement* row = VelmoratStatementOf(line);
  return row == nullptr ? Text() : argumentsAfter(line, row->keyword);
}

void VelmoratExecuteLine(GameState& game, const Text& line) {
  if (const Statement* row = VelmoratStatementOf(line)) {
    row->run(game, line);
  } else {
    VelmoratScriptFailure(game, concat({latin1("*** Unbekannter Befehl '"), line, latin1("'.")}));
  }
}

void VelmoratRunScript(GameState& game, std::size_t maxLines) {
  for (std::size_t run = 0; run < maxLines && insideScript(game) && !game.QuitRequested; ++run) {
    const Text line = game.ScriptLines[game.ProgramCounter];
    game.Diagnostics.running = {game.CurrentScene, game.ProgramCounter};
    logLine("#" + formatnumber(game.ProgramCounter, '0', 3, false) +
            ": Command = " + textforlog(line));
    if (game.Diagnostics.traceLines) VelmoratTraceLine(game, line);
    VelmoratExecuteLine(game, line);
    VelmoratCountStatement(game,
                           adventure::equals(line, "INPUT") || adventure::equals(line, "INKEY"));
    game.ProgramCounter += 1;
    if (game.ScriptError) reloadAfterFailure(game);
  }
}

void VelmoratStatusLine(GameState& game) {
  std::uint8_t window = VelmoratTextWindow();
  game.loadFonts();
  if (game.BoldFont.hasData()) t_WindowFont(window, game.BoldFont);
  int column = t_Hpos(window);
  int row = t_Vpos(window);
  // The right half ends in the last column: its wrap ends no line of the story.
  const outputlines::NotStory drawnInPlace;
  t_FullArea(window);
  t_CursorHome(window);
  Text left = game.TraceOn ? concat({adventure::threeDigits(game.CurrentScene),
                                     Text::fromBytes(" "), game.SceneTitle})
                           : game.SceneTitle;
  left.Elements.resize(left.size() + kStatusHalfWidth, ' ');
  t_Print(window, textleft(left, kStatusHalfWidth));
  t_Print(window, textpad(concat({latin1("Ausgänge: "), game.SceneExits}), kStatusHalfWidth));
  if (game.RegularFont.hasData()) t_WindowFont(window, game.RegularFont);
  t_Area(window, 1, 3, 78, 24);
  t_Vtab(window, row);
  t_Htab(window, column);
}
