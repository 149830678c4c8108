#include "adventure/Interpreter.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <thread>

#include "adventure/DataFile.h"
#include "adventure/GameState.h"
#include "adventure/Parser.h"
#include "adventure/TableLimits.h"
#include "adventure/TextBuild.h"
#include "support/Log.h"
#include "support/qbtools.h"
#include "toolbox/graphics/PictureFile.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/Refresh.h"

using adventure::argumentsAfter;
using adventure::concat;
using adventure::decimal;
using adventure::latin1;
using adventure::startsWith;

namespace {

constexpr auto kInkeyPoll = std::chrono::milliseconds(100);
constexpr int kStatusHalfWidth = 39;

// The number after a keyword of the given length inside arguments ("FLAG 3"),
// at full width, so that a message names the number the script wrote.
std::int64_t numberAfter(const Text& arguments, int keywordLength) {
  return texttoint(argumentsAfter(arguments, keywordLength));
}

// Numbers read from a script saturate at the limits of int, so a huge number
// is still just "too large" for every check below.
int exitNumber(const Text& line, int keywordLength) {
  return adventure::scriptNumber(argumentsAfter(line, keywordLength));
}

void fail(const std::string& utf8Message) {
  VelmoratScriptFailure(latin1(utf8Message));
}

void runOutputLine(const Text& line) {
  std::uint8_t window = VelmoratTextWindow();
  t_Print(window, textfrom(line, 2));
  t_ClearEndOfLine(window);
  t_Cr(window);
}

void runAdd(const Text& line) {
  Text r = argumentsAfter(line, 3);
  if (!startsWith(r, "INVENTORY")) return;
  int item = VelmoratFindItem(argumentsAfter(r, 9));
  if (!VelmoratIsItem(item)) {
    VelmoratScriptFailure(concat({latin1("*** ADD INVENTORY Item # muss >=1 und <="),
                                  decimal(ItemSlots - 1), latin1(" sein.")}));
  } else if (ItemNames[item].empty()) {
    VelmoratScriptFailure(
        concat({latin1("*** ADD INVENTORY Item #"), decimal(item), latin1(" hat keinen Namen.")}));
  } else {
    Inventory[item] =
        adventure::heldToInt(std::int64_t{Inventory[item]} + 1);  // stays at the limit
  }
}

void runAvailable(const Text& line) {
  Text r = argumentsAfter(line, 9);
  if (!startsWith(r, "INVENTORY")) return;
  Condition = VelmoratInventoryCount(VelmoratFindItem(argumentsAfter(r, 9))) > 0;
}

void runSubtract(const Text& line) {
  Text r = argumentsAfter(line, 8);
  if (!startsWith(r, "INVENTORY")) return;
  int item = VelmoratFindItem(argumentsAfter(r, 9));
  if (VelmoratIsItem(item)) Inventory[item] -= 1;
}

// The flag named after "FLAG" in r, or -1 after the "*** Flag #" failure.
int flagIndex(const Text& r) {
  std::int64_t flag = numberAfter(r, 4);
  if (flag >= 0 && static_cast<std::uint64_t>(flag) < Flags.size()) return static_cast<int>(flag);
  VelmoratScriptFailure(concat({latin1("*** Flag #"), decimal(flag), latin1(" nicht gefunden.")}));
  return -1;
}

void runSet(const Text& line) {
  Text r = argumentsAfter(line, 3);
  if (!startsWith(r, "FLAG")) return;
  if (int flag = flagIndex(r); flag >= 0) Flags[flag] = true;
}

void clearInventory() {
  logLine("CLEAR INVENTORY executed");
  for (int item = 1; item < ItemSlots; ++item) Inventory[item] = 0;
}

void clearScenes() {
  logLine("CLEAR SCENES executed");
  VelmoratClearSceneItems();
}

void runClear(const Text& line) {
  Text r = argumentsAfter(line, 5);
  if (startsWith(r, "FLAG")) {
    if (int flag = flagIndex(r); flag >= 0) Flags[flag] = false;
  } else if (adventure::equals(r, "DIRECTION")) {
    logLine("CLEAR DIRECTION executed");
    VelmoratClearExits();
  } else if (adventure::equals(r, "INVENTORY")) {
    clearInventory();
  } else if (adventure::equals(r, "SCENES")) {
    clearScenes();
  }
}

void runCompare(const Text& line) {
  Text r = argumentsAfter(line, 7);
  if (startsWith(r, "FLAG")) {
    if (int flag = flagIndex(r); flag >= 0) Condition = Flags[flag];
    return;
  }
  Condition = textupper(r) == textupper(LastInput);
}

void defineItem(Text& r) {
  Text t = argumentsAfter(r, 4);
  int p = position(t, Text::fromBytes("NAME"), 1);
  if (p < 1) {
    VelmoratPrintMessage("*** DEF ITEM fehlt 'NAME'.");
    r = t;
    return;
  }
  int item = adventure::scriptNumber(textleft(t, p - 1));
  Text name = texttrim(textfrom(t, p + 4));
  r = name;
  if (item < 1) {
    fail("*** DEFINE ITEM muss >=1 sein.");
  } else if (item >= ItemSlots) {
    VelmoratScriptFailure(
        concat({latin1("*** DEFINE ITEM muss <="), decimal(ItemSlots - 1), latin1(" sein.")}));
  } else {
    ItemNames[item] = name;
  }
}

void defineSceneItem(const Text& r) {
  Text t = argumentsAfter(r, 5);
  int p = position(t, Text::fromBytes("ITEM"), 1);
  if (p < 1) {
    VelmoratPrintMessage("*** DEFINE SCENE fehlt 'ITEM'.");
    return;
  }
  int scene = adventure::scriptNumber(textleft(t, p - 1));
  Text u = texttrim(textfrom(t, p + 4));
  if (scene < 0) {
    fail("*** DEFINE SCENE muss >=0 sein.");
    return;
  }
  int q = position(u, Text::fromBytes("COUNT"), 1);
  int count = q < 1 ? 1 : adventure::scriptNumber(textfrom(u, q + 5));
  Text name = q < 1 ? u : texttrim(textleft(u, q - 1));
  int item = VelmoratFindItem(name);
  logLine("item #" + std::to_string(item) + " = '" + textforlog(name) +
          "', COUNT = " + std::to_string(count));
  if (item < 1) {
    fail("*** DEFINE SCENE ... ITEM existiert nicht.");
  } else if (count < 0) {
    fail("*** DEFINE SCENE ... ITEM ... COUNT muss >=0 sein.");
  } else if (item >= ItemSlots) {
    VelmoratScriptFailure(concat(
        {latin1("*** DEFINE SCENE ... ITEM muss <="), decimal(ItemSlots - 1), latin1(" sein.")}));
  } else if (!VelmoratSetSceneItemCount(scene, item, count)) {
    // The scene lies beyond DIMENSION SCENES: it has no place in the table.
    VelmoratScriptFailure(
        concat({latin1("*** DEFINE SCENE muss <="), decimal(SceneCount - 1), latin1(" sein.")}));
  }
}

void runDefine(const Text& line) {
  Text r = argumentsAfter(line, 6);
  if (startsWith(r, "ITEM")) defineItem(r);
  if (startsWith(r, "SCENE")) defineSceneItem(r);
}

// A DIMENSION size: -1 (after the failure) when it is negative or too large
// for the table; "what" names the table in the message.
int dimensionSize(const Text& r, const char* what, int largest) {
  int size = adventure::scriptNumber(r);
  if (size < 0) {
    VelmoratScriptFailure(
        concat({latin1("*** DIMENSION "), latin1(what), latin1(" muss >=0 sein.")}));
    return -1;
  }
  if (size > largest) {
    VelmoratScriptFailure(concat({latin1("*** DIMENSION "), latin1(what), latin1(" muss <="),
                                  decimal(largest), latin1(" sein.")}));
    return -1;
  }
  return size;
}

void runDimension(const Text& line) {
  Text r = argumentsAfter(line, 9);
  if (startsWith(r, "SCENES")) {
    r = argumentsAfter(r, 6);
    if (int scenes = dimensionSize(r, "SCENES", adventure::kMaxScenes); scenes >= 0) {
      SceneCount = scenes;
      SceneItems.assign(static_cast<std::size_t>(ItemSlots) * SceneCount, 0);
    }
  }
  if (startsWith(r, "ITEMS")) {
    r = argumentsAfter(r, 5);
    if (int items = dimensionSize(r, "ITEMS", adventure::kMaxItems); items >= 0) {
      ItemSlots = items + 1;
      ItemNames.assign(ItemSlots, Text());
      Inventory.assign(ItemSlots, 0);
      SceneItems.assign(static_cast<std::size_t>(ItemSlots) * SceneCount, 0);
    }
  }
  if (startsWith(r, "FLAGS")) {
    Text size = argumentsAfter(r, 5);
    if (int flags = dimensionSize(size, "FLAGS", adventure::kMaxFlags); flags >= 0) {
      Flags.assign(static_cast<std::size_t>(flags) + 1, false);
    }
    return;
  }
  if (adventure::equals(r, "INVENTORY")) clearInventory();
  if (adventure::equals(r, "SCENES")) clearScenes();
}

void runDraw(const Text&) {
  g_Draw(kPictureWindow, ScenePicture, 0, 0, 1, -1);
  t_WindowUpdate(kPictureWindow, false);
}

void runExit(const Text& line) {
  SceneExits = argumentsAfter(line, 4);
  VelmoratStatusLine(SceneTitle, SceneExits);
}

void runTitle(const Text& line) {
  SceneTitle = argumentsAfter(line, 5);
  VelmoratStatusLine(SceneTitle, SceneExits);
}

void runTrace(const Text& line) {
  Text r = argumentsAfter(line, 5);
  if (adventure::equals(r, "ON")) TraceOn = true;
  if (adventure::equals(r, "OFF")) TraceOn = false;
  VelmoratStatusLine(SceneTitle, SceneExits);
}

void jumpToLabel(const Text& label) {
  int target = VelmoratFindLabel(ScriptLines, label);
  if (target < 0) {
    VelmoratScriptFailure(concat({latin1("*** Label '"), label, latin1("' nicht gefunden.")}));
  } else {
    ProgramCounter = target - 1;
  }
}

void runGoto(const Text& line) {
  Text r = argumentsAfter(line, 4);
  if (!startsWith(r, "SCENE")) {
    jumpToLabel(r);
    return;
  }
  std::int64_t scene = numberAfter(r, 5);
  CurrentScene = adventure::heldToInt(scene);
  ScriptLines = VelmoratLoadData(CurrentScene);
  ProgramCounter = -1;
  VelmoratClearExits();
  if (ScriptLines.empty()) {
    VelmoratScriptFailure(concat({latin1("*** Scene #"), adventure::threeDigits(scene),
                                  latin1(" konnte nicht geladen werden.")}));
  }
}

void runIf(const Text& line) {
  Text r = argumentsAfter(line, 2);
  if (!startsWith(r, "EQUAL")) {
    VelmoratScriptFailure(
        concat({latin1("*** Vergleichsoperator '"), r, latin1("' nicht gefunden.")}));
    return;
  }
  if (Condition) jumpToLabel(argumentsAfter(r, 5));
}

void runInkey(const Text&) {
  std::uint8_t window = VelmoratTextWindow();
  t_Inverse(window);
  t_Print(window, std::string("Weiter..."));
  t_Normal(window);
  // INKEY polls the queue itself instead of t_KeyWait; it still tells the
  // host that the program waits for a key (scripted play ends on such waits).
  KeyWaiting = true;
  for (;;) {
    if (KeyAvailable.load()) {
      std::optional<t_Event> event = KeyEventQueue.takeFront();
      if (event) {
        CurrentKeyEvent = *event;
        if (event->Value >= 0) break;
      }
    }
    std::this_thread::sleep_for(kInkeyPoll);
  }
  KeyWaiting = false;
  t_Htab(window, 1);
  t_ClearEndOfLine(window);
}

void runInput(const Text&) {
  LastInput = VelmoratInput();
}

void runQuit(const Text&) {
  QuitRequested = true;
}

void runUse(const Text& line) {
  Text file = concat({argumentsAfter(line, 3), Text::fromBytes(".gr")});
  std::string path = DataFolder + texttostring(file);
  if (fileexists(path) == 1) {
    ScenePicture = g_LoadGraphic(path);
  } else {
    VelmoratScriptFailure(
        concat({latin1("*** Szene Grafik '"), file, latin1("' konnte nicht geladen werden.")}));
  }
}

void runForward(const Text& line) {
  ExitForward = exitNumber(line, 7);
}
void runBackward(const Text& line) {
  ExitBackward = exitNumber(line, 8);
}
void runLeft(const Text& line) {
  ExitLeft = exitNumber(line, 4);
}
void runRight(const Text& line) {
  ExitRight = exitNumber(line, 5);
}
void runUp(const Text& line) {
  ExitUp = exitNumber(line, 2);
}
void runDown(const Text& line) {
  ExitDown = exitNumber(line, 4);
}
void runNothing(const Text&) {}

struct StatementRow {
  const char* keyword;
  bool exact;  // the whole line is the keyword, not only its first bytes
  void (*run)(const Text& line);
};

// Recognition is by prefix, so the order matters: the first matching row runs.
constexpr std::array<StatementRow, 30> kStatements = {{
    {"?", false, runOutputLine},
    {"ADD", false, runAdd},
    {"AVAILABLE", false, runAvailable},
    {"BACKWARD", false, runBackward},
    {"CLEAR", false, runClear},
    {"COMPARE", false, runCompare},
    {"DEFINE", false, runDefine},
    {"DIMENSION", false, runDimension},
    {"DOWN", false, runDown},
    {"DRAW", true, runDraw},
    {"EXIT", false, runExit},
    {"FORWARD", false, runForward},
    {"GOTO", false, runGoto},
    {"IF", false, runIf},
    {"INKEY", true, runInkey},
    {"INPUT", true, runInput},
    {"LEFT", false, runLeft},
    {"QUIT", true, runQuit},
    {"RIGHT", false, runRight},
    {"SET", false, runSet},
    {"SUBTRACT", false, runSubtract},
    {"TITLE", false, runTitle},
    {"TRACE", false, runTrace},
    {"UP", false, runUp},
    {"USE", false, runUse},
    {"LABEL", false, runNothing},
    {"REM", false, runNothing},
    {"//", false, runNothing},
    {"'", false, runNothing},
    {"", true, runNothing},
}};

const StatementRow* statementOf(const Text& line) {
  for (const StatementRow& row : kStatements) {
    bool matches = row.exact ? adventure::equals(line, row.keyword) : startsWith(line, row.keyword);
    if (matches) return &row;
  }
  return nullptr;
}

void reloadAfterFailure() {
  std::uint8_t window = VelmoratTextWindow();
  t_Cr(window);
  t_Print(window, std::string("Bitte drücken Sie irgendeine Taste um das Skript neu zu laden "));
  t_KeyWait(window);
  t_Cr(window);
  t_Cr(window);
  ScriptLines = VelmoratLoadData(CurrentScene);
  VelmoratClearExits();
  ScriptError = false;
  ProgramCounter = 0;
}

bool insideScript() {
  return ProgramCounter >= 0 && static_cast<std::size_t>(ProgramCounter) < ScriptLines.size();
}

}  // namespace

void VelmoratPrintMessage(const Text& message) {
  std::uint8_t window = VelmoratTextWindow();
  t_Print(window, message);
  t_Cr(window);
}

void VelmoratPrintMessage(const std::string& utf8Message) {
  VelmoratPrintMessage(latin1(utf8Message));
}

void VelmoratScriptFailure(const Text& message) {
  VelmoratPrintMessage(message);
  ScriptError = true;
}

const char* VelmoratStatementKeyword(const Text& line) {
  const StatementRow* row = statementOf(line);
  return row == nullptr ? nullptr : row->keyword;
}

void VelmoratExecuteLine(const Text& line) {
  if (const StatementRow* row = statementOf(line)) {
    row->run(line);
  } else {
    VelmoratScriptFailure(concat({latin1("*** Unbekannter Befehl '"), line, latin1("'.")}));
  }
}

void VelmoratRunScript(std::size_t maxLines) {
  for (std::size_t run = 0; run < maxLines && insideScript() && !QuitRequested; ++run) {
    const Text line = ScriptLines[ProgramCounter];
    logLine("#" + formatnumber(ProgramCounter, '0', 3, false) + ": Command = " + textforlog(line));
    VelmoratExecuteLine(line);
    ProgramCounter += 1;
    if (ScriptError) reloadAfterFailure();
  }
}

void VelmoratStatusLine(const Text& title, const Text& exits) {
  std::uint8_t window = VelmoratTextWindow();
  VelmoratLoadFonts();
  if (BoldFont.hasData()) t_WindowFont(window, BoldFont);
  int column = t_Hpos(window);
  int row = t_Vpos(window);
  t_FullArea(window);
  t_CursorHome(window);
  Text left =
      TraceOn ? concat({adventure::threeDigits(CurrentScene), Text::fromBytes(" "), title}) : title;
  left.Elements.resize(left.size() + kStatusHalfWidth, ' ');
  t_Print(window, textleft(left, kStatusHalfWidth));
  t_Print(window, textpad(concat({latin1("Ausgänge: "), exits}), kStatusHalfWidth));
  if (RegularFont.hasData()) t_WindowFont(window, RegularFont);
  t_Area(window, 1, 3, 78, 24);
  t_Vtab(window, row);
  t_Htab(window, column);
}

int VelmoratFindItem(const Text& name) {
  Text wanted = textupper(name);
  for (int item = 1; item < ItemSlots; ++item) {
    if (wanted == textupper(ItemNames[item])) return item;
  }
  return 0;
}

void VelmoratClearSceneItems() {
  for (int scene = 0; scene < SceneCount; ++scene) {
    for (int item = 1; item < ItemSlots; ++item) VelmoratSetSceneItemCount(scene, item, 0);
  }
}
