// A game's identity and metadata: the file game.ini beside the scripts of a
// game project, copied into the bundle's resources. A small INI file:
//
//   # comments start with # or ;
//   [game]                       (optional; no other section)
//   title = Der Leuchtturm
//   id = de.example.leuchtturm   (reverse domain name: names the state folder,
//                                 the package and the desktop entry)
//   version = 1.2                (numbers and dots)
//   author = Erika Muster
//   licence = CC-BY-4.0
//   language = de
//   description = ...            (optional)
//   homepage = https://...       (optional)
//
// The reader is a plain function over the file's bytes, so that a broken or
// hostile file gives a list of faults (file, line, field) and never more.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace adventure {

// The file's name inside a game project and inside a bundle's resources.
inline constexpr const char* kGameInfoFileName = "game.ini";
// A real game.ini is a few hundred bytes; a larger file is refused unread.
inline constexpr std::size_t kMaxGameInfoBytes = 64 * 1024;
inline constexpr std::size_t kMaxGameInfoValueBytes = 2000;

struct GameInfo {
  std::string title;
  std::string id;
  std::string version;
  std::string author;
  std::string licence;
  std::string language;
  std::string description;  // optional
  std::string homepage;     // optional
};

struct GameInfoReading {
  GameInfo info;
  // "FILE:LINE: field 'id': ..." or "FILE: field 'author' missing"; empty
  // when the file is sound.
  std::vector<std::string> faults;
};

GameInfoReading parseGameInfo(std::string_view bytes, const std::string& fileName);
// Reads and parses the file; a missing or oversized file is one fault.
GameInfoReading readGameInfo(const std::string& path);

// The id of the engine's own game, whose state folder keeps its old name
// "velmorat" so that its players keep their saves.
inline constexpr const char* kEngineGameId = "de.velmorat.Velmorat";
// The name of the game's folder in the user's state folder: its id.
std::string stateFolderNameOf(const GameInfo& info);

// "de.example.spiel": two or more dot-separated labels of letters, digits,
// "-" and "_", each starting with a letter.
bool isReverseDomainName(std::string_view id);
// "1", "1.2", "0.10.3": numbers separated by single dots.
bool isVersionNumber(std::string_view version);

}  // namespace adventure
