#include "FuzzPlayer.h"

#include <string>

#include "FuzzScreen.h"
#include "adventure/Interpreter.h"
#include "adventure/Session.h"
#include "toolbox/windows/Events.h"

namespace fuzzplayer {
namespace {

constexpr int kColumns = 78;  // the interpreter's status line and area need 78 x 24
constexpr int kLines = 24;
constexpr int kCell = 2;  // tiny cells: drawing glyphs would cost most of the time
// Keys left in the queue before a line runs: one command for INPUT and one
// line that the parser surely hands to the script, so that no line waits.
constexpr std::size_t kKeysBeforeALine = 64;
constexpr const char* kCommands[] = {
    "lese",
    "nimm alles",
    "in",
    "hilfe",
    "v",
    "trace on",
    "h",
    "entferne alles",
    "such tisch",
    "\xC3\xB6"
    "ffne t\xC3\xBC"
    "r",
    "benutze schl\xC3\xBC"
    "ssel",
    "tippe 1234",
    "aufschlie\xC3\x9F"
    "en",
    "lese brief",
    "trace off",
};

std::size_t nextCommand = 0;

void typeWhenShort() {
  while (KeyEventQueue.size() < kKeysBeforeALine) {
    t_KeyPostText(std::string(kCommands[nextCommand]) + "\rweiter\r");
    nextCommand = (nextCommand + 1) % std::size(kCommands);
  }
}

}  // namespace

void openGameWindows() {
  const t_Font font = fuzzscreen::testFont(kCell, kCell);
  fuzzscreen::openWindow(0, 8, kColumns * kCell, kLines * kCell, font);
  fuzzscreen::openWindow(1, 24, 160, 100);
}

void play(GameState& game, std::size_t maxLines) {
  fuzzscreen::restoreWindows();
  nextCommand = 0;
  // A session of its own for every input: no progress, transcript or state
  // folder carries over from the last one (and nothing is autosaved).
  Session session;
  game.session = &session;
  for (std::size_t line = 0; line < maxLines && !game.ScriptLines.empty(); ++line) {
    typeWhenShort();
    VelmoratRunScript(game, 1);
    if (game.QuitRequested || game.ProgramCounter < 0 ||
        std::size_t(game.ProgramCounter) >= game.ScriptLines.size()) {
      break;
    }
  }
  game.session = nullptr;
}

}  // namespace fuzzplayer
