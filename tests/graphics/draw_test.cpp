#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "PictureRecord.h"
#include "PixelWindowFixture.h"
#include "toolbox/graphics/PictureEncoder.h"
#include "toolbox/graphics/PictureFile.h"
#include "toolbox/graphics/PixelOps.h"

namespace {

// The plain algorithm: set the colour for every picture pixel (t_Color's
// effect for 1-bit and 4-bit pictures, g_ColorRGB for the others) and plot
// every screen pixel of its block through g_Plot.
void referenceDraw(std::uint8_t window, const t_Graphic& picture, int x, int y, int scale,
                   int transparent) {
  const t_Graphic plain = g_UnPack(g_UnPackRLE(g_UnPackLZW(picture)));
  t_Window& record = windowRecord(window);
  const t_RGBColor saved = record.RGBColor;
  const int hs = (plain.PixelWidth == 0 ? 16 : plain.PixelWidth) * scale;
  const int vs = (plain.PixelHeight == 0 ? 16 : plain.PixelHeight) * scale;
  const int bytesPerPixel = picture::plainBytesPerPixel(plain.Format);
  const std::vector<std::uint8_t>& d = plain.Data;
  for (int r = 0; r < plain.Height; ++r) {
    for (int c = 0; c < plain.Width; ++c) {
      const std::size_t i = std::size_t(r) * plain.Width + c;
      if ((i + 1) * bytesPerPixel > d.size()) return record.RGBColor = saved, void();
      auto tColor = [&](int colour) {
        record.TextColor = std::uint8_t((colour & 15) << 4 | (record.TextColor & 0x0F));
        record.RGBColor =
            t_RGBColor{255, Palette16[colour].red, Palette16[colour].green, Palette16[colour].blue};
      };
      auto colorRgb = [&](int a, int red, int green, int blue) {
        g_ColorRGB(window, t_RGBColor{std::uint8_t(a), std::uint8_t(red), std::uint8_t(green),
                                      std::uint8_t(blue)}
                               .packed());
      };
      switch (plain.Format) {
        case 0:
          if (15 * (d[i] & 1) == transparent) continue;
          tColor(d[i] & 1 ? 15 : 0);
          break;
        case 1:
          if ((d[i] & 15) == transparent) continue;
          tColor(d[i] & 15);
          break;
        case 2:
          colorRgb(255, d[i], d[i], d[i]);
          break;
        case 3:
          colorRgb(255, d[3 * i], d[3 * i + 1], d[3 * i + 2]);
          break;
        case 4:
          colorRgb(d[2 * i], d[2 * i + 1], d[2 * i + 1], d[2 * i + 1]);
          break;
        default:
          colorRgb(d[4 * i], d[4 * i + 1], d[4 * i + 2], d[4 * i + 3]);
          break;
      }
      for (int j = 0; j < vs; ++j) {
        for (int k = 0; k < hs; ++k) g_Plot(window, x + c * hs + k, y + r * vs + j);
      }
    }
  }
  record.RGBColor = saved;
}

t_Graphic randomPicture(int format, int width, int height, int pixelWidth, int pixelHeight,
                        std::mt19937& random) {
  t_Graphic picture = pictureRecord(format, width, height);
  picture.PixelWidth = pixelWidth;
  picture.PixelHeight = pixelHeight;
  picture.Data.resize(std::size_t(width) * height * picture::plainBytesPerPixel(format));
  // all bits random: the drawing must ignore the ones the format does not use
  for (std::uint8_t& byte : picture.Data) byte = static_cast<std::uint8_t>(random());
  return picture;
}

struct DrawCase {
  int x, y, scale, transparent, mode;
};

}  // namespace

class Draw : public PixelWindowFixture {
 protected:
  // Draws with g_Draw into window 0 and with the reference into window 1,
  // both starting from the same random memory, and compares memory and record.
  void expectSameAsReference(const t_Graphic& picture, int depth, const DrawCase& c,
                             const std::string& what) {
    constexpr int kWindowWidth = 40;
    constexpr int kWindowHeight = 24;
    const std::int64_t blockBytes = rowBytes(depth, kWindowWidth) * kWindowHeight;
    for (std::uint8_t w : {0, 1}) {
      t_Window& window = openWindow(w, depth, kWindowWidth, kWindowHeight, 1000 + w * 10000);
      window.DrawingMode = c.mode;
      window.TextColor = 0x3A;
      window.RGBColor = t_RGBColor{7, 8, 9, 10};
      window.PositionX = -9;
      std::mt19937 random(depth * 100 + c.mode);
      for (std::int64_t i = -16; i < blockBytes + 16; ++i) {
        memory_[window.MemoryStart + i] = static_cast<std::uint8_t>(random());
      }
    }
    g_Draw(0, picture, c.x, c.y, std::uint8_t(c.scale), c.transparent);
    referenceDraw(1, picture, c.x, c.y, c.scale, c.transparent);
    const std::string context = what + " depth " + std::to_string(depth) + " at " +
                                std::to_string(c.x) + "," + std::to_string(c.y) + " scale " +
                                std::to_string(c.scale) + " transparent " +
                                std::to_string(c.transparent) + " mode " + std::to_string(c.mode);
    // 16 bytes on both sides: nothing outside the block may change
    ASSERT_TRUE(std::equal(block(0) - 16, block(0) + blockBytes + 16, block(1) - 16)) << context;
    EXPECT_EQ(windowRecord(0).TextColor, windowRecord(1).TextColor) << context;
    EXPECT_EQ(windowRecord(0).PositionX, windowRecord(1).PositionX) << context;
    EXPECT_EQ(windowRecord(0).PositionY, windowRecord(1).PositionY) << context;
    EXPECT_EQ(windowRecord(0).RGBColor, (t_RGBColor{7, 8, 9, 10})) << context;
  }
};

TEST_F(Draw, EveryFormatAtEveryDepthMatchesThePlainAlgorithm) {
  std::mt19937 random(11);
  const DrawCase cases[] = {
      {0, 0, 1, -1, 0},   {3, 2, 1, 14, 0}, {-5, -3, 2, 0, 0}, {30, 18, 1, 15, 0},
      {-60, 0, 1, -1, 0}, {2, 1, 3, 14, 2}, {1, 1, 1, -1, 3},  {0, 0, 0, -1, 0},
      {5, -4, 1, -1, 1},  {0, 3, 2, -1, 4}, {7, 0, 1, -1, 5},  {0, 0, 1, -1, 6},
      {-1, -1, 1, -1, 7}, {0, 0, 1, -1, 9}, {4, 0, 1, -1, 2},
  };
  for (int format = 0; format <= 5; ++format) {
    const t_Graphic unscaled = randomPicture(format, 17, 11, 1, 1, random);
    const t_Graphic aspect = randomPicture(format, 9, 5, 3, 2, random);
    for (int depth : {1, 4, 8, 16, 24, 32}) {
      for (const DrawCase& c : cases) {
        expectSameAsReference(unscaled, depth, c, "format " + std::to_string(format) + " 1x1");
        expectSameAsReference(aspect, depth, c, "format " + std::to_string(format) + " 3x2");
      }
    }
  }
}

TEST_F(Draw, PictureCutShortDrawsOnlyThePixelsItHolds) {
  std::mt19937 random(12);
  t_Graphic picture = randomPicture(3, 10, 10, 1, 1, random);
  picture.Data.resize(3 * 25 + 2);  // 25 whole pixels and a part of one
  expectSameAsReference(picture, 24, {0, 0, 1, -1, 0}, "short");
  expectSameAsReference(picture, 8, {-3, 0, 2, -1, 0}, "short");
}

TEST_F(Draw, EncodedPicturesDrawLikeTheirPlainPixels) {
  std::mt19937 random(13);
  for (int code : {123, 131, 110, 134, 25}) {
    t_Graphic plain = randomPicture(picture::plainFormatOf(code), 12, 6, 1, 1, random);
    for (std::size_t i = 0; i < plain.Data.size(); ++i) {
      if (plain.Format == 0) plain.Data[i] &= 1;
      if (plain.Format == 1) plain.Data[i] &= 15;
      if (plain.Format == 4 && i % 2 == 0) plain.Data[i] = 0x40;
    }
    LogCapture log;
    expectSameAsReference(*picture::encodePicture(plain, code), 32, {1, 1, 1, 14, 0},
                          "code " + std::to_string(code));
  }
}

TEST_F(Draw, PixelSizeZeroMeansSixteenAndScaleZeroDrawsNothing) {
  t_Graphic picture = pictureRecord(2, 1, 1, {0x55});
  t_Window& window = openWindow(0, 8, 40, 40);
  g_Draw(0, picture, 0, 0, 2, -1);
  EXPECT_EQ(block(0)[31], 0x55);
  EXPECT_EQ(block(0)[32], 0);
  EXPECT_EQ(block(0)[31 * 40 + 31], 0x55);
  EXPECT_EQ(block(0)[32 * 40], 0);
  EXPECT_EQ(window.PositionX, 31);
  EXPECT_EQ(window.PositionY, 31);
  picture.Data = {0x66};
  g_Draw(0, picture, 0, 0, 0, -1);
  EXPECT_EQ(block(0)[0], 0x55);
}

TEST_F(Draw, TransparentIndexLeavesItsPixelsUntouched) {
  t_Graphic picture = pictureRecord(1, 3, 1, {2, 14, 0x3E});  // the high nibble does not count
  picture.PixelWidth = 1;
  picture.PixelHeight = 1;
  openWindow(0, 24, 3, 1);
  g_ClearScreen(0, 15, 0);
  g_Draw(0, picture, 0, 0, 1, 14);
  EXPECT_EQ(g_Scrn(0, 0, 0), (t_RGBColor{0, 0, 0, 128}.packed()));
  EXPECT_EQ(g_Scrn(0, 1, 0), (t_RGBColor{0, 255, 255, 255}.packed()));
  EXPECT_EQ(g_Scrn(0, 2, 0), (t_RGBColor{0, 255, 255, 255}.packed()));
  EXPECT_EQ(windowRecord(0).TextColor >> 4, 2);  // from the last pixel that was coloured
}

TEST_F(Draw, IllegalFormatAndDepthAreLogged) {
  t_Graphic picture = pictureRecord(7, 1, 1, {1});
  openWindow(0, 24, 4, 4);
  LogCapture log;
  g_Draw(0, picture, 0, 0, 1, -1);
  picture.Format = 2;
  windowRecord(0).BitDepth = 12;
  g_Draw(0, picture, 0, 0, 1, -1);
  g_Draw(8, picture, 0, 0, 1, -1);
  EXPECT_EQ(log.text(),
            "g_Draw: Illegal graphic format.\ng_Plot: Illegal bit depth (12).\n"
            "g_Draw: Window is not a graphic window.\n");
}
