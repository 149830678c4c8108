#include "adventure/SaveGame.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "adventure/GameInfo.h"
#include "adventure/TableLimits.h"
#include "support/Log.h"
#include "support/Utf8.h"
#include "support/qbtools.h"

namespace {

constexpr std::string_view kMagic = "Velmorat-Spielstand ";
constexpr std::string_view kCheckKey = "check ";
constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;
constexpr int kHashDigits = 16;
constexpr char kEscape = '\\';

std::uint64_t fnv1a(std::uint64_t hash, std::string_view bytes) {
  for (unsigned char byte : bytes) hash = (hash ^ byte) * kFnvPrime;
  return hash;
}

std::string hex64(std::uint64_t value) {
  std::string digits(kHashDigits, '0');
  for (int index = kHashDigits - 1; index >= 0; --index, value >>= 4) {
    digits[static_cast<std::size_t>(index)] = "0123456789abcdef"[value & 0xF];
  }
  return digits;
}

bool isDataFileName(const std::string& name) {
  constexpr std::string_view prefix = "DATA";
  constexpr std::string_view suffix = ".word";
  if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
      !name.ends_with(suffix)) {
    return false;
  }
  return std::all_of(name.begin() + prefix.size(), name.end() - suffix.size(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

// --- Texts -----------------------------------------------------------------
// Texts are the engine's Latin-1 bytes, written as UTF-8 so that a person can
// read them; control bytes, DEL and the backslash are written "\xHH".

std::string escaped(const Text& text) {
  std::string line;
  for (std::uint8_t byte : text.Elements) {
    if (byte < 0x20 || byte == 0x7F || byte == kEscape) {
      line += "\\x" + hexbyte(byte);
    } else {
      appendUtf8(line, byte);
    }
  }
  return line;
}

std::optional<Text> unescaped(std::string_view line) {
  if (!isValidUtf8(line)) return std::nullopt;
  const std::u32string scalars = utf8ToScalars(line);
  Text text;
  for (std::size_t index = 0; index < scalars.size(); ++index) {
    char32_t scalar = scalars[index];
    if (scalar == static_cast<char32_t>(kEscape)) {
      if (index + 3 >= scalars.size() || scalars[index + 1] != U'x') return std::nullopt;
      const char32_t high = scalars[index + 2];
      const char32_t low = scalars[index + 3];
      if (high > 0xFF || low > 0xFF || hexvalues[high] < 0 || hexvalues[low] < 0) {
        return std::nullopt;
      }
      scalar = static_cast<char32_t>(hexvalues[high] * 16 + hexvalues[low]);
      index += 3;
    } else if (scalar < 0x20 || scalar > 0xFF) {
      return std::nullopt;
    }
    text.Elements.push_back(static_cast<std::uint8_t>(scalar));
  }
  return text;
}

// --- Writing -----------------------------------------------------------------

void addLine(std::string& out, std::string_view key, const std::string& value) {
  out.append(key);
  out += ' ';
  out += value;
  out += '\n';
}

template <typename Numbers>
std::string numbers(const Numbers& values) {
  std::string joined;
  for (long long value : values) {
    if (!joined.empty()) joined += ' ';
    joined += std::to_string(value);
  }
  return joined;
}

std::string numbers(std::initializer_list<long long> values) {
  return numbers<std::initializer_list<long long>>(values);
}

// --- Reading -------------------------------------------------------------------

// A refusal found while reading; the first one ends the reading.
struct Refused {
  SaveRefusal refusal;
  std::string detail;
};

// The lines of the body (between the version line and the check line), read
// in order with the line number for the log.
class LineReader {
 public:
  explicit LineReader(std::vector<std::string_view> lines) : lines_(std::move(lines)) {}
  bool atEnd() const { return next_ >= lines_.size(); }
  // The key of the next line without taking it.
  std::string_view peekKey() const {
    std::string_view line = lines_[next_];
    return line.substr(0, line.find(' '));
  }
  // The value of the next line, which must have this key.
  std::string_view take(std::string_view key) {
    if (atEnd()) throw Refused{SaveRefusal::Damaged, "line \"" + std::string(key) + "\" missing"};
    std::string_view line = lines_[next_];
    if (line.size() <= key.size() || !line.starts_with(key) || line[key.size()] != ' ') {
      throw Refused{SaveRefusal::Damaged, where() + ": \"" + std::string(key) + "\" expected"};
    }
    ++next_;
    return line.substr(key.size() + 1);
  }
  // The line number (from 1, the version line) of the line last taken or next.
  std::string where() const { return "line " + std::to_string(next_ + 2); }

 private:
  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
};

int number(std::string_view text, const std::string& where) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error == std::errc::result_out_of_range) {
    throw Refused{SaveRefusal::OutOfRange, where + ": number beyond the engine's range"};
  }
  if (error != std::errc() || stop != end || text.empty() || text.front() == '+') {
    throw Refused{SaveRefusal::Damaged, where + ": \"" + std::string(text) + "\" is no number"};
  }
  return value;
}

std::vector<int> numbers(std::string_view text, const std::string& where) {
  std::vector<int> values;
  while (!text.empty()) {
    const std::size_t blank = text.find(' ');
    values.push_back(number(text.substr(0, blank), where));
    text = blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
    if (blank != std::string_view::npos && text.empty()) {
      throw Refused{SaveRefusal::Damaged, where + ": blank at the end"};
    }
  }
  return values;
}

std::vector<int> exactly(std::size_t count, std::string_view text, const std::string& where) {
  std::vector<int> values = numbers(text, where);
  if (values.size() != count) {
    throw Refused{SaveRefusal::Damaged, where + ": " + std::to_string(count) + " numbers expected"};
  }
  return values;
}

int within(int value, int lowest, int highest, const std::string& where) {
  if (value < lowest || value > highest) {
    throw Refused{SaveRefusal::OutOfRange, where + ": " + std::to_string(value) + " outside " +
                                               std::to_string(lowest) + ".." +
                                               std::to_string(highest)};
  }
  return value;
}

Text text(std::string_view value, const std::string& where) {
  std::optional<Text> decoded = unescaped(value);
  if (!decoded) throw Refused{SaveRefusal::Damaged, where + ": broken text"};
  return *decoded;
}

bool flag(std::string_view value, const std::string& where) {
  if (value != "0" && value != "1")
    throw Refused{SaveRefusal::Damaged, where + ": 0 or 1 expected"};
  return value == "1";
}

// The lines of bytes; false when the bytes do not end with a line feed.
bool splitLines(std::string_view bytes, std::vector<std::string_view>& lines) {
  if (bytes.empty() || bytes.back() != '\n') return false;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find('\n', start);
    lines.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return true;
}

// The words the game declared in scene 0, which a loaded game does not run.
void readWords(LineReader& reader, AuthorWords& words) {
  const std::string_view switches = reader.take("words");  // "BLANKS FOLD", each 0 or 1
  if (switches.size() != 3 || switches[1] != ' ') {
    throw Refused{SaveRefusal::Damaged, reader.where() + ": two switches expected"};
  }
  words.normaliseBlanks = flag(switches.substr(0, 1), reader.where());
  words.foldUmlauts = flag(switches.substr(2, 1), reader.where());
  while (!reader.atEnd() && reader.peekKey() == "filler") {
    words.fillers.push_back(text(reader.take("filler"), reader.where()));
  }
  while (!reader.atEnd() && reader.peekKey() == "rewrite") {
    Text from = text(reader.take("rewrite"), reader.where());
    words.rewrites.emplace_back(std::move(from), text(reader.take("into"), reader.where()));
  }
  while (!reader.atEnd() && reader.peekKey() == "help") {
    words.helpLines.push_back(text(reader.take("help"), reader.where()));
  }
  // Written only by games that declare them, so older saves read as before.
  if (!reader.atEnd() && reader.peekKey() == "commands") {
    words.commands = flag(reader.take("commands"), reader.where());
  }
  if (!reader.atEnd() && reader.peekKey() == "quiet") {
    words.quietFlag =
        within(number(reader.take("quiet"), reader.where()), 0, INT32_MAX, reader.where());
  }
  while (!reader.atEnd() && reader.peekKey() == "caption") {
    Text picture = text(reader.take("caption"), reader.where());
    Text caption = text(reader.take("shows"), reader.where());
    // As the declaration would have cut it; a save must not bring more.
    if (caption.size() > kMaxCaptionLength) caption.Elements.resize(kMaxCaptionLength);
    words.captions.emplace_back(std::move(picture), std::move(caption));
  }
}

void writeWords(std::string& out, const AuthorWords& words) {
  addLine(out, "words", numbers({words.normaliseBlanks, words.foldUmlauts}));
  for (const Text& filler : words.fillers) addLine(out, "filler", escaped(filler));
  for (const auto& [from, to] : words.rewrites) {
    addLine(out, "rewrite", escaped(from));
    addLine(out, "into", escaped(to));
  }
  for (const Text& line : words.helpLines) addLine(out, "help", escaped(line));
  if (words.commands) addLine(out, "commands", numbers({1}));
  if (words.quietFlag >= 0) addLine(out, "quiet", numbers({words.quietFlag}));
  for (const auto& [picture, caption] : words.captions) {
    addLine(out, "caption", escaped(picture));
    addLine(out, "shows", escaped(caption));
  }
}

// The saved game moved into the current tables: every entry must have its
// place there; the current scripts' item names replace the saved ones.
void fitIntoTables(GameState& game, const GameState& tables) {
  const int flagCount = static_cast<int>(tables.Flags.size());
  auto fits = [](bool inside, const std::string& what) {
    if (!inside) throw Refused{SaveRefusal::OutOfRange, what + " outside the current tables"};
  };
  fits(game.CurrentScene < tables.SceneCount, "scene " + std::to_string(game.CurrentScene));
  GameState fitted = game;
  fitted.SceneCount = tables.SceneCount;
  fitted.ItemSlots = tables.ItemSlots;
  fitted.ItemNames = tables.ItemNames;
  fitted.Inventory.assign(static_cast<std::size_t>(tables.ItemSlots), 0);
  fitted.SceneItems.assign(static_cast<std::size_t>(tables.ItemSlots) * tables.SceneCount, 0);
  fitted.Flags.assign(tables.Flags.size(), false);
  for (int item = 1; item < game.ItemSlots; ++item) {
    const std::size_t slot = static_cast<std::size_t>(item);
    if (item >= tables.ItemSlots) {
      bool used = !game.ItemNames[slot].empty() || game.inventoryCount(item) != 0;
      for (int scene = 0; scene < game.SceneCount; ++scene)
        used = used || game.sceneItemCount(scene, item) != 0;
      fits(!used, "item " + std::to_string(item));
      continue;
    }
    if (fitted.ItemNames[slot].empty()) fitted.ItemNames[slot] = game.ItemNames[slot];
    fitted.Inventory[slot] = game.Inventory[slot];
    for (int scene = 0; scene < game.SceneCount; ++scene) {
      const int count = game.sceneItemCount(scene, item);
      if (count == 0) continue;
      fits(scene < tables.SceneCount, "scene " + std::to_string(scene));
      fitted.setSceneItemCount(scene, item, count);
    }
  }
  for (std::size_t flag = 0; flag < game.Flags.size(); ++flag) {
    if (!game.Flags[flag]) continue;
    fits(static_cast<int>(flag) < flagCount, "flag " + std::to_string(flag));
    fitted.Flags[flag] = true;
  }
  game = std::move(fitted);
}

void readBody(LineReader& reader, GameState& game) {
  game.CurrentScene =
      within(number(reader.take("scene"), reader.where()), 0, INT32_MAX, reader.where());
  const std::vector<int> exits = exactly(kExitDirections, reader.take("exits"), reader.where());
  std::copy(exits.begin(), exits.end(), game.Exits.begin());
  game.TraceOn = flag(reader.take("trace"), reader.where());
  game.Condition = flag(reader.take("condition"), reader.where());
  game.SceneTitle = text(reader.take("title"), reader.where());
  game.SceneExits = text(reader.take("exit-text"), reader.where());
  game.LastInput = text(reader.take("last-input"), reader.where());

  const std::vector<int> tables = exactly(3, reader.take("tables"), reader.where());
  const std::string tablesLine = reader.where();
  game.SceneCount = within(tables[0], 0, adventure::kMaxScenes, tablesLine);
  game.ItemSlots = within(tables[1], 0, adventure::kMaxItems + 1, tablesLine);
  const int flagCount = within(tables[2], 0, adventure::kMaxFlags + 1, tablesLine);
  game.ItemNames.assign(static_cast<std::size_t>(game.ItemSlots), Text());
  game.Inventory.assign(static_cast<std::size_t>(game.ItemSlots), 0);
  game.SceneItems.assign(static_cast<std::size_t>(game.ItemSlots) * game.SceneCount, 0);
  game.Flags.assign(static_cast<std::size_t>(flagCount), false);

  // Only what differs from a fresh table is written, each entry once: an
  // empty name, a count of 0 or a second line for an entry is a damaged file.
  auto fresh = [&](bool isFresh, bool isEmpty) {
    if (!isFresh || isEmpty) {
      throw Refused{SaveRefusal::Damaged, reader.where() + ": entry empty or given twice"};
    }
  };
  const int lastItem = game.ItemSlots - 1;
  while (!reader.atEnd() && reader.peekKey() == "name") {
    const std::string_view value = reader.take("name");
    const std::size_t blank = value.find(' ');
    if (blank == std::string_view::npos) {
      throw Refused{SaveRefusal::Damaged, reader.where() + ": name without item"};
    }
    const int item =
        within(number(value.substr(0, blank), reader.where()), 1, lastItem, reader.where());
    Text& name = game.ItemNames[static_cast<std::size_t>(item)];
    const Text given = text(value.substr(blank + 1), reader.where());
    fresh(name.empty(), given.empty());
    name = given;
  }
  while (!reader.atEnd() && reader.peekKey() == "carried") {
    const std::vector<int> entry = exactly(2, reader.take("carried"), reader.where());
    const int item = within(entry[0], 1, lastItem, reader.where());
    fresh(game.inventoryCount(item) == 0, entry[1] == 0);
    game.Inventory[static_cast<std::size_t>(item)] = entry[1];
  }
  while (!reader.atEnd() && reader.peekKey() == "lying") {
    const std::vector<int> entry = exactly(3, reader.take("lying"), reader.where());
    const int scene = within(entry[0], 0, game.SceneCount - 1, reader.where());
    const int item = within(entry[1], 1, lastItem, reader.where());
    fresh(game.sceneItemCount(scene, item) == 0, entry[2] == 0);
    game.setSceneItemCount(scene, item, entry[2]);
  }
  int previous = -1;
  for (int set : numbers(reader.take("flags"), reader.where())) {
    within(set, 0, flagCount - 1, reader.where());
    if (set <= previous) throw Refused{SaveRefusal::Damaged, reader.where() + ": flags unordered"};
    game.Flags[static_cast<std::size_t>(set)] = true;
    previous = set;
  }
  readWords(reader, game.Words);
  if (!reader.atEnd()) throw Refused{SaveRefusal::Damaged, reader.where() + ": unknown line"};
}

}  // namespace

std::string VelmoratDataIdentity(const std::string& dataFolder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dataFolder, error)) {
    const std::string name = entry.path().filename().string();
    if (isDataFileName(name)) names.push_back(name);
  }
  if (error) logLine("VelmoratDataIdentity: " + dataFolder + ": " + error.message());
  std::sort(names.begin(), names.end());
  std::uint64_t hash = kFnvOffset;
  for (const std::string& name : names) {
    const std::vector<std::uint8_t> bytes = getbinaryfromfile(dataFolder + name);
    hash = fnv1a(hash, name);
    hash = fnv1a(hash, std::string_view("\0", 1));
    hash = fnv1a(hash, std::to_string(bytes.size()));
    hash = fnv1a(hash, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  return hex64(hash);
}

std::string VelmoratEncodeSave(const GameState& game, const SaveIdentity& identity) {
  std::string out = std::string(kMagic) + std::to_string(kSaveFormatVersion) + "\n";
  if (!identity.gameId.empty()) {
    addLine(out, "game", identity.gameId);
    addLine(out, "version", identity.version);
  }
  addLine(out, "data", identity.data);
  addLine(out, "scene", std::to_string(game.CurrentScene));
  addLine(out, "exits", numbers(game.Exits));
  addLine(out, "trace", game.TraceOn ? "1" : "0");
  addLine(out, "condition", game.Condition ? "1" : "0");
  addLine(out, "title", escaped(game.SceneTitle));
  addLine(out, "exit-text", escaped(game.SceneExits));
  addLine(out, "last-input", escaped(game.LastInput));
  addLine(out, "tables",
          numbers({game.SceneCount, game.ItemSlots, static_cast<long long>(game.Flags.size())}));
  for (int item = 1; item < game.ItemSlots; ++item) {
    if (game.isItem(item) && !game.ItemNames[static_cast<std::size_t>(item)].empty()) {
      addLine(out, "name",
              std::to_string(item) + " " + escaped(game.ItemNames[static_cast<std::size_t>(item)]));
    }
  }
  for (int item = 1; item < game.ItemSlots; ++item) {
    if (game.inventoryCount(item) != 0) {
      addLine(out, "carried", numbers({item, game.inventoryCount(item)}));
    }
  }
  for (int scene = 0; scene < game.SceneCount; ++scene) {
    for (int item = 1; item < game.ItemSlots; ++item) {
      const int count = game.sceneItemCount(scene, item);
      if (count != 0) addLine(out, "lying", numbers({scene, item, count}));
    }
  }
  std::string setFlags;
  for (std::size_t index = 0; index < game.Flags.size(); ++index) {
    if (game.Flags[index]) setFlags += (setFlags.empty() ? "" : " ") + std::to_string(index);
  }
  addLine(out, "flags", setFlags);
  writeWords(out, game.Words);
  addLine(out, "check", hex64(fnv1a(kFnvOffset, out)));
  return out;
}

DecodedSave VelmoratDecodeSave(std::string_view bytes, const SaveIdentity& current,
                               const GameState* currentTables) {
  DecodedSave decoded;
  try {
    if (bytes.size() > kMaxSaveBytes) {
      throw Refused{SaveRefusal::Unreadable, std::to_string(bytes.size()) + " bytes"};
    }
    if (!bytes.starts_with(kMagic)) throw Refused{SaveRefusal::NotASave, "no save header"};
    std::vector<std::string_view> lines;
    if (!splitLines(bytes, lines)) throw Refused{SaveRefusal::Damaged, "cut off"};
    const std::string_view version = lines.front().substr(kMagic.size());
    const bool firstVersion = version == "1";
    if (!firstVersion && version != std::to_string(kSaveFormatVersion)) {
      int later = 0;
      auto [end, error] = std::from_chars(version.data(), version.data() + version.size(), later);
      const bool newer = error == std::errc() && end == version.data() + version.size() &&
                         later > kSaveFormatVersion;
      throw Refused{newer ? SaveRefusal::NewerVersion : SaveRefusal::NotASave,
                    "format " + std::string(version)};
    }
    const std::string_view last = lines.back();
    const std::size_t checked = bytes.size() - last.size() - 1;
    if (lines.size() < 2 || !last.starts_with(kCheckKey) ||
        last.substr(kCheckKey.size()) != hex64(fnv1a(kFnvOffset, bytes.substr(0, checked)))) {
      throw Refused{SaveRefusal::Damaged, "check sum differs or is missing"};
    }
    LineReader reader(std::vector<std::string_view>(lines.begin() + 1, lines.end() - 1));
    std::string savedGame, savedVersion;
    if (!firstVersion && !reader.atEnd() && reader.peekKey() == "game") {
      savedGame = std::string(reader.take("game"));
      savedVersion = std::string(reader.take("version"));
      if (!adventure::isReverseDomainName(savedGame) || !adventure::isVersionNumber(savedVersion))
        throw Refused{SaveRefusal::Damaged, reader.where() + ": broken game or version"};
    }
    const bool sameData = reader.take("data") == current.data;
    if (!sameData &&
        (savedGame.empty() || savedGame != current.gameId || currentTables == nullptr)) {
      throw Refused{SaveRefusal::OtherData, "saved for other data files"};
    }
    readBody(reader, decoded.game);
    if (!sameData) {
      fitIntoTables(decoded.game, *currentTables);
      decoded.fromVersion = savedVersion;
    }
  } catch (const Refused& refused) {
    decoded.refusal = refused.refusal;
    decoded.detail = refused.detail;
    decoded.game = GameState();
    decoded.fromVersion.clear();
  }
  return decoded;
}

const char* VelmoratRefusalReason(SaveRefusal refusal) {
  switch (refusal) {
    case SaveRefusal::None:
      return "";
    case SaveRefusal::Unreadable:
      return "kann nicht gelesen werden";
    case SaveRefusal::NotASave:
      return "ist kein Spielstand von Velmorat";
    case SaveRefusal::NewerVersion:
      return "stammt aus einer neueren Fassung von Velmorat";
    case SaveRefusal::Damaged:
      return "ist beschädigt oder unvollständig";
    case SaveRefusal::OtherData:
      return "gehört zu anderen Spieldaten";
    case SaveRefusal::OutOfRange:
      return "enthält Zahlen außerhalb der Spieltabellen";
  }
  return "";
}
