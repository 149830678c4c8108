// velmorat-soak: the random player against the game, seed after seed, each
// seed in a child process of its own so that a crash or a sanitizer report
// ends only that seed and the parent can print the key file that repeats it.
//
//   velmorat-soak --bundle DIR --work DIR [--seeds N | --minutes M]
//                 [--first-seed S] [--commands N] [--wait-ms MS] [--growth P]
//                 [--warm-up N]
//   velmorat-soak --bundle DIR --work DIR --power-cut KILLS
//
// Exit status 0 when every check held, 1 after a failure, 2 for a command
// line not understood.
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "soak/PowerCut.h"
#include "soak/SeedProcess.h"
#include "support/CommandLineParser.h"

namespace {

constexpr int kExitFailure = 1;

struct Options {
  soak::SeedOptions seed;
  long long seeds = 1;
  long long firstSeed = 1;
  double minutes = 0;  // above 0: seeds until this time is up
  double growthPercent = 5;
  long long waitMs = 1000;
  int powerCutKills = 0;
};

std::string readFile(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

void reportFailure(const soak::SeedOptions& seed, const soak::SeedOutcome& outcome) {
  std::cout << "soak: seed " << seed.seed << " failed after " << outcome.result.commands
            << " moves";
  if (WIFSIGNALED(outcome.status)) std::cout << " (signal " << WTERMSIG(outcome.status) << ")";
  if (!outcome.result.failure.empty()) std::cout << ": " << outcome.result.failure;
  std::cout << ".\nIts keys, played again with\n"
            << "  XDG_STATE_HOME=$(mktemp -d) velmorat --headless --bundle " << seed.bundle
            << " --panel-answer " << soak::panelPath(seed) << " --keys " << soak::keyFilePath(seed)
            << "\n--- " << soak::keyFilePath(seed) << "\n"
            << readFile(soak::keyFilePath(seed)) << "\n---\n";
}

int playSeeds(const Options& options) {
  const auto start = std::chrono::steady_clock::now();
  const auto deadline = start + std::chrono::duration<double, std::ratio<60>>(options.minutes);
  std::size_t seeds = 0;
  std::size_t commands = 0;
  double worstGrowth = 0;
  std::size_t warmSeeds = 0;  // those whose memory was checked
  long largestKb = 0;
  long slowestMs = 0;
  for (long long seed = options.firstSeed;; ++seed) {
    if (options.minutes > 0 ? std::chrono::steady_clock::now() >= deadline
                            : seed >= options.firstSeed + options.seeds)
      break;
    soak::SeedOptions run = options.seed;
    run.seed = static_cast<std::uint64_t>(seed);
    std::filesystem::remove_all(soak::stateFolder(run));
    const soak::SeedOutcome outcome = soak::finishSeedProcess(soak::startSeedProcess(run), run);
    ++seeds;
    commands += outcome.result.commands;
    if (!outcome.passed()) {
      reportFailure(run, outcome);
      return kExitFailure;
    }
    const soak::SeedResult& result = outcome.result;
    if (result.warmRssKb > 0) {
      ++warmSeeds;
      worstGrowth = std::max(worstGrowth, 100.0 * (result.endRssKb - result.warmRssKb) /
                                              static_cast<double>(result.warmRssKb));
    }
    largestKb = std::max(largestKb, result.endRssKb);
    slowestMs = std::max(slowestMs, result.slowestWaitMs);
    // A line a seed, so that a long run stopped early still tells its figures.
    std::cout << "soak: seed " << seed << " passed, " << result.commands << " moves, memory ";
    if (result.warmRssKb > 0) std::cout << result.warmRssKb << " -> ";
    std::cout << result.endRssKb << " kB" << (result.warmRssKb > 0 ? "" : " (still warming up)")
              << ", slowest answer " << result.slowestWaitMs << " ms" << std::endl;
    for (const std::string& file : {soak::keyFilePath(run), soak::panelPath(run)})
      std::filesystem::remove(file);
    std::filesystem::remove_all(soak::stateFolder(run));
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << "soak: " << seeds << " seeds, " << commands << " moves in " << seconds << " s ("
            << (seconds > 0 ? commands / seconds : 0) << " moves/s); resident memory at most "
            << largestKb << " kB, growth after the warm-up at most " << worstGrowth << " % ("
            << warmSeeds << " seeds warmed up); the slowest answer took " << slowestMs << " ms\n";
  return 0;
}

int cutPower(const Options& options) {
  const soak::PowerCutReport report = soak::cutPower(options.seed, options.powerCutKills);
  std::cout << "power cut: " << report.kills << " kills, " << report.temporariesLeft
            << " of them in the middle of a write\n";
  if (report.failure.empty()) return 0;
  std::cout << "power cut: " << report.failure << "\n";
  return kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  long long commands = static_cast<long long>(options.seed.commands);
  long long warmUp = 0;
  CLI::App app("The random player against the game.", "velmorat-soak");
  app.add_option("--bundle", options.seed.bundle, "the game's bundle folder")->required();
  app.add_option("--work", options.seed.work, "folder for key files, saves and state")->required();
  app.add_option("--seeds", options.seeds, "how many seeds");
  app.add_option("--minutes", options.minutes, "play seeds until this time is up");
  app.add_option("--first-seed", options.firstSeed, "the first seed");
  app.add_option("--commands", commands, "moves per seed");
  app.add_option("--wait-ms", options.waitMs, "how long the program may take to wait again");
  app.add_option("--growth", options.growthPercent,
                 "allowed memory growth after the warm-up, percent (negative: unchecked)");
  app.add_option("--warm-up", warmUp,
                 "moves before memory is first measured (0: a tenth), at least until the "
                 "transcript is full");
  app.add_option("--power-cut", options.powerCutKills, "kill the game this many times instead");
  const commandline::Parsed parsed =
      commandline::parse(app, std::vector<std::string>(argv + 1, argv + argc));
  if (parsed.help || !parsed.error.empty()) {
    (parsed.help ? std::cout : std::cerr) << parsed.text;
    return parsed.help ? 0 : commandline::kUsageStatus;
  }
  options.seed.commands = static_cast<std::size_t>(commands);
  options.seed.warmUp = static_cast<std::size_t>(std::max(0LL, warmUp));
  options.seed.waitBound = std::chrono::milliseconds(options.waitMs);
  options.seed.allowedGrowth = options.growthPercent / 100;
  std::filesystem::create_directories(options.seed.work);
  return options.powerCutKills > 0 ? cutPower(options) : playSeeds(options);
}
