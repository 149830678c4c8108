#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "PictureRecord.h"
#include "toolbox/graphics/DecodeLimits.h"
#include "toolbox/graphics/Lzw.h"
#include "toolbox/graphics/PictureEncoder.h"
#include "toolbox/graphics/PictureFile.h"

using Bytes = std::vector<std::uint8_t>;

namespace {

std::string writeFile(const std::string& name, const Bytes& bytes) {
  const std::string path = testing::TempDir() + "/" + name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path;
}

Bytes header(int format, std::uint32_t size, int width, int height, int aspect = 0x11) {
  return Bytes{16,
               'q',
               'b',
               'g',
               'r',
               std::uint8_t(format),
               std::uint8_t(size >> 24),
               std::uint8_t(size >> 16),
               std::uint8_t(size >> 8),
               std::uint8_t(size),
               std::uint8_t(width >> 8),
               std::uint8_t(width),
               std::uint8_t(height >> 8),
               std::uint8_t(height),
               std::uint8_t(aspect),
               7};
}

Bytes withData(Bytes file, const Bytes& data) {
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

t_Graphic decoded(const t_Graphic& picture) {
  return g_UnPack(g_UnPackRLE(g_UnPackLZW(picture)));
}

// A plain picture whose values use every bit that its format keeps; alpha is
// shared by all pixels when sharedAlpha (as 14 and 15 need).
t_Graphic plainPicture(int format, int width, int height, bool sharedAlpha, unsigned seed) {
  std::mt19937 random(seed);
  t_Graphic picture = pictureRecord(format, width, height);
  picture.PixelWidth = 1;
  picture.PixelHeight = 2;
  const int bytesPerPixel = picture::plainBytesPerPixel(format);
  for (int i = 0; i < width * height; ++i) {
    // runs of equal pixels, so that run-length layers have work to do
    const bool repeat = i > 0 && random() % 3 != 0;
    for (int b = 0; b < bytesPerPixel; ++b) {
      std::uint8_t value = repeat ? picture.Data[picture.Data.size() - bytesPerPixel]
                                  : static_cast<std::uint8_t>(random());
      if (format == 0) value &= 1;
      if (format == 1) value &= 0x0F;
      if (b == 0 && sharedAlpha && (format == 4 || format == 5)) value = 0x80;
      picture.Data.push_back(value);
    }
  }
  return picture;
}

}  // namespace

TEST(PictureFormatCodes, EveryLayerCombinationIsWritableWithItsRunLengthUnit) {
  const std::vector<int> codes(picture::writableFormatCodes().begin(),
                               picture::writableFormatCodes().end());
  EXPECT_EQ(codes,
            (std::vector<int>{0,   1,   2,   3,   4,   5,   10,  11,  14,  15,  20,  21,  22,  23,
                              24,  25,  30,  31,  34,  35,  100, 101, 102, 103, 104, 105, 110, 111,
                              114, 115, 120, 121, 122, 123, 124, 125, 130, 131, 134, 135}));
  // the unit of a run-length layer around codes 0..5, 10, 11, 14, 15; none elsewhere
  const std::map<int, int> units = {{0, 1}, {1, 1},  {2, 1},  {3, 3},  {4, 2},
                                    {5, 4}, {10, 1}, {11, 1}, {14, 2}, {15, 4}};
  for (int inner = -1; inner <= 40; ++inner) {
    const auto unit = units.find(inner);
    EXPECT_EQ(picture::runLengthUnitBytes(inner), unit == units.end() ? 0 : unit->second) << inner;
  }
}

TEST(PictureFile, MissingFileGivesTheErrorRecord) {
  LogCapture log;
  const t_Graphic picture = g_LoadGraphic(testing::TempDir() + "/no such picture.gr");
  const std::string text = log.text();
  EXPECT_NE(text.find("getbinaryfromfile: Error #"), std::string::npos);
  EXPECT_NE(text.find("g_LoadGraphic: Could not load file\n"), std::string::npos);
  EXPECT_EQ(picture.HeaderSize, 16);
  EXPECT_EQ(picture.Identifier, (std::array<std::uint8_t, 4>{'q', 'b', 'g', 'r'}));
  EXPECT_EQ(picture.Format, 0);
  EXPECT_TRUE(picture.Data.empty());
}

TEST(PictureFile, HeaderErrorsAreLoggedAndGiveEmptyPictures) {
  LogCapture log;
  Bytes longHeader(20, 0);
  longHeader[0] = 32;
  EXPECT_EQ(picture::fromFileBytes(longHeader).HeaderSize, 32);
  const t_Graphic wrongType =
      picture::fromFileBytes(Bytes{16, 'a', 'b', 'c', 'd', 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(wrongType.Identifier, (std::array<std::uint8_t, 4>{'a', 'b', 'c', 'd'}));
  EXPECT_EQ(wrongType.Format, 0);
  // a header size of 2 passes the size test, but the identifier is cut off
  EXPECT_EQ(picture::fromFileBytes(Bytes{2, 'q', 'b'}).Identifier,
            (std::array<std::uint8_t, 4>{'q', 'b', 0, 0}));
  EXPECT_EQ(log.text(),
            "g_LoadGraphic: Invalid header size\ng_LoadGraphic: Invalid file type\n"
            "g_LoadGraphic: Invalid file type\n");
}

TEST(PictureFile, ReadsTheHeaderFieldsBigEndian) {
  const t_Graphic picture = g_LoadGraphic(
      writeFile("fields.gr", withData(header(23, 0x01020304, 0x0140, 0x00C8, 0x21), Bytes{1, 2})));
  EXPECT_EQ(picture.Format, 23);
  EXPECT_EQ(picture.Size, 0x01020304);
  EXPECT_EQ(picture.Width, 320);
  EXPECT_EQ(picture.Height, 200);
  EXPECT_EQ(picture.PixelWidth, 2);
  EXPECT_EQ(picture.PixelHeight, 1);
  EXPECT_EQ(picture.Reserved, 7);
  EXPECT_EQ(picture.Data, (Bytes{1, 2}));
  EXPECT_TRUE(picture::fromFileBytes(header(3, 0, 1, 1)).Data.empty());
  EXPECT_EQ(picture::fromFileBytes(header(3, 0, 1, 1, 0x00)).PixelWidth, 0);
}

TEST(PictureFile, ShortFileReadsMissingFieldsAsZero) {
  Bytes file = header(5, 0xFFFFFFFF, 300, 300);
  file[0] = 11;
  file.resize(11);  // Width's second byte is missing
  const t_Graphic picture = picture::fromFileBytes(file);
  EXPECT_EQ(picture.Size, 0xFFFFFFFF);
  EXPECT_EQ(picture.Width, 0);
  EXPECT_EQ(picture.Height, 0);
}

TEST(PictureFile, OldCodesAreConvertedWithALogLine) {
  LogCapture log;
  EXPECT_EQ(picture::fromFileBytes(header(201, 0, 1, 1)).Format, 31);
  EXPECT_EQ(picture::fromFileBytes(header(31, 0, 1, 1)).Format, 31);
  EXPECT_EQ(picture::fromFileBytes(header(200, 0, 1, 1)).Format, 30);
  EXPECT_EQ(log.text(),
            "g_LoadGraphic: File converted from old format.\n"
            "g_LoadGraphic: File converted from old format.\n");
}

TEST(PictureFile, PackedRowsStartOnNewBytes) {
  t_Graphic picture = pictureRecord(10, 10, 2, {0b10110011, 0b01111111, 0b00000001, 0b10000000});
  EXPECT_EQ(g_UnPack(picture).Data,
            (Bytes{1, 0, 1, 1, 0, 0, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0}));
  picture.Format = 11;
  picture.Width = 3;
  picture.Data = {0x12, 0x3F, 0x45, 0x6F};
  const t_Graphic nibbles = g_UnPack(picture);
  EXPECT_EQ(nibbles.Format, 1);
  EXPECT_EQ(nibbles.Data, (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST(PictureFile, SharedAlphaIsSpreadAndLogged) {
  t_Graphic picture = pictureRecord(14, 3, 1, {0x80, 10, 20, 30});
  picture.Size = 3;
  LogCapture log;
  const t_Graphic grey = g_UnPack(picture);
  EXPECT_EQ(grey.Format, 4);
  EXPECT_EQ(grey.Data, (Bytes{0x80, 10, 0x80, 20, 0x80, 30}));
  picture.Format = 15;
  picture.Size = 1;
  picture.Data = {0x0A, 1, 2, 3};
  EXPECT_EQ(g_UnPack(picture).Data, (Bytes{0x0A, 1, 2, 3}));
  EXPECT_EQ(log.text(), "g_UnPack: Transparency = 80\ng_UnPack: Transparency = 0A\n");
}

// Pixels with no input behind them would be zeros that g_Draw never needs:
// the output ends with the last pixel the data holds, a partly held one
// filled up with zeros.
TEST(PictureFile, SharedAlphaSpreadsOnlyThePixelsTheDataHolds) {
  t_Graphic picture = pictureRecord(15, 3, 1, {0x0A, 1, 2, 3, 4});
  picture.Size = 3;
  LogCapture log;
  EXPECT_EQ(g_UnPack(picture).Data, (Bytes{0x0A, 1, 2, 3, 0x0A, 4, 0, 0}));
  picture.Data.clear();
  const t_Graphic empty = g_UnPack(picture);
  EXPECT_EQ(empty.Format, 5);
  EXPECT_TRUE(empty.Data.empty());
  EXPECT_EQ(log.text(),
            "g_UnPack: Transparency = 0A\ng_UnPack: Size 3 limited to 2 pixels.\n"
            "g_UnPack: Transparency = 00\ng_UnPack: Size 3 limited to 0 pixels.\n");
}

// The file of the audit: 34 bytes, format 34, Size 134,217,768 and 10320 x 43520
// pixels made the stages write 268 MB of zeros.
TEST(PictureFileHostile, ThirtyFourByteFileStaysSmall) {
  const Bytes stream{0x55, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  Bytes file = withData(header(34, 134'217'768, 10320, 43520), Bytes{0xFF});
  file.insert(file.end(), stream.begin(), stream.end());
  ASSERT_EQ(file.size(), 34u);
  LogCapture log;
  const t_Graphic picture = decoded(picture::fromFileBytes(file));
  EXPECT_EQ(picture.Format, 4);
  EXPECT_LE(picture.Data.size(), 2u * file.size());
}

TEST(PictureFile, LayersPeelInOrderDownToPlainPixels) {
  const t_Graphic grey = pictureRecord(
      4, 4, 2, {0x80, 1, 0x80, 1, 0x80, 1, 0x80, 1, 0x80, 2, 0x80, 2, 0x80, 2, 0x80, 9});
  const t_Graphic stored = *picture::encodePicture(grey, 134);
  LogCapture log;
  const t_Graphic rle = g_UnPackLZW(stored);
  EXPECT_EQ(rle.Format, 34);
  const t_Graphic packed = g_UnPackRLE(rle);
  EXPECT_EQ(packed.Format, 14);
  const t_Graphic plain = g_UnPack(packed);
  EXPECT_EQ(plain.Format, 4);
  EXPECT_EQ(plain.Data, grey.Data);
  for (int passing : {106, 112, 26, 33, 12, 13, 99}) {
    t_Graphic other;
    other.Format = passing;
    other.Data = {1, 2, 3};
    EXPECT_EQ(decoded(other).Format, passing);
    EXPECT_EQ(decoded(other).Data, other.Data);
  }
  t_Graphic empty;
  empty.Format = 35;
  EXPECT_EQ(g_UnPackRLE(empty).Format, 0);
}

TEST(PictureFile, EveryWritableCodeRoundTripsThroughTheFile) {
  for (int code : picture::writableFormatCodes()) {
    const int plainFormat = picture::plainFormatOf(code);
    const bool sharedAlpha = code % 100 == 14 || code % 100 == 15 || code % 100 >= 34;
    // odd width: packed rows end inside a byte
    const t_Graphic plain = plainPicture(plainFormat, 13, 7, sharedAlpha, unsigned(code));
    const std::optional<t_Graphic> encoded = picture::encodePicture(plain, code);
    ASSERT_TRUE(encoded) << "code " << code;
    LogCapture log;
    const t_Graphic loaded = g_LoadGraphic(
        writeFile("code" + std::to_string(code) + ".gr", picture::fileBytes(*encoded)));
    EXPECT_EQ(loaded.Format, code);
    const t_Graphic result = decoded(loaded);
    EXPECT_EQ(result.Format, plainFormat) << "code " << code;
    EXPECT_EQ(result.Data, plain.Data) << "code " << code;
    EXPECT_EQ(result.PixelHeight, 2);
    const std::string text = log.text();
    EXPECT_EQ(text.find("rletobinary"), std::string::npos) << text;
  }
}

TEST(PictureFile, EncoderRefusesWhatItsCodeCannotHold) {
  t_Graphic mixedAlpha = plainPicture(5, 4, 4, false, 1);
  mixedAlpha.Data[0] = 1;
  mixedAlpha.Data[4] = 2;
  EXPECT_FALSE(picture::encodePicture(mixedAlpha, 15));
  EXPECT_TRUE(picture::encodePicture(mixedAlpha, 125));
  EXPECT_FALSE(picture::encodePicture(plainPicture(3, 4, 4, false, 1), 121));
  EXPECT_FALSE(picture::encodePicture(plainPicture(3, 4, 4, false, 1), 200));
}

// Hostile inputs: small files whose fields ask for enormous output.

TEST(PictureFileHostile, HugeRunCountIsBoundedByThePicture) {
  // a 241 run of 4 G three-byte units into a 4 x 4 picture
  const Bytes stream{0, 0, 0, 0, 0, 0, 0xF1, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 7, 7, 7};
  LogCapture log;
  const t_Graphic picture = decoded(picture::fromFileBytes(withData(header(23, 0, 4, 4), stream)));
  EXPECT_EQ(picture.Data.size(), 4u * 4 * 3);
  EXPECT_NE(log.text().find("rletobinary24: Output exceeds 48 Bytes, decoding stopped."),
            std::string::npos);
}

TEST(PictureFileHostile, SmallFileWithHugeSizeAndCount) {
  // format 35: alpha, then a 241 run of 4 G units; Size says 4 G pixels
  const Bytes data{0xAA, 0, 0, 0, 0, 0, 0, 0, 0, 0xF1, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4};
  const t_Graphic loaded =
      picture::fromFileBytes(withData(header(35, 0xFFFFFFFF, 1000, 1000), data));
  LogCapture log;
  const t_Graphic rle = g_UnPackRLE(loaded);
  EXPECT_EQ(rle.Data.size(), 1u + 3'000'000);
  const t_Graphic plain = g_UnPack(rle);
  EXPECT_EQ(plain.Data.size(), 4'000'000u);
  EXPECT_NE(log.text().find("g_UnPack: Size 4.294.967.295 limited to 1.000.000 pixels."),
            std::string::npos);
}

TEST(PictureFileHostile, SizeBeyondWidthTimesHeightIsCut) {
  t_Graphic picture = pictureRecord(15, 2, 2, Bytes(1 + 3 * 6, 9));
  picture.Size = 0xFFFFFFFF;
  LogCapture log;
  EXPECT_EQ(g_UnPack(picture).Data.size(), 16u);
  EXPECT_NE(log.text().find("limited to 4 pixels."), std::string::npos);
}

TEST(PictureFileHostile, LzwLayerIsBoundedByThePicture) {
  // a 2 x 2 grey picture whose LZW block decodes to megabytes
  std::vector<LzwCode> codes{65};
  for (LzwCode code = 256; code < 2256; ++code) codes.push_back(code);
  Bytes block{12};
  const Bytes packed = codestobits(codes, 12);
  block.insert(block.end(), packed.begin(), packed.end());
  t_Graphic picture = picture::fromFileBytes(withData(header(102, 0, 2, 2), block));
  LogCapture log;
  EXPECT_EQ(decoded(picture).Data, Bytes(4, 'A'));
  EXPECT_NE(log.text().find("lzwunpackedtotext: Output exceeds 4 Bytes"), std::string::npos);
}

TEST(PictureFileHostile, HugeCodeWidthGivesAnEmptyPicture) {
  LogCapture log;
  const t_Graphic picture =
      decoded(picture::fromFileBytes(withData(header(103, 0, 8, 8), Bytes{200, 1, 2, 3, 4})));
  EXPECT_EQ(picture.Format, 3);
  EXPECT_TRUE(picture.Data.empty());
  EXPECT_NE(log.text().find("bitstocodes: Code width 200 exceeds 32 bits."), std::string::npos);
}

TEST(PictureFileHostile, TruncatedLayersKeepWhatTheyHold) {
  t_Graphic plain = plainPicture(3, 16, 16, false, 5);
  t_Graphic encoded = *picture::encodePicture(plain, 123);
  encoded.Data.resize(encoded.Data.size() / 2);
  const t_Graphic half = decoded(encoded);
  ASSERT_LT(half.Data.size(), plain.Data.size());
  EXPECT_TRUE(std::equal(half.Data.begin(), half.Data.end(), plain.Data.begin()));
  t_Graphic packed = *picture::encodePicture(plainPicture(1, 15, 4, false, 6), 11);
  packed.Data.resize(5);
  EXPECT_EQ(g_UnPack(packed).Data.size(), 10u);
}

// A run-length stream may be longer than twice the pixels: items of count 0
// are allowed (logged and skipped). Behind an LZW layer it must decode as it
// does alone.
TEST(PictureFile, LzwAroundRunLengthKeepsStreamsLongerThanThePicture) {
  Bytes stream{0xFF};
  for (int i = 0; i < 100; ++i) stream.insert(stream.end(), {0xFF, 0});
  for (std::uint8_t pixel = 1; pixel <= 16; ++pixel) stream.push_back(pixel);
  const t_Graphic plainRun = picture::fromFileBytes(withData(header(22, 0, 4, 4), stream));
  const t_Graphic lzwRun =
      picture::fromFileBytes(withData(header(122, 0, 4, 4), lzw::packStoredBlock(stream)));
  LogCapture log;
  const t_Graphic expected = decoded(plainRun);
  ASSERT_EQ(expected.Data.size(), 16u);
  const t_Graphic result = decoded(lzwRun);
  EXPECT_EQ(result.Format, 2);
  EXPECT_EQ(result.Data, expected.Data);
}

TEST(PictureFile, StagesPassAnAbsentLayerWithoutCopying) {
  t_Graphic picture = pictureRecord(3, 2, 1, {1, 2, 3, 4, 5, 6});
  const std::uint8_t* bytes = picture.Data.data();
  const t_Graphic passed = g_UnPack(g_UnPackRLE(g_UnPackLZW(std::move(picture))));
  EXPECT_EQ(passed.Data.data(), bytes);
  t_Graphic runs = pictureRecord(34, 2, 1, {0x80, 0, 0, 0, 0, 0, 0, 7, 7, 9, 9});
  const std::uint8_t* runBytes = runs.Data.data();
  const t_Graphic afterLzw = g_UnPackLZW(std::move(runs));
  EXPECT_EQ(afterLzw.Data.data(), runBytes);
}

// No file under 1 KiB makes a stage hold more than a few MiB unless its header
// asks for that many pixels: the bombs of every layer in every format code,
// behind a header of 64 x 64 pixels whose Size asks for 4 G. (Decoders reserve
// their bound as address space; only the bytes they write take memory.)
TEST(PictureFileHostile, SmallFilesMakeEveryStageStaySmall) {
  constexpr std::size_t kFewMiB = std::size_t{4} << 20;
  std::vector<LzwCode> chain{65};  // every code the previous one plus a byte
  for (LzwCode code = 256; code < 256 + 600; ++code) chain.push_back(code);
  Bytes lzwBomb{12};
  const Bytes packedChain = codestobits(chain, 12);
  lzwBomb.insert(lzwBomb.end(), packedChain.begin(), packedChain.end());
  std::vector<Bytes> payloads{lzwBomb, lzw::packStoredBlock(Bytes(900, 0))};
  for (int unit = 1; unit <= 4; ++unit) {
    const Bytes escape(unit, 0xEE);
    const Bytes value(unit, 0x42);
    Bytes runBomb = escape;  // then 241 runs of 4 G units
    while (runBomb.size() < 900) {
      runBomb.insert(runBomb.end(), escape.begin(), escape.end());
      runBomb.insert(runBomb.end(), {0xF1, 0xFF, 0xFF, 0xFF, 0xFF});
      runBomb.insert(runBomb.end(), value.begin(), value.end());
    }
    payloads.push_back(runBomb);
    payloads.push_back(lzw::packStoredBlock(runBomb));
  }
  std::vector<int> codes;
  for (int code : {0, 1, 2, 3, 4, 5, 10, 11, 14, 15, 20, 21, 22, 23, 24, 25, 30, 31, 34, 35}) {
    codes.push_back(code);
    codes.push_back(code + 100);
  }
  LogCapture log;
  for (int code : codes) {
    for (const Bytes& payload : payloads) {
      Bytes file = withData(header(code, 0xFFFFFFFF, 64, 64), payload);
      ASSERT_LT(file.size(), 1024u);
      t_Graphic picture = picture::fromFileBytes(file);
      picture = g_UnPackLZW(std::move(picture));
      EXPECT_LE(picture.Data.size(), kFewMiB) << "LZW stage of " << code;
      picture = g_UnPackRLE(std::move(picture));
      EXPECT_LE(picture.Data.size(), kFewMiB) << "run-length stage of " << code;
      picture = g_UnPack(std::move(picture));
      EXPECT_LE(picture.Data.size(), kFewMiB) << "unpacking stage of " << code;
    }
  }
}
