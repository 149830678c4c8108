// The fonts the build makes from DejaVu Sans Mono, as the game loads them.
// Skipped when the build has not made them yet (target velmorat_fonts).
#include <gtest/gtest.h>

#include <filesystem>

#include "RequireBuilt.h"
#include "support/Bundle.h"
#include "toolbox/text/Glyphs.h"

namespace {

constexpr int kCellWidth = 16;
constexpr int kCellHeight = 32;

class BuiltFonts : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    setBundlePath(std::string(VELMORAT_BINARY_DIR) + "/Velmorat.app");
    VELMORAT_REQUIRE_BUILT(std::filesystem::exists(resourcesPath() + GetParam()), GetParam());
    font = t_LoadFontResource(GetParam());
  }
  int coverage(int code, int x, int y) const {
    return font.Data[std::size_t(code) * kCellWidth * kCellHeight + y * kCellWidth + x];
  }
  // Rows of the glyph with any ink.
  std::pair<int, int> inkedRows(int code) const {
    int first = kCellHeight;
    int last = -1;
    for (int y = 0; y < kCellHeight; ++y) {
      for (int x = 0; x < kCellWidth; ++x) {
        if (coverage(code, x, y) > 64) {
          first = std::min(first, y);
          last = std::max(last, y);
        }
      }
    }
    return {first, last};
  }
  t_Font font;
};

TEST_P(BuiltFonts, HoldAllCodesInSixteenByThirtyTwoGreyCells) {
  EXPECT_EQ(font.Format, 2);
  EXPECT_EQ(font.Start, 0);
  EXPECT_EQ(font.End, 255);
  EXPECT_EQ(font.Width, kCellWidth);
  EXPECT_EQ(font.Height, kCellHeight);
  EXPECT_EQ(font.Data.size(), std::size_t(256) * kCellWidth * kCellHeight);
}

// Line pieces reach every edge they point to, so neighbouring cells join.
TEST_P(BuiltFonts, LinePiecesReachTheCellEdges) {
  const int middle = kCellHeight / 2;
  EXPECT_EQ(coverage(156, 0, middle), 255);
  EXPECT_EQ(coverage(156, kCellWidth - 1, middle), 255);
  EXPECT_EQ(coverage(156, kCellWidth / 2, 0), 0);
  EXPECT_EQ(coverage(138, kCellWidth / 2, 0), 255);
  EXPECT_EQ(coverage(138, kCellWidth / 2, kCellHeight - 1), 255);
  EXPECT_EQ(coverage(146, 0, middle), 255);
  EXPECT_EQ(coverage(146, kCellWidth / 2, kCellHeight - 1), 255);
}

// Umlaut dots above capitals and descenders below the baseline stay inside
// the cell, and letters share the baseline.
TEST_P(BuiltFonts, UmlautsAndDescendersFitTheCell) {
  const auto [umlautTop, umlautBottom] = inkedRows(0xC4);  // Ä
  const auto [capitalTop, capitalBottom] = inkedRows('A');
  const auto [gTop, gBottom] = inkedRows('g');
  EXPECT_GT(umlautTop, 0);
  EXPECT_LT(umlautTop + 2, capitalTop);  // the dots stand clear above the A
  EXPECT_EQ(umlautBottom, capitalBottom);
  EXPECT_EQ(inkedRows('x').second, capitalBottom);
  EXPECT_GT(gBottom, capitalBottom + 3);
  EXPECT_LT(gBottom, kCellHeight);
  EXPECT_GE(inkedRows(0xDF).first, umlautTop);  // ß
}

INSTANTIATE_TEST_SUITE_P(Game, BuiltFonts,
                         ::testing::Values("MenloRegular 16x32.font", "MenloBold 16x32.font"));

}  // namespace
