// One seed of the soak: the random player plays the game in this process for
// a number of commands, and after every move the run checks what a player
// relies on: the program waits again in time, no script message ("*** ")
// appears, a move taken back gives the state before it exactly, a saved game
// loads to the state it holds, and memory does not grow. Every key goes to a
// key file as it is typed, so that a failure, a crash or a sanitizer report
// can be played again with the velmorat program.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace soak {

struct SeedOptions {
  std::string bundle;  // the game's bundle folder
  std::string work;    // the seed's files: key file, saves, state folder
  std::uint64_t seed = 1;
  // Names the seed's files in work; empty: "seed-N". Runs that share a name
  // share their saves and state folder.
  std::string name;
  std::size_t commands = 1000;
  // How long the program may take to wait for input again after a key.
  std::chrono::milliseconds waitBound{1000};
  // Memory may grow by this share between the end of the warm-up and the
  // end; negative: not checked.
  double allowedGrowth = 0.05;
  // Moves of the warm-up; 0: a tenth of the commands. The warm-up also lasts
  // until the transcript holds as many lines as it keeps (some 20,000 to
  // 30,000 moves): until then it grows by design. A seed that ends warm-up
  // first leaves its memory unchecked.
  std::size_t warmUp = 0;
  // Whether the player saves the transcript, which goes to the save's path
  // (every panel answers that one path).
  bool transcripts = true;
};

struct SeedResult {
  std::size_t commands = 0;  // moves made
  std::string failure;       // empty when every check held
  long warmRssKb = 0;        // resident memory after the warm-up; 0: not reached
  long endRssKb = 0;
  long slowestWaitMs = 0;  // the longest the program took to wait again
};

// The files of a seed in work: the keys typed, the path every panel answers,
// the state folder (XDG_STATE_HOME) of its autosave.
std::string keyFilePath(const SeedOptions& options);
std::string panelPath(const SeedOptions& options);
std::string stateFolder(const SeedOptions& options);
std::string filesOf(const SeedOptions& options);  // the common start of their paths

// Plays the seed; the game stays in this process (one seed per process).
SeedResult playSeed(const SeedOptions& options);

}  // namespace soak
