#include "soak/Vocabulary.h"

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>

#include "adventure/DataFile.h"
#include "support/qbtools.h"

namespace soak {
namespace {

// Commands the parser answers in every game, whatever its scripts say.
const char* const kEngineCommands[] = {
    "hilfe", "in",    "inhalt", "gegenstände", "nimm alles", "entferne alles",
    "lese",  "schau", "v",      "h",           "l",          "r",
    "o",     "u",     "vorne",  "hinten",      "links",      "rechts",
    "oben",  "unten", "zurück", "trace on",    "trace off"};

std::string lowerUtf8(const Text& line) {
  return texttostring(textlower(line));
}

std::string trimmed(std::string text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> words(const std::string& phrase) {
  std::vector<std::string> found;
  std::size_t start = 0;
  while (start < phrase.size()) {
    std::size_t end = phrase.find(' ', start);
    if (end == std::string::npos) end = phrase.size();
    if (end > start) found.push_back(phrase.substr(start, end - start));
    start = end + 1;
  }
  return found;
}

// The phrases one script line offers a player.
void collect(const std::string& line, std::set<std::string>& phrases,
             std::set<std::string>& objects) {
  static const std::regex compare("^compare +(.+)$");
  static const std::regex rewrite("^words +rewrite +(.*)=(.*)$");
  static const std::regex item("^define +item +[0-9]+ +name +(.+)$");
  static const std::regex exits("^exit +(.+)$");
  std::smatch match;
  if (std::regex_match(line, match, compare)) {
    if (!match[1].str().starts_with("flag ")) phrases.insert(trimmed(match[1]));
  } else if (std::regex_match(line, match, rewrite)) {
    phrases.insert(trimmed(match[1]));
    if (!trimmed(match[2]).empty()) phrases.insert(trimmed(match[2]));
  } else if (std::regex_match(line, match, item)) {
    objects.insert(trimmed(match[1]));
  } else if (std::regex_match(line, match, exits)) {
    std::string list = match[1];
    std::replace(list.begin(), list.end(), ',', ' ');
    for (const std::string& word : words(list)) phrases.insert(word);
  }
}

}  // namespace

Vocabulary readVocabulary(const std::string& dataFolder) {
  std::set<std::string> phrases(std::begin(kEngineCommands), std::end(kEngineCommands));
  std::set<std::string> objects;
  static const std::regex dataFile("DATA([0-9]+)\\.word");
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dataFolder, error)) {
    std::smatch match;
    const std::string name = entry.path().filename().string();
    if (!std::regex_match(name, match, dataFile)) continue;
    for (const Text& line : VelmoratLoadData(dataFolder, std::stoi(match[1]))) {
      collect(lowerUtf8(line), phrases, objects);
    }
  }
  Vocabulary vocabulary;
  std::set<std::string> verbs;
  for (const std::string& phrase : phrases) {
    if (phrase.empty()) continue;
    vocabulary.phrases.push_back(phrase);
    const std::vector<std::string> parts = words(phrase);
    if (parts.size() >= 2) {
      verbs.insert(parts.front());
      objects.insert(parts.back());
    }
  }
  vocabulary.verbs.assign(verbs.begin(), verbs.end());
  vocabulary.objects.assign(objects.begin(), objects.end());
  return vocabulary;
}

}  // namespace soak
