// Picture and codec commands: lzw-pack, lzw-unpack, rle-decode, gr-info,
// gr-decode, gr-draw and png-to-gr.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "adventure/DataFile.h"
#include "toolbox/graphics/Lzw.h"
#include "toolbox/graphics/PictureEncoder.h"
#include "toolbox/graphics/PictureFile.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/graphics/RunLength.h"
#include "toolbox/text/VideoMemory.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowManagement.h"
#include "tools/PictureConversion.h"
#include "tools/Png.h"
#include "tools/ToolCommand.h"
#include "tools/ToolFiles.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kDrawWindow = 0;
constexpr int kMinDrawSide = 32;    // the smallest window t_InitWindow sets up
constexpr int kMaxDrawSide = 8192;  // the largest
constexpr int kDefaultPixelAspect = 0x11;

std::optional<Bytes> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return std::nullopt;
  }
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every number option ends up in an int; a value beyond that range is refused
// rather than wrapped (--at 4294967296,0 must not draw at 0).
std::optional<long> parseNumber(const std::string& text, int base = 10) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, base);
  if (text.empty() || *end != '\0' || errno == ERANGE) return std::nullopt;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
    return std::nullopt;
  }
  return value;
}

// Splits "--name value" options from positional arguments; false on an
// unknown option or one without its value.
bool splitArguments(const std::vector<std::string>& args, const std::vector<std::string>& names,
                    std::vector<std::string>& positional,
                    std::vector<std::pair<std::string, std::string>>& options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i].rfind("--", 0) != 0) {
      positional.push_back(args[i]);
      continue;
    }
    if (std::find(names.begin(), names.end(), args[i]) == names.end() || i + 1 >= args.size()) {
      std::fprintf(stderr, "unknown option or missing value: %s\n", args[i].c_str());
      return false;
    }
    options.emplace_back(args[i], args[i + 1]);
    ++i;
  }
  return true;
}

int usageError(const char* usage) {
  std::fprintf(stderr, "usage: %s\n", usage);
  return 2;
}

// --- lzw-pack, lzw-unpack, rle-decode ------------------------------------------

constexpr const char* kLzwPackUsage =
    "lzw-pack IN OUT\n"
    "  Writes IN as an LZW stored block (width byte, codes most significant bit first).";
constexpr const char* kLzwUnpackUsage =
    "lzw-unpack IN OUT\n"
    "  Decodes the LZW stored block IN into OUT (at most 64 MiB, the bound of data files).";
constexpr const char* kRleDecodeUsage =
    "rle-decode --unit U IN OUT\n"
    "  Expands the run-length stream IN with units of U bytes (1..4: rletobinary8/16/24/32).";

int lzwPack(const std::vector<std::string>& args) {
  if (args.size() != 2) return usageError(kLzwPackUsage);
  const std::optional<Bytes> input = readFile(args[0]);
  if (!input) return 1;
  const Bytes block = lzw::packStoredBlock(*input);
  std::printf("%zu bytes -> %zu bytes, code width %d\n", input->size(), block.size(), block[0]);
  return toolfiles::writeOutputFile(args[1], block) ? 0 : 1;
}

int lzwUnpack(const std::vector<std::string>& args) {
  if (args.size() != 2) return usageError(kLzwUnpackUsage);
  const std::optional<Bytes> input = readFile(args[0]);
  if (!input) return 1;
  // Blocks of data files are the largest the game reads; one byte beyond their
  // bound tells a block that fills it from a longer one.
  const Bytes bytes = lzw::unpackStoredBlock(*input, kMaxScriptBytes + 1);
  if (bytes.size() > kMaxScriptBytes) {
    std::fprintf(stderr, "%s: decodes to more than %zu bytes\n", args[0].c_str(), kMaxScriptBytes);
    return 1;
  }
  if (bytes.empty() && input->size() > 1) {
    std::fprintf(stderr, "%s: not a valid LZW block\n", args[0].c_str());
    return 1;
  }
  return toolfiles::writeOutputFile(args[1], bytes) ? 0 : 1;
}

int rleDecode(const std::vector<std::string>& args) {
  std::vector<std::string> paths;
  std::vector<std::pair<std::string, std::string>> options;
  if (!splitArguments(args, {"--unit"}, paths, options) || paths.size() != 2 ||
      options.size() != 1) {
    return usageError(kRleDecodeUsage);
  }
  const std::optional<long> unit = parseNumber(options[0].second);
  if (!unit || *unit < 1 || *unit > 4) return usageError(kRleDecodeUsage);
  const std::optional<Bytes> input = readFile(paths[0]);
  if (!input) return 1;
  const Bytes output = *unit == 1   ? rletobinary8(*input)
                       : *unit == 2 ? rletobinary16(*input)
                       : *unit == 3 ? rletobinary24(*input)
                                    : rletobinary32(*input);
  return toolfiles::writeOutputFile(paths[1], output) ? 0 : 1;
}

// --- gr-info, gr-decode ---------------------------------------------------------

constexpr const char* kGrInfoUsage =
    "gr-info FILE\n"
    "  Prints the header fields of a .gr picture, one 'Name: value' a line.";
constexpr const char* kGrDecodeUsage =
    "gr-decode FILE OUT\n"
    "  Runs the LZW, run-length and unpacking stages and writes the final pixel data;\n"
    "  prints 'Format: N' (0..5 for plain pixels).";

int grInfo(const std::vector<std::string>& args) {
  if (args.size() != 1) return usageError(kGrInfoUsage);
  const t_Graphic picture = g_LoadGraphic(args[0]);
  const std::string identifier(picture.Identifier.begin(), picture.Identifier.end());
  std::printf(
      "HeaderSize: %d\nIdentifier: %s\nFormat: %d\nSize: %lld\nWidth: %d\nHeight: %d\n"
      "PixelWidth: %d\nPixelHeight: %d\nReserved: %d\nDataBytes: %zu\n",
      picture.HeaderSize, identifier.c_str(), picture.Format, static_cast<long long>(picture.Size),
      picture.Width, picture.Height, picture.PixelWidth, picture.PixelHeight, picture.Reserved,
      picture.Data.size());
  return 0;
}

int grDecode(const std::vector<std::string>& args) {
  if (args.size() != 2) return usageError(kGrDecodeUsage);
  const t_Graphic picture = g_UnPack(g_UnPackRLE(g_UnPackLZW(g_LoadGraphic(args[0]))));
  std::printf("Format: %d\n", picture.Format);
  return toolfiles::writeOutputFile(args[1], picture.Data) ? 0 : 1;
}

// --- gr-draw --------------------------------------------------------------------

constexpr const char* kGrDrawUsage =
    "gr-draw FILE OUT.png [--depth D] [--size WxH] [--at X,Y] [--scale S] [--transparent T]\n"
    "        [--clear C]\n"
    "  Draws the picture with g_Draw into window 0 (depth 1, 4, 8, 16, 24 or 32, default 24;\n"
    "  size default the picture's drawn size, at least 32x32) cleared to palette colour C\n"
    "  (default 0), at X,Y (default 0,0), scale S (default 1), palette index T transparent\n"
    "  (default -1: none), and writes the window's image as an 8-bit RGB PNG.";

struct DrawRequest {
  int depth = 24;
  std::optional<std::pair<int, int>> size;
  int x = 0;
  int y = 0;
  int scale = 1;
  int transparent = -1;
  int clear = 0;
};

std::optional<std::pair<int, int>> parsePair(const std::string& text, char separator) {
  const std::size_t at = text.find(separator);
  if (at == std::string::npos) return std::nullopt;
  const std::optional<long> first = parseNumber(text.substr(0, at));
  const std::optional<long> second = parseNumber(text.substr(at + 1));
  if (!first || !second) return std::nullopt;
  return std::pair<int, int>(int(*first), int(*second));
}

std::optional<DrawRequest> parseDrawOptions(
    const std::vector<std::pair<std::string, std::string>>& options) {
  DrawRequest request;
  for (const auto& [name, value] : options) {
    std::optional<long> number = parseNumber(value);
    if (name == "--size") {
      request.size = parsePair(value, 'x');
      if (!request.size) return std::nullopt;
    } else if (name == "--at") {
      const auto at = parsePair(value, ',');
      if (!at) return std::nullopt;
      request.x = at->first;
      request.y = at->second;
    } else if (!number) {
      return std::nullopt;
    } else if (name == "--depth") {
      request.depth = int(*number);
    } else if (name == "--scale") {
      if (*number < 0 || *number > 255) return std::nullopt;
      request.scale = int(*number);
    } else if (name == "--transparent") {
      request.transparent = int(*number);
    } else {
      request.clear = int(*number);
    }
  }
  return request;
}

int grDraw(const std::vector<std::string>& args) {
  std::vector<std::string> paths;
  std::vector<std::pair<std::string, std::string>> options;
  if (!splitArguments(args, {"--depth", "--size", "--at", "--scale", "--transparent", "--clear"},
                      paths, options) ||
      paths.size() != 2) {
    return usageError(kGrDrawUsage);
  }
  const std::optional<DrawRequest> request = parseDrawOptions(options);
  if (!request) return usageError(kGrDrawUsage);
  const t_Graphic picture = g_LoadGraphic(paths[0]);
  auto drawnSide = [&](int pixels, int pixelSize) {
    const long long side =
        (long long)std::max(pixels, 0) * (pixelSize == 0 ? 16 : pixelSize) * request->scale;
    return int(std::clamp<long long>(side, kMinDrawSide, kMaxDrawSide));
  };
  const int width =
      request->size ? request->size->first : drawnSide(picture.Width, picture.PixelWidth);
  const int height =
      request->size ? request->size->second : drawnSide(picture.Height, picture.PixelHeight);
  t_InitWindow(kDrawWindow, request->depth, false, width, height, 0, 0, t_Font{}, false);
  if (!WindowTable[kDrawWindow].Initialized) {
    std::fprintf(stderr, "gr-draw: window could not be set up (see the log)\n");
    return 1;
  }
  t_WindowVisible(kDrawWindow, true);
  g_ClearScreen(kDrawWindow, request->clear, 0);
  g_Draw(kDrawWindow, picture, request->x, request->y, std::uint8_t(request->scale),
         request->transparent);
  const host::ArgbImage image = t_WindowImage(kDrawWindow);
  if (image.width == 0) {
    std::fprintf(stderr, "gr-draw: the window gave no image (see the log)\n");
    return 1;
  }
  Bytes rgb;
  rgb.reserve(std::size_t(image.width) * image.height * 3);
  for (std::size_t i = 0; i < image.bytes.size(); i += 4) {
    rgb.insert(rgb.end(), image.bytes.begin() + i + 1, image.bytes.begin() + i + 4);
  }
  if (!png::writeRgbFile(paths[1], image.width, image.height, rgb)) {
    std::fprintf(stderr, "cannot write %s\n", paths[1].c_str());
    return 1;
  }
  return 0;
}

// --- png-to-gr ------------------------------------------------------------------

constexpr const char* kPngToGrUsage =
    "png-to-gr IN.png OUT.gr --format CODE|auto [--pixel-aspect HW] [--dither none|ordered|floyd]\n"
    "  Writes the PNG as a picture in format CODE: plain 0-5, packed 10 11 14 15, run-length\n"
    "  20-25 30 31 34 35, and each of them LZW compressed (+100). 'auto' picks the smallest\n"
    "  file among the codes that keep every colour. 1-bit and 4-bit targets map colours to the\n"
    "  16-colour palette by the nearest colour (none, the default: flat art stays exact), an\n"
    "  ordered dither or Floyd-Steinberg error diffusion; pixels with alpha below 128 become\n"
    "  index 14 (the game's transparent colour) in 4-bit pictures, as do pixels of exactly its\n"
    "  cyan, and a dithered pixel never does. --pixel-aspect is the header\n"
    "  byte in two hex digits, PixelWidth then PixelHeight (default 11; 0 stands for 16).";

int pngToGr(const std::vector<std::string>& args) {
  std::vector<std::string> paths;
  std::vector<std::pair<std::string, std::string>> options;
  if (!splitArguments(args, {"--format", "--pixel-aspect", "--dither"}, paths, options) ||
      paths.size() != 2) {
    return usageError(kPngToGrUsage);
  }
  std::optional<int> code;
  bool automatic = false;
  int aspect = kDefaultPixelAspect;
  picture::Dither dither = picture::Dither::none;
  for (const auto& [name, value] : options) {
    if (name == "--format") {
      automatic = value == "auto";
      const std::optional<long> number = parseNumber(value);
      if (!automatic && (!number || picture::plainFormatOf(int(*number)) < 0)) {
        std::fprintf(stderr, "png-to-gr: format %s cannot be written\n", value.c_str());
        return 2;
      }
      if (number) code = int(*number);
    } else if (name == "--pixel-aspect") {
      const std::optional<long> byte = parseNumber(value, 16);
      if (value.size() != 2 || !byte) return usageError(kPngToGrUsage);
      aspect = int(*byte);
    } else {
      const std::optional<picture::Dither> parsed = picture::parseDither(value);
      if (!parsed) return usageError(kPngToGrUsage);
      dither = *parsed;
    }
  }
  if (!code && !automatic) return usageError(kPngToGrUsage);
  std::string error;
  const std::optional<png::RgbaImage> image = png::readFile(paths[0], error);
  if (!image) {
    std::fprintf(stderr, "png-to-gr: %s\n", error.c_str());
    return 1;
  }
  if (image->width > 0xFFFF || image->height > 0xFFFF) {
    std::fprintf(stderr, "png-to-gr: pictures are at most 65535 pixels wide and high\n");
    return 1;
  }
  const int pixelWidth = aspect >> 4;
  const int pixelHeight = aspect & 0x0F;
  std::optional<t_Graphic> encoded;
  if (automatic) {
    encoded = picture::smallestEncoding(*image, pixelWidth, pixelHeight);
  } else {
    const t_Graphic plain = picture::plainFromImage(*image, picture::plainFormatOf(*code), dither,
                                                    pixelWidth, pixelHeight);
    encoded = picture::encodePicture(plain, *code);
    if (!encoded) {
      std::fprintf(stderr, "png-to-gr: format %d needs one alpha value for all pixels\n", *code);
      return 1;
    }
  }
  const Bytes file = picture::fileBytes(*encoded);
  std::printf("Format: %d\nBytes: %zu\n", encoded->Format, file.size());
  return toolfiles::writeOutputFile(paths[1], file) ? 0 : 1;
}

const ToolCommandRegistration kLzwPack({"lzw-pack", "write an LZW stored block", kLzwPackUsage,
                                        lzwPack});
const ToolCommandRegistration kLzwUnpack({"lzw-unpack", "read an LZW stored block", kLzwUnpackUsage,
                                          lzwUnpack});
const ToolCommandRegistration kRleDecode({"rle-decode", "expand a run-length stream",
                                          kRleDecodeUsage, rleDecode});
const ToolCommandRegistration kGrInfo({"gr-info", "print a picture's header", kGrInfoUsage,
                                       grInfo});
const ToolCommandRegistration kGrDecode({"gr-decode", "decode a picture's pixel data",
                                         kGrDecodeUsage, grDecode});
const ToolCommandRegistration kGrDraw({"gr-draw", "draw a picture into a PNG", kGrDrawUsage,
                                       grDraw});
const ToolCommandRegistration kPngToGr({"png-to-gr", "make a picture from a PNG", kPngToGrUsage,
                                        pngToGr});

}  // namespace
