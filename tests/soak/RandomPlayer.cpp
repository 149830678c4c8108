#include "soak/RandomPlayer.h"

#include <array>

#include "adventure/MenuTags.h"
#include "support/Utf8.h"

namespace soak {
namespace {

// Longer than the prompt's 80 characters, so that the editor's limit is hit.
constexpr std::size_t kLongestLine = 160;
constexpr char32_t kMaxFunctionKey = 12;

const std::u32string kLetters = U"abcdefghijklmnopqrstuvwxyzäöüßABCDEFGHIJKLMNOPQRSTUVWXYZÄÖÜ";
// No "#": at the start of a line a key file reads it as a comment.
const std::u32string kOddCharacters = U"0123456789.,;:!?-'\"/\\()[]<>=+%&$§°^`´~|@_€";

ScriptKey key(ScriptKeyKind kind, char32_t character = 0) {
  return {kind, character};
}

std::vector<ScriptKey> typed(const std::string& utf8) {
  std::vector<ScriptKey> keys;
  for (char32_t scalar : utf8ToScalars(utf8)) keys.push_back(key(ScriptKeyKind::Character, scalar));
  return keys;
}

Move menuItem(int tag) {
  return {{key(ScriptKeyKind::Menu, static_cast<char32_t>(tag))}, "", MoveCheck::None};
}

// The spellings the game accepts for umlauts: "tür" as "tuer".
std::string withoutUmlauts(const std::string& utf8) {
  std::string folded;
  for (char32_t scalar : utf8ToScalars(utf8)) {
    switch (scalar) {
      case U'ä':
        folded += "ae";
        break;
      case U'ö':
        folded += "oe";
        break;
      case U'ü':
        folded += "ue";
        break;
      case U'ß':
        folded += "ss";
        break;
      default:
        appendUtf8(folded, scalar);
    }
  }
  return folded;
}

std::string capitalised(const std::string& utf8) {
  std::u32string scalars = utf8ToScalars(utf8);
  for (char32_t& scalar : scalars) {
    if ((scalar >= U'a' && scalar <= U'z') || scalar == U'ä' || scalar == U'ö' || scalar == U'ü')
      scalar -= 0x20;
  }
  return scalarsToUtf8(scalars);
}

}  // namespace

RandomPlayer::RandomPlayer(Vocabulary vocabulary, std::uint64_t seed, bool transcripts)
    : vocabulary_(std::move(vocabulary)), random_(seed), transcripts_(transcripts) {}

std::size_t RandomPlayer::below(std::size_t bound) {
  return bound == 0 ? 0 : static_cast<std::size_t>(random_() % bound);
}

const std::string& RandomPlayer::pick(const std::vector<std::string>& from) {
  static const std::string nothing;
  return from.empty() ? nothing : from[below(from.size())];
}

std::string RandomPlayer::nonsense(std::size_t letters) {
  std::u32string word;
  for (std::size_t index = 0; index < letters; ++index) {
    if (index > 0 && chance(15)) word.push_back(U' ');
    const std::u32string& set = chance(85) ? kLetters : kOddCharacters;
    word.push_back(set[below(set.size())]);
  }
  return scalarsToUtf8(word);
}

// A command as a player would type it: a phrase of the game, a verb with an
// object, or words the game has never heard, spelt in any of the ways the
// game should accept.
std::string RandomPlayer::command() {
  std::string line;
  const std::size_t kind = below(100);
  if (kind < 55) {
    line = pick(vocabulary_.phrases);
  } else if (kind < 80) {
    line = pick(vocabulary_.verbs) + " " + pick(vocabulary_.objects);
  } else if (kind < 95) {
    line = nonsense(1 + below(20));
  } else {
    line = nonsense(kLongestLine / 2 + below(kLongestLine / 2));
  }
  if (chance(10)) line = withoutUmlauts(line);
  if (chance(5)) line = capitalised(line);
  if (chance(5)) line = "  " + line + "  ";
  return line;
}

std::vector<ScriptKey> RandomPlayer::editingKeys() {
  static constexpr std::array kEditing = {
      ScriptKeyKind::Left,   ScriptKeyKind::Right,     ScriptKeyKind::Home,
      ScriptKeyKind::End,    ScriptKeyKind::Backspace, ScriptKeyKind::ForwardDelete,
      ScriptKeyKind::Up,     ScriptKeyKind::Down,      ScriptKeyKind::Tab,
      ScriptKeyKind::PageUp, ScriptKeyKind::PageDown};
  std::vector<ScriptKey> keys;
  const std::size_t count = 1 + below(6);
  for (std::size_t index = 0; index < count; ++index) {
    const std::size_t kind = below(100);
    if (kind < 70) {
      keys.push_back(key(kEditing[below(kEditing.size())]));
    } else if (kind < 85) {
      // Ctrl-P and Ctrl-N recall commands; the other letters edit or do
      // nothing. Not Ctrl-Q: the desktop, which plays a failing seed's key
      // file again, quits on it.
      char32_t letter = U'A' + static_cast<char32_t>(below(25));
      if (letter >= U'Q') ++letter;
      keys.push_back(key(ScriptKeyKind::Control, letter));
    } else if (kind < 95) {
      keys.push_back(
          key(ScriptKeyKind::Function, static_cast<char32_t>(1 + below(kMaxFunctionKey))));
    } else {
      keys.push_back(key(ScriptKeyKind::Control, U'^'));
    }
  }
  return keys;
}

Move RandomPlayer::atPrompt() {
  const std::size_t kind = below(100);
  if (kind < 5) return {{}, "", MoveCheck::SaveLoad};
  if (kind < 7) return menuItem(kMenuLoadLastState);
  if (kind < 8) return menuItem(transcripts_ ? kMenuSaveTranscript : kMenuShowTranscript);
  if (kind < 9) return menuItem(kMenuShowTranscript);
  if (kind < 10) return menuItem(kMenuLoadGame);
  if (kind < 11) return menuItem(kMenuTakeBackMove);
  const std::string line = command();
  Move move{typed(line), line, kind < 20 ? MoveCheck::TakeBack : MoveCheck::None};
  if (kind >= 85) {
    // Editing keys somewhere in the line: what reaches the game is unknown here.
    const std::vector<ScriptKey> editing = editingKeys();
    move.keys.insert(move.keys.begin() + static_cast<std::ptrdiff_t>(below(move.keys.size() + 1)),
                     editing.begin(), editing.end());
    move.line.clear();
    move.check = MoveCheck::None;
  }
  move.keys.push_back(key(kind >= 98 ? ScriptKeyKind::Escape : ScriptKeyKind::Return));
  return move;
}

Move RandomPlayer::atKeyWait(bool replayQuestion) {
  if (replayQuestion) {
    // "N" would end the program, and with it the run.
    if (chance(20)) return menuItem(chance(50) ? kMenuTakeBackMove : kMenuLoadLastState);
    return {typed(chance(50) ? "j" : "J"), "", MoveCheck::None};
  }
  return {typed(" "), "", MoveCheck::None};
}

std::string keyFileText(const std::vector<ScriptKey>& keys) {
  static constexpr std::array<const char*, 17> kNames = {
      "",     "Return", "Esc", "Tab",    "Backspace", "Delete", "Left",  "Right", "Up",
      "Down", "Home",   "End", "PageUp", "PageDown",  "F",      "Ctrl-", "Menu "};
  std::string text;
  for (const ScriptKey& scriptKey : keys) {
    switch (scriptKey.kind) {
      case ScriptKeyKind::Character:
        if (scriptKey.character == U'{')
          text += "{{";
        else
          appendUtf8(text, scriptKey.character);
        break;
      case ScriptKeyKind::Return:
        text += "\n";
        break;
      case ScriptKeyKind::Function:
      case ScriptKeyKind::Menu:
        text += std::string("{") + kNames[static_cast<std::size_t>(scriptKey.kind)] +
                std::to_string(scriptKey.character) + "}";
        break;
      case ScriptKeyKind::Control:
        text += "{Ctrl-";
        appendUtf8(text, scriptKey.character);
        text += "}";
        break;
      default:
        text += std::string("{") + kNames[static_cast<std::size_t>(scriptKey.kind)] + "}";
    }
  }
  return text;
}

}  // namespace soak
