// The arithmetic of fitting the toolbox's desktop and each window's content
// to a screen: fit, letterbox, whole factors, device pixel ratios.
#include <gtest/gtest.h>

#include <cmath>

#include "host/qt/Scaling.h"

namespace {
// The game's desktop: the picture window (left) and the text window beside
// it, 1280 x 800 points of content each.
const std::vector<host::Rect> kGameDesktop = {{0, 200, 1280, 800}, {1280, 200, 1280, 800}};
// Menu bar 30 and a window manager's frame around each window.
const QMarginsF kChrome(4, 30 + 32, 4, 4);

QRectF onScreen(const DesktopMapping& mapping, const host::Rect& content) {
  QPointF topLeft = mapping.toScreen(content.x, content.y + content.height);
  return QRectF(topLeft, QSizeF(content.width, content.height) * mapping.scale);
}
}  // namespace

TEST(ContentPlacement, FillsTheAreaKeepingTheAspectRatio) {
  ContentPlacement same = placeContent({1280, 800}, {1280, 800}, 1);
  EXPECT_EQ(same.target, QRectF(0, 0, 1280, 800));
  EXPECT_TRUE(same.sharp);
  // Too wide an area: bars left and right, the picture as high as the area.
  ContentPlacement wide = placeContent({1280, 800}, {1000, 400}, 1);
  EXPECT_DOUBLE_EQ(wide.scale, 0.5);
  EXPECT_EQ(wide.target, QRectF(180, 0, 640, 400));
  // Too high an area: bars above and below.
  ContentPlacement high = placeContent({1280, 800}, {1000, 1000}, 1);
  EXPECT_DOUBLE_EQ(high.scale, 1000.0 / 1280);
  EXPECT_DOUBLE_EQ(high.target.height(), 625);
  EXPECT_DOUBLE_EQ(high.target.y(), 188);  // 187.5 moved onto a whole device pixel
  EXPECT_FALSE(high.sharp);
}

TEST(ContentPlacement, WholeDevicePixelFactorsAreSharpAtEveryRatio) {
  // A logical area whose device pixels are exactly 2 x 1280 by 2 x 800.
  for (double ratio : {1.0, 1.25, 1.5, 2.0}) {
    QSizeF area(2560 / ratio, 1600 / ratio);
    ContentPlacement placement = placeContent({1280, 800}, area, ratio);
    EXPECT_TRUE(placement.sharp) << ratio;
    EXPECT_DOUBLE_EQ(placement.scale * ratio, 2.0) << ratio;
    EXPECT_NEAR(placement.target.width() * ratio, 2560, 1e-9) << ratio;
  }
  // 1.25 shows 1024 logical pixels as 1280 device pixels: one for one, sharp.
  ContentPlacement fractional = placeContent({1280, 800}, {1024, 640}, 1.25);
  EXPECT_TRUE(fractional.sharp);
  EXPECT_DOUBLE_EQ(fractional.scale, 0.8);
  // A factor that is no whole number of device pixels is smoothed.
  EXPECT_FALSE(placeContent({1280, 800}, {1200, 750}, 1.5).sharp);
}

TEST(ContentPlacement, WithinOneDevicePixelCountsAsWholeAndLandsOnPixels) {
  // One pixel more than the picture: still one for one, half a pixel of bar
  // rounds to a whole one so no column is split.
  ContentPlacement placement = placeContent({1280, 800}, {1281, 801}, 1);
  EXPECT_TRUE(placement.sharp);
  EXPECT_DOUBLE_EQ(placement.scale, 1);
  EXPECT_DOUBLE_EQ(placement.target.x(), std::round(placement.target.x()));
  // Two pixels more over 1280 is a real, blurred factor.
  EXPECT_FALSE(placeContent({1280, 800}, {1282, 802}, 1).sharp);
  // Nothing to show: no division by zero.
  EXPECT_TRUE(placeContent({0, 0}, {100, 100}, 1).target.isEmpty());
}

TEST(DesktopFit, BothGameWindowsWholeAndSideBySideOnCommonScreens) {
  struct Screen {
    int width, height;
    double ratio;
  };
  const Screen screens[] = {{1366, 768, 1},  {1920, 1080, 1},    {2560, 1440, 1},
                            {3840, 2160, 1}, {1920, 1080, 1.25}, {2560, 1440, 1.5},
                            {3840, 2160, 2}, {1366, 768, 1.25}};
  for (const Screen& screen : screens) {
    // Qt counts in logical pixels: the device's pixels divided by the ratio.
    QRectF available(0, 0, screen.width / screen.ratio, screen.height / screen.ratio);
    DesktopMapping mapping = fitDesktop(kGameDesktop, available, kChrome, screen.ratio);
    QRectF picture = onScreen(mapping, kGameDesktop[0]);
    QRectF text = onScreen(mapping, kGameDesktop[1]);
    std::string name = std::to_string(screen.width) + "x" + std::to_string(screen.height) + "@" +
                       std::to_string(screen.ratio);
    // Whole, with the menu bar and the window frame, inside the screen
    // (give or take the rounding of a floating-point product).
    QRectF screenArea = available.marginsAdded(QMarginsF(1e-6, 1e-6, 1e-6, 1e-6));
    EXPECT_TRUE(screenArea.contains(picture.marginsAdded(kChrome))) << name;
    EXPECT_TRUE(screenArea.contains(text.marginsAdded(kChrome))) << name;
    // Side by side, as the program placed them.
    EXPECT_LE(picture.right(), text.left() + 1e-9) << name;
    EXPECT_DOUBLE_EQ(picture.top(), text.top()) << name;
    // As large as fits: the width is used up, short only by the step down to
    // a sharp whole factor.
    double room = available.width() - kChrome.left() - kChrome.right();
    EXPECT_GT(text.right() - picture.left(), 0.95 * room) << name;
  }
}

TEST(DesktopFit, PrefersASharpWholeFactorJustBelowTheLargest) {
  // 2600 points of width give 1.0154 pixels per point: 1 is sharp and only 1.5% smaller.
  DesktopMapping mapping = fitDesktop(kGameDesktop, QRectF(0, 0, 2608, 1600), kChrome, 1);
  EXPECT_DOUBLE_EQ(mapping.scale, 1);
  // At ratio 2 the same holds for two device pixels per point.
  mapping = fitDesktop(kGameDesktop, QRectF(0, 0, 2608, 1600), kChrome, 2);
  EXPECT_DOUBLE_EQ(mapping.scale, 1);
  // 1.2 is too far from 1: the full size wins.
  mapping = fitDesktop(kGameDesktop, QRectF(0, 0, 3080, 2000), kChrome, 1);
  EXPECT_NEAR(mapping.scale, 3072.0 / 2560, 1e-9);
}

TEST(DesktopFit, MappingRoundTripsAndCentres) {
  QRectF available(100, 50, 1920, 1000);
  DesktopMapping mapping = fitDesktop(kGameDesktop, available, kChrome, 1);
  QPointF point = mapping.toToolbox(mapping.toScreen(1280, 200));
  EXPECT_NEAR(point.x(), 1280, 1e-9);
  EXPECT_NEAR(point.y(), 200, 1e-9);
  // Centred: the room left and right of the two windows is the same.
  double left = onScreen(mapping, kGameDesktop[0]).left() - kChrome.left() - available.left();
  double right = available.right() - onScreen(mapping, kGameDesktop[1]).right() - kChrome.right();
  EXPECT_NEAR(left, right, 1);
}

TEST(Zoom, StepsThroughDevicePixelFactors) {
  EXPECT_DOUBLE_EQ(nextZoomScale(0.78, true, 1), 1);
  EXPECT_DOUBLE_EQ(nextZoomScale(0.78, false, 1), 0.75);
  EXPECT_DOUBLE_EQ(nextZoomScale(1, true, 1), 1.5);
  EXPECT_DOUBLE_EQ(nextZoomScale(1, false, 1), 0.75);
  // At ratio 2, half a logical pixel is one device pixel; the next is 1.5 of them.
  EXPECT_DOUBLE_EQ(nextZoomScale(0.5, true, 2), 0.75);
  // The ends of the ladder hold.
  EXPECT_DOUBLE_EQ(nextZoomScale(8, true, 1), 8);
  EXPECT_DOUBLE_EQ(nextZoomScale(0.25, false, 1), 0.25);
}
