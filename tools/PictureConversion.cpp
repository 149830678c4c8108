#include "tools/PictureConversion.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "toolbox/core/Color.h"
#include "toolbox/graphics/PictureEncoder.h"
#include "toolbox/graphics/PictureFile.h"

namespace picture {

namespace {

constexpr int kOpaqueAlpha = 255;
constexpr int kHalfAlpha = 128;
constexpr int kBlackIndex = 0;
constexpr int kWhiteIndex = 15;
constexpr int kBayerSize = 4;
// Threshold offsets of the ordered dither, spread over about one step between
// neighbouring colours: black to white for 1 bit, half the channel range for
// the palette (whose channels take the values 0, 64, 84, 128, 168, 255).
constexpr std::array<int, kBayerSize* kBayerSize> kBayer4 = {0, 8,  2, 10, 12, 4, 14, 6,
                                                             3, 11, 1, 9,  15, 7, 13, 5};
constexpr float kOrderedSpreadOneBit = 255;
constexpr float kOrderedSpreadPalette = 128;

struct Rgb {
  float red, green, blue;
};

const std::uint8_t* pixelAt(const png::RgbaImage& image, std::size_t i) {
  return image.rgba.data() + 4 * i;
}

// avoidTransparent keeps a dithered pixel off colour 14: in an item picture
// it would punch a hole through which the scene shows.
int nearestIndex(const Rgb& colour, bool blackAndWhiteOnly, bool avoidTransparent) {
  int best = kBlackIndex;
  float bestDistance = INFINITY;
  for (int index = 0; index < static_cast<int>(Palette16.size()); ++index) {
    if (blackAndWhiteOnly && index != kBlackIndex && index != kWhiteIndex) continue;
    if (avoidTransparent && index == kTransparentIndex) continue;
    const PaletteEntry& entry = Palette16[index];
    const float dr = colour.red - entry.red;
    const float dg = colour.green - entry.green;
    const float db = colour.blue - entry.blue;
    const float distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = index;
    }
  }
  return best;
}

bool isTransparentColour(const std::uint8_t* p) {
  const PaletteEntry& clear = Palette16[kTransparentIndex];
  return p[0] == clear.red && p[1] == clear.green && p[2] == clear.blue;
}

// 1-bit (0 or 1) or 4-bit (palette index) pixels by nearest colour; the
// game's see-through colour 14 only where the picture has it exactly.
std::vector<std::uint8_t> palettePixels(const png::RgbaImage& image, bool oneBit, Dither dither) {
  const int width = image.width;
  const int height = image.height;
  std::vector<std::uint8_t> pixels(std::size_t(width) * height);
  // error diffusion keeps the error of this row and the next
  std::vector<Rgb> error(2 * std::size_t(width + 2), Rgb{0, 0, 0});
  for (int y = 0; y < height; ++y) {
    Rgb* current = error.data() + std::size_t(y % 2) * (width + 2) + 1;
    Rgb* next = error.data() + std::size_t((y + 1) % 2) * (width + 2) + 1;
    std::fill(next - 1, next + width + 1, Rgb{0, 0, 0});
    for (int x = 0; x < width; ++x) {
      const std::size_t i = std::size_t(y) * width + x;
      const std::uint8_t* p = pixelAt(image, i);
      if (p[3] < kHalfAlpha) {
        pixels[i] = oneBit ? 0 : kTransparentIndex;
        continue;
      }
      if (!oneBit && isTransparentColour(p)) {  // exact, whatever the dither
        pixels[i] = kTransparentIndex;
        continue;
      }
      Rgb wanted{float(p[0]), float(p[1]), float(p[2])};
      if (dither == Dither::floyd) {
        wanted = {wanted.red + current[x].red, wanted.green + current[x].green,
                  wanted.blue + current[x].blue};
      } else if (dither == Dither::ordered) {
        const float spread = oneBit ? kOrderedSpreadOneBit : kOrderedSpreadPalette;
        const float offset =
            ((float(kBayer4[(y % kBayerSize) * kBayerSize + x % kBayerSize]) + 0.5f) /
                 (kBayerSize * kBayerSize) -
             0.5f) *
            spread;
        wanted = {wanted.red + offset, wanted.green + offset, wanted.blue + offset};
      }
      const int index = nearestIndex(wanted, oneBit, !oneBit && dither != Dither::none);
      pixels[i] = static_cast<std::uint8_t>(oneBit ? (index == kWhiteIndex) : index);
      if (dither == Dither::floyd) {
        const PaletteEntry& chosen = Palette16[index];
        const Rgb e{wanted.red - chosen.red, wanted.green - chosen.green,
                    wanted.blue - chosen.blue};
        auto spread = [&e](Rgb& target, float share) {
          target.red += e.red * share;
          target.green += e.green * share;
          target.blue += e.blue * share;
        };
        spread(current[x + 1], 7.0f / 16);
        spread(next[x - 1], 3.0f / 16);
        spread(next[x], 5.0f / 16);
        spread(next[x + 1], 1.0f / 16);
      }
    }
  }
  return pixels;
}

bool isPaletteColour(const std::uint8_t* p, bool blackAndWhiteOnly) {
  for (int index = 0; index < static_cast<int>(Palette16.size()); ++index) {
    if (blackAndWhiteOnly && index != kBlackIndex && index != kWhiteIndex) continue;
    const PaletteEntry& entry = Palette16[index];
    if (p[0] == entry.red && p[1] == entry.green && p[2] == entry.blue) return true;
  }
  return false;
}

}  // namespace

std::optional<Dither> parseDither(const std::string& name) {
  if (name == "none") return Dither::none;
  if (name == "ordered") return Dither::ordered;
  if (name == "floyd") return Dither::floyd;
  return std::nullopt;
}

t_Graphic plainFromImage(const png::RgbaImage& image, int plainFormat, Dither dither,
                         int pixelWidth, int pixelHeight) {
  t_Graphic picture;
  picture.Format = plainFormat;
  picture.Width = image.width;
  picture.Height = image.height;
  picture.PixelWidth = pixelWidth;
  picture.PixelHeight = pixelHeight;
  if (plainFormat == kPlain1Bit || plainFormat == kPlain4Bit) {
    picture.Data = palettePixels(image, plainFormat == kPlain1Bit, dither);
    return picture;
  }
  const std::size_t pixels = std::size_t(image.width) * image.height;
  picture.Data.reserve(pixels * plainBytesPerPixel(plainFormat));
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::uint8_t* p = pixelAt(image, i);
    const std::uint8_t grey = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 3);
    switch (plainFormat) {
      case kPlainGrey:
        picture.Data.push_back(grey);
        break;
      case kPlainRgb:
        picture.Data.insert(picture.Data.end(), {p[0], p[1], p[2]});
        break;
      case kPlainAlphaGrey:
        picture.Data.insert(picture.Data.end(), {p[3], grey});
        break;
      default:  // kPlainArgb
        picture.Data.insert(picture.Data.end(), {p[3], p[0], p[1], p[2]});
        break;
    }
  }
  return picture;
}

bool keepsColours(const png::RgbaImage& image, int plainFormat) {
  const std::size_t pixels = std::size_t(image.width) * image.height;
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::uint8_t* p = pixelAt(image, i);
    const bool opaque = p[3] == kOpaqueAlpha;
    const bool grey = p[0] == p[1] && p[1] == p[2];
    bool kept = true;
    switch (plainFormat) {
      case kPlain1Bit:
        kept = opaque && isPaletteColour(p, true);
        break;
      case kPlain4Bit:
        kept = opaque && isPaletteColour(p, false);
        break;
      case kPlainGrey:
        kept = opaque && grey;
        break;
      case kPlainRgb:
        kept = opaque;
        break;
      case kPlainAlphaGrey:
        kept = grey;
        break;
      default:  // kPlainArgb keeps every colour
        break;
    }
    if (!kept) return false;
  }
  return true;
}

t_Graphic smallestEncoding(const png::RgbaImage& image, int pixelWidth, int pixelHeight) {
  std::optional<t_Graphic> best;
  std::array<std::optional<t_Graphic>, kPlainFormatCount> plains;
  std::array<bool, kPlainFormatCount> checked{};
  for (int code : writableFormatCodes()) {
    const int plainFormat = plainFormatOf(code);
    if (!checked[plainFormat]) {
      checked[plainFormat] = true;
      if (keepsColours(image, plainFormat)) {
        plains[plainFormat] =
            plainFromImage(image, plainFormat, Dither::none, pixelWidth, pixelHeight);
      }
    }
    if (!plains[plainFormat]) continue;
    std::optional<t_Graphic> encoded = encodePicture(*plains[plainFormat], code);
    if (encoded && (!best || encoded->Data.size() < best->Data.size())) best = std::move(encoded);
  }
  // kPlainArgb keeps every image, so there is always a best
  return *best;
}

}  // namespace picture
