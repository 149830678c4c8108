#include <gtest/gtest.h>

#include "toolbox/text/InputHistory.h"

namespace {

TEST(InputHistory, StepsBackAndForthAndReturnsTheDraft) {
  InputHistory history(10);
  history.add("nimm lampe");
  history.add("v");
  EXPECT_EQ(history.previous("hal"), "v");
  EXPECT_EQ(history.previous("ignored once a recall runs"), "nimm lampe");
  EXPECT_EQ(history.previous(""), std::nullopt);  // the oldest stays
  EXPECT_EQ(history.next(), "v");
  EXPECT_EQ(history.next(), "hal");  // past the newest: what was being typed
  EXPECT_EQ(history.next(), std::nullopt);
}

TEST(InputHistory, KeepsTheNewestLinesOnlyAndSkipsEmptyAndRepeatedLines) {
  InputHistory history(100);
  for (int command = 1; command <= 105; ++command) history.add("befehl " + std::to_string(command));
  history.add("befehl 105");
  history.add("");
  EXPECT_EQ(history.size(), 100u);
  std::string oldest;
  int steps = 0;
  while (std::optional<std::string> line = history.previous("")) {
    oldest = *line;
    ++steps;
  }
  EXPECT_EQ(steps, 100);
  EXPECT_EQ(oldest, "befehl 6");  // 1 to 5 went beyond the hundred
}

TEST(InputHistory, AnEnteredLineEndsTheRecall) {
  InputHistory history(10);
  history.add("a");
  history.add("b");
  ASSERT_EQ(history.previous(""), "b");
  ASSERT_EQ(history.previous(""), "a");
  history.add("a geändert");
  // The next recall starts again at the newest line.
  EXPECT_EQ(history.previous(""), "a geändert");
  EXPECT_EQ(history.next(), "");
}

}  // namespace
