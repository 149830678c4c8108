// velmorat-tool's command line as a user meets it: the exit status of help,
// unknown commands and options, values out of range and missing files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "RequireBuilt.h"

namespace {

int statusOf(const std::string& arguments) {
  const std::filesystem::path tool =
      std::filesystem::path(VELMORAT_BINARY_DIR) / "tools/velmorat-tool";
  const int status = std::system((tool.string() + " " + arguments + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ToolCommandLine, HelpSucceedsAndEveryMisuseIsAUsageError) {
  VELMORAT_REQUIRE_BUILT(
      std::filesystem::exists(std::filesystem::path(VELMORAT_BINARY_DIR) / "tools/velmorat-tool"),
      "velmorat-tool");
  EXPECT_EQ(statusOf("--help"), 0);
  EXPECT_EQ(statusOf("help"), 0);
  EXPECT_EQ(statusOf("gr-draw --help"), 0);
  EXPECT_EQ(statusOf(""), 2) << "no command";
  EXPECT_EQ(statusOf("no-such-command"), 2);
  EXPECT_EQ(statusOf("lzw-pack onlyone"), 2) << "a missing argument";
  EXPECT_EQ(statusOf("lzw-pack a b c"), 2) << "an argument too many";
  EXPECT_EQ(statusOf("rle-decode --unit 5 a b"), 2);
  EXPECT_EQ(statusOf("rle-decode --unit x a b"), 2);
  EXPECT_EQ(statusOf("gr-draw a b --at 4294967296,0"), 2) << "beyond int is refused, not wrapped";
  EXPECT_EQ(statusOf("gr-draw a b --fast 1"), 2);
  EXPECT_EQ(statusOf("font-sheet a b --scale 0"), 2);
  EXPECT_EQ(statusOf("png-to-gr a b"), 2) << "--format is required";
  EXPECT_EQ(statusOf("png-to-gr a b --format 999"), 2);
  EXPECT_EQ(statusOf("lzw-pack /nonexistent/in /nonexistent/out"), 1) << "a file, not usage";
}

// A file that cannot be read, or that is not what the command reads, is a
// failure of every command that reads one, never a success.
TEST(ToolCommandLine, EveryCommandFailsOnAMissingOrWrongFile) {
  VELMORAT_REQUIRE_BUILT(
      std::filesystem::exists(std::filesystem::path(VELMORAT_BINARY_DIR) / "tools/velmorat-tool"),
      "velmorat-tool");
  const std::string missing = "/nonexistent/in";
  const std::string out = "/nonexistent/out";
  for (const std::string command :
       {"lzw-pack", "lzw-unpack", "rle-decode --unit 1", "gr-info", "gr-decode", "gr-draw",
        "png-to-gr --format 3", "font-build", "font-info", "font-sheet", "pack-script",
        "unpack-script", "check-script"}) {
    const bool takesOutput =
        command != "gr-info" && command != "font-info" && command != "check-script";
    EXPECT_EQ(statusOf(command + " " + missing + (takesOutput ? " " + out : "")), 1) << command;
  }
  // The tool's own source is no picture and no font.
  const std::string notAPicture = __FILE__;
  EXPECT_EQ(statusOf("gr-info " + notAPicture), 1);
  EXPECT_EQ(statusOf("gr-decode " + notAPicture + " " + out), 1);
  EXPECT_EQ(statusOf("gr-draw " + notAPicture + " " + out), 1);
  EXPECT_EQ(statusOf("font-info " + notAPicture), 1);
}

// Outputs replace a file whole (no temporary file stays beside it) and go
// straight through a link, such as /dev/stdout, which stays a link.
TEST(ToolCommandLine, OutputsReplaceFilesWholeAndStreamStraight) {
  namespace fs = std::filesystem;
  VELMORAT_REQUIRE_BUILT(fs::exists(fs::path(VELMORAT_BINARY_DIR) / "tools/velmorat-tool"),
                         "velmorat-tool");
  const fs::path folder = fs::temp_directory_path() / ("tool-output-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const std::string in = (folder / "input").string();
  std::ofstream(in) << "Ein kleiner Text, der gepackt wird.";
  const std::string out = (folder / "packed.lzw").string();
  for (int round = 0; round < 2; ++round) EXPECT_EQ(statusOf("lzw-pack " + in + " " + out), 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
  EXPECT_GT(fs::file_size(out), 0u);
  const std::string streamed = (folder / "streamed").string();
  EXPECT_EQ(statusOf("lzw-pack " + in + " /dev/fd/3 3>" + streamed), 0);
  EXPECT_EQ(fs::file_size(streamed), fs::file_size(out));
  fs::remove_all(folder);
}

}  // namespace
