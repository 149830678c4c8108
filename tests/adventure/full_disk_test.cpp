// Saving, the autosave and the transcript on a full disk (a file size limit
// of a few bytes) and in a read-only folder: each failure is one German line,
// the game goes on, and no half-written or temporary file is left. Each case
// runs in a process of its own (a death test), where the limit or the lost
// write permission cannot touch the other tests' files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "EngineHarness.h"
#include "adventure/MenuTags.h"
#include "adventure/Progress.h"
#include "host/fake/FakeHost.h"
#include "toolbox/windows/Menus.h"

namespace {

namespace fs = std::filesystem;
using testing_engine::GameRun;
using testing_engine::TestBundle;

constexpr const char* kHall =
    "TITLE Halle\n"
    "?Du stehst in einer Halle.\n"
    "LABEL frage\n"
    "INPUT\n"
    "COMPARE licht\n"
    "IF EQUAL licht\n"
    "?Wie bitte?\n"
    "GOTO frage\n"
    "LABEL licht\n"
    "?Es wird hell.\n"
    "GOTO frage\n"
    "@END\n";
constexpr const char* kEarlierSave = "der frühere Spielstand";
constexpr const char* kEarlierState = "der frühere letzte Stand";
constexpr uid_t kNobody = 65534;

std::string readFile(const fs::path& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t found = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++found;
  return found;
}

// Plays with every write failing; returns what went wrong, empty when all held.
std::string playWhileWritesFail(const fs::path& folder, const std::function<void()>& breakWrites) {
  TestBundle bundle("full_disk");
  bundle.addScript(0, testing_engine::kSmallWorld);
  bundle.addScript(1, kHall);
  const fs::path state = folder / "state";
  fs::create_directories(state / "velmorat");
  std::ofstream(state / "velmorat" / "Letzter Stand.velmorat") << kEarlierState;
  std::ofstream(folder / "alt.velmorat") << kEarlierSave;
  ::setenv("XDG_STATE_HOME", state.c_str(), 1);
  breakWrites();

  GameRun run(bundle);
  auto& desktop = static_cast<host::FakeHost&>(host::current());
  auto choose = [&](int tag) {
    desktop.savePanelAnswer = (folder / "alt.velmorat").string();
    return run.screenAfter([tag] {
      t_MenuEventHandler(MenuSender{true, "Ablage", "", "", 0, tag});
    });
  };
  run.type("nimm lampe\r");
  run.type("nimm münze\r");
  choose(kMenuSaveGame);
  choose(kMenuSaveTranscript);
  run.type("licht\r");
  const std::string screen = run.screen();
  std::string fault;
  for (const char* line :
       {"Der letzte Stand kann nicht gesichert werden.",
        "Spielstand nicht gesichert: alt.velmorat kann nicht geschrieben werden.",
        "Protokoll nicht gesichert: alt.velmorat kann nicht geschrieben werden.",
        "Es wird hell."}) {
    if (count(screen, line) != 1) fault += std::string("not once on the screen: ") + line + "\n";
  }
  if (readFile(folder / "alt.velmorat") != kEarlierSave) fault += "the earlier save changed\n";
  if (readFile(state / "velmorat" / "Letzter Stand.velmorat") != kEarlierState)
    fault += "the earlier last state changed\n";
  for (const fs::path& place : {folder, state / "velmorat"}) {
    for (const auto& entry : fs::directory_iterator(place)) {
      if (entry.path().extension() == ".tmp") fault += "left: " + entry.path().string() + "\n";
    }
  }
  run.type("entferne lampe\r");
  return fault + (fault.empty() ? "" : screen);
}

class FullDisk : public testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The same folder in the test's process and in the child that plays.
    folder_ = fs::temp_directory_path() /
              ("full_disk_test_" +
               std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    for (const fs::path& place : {folder_, folder_ / "state", folder_ / "state" / "velmorat"}) {
      std::error_code missing;
      fs::permissions(place, fs::perms::owner_all, missing);
    }
    fs::remove_all(folder_);
  }
  // Runs the play in a fresh process and exits with its verdict; standard
  // error must match errors.
  void expectGameGoesOn(const std::function<void()>& breakWrites, const char* errors = "") {
    EXPECT_EXIT(
        {
          const std::string fault = playWhileWritesFail(folder_, breakWrites);
          std::fputs(fault.c_str(), stderr);
          std::_Exit(fault.empty() ? 0 : 1);
        },
        testing::ExitedWithCode(0), errors);
  }
  fs::path folder_;
};

TEST_F(FullDisk, EveryWriteFailsWithOneLineAndTheGameGoesOn) {
  expectGameGoesOn(
      [] {
        ::signal(SIGXFSZ, SIG_IGN);
        // Fewer bytes than any save, transcript or the log of a start: every
        // write stops short, as on a full disk. Standard error (a file here)
        // keeps room for its one line.
        rlimit limit{128, 128};
        ::setrlimit(RLIMIT_FSIZE, &limit);
      },
      "Velmorat: Das Diagnoseprotokoll kann nicht geschrieben werden \\(File too large\\)\\.");
}

TEST_F(FullDisk, AReadOnlyFolderFailsTheSameWay) {
  expectGameGoesOn([this] {
    for (const fs::path& place : {folder_, folder_ / "state", folder_ / "state" / "velmorat"})
      ::chmod(place.c_str(), 0555);
    // Permissions do not bind the superuser: the play then runs as nobody.
    if (::geteuid() == 0 && ::setuid(kNobody) != 0) std::_Exit(2);
  });
}

}  // namespace
