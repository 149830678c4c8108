#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
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
  t_Graphic picture = pictureRecord(14, 3, 1, {0x80, 10, 20});  // the third grey is missing
  picture.Size = 3;
  LogCapture log;
  const t_Graphic grey = g_UnPack(picture);
  EXPECT_EQ(grey.Format, 4);
  EXPECT_EQ(grey.Data, (Bytes{0x80, 10, 0x80, 20, 0x80, 0}));
  picture.Format = 15;
  picture.Data = {0x0A, 1, 2, 3};
  EXPECT_EQ(g_UnPack(picture).Data, (Bytes{0x0A, 1, 2, 3, 0x0A, 0, 0, 0, 0x0A, 0, 0, 0}));
  EXPECT_EQ(log.text(), "g_UnPack: Transparency = 80\ng_UnPack: Transparency = 0A\n");
}

TEST(PictureFile, SharedAlphaWithoutDataGivesZeroPixels) {
  t_Graphic picture = pictureRecord(15, 2, 1);
  picture.Size = 2;
  LogCapture log;
  const t_Graphic argb = g_UnPack(picture);
  EXPECT_EQ(argb.Format, 5);
  EXPECT_EQ(argb.Data, Bytes(8, 0));
  EXPECT_EQ(log.text(), "g_UnPack: Transparency = 00\n");
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
  t_Graphic picture = pictureRecord(15, 2, 2, {0xFF, 1, 2, 3});
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
