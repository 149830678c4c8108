#include "soak/SeedRun.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "adventure/MenuTags.h"
#include "soak/GameDriver.h"
#include "soak/RandomPlayer.h"
#include "support/Bundle.h"

namespace soak {
namespace {

constexpr const char* kScriptMessage = "*** ";
constexpr const char* kReplayQuestion = "noch einmal spielen";
constexpr const char* kSaved = "Spielstand gesichert: ";
constexpr const char* kTakenBack = "Zurückgenommen: ";
// Answers longer than this may be broken over two lines.
constexpr std::size_t kLongestCheckedLine = 40;

long residentKb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

std::string readFile(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// The screen's lines without their trailing blanks, the empty ones at the
// end left out.
std::vector<std::string> screenLines(const std::string& screen) {
  std::vector<std::string> lines;
  std::istringstream text(screen);
  std::string line;
  while (std::getline(text, line)) {
    line.erase(line.find_last_not_of(' ') + 1);
    lines.push_back(line);
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// The first "*** " line on the screen with the command above it; empty for none.
std::string scriptMessage(const std::string& screen) {
  const std::vector<std::string> lines = screenLines(screen);
  for (std::size_t index = 0; index < lines.size(); ++index) {
    if (lines[index].starts_with(kScriptMessage))
      return (index > 0 ? lines[index - 1] + " / " : "") + lines[index];
  }
  return "";
}

// Whether one of the screen's last count lines holds part.
bool nearTheEnd(const std::string& screen, const std::string& part, std::size_t count,
                bool wholeLine = false) {
  const std::vector<std::string> lines = screenLines(screen);
  for (std::size_t index = lines.size() > count ? lines.size() - count : 0; index < lines.size();
       ++index) {
    if (wholeLine ? lines[index] == part : lines[index].find(part) != std::string::npos)
      return true;
  }
  return false;
}

// A loaded or restored game starts its scene's script anew, whose first
// COMPARE sets the condition again before any IF reads it: the saved
// condition is the script's scratch, not the player's progress (and the
// check line covers it).
std::string progressOf(const std::string& save) {
  std::istringstream lines(save);
  std::string kept;
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.starts_with("condition ") && !line.starts_with("check ")) kept += line + "\n";
  }
  return kept;
}

// The first line where two saves differ, for the failure message.
std::string firstDifference(const std::string& expected, const std::string& found) {
  std::istringstream left(expected);
  std::istringstream right(found);
  std::string leftLine;
  std::string rightLine;
  while (true) {
    const bool moreLeft = static_cast<bool>(std::getline(left, leftLine));
    const bool moreRight = static_cast<bool>(std::getline(right, rightLine));
    if (!moreLeft && !moreRight) return "(none)";
    if (!moreLeft || !moreRight || leftLine != rightLine)
      return "'" + (moreLeft ? leftLine : "") + "' became '" + (moreRight ? rightLine : "") + "'";
  }
}

class Seed {
 public:
  explicit Seed(const SeedOptions& options)
      : options_(options),
        keys_(keyFilePath(options), std::ios::binary | std::ios::trunc),
        game_(options.bundle, panelPath(options)),
        player_(readVocabulary(resourcesPath() + "/Data/"), options.seed, options.transcripts) {}

  SeedResult play() {
    if (!game_.start(kFirstWaitBound)) return fail("the game did not ask for input");
    const std::size_t warmUp = options_.warmUp > 0 ? options_.warmUp : options_.commands / 10;
    while (result_.commands < options_.commands && result_.failure.empty()) {
      if (result_.warmRssKb == 0 && result_.commands >= warmUp && game_.transcriptFull())
        result_.warmRssKb = residentKb();
      move();
      ++result_.commands;
      if (result_.failure.empty() && !scriptMessage(game_.screen()).empty())
        fail("a script message appeared: " + scriptMessage(game_.screen()));
    }
    result_.endRssKb = residentKb();
    if (result_.failure.empty() && options_.allowedGrowth >= 0 && result_.warmRssKb > 0 &&
        result_.endRssKb > result_.warmRssKb * (1 + options_.allowedGrowth)) {
      fail("memory grew from " + std::to_string(result_.warmRssKb) + " kB to " +
           std::to_string(result_.endRssKb) + " kB");
    }
    if (result_.failure.empty() && !game_.stop(kFirstWaitBound))
      fail("the program did not end when asked to");
    return result_;
  }

 private:
  // The program's first screen takes fonts and pictures from the disk.
  static constexpr std::chrono::seconds kFirstWaitBound{30};

  SeedResult fail(const std::string& why) {
    if (result_.failure.empty()) result_.failure = why;
    return result_;
  }

  bool press(const ScriptKey& key) {
    keys_ << keyFileText({key});
    keys_.flush();
    const auto start = std::chrono::steady_clock::now();
    const bool waited = game_.press(key, options_.waitBound);
    result_.slowestWaitMs =
        std::max<long>(result_.slowestWaitMs, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  std::chrono::steady_clock::now() - start)
                                                  .count());
    if (waited) return true;
    fail("the program did not wait for input again within " +
         std::to_string(options_.waitBound.count()) + " ms after \"" + keyFileText({key}) + "\"");
    return false;
  }

  bool pressAll(const std::vector<ScriptKey>& keys) {
    for (const ScriptKey& key : keys) {
      if (!press(key)) return false;
    }
    return true;
  }

  bool choose(int tag) { return press({ScriptKeyKind::Menu, static_cast<char32_t>(tag)}); }

  // Saves through the menu and returns what was written; empty after a failure.
  std::string save() {
    if (!choose(kMenuSaveGame)) return "";
    if (!nearTheEnd(game_.screen(), kSaved, 3)) {
      fail("saving was refused");
      return "";
    }
    return readFile(panelPath(options_));
  }

  void expectSame(const std::string& before, const std::string& after, const std::string& what) {
    if (result_.failure.empty() && progressOf(before) != progressOf(after))
      fail(what + ": the save differs, " + firstDifference(progressOf(before), progressOf(after)));
  }

  bool replayQuestion() { return nearTheEnd(game_.screen(), kReplayQuestion, 1); }

  void move() {
    const InputWaitKind kind = game_.waitKind();
    if (kind != InputWaitKind::Line) {
      pressAll(player_.atKeyWait(replayQuestion()).keys);
      return;
    }
    const Move next = player_.atPrompt();
    switch (next.check) {
      case MoveCheck::None:
        pressAll(next.keys);
        return;
      case MoveCheck::SaveLoad: {
        const std::string saved = save();
        if (saved.empty() || !choose(kMenuLoadGame)) return;
        expectSame(saved, save(), "a saved game loaded");
        return;
      }
      case MoveCheck::TakeBack: {
        const std::string before = save();
        if (before.empty() || !pressAll(next.keys)) return;
        if (game_.waitKind() != InputWaitKind::Line && !replayQuestion()) return;
        if (!choose(kMenuTakeBackMove)) return;
        // Commands that never reach the script (help, the inventory) are no
        // step: the take-back then names an earlier command.
        const bool tookThis = next.line.size() <= kLongestCheckedLine &&
                              nearTheEnd(game_.screen(), kTakenBack + next.line, 3, true);
        if (tookThis) expectSame(before, save(), "\"" + next.line + "\" taken back");
        return;
      }
    }
  }

  SeedOptions options_;
  std::ofstream keys_;
  GameDriver game_;
  RandomPlayer player_;
  SeedResult result_;
};

}  // namespace

std::string filesOf(const SeedOptions& options) {
  return options.work + "/" +
         (options.name.empty() ? "seed-" + std::to_string(options.seed) : options.name);
}

std::string keyFilePath(const SeedOptions& options) {
  return filesOf(options) + ".keys";
}

std::string panelPath(const SeedOptions& options) {
  return filesOf(options) + ".velmorat";
}

std::string stateFolder(const SeedOptions& options) {
  return filesOf(options) + "-state";
}

SeedResult playSeed(const SeedOptions& options) {
  ::setenv("XDG_STATE_HOME", stateFolder(options).c_str(), 1);
  Seed seed(options);
  return seed.play();
}

}  // namespace soak
