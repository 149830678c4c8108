#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "support/Log.h"

// Several threads log at once; every line must arrive whole.
TEST(Log, LinesFromSeveralThreadsNeverInterleave) {
  testing::internal::CaptureStdout();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 200; ++i) logLine(std::string(50, char('a' + t)));
    });
  }
  for (auto& thread : threads) thread.join();
  std::string output = testing::internal::GetCapturedStdout();
  std::size_t start = 0;
  int lines = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    ASSERT_NE(end, std::string::npos);
    std::string line = output.substr(start, end - start);
    ASSERT_EQ(line.size(), 50u);
    EXPECT_EQ(line, std::string(50, line[0]));
    start = end + 1;
    ++lines;
  }
  EXPECT_EQ(lines, 800);
}
