#include "toolbox/text/OutputLines.h"

#include <gtest/gtest.h>

#include "TextWindowFixture.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/TextOutput.h"

namespace {

using texttest::TextWindowTest;

class OutputLines : public TextWindowTest {
 protected:
  void SetUp() override {
    TextWindowTest::SetUp();
    outputlines::resetForTesting();
  }
  static std::vector<std::string> textsAfter(std::uint64_t after) {
    std::vector<std::string> texts;
    for (const auto& line : outputlines::linesAfter(after).lines)
      texts.push_back(line.textUtf8 + (line.typed ? " <typed>" : ""));
    return texts;
  }
};

// A line is finished by a carriage return or by a wrap past the last column,
// not by moving the cursor away; a 10-column window makes the wrap show.
TEST_F(OutputLines, FinishedByReturnAndWrapOnlyInOrder) {
  t_Print(0, std::string("eins\r"));
  t_Print(0, std::string("abcdefghijKL"));  // wraps after "j"
  t_Vtab(0, 1);                             // leaves "KL" unfinished
  t_Htab(0, 1);
  t_Print(0, std::string("x"));
  outputlines::markNextLineTyped(0);
  t_Print(0, std::string("\r"));
  t_RedirectOutput(0, kRedirectToLog);
  t_Print(0, std::string("log\r"));
  t_RedirectOutput(0, kRedirectToWindow);
  EXPECT_EQ(textsAfter(0), (std::vector<std::string>{"eins", "abcdefghij", "xins <typed>"}));
  EXPECT_EQ(textsAfter(2), (std::vector<std::string>{"xins <typed>"}));
  EXPECT_TRUE(textsAfter(outputlines::newestLineNumber()).empty());
}

TEST_F(OutputLines, KeepsTheNewestAndCountsWhatAReaderMissed) {
  constexpr std::size_t kMore = 5;
  for (std::size_t i = 0; i < outputlines::kKeptLines + kMore; ++i) t_Cr(0);
  const outputlines::LinesAfter all = outputlines::linesAfter(0);
  EXPECT_EQ(all.missed, kMore);
  ASSERT_EQ(all.lines.size(), outputlines::kKeptLines);
  EXPECT_EQ(all.lines.front().number, kMore + 1);
  EXPECT_EQ(outputlines::linesAfter(kMore).missed, 0U);
}

}  // namespace
