// A scene script (plain Latin-1 text, stored as DATA000.word) loaded and run
// for a bounded number of lines, with a fixed cycle of player commands typed
// whenever the script asks for one. The other scenes and the pictures are
// missing, so every path that loads them meets the missing file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "FuzzScreen.h"
#include "adventure/DataFile.h"
#include "adventure/GameState.h"
#include "adventure/Interpreter.h"
#include "toolbox/graphics/Lzw.h"
#include "toolbox/windows/Events.h"

namespace {

constexpr int kColumns = 78;  // the interpreter's status line and area need 78 x 24
constexpr int kLines = 24;
constexpr int kCell = 2;  // tiny cells: drawing glyphs would cost most of the time
constexpr std::size_t kMaxLines = 100;
constexpr std::size_t kMaxInputBytes = 16 * 1024;
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

std::string dataFolder;
GameState game;
std::size_t nextCommand = 0;

void typeWhenShort() {
  while (KeyEventQueue.size() < kKeysBeforeALine) {
    t_KeyPostText(std::string(kCommands[nextCommand]) + "\rweiter\r");
    nextCommand = (nextCommand + 1) % std::size(kCommands);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char folder[] = "/tmp/velmorat-script-fuzz-XXXXXX";
  if (mkdtemp(folder) == nullptr) std::abort();
  dataFolder = std::string(folder) + "/";
  const t_Font font = fuzzscreen::testFont(kCell, kCell);
  fuzzscreen::openWindow(0, 8, kColumns * kCell, kLines * kCell, font);
  fuzzscreen::openWindow(1, 24, 160, 100);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInputBytes) return 0;
  fuzzscreen::restoreWindows();
  // a fresh game; the fonts are missing, which the font target covers
  game = GameState{.DataFolder = dataFolder, .FontsLookedFor = true};
  nextCommand = 0;
  const std::vector<std::uint8_t> stored = lzw::packStoredBlock(std::span(data, size));
  std::ofstream(dataFolder + VelmoratDataFileName(0), std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(stored.data()), std::streamsize(stored.size()));
  game.ScriptLines = VelmoratLoadData(game.DataFolder, 0);
  for (std::size_t line = 0; line < kMaxLines && !game.ScriptLines.empty(); ++line) {
    typeWhenShort();
    VelmoratRunScript(game, 1);
    if (game.QuitRequested || game.ProgramCounter < 0 ||
        std::size_t(game.ProgramCounter) >= game.ScriptLines.size()) {
      break;
    }
  }
  return 0;
}
