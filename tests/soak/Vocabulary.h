// What a random player types in a game: the phrases its scripts compare the
// command with, the left sides of its word rewrites, its exits and item
// names, and the engine's own verbs and directions, read from the game's
// data folder so that the player follows the game as it changes.
#pragma once

#include <string>
#include <vector>

namespace soak {

struct Vocabulary {
  std::vector<std::string> phrases;  // whole commands, UTF-8, lower case
  std::vector<std::string> verbs;    // first words of phrases of two or more words
  std::vector<std::string> objects;  // item names and the last words of phrases
};

// Reads every DATAnnn.word of dataFolder (ending with "/"); files that do not
// load are left out. The engine's own commands are there even for no files.
Vocabulary readVocabulary(const std::string& dataFolder);

}  // namespace soak
