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

#include "FuzzPlayer.h"
#include "adventure/DataFile.h"
#include "adventure/GameState.h"
#include "toolbox/graphics/Lzw.h"

namespace {

constexpr std::size_t kMaxLines = 100;
constexpr std::size_t kMaxInputBytes = 16 * 1024;

std::string dataFolder;
GameState game;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char folder[] = "/tmp/velmorat-script-fuzz-XXXXXX";
  if (mkdtemp(folder) == nullptr) std::abort();
  dataFolder = std::string(folder) + "/";
  fuzzplayer::openGameWindows();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInputBytes) return 0;
  // a fresh game; the fonts are missing, which the font target covers
  game = GameState{.DataFolder = dataFolder, .FontsLookedFor = true};
  const std::vector<std::uint8_t> stored = lzw::packStoredBlock(std::span(data, size));
  std::ofstream(dataFolder + VelmoratDataFileName(0), std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(stored.data()), std::streamsize(stored.size()));
  game.ScriptLines = VelmoratLoadData(game.DataFolder, 0);
  fuzzplayer::play(game, kMaxLines);
  return 0;
}
