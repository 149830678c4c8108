#include "tools/ProjectTemplate.h"

#include <cstdint>

#include "tools/Png.h"

namespace projecttemplate {
namespace {

// Every "@TITLE@" and "@ID@" in text replaced.
std::string filled(std::string text, const std::string& title, const std::string& id) {
  for (const auto& [mark, value] : {std::pair<std::string, std::string>{"@TITLE@", title},
                                    std::pair<std::string, std::string>{"@ID@", id}}) {
    for (std::size_t at = text.find(mark); at != std::string::npos;
         at = text.find(mark, at + value.size())) {
      text.replace(at, mark.size(), value);
    }
  }
  return text;
}

constexpr const char* kGameIni =
    R"(# The game's identity: the window title, the state folder of its saves and
# logs, the package and the desktop entry take it from here.
title = @TITLE@
# A reverse domain name that is yours (de.meinname.spiel); it must not change
# once the game is out, or players lose their saves.
id = @ID@
version = 0.1
author = Unbekannt
licence = CC-BY-4.0
language = de
description = Ein kleines Grafik-Textadventure.
)";

constexpr const char* kPrologue =
    R"(REM DATA000 Prolog: the tables, items and words of the game, then the story
DIMENSION SCENES 3
DIMENSION ITEMS 2
DIMENSION FLAGS 10
DEFINE ITEM 1 NAME Schlüssel
DEFINE ITEM 2 NAME Kerze
DEFINE SCENE 1 ITEM Kerze
WORDS BLANKS
WORDS FOLD
WORDS FILLER der die das den dem ein eine einen
WORDS REWRITE untersuche = such
WORDS REWRITE hebe teppich hoch = such teppich
WORDS HELP Auch verstanden: hebe teppich hoch (= such teppich).
CLEAR DIRECTION
TITLE Prolog
EXIT keine
?Ein Brief Deines Onkels hat Dich in sein altes Haus gerufen:
?
?   »In der Truhe liegt, was ich Dir hinterlasse. Den Schlüssel
?    findest Du, wenn Du genau hinsiehst.«
?
?Tipp: Gib »hilfe« ein, um die Befehle zu sehen.
INKEY
GOTO SCENE 1
@END
)";

constexpr const char* kHall = R"(REM DATA001 Die Halle. Flag 1: the key was found under the carpet.
CLEAR DIRECTION
TITLE Die Halle
FORWARD 2
EXIT vorne
USE halle
DRAW
?Du stehst in einer staubigen Halle. Auf dem Boden liegt ein alter
?Teppich. Vorne führt eine Tür in eine kleine Kammer.
LABEL eingabe
INPUT
COMPARE such teppich
IF EQUAL teppich
COMPARE lese teppich
IF EQUAL teppich
?Das verstehe ich nicht.
GOTO eingabe
LABEL teppich
COMPARE FLAG 1
IF EQUAL leer
SET FLAG 1
DEFINE SCENE 1 ITEM Schlüssel
?Unter dem Teppich findest Du einen kleinen Schlüssel.
GOTO eingabe
LABEL leer
?Unter dem Teppich ist nichts mehr.
GOTO eingabe
@END
)";

constexpr const char* kChamber =
    R"(REM DATA002 Die Kammer: the chest, opened with the key, wins the game.
CLEAR DIRECTION
TITLE Die Kammer
BACKWARD 1
EXIT hinten
?Eine enge Kammer. In der Ecke steht eine schwere Truhe mit einem Schloss.
LABEL eingabe
INPUT
COMPARE öffne truhe
IF EQUAL truhe
COMPARE benutze schlüssel
IF EQUAL truhe
?Das verstehe ich nicht.
GOTO eingabe
LABEL truhe
AVAILABLE INVENTORY Schlüssel
IF EQUAL gewonnen
?Die Truhe ist verschlossen.
GOTO eingabe
LABEL gewonnen
?Der Schlüssel passt! In der Truhe liegt ein Sack voller Goldmünzen.
?
?Herzlichen Glückwunsch! Du hast @TITLE@ gewonnen.
QUIT
@END
)";

// Colours of the fixed 16-colour palette only, so that the automatic format
// choice keeps the item picture at 4 bits, where cyan is see-through.
constexpr const char* kHallPicture = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- Die Halle: a dusty hall with a carpet and a door to the chamber. Scene
     pictures are 1280 x 800; item pictures are drawn over the lower part. -->
<svg xmlns="http://www.w3.org/2000/svg" width="1280" height="800">
  <rect width="1280" height="480" fill="#804000"/>
  <rect y="480" width="1280" height="320" fill="#545454"/>
  <rect x="540" y="140" width="200" height="340" fill="#000080"/>
  <circle cx="710" cy="320" r="12" fill="#ffff00"/>
  <rect x="140" y="560" width="420" height="160" fill="#ff0000"/>
  <rect x="170" y="590" width="360" height="100" fill="#ff8080"/>
</svg>
)";

constexpr const char* kKeyPicture = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- Item 1, Schlüssel. Items are 256 x 256 with a see-through background
     (cyan, #00ffff, or transparent). -->
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" shape-rendering="crispEdges">
  <rect width="256" height="256" fill="#00ffff"/>
  <circle cx="70" cy="128" r="40" fill="#ffff00"/>
  <circle cx="70" cy="128" r="16" fill="#00ffff"/>
  <rect x="104" y="118" width="120" height="20" fill="#ffff00"/>
  <rect x="190" y="138" width="16" height="30" fill="#ffff00"/>
  <rect x="160" y="138" width="16" height="22" fill="#ffff00"/>
</svg>
)";

constexpr const char* kWalkthrough = R"(# ends: Du hast @TITLE@ gewonnen.
# One command a line, as the player types it. "Weiter..." is answered by
# itself; "n" at the end answers "noch einmal spielen?".
such teppich
nimm schlüssel
v
öffne truhe
n
)";

constexpr const char* kReadme = R"(# @TITLE@

A game for the Velmorat engine. Everything here is source; `velmorat-tool`
makes the game from it.

| Path | What it is |
|---|---|
| `game.ini` | title, id, version, author, licence, language of the game |
| `scripts/DATAnnn.txt` | scene nnn as a script (UTF-8); DATA000 is the prologue |
| `pictures/NAME.svg`, `NAME.png` | pictures: `USE NAME` shows a scene picture, `ITEMnnn` is item nnn |
| `tests/NAME.keys` | commands typed in order; `NAME.expected` is what the screen showed |

The loop:

    velmorat-tool build .          # to build/@ID@.app (only what changed)
    velmorat-tool run .            # build and play
    velmorat-tool run . --watch    # play; every saved change rebuilds and replays
    velmorat-tool run . --watch --terminal   # the same in the terminal (Esc closes the diff)
    velmorat-tool test .           # replay tests/*.keys against their transcripts
    velmorat-tool test . --bless   # accept the new transcripts after a change
    velmorat-tool export . --folder out/   # or --deb out/: a game to give away
    velmorat-tool export . --web site/     # a web site (once `make web` built the engine)

A test fails on a changed transcript, a "***" message of the engine, keys
that were left over, and on a game that does not end at the text a
`# ends: ...` line of its key file names.
)";

// Item 2, the candle, drawn pixel by pixel as the PNG route's example:
// a white candle with a yellow flame on the see-through cyan.
std::string candlePng() {
  constexpr int kSide = 256;
  std::vector<std::uint8_t> rgb(kSide * kSide * 3);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      std::uint8_t red = 0, green = 255, blue = 255;  // cyan: see-through
      const bool candle = x >= 104 && x < 152 && y >= 90 && y < 240;
      const int flameX = x - 128, flameY = y - 62;
      const bool flame = flameX * flameX * 4 + flameY * flameY < 26 * 26;
      if (candle) red = 255, green = 255, blue = 255;
      if (flame) red = 255, green = 255, blue = 0;
      std::uint8_t* pixel = &rgb[static_cast<std::size_t>((y * kSide + x) * 3)];
      pixel[0] = red, pixel[1] = green, pixel[2] = blue;
    }
  }
  const std::vector<std::uint8_t> file = png::encodeRgb(kSide, kSide, rgb);
  return std::string(file.begin(), file.end());
}

}  // namespace

std::string idForTitle(const std::string& title) {
  std::string name;
  for (char c : title) {
    if (c >= 'A' && c <= 'Z') name += static_cast<char>(c - 'A' + 'a');
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9' && !name.empty())) name += c;
  }
  return "de.example." + (name.empty() ? std::string("spiel") : name);
}

std::vector<TemplateFile> projectFiles(const std::string& title, const std::string& id) {
  return {
      {"game.ini", filled(kGameIni, title, id)},
      {"README.md", filled(kReadme, title, id)},
      {"scripts/DATA000.txt", filled(kPrologue, title, id)},
      {"scripts/DATA001.txt", filled(kHall, title, id)},
      {"scripts/DATA002.txt", filled(kChamber, title, id)},
      {"pictures/halle.svg", kHallPicture},
      {"pictures/ITEM001.svg", kKeyPicture},
      {"pictures/ITEM002.png", candlePng()},
      {"tests/walkthrough.keys", filled(kWalkthrough, title, id)},
  };
}

}  // namespace projecttemplate
