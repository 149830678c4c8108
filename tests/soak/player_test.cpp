// The random player's own pieces: a failing seed is only worth its key file
// if the file types exactly the keys that were typed, and the vocabulary must
// come from what the game's scripts compare with.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "adventure/ScriptAuthoring.h"
#include "soak/RandomPlayer.h"
#include "soak/Vocabulary.h"

namespace {

using testing::Contains;
using testing::Not;

TEST(SoakKeyFile, ReadsBackAsTheKeysTyped) {
  const std::vector<ScriptKey> typed = {
      {ScriptKeyKind::Character, U'{'},  {ScriptKeyKind::Character, U'}'},
      {ScriptKeyKind::Character, U'ß'},  {ScriptKeyKind::Character, U'€'},
      {ScriptKeyKind::Return, 0},        {ScriptKeyKind::Escape, 0},
      {ScriptKeyKind::ForwardDelete, 0}, {ScriptKeyKind::PageDown, 0},
      {ScriptKeyKind::Function, 12},     {ScriptKeyKind::Control, U'^'},
      {ScriptKeyKind::Control, U'P'},    {ScriptKeyKind::Menu, 101},
      {ScriptKeyKind::Character, U' '},  {ScriptKeyKind::Return, 0}};
  const KeyScript read = parseKeyScript(soak::keyFileText(typed));
  EXPECT_EQ(read.error, "");
  EXPECT_EQ(read.keys, typed);
}

// Many moves of two seeds: the same seed plays the same game, every move
// can be written to a key file, and neither the replay question's "no" nor
// Ctrl-Q (the desktop's quit) ends the program and the seed with it.
TEST(SoakPlayer, SeedsRepeatAndEveryMoveFitsAKeyFile) {
  soak::Vocabulary words{{"nimm lampe", "v"}, {"nimm"}, {"lampe"}};
  soak::RandomPlayer first(words, 7);
  soak::RandomPlayer again(words, 7);
  std::vector<ScriptKey> all;
  for (int move = 0; move < 2000; ++move) {
    const soak::Move next = move % 10 == 0 ? first.atKeyWait(true) : first.atPrompt();
    const soak::Move repeated = move % 10 == 0 ? again.atKeyWait(true) : again.atPrompt();
    ASSERT_EQ(next.keys, repeated.keys);
    if (move % 10 == 0) {
      ASSERT_THAT(next.keys, Not(Contains(ScriptKey{ScriptKeyKind::Character, U'n'})));
    }
    all.insert(all.end(), next.keys.begin(), next.keys.end());
  }
  EXPECT_EQ(parseKeyScript(soak::keyFileText(all)).keys, all);
  EXPECT_THAT(all, Not(Contains(ScriptKey{ScriptKeyKind::Control, U'Q'})));
}

TEST(SoakVocabulary, TakesThePhrasesTheScriptsCompareWith) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("soak_vocabulary_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const adventure::PackedScript packed = adventure::packScriptSource(
      "DEFINE ITEM 1 NAME Ölkanne\n"
      "WORDS REWRITE oeffne = öffne\n"
      "EXIT vorne, links\n"
      "INPUT\n"
      "COMPARE FLAG 3\n"
      "COMPARE Öffne Die Tür\n"
      "@END\n",
      "test");
  ASSERT_TRUE(packed.errors.empty());
  std::ofstream(folder / "DATA004.word", std::ios::binary)
      .write(reinterpret_cast<const char*>(packed.stored.data()),
             static_cast<std::streamsize>(packed.stored.size()));
  const soak::Vocabulary words = soak::readVocabulary(folder.string() + "/");
  std::filesystem::remove_all(folder);
  for (const char* phrase : {"öffne die tür", "oeffne", "öffne", "vorne", "links", "hilfe"})
    EXPECT_THAT(words.phrases, Contains(phrase));
  EXPECT_THAT(words.phrases, Not(Contains("flag 3")));
  EXPECT_THAT(words.objects, Contains("ölkanne"));
  EXPECT_THAT(words.verbs, Contains("öffne"));
}

}  // namespace
