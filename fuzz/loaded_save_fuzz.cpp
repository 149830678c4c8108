// A saved game loaded beside the game's own data folder and played on: the
// decoder with any bytes, and a save it accepts taken over the way a load
// takes it (its scene's data file, the script from the scene's first line)
// and run for a bounded number of lines. The input's "data" line is set to
// the folder's identity and its check line is made anew, so that mutations
// reach the body instead of stopping at the check sum.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "FuzzPlayer.h"
#include "adventure/DataFile.h"
#include "adventure/SaveGame.h"
#include "adventure/ScriptAuthoring.h"

namespace {

constexpr std::size_t kMaxLines = 200;
constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

std::string dataFolder;
std::string identity;

// The game's scripts from the source tree, packed as the build packs them.
void packGameScripts() {
  char folder[] = "/tmp/velmorat-loaded-save-fuzz-XXXXXX";
  if (mkdtemp(folder) == nullptr) std::abort();
  dataFolder = std::string(folder) + "/";
  for (const auto& entry :
       std::filesystem::directory_iterator(VELMORAT_SOURCE_DIR "/game/scripts")) {
    if (entry.path().extension() != ".txt") continue;
    std::ostringstream source;
    source << std::ifstream(entry.path()).rdbuf();
    const adventure::PackedScript packed =
        adventure::packScriptSource(source.str(), entry.path().filename().string());
    std::ofstream(dataFolder + entry.path().stem().string() + ".word", std::ios::binary)
        .write(reinterpret_cast<const char*>(packed.stored.data()),
               static_cast<std::streamsize>(packed.stored.size()));
  }
  identity = VelmoratDataIdentity(dataFolder);
}

std::string hex64(std::uint64_t value) {
  std::string digits(16, '0');
  for (int index = 15; index >= 0; --index, value >>= 4)
    digits[static_cast<std::size_t>(index)] = "0123456789abcdef"[value & 0xF];
  return digits;
}

// The input with this folder's identity and a check line that fits.
std::string withIdentityAndCheck(std::string save) {
  const std::size_t data = save.find("\ndata ");
  if (data != std::string::npos) {
    const std::size_t end = save.find('\n', data + 1);
    save.replace(data + 6, (end == std::string::npos ? save.size() : end) - data - 6, identity);
  }
  const std::size_t check = save.rfind("\ncheck ");
  if (check != std::string::npos) save.resize(check + 1);
  std::uint64_t hash = kFnvOffset;
  for (unsigned char byte : save) hash = (hash ^ byte) * kFnvPrime;
  return save + "check " + hex64(hash) + "\n";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  packGameScripts();
  fuzzplayer::openGameWindows();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DecodedSave decoded = VelmoratDecodeSave(
      withIdentityAndCheck(std::string(reinterpret_cast<const char*>(data), size)), identity);
  if (decoded.refusal != SaveRefusal::None) return 0;
  GameState& game = decoded.game;
  game.DataFolder = dataFolder;
  game.FontsLookedFor = true;  // the font target covers fonts
  game.ScriptLines = VelmoratLoadData(dataFolder, game.CurrentScene);
  if (game.ScriptLines.empty()) return 0;  // the load refuses a scene without data
  game.ProgramCounter = 0;  // as a loaded game resumes: its scene from the first line
  fuzzplayer::play(game, kMaxLines);
  return 0;
}
