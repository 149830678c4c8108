#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "ScopedVariable.h"
#include "support/LogFile.h"
#include "support/StateFolder.h"

namespace {
std::string contents(const std::filesystem::path& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

TEST(LogFile, OnlyAPlayersRunInATerminalWritesTheFile) {
  EXPECT_EQ(chooseLogDestination(false, false, true), LogDestination::File);
  EXPECT_EQ(chooseLogDestination(true, false, true), LogDestination::StandardOutput);
  EXPECT_EQ(chooseLogDestination(false, true, true), LogDestination::StandardOutput);
  // A pipe or a file: scripts and tests read the log there.
  EXPECT_EQ(chooseLogDestination(false, false, false), LogDestination::StandardOutput);
}

TEST(LogFile, FileFollowsXdgStateHomeElseHome) {
  ScopedVariable home("HOME", "/home/spieler");
  {
    ScopedVariable state("XDG_STATE_HOME", "/var/state");
    EXPECT_EQ(stateLogFilePath(), "/var/state/velmorat/velmorat.log");
  }
  {
    // A relative XDG_STATE_HOME is invalid and ignored.
    ScopedVariable state("XDG_STATE_HOME", "relativ");
    EXPECT_EQ(stateLogFilePath(), "/home/spieler/.local/state/velmorat/velmorat.log");
  }
  ScopedVariable state("XDG_STATE_HOME", nullptr);
  EXPECT_EQ(stateLogFilePath(), "/home/spieler/.local/state/velmorat/velmorat.log");
  // Another game keeps its log (and its saves) in a folder named by its id.
  setStateFolderName("de.example.truhe");
  EXPECT_EQ(stateLogFilePath(), "/home/spieler/.local/state/de.example.truhe/velmorat.log");
  setStateFolderName("velmorat");
}

TEST(LogFile, KeepsTheLastFiveRuns) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("velmorat-log-test-" + std::to_string(getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string log = (folder / "velmorat.log").string();
  for (int run = 1; run <= 7; ++run) {
    rotateLogFiles(log);
    std::ofstream(log) << "run " << run << "\n";
  }
  EXPECT_EQ(contents(log), "run 7\n");
  EXPECT_EQ(contents(log + ".1"), "run 6\n");
  EXPECT_EQ(contents(log + ".4"), "run 3\n");
  EXPECT_FALSE(std::filesystem::exists(log + ".5"));
  // A gap (a run whose log was deleted) moves up with the rest.
  std::filesystem::remove(log + ".1");
  rotateLogFiles(log);
  EXPECT_FALSE(std::filesystem::exists(log));
  EXPECT_EQ(contents(log + ".1"), "run 7\n");
  EXPECT_FALSE(std::filesystem::exists(log + ".2"));
  EXPECT_EQ(contents(log + ".3"), "run 5\n");
  std::filesystem::remove_all(folder);
}
