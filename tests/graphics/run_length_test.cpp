#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "LogCapture.h"
#include "toolbox/graphics/PictureEncoder.h"
#include "toolbox/graphics/RunLength.h"

using Bytes = std::vector<std::uint8_t>;

TEST(RunLength, ExpandsShortRunBetweenLiterals) {
  EXPECT_EQ(rletobinary8(Bytes{0xFF, 0x41, 0xFF, 0x05, 0x42, 0x43}),
            (Bytes{0x41, 0x42, 0x42, 0x42, 0x42, 0x42, 0x43}));
}

TEST(RunLength, CommandsOneToThreeRepeatTheEscapeAndAreLogged) {
  LogCapture log;
  EXPECT_EQ(rletobinary8(Bytes{0xFF, 0xFF, 0x02, 0x00}), (Bytes{0xFF, 0xFF, 0x00}));
  EXPECT_EQ(log.text(), "rletobinary8: Appending 2 elements.\n");
}

TEST(RunLength, SixteenAndThirtyTwoBitCounts) {
  EXPECT_EQ(rletobinary8(Bytes{0xFF, 0xFF, 0xF0, 0x01, 0x00, 0x07}), Bytes(256, 0x07));
  LogCapture log;
  EXPECT_EQ(rletobinary8(Bytes{0xFF, 0xFF, 0xF1, 0x00, 0x01, 0x00, 0x01, 0x09}),
            Bytes(65537, 0x09));
  EXPECT_EQ(log.text(), "rletobinary8: Decode LongInt count\n");
}

TEST(RunLength, IllegalAndZeroCommandsAreSkippedWithTheirLines) {
  LogCapture log;
  EXPECT_EQ(rletobinary8(Bytes{0xFF, 0xFF, 0xF5, 0x00}), (Bytes{0x00}));
  EXPECT_EQ(rletobinary16(Bytes{0, 0, 0, 0, 0, 0, 9, 9}), (Bytes{9, 9}));
  EXPECT_EQ(log.text(),
            "rletobinary8: Illegal command ($f5)\nrletobinary16: Repeat count cannot be zero.\n");
}

TEST(RunLength, ZeroCommandOfThreeByteUnitsDumpsTheBytesAround) {
  LogCapture log;
  const Bytes input{1, 2, 3, 0xAA, 0xBB, 0xCC, 1, 2, 3, 0, 0xC1, 0xC2, 4, 5, 6};
  EXPECT_EQ(rletobinary24(input), (Bytes{0xAA, 0xBB, 0xCC, 4, 5, 6}));
  EXPECT_EQ(log.text(),
            "rletobinary24: Repeat count cannot be zero.\n"
            "rletobinary24: BB CC01 02 03\n"
            "rletobinary24: 00\n"
            "rletobinary24: C1 C204 05 06\n");
}

TEST(RunLength, LiteralAfterRunNeedNotBeAligned) {
  EXPECT_EQ(rletobinary16(Bytes{0x12, 0x34, 0x12, 0x34, 0x05, 0xAB, 0xCD, 0x56, 0x78}),
            (Bytes{0xAB, 0xCD, 0xAB, 0xCD, 0xAB, 0xCD, 0xAB, 0xCD, 0xAB, 0xCD, 0x56, 0x78}));
}

TEST(RunLength, FewerThanFourUnitsDecodeToNothing) {
  EXPECT_TRUE(rletobinary24(Bytes(9, 1)).empty());
  EXPECT_EQ(rletobinary24(Bytes{0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}),
            (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_TRUE(rletobinary32(Bytes(15, 1)).empty());
}

TEST(RunLength, TruncatedItemsEndDecodingAndKeepWhatCameBefore) {
  // ends right after an escape unit
  EXPECT_EQ(rletobinary8(Bytes{0xFF, 1, 2, 0xFF}), (Bytes{1, 2}));
  // a 240 item without its value unit
  EXPECT_EQ(rletobinary8(Bytes{0xFF, 1, 0xFF, 0xF0, 0x10, 0x00}), (Bytes{1}));
  // a unit cut off by the end is no literal
  EXPECT_EQ(rletobinary32(Bytes{0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4}),
            (Bytes{1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3}));
}

TEST(RunLength, EmptyLongRunContinuesAfterIt) {
  EXPECT_EQ(rletobinary8(Bytes{0xFF, 0xFF, 0xF0, 0x00, 0x00, 0x07, 0x08}), (Bytes{0x08}));
}

TEST(RunLength, HugeCountsInATenByteInputAreBounded) {
  // 0xFFFFFFFF four-byte units would be 16 GiB
  const Bytes hostile{0, 0, 0, 0, 0, 0, 0, 0, 0xF1, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4};
  LogCapture log;
  const Bytes out = rletobinary32(hostile, 4096);
  EXPECT_EQ(out.size(), 4096u);
  EXPECT_EQ(out[4092], 1);
  EXPECT_EQ(out[4095], 4);
  const std::string text = log.text();
  EXPECT_NE(text.find("rletobinary32: Output exceeds 4.096 Bytes, decoding stopped."),
            std::string::npos);
  // without a caller's bound the global one applies
  LogCapture globalLog;
  const Bytes global = rletobinary8(Bytes{0, 0, 0xF1, 0xFF, 0xFF, 0xFF, 0xFF, 5});
  EXPECT_EQ(global.size(), kMaxDecodedBytes);
}

TEST(RunLength, EncoderOutputDecodesBackForEveryUnit) {
  std::mt19937 random(3);
  Bytes data;
  for (int block = 0; block < 300; ++block) {
    const std::uint8_t value = static_cast<std::uint8_t>(random() % 4);
    const int length = static_cast<int>(random() % (block % 7 == 0 ? 70000 : 9));
    data.insert(data.end(), length, value);
  }
  for (int unit = 1; unit <= 4; ++unit) {
    Bytes whole = data;
    whole.resize(data.size() / unit * unit);
    const Bytes stream = picture::runLengthEncode(whole, unit);
    LogCapture log;
    const Bytes decoded = unit == 1   ? rletobinary8(stream)
                          : unit == 2 ? rletobinary16(stream)
                          : unit == 3 ? rletobinary24(stream)
                                      : rletobinary32(stream);
    EXPECT_EQ(decoded, whole) << "unit " << unit;
    EXPECT_EQ(log.text(), "") << "a well-chosen escape needs no logged commands";
    EXPECT_LT(stream.size(), whole.size() / 10);
  }
}

TEST(RunLength, EncoderHandlesEveryByteValueAndTinyInputs) {
  Bytes all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
  all.insert(all.end(), 5, 0x00);  // 0x00 is then the most frequent, 0x01 the rarest
  EXPECT_EQ(rletobinary8(picture::runLengthEncode(all, 1)), all);
  EXPECT_EQ(rletobinary24(picture::runLengthEncode(Bytes{9, 8, 7}, 3)), (Bytes{9, 8, 7}));
  EXPECT_TRUE(rletobinary16(picture::runLengthEncode(Bytes{}, 2)).empty());
}

TEST(RunLength, OutputTakesItsRoomOnceAndGivesBackWhatAShortStreamLeaves) {
  // 1,000 runs of 200 three-byte pixels: 600,000 bytes, exactly the bound
  Bytes stream{0xFE, 0xFE, 0xFE};
  for (int run = 0; run < 1000; ++run) {
    const auto grey = static_cast<std::uint8_t>(run);
    stream.insert(stream.end(), {0xFE, 0xFE, 0xFE, 200, grey, grey, grey});
  }
  const Bytes full = rletobinary24(stream, 600000);
  ASSERT_EQ(full.size(), 600000u);
  EXPECT_EQ(full.capacity(), 600000u);
  EXPECT_EQ(full[599999], 999 % 256);
  // a picture that claims 48 MB of pixels and brings twelve bytes
  const Bytes small =
      rletobinary24(Bytes{0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 4, 1, 2, 3, 9, 9}, 48 << 20);
  EXPECT_EQ(small, (Bytes{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3}));
  EXPECT_LT(small.capacity(), 4096u);
}
