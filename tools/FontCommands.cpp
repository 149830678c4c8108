// font-build, font-info and font-sheet: making the game's .font files from a
// TrueType face, and looking at them.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/windows/WindowSetup.h"
#include "tools/FontSymbols.h"
#include "tools/Png.h"
#include "tools/ToolCommand.h"
#include "tools/ToolFiles.h"

namespace {

constexpr int kCodeCount = 256;
constexpr int kDefaultCellWidth = 16;
constexpr int kDefaultCellHeight = 32;
constexpr int kMaxCellSide = 255;  // one header byte each
constexpr int kMinCellSide = 4;
constexpr int kSheetColumns = 16;
constexpr int kMaxSheetScale = 8;
constexpr int kRowsAboveTallestGlyph = 1;
constexpr int kFirstControlPicture = 0x2400;      // U+2400 SYMBOL FOR NULL
constexpr FT_Pos kEmboldenStrength = 64;          // 1 pixel in 26.6 fixed point
constexpr std::uint8_t kSheetColourLight = 0xF0;  // white on black
constexpr std::uint8_t kSheetColourDark = 0xF5;   // white on dark grey: cell edges show
constexpr std::uint8_t kSheetWindow = 0;

// Latin-1 codes the face provides (the rest are the program's own).
bool isFaceCode(int code) {
  return (code >= 32 && code <= 126) || code >= 160;
}

struct CellSize {
  int width = kDefaultCellWidth;
  int height = kDefaultCellHeight;
};

std::optional<CellSize> parseCellSize(const std::string& text) {
  int width = 0;
  int height = 0;
  char separator = 0;
  if (std::sscanf(text.c_str(), "%d%c%d", &width, &separator, &height) != 3 || separator != 'x' ||
      width < kMinCellSide || height < kMinCellSide || width > kMaxCellSide ||
      height > kMaxCellSide) {
    return std::nullopt;
  }
  return CellSize{width, height};
}

struct FreeTypeFace {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~FreeTypeFace() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

// Loads and renders the glyph of a Unicode character; false when the face has none.
bool renderCharacter(FT_Face face, FT_ULong character, bool embolden) {
  const FT_UInt index = FT_Get_Char_Index(face, character);
  if (index == 0) return false;
  if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0) return false;
  if (embolden && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
    FT_Outline_Embolden(&face->glyph->outline, kEmboldenStrength);
  }
  return FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0 &&
         face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
}

// Scales the face so that the advance of a monospaced glyph fills the cell width.
bool scaleToCellWidth(FT_Face face, int cellWidth) {
  if (FT_Load_Char(face, 'M', FT_LOAD_NO_SCALE) != 0 || face->glyph->advance.x <= 0) return false;
  const double emPixels = double(cellWidth) * face->units_per_EM / double(face->glyph->advance.x);
  return FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(emPixels * 64)), 72, 72) ==
         0;
}

// Latin-1 letters and digits: the glyphs whose accents and descenders the
// baseline must make room for (a bar or a bracket may reach further and is cut).
bool isLetterOrDigit(int code) {
  return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
         (code >= 'a' && code <= 'z') || (code >= 0xC0 && code != 0xD7 && code != 0xF7);
}

// The common baseline: the highest top and the lowest bottom of the letters
// share the cell. Spare rows are split evenly, but the first goes above the
// tallest letter, so that the dots of Ä do not touch a descender of the line
// above.
int findBaseline(FT_Face face, int cellHeight, bool embolden) {
  int highest = 0;
  int lowest = 0;
  for (int code = 0; code < kCodeCount; ++code) {
    if (!isLetterOrDigit(code) || !renderCharacter(face, code, embolden)) continue;
    const FT_GlyphSlot glyph = face->glyph;
    if (glyph->bitmap.rows == 0) continue;
    highest = std::max(highest, glyph->bitmap_top);
    lowest = std::max(lowest, static_cast<int>(glyph->bitmap.rows) - glyph->bitmap_top);
  }
  const int spare = cellHeight - (highest + lowest);
  const int rowsAbove = spare <= 0 ? 0 : std::max(kRowsAboveTallestGlyph, spare / 2);
  return highest + rowsAbove;
}

// Copies the rendered bitmap into the cell at the pen position (0, baseline),
// clipped; returns whether any inked pixel fell outside the cell.
bool placeBitmap(const FT_GlyphSlot glyph, fontsymbols::Cell& cell, int baseline) {
  bool clipped = false;
  const FT_Bitmap& bitmap = glyph->bitmap;
  const int left = glyph->bitmap_left;
  // A glyph that reaches below the cell (the underscore) moves up as far as
  // the room above it allows, rather than losing its stroke.
  const int overshoot = baseline - glyph->bitmap_top + static_cast<int>(bitmap.rows) - cell.height;
  const int top = baseline - glyph->bitmap_top -
                  std::clamp(overshoot, 0, std::max(0, baseline - glyph->bitmap_top));
  for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
    const int y = top + row;
    for (int column = 0; column < static_cast<int>(bitmap.width); ++column) {
      const int x = left + column;
      const std::uint8_t coverage = bitmap.buffer[row * bitmap.pitch + column];
      if (x < 0 || x >= cell.width || y < 0 || y >= cell.height) {
        clipped = clipped || coverage != 0;
        continue;
      }
      cell.at(x, y) = coverage;
    }
  }
  return clipped;
}

// The cell of code; clipped tells whether the face's glyph did not fit.
fontsymbols::Cell buildCell(FT_Face face, int code, CellSize size, int baseline, bool bold,
                            bool embolden, bool& clipped) {
  fontsymbols::Cell cell(size.width, size.height);
  clipped = false;
  if (code >= fontsymbols::kFirstSymbol && code <= fontsymbols::kLastSymbol) {
    fontsymbols::drawSymbol(cell, code, bold);
  } else if (isFaceCode(code)) {
    if (renderCharacter(face, code, embolden)) clipped = placeBitmap(face->glyph, cell, baseline);
  } else if (renderCharacter(face, kFirstControlPicture + code, embolden)) {
    clipped = placeBitmap(face->glyph, cell, baseline);
  } else {
    fontsymbols::drawControlMark(cell, bold);
  }
  return cell;
}

// The font in the file; bytes keeps the file's bytes for a caller that shows them.
std::optional<t_Font> readFont(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::optional<std::vector<std::uint8_t>> read = toolfiles::readNonEmptyInputFile(path);
  if (!read) return std::nullopt;
  bytes = std::move(*read);
  return glyphs::fontFromBytes(bytes, path);
}

int buildFont(const std::string& facePath, const std::string& outPath, bool bold, CellSize size) {
  FreeTypeFace freeType;
  if (FT_Init_FreeType(&freeType.library) != 0 ||
      FT_New_Face(freeType.library, facePath.c_str(), 0, &freeType.face) != 0) {
    std::fprintf(stderr, "%s: not a face FreeType can read\n", facePath.c_str());
    return 1;
  }
  FT_Face face = freeType.face;
  if (!scaleToCellWidth(face, size.width)) {
    std::fprintf(stderr, "%s: the face cannot be scaled to the cell\n", facePath.c_str());
    return 1;
  }
  // A face that is bold already is not thickened again.
  const bool embolden = bold && !(face->style_flags & FT_STYLE_FLAG_BOLD);
  const int baseline = findBaseline(face, size.height, embolden);
  t_Font font;
  font.Format = kFontFormatGrey;
  font.Start = 0;
  font.End = kCodeCount - 1;
  font.Width = size.width;
  font.Height = size.height;
  std::string clippedCodes;
  for (int code = 0; code < kCodeCount; ++code) {
    bool clipped = false;
    const fontsymbols::Cell cell = buildCell(face, code, size, baseline, bold, embolden, clipped);
    if (clipped) clippedCodes += " " + std::to_string(code);
    font.Data.insert(font.Data.end(), cell.coverage.begin(), cell.coverage.end());
  }
  // A glyph wider than the cell loses its edges; say which, so the author can look.
  if (!clippedCodes.empty()) std::printf("glyphs cut at the cell edge:%s\n", clippedCodes.c_str());
  font.Size = static_cast<std::int64_t>(font.Data.size());
  if (!toolfiles::writeOutputFile(outPath, glyphs::fontToBytes(font))) return 1;
  std::printf("%s: %dx%d cells, baseline at row %d, %zu glyph bytes\n", outPath.c_str(), size.width,
              size.height, baseline, font.Data.size());
  return 0;
}

int showFontInfo(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  const std::optional<t_Font> font = readFont(path, bytes);
  if (!font) return 1;
  const std::size_t needed = (std::size_t(font->End) + 1) * font->Width * font->Height;
  std::printf("File:        %s (%zu bytes)\n", path.c_str(), bytes.size());
  std::printf("HeaderSize:  %d\n", font->HeaderSize);
  std::printf("Identifier:  %.4s\n", reinterpret_cast<const char*>(font->Identifier.data()));
  std::printf("Format:      %d stored, %d loaded\n", bytes.size() > 5 ? bytes[5] : 0, font->Format);
  std::printf("Size:        %lld\n", static_cast<long long>(font->Size));
  std::printf("Start, End:  %d, %d\n", font->Start, font->End);
  std::printf("Cell:        %d x %d pixels\n", font->Width, font->Height);
  std::printf("Reserved:    %d\n", font->Reserved);
  std::printf("Data:        %zu bytes (glyphs up to End need %zu)\n", font->Data.size(), needed);
  return font->hasData() ? 0 : 1;
}

// Every glyph, drawn by the toolbox's own renderer into a window of the
// screenless host, so the sheet shows what the game will show.
int drawFontSheet(const std::string& path, const std::string& outPath, int scale) {
  std::vector<std::uint8_t> bytes;
  const std::optional<t_Font> font = readFont(path, bytes);
  if (!font || !font->hasData() || font->Width < 1 || font->Height < 1) {
    std::fprintf(stderr, "%s: no glyphs to draw\n", path.c_str());
    return 1;
  }
  const int width = kSheetColumns * font->Width;
  const int height = kSheetColumns * font->Height;
  t_InitWindow(kSheetWindow, 24, false, width, height, 0, 0, *font, true);
  const t_Window& window = windowRecord(kSheetWindow);
  if (!window.Initialized || window.Width != width || window.Height != height) {
    std::fprintf(stderr, "%s: the sheet window could not be set up\n", path.c_str());
    return 1;
  }
  for (int code = 0; code < kCodeCount; ++code) {
    const int column = code % kSheetColumns + 1;
    const int line = code / kSheetColumns + 1;
    t_PrintSymbol(kSheetWindow, static_cast<std::uint8_t>(code),
                  (column + line) % 2 == 0 ? kSheetColourLight : kSheetColourDark, column, line);
  }
  const std::uint8_t* pixels = VideoMemory + window.MemoryStart;
  std::vector<std::uint8_t> rgb(std::size_t(width) * scale * height * scale * 3);
  for (int y = 0; y < height * scale; ++y) {
    for (int x = 0; x < width * scale; ++x) {
      const std::uint8_t* source = pixels + (std::size_t(y / scale) * width + x / scale) * 3;
      std::copy_n(source, 3, rgb.begin() + (std::size_t(y) * width * scale + x) * 3);
    }
  }
  if (!png::writeRgbFile(outPath, width * scale, height * scale, rgb)) {
    std::fprintf(stderr, "%s: cannot write the picture\n", outPath.c_str());
    return 1;
  }
  return 0;
}

class FontBuild final : public ToolCommand {
 public:
  FontBuild()
      : ToolCommand(
            "font-build", "render a TrueType face into a .font file",
            "Renders codes 32-126 and 160-255 of the face as Latin-1, scaled so that its\n"
            "advance fills the cell width, on one baseline; draws codes 127-159 (lines,\n"
            "corners, arrows, bullet) and marks for 0-31 itself. --bold thickens the\n"
            "drawn symbols (and the face, unless it is bold already). Cell 16x32 by default.") {}
  void declare(CLI::App& command) override {
    command.add_option("TTF", face_, "TrueType face")->required();
    command.add_option("OUT.font", out_, "font file to write")->required();
    command.add_flag("--bold", bold_, "thicken the glyphs");
    command.add_option("--cell", cell_, "cell size")
        ->check(CLI::Validator(
            [](const std::string& text) {
              return parseCellSize(text)
                         ? std::string()
                         : "wants WIDTHxHEIGHT, " + std::to_string(kMinCellSide) + " to " +
                               std::to_string(kMaxCellSide) + " pixels each";
            },
            "WIDTHxHEIGHT"));
  }
  int run() override { return buildFont(face_, out_, bold_, *parseCellSize(cell_)); }

 private:
  std::string face_;
  std::string out_;
  bool bold_ = false;
  std::string cell_ = std::to_string(kDefaultCellWidth) + "x" + std::to_string(kDefaultCellHeight);
};

class FontInfo final : public ToolCommand {
 public:
  FontInfo()
      : ToolCommand("font-info", "print the header of a .font file",
                    "Prints the header fields and the size of the glyph data.") {}
  void declare(CLI::App& command) override {
    command.add_option("FILE", file_, "font file")->required();
  }
  int run() override { return showFontInfo(file_); }

 private:
  std::string file_;
};

class FontSheet final : public ToolCommand {
 public:
  FontSheet()
      : ToolCommand("font-sheet", "draw all 256 glyphs of a .font file into a PNG",
                    "Draws codes 0-255 on a 16x16 sheet (row = high nibble) with the text\n"
                    "renderer, white on alternating black and grey cells; --scale enlarges it.") {}
  void declare(CLI::App& command) override {
    command.add_option("FILE", file_, "font file")->required();
    command.add_option("OUT.png", out_, "picture to write")->required();
    command.add_option("--scale", scale_, "enlargement")->check(CLI::Range(1, kMaxSheetScale));
  }
  int run() override { return drawFontSheet(file_, out_, scale_); }

 private:
  std::string file_;
  std::string out_;
  int scale_ = 1;
};

FontBuild fontBuild;
FontInfo fontInfo;
FontSheet fontSheet;

}  // namespace
