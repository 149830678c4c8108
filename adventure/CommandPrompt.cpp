#include "adventure/CommandPrompt.h"

#include <mutex>

#include "adventure/Progress.h"
#include "adventure/Session.h"
#include "support/Utf8.h"
#include "support/qbtools.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/OutputLines.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/LineInput.h"

namespace {
constexpr int kCommandMaxCharacters = 80;
constexpr int kFreeMode = 0;
constexpr int kReturnKey = 13;
constexpr int kEscapeKey = 27;
constexpr int kClearFieldKey = 26;   // Ctrl-Z
constexpr int kPlaceCursorKey = 31;  // what t_InputForm sends before each key

// Puts a recalled line into the open field as if it were typed there, so
// the field's room and the editing keys apply to it.
void showInField(std::uint8_t window, const std::string& line) {
  t_InputEdit(window, kClearFieldKey);
  for (char32_t character : utf8ToScalars(line)) {
    t_InputInsert(window, static_cast<int>(character));
  }
}

void recall(InputHistory& history, std::uint8_t window, bool older) {
  const std::optional<std::string> line =
      older ? history.previous(windowRecord(window).InputString) : history.next();
  if (line) showInField(window, *line);
}

// The key recalls a line: Ctrl-P and Ctrl-N always, the arrows of a game
// with WORDS COMMANDS while the field holds nothing of the player's own.
bool recalls(const GameState& game, int code, const std::string& field,
             const std::optional<std::string>& recalled) {
  if (code == kRecallPreviousKey || code == kRecallNextKey) return true;
  if (!game.Words.commands || (code != kUpArrowKey && code != kDownArrowKey)) return false;
  return field.empty() || field == recalled;
}
}  // namespace

std::optional<std::string> VelmoratReadCommand(GameState& game) {
  const std::uint8_t window = VelmoratTextWindow();
  std::string draft;
  std::optional<std::string> recalled;  // what the last recall put into the field
  bool ask = true;
  const LineInputScope editing;  // the waits below are for keys of a line
  for (;;) {
    if (ask) t_InputForm(window, kCommandPrompt, draft, true, kFreeMode, kCommandMaxCharacters);
    ask = false;
    t_InputEdit(window, kPlaceCursorKey);
    const std::optional<std::string> key = t_KeyWaitOrEvent(window, VelmoratProgressSeen(game));
    if (!key) {
      if (!VelmoratTakeProgressRequests(game)) continue;
      draft = windowRecord(window).InputString;
      // The answers stand on lines of their own below the prompt, which is
      // then asked again with what was typed so far.
      const ProgressOutcome outcome = VelmoratCarryOutProgressRequests(game, true, [&] {
        outputlines::markNextLineTyped(window);
        t_Cr(window);
        ask = true;
      });
      if (outcome == ProgressOutcome::Replaced) return std::nullopt;
      continue;
    }
    const int code = asc(*key);
    if (recalls(game, code, windowRecord(window).InputString, recalled)) {
      recall(game.session->commandHistory, window,
             code == kRecallPreviousKey || code == kUpArrowKey);
      recalled = windowRecord(window).InputString;
      continue;
    }
    t_InputEdit(window, code);
    if (code == kReturnKey || code == kEscapeKey) break;
  }
  outputlines::markNextLineTyped(window);
  t_Cr(window);
  const std::string line = windowRecord(window).InputString;
  game.session->commandHistory.add(line);
  game.session->tellCommandListener(line);
  return line;
}
