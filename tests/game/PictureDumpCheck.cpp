// velmorat_picture_dump_check PICTURE.gr DUMP.png [X,Y,W,H BEFORE.gr]
//
// Tells whether a dump of the picture window (the PNG that velmorat writes with
// --dump-window 1) shows PICTURE.gr exactly as the script's DRAW statement
// draws it: at 0,0, scale 1, nothing transparent, on a 1280 x 800 window of 24
// bits. The reference is drawn by the toolbox itself, so a picture of any
// format (1-bit, 4-bit, grey, run-length, LZW) compares exactly; a stray item
// picture or a close-up left over at the end shows as differing pixels.
// With a region and BEFORE.gr only that region is compared, and BEFORE.gr
// must differ from PICTURE.gr inside it: the dump after a visible change of
// the world shows the changed picture where the change is.
// Exit status 0 when every pixel matches, 1 when not, 2 on bad arguments.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/fake/FakeHost.h"
#include "toolbox/core/Font.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/graphics/PictureFile.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowSetup.h"

namespace {

constexpr std::uint8_t kPictureWindow = 1;
constexpr int kPictureWidth = 1280;
constexpr int kPictureHeight = 800;
constexpr int kTrueColour = 24;
// Enough to name the first few differences without flooding the test log.
constexpr int kReportedDifferences = 5;

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bytes;  // width * height * 3
};

bool readPng(const std::string& path, RgbImage& image) {
  png_image header{};
  header.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&header, path.c_str())) {
    std::fprintf(stderr, "%s: not a readable PNG (%s)\n", path.c_str(), header.message);
    return false;
  }
  header.format = PNG_FORMAT_RGB;
  image.width = static_cast<int>(header.width);
  image.height = static_cast<int>(header.height);
  image.bytes.resize(PNG_IMAGE_SIZE(header));
  if (!png_image_finish_read(&header, nullptr, image.bytes.data(), 0, nullptr)) {
    std::fprintf(stderr, "%s: cannot decode (%s)\n", path.c_str(), header.message);
    return false;
  }
  return true;
}

// g_Scrn packs a 24-bit pixel with alpha in the lowest byte, then red, green, blue.
std::uint32_t rgbOf(std::uint32_t packed) {
  return ((packed >> 8) & 0xFF) << 16 | ((packed >> 16) & 0xFF) << 8 | ((packed >> 24) & 0xFF);
}

struct Region {
  int x = 0, y = 0, width = kPictureWidth, height = kPictureHeight;
};

bool parseRegion(const char* text, Region& region) {
  return std::sscanf(text, "%d,%d,%d,%d", &region.x, &region.y, &region.width, &region.height) ==
             4 &&
         region.x >= 0 && region.y >= 0 && region.width > 0 && region.height > 0 &&
         region.x + region.width <= kPictureWidth && region.y + region.height <= kPictureHeight;
}

// The picture as DRAW shows it, 0xRRGGBB per pixel, row by row.
std::vector<std::uint32_t> drawn(const char* path) {
  g_ClearScreen(kPictureWindow, 0, -1);
  g_Draw(kPictureWindow, g_LoadGraphic(std::string(path)), 0, 0, 1, -1);
  std::vector<std::uint32_t> pixels;
  pixels.reserve(static_cast<std::size_t>(kPictureWidth) * kPictureHeight);
  for (int y = 0; y < kPictureHeight; ++y) {
    for (int x = 0; x < kPictureWidth; ++x) pixels.push_back(rgbOf(g_Scrn(kPictureWindow, x, y)));
  }
  return pixels;
}

}  // namespace

int main(int argc, char** argv) {
  Region region;
  if ((argc != 3 && argc != 5) || (argc == 5 && !parseRegion(argv[3], region))) {
    std::fprintf(stderr,
                 "usage: velmorat_picture_dump_check PICTURE.gr DUMP.png [X,Y,W,H BEFORE.gr]\n");
    return 2;
  }
  RgbImage dump;
  if (!readPng(argv[2], dump)) return 1;
  if (dump.width != kPictureWidth || dump.height != kPictureHeight) {
    std::fprintf(stderr, "%s: %d x %d, expected %d x %d\n", argv[2], dump.width, dump.height,
                 kPictureWidth, kPictureHeight);
    return 1;
  }

  static host::FakeHost screenless;
  host::install(&screenless);
  t_InitWindow(kPictureWindow, kTrueColour, false, kPictureWidth, kPictureHeight, 0, 0, emptyFont(),
               true);
  const std::vector<std::uint32_t> expected = drawn(argv[1]);
  const std::vector<std::uint32_t> before = argc == 5 ? drawn(argv[4]) : expected;

  int differences = 0;
  int changed = 0;
  for (int y = region.y; y < region.y + region.height; ++y) {
    for (int x = region.x; x < region.x + region.width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * kPictureWidth + x;
      const std::uint8_t* pixel = &dump.bytes[i * 3];
      std::uint32_t shown = static_cast<std::uint32_t>(pixel[0]) << 16 | pixel[1] << 8 | pixel[2];
      changed += before[i] != expected[i];
      if (shown == expected[i]) continue;
      if (differences < kReportedDifferences)
        std::fprintf(stderr, "pixel %d,%d: dump #%06X, picture #%06X\n", x, y, shown, expected[i]);
      ++differences;
    }
  }
  stopRefreshProcess();  // t_InitWindow started it; it must not outlive the host
  if (differences > 0) {
    std::fprintf(stderr, "%d of %d pixels differ from %s\n", differences,
                 region.width * region.height, argv[1]);
    return 1;
  }
  if (argc == 5 && changed == 0) {
    std::fprintf(stderr, "%s and %s are the same in %s\n", argv[4], argv[1], argv[3]);
    return 1;
  }
  std::printf("the picture window shows %s\n", argv[1]);
  return 0;
}
