#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "graphics/LogCapture.h"
#include "host/fake/FakeHost.h"
#include "port/Panels.h"
#include "support/Clock.h"
#include "support/ThreadLaunch.h"
#include "support/ThreadName.h"
#include "support/qbtools.h"

namespace {

namespace fs = std::filesystem;

class TemporaryFolder : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("qbtools_test_" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  std::string write(const std::string& name, const std::string& contents) const {
    std::ofstream(path(name), std::ios::binary) << contents;
    return path(name);
  }

 private:
  fs::path folder_;
};

using WholeFile = TemporaryFolder;

TEST_F(WholeFile, ReadsEveryByte) {
  const std::string contents(
      "a\0\xFF"
      "b",
      4);
  const auto read = getbinaryfromfile(write("four", contents));
  EXPECT_EQ(std::string(read.begin(), read.end()), contents);
  EXPECT_TRUE(gettextfromfile(write("empty", "")).empty());
}

TEST_F(WholeFile, LogsTheErrorWithTheRoutinesPrefix) {
  LogCapture log;
  EXPECT_TRUE(getbinaryfromfile(path("missing")).empty());
  EXPECT_TRUE(gettextfromfile(path("")).empty());  // a folder
  const std::string lines = log.text();
  EXPECT_NE(lines.find("getbinaryfromfile: Error #2 (No such file or directory)"),
            std::string::npos);
  EXPECT_NE(lines.find("gettextfromfile: Error #21 (Is a directory)"), std::string::npos);
}

TEST_F(WholeFile, RefusesAPipeInsteadOfWaitingForIt) {
  const std::string pipe = path("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  LogCapture log;
  EXPECT_TRUE(getbinaryfromfile(pipe).empty());
  EXPECT_NE(log.text().find("(not a regular file)"), std::string::npos);
}

TEST_F(WholeFile, RefusesAFileAboveTheLimitWithoutReadingIt) {
  const std::string huge = path("huge");
  std::ofstream(huge).close();
  fs::resize_file(huge, kMaxWholeFileBytes + 1);  // sparse: costs no disk
  LogCapture log;
  EXPECT_TRUE(getbinaryfromfile(huge).empty());
  EXPECT_NE(log.text().find("getbinaryfromfile: Error #27"), std::string::npos);
}

TEST_F(WholeFile, FileExistsTellsFilesFromFolders) {
  EXPECT_EQ(fileexists(""), -1);
  EXPECT_EQ(fileexists(path("nothing")), 0);
  EXPECT_EQ(fileexists(write("file", "x")), 1);
  EXPECT_EQ(fileexists(path("")), 2);
}

TEST(FileNameFromPath, TakesWhatFollowsTheLastSlash) {
  EXPECT_EQ(filenamefrompath("/a/b/DATA000.word"), "DATA000.word");
  EXPECT_EQ(filenamefrompath("plain"), "plain");
  EXPECT_EQ(filenamefrompath("folder/"), "");
  EXPECT_EQ(filenamefrompath(""), "");
}

TEST(ThreadNumber, GivesEveryThreadItsOwnStableNumber) {
  const int mine = threadnumber();
  EXPECT_EQ(threadnumber(), mine);
  int other = 0;
  std::thread([&] { other = threadnumber(); }).join();
  EXPECT_NE(other, mine);
  EXPECT_GE(other, 1);
}

TEST(ThreadNumber, NumbersFollowTheOrderOfFirstAsking) {
  threadnumber();
  int first = 0, second = 0, firstAgain = 0;
  std::thread([&] {
    first = threadnumber();
    std::thread([&] { second = threadnumber(); }).join();
    firstAgain = threadnumber();
  }).join();
  EXPECT_EQ(second, first + 1);
  EXPECT_EQ(firstAgain, first);
}

TEST(InitQbTools, KeepsTheNumberOfItsThreadAndLogsStartAndEnd) {
  const int mine = threadnumber();
  LogCapture log;
  initqbtools();
  EXPECT_EQ(log.text(), "initqbtools: Start.\ninitqbtools: End.\n");
  EXPECT_EQ(threadnumber(), mine);
  EXPECT_TRUE(qbtoolsInitialized());
}

TEST(StartBackground, RunsTheRoutineOnANamedThreadWithA512KStack) {
  std::promise<void> done;
  std::size_t stackBytes = 0;
  std::string name;
  startbackground([&] {
    nameCurrentThread("t_WindowAutoUpdate");
    pthread_attr_t attributes;
    pthread_getattr_np(pthread_self(), &attributes);
    pthread_attr_getstacksize(&attributes, &stackBytes);
    pthread_attr_destroy(&attributes);
    char buffer[32] = {};
    pthread_getname_np(pthread_self(), buffer, sizeof buffer);
    name = buffer;
    done.set_value();
  });
  ASSERT_EQ(done.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
  // not the 8 MiB default; sanitizers may add some room of their own
  EXPECT_GE(stackBytes, kBackgroundStackBytes);
  EXPECT_LT(stackBytes, 2 * 1024 * 1024u);
  EXPECT_EQ(name, "t_WindowAutoUpd");  // Linux keeps 15 characters
}

// A host waits for the detached threads before it goes away: the wait ends
// when the last routine has returned, not before, and a bounded wait for one
// that keeps running says so.
TEST(StartBackground, AwaitingDetachedThreadsWaitsForTheirRoutinesToReturn) {
  ASSERT_TRUE(awaitDetachedThreads(std::chrono::seconds(30)));  // earlier tests' threads
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<int> returned{0};
  for (int worker = 0; worker < 3; ++worker) {
    startbackground([released, &returned] {
      released.wait();
      ++returned;
    });
  }
  EXPECT_FALSE(awaitDetachedThreads(std::chrono::milliseconds(10)));
  release.set_value();
  EXPECT_TRUE(awaitDetachedThreads(std::chrono::seconds(30)));
  EXPECT_EQ(returned.load(), 3);
}

TEST(Clock, CountsSecondsSince2001AndTruncatesConversions) {
  // 2026-01-01 is 788,918,400 seconds after 2001-01-01
  EXPECT_GT(absoluteTimeSeconds(), 788918400.0);
  EXPECT_EQ(secondsToMilliseconds(1.0019), 1001);
  EXPECT_EQ(secondsToMicroseconds(-0.0000015), -1);
  setClockSourceForTesting([] { return 12.3456; });
  EXPECT_EQ(absoluteTimeMilliseconds(), 12345);
  setClockSourceForTesting(nullptr);
  EXPECT_GT(absoluteTimeSeconds(), 788918400.0);
}

class PanelsAndBeep : public testing::Test {
 protected:
  void SetUp() override { host::install(&desktop_); }
  void TearDown() override { host::install(nullptr); }
  host::FakeHost desktop_;
};

TEST_F(PanelsAndBeep, BeepFallsBackToTheSystemBeepWithoutTheSound) {
  beep();
  std::thread([] { beep(); }).join();
  EXPECT_EQ(desktop_.soundsPlayed, 2);
  EXPECT_EQ(desktop_.systemBeeps, 2);
}

TEST_F(PanelsAndBeep, OpenPanelAsksWithThePromptOfItsModeAndAnswersPlainPaths) {
  desktop_.openPanelAnswer = {"file:///home/a/Gr%C3%BC%C3%9Fe.gr", "/plain/path"};
  EXPECT_EQ(openpanel("Titel", "Nachricht", "gr,word", true, true, false),
            (std::vector<std::string>{"/home/a/Grüße.gr", "/plain/path"}));
  openpanel("Titel", "", "", false, false, true);
  ASSERT_EQ(desktop_.openPanelRequests.size(), 2u);
  EXPECT_EQ(desktop_.openPanelRequests[0].prompt, "Öffnen");
  EXPECT_EQ(desktop_.openPanelRequests[0].allowedTypes, "gr,word");
  EXPECT_TRUE(desktop_.openPanelRequests[0].multipleSelection);
  EXPECT_EQ(desktop_.openPanelRequests[1].prompt, "Wählen");
  EXPECT_TRUE(desktop_.openPanelRequests[1].foldersMode);
}

TEST_F(PanelsAndBeep, PanelsFromAnotherThreadRunOnTheMainThreadWithoutMultipleSelection) {
  desktop_.openPanelAnswer = {"/a"};
  desktop_.savePanelAnswer = "file:///b%20c";
  std::vector<std::string> opened;
  std::string saved;
  std::thread([&] {
    opened = openpanelonmain("T", "M", "", true, true, false);
    saved = savepanelonmain("T", "M", "name.txt", "txt");
  }).join();
  EXPECT_EQ(opened, std::vector<std::string>{"/a"});
  EXPECT_EQ(saved, "/b c");
  ASSERT_EQ(desktop_.openPanelRequests.size(), 1u);
  EXPECT_FALSE(desktop_.openPanelRequests[0].multipleSelection);
  ASSERT_EQ(desktop_.savePanelRequests.size(), 1u);
  EXPECT_EQ(desktop_.savePanelRequests[0].prompt, "Sichern");
  EXPECT_EQ(desktop_.savePanelRequests[0].nameFieldLabel, "Sichern unter:");
  EXPECT_EQ(desktop_.savePanelRequests[0].proposedName, "name.txt");
}

// A host that is going away drops queued work unrun: a panel asked for from
// another thread then answers "cancelled" instead of waiting for ever.
class DroppingHost : public host::FakeHost {
 public:
  void runOnMainAsync(std::function<void()>) override {}
};

TEST(PanelsOnMain, AHostThatDropsTheWorkAnswersCancelled) {
  DroppingHost desktop;
  host::install(&desktop);
  desktop.openPanelAnswer = {"/a"};
  desktop.savePanelAnswer = "/b";
  std::vector<std::string> opened{"unchanged"};
  std::string saved = "unchanged";
  std::thread([&] {
    opened = openpanelonmain("T", "M", "", false, true, false);
    saved = savepanelonmain("T", "M", "name.txt", "txt");
  }).join();
  host::install(nullptr);
  EXPECT_TRUE(opened.empty());
  EXPECT_TRUE(saved.empty());
  EXPECT_TRUE(desktop.openPanelRequests.empty());
}

}  // namespace
