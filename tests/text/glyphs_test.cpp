#include <gtest/gtest.h>

#include "graphics/LogCapture.h"
#include "text/TextWindowFixture.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/TextOutput.h"

using namespace texttest;

namespace {

std::vector<std::uint8_t> fontFile(const t_Font& font) {
  return glyphs::fontToBytes(font);
}

const std::uint8_t* cellPixels(int x, int y, int bytesPerPixel, std::uint8_t window = 0) {
  const t_Window& w = windowRecord(window);
  return VideoMemory + w.MemoryStart + (std::int64_t(y) * w.Width + x) * bytesPerPixel;
}

TEST(FontFile, RoundTripsThroughTheCompressedFormat) {
  const t_Font font = makeTestFont(8, 8);
  const std::vector<std::uint8_t> bytes = fontFile(font);
  EXPECT_EQ(bytes[5], 102);
  const t_Font loaded = glyphs::fontFromBytes(bytes, "x.font");
  EXPECT_EQ(loaded.Format, 2);
  EXPECT_EQ(loaded.Width, 8);
  EXPECT_EQ(loaded.Height, 8);
  EXPECT_EQ(loaded.End, 255);
  EXPECT_EQ(loaded.Data, font.Data);
}

TEST(FontFile, RejectsBrokenHeadersWithoutData) {
  LogCapture log;
  EXPECT_FALSE(glyphs::fontFromBytes({}, "leer.font").hasData());
  // 13 bytes: the Height byte is missing.
  std::vector<std::uint8_t> shortHeader = {13, 'q', 'b', 'f', 'n', 2, 0, 0, 0, 0, 0, 255, 8};
  EXPECT_FALSE(glyphs::fontFromBytes(shortHeader, "a").hasData());
  // HeaderSize 200 in a file of 20 bytes.
  std::vector<std::uint8_t> beyond = fontFile(makeTestFont(8, 8));
  beyond.resize(20);
  beyond[0] = 200;
  const t_Font longHeader = glyphs::fontFromBytes(beyond, "b");
  EXPECT_FALSE(longHeader.hasData());
  EXPECT_EQ(longHeader.HeaderSize, 200);
  std::vector<std::uint8_t> picture = fontFile(makeTestFont(8, 8));
  std::copy_n("qbgr", 4, picture.begin() + 1);
  const t_Font notFont = glyphs::fontFromBytes(picture, "c");
  EXPECT_FALSE(notFont.hasData());
  EXPECT_EQ(notFont.Identifier[3], 'r');
  EXPECT_EQ(log.text(),
            "t_LoadFontResource: Could not load file \u201Eleer.font\u201C\n"
            "t_LoadFontResource: Invalid header size\n"
            "t_LoadFontResource: Invalid header size\n"
            "t_LoadFontResource: Invalid file type\n");
}

TEST(FontFile, CompressedFormatWithoutDataLoadsAsGreyWithoutData) {
  t_Font empty = makeTestFont(8, 8);
  empty.Data.clear();
  const t_Font loaded = glyphs::fontFromBytes(fontFile(empty), "d");
  EXPECT_EQ(loaded.Format, 2);
  EXPECT_FALSE(loaded.hasData());
}

TEST(FontFile, MissingResourceLogsTheGermanQuotes) {
  LogCapture log;
  EXPECT_FALSE(t_LoadFontResource("nirgends 16x32.font").hasData());
  EXPECT_NE(
      log.text().find("t_LoadFontResource: Could not load file \u201Enirgends 16x32.font\u201C\n"),
      std::string::npos);
}

class PrintSymbol : public TextWindowTest {};

TEST_F(PrintSymbol, FullCoverageIsInkAndNoneIsPaperAtEveryDepth) {
  for (int depth : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(depth);
    setUpTextWindow(0, depth, 8, 4);
    t_PrintSymbol(0, 'A', 0xF0, 1, 1);  // white on black
    const t_Window& w = windowRecord(0);
    const std::uint8_t* row = VideoMemory + w.MemoryStart;
    switch (depth) {
      case 1:
        EXPECT_EQ(row[0] & 0xC0, 0x80);
        break;
      case 4:
        EXPECT_EQ(row[0], 0xF0);
        break;
      case 8:
        EXPECT_EQ(row[0], 255);
        EXPECT_EQ(row[1], 0);
        break;
      case 16:
        EXPECT_EQ(row[1], 255);
        EXPECT_EQ(row[3], 0);
        break;
      case 24:
        EXPECT_EQ(pixel24(0, 0), (std::array<int, 3>{255, 255, 255}));
        EXPECT_EQ(pixel24(1, 0), (std::array<int, 3>{0, 0, 0}));
        break;
      case 32:
        EXPECT_EQ(row[0], 255);  // alpha untouched by the glyph
        EXPECT_EQ(row[1], 255);
        EXPECT_EQ(row[5], 0);
        break;
    }
  }
}

TEST_F(PrintSymbol, EightBitsBlendGreysOfInkAndPaper) {
  setUpTextWindow(0, 8, 8, 4);
  t_PrintSymbol(0, 'A', 0xC0, 1, 1);  // green ink, grey 85
  const std::uint8_t* row = cellPixels(0, 0, 1);
  EXPECT_EQ(row[0], 85);
  EXPECT_EQ(row[1], 0);
  EXPECT_EQ(row[2], (128 * 85) / 255);
}

TEST_F(PrintSymbol, OneBitSetsPixelsFromHalfCoverageOn) {
  setUpTextWindow(0, 1, 8, 4);
  const t_Window& w = windowRecord(0);
  const auto byteAt = [&](int byte, int row) {
    return VideoMemory[w.MemoryStart + row * (w.Width / 8) + byte];
  };
  t_PrintSymbol(0, 127, 0xF0, 1, 1);
  // pixels 0, 1, 2 have coverage 255, 0, 128; the rest 127 (just below half)
  EXPECT_EQ(byteAt(0, 0), 0xA0);
  EXPECT_EQ(byteAt(0, 1), 0);
  t_PrintSymbol(0, 128, 0xF0, 2, 1);
  EXPECT_EQ(byteAt(1, 1), 0xFF);
}

TEST_F(PrintSymbol, FourBitsKeepTheNeighbourNibble) {
  setUpTextWindow(0, 4, 8, 4);
  const t_Window& w = windowRecord(0);
  VideoMemory[w.MemoryStart] = 0x00;
  t_PrintSymbol(0, 255, 0x1E, 1, 1);  // red ink on cyan paper
  EXPECT_EQ(VideoMemory[w.MemoryStart], 0x1E);
}

TEST_F(PrintSymbol, InverseSwapsColoursAndRecordsThemSwapped) {
  w().TextInverse = true;
  t_PrintSymbol(0, 'A', 0xC0, 1, 1);
  EXPECT_EQ(pixel24(0, 0), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(pixel24(1, 0), (std::array<int, 3>{0, 255, 0}));
  EXPECT_EQ(colourAt(1, 1), 0x0C);
}

TEST_F(PrintSymbol, CodeOutsideTheFontChangesOnlyTheTextPlane) {
  setUpTextWindow(0, 24, 10, 6);
  w().Font.End = 'Z';
  t_PrintSymbol(0, 'A', 0xF0, 1, 1);
  const auto before = pixel24(3, 3);
  t_PrintSymbol(0, 'a', 0x10, 1, 1);
  EXPECT_EQ(screenLine(1)[0], 'a');
  EXPECT_EQ(colourAt(1, 1), 0x10);
  EXPECT_EQ(pixel24(3, 3), before);
}

TEST(PrintSymbolGeometry, LastCellOfTheGameWindowIsLegalAndOneBeyondIsNot) {
  setUpTextWindow(0, 24, 78, 24, 16, 32);
  t_PrintSymbol(0, 'A', 0xF0, 78, 24);
  EXPECT_EQ(pixel24(1232, 736), (std::array<int, 3>{255, 255, 255}));
  EXPECT_EQ(screenLine(24)[77], 'A');
  LogCapture log;
  t_PrintSymbol(0, 'A', 0xF0, 79, 24);
  t_PrintSymbol(0, 'A', 0xF0, 0, 1);
  EXPECT_EQ(log.text(),
            "t_PrintSymbol: Window #0 illegal coordinates (x = 79, y = 24).\n"
            "t_PrintSymbol: Window #0 illegal coordinates (x = 0, y = 1).\n");
}

TEST_F(PrintSymbol, ShortGlyphDataDrawsNothingAndLogsOncePerFont) {
  w().Font.Data.resize(std::size_t(8) * 8 * 66);  // glyphs 0..65 only
  LogCapture log;
  t_PrintSymbol(0, 'A', 0xF0, 1, 1);
  t_PrintSymbol(0, 'B', 0xF0, 2, 1);
  t_PrintSymbol(0, 'C', 0xF0, 3, 1);
  EXPECT_EQ(pixel24(0, 0), (std::array<int, 3>{255, 255, 255}));
  EXPECT_EQ(pixel24(8, 0), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(screenLine(1).substr(0, 3), "ABC");
  const std::string text = log.text();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
}

// A font with smaller cells given later must not write past the text block,
// whose geometry is that of the first font.
TEST_F(PrintSymbol, SmallerFontLaterStaysInsideTheTextBlock) {
  t_WindowFont(0, makeTestFont(4, 4));
  LogCapture log;
  t_PrintSymbol(0, 'A', 0xF0, kColumns + 1, kLines);
  EXPECT_NE(log.text().find("illegal coordinates"), std::string::npos);
}

TEST(PrintSymbolFonts, CellLargerThanTheWindowGivesNoTextBlock) {
  host::install(&fakeHost());
  AutoUpdateRunning = true;
  resetVideoMemoryForTesting();
  LogCapture log;
  t_InitWindow(0, 24, false, 64, 64, 0, 0, makeTestFont(100, 100), true);
  t_PrintSymbol(0, 'A', 0xF0, 1, 1);
  EXPECT_LT(windowRecord(0).TextMemoryStart, 0);
  EXPECT_NE(log.text().find("t_PrintSymbol: Window #0 not initialized."), std::string::npos);
}

TEST_F(PrintSymbol, NonGreyFormatsRecordTheCellButDrawNothing) {
  LogCapture log;
  w().Font.Format = 0;
  t_PrintSymbol(0, 'A', 0xF0, 1, 1);
  w().Font.Format = 7;
  t_PrintSymbol(0, 'B', 0xF0, 2, 1);
  EXPECT_EQ(screenLine(1).substr(0, 2), "AB");
  EXPECT_EQ(pixel24(0, 0), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(log.text(),
            "t_PrintSymbol: Font format must be uncompressed grey for text-printing.\n"
            "t_PrintSymbol: Illegal font format.\n");
}

}  // namespace
