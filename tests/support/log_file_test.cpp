#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/Log.h"
#include "support/LogFile.h"

namespace {
std::string contents(const std::filesystem::path& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    had_ = std::getenv(name) != nullptr;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (had_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};
}  // namespace

TEST(LogFile, OnlyAPlayersRunInATerminalWritesTheFile) {
  EXPECT_EQ(chooseLogDestination(false, false, true), LogDestination::File);
  EXPECT_EQ(chooseLogDestination(true, false, true), LogDestination::StandardOutput);
  EXPECT_EQ(chooseLogDestination(false, true, true), LogDestination::StandardOutput);
  // A pipe or a file: scripts and tests read the log there.
  EXPECT_EQ(chooseLogDestination(false, false, false), LogDestination::StandardOutput);
}

TEST(LogFile, FolderFollowsXdgStateHomeElseHome) {
  ScopedVariable home("HOME", "/home/spieler");
  {
    ScopedVariable state("XDG_STATE_HOME", "/var/state");
    EXPECT_EQ(logFolder(), "/var/state/velmorat");
  }
  {
    // A relative XDG_STATE_HOME is invalid and ignored.
    ScopedVariable state("XDG_STATE_HOME", "relativ");
    EXPECT_EQ(logFolder(), "/home/spieler/.local/state/velmorat");
  }
  ScopedVariable state("XDG_STATE_HOME", nullptr);
  EXPECT_EQ(logFolder(), "/home/spieler/.local/state/velmorat");
}

TEST(LogFile, KeepsTheLastFiveRunsAndWritesWholeLines) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("velmorat-log-test-" + std::to_string(getpid()));
  std::filesystem::remove_all(folder);
  // The folder is made as deep as needed.
  const std::filesystem::path state = folder / "state" / "velmorat";
  for (int run = 1; run <= 7; ++run) {
    ASSERT_EQ(startLogFile(state.string()), "");
    logLine("run " + std::to_string(run));
  }
  logToStandardOutput();
  EXPECT_EQ(contents(state / "velmorat.log"), "run 7\n");
  EXPECT_EQ(contents(state / "velmorat.log.1"), "run 6\n");
  EXPECT_EQ(contents(state / "velmorat.log.4"), "run 3\n");
  EXPECT_FALSE(std::filesystem::exists(state / "velmorat.log.5"));
  // Back on the standard output, the file gets no more lines.
  testing::internal::CaptureStdout();
  logLine("later");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "later\n");
  EXPECT_EQ(contents(state / "velmorat.log"), "run 7\n");
  std::filesystem::remove_all(folder);
}

TEST(LogFile, UnwritableFolderIsAReasonNotACrash) {
  EXPECT_NE(startLogFile("/proc/velmorat-cannot-be-here"), "");
  EXPECT_NE(startLogFile(""), "");
  testing::internal::CaptureStdout();
  logLine("still here");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "still here\n");
}
