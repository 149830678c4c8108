#include "soak/PowerCut.h"

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "adventure/DataFile.h"
#include "adventure/Progress.h"
#include "adventure/SaveGame.h"
#include "soak/SeedProcess.h"

namespace soak {
namespace {

namespace fs = std::filesystem;

// A run starts in about 0.1 s and keeps its state a few times a second.
constexpr int kEarliestKillMs = 30;
constexpr int kLatestKillMs = 600;
constexpr std::size_t kEndlessCommands = 1000000000;

bool isTemporary(const fs::path& file) {
  return file.filename().string().starts_with(".") && file.extension() == ".tmp";
}

int temporariesIn(const fs::path& folder) {
  int found = 0;
  std::error_code missing;
  for (const auto& entry : fs::directory_iterator(folder, missing))
    found += isTemporary(entry.path());
  return found;
}

// Empty when the file is missing or loads; otherwise why it does not.
std::string refusalOf(const std::string& path, const std::string& dataFolder,
                      const std::string& identity) {
  if (!fs::exists(path)) return "";
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  const DecodedSave decoded = VelmoratDecodeSave(bytes.str(), identity);
  if (decoded.refusal != SaveRefusal::None)
    return path + " " + VelmoratRefusalReason(decoded.refusal) + " (" + decoded.detail + ")";
  if (VelmoratLoadData(dataFolder, decoded.game.CurrentScene).empty())
    return path + " names scene " + std::to_string(decoded.game.CurrentScene) +
           ", which has no data";
  return "";
}

}  // namespace

PowerCutReport cutPower(SeedOptions base, int kills) {
  PowerCutReport report;
  base.name = "power-cut";
  base.commands = kEndlessCommands;
  base.transcripts = false;  // the save's path holds saves only
  fs::remove_all(stateFolder(base));
  fs::remove(panelPath(base));
  ::setenv("XDG_STATE_HOME", stateFolder(base).c_str(), 1);
  const Session playersFolder;
  const std::string autosave = VelmoratAutosavePath(playersFolder);
  const std::string dataFolder = base.bundle + "/Contents/Resources/Data/";
  const std::string identity = VelmoratDataIdentity(dataFolder);
  std::mt19937 random(static_cast<unsigned>(kills));
  std::uniform_int_distribution<int> delayMs(kEarliestKillMs, kLatestKillMs);

  for (; report.kills < kills && report.failure.empty(); ++report.kills) {
    base.seed = static_cast<std::uint64_t>(report.kills + 1);
    const pid_t child = startSeedProcess(base);
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
    ::kill(child, SIGKILL);
    const SeedOutcome outcome = finishSeedProcess(child, base);
    if (outcome.passed() || !outcome.result.failure.empty()) {
      report.failure = "run " + std::to_string(report.kills + 1) +
                       " ended before the kill: " + outcome.result.failure;
      break;
    }
    if (temporariesIn(fs::path(autosave).parent_path()) + temporariesIn(base.work) > 0)
      ++report.temporariesLeft;
    for (const std::string& saved : {autosave, panelPath(base)}) {
      const std::string refusal = refusalOf(saved, dataFolder, identity);
      if (!refusal.empty() && report.failure.empty())
        report.failure = "after kill " + std::to_string(report.kills + 1) + ": " + refusal;
    }
  }
  if (!report.failure.empty()) return report;

  // One more start, played to its first prompt and ended.
  base.commands = 0;
  base.seed = static_cast<std::uint64_t>(kills + 1);
  const SeedOutcome last = finishSeedProcess(startSeedProcess(base), base);
  if (!last.passed()) {
    report.failure = "the game did not start after the kills: " + last.result.failure;
    return report;
  }
  for (const auto& entry : fs::directory_iterator(fs::path(autosave).parent_path())) {
    if (entry.path() != fs::path(autosave))
      report.failure = "left in the state folder: " + entry.path().filename().string();
  }
  return report;
}

}  // namespace soak
