#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "adventure/GameInfo.h"
#include "support/LineDiff.h"
#include "tools/ChildProcess.h"
#include "tools/SourceWatch.h"
#include "tools/TranscriptTest.h"

namespace {

constexpr const char* kSoundIni =
    "# a comment\n[game]\ntitle = Die Truhe\nid = de.example.truhe\nversion = 1.2\n"
    "author = Erika\nlicence = CC-BY-4.0\nlanguage = de\n";

TEST(GameInfo, ReadsEveryFieldOfASoundFile) {
  const adventure::GameInfoReading reading =
      adventure::parseGameInfo(std::string(kSoundIni) + "homepage = https://x.de/\n", "game.ini");
  ASSERT_TRUE(reading.faults.empty()) << reading.faults.front();
  EXPECT_EQ(reading.info.title, "Die Truhe");
  EXPECT_EQ(reading.info.id, "de.example.truhe");
  EXPECT_EQ(reading.info.version, "1.2");
  EXPECT_EQ(reading.info.homepage, "https://x.de/");
  EXPECT_EQ(reading.info.description, "");
}

TEST(GameInfo, NamesFileLineAndFieldOfEachFault) {
  const struct {
    const char* appended;
    const char* fault;
  } cases[] = {
      {"id = truhe\n", "game.ini:4: field 'id' 'truhe' is no reverse domain name"},
      {"version = 1..2\n", "game.ini:4: field 'version' '1..2' is not numbers and dots"},
      {"colour = rot\n", "game.ini:4: unknown field 'colour'"},
      {"title\n", "game.ini:4: no \"field = value\" line"},
      {"[extra]\n", "game.ini:4: unknown section [extra]"},
      {"author =\n", "game.ini:4: field 'author' is empty"},
      {"title = B\n", "game.ini:4: field 'title' given twice"},
  };
  for (const auto& [appended, fault] : cases) {
    // The line's fault comes first, the missing fields after it.
    const adventure::GameInfoReading reading = adventure::parseGameInfo(
        std::string("title = T\nlicence = L\nlanguage = de\n") + appended, "game.ini");
    ASSERT_FALSE(reading.faults.empty()) << appended;
    EXPECT_EQ(reading.faults.front().substr(0, std::string(fault).size()), fault) << appended;
  }
  const adventure::GameInfoReading missing = adventure::parseGameInfo("title = X\n", "g.ini");
  EXPECT_EQ(missing.faults.size(), 5u);
  EXPECT_EQ(missing.faults.front(), "g.ini: field 'id' missing");
  EXPECT_FALSE(adventure::parseGameInfo(std::string(70000, 'x'), "g.ini").faults.empty());
}

TEST(GameInfo, IdsAndVersions) {
  for (const char* id : {"de.example.spiel", "org.x-y.Game_2", "a.b"}) {
    EXPECT_TRUE(adventure::isReverseDomainName(id)) << id;
  }
  for (const char* id : {"", "spiel", "de..spiel", ".de.spiel", "de.spiel.", "de.2spiel",
                         "de.sp iel", "de/spiel.x"}) {
    EXPECT_FALSE(adventure::isReverseDomainName(id)) << id;
  }
  for (const char* version : {"1", "0.10.3", "2026.12"}) {
    EXPECT_TRUE(adventure::isVersionNumber(version)) << version;
  }
  for (const char* version : {"", "1.", ".1", "1..2", "1.2b", "-1", "1 2"}) {
    EXPECT_FALSE(adventure::isVersionNumber(version)) << version;
  }
  adventure::GameInfo info;
  info.id = "de.example.truhe";
  EXPECT_EQ(adventure::stateFolderNameOf(info), "de.example.truhe");
  info.id = adventure::kEngineGameId;
  EXPECT_EQ(adventure::stateFolderNameOf(info), "velmorat");
}

TEST(LineDiff, HunksCarryTheirRangesAndContext) {
  EXPECT_EQ(linediff::unifiedDiff("a\nb\n", "a\nb\n", "x", "y"), "");
  // A line feed missing at the end (an editor's doing) is no difference.
  EXPECT_EQ(linediff::unifiedDiff("a\nb", "a\nb\n", "x", "y"), "");
  // One line changed among ten: three lines of context on each side.
  EXPECT_EQ(linediff::unifiedDiff("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n",
                                  "1\n2\n3\n4\n5\nsechs\n7\n8\n9\n10\n", "x", "y"),
            "--- x\n+++ y\n@@ -3,7 +3,7 @@\n 3\n 4\n 5\n-6\n+sechs\n 7\n 8\n 9\n");
  // A line added in front of an empty text: the empty side's range is 0,0.
  EXPECT_EQ(linediff::unifiedDiff("", "neu\n", "x", "y"), "--- x\n+++ y\n@@ -0,0 +1,1 @@\n+neu\n");
  // Changes far apart are two hunks.
  const std::string diff = linediff::unifiedDiff("a\n1\n2\n3\n4\n5\n6\n7\n8\nb\n",
                                                 "A\n1\n2\n3\n4\n5\n6\n7\n8\nB\n", "x", "y");
  EXPECT_EQ(diff.find("@@ -1,4 +1,4 @@"), diff.find("@@"));
  EXPECT_NE(diff.find("@@ -7,4 +7,4 @@"), std::string::npos);
}

TEST(LineDiff, TooLongAMiddleIsOneReplacedBlock) {
  std::string from, to;
  for (std::size_t line = 0; line <= linediff::kMaxComparedLines; ++line) {
    from += "a" + std::to_string(line) + "\n";
    to += "b" + std::to_string(line) + "\n";
  }
  const std::string diff = linediff::unifiedDiff(from, to, "x", "y");
  EXPECT_NE(diff.find("@@ -1,2001 +1,2001 @@"), std::string::npos);
}

TEST(TranscriptTest, EndsAtLooksAfterTheLastPrompt) {
  const std::string transcript =
      ">>> Befehl ? v\nDu hast gewonnen.\n>>> Befehl ? n\nDu hast verloren.\nNoch einmal?\n";
  EXPECT_TRUE(transcripttest::endsAt(transcript, "Du hast verloren."));
  EXPECT_FALSE(transcripttest::endsAt(transcript, "Du hast gewonnen."));
  EXPECT_FALSE(transcripttest::endsAt(transcript, "Befehl ? n"));
  EXPECT_EQ(transcripttest::readNotes("v\n# ends:  Du hast gewonnen. \nn\n").ends,
            "Du hast gewonnen.");
  EXPECT_EQ(transcripttest::readNotes("v\n#ends: nein\n").ends, "");
}

TEST(TranscriptTest, JunitXmlEscapesAndCountsFailures) {
  transcripttest::TestResult passed{"walk", {}, {}, 0.5};
  transcripttest::TestResult failed{"lose<1>", {"a \"***\" & more"}, "-x\x01\n", 1};
  const std::string xml = transcripttest::junitXml("de.x", {passed, failed});
  EXPECT_NE(xml.find("tests=\"2\" failures=\"1\""), std::string::npos);
  EXPECT_NE(xml.find("name=\"lose&lt;1&gt;\""), std::string::npos);
  EXPECT_NE(xml.find("message=\"a &quot;***&quot; &amp; more\""), std::string::npos);
  EXPECT_EQ(xml.find('\x01'), std::string::npos);
}

// A save of a script or a picture ends the watch; editor files, the README
// and the build's output alone do not, so the watch ends with the game.
TEST(SourceWatch, OnlySavedSourcesCount) {
  namespace fs = std::filesystem;
  const fs::path project = fs::path(testing::TempDir()) / "watched project";
  fs::remove_all(project);
  for (const char* folder : {"scripts", "pictures", "build"})
    fs::create_directories(project / folder);
  const auto save = [&](const fs::path& file) { std::ofstream(project / file) << "text\n"; };
  for (const char* saved : {"scripts/DATA001.txt", "pictures/halle.svg", "game.ini"}) {
    sourcewatch::SourceWatch watch(project.string());
    ASSERT_TRUE(watch.ok());
    for (const char* ignored :
         {"scripts/.DATA001.txt.swp", "scripts/DATA001.txt~", "README.md", "build/DATA001.word"})
      save(ignored);
    toolprocess::Child game({"sleep", "0.4"}, {});
    EXPECT_EQ(watch.wait(game.pid()), sourcewatch::WatchEvent::ProgramEnded) << saved;
    game.wait();
    save(saved);
    EXPECT_EQ(watch.wait(-1), sourcewatch::WatchEvent::SourcesChanged) << saved;
  }
}

}  // namespace
