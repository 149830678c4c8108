// The saved game ("Spielstand"): a small text file that holds what makes a
// game (the scene, what is carried and where things lie, the flags, the
// exits, the trace switch, the status line's texts and the last command) and
// the identity of the data folder it belongs to. The README's author section
// documents the format line by line; the encoder and the decoder here are its
// only readers and writers.
//
// A decoded save is checked completely before anything uses it: a damaged,
// truncated, hostile or foreign file is refused with a reason and changes
// nothing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "adventure/GameState.h"

// Version 2 names the game (its id and version from game.ini) before the data
// folder's identity; version 1 files, which only have the identity, still load.
inline constexpr int kSaveFormatVersion = 2;
// The file type of saves (the panels' filter, the proposed name's extension).
inline constexpr const char* kSaveFileType = "velmorat";
// A save of the largest tables a script may dimension stays far below this.
inline constexpr std::size_t kMaxSaveBytes = std::size_t{64} << 20;

// What identifies the data folder's scripts: FNV-1a (64 bits) over the name,
// length and bytes of every DATAnnn.word file, in the order of their names,
// written as 16 lower-case hexadecimal digits. A changed script gives another
// identity. Reads the files; logs and leaves out those it cannot read.
std::string VelmoratDataIdentity(const std::string& dataFolder);

// Which game and which scripts a save belongs to. A game without game.ini has
// no id: its saves load only into the same scripts.
struct SaveIdentity {
  SaveIdentity(std::string dataIdentity = {}, std::string id = {}, std::string gameVersion = {})
      : data(std::move(dataIdentity)), gameId(std::move(id)), version(std::move(gameVersion)) {}
  SaveIdentity(const char* dataIdentity) : data(dataIdentity) {}
  std::string data;     // VelmoratDataIdentity of the scripts
  std::string gameId;   // game.ini's id
  std::string version;  // game.ini's version
};

// The save of game's progress: only what the format holds (the data file's
// lines, the picture and the fonts are the session's, not the game's).
std::string VelmoratEncodeSave(const GameState& game, const SaveIdentity& identity);

enum class SaveRefusal {
  None,
  Unreadable,    // missing, a folder, too large
  NotASave,      // no save of this game at all
  NewerVersion,  // a later format
  Damaged,       // changed or cut bytes, broken lines
  OtherData,     // a save of other scripts
  OutOfRange,    // numbers outside the tables or the limits of the engine
};

struct DecodedSave {
  SaveRefusal refusal = SaveRefusal::None;
  std::string detail;  // for the log: where and what
  // The saved progress (valid when refusal is None); the session's parts
  // (data folder, script lines, picture, fonts) are empty.
  GameState game;
  // The game version a save of other scripts of the same game was made with
  // ("1.0"); empty for a save of these very scripts.
  std::string fromVersion;
};

// A save of these scripts loads as it was written. A save of the same game id
// from other scripts (another version) loads when every number in it fits
// currentTables, the tables that the current scripts' first scene makes
// (sizes, and the item names, which the current scripts' win); it then gets
// those tables' sizes and names. Without currentTables such a save is refused.
DecodedSave VelmoratDecodeSave(std::string_view bytes, const SaveIdentity& current,
                               const GameState* currentTables = nullptr);

// Why a save is refused, for the one line the player reads after the file's
// name: "ist beschädigt oder unvollständig".
const char* VelmoratRefusalReason(SaveRefusal refusal);
