#include "adventure/AuthorCommands.h"

#include <algorithm>
#include <map>

#include "adventure/DataFile.h"
#include "adventure/Interpreter.h"
#include "adventure/TableLimits.h"
#include "adventure/TextBuild.h"
#include "port/Host.h"
#include "support/qbtools.h"
#include "toolbox/core/MainThread.h"
#include "toolbox/windows/WindowManagement.h"

using adventure::latin1;

namespace {

// The printer keeps this much of the trace; older lines give way.
constexpr std::size_t kMaxTraceBytes = 64 * 1024;

void say(const std::string& utf8) {
  VelmoratPrintMessage(latin1(utf8));
}

std::string yesNo(bool value) {
  return value ? "ja" : "nein";
}

std::string quoted(const Text& text) {
  return "'" + texttostring(text) + "'";
}

// The comment's text after REM, // or ', or nothing for another line.
bool commentText(const Text& line, Text& text) {
  for (const char* mark : {"REM", "//", "'"}) {
    if (adventure::startsWith(line, mark)) {
      text = adventure::argumentsAfter(line, mark);
      return true;
    }
  }
  return false;
}

// "1 gate key found" -> flag 1, "gate key found".
bool flagEntry(const std::string& entry, std::pair<int, std::string>& named) {
  const std::size_t start = entry.find_first_not_of(' ');
  if (start == std::string::npos || !std::isdigit(static_cast<unsigned char>(entry[start])))
    return false;
  const std::size_t end = std::min(entry.find_first_not_of("0123456789", start), entry.size());
  if (end - start > 5) return false;
  named.first = std::stoi(entry.substr(start, end - start));
  std::size_t name = entry.find_first_not_of(" :", end);
  named.second = name == std::string::npos ? "" : entry.substr(name);
  while (!named.second.empty() && (named.second.back() == '.' || named.second.back() == ' '))
    named.second.pop_back();
  return true;
}

// The names of the flags from the comments of every scene file, read at the
// first use in a run (the scripts do not change under a running game).
const std::map<int, std::string>& flagNamesOfGame(GameState& game) {
  RunDiagnostics& diagnostics = game.Diagnostics;
  if (diagnostics.flagNamesRead) return diagnostics.flagNames;
  diagnostics.flagNamesRead = true;
  for (int scene = 0; scene <= adventure::kMaxScenes; ++scene) {
    if (fileexists(game.DataFolder + VelmoratDataFileName(scene)) != 1) continue;
    for (auto& [flag, name] : VelmoratFlagNames(VelmoratLoadData(game.DataFolder, scene)))
      diagnostics.flagNames.emplace(flag, name);
  }
  return diagnostics.flagNames;
}

std::vector<std::string> stateLines(const GameState& game) {
  return {"Szene " + std::to_string(game.CurrentScene) + " (" +
              VelmoratPlaceName(game.Diagnostics.running) + "), Titel " + quoted(game.SceneTitle),
          "Ausgänge: v " + std::to_string(game.Exits[ExitForward]) + ", h " +
              std::to_string(game.Exits[ExitBackward]) + ", l " +
              std::to_string(game.Exits[ExitLeft]) + ", r " +
              std::to_string(game.Exits[ExitRight]) + ", o " + std::to_string(game.Exits[ExitUp]) +
              ", u " + std::to_string(game.Exits[ExitDown]),
          "Bedingung: " + yesNo(game.Condition) + ", letzter Befehl " + quoted(game.LastInput)};
}

std::vector<std::string> flagLines(GameState& game) {
  const std::map<int, std::string>& names = flagNamesOfGame(game);
  std::vector<std::string> lines;
  for (std::size_t flag = 0; flag < game.Flags.size(); ++flag) {
    if (!game.Flags[flag]) continue;
    auto named = names.find(static_cast<int>(flag));
    lines.push_back("Flag " + std::to_string(flag) +
                    (named != names.end() && !named->second.empty() ? ": " + named->second : ""));
  }
  lines.push_back(std::to_string(lines.size()) + " von " + std::to_string(game.Flags.size()) +
                  " Flags gesetzt.");
  return lines;
}

std::vector<std::string> itemLines(const GameState& game) {
  std::vector<std::string> lines;
  for (int item = 1; item < game.ItemSlots; ++item) {
    if (game.ItemNames[item].empty()) continue;
    std::string where;
    if (game.inventoryCount(item) != 0)
      where += ", getragen " + std::to_string(game.inventoryCount(item));
    for (int scene = 0; scene < game.SceneCount; ++scene) {
      if (int count = game.sceneItemCount(scene, item); count != 0)
        where += ", Szene " + std::to_string(scene) + ": " + std::to_string(count);
    }
    lines.push_back(std::to_string(item) + " " + texttostring(game.ItemNames[item]) +
                    (where.empty() ? ": nirgends" : where));
  }
  return lines;
}

void sayAll(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) say(line);
}

void setFlag(GameState& game, const Text& argument, bool value) {
  const int flag = adventure::scriptNumber(argument);
  if (argument.empty() || flag < 0 || static_cast<std::size_t>(flag) >= game.Flags.size()) {
    say("Kein Flag " + texttostring(argument) + " (DIMENSION FLAGS: 0 bis " +
        std::to_string(static_cast<int>(game.Flags.size()) - 1) + ").");
    return;
  }
  game.Flags[flag] = value;
  say("Flag " + std::to_string(flag) + (value ? " gesetzt." : " gelöscht."));
}

AuthorCommandOutcome goToScene(GameState& game, const Text& argument) {
  const int scene = adventure::scriptNumber(argument);
  std::vector<Text> lines = VelmoratLoadData(game.DataFolder, scene);
  if (argument.empty() || lines.empty()) {
    say(VelmoratDataFileName(scene) + " lässt sich nicht laden.");
    return AuthorCommandOutcome::Answered;
  }
  game.clearExits();
  game.CurrentScene = scene;
  game.ScriptLines = std::move(lines);
  game.ProgramCounter = -1;
  return AuthorCommandOutcome::SceneChanged;
}

void fetchItem(GameState& game, const Text& name) {
  const int item = game.findItem(name);
  if (name.empty() || item < 1) {
    say("Kein Gegenstand " + quoted(name) + ".");
    return;
  }
  for (int scene = 0; scene < game.SceneCount; ++scene) {
    if (int count = game.sceneItemCount(scene, item); count > 0) {
      game.setSceneItemCount(scene, item, count - 1);
      break;
    }
  }
  game.Inventory[item] = adventure::heldToInt(std::int64_t{game.Inventory[item]} + 1);
  say(texttostring(game.ItemNames[item]) + " geholt.");
}

void toggleTrace(GameState& game) {
  RunDiagnostics& diagnostics = game.Diagnostics;
  diagnostics.traceLines = !diagnostics.traceLines;
  diagnostics.traceText.clear();
  say(diagnostics.traceLines ? "Ablauf: die ausgeführten Zeilen stehen im Drucker-Fenster."
                             : "Ablauf aus.");
}

}  // namespace

std::vector<std::pair<int, std::string>> VelmoratFlagNames(const std::vector<Text>& lines) {
  std::vector<std::pair<int, std::string>> names;
  for (const Text& line : lines) {
    Text comment;
    if (!commentText(line, comment)) continue;
    const std::string text = texttostring(comment);
    std::pair<int, std::string> named;
    if (text.starts_with("Flags:")) {
      std::size_t start = 6;
      while (start < text.size()) {
        std::size_t end = std::min(text.find(',', start), text.size());
        if (flagEntry(text.substr(start, end - start), named)) names.push_back(named);
        start = end + 1;
      }
    } else if (text.starts_with("Flag ") && flagEntry(text.substr(5), named)) {
      names.push_back(named);
    }
  }
  return names;
}

AuthorCommandOutcome VelmoratAuthorCommand(GameState& game, const std::string& typedLine) {
  if (!game.Diagnostics.authorRun || !typedLine.starts_with("#")) {
    return AuthorCommandOutcome::NotACommand;
  }
  const Text line = texttrim(textlower(stringtotext(typedLine)));
  const int blank = position(line, Text::fromBytes(" "), 1);
  const Text word = blank < 1 ? line : textleft(line, blank - 1);
  const Text argument = blank < 1 ? Text() : texttrim(textfrom(line, blank + 1));
  if (adventure::equals(word, "#zustand")) {
    sayAll(stateLines(game));
  } else if (adventure::equals(word, "#flags")) {
    sayAll(flagLines(game));
  } else if (word == latin1("#gegenstände") || adventure::equals(word, "#gegenstaende")) {
    sayAll(itemLines(game));
  } else if (adventure::equals(word, "#setze")) {
    setFlag(game, argument, true);
  } else if (word == latin1("#lösche") || adventure::equals(word, "#loesche")) {
    setFlag(game, argument, false);
  } else if (adventure::equals(word, "#gehe")) {
    return goToScene(game, argument);
  } else if (adventure::equals(word, "#hole")) {
    fetchItem(game, argument);
  } else if (adventure::equals(word, "#trace")) {
    toggleTrace(game);
  } else {
    say("Befehle: #zustand #flags #gegenstände #setze N #lösche N #gehe N #hole NAME #trace");
  }
  return AuthorCommandOutcome::Answered;
}

void VelmoratTraceLine(GameState& game, const Text& line) {
  std::string& trace = game.Diagnostics.traceText;
  trace += VelmoratPlaceName(game.Diagnostics.running) + ": " + textforlog(line) + "\n";
  if (trace.size() > kMaxTraceBytes) trace.erase(0, trace.find('\n', trace.size() / 2) + 1);
}

void VelmoratShowTrace(GameState& game) {
  if (!game.Diagnostics.traceLines) return;
  const std::string trace = game.Diagnostics.traceText;
  const bool shown = onMainThread([&] {
    host::Host& desktop = host::current();
    if (!desktop.hasTextView(host::kVirtualPrinterWindow)) return false;
    desktop.setTextViewString(host::kVirtualPrinterWindow, trace);
    return true;
  });
  if (shown) t_WindowVisible(host::kVirtualPrinterWindow, true);
}

void VelmoratPublishState(GameState& game) {
  const RunDiagnostics& diagnostics = game.Diagnostics;
  if (!diagnostics.authorRun || !diagnostics.stateListener) return;
  std::string report;
  const auto section = [&report](const char* heading, const std::vector<std::string>& lines) {
    report += std::string(report.empty() ? "" : "\n") + heading + "\n";
    for (const std::string& line : lines) report += line + "\n";
  };
  section("Zustand", stateLines(game));
  section("Flags", flagLines(game));
  section("Gegenstände", itemLines(game));
  diagnostics.stateListener(report);
}
