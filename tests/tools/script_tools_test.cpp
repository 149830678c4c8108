// The authoring side of data files: packing UTF-8 sources, unpacking them,
// and the checker's report on a data folder with one fault of each kind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "adventure/DataFile.h"
#include "adventure/ScriptAuthoring.h"
#include "support/qbtools.h"
#include "toolbox/graphics/Lzw.h"

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::UnorderedElementsAre;

namespace {

TEST(PackScript, StoresLatin1AndUnpacksToTheSameSource) {
  const std::string source = "?Grüße aus der Höhle\nREM ß und Ä\n@END\n";
  adventure::PackedScript packed = adventure::packScriptSource(source, "a.txt");
  ASSERT_THAT(packed.errors, IsEmpty());
  EXPECT_THAT(packed.warnings, IsEmpty());
  std::vector<std::uint8_t> text = lzw::unpackStoredBlock(packed.stored);
  EXPECT_EQ(std::string(text.begin(), text.end()),
            "?Gr\xFC\xDF"
            "e aus der H\xF6hle\nREM \xDF und \xC4\n@END\n");
  EXPECT_EQ(adventure::unpackScript(packed.stored), source);
  EXPECT_THAT(VelmoratScriptLinesFromText(Text(text)),
              ElementsAre(stringtotext("?Grüße aus der Höhle"), stringtotext("REM ß und Ä")));
}

TEST(PackScript, NamesFileAndLineOfCharactersOutsideLatin1) {
  adventure::PackedScript packed =
      adventure::packScriptSource("?eins\n?zwei kostet 5 €\n?drei \xFF\n@END\n", "b.txt");
  EXPECT_THAT(packed.errors,
              ElementsAre("b.txt:2: character U+20AC is not Latin-1", "b.txt:3: broken UTF-8"));
  EXPECT_THAT(packed.stored, IsEmpty());
}

TEST(PackScript, WarnsWithoutEndMarkButStillPacks) {
  adventure::PackedScript packed = adventure::packScriptSource("?eins\n", "c.txt");
  EXPECT_THAT(packed.errors, IsEmpty());
  ASSERT_EQ(packed.warnings.size(), 1u);
  EXPECT_THAT(packed.warnings[0], HasSubstr("c.txt"));
  EXPECT_FALSE(packed.stored.empty());
  EXPECT_THAT(adventure::packScriptSource("?eins\n@END\n\n  \n", "d.txt").warnings, IsEmpty());
}

TEST(UnpackScript, GivesNothingForABrokenBlock) {
  EXPECT_EQ(adventure::unpackScript({}), "");
  EXPECT_EQ(adventure::unpackScript({0}), "");
}

// The tools read data files within the game's bound: a 21 KB block whose
// 12,000 codes decode to 72 MB is refused, not written out.
TEST(UnpackScript, RefusesWhatTheGameWouldRefuse) {
  std::vector<LzwCode> chain{'x'};
  for (LzwCode code = 256; code < 256 + 12'000; ++code) chain.push_back(code);
  std::vector<std::uint8_t> bomb{14};
  const std::vector<std::uint8_t> packed = codestobits(chain, 14);
  bomb.insert(bomb.end(), packed.begin(), packed.end());
  testing::internal::CaptureStdout();
  EXPECT_EQ(adventure::unpackScript(bomb), "");
  EXPECT_THAT(testing::internal::GetCapturedStdout(), HasSubstr("is larger than 67108864 bytes"));
}

class CheckScript : public testing::Test {
 protected:
  CheckScript() {
    folder_ =
        std::filesystem::temp_directory_path() / ("velmorat-check-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~CheckScript() override { std::filesystem::remove_all(folder_); }

  void write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(folder_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  void script(int scene, const std::string& source) {
    write(VelmoratDataFileName(scene), adventure::packScriptSource(source, "x").stored);
  }
  std::vector<std::string> check() { return adventure::checkScriptFolder(folder_.string()); }

  std::filesystem::path folder_;
};

TEST_F(CheckScript, ReportsEveryKindOfFaultWithFileAndLine) {
  script(0,
         "DIMENSION FLAGS 3\n"
         "DEFINE ITEM 1 NAME Lampe\n"
         "FORWARD 1\n"
         "LEFT 4\n"
         "GOTO SCENE 7\n"
         "GOTO nirgends\n"
         "IF EQUAL auch nicht\n"
         "USE halle\n"
         "USE fehlt\n"
         "ADD INVENTORY Besen\n"
         "ADD INVENTORY lampe\n"
         "SET FLAG 3\n"
         "COMPARE FLAG 4\n"
         "DRAW \n"
         "DEFINE SCENE 1 ITEM Eimer COUNT 2\n"
         "@END\n");
  script(1, "?Zweite Szene\nAVAILABLE INVENTORY Schlüssel\nCLEAR FLAG -1\nBACKWARD -1\n@END\n");
  write("DATA002.word", {9});
  write("halle.gr", {1, 2, 3});
  EXPECT_THAT(check(), UnorderedElementsAre(
                           "DATA000.word:4: an exit names scene 4, but DATA004.word is missing",
                           "DATA000.word:5: GOTO SCENE names scene 7, but DATA007.word is missing",
                           "DATA000.word:6: jump to missing label 'nirgends'",
                           "DATA000.word:7: jump to missing label 'auch nicht'",
                           "DATA000.word:9: picture fehlt.gr is missing",
                           "DATA000.word:10: item 'Besen' is never defined (DEFINE ITEM)",
                           "DATA000.word:13: flag 4 is outside DIMENSION FLAGS (0 to 3)",
                           "DATA000.word:14: unknown statement 'DRAW '",
                           "DATA000.word:15: item 'Eimer' is never defined (DEFINE ITEM)",
                           "DATA001.word:2: item 'Schlüssel' is never defined (DEFINE ITEM)",
                           "DATA001.word:3: flag -1 is outside DIMENSION FLAGS (0 to 3)",
                           "DATA002.word: does not load (unreadable, empty or without \"@END\")"));
}

TEST_F(CheckScript, WordsDeclarationsAreCheckedAndBelongInSceneZero) {
  script(0,
         "WORDS BLANKS\nWORDS FOLD\nWORDS FILLER den\nWORDS REWRITE x = lese\nWORDS HELP x\n"
         "WORDS REWRITE lies lese\nWORDS FILLER\nWORDS SPELL\nGOTO SCENE 1\n@END\n");
  script(1, "WORDS GUESS\nWORDS FOLD\nDEFINE ITEM 1 NAME Münze\nADD INVENTORY MUENZE\n@END\n");
  EXPECT_THAT(check(),
              UnorderedElementsAre("DATA000.word:6: *** WORDS REWRITE fehlt '='.",
                                   "DATA000.word:7: *** WORDS FILLER fehlt ein Wort.",
                                   "DATA000.word:8: *** WORDS 'SPELL' ist unbekannt.",
                                   "DATA001.word:2: WORDS declarations belong in DATA000.word"))
      << "with WORDS FOLD, MUENZE names the item Münze";
}

TEST_F(CheckScript, ACleanFolderHasNothingToReport) {
  script(0,
         "DIMENSION ITEMS 1\nDEFINE ITEM 1 NAME Lampe\nLABEL a\nINPUT\nIF EQUAL a\nGOTO SCENE "
         "1\n@END\n");
  script(1, "ADD INVENTORY Lampe\nBACKWARD 0\nQUIT\n@END\n");
  EXPECT_THAT(check(), IsEmpty());
  std::filesystem::remove(folder_ / "DATA000.word");
  EXPECT_THAT(check(), testing::Contains(HasSubstr("DATA000.word is missing: no game starts")));
}

}  // namespace
