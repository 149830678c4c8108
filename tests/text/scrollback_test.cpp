// The page of a text window's past that a host shows: kept lines followed by
// the live area, held to what is kept, and nothing without a source.
#include <gtest/gtest.h>

#include "text/TextWindowFixture.h"
#include "toolbox/text/Scrollback.h"
#include "toolbox/text/TextOutput.h"

using namespace texttest;

namespace {

class Scrollback : public TextWindowTest {
 protected:
  void TearDown() override { t_SetScrollbackSource(0, {}); }
  // Kept lines "k0" .. "k9", oldest first.
  void keepTenLines() {
    t_SetScrollbackSource(0, {[] { return std::size_t{10}; },
                              [](std::size_t first, std::size_t count) {
                                std::vector<std::string> lines;
                                for (std::size_t i = first; i < first + count; ++i) {
                                  lines.push_back("k" + std::to_string(i));
                                }
                                return lines;
                              }});
  }
};

TEST_F(Scrollback, PagesJoinTheKeptLinesToTheLiveArea) {
  t_Print(0, "a\rb\rc\rd\re\rf");  // the six live lines of the area
  const std::vector<std::string> live = {"a", "b", "c", "d", "e", "f"};
  EXPECT_EQ(t_ScrollbackPage(0, 3).lines, live) << "without a source only the live lines";
  EXPECT_EQ(t_ScrollbackPage(0, 3).linesBack, 0u);
  keepTenLines();
  const struct {
    std::size_t linesBack;
    std::vector<std::string> page;
  } cases[] = {
      {0, live},
      {2, {"k8", "k9", "a", "b", "c", "d"}},
      {6, {"k4", "k5", "k6", "k7", "k8", "k9"}},
      {99, {"k0", "k1", "k2", "k3", "k4", "k5"}},  // held to the oldest kept line
  };
  for (const auto& c : cases) {
    const ScrollbackPage page = t_ScrollbackPage(0, c.linesBack);
    EXPECT_EQ(page.lines, c.page) << c.linesBack;
    EXPECT_EQ(page.linesBack, std::min<std::size_t>(c.linesBack, 10));
  }
  EXPECT_EQ(t_ScrollbackPageLines(0), kLines);
  EXPECT_EQ(t_ScrollbackPage(9, 1).lines.size(), 0u) << "no such window";
}

}  // namespace
