// check-script on three folders: our game's data, a generated game of 1,000
// scenes, and one script as large as the loader takes. The baseline of each is
// loading the same scene files as the game does (unpacking and splitting them
// into lines), measured in the same run; the targets are absolute (100 ms, 2 s
// and 10 s) and printed beside the ratios.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "adventure/DataFile.h"
#include "adventure/Pictures.h"
#include "adventure/ScriptAuthoring.h"
#include "adventure/ScriptCheck.h"
#include "bench/RatioReporter.h"

namespace {

constexpr int kGeneratedScenes = 1000;

std::string ourGame() {
  return std::string(VELMORAT_BUNDLE) + "/Contents/Resources/Data/";
}

std::filesystem::path benchFolder(const char* name) {
  return std::filesystem::temp_directory_path() /
         ("velmorat-check-bench-" + std::to_string(::getpid())) / name;
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

void writeScript(const std::filesystem::path& folder, int scene, const std::string& source) {
  const std::vector<std::uint8_t> stored = adventure::packScriptSource(source, "bench").stored;
  writeFile(folder / VelmoratDataFileName(scene), std::string(stored.begin(), stored.end()));
}

// A game of 1,000 scenes built like ours: scene 0 makes the tables and the
// items, each scene sets its exits and title, draws its picture and answers a
// few commands with flags and items, and hands the rest to the next scene.
std::string generatedGame() {
  const std::filesystem::path folder = benchFolder("generated");
  if (std::filesystem::exists(folder / "DATA999.word")) return folder.string() + "/";
  std::filesystem::create_directories(folder);
  std::string prologue =
      "REM DATA000\nDIMENSION SCENES 1000\nDIMENSION ITEMS 100\n"
      "DIMENSION FLAGS 2000\n";
  for (int item = 1; item <= 100; ++item) {
    prologue += "DEFINE ITEM " + std::to_string(item) + " NAME Ding" + std::to_string(item) + "\n";
    prologue +=
        "DEFINE SCENE " + std::to_string(item * 9) + " ITEM Ding" + std::to_string(item) + "\n";
    writeFile(folder / VelmoratItemPictureName(item), "gr");
  }
  writeScript(folder, 0, prologue + "GOTO SCENE 1\n@END\n");
  for (int scene = 1; scene < kGeneratedScenes; ++scene) {
    const std::string n = std::to_string(scene);
    const std::string item = "Ding" + std::to_string(scene % 100 + 1);
    const int next = scene + 1 < kGeneratedScenes ? scene + 1 : 1;
    writeFile(folder / ("bild" + n + ".gr"), "gr");
    writeScript(
        folder, scene,
        "REM DATA" + n + "\nLABEL anfang\nCLEAR DIRECTION\nTITLE Raum " + n + "\nFORWARD " +
            std::to_string(next) + "\nBACKWARD " + std::to_string(scene - 1 > 0 ? scene - 1 : -1) +
            "\nEXIT v h\nUSE bild" + n + "\nDRAW\nCOMPARE FLAG " + n +
            "\nIF EQUAL offen\n?Ein Raum, die Tür ist zu.\n"
            "GOTO eingabe\nLABEL offen\n?Ein Raum, die Tür steht offen.\nLABEL eingabe\n"
            "INPUT\nCOMPARE öffne tür\nIF EQUAL tuer\nCOMPARE benutze " +
            item + "\nIF EQUAL ding\nAVAILABLE HERE " + item + "\nIF EQUAL hier\nGOTO SCENE " +
            std::to_string(next) + "\nLABEL tuer\nSET FLAG " + n +
            "\nGOTO anfang\nLABEL ding\nAVAILABLE INVENTORY " + item +
            "\nIF EQUAL hat\n?Du hast es nicht.\nGOTO eingabe\nLABEL hat\n"
            "SUBTRACT INVENTORY " +
            item + "\nADD INVENTORY " + item +
            "\nGOTO eingabe\nLABEL hier\n?Es liegt hier.\nGOTO eingabe\n@END\n");
  }
  return folder.string() + "/";
}

// One scene file just within the loader's bounds (one line end fewer than it
// refuses, near its 64 MiB), of output lines, in a game whose scene 0 jumps to it.
std::string largestScript() {
  const std::filesystem::path folder = benchFolder("largest");
  if (std::filesystem::exists(folder / "DATA001.word")) return folder.string() + "/";
  std::filesystem::create_directories(folder);
  writeScript(folder, 0, "GOTO SCENE 1\n@END\n");
  std::string source = "LABEL e\n";
  const std::size_t lines = kMaxScriptLineEnds - 5;  // with the four lines around them
  source.reserve(lines * 31);
  char line[32];
  for (std::size_t number = 0; number < lines; ++number) {
    std::snprintf(line, sizeof line, "?Zeile %07zu ist lang genug.\n", number);
    source += line;
  }
  writeScript(folder, 1, source + "INPUT\nGOTO e\n@END\n");
  return folder.string() + "/";
}

void check(benchmark::State& state, const std::string& folder) {
  for (auto _ : state) benchmark::DoNotOptimize(adventure::checkScriptFolder(folder));
}

// What the game itself does with the same files: every scene file loaded.
void load(benchmark::State& state, const std::string& folder, int scenes) {
  for (auto _ : state) {
    for (int scene = 0; scene < scenes; ++scene)
      benchmark::DoNotOptimize(VelmoratLoadData(folder, scene));
  }
}

void CheckOurGame(benchmark::State& state) {
  check(state, ourGame());
}
void LoadOurGame(benchmark::State& state) {
  load(state, ourGame(), 15);
}
void CheckGeneratedGame(benchmark::State& state) {
  check(state, generatedGame());
}
void LoadGeneratedGame(benchmark::State& state) {
  load(state, generatedGame(), kGeneratedScenes);
}
void CheckLargestScript(benchmark::State& state) {
  check(state, largestScript());
}
void LoadLargestScript(benchmark::State& state) {
  load(state, largestScript(), 2);
}

}  // namespace

BENCHMARK(LoadOurGame)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckOurGame)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadGeneratedGame)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckGeneratedGame)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadLargestScript)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(CheckLargestScript)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\ncheck-script against loading the same scene files:\n");
  const struct {
    const char* label;
    const char* check;
    const char* load;
    double targetMs;
  } figures[] = {
      {"our game", "CheckOurGame", "LoadOurGame", 100},
      {"generated 1,000 scenes", "CheckGeneratedGame", "LoadGeneratedGame", 2000},
      {"largest script", "CheckLargestScript/iterations:1", "LoadLargestScript/iterations:1",
       10000},
  };
  for (const auto& figure : figures) {
    const double check = reporter.time(figure.check);
    const double load = reporter.time(figure.load);
    if (check <= 0 || load <= 0) continue;
    std::printf("  %-24s %7.2f x  (%8.1f ms, target %6.0f ms: %s)\n", figure.label, check / load,
                check, figure.targetMs, check <= figure.targetMs ? "met" : "MISSED");
  }
  std::filesystem::remove_all(benchFolder("generated").parent_path());
  return 0;
}
