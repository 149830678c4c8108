// The random player: from a seed, the next thing a player does at the
// command prompt or at a question, drawn from the game's vocabulary and from
// what players also do (nonsense, umlauts, over-long lines, editing and
// control keys, the game's menu items). The same seed and the same answers
// give the same moves, so a failing seed can be played again.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "launcher/KeyScript.h"
#include "soak/Vocabulary.h"

namespace soak {

// What the driver checks around a move.
enum class MoveCheck {
  None,
  SaveLoad,  // no keys: save, load what was saved, save again: the two saves agree
  TakeBack,  // save, type the command, take it back, save: the two saves agree
};

struct Move {
  std::vector<ScriptKey> keys;  // typed one at a time; a menu item is one key
  std::string line;             // the command as typed when no key edits it, else empty
  MoveCheck check = MoveCheck::None;
};

class RandomPlayer {
 public:
  // transcripts: whether the player saves the transcript now and then.
  RandomPlayer(Vocabulary vocabulary, std::uint64_t seed, bool transcripts = true);
  // At the command prompt.
  Move atPrompt();
  // At a wait for one key; replayQuestion: the game asks whether to play again.
  Move atKeyWait(bool replayQuestion);

 private:
  std::size_t below(std::size_t bound);
  bool chance(int percent) { return below(100) < static_cast<std::size_t>(percent); }
  const std::string& pick(const std::vector<std::string>& from);
  std::string command();
  std::string nonsense(std::size_t letters);
  std::vector<ScriptKey> editingKeys();

  Vocabulary vocabulary_;
  std::mt19937_64 random_;
  bool transcripts_;
};

// The keys as a key file writes them: "{Left}", "{Menu 101}", "{{" for a
// brace, a line end for Return.
std::string keyFileText(const std::vector<ScriptKey>& keys);

}  // namespace soak
