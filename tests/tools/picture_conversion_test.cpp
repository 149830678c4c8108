#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "RequireBuilt.h"
#include "toolbox/core/Color.h"
#include "toolbox/graphics/PictureEncoder.h"
#include "toolbox/graphics/PictureFile.h"
#include "tools/PictureConversion.h"
#include "tools/Png.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

png::RgbaImage imageOf(int width, int height,
                       const std::function<std::array<int, 4>(int, int)>& at) {
  png::RgbaImage image{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int channel : at(x, y)) image.rgba.push_back(static_cast<std::uint8_t>(channel));
    }
  }
  return image;
}

std::array<int, 4> paletteRgba(int index) {
  return {Palette16[index].red, Palette16[index].green, Palette16[index].blue, 255};
}

}  // namespace

TEST(Png, RoundTripsRgbThroughMemoryAndRejectsGarbage) {
  Bytes rgb;
  for (int i = 0; i < 7 * 5; ++i)
    rgb.insert(rgb.end(), {std::uint8_t(i), std::uint8_t(3 * i), 200});
  const Bytes encoded = png::encodeRgb(7, 5, rgb);
  std::string error;
  const std::optional<png::RgbaImage> image = png::readMemory(encoded, error);
  ASSERT_TRUE(image) << error;
  EXPECT_EQ(image->width, 7);
  EXPECT_EQ(image->rgba[4 * 10 + 1], 30);  // red/green not swapped
  EXPECT_EQ(image->rgba[4 * 10 + 3], 255);
  EXPECT_FALSE(png::readMemory(Bytes(encoded.begin(), encoded.begin() + 40), error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(png::readMemory(Bytes{1, 2, 3}, error));
}

TEST(PictureConversion, FlatPaletteArtStaysExactAndPicksAFourBitCode) {
  const png::RgbaImage art =
      imageOf(40, 30, [](int x, int y) { return paletteRgba((x / 10 + y / 10 * 4) % 16); });
  EXPECT_TRUE(picture::keepsColours(art, 1));
  EXPECT_FALSE(picture::keepsColours(art, 0));
  EXPECT_FALSE(picture::keepsColours(art, 2));
  const t_Graphic best = picture::smallestEncoding(art, 1, 1);
  EXPECT_EQ(picture::plainFormatOf(best.Format), 1);
  const t_Graphic decoded = picture::decodeLayers(best);
  ASSERT_EQ(decoded.Data.size(), 40u * 30);
  EXPECT_EQ(decoded.Data[15 + 25 * 40], (1 + 2 * 4) % 16);
}

TEST(PictureConversion, AutoKeepsGreyAndAlphaWhereTheImageHasThem) {
  const png::RgbaImage grey = imageOf(16, 16, [](int x, int y) {
    return std::array<int, 4>{x * 16 + y, x * 16 + y, x * 16 + y, 255};
  });
  EXPECT_EQ(picture::plainFormatOf(picture::smallestEncoding(grey, 1, 1).Format), 2);
  const png::RgbaImage seeThrough = imageOf(8, 8, [](int x, int y) {
    return std::array<int, 4>{x * 30, y * 30, 7, 128};
  });
  const t_Graphic kept = picture::smallestEncoding(seeThrough, 2, 1);
  EXPECT_EQ(picture::plainFormatOf(kept.Format), 5);
  EXPECT_EQ(kept.PixelWidth, 2);
  const t_Graphic decoded = picture::decodeLayers(kept);
  EXPECT_EQ(decoded.Data[4 * 9], 128);
  EXPECT_EQ(decoded.Data[4 * 9 + 1], 30);
}

TEST(PictureConversion, TransparentPixelsBecomeTheGamesTransparentIndex) {
  const png::RgbaImage item = imageOf(4, 1, [](int x, int) {
    return x < 2 ? std::array<int, 4>{255, 0, 0, 255} : std::array<int, 4>{255, 0, 0, 0};
  });
  const t_Graphic plain = picture::plainFromImage(item, 1, picture::Dither::none, 1, 1);
  EXPECT_EQ(plain.Data, (Bytes{1, 1, picture::kTransparentIndex, picture::kTransparentIndex}));
}

// A muted teal lies between cyan (the see-through colour) and its
// neighbours: dithering it must never pick cyan, or the scene would show
// through the item; the exact cyan around it must stay see-through.
TEST(PictureConversion, DitheringNeverPunchesSeeThroughHolesIntoAnItem) {
  const png::RgbaImage item = imageOf(32, 32, [](int x, int) {
    return x < 8 ? std::array<int, 4>{0, 255, 255, 255} : std::array<int, 4>{40, 200, 210, 255};
  });
  for (picture::Dither dither : {picture::Dither::ordered, picture::Dither::floyd}) {
    const t_Graphic plain = picture::plainFromImage(item, 1, dither, 1, 1);
    for (int i = 0; i < 32 * 32; ++i) {
      const bool cyan = i % 32 < 8;
      EXPECT_EQ(plain.Data[i] == picture::kTransparentIndex, cyan) << "pixel " << i;
    }
  }
}

TEST(PictureConversion, DitheringKeepsTheAverageBrightnessOfAGrey) {
  // mid grey: nearest colour alone makes it all one colour, dithering mixes
  const png::RgbaImage grey = imageOf(64, 64, [](int, int) {
    return std::array<int, 4>{128, 128, 128, 255};
  });
  auto whiteShare = [&](picture::Dither dither) {
    const t_Graphic plain = picture::plainFromImage(grey, 0, dither, 1, 1);
    int white = 0;
    for (std::uint8_t bit : plain.Data) white += bit;
    return double(white) / double(plain.Data.size());
  };
  EXPECT_EQ(whiteShare(picture::Dither::none), 1.0);
  EXPECT_NEAR(whiteShare(picture::Dither::floyd), 0.5, 0.05);
  EXPECT_NEAR(whiteShare(picture::Dither::ordered), 0.5, 0.07);
}

TEST(PictureConversion, EveryCodeOfAnImageReadsBackThroughTheStages) {
  const png::RgbaImage art = imageOf(21, 9, [](int x, int y) { return paletteRgba((x * y) % 16); });
  for (int code : picture::writableFormatCodes()) {
    const int plainFormat = picture::plainFormatOf(code);
    const t_Graphic plain = picture::plainFromImage(art, plainFormat, picture::Dither::none, 1, 1);
    const std::optional<t_Graphic> encoded = picture::encodePicture(plain, code);
    ASSERT_TRUE(encoded) << code;
    const t_Graphic loaded = picture::fromFileBytes(picture::fileBytes(*encoded));
    EXPECT_EQ(picture::decodeLayers(loaded).Data, plain.Data) << code;
  }
}

// The command line end to end: png-to-gr, then gr-draw into a PNG that shows
// the same pixels (scaled by the pixel aspect).
TEST(GrCommands, PngToGrAndGrDrawGiveBackThePicture) {
  const std::filesystem::path tool =
      std::filesystem::path(VELMORAT_BINARY_DIR) / "tools/velmorat-tool";
  VELMORAT_REQUIRE_BUILT(std::filesystem::exists(tool), "velmorat-tool");
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "velmorat_gr_commands";
  std::filesystem::create_directories(folder);
  Bytes rgb;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 36; ++x) {
      const auto& entry = Palette16[(x / 4 + y / 5) % 16];
      rgb.insert(rgb.end(), {entry.red, entry.green, entry.blue});
    }
  }
  ASSERT_TRUE(png::writeRgbFile((folder / "in.png").string(), 36, 20, rgb));
  const std::string quiet = " > " + (folder / "log.txt").string() + " 2>&1";
  const std::string convert = tool.string() + " png-to-gr " + (folder / "in.png").string() + " " +
                              (folder / "out.gr").string() + " --format 131 --pixel-aspect 21";
  ASSERT_EQ(std::system((convert + quiet).c_str()), 0);
  const std::string draw = tool.string() + " gr-draw " + (folder / "out.gr").string() + " " +
                           (folder / "drawn.png").string() + " --at 4,3";
  ASSERT_EQ(std::system((draw + quiet).c_str()), 0);
  std::string error;
  const std::optional<png::RgbaImage> drawn = png::readFile((folder / "drawn.png").string(), error);
  ASSERT_TRUE(drawn) << error;
  EXPECT_EQ(drawn->width, 72);   // the drawn size: 36 pixels, each 2 wide
  EXPECT_EQ(drawn->height, 32);  // 20 rows, at least 32
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 34; ++x) {
      const std::uint8_t* pixel = drawn->rgba.data() + 4 * ((y + 3) * 72 + 4 + x * 2);
      const std::uint8_t* original = rgb.data() + 3 * (y * 36 + x);
      ASSERT_EQ(pixel[0], original[0]) << x << "," << y;
      ASSERT_EQ(pixel[2], original[2]) << x << "," << y;
    }
  }
  std::filesystem::remove_all(folder);
}
