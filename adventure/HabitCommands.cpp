#include "adventure/HabitCommands.h"

#include <array>
#include <deque>

#include "adventure/Interpreter.h"
#include "adventure/MenuTags.h"
#include "adventure/Progress.h"
#include "adventure/SaveGame.h"
#include "adventure/Session.h"
#include "adventure/TextBuild.h"
#include "port/Panels.h"
#include "support/qbtools.h"
#include "toolbox/windows/YesNo.h"

using adventure::latin1;

namespace {

enum class Habit { Save, Load, TakeBack, Restart, End, Again, Wait, Oops, Yes };

struct HabitWord {
  const char* word;  // lower case, as typed (UTF-8)
  Habit habit;
};

// Whole commands, except oops and hoppla, which take the replacing word.
constexpr std::array<HabitWord, 24> kHabitWords = {{
    {"speichern", Habit::Save},
    {"speichere", Habit::Save},
    {"sichern", Habit::Save},
    {"sichere", Habit::Save},
    {"laden", Habit::Load},
    {"lade", Habit::Load},
    {"rückgängig", Habit::TakeBack},
    {"rueckgaengig", Habit::TakeBack},
    {"undo", Habit::TakeBack},
    {"zurücknehmen", Habit::TakeBack},
    {"zuruecknehmen", Habit::TakeBack},
    {"neustart", Habit::Restart},
    {"ende", Habit::End},
    {"beenden", Habit::End},
    {"quit", Habit::End},
    {"nochmal", Habit::Again},
    {"noch mal", Habit::Again},
    {"g", Habit::Again},
    {"warte", Habit::Wait},
    {"z", Habit::Wait},
    {"oops", Habit::Oops},
    {"hoppla", Habit::Oops},
    {"ja", Habit::Yes},
    {"j", Habit::Yes},
}};

constexpr const char* kWaitCommand = "warte";

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string withoutEndMarks(std::string piece) {
  for (;;) {
    piece = trimmed(piece);
    if (piece.empty() || std::string(".!?").find(piece.back()) == std::string::npos) return piece;
    piece.pop_back();
  }
}

const HabitWord* habitOf(const std::string& firstWord) {
  for (const HabitWord& entry : kHabitWords) {
    if (firstWord == entry.word) return &entry;
  }
  return nullptr;
}

bool confirmed(const std::string& question) {
  const std::uint8_t window = VelmoratTextWindow();
  return t_InputYesNo(window, question + " <", 'J', "/", 'N', false, "> ? ", true);
}

HabitAnswer answered(const std::string& utf8Line) {
  VelmoratPrintMessage(utf8Line);
  return {HabitKind::Answered, {}};
}

HabitAnswer carryOut(GameState& game, int tag, const std::string& path = {}) {
  VelmoratQueueProgressRequest(game, tag, path);
  return VelmoratCarryOutProgressRequests(game, true, [] {}) == ProgressOutcome::Replaced
             ? HabitAnswer{HabitKind::Replaced, {}}
             : HabitAnswer{HabitKind::Answered, {}};
}

std::vector<Text> wordsOf(const Text& command) {
  std::vector<Text> words(1);
  for (std::uint8_t byte : command.Elements) {
    if (byte == ' ') {
      words.emplace_back();
    } else {
      words.back().Elements.push_back(byte);
    }
  }
  return words;
}

HabitAnswer replaceUnknownWord(const SessionHabits& habits, const std::string& replacement) {
  if (habits.unknownWord == std::string::npos) {
    return answered("Im letzten Befehl gab es kein Wort, das ich nicht kannte.");
  }
  if (replacement.empty()) return answered("Welches Wort meintest Du? (oops WORT)");
  std::vector<Text> words = wordsOf(habits.guessedFrom);
  if (habits.unknownWord >= words.size()) return answered("Welches Wort meintest Du?");
  words[habits.unknownWord] = textlower(stringtotext(replacement));
  Text command;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) command.Elements.push_back(' ');
    command.Elements.insert(command.Elements.end(), words[i].Elements.begin(),
                            words[i].Elements.end());
  }
  return {HabitKind::Run, textforlog(command)};
}

}  // namespace

std::vector<std::string> VelmoratSplitTypedLine(const std::string& line, const AuthorWords& words) {
  if (!words.commands) return {line};
  std::vector<std::string> commands;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    std::string piece = withoutEndMarks(line.substr(start, comma - start));
    if (!piece.empty()) commands.push_back(std::move(piece));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (commands.empty()) commands.emplace_back();
  return commands;
}

void VelmoratQueueCommands(GameState& game, std::vector<std::string> commands) {
  game.session->habits.queued.assign(commands.begin(), commands.end());
}

std::optional<std::string> VelmoratNextQueuedCommand(GameState& game) {
  SessionHabits& habits = game.session->habits;
  if (habits.queued.empty()) return std::nullopt;
  std::string next = std::move(habits.queued.front());
  habits.queued.pop_front();
  return next;
}

HabitAnswer VelmoratHabitCommand(GameState& game, const std::string& line) {
  if (!game.Words.commands) return {};
  SessionHabits& habits = game.session->habits;
  const std::string command = textforlog(textlower(stringtotext(trimmed(line))));
  const std::size_t blank = command.find(' ');
  const HabitWord* entry = habitOf(command);
  if (entry == nullptr && blank != std::string::npos) {
    entry = habitOf(command.substr(0, blank));
    if (entry != nullptr && entry->habit != Habit::Oops) entry = nullptr;
  }
  if (entry == nullptr) return {};
  switch (entry->habit) {
    case Habit::Save: {
      const std::string path =
          savepanelonmain("Spiel sichern", "Sichere den Spielstand.",
                          std::string("Velmorat.") + kSaveFileType, kSaveFileType);
      if (path.empty()) return {HabitKind::Answered, {}};
      return carryOut(game, kMenuSaveGame, path);
    }
    case Habit::Load: {
      const std::vector<std::string> paths = openpanelonmain(
          "Spiel laden", "Wähle einen Spielstand.", kSaveFileType, false, true, false);
      if (paths.empty()) return {HabitKind::Answered, {}};
      return carryOut(game, kMenuLoadGame, paths.front());
    }
    case Habit::TakeBack:
      return carryOut(game, kMenuTakeBackMove);
    case Habit::Restart:
      if (!confirmed("Möchtest Du wirklich von vorne beginnen")) return {HabitKind::Answered, {}};
      VelmoratStartAnew(game);
      VelmoratForgetHabits(game);
      return {HabitKind::Replaced, {}};
    case Habit::End:
      if (!confirmed("Möchtest Du das Spiel wirklich beenden")) return {HabitKind::Answered, {}};
      habits.ended = true;
      game.QuitRequested = true;
      return {HabitKind::Ended, {}};
    case Habit::Again:
      if (habits.lastCommand.empty())
        return answered("Es gibt noch keinen Befehl zum Wiederholen.");
      return {HabitKind::Run, habits.lastCommand};
    case Habit::Wait:
      return {HabitKind::Run, kWaitCommand};
    case Habit::Oops:
      return replaceUnknownWord(
          habits, blank == std::string::npos ? std::string() : trimmed(command.substr(blank)));
    case Habit::Yes:
      if (habits.suggestion.empty()) return answered("Ich habe Dich nichts gefragt.");
      return {HabitKind::Run, textforlog(habits.suggestion)};
  }
  return {};
}

void VelmoratCommandRuns(GameState& game, const std::string& line) {
  SessionHabits& habits = game.session->habits;
  habits.lastCommand = line;
  habits.guessedFrom = Text();
  habits.suggestion = Text();
  habits.unknownWord = std::string::npos;
}

void VelmoratRememberGuess(GameState& game, const Text& command, const Text& suggestion,
                           std::size_t unknownWord) {
  SessionHabits& habits = game.session->habits;
  habits.guessedFrom = command;
  habits.suggestion = suggestion;
  habits.unknownWord = unknownWord;
}

bool VelmoratPlayerEnded(const GameState& game) {
  return game.session->habits.ended;
}

void VelmoratForgetHabits(GameState& game) {
  game.session->habits = SessionHabits();
}
