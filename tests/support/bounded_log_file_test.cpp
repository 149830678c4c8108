// A flooding log keeps its head, a count of what was left out, and its newest
// lines, within a bounded size, at every moment (a crash may come at any line).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/BoundedLogFile.h"

namespace {

TEST(BoundedLogFile, KeepsTheHeadACountAndTheNewestLines) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("velmorat-log-" + std::to_string(::getpid()));
  const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(descriptor, 0);
  // Lines of 10 bytes: a head of 100 bytes holds lines 0..9, a tail of 40 bytes four lines.
  BoundedLogFile log(descriptor, 100, 40);
  auto line = [](int n) {
    std::string text = "line " + std::to_string(100000 + n).substr(1) + "\n";
    return text.substr(0, 10);
  };
  auto contents = [&] {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  };
  std::string head;
  for (int n = 0; n < 10; ++n) head += line(n);
  for (int n = 0; n < 5000; ++n) {
    log.write(line(n));
    const std::string file = contents();
    ASSERT_LE(file.size(), 100u + 2 * 40 + 200 + 10) << "after line " << n;
    ASSERT_TRUE(file.ends_with(line(n))) << "after line " << n;
  }
  const std::string file = contents();
  EXPECT_EQ(file.substr(0, 100), head);
  const std::size_t note = file.find("log: ");
  ASSERT_NE(note, std::string::npos);
  const std::size_t count = std::stoul(file.substr(note + 5));
  const std::size_t kept = (file.size() - file.find('\n', note) - 1) / 10;
  EXPECT_GE(kept, 4u) << "at least the tail's worth of newest lines";
  EXPECT_EQ(10 + count + kept, 5000u) << "every line is kept or counted";
  EXPECT_EQ(log.linesLeftOut(), count);
  ::close(descriptor);
  std::filesystem::remove(path);
}

}  // namespace
