#include "soak/SeedProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/Log.h"

namespace soak {
namespace {

constexpr int kSeedFailed = 1;

std::string resultPath(const SeedOptions& options) {
  return filesOf(options) + ".result";
}

}  // namespace

pid_t startSeedProcess(const SeedOptions& options) {
  std::fflush(stdout);
  const pid_t child = ::fork();
  if (child != 0) return child;
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::_Exit(kSeedFailed);
  // The log's lines are not even written there: a write a line cost a
  // twentieth of the time.
  setLogSink([](std::string_view) { return true; });
  const SeedResult result = playSeed(options);
  {
    std::ofstream out(resultPath(options), std::ios::trunc);
    out << result.commands << " " << result.warmRssKb << " " << result.endRssKb << " "
        << result.slowestWaitMs << "\n"
        << result.failure << "\n";
  }
  if (!result.failure.empty())
    std::fprintf(stderr, "seed %llu: %s\n", static_cast<unsigned long long>(options.seed),
                 result.failure.c_str());
  std::fflush(stderr);
  // The game's threads still run: no destructors.
  std::_Exit(result.failure.empty() ? 0 : kSeedFailed);
}

bool SeedOutcome::passed() const {
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && result.failure.empty();
}

SeedOutcome finishSeedProcess(pid_t child, const SeedOptions& options) {
  SeedOutcome outcome;
  ::waitpid(child, &outcome.status, 0);
  std::ifstream in(resultPath(options));
  in >> outcome.result.commands >> outcome.result.warmRssKb >> outcome.result.endRssKb >>
      outcome.result.slowestWaitMs;
  in.ignore(1);
  std::getline(in, outcome.result.failure);
  std::remove(resultPath(options).c_str());
  return outcome;
}

}  // namespace soak
