#include "host/terminal/ScreenLayout.h"

#include <gtest/gtest.h>

namespace terminal {
namespace {

LayoutRequest terminalOf(int columns, int rows) {
  LayoutRequest request;
  request.terminalColumns = columns;
  request.terminalRows = rows;
  return request;
}

TEST(ScreenLayout, BelowEightyByTwentyFourOnlyTheMessage) {
  for (auto [columns, rows] : {std::pair{79, 24}, std::pair{80, 23}, std::pair{60, 20}}) {
    const ScreenLayout layout = layoutScreen(terminalOf(columns, rows));
    EXPECT_TRUE(layout.tooSmall) << columns << "x" << rows;
    EXPECT_EQ(layout.minimumColumns, 80);
    EXPECT_EQ(layout.minimumRows, 24);
  }
}

TEST(ScreenLayout, ExactlyEightyByTwentyFourShowsTheTextAndThePictureOnDemand) {
  const ScreenLayout layout = layoutScreen(terminalOf(80, 24));
  ASSERT_FALSE(layout.tooSmall);
  EXPECT_EQ(layout.place, PicturePlace::OnDemand);
  EXPECT_EQ(layout.text, (CellRect{1, 0, 78, 24}));
  EXPECT_TRUE(layout.picture.empty());
  EXPECT_TRUE(layout.hints.empty());
}

TEST(ScreenLayout, WideTerminalPutsThePictureBesideTheText) {
  // 80 columns more than the text needs: a 1.6 picture in cells of aspect
  // 0.5 is 80 x 25 cells, limited by the 40 rows of the terminal it is not.
  const ScreenLayout layout = layoutScreen(terminalOf(160, 40));
  EXPECT_EQ(layout.place, PicturePlace::Beside);
  EXPECT_EQ(layout.picture, (CellRect{0, 0, 80, 25}));
  EXPECT_EQ(layout.text, (CellRect{81, 0, 78, 24}));
  EXPECT_EQ(layout.hints, (CellRect{0, 39, 160, 1}));  // on the last row, not below the picture
  // Picture and text do not overlap.
  EXPECT_LE(layout.picture.column + layout.picture.columns, layout.text.column);
  // With fewer rows the picture leaves the last one to the hints.
  const ScreenLayout lower = layoutScreen(terminalOf(200, 30));
  EXPECT_EQ(lower.picture.rows, 29);
  EXPECT_EQ(lower.hints, (CellRect{0, 29, 200, 1}));
  // A large terminal keeps the key bar at its bottom, far below text and picture.
  EXPECT_EQ(layoutScreen(terminalOf(200, 60)).hints, (CellRect{0, 59, 200, 1}));
}

TEST(ScreenLayout, TallTerminalPutsThePictureAboveTheText) {
  const ScreenLayout layout = layoutScreen(terminalOf(90, 50));
  EXPECT_EQ(layout.place, PicturePlace::Above);
  EXPECT_EQ(layout.picture.row, 0);
  EXPECT_EQ(layout.picture.rows, 25);  // 25 rows are 80 columns, which fit in 90
  EXPECT_EQ(layout.text.row, layout.picture.rows);
  EXPECT_EQ(layout.hints.row, 49);
}

TEST(ScreenLayout, ChoosesThePlaceThatShowsThePictureLarger) {
  // Beside gets 30 columns (9 rows); above gets 25 rows: above wins.
  EXPECT_EQ(layoutScreen(terminalOf(110, 50)).place, PicturePlace::Above);
  // Beside gets 100 columns, limited to the 30 rows; above only 5 rows.
  EXPECT_EQ(layoutScreen(terminalOf(180, 30)).place, PicturePlace::Beside);
}

TEST(ScreenLayout, PictureOnDemandFillsTheTerminalInPlaceOfTheText) {
  LayoutRequest request = terminalOf(80, 24);
  request.pictureOnDemand = true;
  const ScreenLayout layout = layoutScreen(request);
  EXPECT_TRUE(layout.text.empty());
  EXPECT_EQ(layout.picture.columns, 76);  // 24 rows of a 1.6 picture
  EXPECT_EQ(layout.picture.rows, 24);
  EXPECT_TRUE(layout.hints.empty());
  // With a row to spare the hints stay below the picture.
  request.terminalRows = 30;
  const ScreenLayout taller = layoutScreen(request);
  EXPECT_EQ(taller.picture.rows, 25);
  EXPECT_EQ(taller.hints, (CellRect{0, 29, 80, 1}));
}

TEST(ScreenLayout, SquareCellsMakeThePictureFewerRowsHigh) {
  LayoutRequest request = terminalOf(160, 60);
  request.cellAspect = 1.0;
  const ScreenLayout layout = layoutScreen(request);
  EXPECT_EQ(layout.place, PicturePlace::Beside);
  EXPECT_EQ(layout.picture.rows, 50);
}

TEST(ScreenLayout, HostileSizesGiveTheMessage) {
  LayoutRequest request = terminalOf(200, 60);
  request.cellAspect = 0;
  EXPECT_TRUE(layoutScreen(request).tooSmall);
  EXPECT_TRUE(layoutScreen(terminalOf(-5, 100000)).tooSmall);
}

}  // namespace
}  // namespace terminal
