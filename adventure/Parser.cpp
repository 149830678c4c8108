#include "adventure/Parser.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "adventure/AuthorCommands.h"
#include "adventure/AuthorWords.h"
#include "adventure/CommandPrompt.h"
#include "adventure/DataFile.h"
#include "adventure/GameState.h"
#include "adventure/HabitCommands.h"
#include "adventure/Interpreter.h"
#include "adventure/Pictures.h"
#include "adventure/Progress.h"
#include "adventure/Session.h"
#include "adventure/TextBuild.h"
#include "support/qbtools.h"
#include "toolbox/graphics/PictureFile.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/text/Scrollback.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Refresh.h"

using adventure::argumentsAfter;
using adventure::concat;
using adventure::equals;
using adventure::latin1;
using adventure::startsWith;

namespace {

// A list piece that would reach this column moves to the next line.
constexpr int kListWrapColumn = 76;
constexpr const char* kInsultPicture = "form021.gr";

struct Synonym {
  const char* word;
  const char* verb;
};

// Each tried once, in this order, on what the previous rule left.
constexpr std::array<Synonym, 7> kSearchAndTakeRules = {{
    {"untersuchen", "such"},
    {"untersuche", "such"},
    {"durchsuchen", "such"},
    {"durchsuche", "such"},
    {"suchen", "such"},
    {"suche", "such"},
    {"nehme", "nimm"},
}};
// Only the first that matches is applied.
constexpr std::array<Synonym, 9> kLookRules = {{
    {"betrachte", "lese"},
    {"betracht", "lese"},
    {"schauen", "lese"},
    {"schaue", "lese"},
    {"schau", "lese"},
    {"zeige", "lese"},
    {"gucke", "lese"},
    {"zeig", "lese"},
    {"guck", "lese"},
}};

struct Direction {
  std::array<const char*, 5> words;  // nullptr ends the list
  ExitDirection exit;
};

constexpr std::array<Direction, 6> kDirections = {{
    {{"v", "vor", "vorn", "vorne", "vorwärts"}, ExitForward},
    {{"h", "hinten", "zurück", nullptr, nullptr}, ExitBackward},
    {{"l", "links", nullptr, nullptr, nullptr}, ExitLeft},
    {{"r", "rechts", nullptr, nullptr, nullptr}, ExitRight},
    {{"o", "oben", nullptr, nullptr, nullptr}, ExitUp},
    {{"u", "unten", nullptr, nullptr, nullptr}, ExitDown},
}};

constexpr std::array<const char*, 8> kInsults = {"fuck",  "fick",      "ficken",  "scheisse",
                                                 "arsch", "arschloch", "wichser", "dreckssau"};

constexpr std::array<const char*, 12> kHelpLines = {
    "lese/schau                 = Aktuelle Szene anzeigen",
    "lese/schau gegenstandsname = Gegenstand genau anschauen",
    "nimm/nehme gegenstandsname = Gegenstand/Alle aufheben und mitnehmen",
    "entferne gegenstandsname   = Mitgenommenen Gegenstand/Alle wegwerfen",
    "öffne gegenstandsname      = Gegenstand öffnen (in einigen Szenen)",
    "benutze gegenstandsname    = Gegenstand benutzen (in einigen Szenen)",
    "suche gegenstandsname      = Gegenstand durchsuchen (in einigen Szenen)",
    "tippe text                 = Text eintippen (in einigen Szenen)",
    "aufschließen/zuschließen   = Türe auf- oder zuschließen (in einigen Szenen)",
    "v, vorne, h, hinten usw.   = In eine Richtung laufen (siehe Ausgänge)",
    "in, inhalt                 = Mitgenommene Gegenstände anzeigen",
    "Weitere Befehle und Variationen sind in einigen Szenen möglich",
};

// Under WORDS COMMANDS, after the twelve lines: the keys are the Qt host's
// and the terminal's for the same menu items.
constexpr const char* kHabitHelpLine =
    "sichern, laden, rückgängig = Spielstand, Zug zurück (Strg+Umsch+S/U; F2-F4)";

bool applyRule(Text& command, const Synonym& rule) {
  if (!startsWith(command, rule.word)) return false;
  command = concat({Text::fromBytes(rule.verb),
                    textfrom(command, static_cast<int>(std::string(rule.word).size()) + 1)});
  return true;
}

std::vector<Text> namesOf(const GameState& game, const std::function<int(int item)>& countOf) {
  std::vector<Text> names;
  for (int item = 0; item < game.ItemSlots; ++item) {
    if (countOf(item) >= 1) names.push_back(game.ItemNames[item]);
  }
  return names;
}

int sceneCount(const GameState& game, int item) {
  return game.sceneItemCount(game.CurrentScene, item);
}

// Counts come from the script and may be as large as an int; a sum beyond
// that range stays at its limit instead of overflowing.
int addPieces(int count, int more) {
  return adventure::heldToInt(std::int64_t{count} + more);
}

void restartScene(GameState& game) {
  game.ProgramCounter = -1;
}

// A take or drop succeeded: the scene starts again, under WORDS QUIET with its
// quiet flag set so that it comes back without its description.
void takenOrDropped(GameState& game) {
  VelmoratPrintMessage("OK.");
  restartScene(game);
  const int flag = game.Words.quietFlag;
  if (flag >= 0 && static_cast<std::size_t>(flag) < game.Flags.size()) game.Flags[flag] = true;
}

void lookAtItem(GameState& game, const Text& command) {
  int item = game.findItem(argumentsAfter(command, 4));
  if (item < 1 || (sceneCount(game, item) == 0 && game.inventoryCount(item) == 0)) return;
  if (!VelmoratItemCloseUp(game, item)) {
    VelmoratScriptFailure(
        game, concat({latin1("*** Item Grafik '"), Text::fromBytes(VelmoratItemPictureName(item)),
                      latin1("' konnte nicht geladen werden.")}));
  }
}

bool meansAll(const Text& name) {
  return equals(name, "alles") || equals(name, "alle");
}

void takeItems(GameState& game, const Text& command, const std::vector<Text>& sceneList) {
  Text name = argumentsAfter(command, 4);
  if (!meansAll(name)) {
    int item = game.findItem(name);
    if (item < 1 || sceneCount(game, item) == 0) return;
    takenOrDropped(game);
    game.Inventory[item] = addPieces(game.Inventory[item], 1);
    game.setSceneItemCount(game.CurrentScene, item, sceneCount(game, item) - 1);
    return;
  }
  bool first = true;
  for (const Text& listed : sceneList) {
    int item = game.findItem(listed);
    int count = item >= 1 ? sceneCount(game, item) : 0;
    if (count < 1) continue;
    if (first) {
      takenOrDropped(game);
      first = false;
    }
    game.Inventory[item] = addPieces(game.Inventory[item], count);
    game.setSceneItemCount(game.CurrentScene, item, 0);
  }
}

// A scene beyond the dimensioned tables has no place to put an item down:
// dropping there is refused as if the item were not carried, so nothing is lost.
void dropItems(GameState& game, const Text& command, const std::vector<Text>& carriedList) {
  Text name = argumentsAfter(command, 8);
  if (!meansAll(name)) {
    int item = game.findItem(name);
    if (item < 1 || game.inventoryCount(item) == 0) return;
    if (!game.hasSceneEntry(game.CurrentScene, item)) return;
    takenOrDropped(game);
    game.Inventory[item] = addPieces(game.Inventory[item], -1);
    game.setSceneItemCount(game.CurrentScene, item, addPieces(sceneCount(game, item), 1));
    return;
  }
  if (carriedList.empty() || !game.hasSceneEntry(game.CurrentScene, 1)) return;
  takenOrDropped(game);
  for (const Text& listed : carriedList) {
    int item = game.findItem(listed);
    if (item < 1) continue;
    int count = game.Inventory[item];
    game.Inventory[item] = 0;
    game.setSceneItemCount(game.CurrentScene, item, addPieces(sceneCount(game, item), count));
  }
}

void showInventory(GameState& game) {
  std::uint8_t window = VelmoratTextWindow();
  g_ClearScreen(kPictureWindow, kWhiteIndex, -1);
  Text carried = VelmoratInventoryPictures(game);
  if (!carried.empty()) {
    t_Print(window, latin1("Du trägst folgende Gegenstände bei Dir: "));
    VelmoratPrintList(carried);
    return;
  }
  g_Draw(kPictureWindow, game.ScenePicture, 0, 0, 1, -1);
  VelmoratDescribePicture(game, game.ScenePictureName);
  t_WindowUpdate(kPictureWindow, false);
  VelmoratPrintMessage("Du trägst keine Gegenstände bei Dir.");
}

const Direction* directionOf(const std::string& command) {
  for (const Direction& direction : kDirections) {
    for (const char* word : direction.words) {
      if (word != nullptr && command == word) return &direction;
    }
  }
  return nullptr;
}

void move(GameState& game, const Direction& direction) {
  int target = game.Exits[direction.exit];
  if (target < 0) {
    VelmoratPrintMessage("Du kannst nicht in diese Richtung gehen.");
    return;
  }
  restartScene(game);
  game.clearExits();
  game.CurrentScene = target;
  game.ScriptLines = VelmoratLoadData(game.DataFolder, target);
  if (game.ScriptLines.empty()) {
    VelmoratScriptFailure(game, concat({latin1("*** Scene #"), adventure::threeDigits(target),
                                        latin1(" konnte nicht geladen werden.")}));
  }
}

bool isInsult(const std::string& command) {
  return std::find(kInsults.begin(), kInsults.end(), command) != kInsults.end();
}

void answerInsult(const GameState& game) {
  g_Draw(kPictureWindow, g_LoadGraphic(game.DataFolder + kInsultPicture), 0, 0, 1,
         kItemTransparentIndex);
  t_WindowUpdate(kPictureWindow, false);
}

// The built-in lines, the line on keeping progress under WORDS COMMANDS,
// then the game's own.
std::vector<Text> helpLinesOf(const AuthorWords& words) {
  std::vector<Text> lines;
  for (const char* line : kHelpLines) lines.push_back(latin1(line));
  if (words.commands) lines.push_back(latin1(kHabitHelpLine));
  lines.insert(lines.end(), words.helpLines.begin(), words.helpLines.end());
  return lines;
}

void printHelp(const GameState& game) {
  for (const Text& line : helpLinesOf(game.Words)) VelmoratPrintMessage(line);
}

// The next command: the next of the last typed line's commands, else a new
// line; nothing when the game was replaced while the prompt waited.
std::optional<std::string> nextCommand(GameState& game) {
  if (std::optional<std::string> queued = VelmoratNextQueuedCommand(game)) return queued;
  const std::optional<std::string> line = VelmoratReadCommand(game);
  if (!line) return line;
  std::vector<std::string> commands = VelmoratSplitTypedLine(*line, game.Words);
  std::string first = std::move(commands.front());
  commands.erase(commands.begin());
  VelmoratQueueCommands(game, std::move(commands));
  return first;
}

// Commands that need no script come back empty, so that the player is asked again.
Text handleCommand(GameState& game, Text command, const std::vector<Text>& sceneList,
                   const std::vector<Text>& carriedList) {
  if (startsWith(command, "lese")) {
    lookAtItem(game, command);
  } else if (startsWith(command, "nimm")) {
    takeItems(game, command, sceneList);
  } else if (startsWith(command, "entferne")) {
    dropItems(game, command, carriedList);
  }
  if (equals(command, "in") || equals(command, "inhalt") || command == latin1("gegenstände")) {
    showInventory(game);
    command = Text();
  }
  std::string asText = textforlog(command);
  if (const Direction* direction = directionOf(asText)) {
    move(game, *direction);
    return command;
  }
  if (asText == "lese") {
    restartScene(game);
  } else if (isInsult(asText)) {
    answerInsult(game);
  }
  if (equals(command, "hilfe")) {
    printHelp(game);
    command = Text();
  } else if (startsWith(command, "trace")) {
    Text argument = argumentsAfter(command, 5);
    if (equals(argument, "on") || equals(argument, "off")) {
      game.TraceOn = equals(argument, "on");
      command = Text();
    }
  }
  return command;
}

}  // namespace

std::vector<Text> VelmoratHelpLines(const AuthorWords& words) {
  return helpLinesOf(words);
}

Text VelmoratNormaliseCommand(const std::string& typedLine, const AuthorWords& words) {
  Text command = VelmoratWordsBeforeSynonyms(textlower(stringtotext(typedLine)), words);
  for (const Synonym& rule : kSearchAndTakeRules) applyRule(command, rule);
  for (const Synonym& rule : kLookRules) {
    if (applyRule(command, rule)) break;
  }
  return VelmoratWordsAfterSynonyms(command, words);
}

Text VelmoratInput(GameState& game) {
  VelmoratProgressAtPrompt(game);
  game.session->publishHelp(helpLinesOf(game.Words));
  t_EnableScrollback(VelmoratTextWindow(), game.Words.commands);
  game.PromptScene = game.CurrentScene;
  std::vector<Text> sceneList = namesOf(game, [&game](int item) { return sceneCount(game, item); });
  std::vector<Text> carriedList =
      namesOf(game, [&game](int item) { return game.inventoryCount(item); });
  std::uint8_t window = VelmoratTextWindow();
  Text seen = VelmoratSceneItemPictures(game);
  if (!seen.empty()) {
    t_Print(window, latin1("Du siehst folgende Gegenstände: "));
    VelmoratPrintList(seen);
  }
  for (;;) {
    VelmoratShowTrace(game);
    VelmoratPublishState(game);
    std::optional<std::string> line = nextCommand(game);
    const AuthorCommandOutcome debug =
        line ? VelmoratAuthorCommand(game, *line) : AuthorCommandOutcome::NotACommand;
    if (debug == AuthorCommandOutcome::Answered) continue;
    if (debug == AuthorCommandOutcome::SceneChanged) return game.LastInput;
    const HabitAnswer habit = line ? VelmoratHabitCommand(game, *line) : HabitAnswer{};
    // A loaded game or one taken back: its scene file starts anew after this
    // INPUT line, which keeps the restored last command.
    if (!line || habit.kind == HabitKind::Replaced) {
      VelmoratQueueCommands(game, {});
      return game.LastInput;
    }
    if (habit.kind == HabitKind::Answered) continue;
    if (habit.kind == HabitKind::Ended) return VelmoratNormaliseCommand(*line, game.Words);
    if (habit.kind == HabitKind::Run) line = habit.line;
    GameState before = VelmoratProgressOf(game);
    Text command =
        handleCommand(game, VelmoratNormaliseCommand(*line, game.Words), sceneList, carriedList);
    if (!line->empty()) VelmoratCommandRuns(game, *line);
    if (!command.empty()) {
      VelmoratProgressCommandTaken(game, *line, std::move(before));
      return command;
    }
  }
}

void VelmoratPrintList(const Text& list) {
  std::uint8_t window = VelmoratTextWindow();
  const Text separator = Text::fromBytes(", ");
  Text left = list;
  while (!left.empty()) {
    int found = position(left, separator, 1);
    int pieceLength = found < 1 ? static_cast<int>(left.size()) : found + 1;
    if (t_Hpos(window) + pieceLength >= kListWrapColumn) t_Cr(window);
    t_Print(window, textleft(left, pieceLength));
    left = textfrom(left, pieceLength + 1);
  }
  t_Cr(window);
}
