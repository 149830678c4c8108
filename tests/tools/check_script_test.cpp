// check-script on data and source folders: each mistake an author makes is
// reported with its file, line and log index, as an error or a warning.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "adventure/DataFile.h"
#include "adventure/ScriptAuthoring.h"
#include "adventure/ScriptCheck.h"

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

namespace {

class CheckScript : public testing::Test {
 protected:
  CheckScript() {
    folder_ =
        std::filesystem::temp_directory_path() / ("velmorat-check-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~CheckScript() override { std::filesystem::remove_all(folder_); }

  void write(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories((folder_ / name).parent_path());
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }
  void write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    write(name, std::string(bytes.begin(), bytes.end()));
  }
  void script(int scene, const std::string& source) {
    write(VelmoratDataFileName(scene),
          adventure::packScriptSource(source, "x", {.allowMissingEnd = true}).stored);
  }
  std::vector<std::string> check() { return adventure::checkScriptFolder(folder_.string()); }

  std::filesystem::path folder_;
};

TEST_F(CheckScript, ReportsEveryKindOfFaultWithFileAndLine) {
  script(0,
         "DIMENSION FLAGS 3\n"
         "DIMENSION ITEMS 1\n"
         "DEFINE ITEM 1 NAME Lampe\n"
         "FORWARD 1\n"
         "LEFT 4\n"
         "IF EQUAL nirgends\n"
         "USE halle\n"
         "USE fehlt\n"
         "ADD INVENTORY Besen\n"
         "ADD INVENTORY lampe\n"
         "SET FLAG 3\n"
         "COMPARE FLAG 4\n"
         "DRAW \n"
         "DEFINE SCENE 1 ITEM Eimer COUNT 2\n"
         "INPUT\n"
         "GOTO SCENE 7\n"
         "@END\n");
  script(1, "?Zweite Szene\nAVAILABLE INVENTORY Schlüssel\nCLEAR FLAG -1\nBACKWARD -1\n@END\n");
  write("DATA002.word", std::string("\x09"));
  write("halle.gr", "gr");
  write("ITEM001.gr", "gr");
  EXPECT_THAT(
      check(),
      ElementsAre(
          "DATA000.word:5: error: an exit names scene 4, but its file DATA004.word is missing "
          "(#004)",
          "DATA000.word:6: error: jump to missing label 'nirgends' (#005)",
          "DATA000.word:8: error: picture fehlt.gr is missing (#007)",
          "DATA000.word:9: error: item 'Besen' is never defined (DEFINE ITEM) (#008)",
          "DATA000.word:12: error: flag 4 lies beyond DIMENSION FLAGS 3 (#011)",
          "DATA000.word:13: error: unknown statement 'DRAW ' (#012)",
          "DATA000.word:14: error: DEFINE SCENE 1 runs before DIMENSION SCENES on every path "
          "from scene 0 (#013)",
          "DATA000.word:14: error: item 'Eimer' is never defined (DEFINE ITEM) (#013)",
          "DATA000.word:16: error: GOTO SCENE names scene 7, but its file DATA007.word is missing "
          "(#015)",
          "DATA001.word:2: error: item 'Schlüssel' is never defined (DEFINE ITEM) (#001)",
          "DATA001.word:3: error: flag -1 lies outside every DIMENSION FLAGS (#002)",
          "DATA002.word: error: does not load (unreadable, empty, not an LZW block or too "
          "large)"));
}

// One mistake a case, in scene 1 after a sound scene 0; the expected finding
// without its file name ("" for a script with nothing to report).
TEST_F(CheckScript, FindsEachMistakeBeforePlay) {
  const std::string start =
      "DIMENSION SCENES 3\nDIMENSION ITEMS 1\nDIMENSION FLAGS 9\nDEFINE ITEM 1 NAME Lampe\n";
  struct Case {
    std::string sceneZero;
    std::string sceneOne;
    std::string finding;
  } cases[] = {
      {"ADD INVENTORY Lampe\n" + start + "GOTO SCENE 1\n", "QUIT\n",
       "DATA000.word:1: error: ADD INVENTORY runs before DIMENSION ITEMS on every path from "
       "scene 0 (#000)"},
      {start + "GOTO SCENE 1\n", "DEFINE SCENE 3 ITEM Lampe\nQUIT\n",
       "DATA001.word:1: error: DEFINE SCENE 3 lies beyond DIMENSION SCENES 3 (#000)"},
      {start + "DEFINE ITEM 2 NAME Buch\nGOTO SCENE 1\n", "QUIT\n",
       "DATA000.word:5: error: DEFINE ITEM 2 lies beyond DIMENSION ITEMS 1 (#004)"},
      // DIMENSION FLAGS only on one branch: a guess, so a warning.
      {"DIMENSION ITEMS 1\nDEFINE ITEM 1 NAME Lampe\nAVAILABLE INVENTORY Lampe\nIF EQUAL weiter\n"
       "DIMENSION FLAGS 9\nLABEL weiter\nGOTO SCENE 1\n",
       "SET FLAG 2\nQUIT\n",
       "DATA001.word:1: warning: flag 2 runs before DIMENSION FLAGS on some paths from scene 0 "
       "(a guess: every exit and restart is taken as possible) (#000)"},
      {start + "GOTO SCENE 1\n", "LABEL a\nSET FLAG 1\nGOTO a\n",
       "DATA001.word:1: error: endless loop: lines 1 to 3 repeat without INPUT, INKEY, QUIT or "
       "GOTO SCENE (#000)"},
      {start + "GOTO SCENE 1\n", "LABEL a\nINPUT\nLABEL a\nGOTO a\n",
       "DATA001.word:3: warning: label 'a' is defined again (first on line 1); jumps go to the "
       "first (#002)"},
      {start + "GOTO SCENE 1\n", "LABEL a\nINPUT\nGOTO a\n?vergessen\n?auch\nLABEL b\n",
       "DATA001.word:4: warning: never runs: no path from the file's first line leads here (up "
       "to line 6) (#003)"},
      {start + "GOTO SCENE 1\n", "?" + std::string(79, 'x') + "\nQUIT\n",
       "DATA001.word:1: warning: the text is 79 characters long and wraps in the text window of "
       "78 columns (#000)"},
      {start + "FORWARD 1\nLABEL e\nINPUT\nGOTO e\n", "?" + std::string(78, 'x') + "\nQUIT\n", ""},
      {start + "GOTO SCENE 1\n",
       "LABEL a\nCOMPARE FLAG 1\nIF EQUAL b\nSET FLAG 1\nGOTO a\nLABEL b\nINKEY\nGOTO a\n", ""},
      {start + "GOTO SCENE 1\n", "", "DATA001.word: warning: no GOTO SCENE or exit"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(folder_);
    script(0, c.sceneZero + "@END\n");
    if (!c.sceneOne.empty()) script(1, c.sceneOne + "@END\n");
    if (c.sceneOne.empty()) script(1, "QUIT\n@END\n"), script(0, "QUIT\n@END\n");
    write("ITEM001.gr", "gr");
    write("ITEM002.gr", "gr");
    if (c.finding.empty()) {
      EXPECT_THAT(check(), IsEmpty()) << c.sceneOne;
    } else {
      EXPECT_THAT(check(), ElementsAre(HasSubstr(c.finding))) << c.sceneOne;
    }
  }
}

// A source folder as authors keep it: UTF-8 scripts with CR LF line ends in
// scripts/, pictures as SVG in pictures/. The file line and the log's index differ.
TEST_F(CheckScript, ReadsASourceFolderWithFileLinesAndLogIndexes) {
  write("scripts/DATA000.txt",
        "\xEF\xBB\xBFREM Prolog\r\nDIMENSION ITEMS 1\r\nDEFINE ITEM 1 NAME Münze\r\nUSE tor\r\n"
        "USE fehlt\r\nQUIT\r\n@END\r\n");
  write("scripts/DATA001.txt", std::string("?a\n\xFF\xFE\x01\n"));
  write("pictures/tor.svg", "<svg/>");
  write("pictures/ITEM001.svg", "<svg/>");
  EXPECT_THAT(check(),
              ElementsAre("DATA000.txt:5: error: picture fehlt.gr is missing (#008)",
                          "DATA001.txt:2: error: broken UTF-8 (the file must be UTF-8 text)"));
  std::filesystem::remove_all(folder_ / "scripts");
  EXPECT_THAT(check(), ElementsAre(HasSubstr("holds no scripts")));
}

// Files that are no scripts at all: one clear line each (and a bounded number
// for a file of a million faulty lines), never a line per line of the file.
TEST_F(CheckScript, BadInputGivesOneClearLine) {
  std::string million;
  for (int line = 0; line < 1'000'000; ++line) million += "nimm " + std::to_string(line) + "\n";
  const struct {
    const char* what;
    std::string sceneOne;  // scripts/DATA001.txt; none when empty
    std::vector<std::string> expected;
  } cases[] = {
      {"an empty source folder", "", {"holds no scripts"}},
      {"a picture named DATA001.txt",
       std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\n\xff\xfe", 20) + std::string(3000, '\xA7'),
       {"DATA001.txt:3: error: holds binary data (a zero byte), not UTF-8 text"}},
      {"a million lines of no statement",
       million + "@END\n",
       {"DATA001.txt:1: error: unknown statement 'nimm 0' (#000)",
        "DATA001.txt: error: 999900 more findings left out (999900 errors, 0 warnings)"}},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ / "scripts");
    if (!c.sceneOne.empty()) {
      write("scripts/DATA000.txt", "GOTO SCENE 1\n@END\n");
      write("scripts/DATA001.txt", c.sceneOne);
    }
    const adventure::ScriptCheck found = adventure::checkScripts(folder_.string());
    std::vector<std::string> lines;
    for (const adventure::ScriptFinding& finding : found.findings) lines.push_back(finding.text());
    if (c.expected.size() == 1) {
      EXPECT_THAT(lines, ElementsAre(HasSubstr(c.expected[0]))) << c.what;
    } else {
      ASSERT_EQ(lines.size(), adventure::kMaxFindingsPerFile + 1) << c.what;
      EXPECT_EQ(lines.front(), c.expected[0]);
      EXPECT_EQ(lines.back(), c.expected[1]);
      EXPECT_EQ(found.errors(), 1'000'000u);
    }
  }
}

TEST_F(CheckScript, WordsDeclarationsAreCheckedAndBelongInSceneZero) {
  script(0,
         "WORDS BLANKS\nWORDS FOLD\nWORDS FILLER den\nWORDS REWRITE x = lese\nWORDS HELP x\n"
         "WORDS REWRITE lies lese\nWORDS FILLER\nWORDS SPELL\nGOTO SCENE 1\n@END\n");
  script(1,
         "WORDS GUESS\nWORDS FOLD\nDIMENSION ITEMS 1\nDEFINE ITEM 1 NAME Münze\n"
         "ADD INVENTORY MUENZE\nQUIT\n@END\n");
  write("ITEM001.gr", "gr");
  EXPECT_THAT(check(), ElementsAre("DATA000.word:6: error: *** WORDS REWRITE fehlt '='. (#005)",
                                   "DATA000.word:7: error: *** WORDS FILLER fehlt ein Wort. (#006)",
                                   "DATA000.word:8: error: *** WORDS 'SPELL' ist unbekannt. (#007)",
                                   "DATA001.word:2: warning: WORDS declarations belong in scene 0 "
                                   "(DATA000) (#001)"))
      << "with WORDS FOLD, MUENZE names the item Münze";
}

TEST_F(CheckScript, ACleanFolderHasNothingToReportAndWarningsFailOnlyWithWerror) {
  script(0,
         "DIMENSION ITEMS 1\nDEFINE ITEM 1 NAME Lampe\nLABEL a\nINPUT\nIF EQUAL a\nGOTO SCENE "
         "1\n@END\n");
  script(1, "ADD INVENTORY Lampe\nBACKWARD 0\nQUIT\n@END\n");
  write("ITEM001.gr", "gr");
  EXPECT_THAT(check(), IsEmpty());
  script(1, "ADD INVENTORY Lampe\nBACKWARD 0\nQUIT\n?nie\n@END\n");
  const std::filesystem::path tool =
      std::filesystem::path(VELMORAT_BINARY_DIR) / "tools/velmorat-tool";
  if (std::filesystem::exists(tool)) {
    auto status = [&](const std::string& options) {
      int status = std::system(
          (tool.string() + " check-script " + options + folder_.string() + " >/dev/null").c_str());
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(status(""), 0) << "a warning alone";
    EXPECT_EQ(status("--werror "), 1);
  }
  std::filesystem::remove(folder_ / "DATA000.word");
  EXPECT_THAT(check(), testing::Contains(HasSubstr("DATA000.word is missing: no game starts")));
}

}  // namespace
