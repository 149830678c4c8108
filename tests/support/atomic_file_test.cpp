#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/AtomicFile.h"

namespace {

namespace fs = std::filesystem;

class AtomicFile : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("atomic_file_test_" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  static std::string read(const std::string& file) {
    std::ostringstream bytes;
    bytes << std::ifstream(file, std::ios::binary).rdbuf();
    return bytes.str();
  }
  // The names in the folder: no temporary file may stay behind.
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder_))
      found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
  }

  fs::path folder_;
};

TEST_F(AtomicFile, ReplacesTheWholeFileAndKeepsItsPermissions) {
  std::string failure;
  ASSERT_TRUE(writeFileAtomically(path("Stand.velmorat"), "eine lange erste Fassung", failure));
  fs::permissions(path("Stand.velmorat"), fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(writeFileAtomically(path("Stand.velmorat"), "kurz", failure)) << failure;
  EXPECT_EQ(read(path("Stand.velmorat")), "kurz");
  EXPECT_EQ(fs::status(path("Stand.velmorat")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(names(), std::vector<std::string>{"Stand.velmorat"});
}

// A disk that fills up in the middle of the write (simulated by a file size
// limit in a child process, so the test's own files are not limited): the
// earlier file stays whole and no temporary file remains.
TEST_F(AtomicFile, AnInterruptedWriteLeavesTheEarlierFileIntact) {
  std::string failure;
  ASSERT_TRUE(writeFileAtomically(path("Stand.velmorat"), "die frühere Fassung", failure));
  const std::string larger(64 * 1024, 'x');
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string childFailure;
    const bool written = writeFileAtomically(path("Stand.velmorat"), larger, childFailure);
    ::_exit(written ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write beyond the limit reported success";
  EXPECT_EQ(read(path("Stand.velmorat")), "die frühere Fassung");
  EXPECT_EQ(names(), std::vector<std::string>{"Stand.velmorat"});
}

// A writer killed before its rename leaves its temporary file; the next write
// of the same name removes it, but not those of writers still running (this
// process's parent stands for one) nor the temporaries of other names.
TEST_F(AtomicFile, RemovesOnlyTheTemporaryFilesOfWritersThatDied) {
  const pid_t gone = ::fork();
  ASSERT_GE(gone, 0);
  if (gone == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
  const std::string dead = ".Stand.velmorat." + std::to_string(gone) + "-3.tmp";
  const std::string running = ".Stand.velmorat." + std::to_string(::getppid()) + "-1.tmp";
  const std::string other = ".Anders.velmorat." + std::to_string(gone) + "-1.tmp";
  for (const std::string& name : {dead, running, other}) std::ofstream(path(name)) << "halb";
  std::string failure;
  ASSERT_TRUE(writeFileAtomically(path("Stand.velmorat"), "ganz", failure)) << failure;
  std::vector<std::string> expected = {other, running, "Stand.velmorat"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names(), expected);
}

TEST_F(AtomicFile, ReportsFoldersThatCannotTakeTheFile) {
  std::string failure;
  EXPECT_FALSE(writeFileAtomically(path("fehlt/Stand.velmorat"), "x", failure));
  EXPECT_FALSE(failure.empty());
  fs::create_directories(folder_ / "Ordner");
  EXPECT_FALSE(writeFileAtomically(path("Ordner"), "x", failure));  // a folder stands there
  EXPECT_FALSE(writeFileAtomically(path("Ordner") + "/", "x", failure));
  EXPECT_EQ(names(), std::vector<std::string>{"Ordner"});
}

}  // namespace
