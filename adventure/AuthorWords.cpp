#include "adventure/AuthorWords.h"

#include <algorithm>
#include <array>

#include "adventure/GameState.h"
#include "adventure/HabitCommands.h"
#include "adventure/Interpreter.h"
#include "adventure/TextBuild.h"
#include "support/Log.h"
#include "support/qbtools.h"

using adventure::argumentsAfter;
using adventure::concat;
using adventure::equals;
using adventure::latin1;
using adventure::startsWith;

namespace {

constexpr std::uint8_t kBlank = ' ';
constexpr std::uint8_t kWildcard = '*';  // in WORDS REWRITE: the words in between
// A scene that loops through COMPAREs without ever reaching INPUT must not
// grow the list without bound; the first texts are the ones that count.
constexpr std::size_t kMaxRemembered = 4096;
// Shorter words are left alone by the guess: "v" is one letter from "h".
constexpr std::size_t kShortestGuessedWord = 3;
// Whole commands shorter than this are not guessed either ("lese" vs "lesen").
constexpr std::size_t kShortestGuessedCommand = 6;

std::vector<Text> splitWords(const Text& text) {
  std::vector<Text> words(1);
  for (std::uint8_t byte : text.Elements) {
    if (byte == kBlank) {
      words.emplace_back();
    } else {
      words.back().Elements.push_back(byte);
    }
  }
  return words;
}

Text joinWords(const std::vector<Text>& words) {
  Text joined;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) joined.Elements.push_back(kBlank);
    joined.Elements.insert(joined.Elements.end(), words[i].Elements.begin(),
                           words[i].Elements.end());
  }
  return joined;
}

Text collapseBlanks(const Text& command) {
  std::vector<Text> words = splitWords(command);
  std::erase_if(words, [](const Text& word) { return word.empty(); });
  return joinWords(words);
}

// A rule with "*" matches the whole command, "*" standing for one word or
// more between the words around it: "wirf * weg = entferne *" makes
// "wirf brief weg" into "entferne brief".
void rewriteAround(Text& command, const Text& from, const Text& to) {
  const auto star = std::find(from.Elements.begin(), from.Elements.end(), kWildcard);
  const std::vector<std::uint8_t> head(from.Elements.begin(), star);
  const std::vector<std::uint8_t> tail(star + 1, from.Elements.end());
  const auto& typed = command.Elements;
  if (typed.size() <= head.size() + tail.size() ||
      !std::equal(head.begin(), head.end(), typed.begin()) ||
      !std::equal(tail.begin(), tail.end(), typed.end() - static_cast<long>(tail.size()))) {
    return;
  }
  const std::vector<std::uint8_t> middle(typed.begin() + static_cast<long>(head.size()),
                                         typed.end() - static_cast<long>(tail.size()));
  if (middle.front() == kBlank || middle.back() == kBlank) return;  // a word cut in two
  Text result;
  for (std::uint8_t byte : to.Elements) {
    if (byte == kWildcard) {
      result.Elements.insert(result.Elements.end(), middle.begin(), middle.end());
    } else {
      result.Elements.push_back(byte);
    }
  }
  command = result;
}

// "from" at the start of command as whole words: "x" rewrites "x brief" but not
// "xylophon". A rule to nothing drops its words only when something follows
// them ("geh nach vorne" becomes "vorne"), so that a bare "geh" still reaches
// the script, which can say what it misses.
void rewrite(Text& command, const Text& from, const Text& to) {
  if (std::find(from.Elements.begin(), from.Elements.end(), kWildcard) != from.Elements.end()) {
    rewriteAround(command, from, to);
    return;
  }
  if (command.size() < from.size() ||
      !std::equal(from.Elements.begin(), from.Elements.end(), command.Elements.begin())) {
    return;
  }
  if (command.size() > from.size() && command.Elements[from.size()] != kBlank) return;
  Text rest = textfrom(command, static_cast<int>(from.size()) + 1);
  if (to.empty()) {
    if (rest.empty()) return;
    rest = textfrom(rest, 2);  // the blank after the dropped words
  }
  command = concat({to, rest});
}

// The first word is the verb and stays, even when the author lists it.
Text dropFillers(const Text& command, const std::vector<Text>& fillers) {
  std::vector<Text> words = splitWords(command);
  std::vector<Text> kept;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i == 0 || std::find(fillers.begin(), fillers.end(), words[i]) == fillers.end()) {
      kept.push_back(words[i]);
    }
  }
  return joinWords(kept);
}

void declareFillers(AuthorWords& declared, const Text& list) {
  for (const Text& word : splitWords(textlower(list))) {
    if (word.empty()) continue;
    auto& fillers = declared.fillers;
    if (std::find(fillers.begin(), fillers.end(), word) == fillers.end()) fillers.push_back(word);
  }
}

// A second rule for the same words replaces the first, so that a scene 0 run
// again never piles up rules.
void declareRewrite(AuthorWords& declared, const Text& rule) {
  int equalsSign = position(rule, Text::fromBytes("="), 1);
  Text from = collapseBlanks(textlower(textleft(rule, equalsSign - 1)));
  Text to = collapseBlanks(textlower(textfrom(rule, equalsSign + 1)));
  auto& rewrites = declared.rewrites;
  auto same = std::find_if(rewrites.begin(), rewrites.end(),
                           [&from](const auto& known) { return known.first == from; });
  if (same != rewrites.end()) {
    same->second = to;
  } else {
    rewrites.emplace_back(from, to);
  }
}

void declareHelpLine(AuthorWords& declared, const Text& line) {
  auto& lines = declared.helpLines;
  if (std::find(lines.begin(), lines.end(), line) == lines.end()) lines.push_back(line);
}

// The verbs whose commands the engine carries out with an item name.
constexpr std::array<const char*, 3> kItemVerbs = {"lese", "nimm", "entferne"};

// What a scene understands at its general answer: the words of the texts its
// COMPAREs tested, the item names and the engine's own verbs.
struct KnownWords {
  std::vector<Text> words;
  std::vector<Text> comparedKeys;
  std::vector<Text> itemKeys;
  const AuthorWords& declared;

  KnownWords(const std::vector<Text>& compared, const std::vector<Text>& itemNames,
             const AuthorWords& words_)
      : words(itemNames), declared(words_) {
    for (const Text& text : compared) {
      comparedKeys.push_back(VelmoratComparisonKey(text, declared));
      for (const Text& word : splitWords(textlower(text))) words.push_back(word);
    }
    for (const Text& name : itemNames) itemKeys.push_back(VelmoratComparisonKey(name, declared));
  }

  bool knows(const Text& word) const {
    if (std::any_of(kItemVerbs.begin(), kItemVerbs.end(),
                    [&](const char* verb) { return equals(word, verb); })) {
      return true;
    }
    const Text key = VelmoratComparisonKey(word, declared);
    return std::any_of(words.begin(), words.end(), [&](const Text& candidate) {
      return VelmoratComparisonKey(candidate, declared) == key;
    });
  }

  // A compared text, or a look, take or drop of an item.
  bool understands(const Text& command) const {
    const Text key = VelmoratComparisonKey(command, declared);
    if (std::find(comparedKeys.begin(), comparedKeys.end(), key) != comparedKeys.end()) {
      return true;
    }
    const std::vector<Text> parts = splitWords(command);
    if (parts.size() < 2) return false;
    const bool itemVerb = std::any_of(kItemVerbs.begin(), kItemVerbs.end(),
                                      [&](const char* verb) { return equals(parts[0], verb); });
    const Text name =
        VelmoratComparisonKey(argumentsAfter(command, static_cast<int>(parts[0].size())), declared);
    return itemVerb && std::find(itemKeys.begin(), itemKeys.end(), name) != itemKeys.end();
  }
};

struct CaptionParts {
  Text picture;  // lower case
  Text text;
  bool hasEqualsSign = false;
};

CaptionParts captionParts(const Text& declaration) {
  CaptionParts parts;
  int equalsSign = position(declaration, Text::fromBytes("="), 1);
  if (equalsSign < 1) return parts;
  parts.hasEqualsSign = true;
  parts.picture = textlower(texttrim(textleft(declaration, equalsSign - 1)));
  parts.text = texttrim(textfrom(declaration, equalsSign + 1));
  return parts;
}

// An empty caption is left out (the picture's name stands in for it); a
// second one for the same picture replaces the first.
void declareCaption(AuthorWords& declared, const Text& declaration) {
  CaptionParts parts = captionParts(declaration);
  if (parts.text.empty()) return;
  if (parts.text.size() > kMaxCaptionLength) parts.text.Elements.resize(kMaxCaptionLength);
  auto& captions = declared.captions;
  auto same = std::find_if(captions.begin(), captions.end(),
                           [&parts](const auto& known) { return known.first == parts.picture; });
  if (same != captions.end()) {
    same->second = std::move(parts.text);
  } else {
    captions.emplace_back(std::move(parts.picture), std::move(parts.text));
  }
}

void guess(GameState& game) {
  std::vector<Text> names;
  for (int item = 1; item < game.ItemSlots; ++item) {
    if (!game.ItemNames[item].empty()) names.push_back(textlower(game.ItemNames[item]));
  }
  Text meant = VelmoratGuessCommand(game.LastInput, game.ComparedSinceInput, names, game.Words);
  VelmoratRememberGuess(
      game, game.LastInput, meant,
      VelmoratUnknownWord(game.LastInput, game.ComparedSinceInput, names, game.Words));
  game.Condition = !meant.empty();
  if (!game.Condition) return;
  logLine("WORDS GUESS: '" + textforlog(meant) + "'");  // authors see what was guessed
  VelmoratPrintMessage(concat({latin1("Meintest Du »"), meant, latin1("«?")}));
}

bool keysOneLetterApart(const Text& a, const Text& b, const AuthorWords& words) {
  return VelmoratOneLetterApart(VelmoratComparisonKey(a, words), VelmoratComparisonKey(b, words));
}

}  // namespace

Text VelmoratWordsBeforeSynonyms(const Text& command, const AuthorWords& words) {
  return words.normaliseBlanks ? collapseBlanks(command) : command;
}

// Fillers go first, so that one rule serves "nimm münzen" and "nimm die münzen".
Text VelmoratWordsAfterSynonyms(const Text& command, const AuthorWords& words) {
  Text result = words.fillers.empty() ? command : dropFillers(command, words.fillers);
  for (const auto& [from, to] : words.rewrites) rewrite(result, from, to);
  return result;
}

Text VelmoratComparisonKey(const Text& text, const AuthorWords& words) {
  Text upper = textupper(text);
  if (!words.foldUmlauts) return upper;
  Text folded;
  folded.Elements.reserve(upper.size() + upper.size() / 4);
  for (std::uint8_t byte : upper.Elements) {
    switch (byte) {
      case 0xC4:  // Ä
        folded.Elements.insert(folded.Elements.end(), {'A', 'E'});
        break;
      case 0xD6:  // Ö
        folded.Elements.insert(folded.Elements.end(), {'O', 'E'});
        break;
      case 0xDC:  // Ü
        folded.Elements.insert(folded.Elements.end(), {'U', 'E'});
        break;
      default:
        folded.Elements.push_back(byte);
    }
  }
  return folded;
}

void VelmoratRememberCompared(GameState& game, const Text& compared) {
  if (game.ComparedSinceInput.size() < kMaxRemembered) game.ComparedSinceInput.push_back(compared);
}

std::string VelmoratWordsFault(const Text& line, bool& isDeclaration) {
  Text r = argumentsAfter(line, 5);
  isDeclaration = !equals(r, "GUESS");
  if (equals(r, "BLANKS") || equals(r, "FOLD") || equals(r, "GUESS") || equals(r, "COMMANDS") ||
      startsWith(r, "HELP")) {
    return {};
  }
  if (startsWith(r, "QUIET")) {
    const Text number = argumentsAfter(r, 5);
    const bool digits =
        !number.empty() && std::all_of(number.Elements.begin(), number.Elements.end(),
                                       [](std::uint8_t c) { return c >= '0' && c <= '9'; });
    return digits ? "" : "*** WORDS QUIET fehlt die Nummer eines Flags.";
  }
  if (startsWith(r, "FILLER")) {
    return collapseBlanks(argumentsAfter(r, 6)).empty() ? "*** WORDS FILLER fehlt ein Wort." : "";
  }
  if (startsWith(r, "CAPTION")) {
    CaptionParts parts = captionParts(argumentsAfter(r, 7));
    if (!parts.hasEqualsSign) return "*** WORDS CAPTION fehlt '='.";
    if (parts.picture.empty()) return "*** WORDS CAPTION fehlt das Bild vor '='.";
    return {};
  }
  if (startsWith(r, "REWRITE")) {
    Text rule = argumentsAfter(r, 7);
    int equalsSign = position(rule, Text::fromBytes("="), 1);
    if (equalsSign < 1) return "*** WORDS REWRITE fehlt '='.";
    if (texttrim(textleft(rule, equalsSign - 1)).empty()) {
      return "*** WORDS REWRITE fehlt das Wort vor '='.";
    }
    return {};
  }
  return "*** WORDS '" + textforlog(r) + "' ist unbekannt.";
}

void VelmoratRunWords(GameState& game, const Text& line) {
  bool isDeclaration = false;
  if (std::string fault = VelmoratWordsFault(line, isDeclaration); !fault.empty()) {
    VelmoratScriptFailure(game, latin1(fault));
    return;
  }
  Text r = argumentsAfter(line, 5);
  if (equals(r, "BLANKS")) {
    game.Words.normaliseBlanks = true;
  } else if (equals(r, "FOLD")) {
    game.Words.foldUmlauts = true;
  } else if (equals(r, "COMMANDS")) {
    game.Words.commands = true;
  } else if (startsWith(r, "QUIET")) {
    game.Words.quietFlag = adventure::scriptNumber(argumentsAfter(r, 5));
  } else if (equals(r, "GUESS")) {
    guess(game);
  } else if (startsWith(r, "HELP")) {
    declareHelpLine(game.Words, textfrom(r, 6));
  } else if (startsWith(r, "FILLER")) {
    declareFillers(game.Words, argumentsAfter(r, 6));
  } else if (startsWith(r, "REWRITE")) {
    declareRewrite(game.Words, argumentsAfter(r, 7));
  } else if (startsWith(r, "CAPTION")) {
    declareCaption(game.Words, argumentsAfter(r, 7));
  }
}

std::string VelmoratCaptionFault(const Text& line) {
  Text r = argumentsAfter(line, 5);
  if (!startsWith(r, "CAPTION")) return {};
  CaptionParts parts = captionParts(argumentsAfter(r, 7));
  if (!parts.hasEqualsSign || parts.picture.empty()) return {};
  const std::string picture = textforlog(parts.picture);
  if (parts.text.empty()) return "the caption of picture '" + picture + "' is empty";
  if (parts.text.size() > kMaxCaptionLength) {
    return "the caption of picture '" + picture + "' is longer than " +
           std::to_string(kMaxCaptionLength) + " characters and will be cut";
  }
  return {};
}

Text VelmoratPictureCaption(const AuthorWords& words, const Text& picture) {
  const Text name = textlower(texttrim(picture));
  for (const auto& [known, caption] : words.captions) {
    if (known == name) return caption;
  }
  return {};
}

bool VelmoratOneLetterApart(const Text& a, const Text& b) {
  const auto& x = a.size() >= b.size() ? a.Elements : b.Elements;  // the longer
  const auto& y = a.size() >= b.size() ? b.Elements : a.Elements;
  if (x.size() - y.size() > 1) return false;
  std::size_t first = 0;
  while (first < y.size() && x[first] == y[first]) ++first;
  if (x.size() != y.size()) {  // one letter more in x
    return std::equal(x.begin() + first + 1, x.end(), y.begin() + first);
  }
  if (first == x.size()) return false;  // equal
  if (std::equal(x.begin() + first + 1, x.end(), y.begin() + first + 1)) return true;
  return first + 1 < x.size() && x[first] == y[first + 1] && x[first + 1] == y[first] &&
         std::equal(x.begin() + first + 2, x.end(), y.begin() + first + 2);
}

Text VelmoratGuessCommand(const Text& command, const std::vector<Text>& compared,
                          const std::vector<Text>& itemNames, const AuthorWords& words) {
  if (command.size() >= kShortestGuessedCommand) {
    for (const Text& text : compared) {
      if (keysOneLetterApart(command, text, words)) return textlower(text);
    }
  }
  const KnownWords known(compared, itemNames, words);
  std::vector<Text> typed = splitWords(command);
  for (Text& word : typed) {
    // A word the game knows is meant as typed: "lese" is not a slip of "lesen".
    if (word.size() < kShortestGuessedWord || known.knows(word)) continue;
    const Text typedWord = word;
    for (const Text& candidate : known.words) {
      if (candidate.size() < kShortestGuessedWord ||
          !keysOneLetterApart(typedWord, candidate, words)) {
        continue;
      }
      word = candidate;
      Text meant = joinWords(typed);
      if (known.understands(meant)) return meant;
    }
    word = typedWord;
  }
  return {};
}

std::size_t VelmoratUnknownWord(const Text& command, const std::vector<Text>& compared,
                                const std::vector<Text>& itemNames, const AuthorWords& words) {
  const KnownWords known(compared, itemNames, words);
  const std::vector<Text> typed = splitWords(command);
  for (std::size_t index = 0; index < typed.size(); ++index) {
    if (!typed[index].empty() && !known.knows(typed[index])) return index;
  }
  return std::string::npos;
}
