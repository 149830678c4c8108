// Picture and codec commands: lzw-pack, lzw-unpack, rle-decode, gr-info,
// gr-decode, gr-draw and png-to-gr.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "adventure/DataFile.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/graphics/Lzw.h"
#include "toolbox/graphics/PictureEncoder.h"
#include "toolbox/graphics/PictureFile.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/graphics/RunLength.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowManagement.h"
#include "toolbox/windows/WindowSetup.h"
#include "tools/PictureConversion.h"
#include "tools/Png.h"
#include "tools/ToolCommand.h"
#include "tools/ToolFiles.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kDrawWindow = 0;
constexpr int kMinDrawSide = 32;    // the smallest window t_InitWindow sets up
constexpr int kMaxDrawSide = 8192;  // the largest

// The picture in path; nothing, after a message on standard error, when the
// file cannot be read or holds no picture.
std::optional<t_Graphic> readPicture(const std::string& path) {
  const std::optional<Bytes> bytes = toolfiles::readInputFile(path);
  if (!bytes) return std::nullopt;
  if (const char* fault = picture::fileBytesFault(*bytes)) {
    std::fprintf(stderr, "%s: no .gr picture (%s)\n", path.c_str(), fault);
    return std::nullopt;
  }
  return picture::fromFileBytes(*bytes);
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

std::optional<std::pair<int, int>> parsePair(const std::string& text, char separator) {
  const std::size_t at = text.find(separator);
  if (at == std::string::npos) return std::nullopt;
  const std::optional<long> first = parseNumber(text.substr(0, at));
  const std::optional<long> second = parseNumber(text.substr(at + 1));
  if (!first || !second) return std::nullopt;
  return std::pair<int, int>(int(*first), int(*second));
}

// A validator for options of two numbers ("WxH", "X,Y").
CLI::Validator pairOf(char separator, const std::string& form) {
  return CLI::Validator(
      [separator, form](const std::string& text) {
        return parsePair(text, separator) ? std::string() : "wants " + form + ", not " + text;
      },
      form);
}

// The input file and the output file of most commands.
struct InOut {
  std::string in;
  std::string out;
  void declare(CLI::App& command, const std::string& inName, const std::string& outName) {
    command.add_option(inName, in, "input file")->required();
    command.add_option(outName, out, "output file")->required();
  }
};

// --- lzw-pack, lzw-unpack, rle-decode ------------------------------------------

class LzwPack final : public ToolCommand {
 public:
  LzwPack()
      : ToolCommand("lzw-pack", "write an LZW stored block",
                    "Writes IN as an LZW stored block (width byte, codes most significant bit "
                    "first).") {}
  void declare(CLI::App& command) override { files_.declare(command, "IN", "OUT"); }
  int run() override {
    const std::optional<Bytes> input = toolfiles::readInputFile(files_.in);
    if (!input) return 1;
    const Bytes block = lzw::packStoredBlock(*input);
    std::printf("%zu bytes -> %zu bytes, code width %d\n", input->size(), block.size(), block[0]);
    return toolfiles::writeOutputFile(files_.out, block) ? 0 : 1;
  }

 private:
  InOut files_;
};

class LzwUnpack final : public ToolCommand {
 public:
  LzwUnpack()
      : ToolCommand("lzw-unpack", "read an LZW stored block",
                    "Decodes the LZW stored block IN into OUT (at most 64 MiB, the bound of "
                    "data files).") {}
  void declare(CLI::App& command) override { files_.declare(command, "IN", "OUT"); }
  int run() override {
    const std::optional<Bytes> input = toolfiles::readInputFile(files_.in);
    if (!input) return 1;
    // Blocks of data files are the largest the game reads; one byte beyond their
    // bound tells a block that fills it from a longer one.
    const Bytes bytes = lzw::unpackStoredBlock(*input, kMaxScriptBytes + 1);
    if (bytes.size() > kMaxScriptBytes) {
      std::fprintf(stderr, "%s: decodes to more than %zu bytes\n", files_.in.c_str(),
                   kMaxScriptBytes);
      return 1;
    }
    if (bytes.empty() && input->size() > 1) {
      std::fprintf(stderr, "%s: not a valid LZW block\n", files_.in.c_str());
      return 1;
    }
    return toolfiles::writeOutputFile(files_.out, bytes) ? 0 : 1;
  }

 private:
  InOut files_;
};

class RleDecode final : public ToolCommand {
 public:
  RleDecode()
      : ToolCommand("rle-decode", "expand a run-length stream",
                    "Expands the run-length stream IN with units of U bytes (1..4: "
                    "rletobinary8/16/24/32).") {}
  void declare(CLI::App& command) override {
    command.add_option("--unit", unit_, "bytes of one unit")->required()->check(CLI::Range(1, 4));
    files_.declare(command, "IN", "OUT");
  }
  int run() override {
    const std::optional<Bytes> input = toolfiles::readInputFile(files_.in);
    if (!input) return 1;
    const Bytes output = unit_ == 1   ? rletobinary8(*input)
                         : unit_ == 2 ? rletobinary16(*input)
                         : unit_ == 3 ? rletobinary24(*input)
                                      : rletobinary32(*input);
    return toolfiles::writeOutputFile(files_.out, output) ? 0 : 1;
  }

 private:
  int unit_ = 1;
  InOut files_;
};

// --- gr-info, gr-decode ---------------------------------------------------------

class GrInfo final : public ToolCommand {
 public:
  GrInfo()
      : ToolCommand("gr-info", "print a picture's header",
                    "Prints the header fields of a .gr picture, one 'Name: value' a line.") {}
  void declare(CLI::App& command) override {
    command.add_option("FILE", file_, "picture file")->required();
  }
  int run() override {
    const std::optional<t_Graphic> read = readPicture(file_);
    if (!read) return 1;
    const t_Graphic& picture = *read;
    const std::string identifier(picture.Identifier.begin(), picture.Identifier.end());
    std::printf(
        "HeaderSize: %d\nIdentifier: %s\nFormat: %d\nSize: %lld\nWidth: %d\nHeight: %d\n"
        "PixelWidth: %d\nPixelHeight: %d\nReserved: %d\nDataBytes: %zu\n",
        picture.HeaderSize, identifier.c_str(), picture.Format,
        static_cast<long long>(picture.Size), picture.Width, picture.Height, picture.PixelWidth,
        picture.PixelHeight, picture.Reserved, picture.Data.size());
    return 0;
  }

 private:
  std::string file_;
};

class GrDecode final : public ToolCommand {
 public:
  GrDecode()
      : ToolCommand("gr-decode", "decode a picture's pixel data",
                    "Runs the LZW, run-length and unpacking stages and writes the final pixel "
                    "data;\nprints 'Format: N' (0..5 for plain pixels).") {}
  void declare(CLI::App& command) override { files_.declare(command, "FILE", "OUT"); }
  int run() override {
    std::optional<t_Graphic> read = readPicture(files_.in);
    if (!read) return 1;
    const t_Graphic picture = g_UnPack(g_UnPackRLE(g_UnPackLZW(std::move(*read))));
    std::printf("Format: %d\n", picture.Format);
    return toolfiles::writeOutputFile(files_.out, picture.Data) ? 0 : 1;
  }

 private:
  InOut files_;
};

// --- gr-draw --------------------------------------------------------------------

class GrDraw final : public ToolCommand {
 public:
  GrDraw()
      : ToolCommand(
            "gr-draw", "draw a picture into a PNG",
            "Draws the picture with g_Draw into window 0 (depth 1, 4, 8, 16, 24 or 32, default "
            "24;\nsize default the picture's drawn size, at least 32x32) cleared to palette "
            "colour C\n(default 0), at X,Y (default 0,0), scale S (default 1), palette index T "
            "transparent\n(default -1: none), and writes the window's image as an 8-bit RGB "
            "PNG.") {}
  void declare(CLI::App& command) override {
    files_.declare(command, "FILE", "OUT.png");
    command.add_option("--depth", depth_, "bits per pixel");
    command.add_option("--size", size_, "window size")->check(pairOf('x', "WxH"));
    command.add_option("--at", at_, "where the picture's corner goes")->check(pairOf(',', "X,Y"));
    command.add_option("--scale", scale_, "scale factor")->check(CLI::Range(0, 255));
    command.add_option("--transparent", transparent_, "palette index left out");
    command.add_option("--clear", clear_, "palette colour of the window");
  }
  int run() override {
    const std::optional<t_Graphic> read = readPicture(files_.in);
    if (!read) return 1;
    const t_Graphic& picture = *read;
    auto drawnSide = [&](int pixels, int pixelSize) {
      const long long side =
          (long long)std::max(pixels, 0) * (pixelSize == 0 ? 16 : pixelSize) * scale_;
      return int(std::clamp<long long>(side, kMinDrawSide, kMaxDrawSide));
    };
    const auto size = parsePair(size_, 'x');
    const auto at = parsePair(at_, ',');
    const int width = size ? size->first : drawnSide(picture.Width, picture.PixelWidth);
    const int height = size ? size->second : drawnSide(picture.Height, picture.PixelHeight);
    t_InitWindow(kDrawWindow, depth_, false, width, height, 0, 0, t_Font{}, false);
    if (!windowRecord(kDrawWindow).Initialized) {
      std::fprintf(stderr, "gr-draw: window could not be set up (see the log)\n");
      return 1;
    }
    t_WindowVisible(kDrawWindow, true);
    g_ClearScreen(kDrawWindow, clear_, 0);
    g_Draw(kDrawWindow, picture, at->first, at->second, std::uint8_t(scale_), transparent_);
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
    if (!png::writeRgbFile(files_.out, image.width, image.height, rgb)) {
      std::fprintf(stderr, "cannot write %s\n", files_.out.c_str());
      return 1;
    }
    return 0;
  }

 private:
  InOut files_;
  int depth_ = 24;
  std::string size_;  // empty: the picture's drawn size
  std::string at_ = "0,0";
  int scale_ = 1;
  int transparent_ = -1;
  int clear_ = 0;
};

// --- png-to-gr ------------------------------------------------------------------

class PngToGr final : public ToolCommand {
 public:
  PngToGr()
      : ToolCommand(
            "png-to-gr", "make a picture from a PNG",
            R"(Writes the PNG as a picture in format CODE: plain 0-5, packed 10 11 14 15, run-length
20-25 30 31 34 35, and each of them LZW compressed (+100). 'auto' picks the smallest
file among the codes that keep every colour. 1-bit and 4-bit targets map colours to the
16-colour palette by the nearest colour (none, the default: flat art stays exact), an
ordered dither or Floyd-Steinberg error diffusion; pixels with alpha below 128 become
index 14 (the game's transparent colour) in 4-bit pictures, as do pixels of exactly its
cyan, and a dithered pixel never does. --pixel-aspect is the header byte in two hex
digits, PixelWidth then PixelHeight (default 11; 0 stands for 16).)") {}
  void declare(CLI::App& command) override {
    files_.declare(command, "IN.png", "OUT.gr");
    command.add_option("--format", format_, "format code, or auto")->required();
    command.add_option("--pixel-aspect", aspect_, "header byte in two hex digits")
        ->check(CLI::Validator(
            [](const std::string& text) {
              return text.size() == 2 && parseNumber(text, 16) ? std::string()
                                                               : "wants two hex digits";
            },
            "HW"));
    command.add_option("--dither", dither_, "none, ordered or floyd")
        ->check(CLI::IsMember({"none", "ordered", "floyd"}));
  }
  int run() override {
    const bool automatic = format_ == "auto";
    const std::optional<long> code = parseNumber(format_);
    if (!automatic && (!code || picture::plainFormatOf(int(*code)) < 0)) {
      std::fprintf(stderr, "png-to-gr: format %s cannot be written\n", format_.c_str());
      return commandline::kUsageStatus;
    }
    std::string error;
    const std::optional<png::RgbaImage> image = png::readFile(files_.in, error);
    if (!image) {
      std::fprintf(stderr, "png-to-gr: %s\n", error.c_str());
      return 1;
    }
    if (image->width > 0xFFFF || image->height > 0xFFFF) {
      std::fprintf(stderr, "png-to-gr: pictures are at most 65535 pixels wide and high\n");
      return 1;
    }
    const int aspect = int(*parseNumber(aspect_, 16));
    const int pixelWidth = aspect >> 4;
    const int pixelHeight = aspect & 0x0F;
    std::optional<t_Graphic> encoded;
    if (automatic) {
      encoded = picture::smallestEncoding(*image, pixelWidth, pixelHeight);
    } else {
      const t_Graphic plain =
          picture::plainFromImage(*image, picture::plainFormatOf(int(*code)),
                                  *picture::parseDither(dither_), pixelWidth, pixelHeight);
      encoded = picture::encodePicture(plain, int(*code));
      if (!encoded) {
        std::fprintf(stderr, "png-to-gr: format %ld needs one alpha value for all pixels\n", *code);
        return 1;
      }
    }
    const Bytes file = picture::fileBytes(*encoded);
    std::printf("Format: %d\nBytes: %zu\n", encoded->Format, file.size());
    return toolfiles::writeOutputFile(files_.out, file) ? 0 : 1;
  }

 private:
  InOut files_;
  std::string format_;
  std::string aspect_ = "11";
  std::string dither_ = "none";
};

LzwPack lzwPack;
LzwUnpack lzwUnpack;
RleDecode rleDecode;
GrInfo grInfo;
GrDecode grDecode;
GrDraw grDraw;
PngToGr pngToGr;

}  // namespace
