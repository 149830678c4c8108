// The save format: what is written comes back, and every kind of bad file is
// refused with its reason, however it was damaged.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "adventure/SaveGame.h"
#include "adventure/TextBuild.h"

namespace {

constexpr const char* kIdentity = "0123456789abcdef";

// A game in the middle of play, with the texts and numbers that a careless
// format would break: umlauts, a backslash, control bytes, negative counts,
// exits beyond the scenes, the last flag and the last scene entry.
GameState playedGame() {
  GameState game;
  game.CurrentScene = 7;
  game.Exits[ExitForward] = 3;
  game.Exits[ExitBackward] = -1;
  game.Exits[ExitLeft] = 2147483647;
  game.Exits[ExitRight] = -7;
  game.Exits[ExitUp] = 0;
  game.Exits[ExitDown] = 14;
  game.TraceOn = true;
  game.Condition = true;
  game.SceneTitle = adventure::latin1("Gruft \\ Grab");
  game.SceneExits = Text({'v', 0x01, 0x7F, 'h'});
  game.LastInput = adventure::latin1("öffne tür");
  game.SceneCount = 15;
  game.ItemSlots = 15;
  game.ItemNames.assign(15, Text());
  game.ItemNames[1] = adventure::latin1("Brief");
  game.ItemNames[3] = adventure::latin1("Münze");
  game.ItemNames[14] = adventure::latin1("Sternkarte");
  game.Inventory.assign(15, 0);
  game.Inventory[3] = 2;
  game.Inventory[5] = -1;
  game.SceneItems.assign(15 * 15, 0);
  game.setSceneItemCount(0, 1, 1);
  game.setSceneItemCount(14, 14, 3);
  game.Flags.assign(44, false);
  game.Flags[0] = true;
  game.Flags[23] = true;
  game.Flags[43] = true;
  game.Words.foldUmlauts = true;
  game.Words.fillers = {adventure::latin1("bitte"), adventure::latin1("doch")};
  game.Words.rewrites = {{adventure::latin1("mach auf"), adventure::latin1("öffne")},
                         {adventure::latin1("x = y"), Text()}};
  game.Words.helpLines = {Text(), adventure::latin1("zünde = Licht machen")};
  game.Words.commands = true;
  game.Words.quietFlag = 7;
  game.Words.captions = {{adventure::latin1("tor"), adventure::latin1("Ein Tor = offen")}};
  return game;
}

std::uint64_t fnv1a(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
  return hash;
}

// body (from the version line on) with a check line that fits it, so that the
// content, not the check sum, decides.
std::string withCheck(const std::string& body) {
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(fnv1a(body)));
  return body + "check " + digits + "\n";
}

// The save of playedGame with one line replaced (found by its start).
std::string changedSave(const std::string& lineStart, const std::string& replacement) {
  std::string save = VelmoratEncodeSave(playedGame(), kIdentity);
  std::string body = save.substr(0, save.rfind("check "));
  const std::size_t at = body.find("\n" + lineStart) + 1;
  const std::size_t end = body.find('\n', at);
  body.replace(at, end - at, replacement);
  return withCheck(body);
}

SaveRefusal refusalOf(const std::string& bytes) {
  return VelmoratDecodeSave(bytes, kIdentity).refusal;
}

TEST(SaveGame, WhatIsWrittenComesBackAndWritesTheSameBytes) {
  const std::string save = VelmoratEncodeSave(playedGame(), kIdentity);
  DecodedSave decoded = VelmoratDecodeSave(save, kIdentity);
  ASSERT_EQ(decoded.refusal, SaveRefusal::None) << decoded.detail;
  const GameState& game = decoded.game;
  const GameState original = playedGame();
  EXPECT_EQ(game.CurrentScene, 7);
  EXPECT_EQ(game.Exits[ExitLeft], 2147483647);
  EXPECT_EQ(game.Exits[ExitRight], -7);
  EXPECT_TRUE(game.TraceOn && game.Condition);
  EXPECT_EQ(game.SceneTitle, original.SceneTitle);
  EXPECT_EQ(game.SceneExits, original.SceneExits);
  EXPECT_EQ(game.LastInput, original.LastInput);
  EXPECT_EQ(game.ItemNames, original.ItemNames);
  EXPECT_EQ(game.Inventory, original.Inventory);
  EXPECT_EQ(game.SceneItems, original.SceneItems);
  EXPECT_EQ(game.Flags, original.Flags);
  // The words of scene 0, which a game loaded at start-up never runs.
  EXPECT_EQ(game.Words.normaliseBlanks, false);
  EXPECT_EQ(game.Words.foldUmlauts, true);
  EXPECT_EQ(game.Words.fillers, original.Words.fillers);
  EXPECT_EQ(game.Words.rewrites, original.Words.rewrites);
  EXPECT_EQ(game.Words.helpLines, original.Words.helpLines);
  EXPECT_TRUE(game.Words.commands);
  EXPECT_EQ(game.Words.quietFlag, 7);
  EXPECT_EQ(game.Words.captions, original.Words.captions);
  EXPECT_EQ(VelmoratEncodeSave(game, kIdentity), save);
  // Readable by a person: the texts stand as UTF-8, the odd bytes escaped.
  EXPECT_NE(save.find("\nname 3 Münze\n"), std::string::npos);
  EXPECT_NE(save.find("\ntitle Gruft \\x5C Grab\n"), std::string::npos);
  EXPECT_NE(save.find("\nexit-text v\\x01\\x7Fh\n"), std::string::npos);
  EXPECT_NE(save.find("\nflags 0 23 43\n"), std::string::npos);
}

// A patch of the game (other scripts, same id) keeps its players' saves when
// every entry fits the new tables; another game's save stays refused, and a
// save of the first format still loads into the same scripts.
TEST(SaveGame, LoadsSavesOfOtherVersionsOfTheSameGame) {
  const SaveIdentity version1("aaaaaaaaaaaaaaaa", "de.example.spiel", "1.0");
  const SaveIdentity version2("bbbbbbbbbbbbbbbb", "de.example.spiel", "1.1");
  const std::string save = VelmoratEncodeSave(playedGame(), version1);
  EXPECT_NE(save.find("\ngame de.example.spiel\nversion 1.0\ndata aaaa"), std::string::npos);
  GameState larger;  // the new version: one item more, the key renamed
  larger.SceneCount = 16;
  larger.ItemSlots = 16;
  larger.ItemNames.assign(16, Text());
  larger.ItemNames[3] = adventure::latin1("Goldmünze");
  larger.ItemNames[15] = adventure::latin1("Fernglas");
  larger.Flags.assign(50, false);
  DecodedSave decoded = VelmoratDecodeSave(save, version2, &larger);
  ASSERT_EQ(decoded.refusal, SaveRefusal::None) << decoded.detail;
  EXPECT_EQ(decoded.fromVersion, "1.0");
  EXPECT_EQ(decoded.game.ItemSlots, 16);
  EXPECT_EQ(decoded.game.ItemNames[1], adventure::latin1("Brief"));
  EXPECT_EQ(decoded.game.ItemNames[3], adventure::latin1("Goldmünze"));
  EXPECT_EQ(decoded.game.ItemNames[15], adventure::latin1("Fernglas"));
  EXPECT_EQ(decoded.game.inventoryCount(3), 2);
  EXPECT_EQ(decoded.game.sceneItemCount(14, 14), 3);
  EXPECT_TRUE(decoded.game.Flags[43] && !decoded.game.Flags[44]);
  // The same scripts: no version note, the saved tables as they were.
  EXPECT_EQ(VelmoratDecodeSave(save, version1, &larger).fromVersion, "");

  GameState fewerFlags = larger;
  fewerFlags.Flags.assign(40, false);  // flag 43 is set
  EXPECT_EQ(VelmoratDecodeSave(save, version2, &fewerFlags).refusal, SaveRefusal::OutOfRange);
  EXPECT_EQ(VelmoratDecodeSave(save, version2).refusal, SaveRefusal::OtherData);
  EXPECT_EQ(VelmoratDecodeSave(save, SaveIdentity("bbbbbbbbbbbbbbbb", "de.example.anderes", "1.0"),
                               &larger)
                .refusal,
            SaveRefusal::OtherData);
  const std::string hostile = changedSave("data", "data x")
                                  .replace(changedSave("data", "data x").find("data x"), 0,
                                           "game de.x.y\nversion 1\x1B[2J\n");
  EXPECT_NE(
      VelmoratDecodeSave(withCheck(hostile.substr(0, hostile.rfind("check "))), version2, &larger)
          .refusal,
      SaveRefusal::None);

  // The first format: no game line; it loads into the scripts it was made of.
  std::string first = VelmoratEncodeSave(playedGame(), kIdentity);
  first = withCheck("Velmorat-Spielstand 1" +
                    first.substr(first.find('\n'), first.rfind("check ") - first.find('\n')));
  EXPECT_EQ(VelmoratDecodeSave(first, kIdentity).refusal, SaveRefusal::None);
  EXPECT_EQ(VelmoratDecodeSave(first, version2, &larger).refusal, SaveRefusal::OtherData);
}

TEST(SaveGame, AGameBeforeAnyDimensionComesBackEmpty) {
  GameState fresh;
  const std::string save = VelmoratEncodeSave(fresh, kIdentity);
  DecodedSave decoded = VelmoratDecodeSave(save, kIdentity);
  ASSERT_EQ(decoded.refusal, SaveRefusal::None) << decoded.detail;
  EXPECT_EQ(decoded.game.ItemSlots, 0);
  EXPECT_TRUE(decoded.game.Flags.empty());
  EXPECT_EQ(VelmoratEncodeSave(decoded.game, kIdentity), save);
}

TEST(SaveGame, RefusesCutAndChangedFilesAsDamaged) {
  const std::string save = VelmoratEncodeSave(playedGame(), kIdentity);
  // Every cut of the file, also one inside the check line, is refused.
  for (std::size_t length = 0; length < save.size(); ++length) {
    const SaveRefusal refusal = refusalOf(save.substr(0, length));
    EXPECT_TRUE(refusal == SaveRefusal::Damaged || refusal == SaveRefusal::NotASave) << length;
  }
  std::string flipped = save;
  flipped[save.find("carried 3 2") + 10] = '3';  // one more coin
  EXPECT_EQ(refusalOf(flipped), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(save + "x\n"), SaveRefusal::Damaged);  // bytes after the check line
}

TEST(SaveGame, RefusesBrokenLinesEvenWithAFittingCheckSum) {
  EXPECT_EQ(refusalOf(changedSave("trace", "trace 2")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("exits", "exits 1 2 3")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("scene", "scene sieben")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("scene", "scene +7")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("title", "title \\x4")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("title", "title \xC3(")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("title", "titel x")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("title", "title \xE2\x82\xAC")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("carried 3", "carried 3 2\ncarried 3 5")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("carried 3", "carried 3 0")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("name 3", "name 3 ")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("flags", "flags 23 0")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("flags", "flags 0 0")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("flags", "flags 0 23 ")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("flags", "flags 0\nspeed 9")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("words", "words 0 2")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("words", "words 01")), SaveRefusal::Damaged);
  EXPECT_EQ(refusalOf(changedSave("into \xC3\xB6", "onto öffne")), SaveRefusal::Damaged);
}

TEST(SaveGame, RefusesNumbersOutsideTheTablesAndTheEngine) {
  for (const auto& [line, replacement] : std::vector<std::pair<std::string, std::string>>{
           {"scene", "scene -1"},
           {"scene", "scene 99999999999"},
           {"exits", "exits 0 0 0 0 0 4294967296"},
           {"tables", "tables 1001 15 44"},
           {"tables", "tables 15 1001 44"},
           {"tables", "tables 15 15 10001"},
           {"tables", "tables 15 15 -1"},
           {"name 14", "name 15 Komet"},
           {"name 1 ", "name 0 Nichts"},
           {"carried 3", "carried 15 1"},
           {"lying 14", "lying 15 1 1"},
           {"lying 0", "lying 0 0 1"},
           {"flags", "flags 0 44"},
       }) {
    EXPECT_EQ(refusalOf(changedSave(line, replacement)), SaveRefusal::OutOfRange) << replacement;
  }
  // A table far larger than the file describes is refused before it is made.
  EXPECT_EQ(refusalOf(changedSave("tables", "tables 2147483647 2147483647 2147483647")),
            SaveRefusal::OutOfRange);
}

TEST(SaveGame, TellsForeignNewerAndOtherGamesApart) {
  const std::string save = VelmoratEncodeSave(playedGame(), kIdentity);
  EXPECT_EQ(VelmoratDecodeSave(save, "fedcba9876543210").refusal, SaveRefusal::OtherData);
  EXPECT_EQ(refusalOf("Velmorat-Spielstand 3\ndata x\ncheck 0\n"), SaveRefusal::NewerVersion);
  EXPECT_EQ(refusalOf("Velmorat-Spielstand 0\n"), SaveRefusal::NotASave);
  EXPECT_EQ(refusalOf("%PDF-1.4\n"), SaveRefusal::NotASave);
  EXPECT_EQ(refusalOf(""), SaveRefusal::NotASave);
  EXPECT_EQ(refusalOf(std::string(kMaxSaveBytes + 1, 'x')), SaveRefusal::Unreadable);
  for (SaveRefusal refusal :
       {SaveRefusal::Unreadable, SaveRefusal::NotASave, SaveRefusal::NewerVersion,
        SaveRefusal::Damaged, SaveRefusal::OtherData, SaveRefusal::OutOfRange}) {
    EXPECT_STRNE(VelmoratRefusalReason(refusal), "");
  }
}

// Random bytes, also behind a valid header, never pass and never crash.
TEST(SaveGame, RandomBytesAreRefused) {
  std::mt19937 random(20261207);
  const std::string save = VelmoratEncodeSave(playedGame(), kIdentity);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 300, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    if (round % 2 == 1) bytes = save.substr(0, random() % save.size()) + bytes;
    EXPECT_NE(refusalOf(bytes), SaveRefusal::None) << round;
  }
}

}  // namespace
