// The yes/no question: the highlighted key is the default, Escape says no
// when yes is the default, and the echo prints the key of the answer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EngineHarness.h"
#include "app/Main.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/YesNo.h"

namespace {

bool ask(const std::string& key, bool defaultYes) {
  KeyEventQueue.clear();
  t_KeyPostText(key);
  return t_InputYesNo(0, "Weiter <", 'J', "/", 'N', defaultYes, "> ? ", true);
}

TEST(InputYesNo, DefaultDecidesEveryKeyButTheOtherOne) {
  testing_engine::TestBundle bundle("yesno");
  testing_engine::useBundle(bundle);
  GameState game;
  VelmoratTitleScreen(game);
  EXPECT_TRUE(ask("j", false));
  EXPECT_TRUE(ask("J", false));
  EXPECT_FALSE(ask("\r", false));
  EXPECT_FALSE(ask("x", false));
  EXPECT_TRUE(ask("x", true));
  EXPECT_TRUE(ask("\r", true));
  EXPECT_FALSE(ask("n", true));
  EXPECT_FALSE(ask("\x1b", true)) << "Escape";
  std::string screen = t_GetScreen(0, "\n");
  EXPECT_THAT(screen, testing::HasSubstr("Weiter <J/N> ? J"));
  EXPECT_THAT(screen, testing::HasSubstr("Weiter <J/N> ? N"));
}

}  // namespace
