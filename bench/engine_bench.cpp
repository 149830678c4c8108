// The engine at play: setting up the title screen, a scripted game of 200
// commands, and the pieces one command is made of (item pictures, the scene
// picture, loading a scene file, a line of text), beside a memcpy of the
// picture window's bytes. Prints each piece as a ratio to the memcpy, its share
// of one command, and the resident memory after the game.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "adventure/DataFile.h"
#include "adventure/GameState.h"
#include "adventure/Interpreter.h"
#include "adventure/Pictures.h"
#include "adventure/ScriptAuthoring.h"
#include "app/Main.h"
#include "bench/RatioReporter.h"
#include "host/fake/FakeHost.h"
#include "support/Bundle.h"
#include "support/qbtools.h"
#include "toolbox/graphics/PictureFile.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowManagement.h"

namespace {

constexpr int kCommands = 200;
constexpr int kItemsInScene = 3;
constexpr std::size_t kPictureWindowBytes =
    std::size_t(kPictureWindowWidth) * kPictureWindowHeight * 3;

const char* kSetupScript =
    "DIMENSION SCENES 2\nDIMENSION ITEMS 3\nDIMENSION FLAGS 9\n"
    "DEFINE ITEM 1 NAME Lampe\nDEFINE ITEM 2 NAME Buch\nDEFINE ITEM 3 NAME Münze\n"
    "CLEAR INVENTORY\nCLEAR SCENES\n"
    "DEFINE SCENE 1 ITEM Lampe\nDEFINE SCENE 1 ITEM Buch\nDEFINE SCENE 1 ITEM Münze COUNT 4\n"
    "GOTO SCENE 1\n@END\n";

// A scene of the usual shape: status line, picture, text, then a loop of
// INPUT and COMPARE.
const char* kSceneScript =
    "TITLE Bibliothek\nEXIT vorne, hinten\nFORWARD 0\nBACKWARD 0\nUSE szene\nDRAW\n"
    "?Hohe Regale voller staubiger Bücher reichen bis an die Decke. Ein Pult steht\n"
    "?unter dem Fenster, daneben eine schwere Kiste mit eisernen Beschlägen.\n"
    "LABEL frage\nINPUT\nCOMPARE ende\nIF EQUAL ende\nCOMPARE such kiste\nIF EQUAL kiste\n"
    "?Das verstehe ich nicht.\nGOTO frage\n"
    "LABEL kiste\n?Die Kiste ist leer.\nGOTO frage\nLABEL ende\nQUIT\n@END\n";

// The mix of a player's commands: scene-specific ones, looks, takes and drops;
// three of them (schau, nimm alles, entferne alles) restart the scene file.
constexpr int kRestartingCommands = 3;
const std::vector<std::string> kCommandMix = {
    "untersuche kiste\r", "schau\r",      "nimm alles\r", "in\r",
    "entferne alles\r",   "öffne pult\r", "lese buch\r",  "r\r"};

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> rgbPicture(int width, int height, std::uint8_t shade) {
  t_Graphic plain;
  plain.Format = kPlainRgb;
  plain.Width = width;
  plain.Height = height;
  plain.PixelWidth = 1;
  plain.PixelHeight = 1;
  plain.Data.assign(std::size_t(width) * height * 3, shade);
  plain.Size = static_cast<std::int64_t>(plain.Data.size());
  return picture::fileBytes(plain);
}

// A bundle in the temporary folder with a plain grey font, the two scripts,
// a full-size scene picture and three 128 x 128 item pictures.
void makeBundle() {
  std::filesystem::path bundle =
      std::filesystem::temp_directory_path() / "velmorat-engine-bench.app";
  std::filesystem::path data = bundle / "Contents/Resources/Data";
  std::filesystem::create_directories(data);
  t_Font font;
  font.Format = 2;
  font.End = 255;
  font.Width = 16;
  font.Height = 32;
  font.Data.assign(256 * 16 * 32, 128);
  for (const char* name : {kRegularFontName, kBoldFontName}) {
    writeFile(bundle / "Contents/Resources" / name, glyphs::fontToBytes(font));
  }
  writeFile(data / VelmoratDataFileName(0),
            adventure::packScriptSource(kSetupScript, "setup").stored);
  writeFile(data / VelmoratDataFileName(1),
            adventure::packScriptSource(kSceneScript, "scene").stored);
  writeFile(data / "szene.gr", rgbPicture(kPictureWindowWidth, kPictureWindowHeight, 90));
  for (int item = 1; item <= kItemsInScene; ++item) {
    writeFile(data / VelmoratItemPictureName(item), rgbPicture(128, 128, std::uint8_t(40 * item)));
  }
  setBundlePath(bundle.string());
}

// The game state of the title screen, with the data folder of the bundle.
GameState& setUpOnce() {
  static GameState titled;
  static bool done = false;
  if (done) return titled;
  done = true;
  static host::FakeHost screenless;
  host::install(&screenless);
  makeBundle();
  VelmoratTitleScreen(titled);
  titled.DataFolder = dataPath();
  t_WindowVisible(kPictureWindow, true);
  return titled;
}

long residentKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
  }
  return 0;
}

void MemcpyOfThePictureWindow(benchmark::State& state) {
  std::vector<std::uint8_t> source(kPictureWindowBytes, 7), target(kPictureWindowBytes);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), kPictureWindowBytes);
    benchmark::DoNotOptimize(target.data());
  }
}

void TitleScreen(benchmark::State& state) {
  GameState& titled = setUpOnce();
  for (auto _ : state) VelmoratTitleScreen(titled);
}

void ScriptedGameOfTwoHundredCommands(benchmark::State& state) {
  const GameState& titled = setUpOnce();
  for (auto _ : state) {
    GameState game = titled;
    KeyEventQueue.clear();
    std::string keys;
    for (int i = 0; i < kCommands; ++i) keys += kCommandMix[i % kCommandMix.size()];
    t_KeyPostText(keys + "ende\r");
    game.ScriptLines = VelmoratLoadData(game.DataFolder, 0);
    VelmoratRunScript(game);
  }
  state.counters["rss_MiB"] = double(residentKilobytes("VmRSS:")) / 1024;
  state.counters["peak_rss_MiB"] = double(residentKilobytes("VmHWM:")) / 1024;
}

void ItemPicturesOfThreeItems(benchmark::State& state) {
  GameState game = setUpOnce();
  std::vector<Text> setup = VelmoratLoadData(game.DataFolder, 0);
  setup.pop_back();  // the jump to scene 1, whose INPUT would wait for keys
  for (const Text& line : setup) VelmoratExecuteLine(game, line);
  game.CurrentScene = 1;
  for (auto _ : state) benchmark::DoNotOptimize(VelmoratSceneItemPictures(game));
}

void ScenePictureLoadAndDraw(benchmark::State& state) {
  const std::string dataFolder = setUpOnce().DataFolder;
  for (auto _ : state) {
    g_Draw(kPictureWindow, g_LoadGraphic(dataFolder + "szene.gr"), 0, 0, 1, -1);
    t_WindowUpdate(kPictureWindow, false);
  }
}

void LoadSceneFile(benchmark::State& state) {
  const std::string dataFolder = setUpOnce().DataFolder;
  for (auto _ : state) benchmark::DoNotOptimize(VelmoratLoadData(dataFolder, 1));
}

void PrintOneLine(benchmark::State& state) {
  setUpOnce();
  const Text line = stringtotext("Hohe Regale voller staubiger Bücher reichen bis an die Decke.");
  for (auto _ : state) {
    t_Print(VelmoratTextWindow(), line);
    t_Cr(VelmoratTextWindow());
  }
}

}  // namespace

BENCHMARK(MemcpyOfThePictureWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK(TitleScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(ScriptedGameOfTwoHundredCommands)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ItemPicturesOfThreeItems)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScenePictureLoadAndDraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadSceneFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(PrintOneLine)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double baseline = reporter.time("MemcpyOfThePictureWindow");  // microseconds
  const double game = reporter.time("ScriptedGameOfTwoHundredCommands/iterations:3") * 1000;
  if (baseline <= 0 || game <= 0) return 0;
  const double perCommand = game / kCommands;
  std::printf("\nAgainst a memcpy of the picture window's %zu bytes (%.0f us):\n",
              kPictureWindowBytes, baseline);
  std::printf("  title screen set-up       %8.2f x\n",
              reporter.time("TitleScreen") * 1000 / baseline);
  std::printf("  one command of the game   %8.2f x  (%.0f us; 200 commands: %.3f s)\n",
              perCommand / baseline, perCommand, game / 1e6);
  // Per command: the item pictures and one line at every INPUT; the scene
  // picture (USE, DRAW) and the scene file only when a command restarts the scene.
  const double restarts = double(kRestartingCommands) / double(kCommandMix.size());
  struct Piece {
    const char* label;
    const char* name;
    double callsPerCommand;
  };
  for (const Piece& piece : {Piece{"item pictures (3)", "ItemPicturesOfThreeItems", 1.0},
                             Piece{"scene picture load+draw", "ScenePictureLoadAndDraw", restarts},
                             Piece{"scene file load", "LoadSceneFile", restarts},
                             Piece{"one line of text", "PrintOneLine", 1.0}}) {
    const double time = reporter.time(piece.name);
    std::printf("  %-25s %8.2f x  (%6.0f us a call, %4.1f %% of the game)\n", piece.label,
                time / baseline, time, 100 * time * piece.callsPerCommand / perCommand);
  }
  std::printf("Resident memory after the game: %.1f MiB (peak %.1f MiB)\n",
              double(residentKilobytes("VmRSS:")) / 1024,
              double(residentKilobytes("VmHWM:")) / 1024);
  return 0;
}
