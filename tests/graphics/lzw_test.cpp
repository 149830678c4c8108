#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "LogCapture.h"
#include "support/Clock.h"
#include "toolbox/graphics/Lzw.h"

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> roundTrip(const std::vector<std::uint8_t>& bytes) {
  return lzw::unpackStoredBlock(lzw::packStoredBlock(bytes));
}

}  // namespace

TEST(Lzw, EncodesTheClassicExampleAndDecodesItBack) {
  const std::vector<std::uint8_t> input = bytesOf("TOBEORNOTTOBEORTOBEORNOT");
  const LzwCodes encoded = texttolzwunpacked(input);
  const std::vector<LzwCode> start(encoded.codes.begin(), encoded.codes.begin() + 10);
  EXPECT_EQ(start, (std::vector<LzwCode>{84, 79, 66, 69, 79, 82, 78, 79, 84, 256}));
  EXPECT_EQ(encoded.width, 9);
  EXPECT_EQ(lzwunpackedtotext(encoded.codes), input);
}

TEST(Lzw, OneByteIsOneCodeOfWidthEight) {
  const LzwCodes encoded = texttolzwunpacked(bytesOf("A"));
  EXPECT_EQ(encoded.codes, (std::vector<LzwCode>{65}));
  EXPECT_EQ(encoded.width, 8);
}

TEST(Lzw, LargestCodeOf256NeedsNineBits) {
  // "aaa" gives the codes 97 and 256
  const LzwCodes encoded = texttolzwunpacked(bytesOf("aaa"));
  EXPECT_EQ(encoded.codes, (std::vector<LzwCode>{97, 256}));
  EXPECT_EQ(encoded.width, 9);
}

TEST(Lzw, CodeThatIsBeingDefinedRepeatsThePreviousEntry) {
  EXPECT_EQ(lzwunpackedtotext(std::vector<LzwCode>{65, 256}), bytesOf("AAA"));
  // a longer chain of self references: entries of growing length
  EXPECT_EQ(lzwunpackedtotext(std::vector<LzwCode>{65, 256, 257, 258}),
            bytesOf(std::string(1 + 2 + 3 + 4, 'A')));
}

TEST(Lzw, RejectsCodeBeyondNextEntry) {
  EXPECT_TRUE(lzwunpackedtotext(std::vector<LzwCode>{65, 300}).empty());
  // the whole output is discarded, not only the tail
  EXPECT_TRUE(lzwunpackedtotext(std::vector<LzwCode>{65, 66, 67, 68, 261}).empty());
}

TEST(Lzw, FirstCodeKeepsOnlyItsLowByte) {
  EXPECT_EQ(lzwunpackedtotext(std::vector<LzwCode>{0x141}), bytesOf("A"));
}

TEST(Lzw, PacksAndUnpacksCodesMostSignificantBitFirst) {
  const std::vector<std::uint8_t> packed = codestobits(std::vector<LzwCode>{1, 2}, 9);
  EXPECT_EQ(packed, (std::vector<std::uint8_t>{0x00, 0x80, 0x80}));
  EXPECT_EQ(bitstocodes(packed, 9), (std::vector<LzwCode>{1, 2}));
}

TEST(Lzw, BitPackingRoundTripsAtEveryWidth) {
  std::mt19937 random(7);
  for (int width = 1; width <= kMaxLzwCodeWidth; ++width) {
    std::vector<LzwCode> codes(101);  // odd count, so padding differs by width
    const std::uint64_t limit = std::uint64_t{1} << width;
    for (LzwCode& code : codes) code = static_cast<LzwCode>(random() % limit);
    std::vector<LzwCode> decoded = bitstocodes(codestobits(codes, width), width);
    // below 8 bits the zero padding can hold whole codes
    ASSERT_GE(decoded.size(), codes.size());
    EXPECT_LE(decoded.size() - codes.size(), std::size_t(7 / width));
    EXPECT_TRUE(std::all_of(decoded.begin() + codes.size(), decoded.end(),
                            [](LzwCode code) { return code == 0; }));
    decoded.resize(codes.size());
    EXPECT_EQ(decoded, codes) << "width " << width;
  }
}

TEST(Lzw, WidthZeroGivesNothing) {
  EXPECT_TRUE(codestobits(std::vector<LzwCode>{1, 2}, 0).empty());
  EXPECT_TRUE(bitstocodes(std::vector<std::uint8_t>{1, 2, 3}, 0).empty());
  EXPECT_TRUE(lzw::unpackStoredBlock(std::vector<std::uint8_t>{0, 0x41, 0x42}).empty());
}

TEST(Lzw, WidthBeyondAnIntegerCodeGivesNoCodes) {
  LogCapture log;
  EXPECT_TRUE(bitstocodes(std::vector<std::uint8_t>(64, 0xFF), 33).empty());
  EXPECT_TRUE(bitstocodes(std::vector<std::uint8_t>(64, 0xFF), 255).empty());
  EXPECT_NE(log.text().find("bitstocodes: Code width 33 exceeds 32 bits."), std::string::npos);
}

TEST(Lzw, RoundTripsTextRandomBytesAndRuns) {
  std::mt19937 random(1);
  std::vector<std::uint8_t> noise(200000);
  for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "Du stehst vor dem Tor von Velmorat. " + std::to_string(i);
  EXPECT_EQ(roundTrip(noise), noise);
  EXPECT_EQ(roundTrip(bytesOf(text)), bytesOf(text));
  const std::vector<std::uint8_t> run(100000, 7);  // long self-referencing entries
  EXPECT_EQ(roundTrip(run), run);
  EXPECT_TRUE(roundTrip({}).empty());
}

TEST(Lzw, OutputIsCutAtTheLimitAndKeepsWhatWasDecoded) {
  // each code repeats a growing entry: n codes decode to n(n+1)/2 bytes
  std::vector<LzwCode> codes{65};
  for (LzwCode code = 256; code < 256 + 2000; ++code) codes.push_back(code);
  LogCapture log;
  const std::vector<std::uint8_t> cut = lzwunpackedtotext(codes, 1000);
  EXPECT_EQ(cut, std::vector<std::uint8_t>(1000, 'A'));
  EXPECT_NE(log.text().find("lzwunpackedtotext: Output exceeds 1.000 Bytes, decoding stopped."),
            std::string::npos);
}

TEST(Lzw, SmallBlockCannotAskForUnboundedOutput) {
  // 16-bit codes 256, 257, ... after 'A': 30 KB of codes would decode to
  // over 100 MB; the limit stops it.
  std::vector<LzwCode> codes{65};
  for (LzwCode code = 256; code < 256 + 15000; ++code) codes.push_back(code);
  std::vector<std::uint8_t> block{16};
  const std::vector<std::uint8_t> packed = codestobits(codes, 16);
  block.insert(block.end(), packed.begin(), packed.end());
  LogCapture log;
  const std::vector<std::uint8_t> out = lzw::unpackStoredBlock(block, 1 << 20);
  EXPECT_EQ(out.size(), std::size_t{1} << 20);
  EXPECT_NE(log.text().find("Output exceeds"), std::string::npos);
}

namespace {
double steppingClock() {
  static double seconds = 0;
  return seconds += 0.6;  // every second look at the clock finds a second passed
}
}  // namespace

TEST(Lzw, EncoderLogsProgressAtMostOncePerSecondOfItsClock) {
  setClockSourceForTesting(steppingClock);
  const std::vector<std::uint8_t> input(4 * 524288, 'x');
  LogCapture log;
  texttolzwunpacked(input);
  setClockSourceForTesting(nullptr);
  // looks at 0, 25, 50 and 75 %: 1.2 s after the start (at 25 %) and at 75 %
  EXPECT_EQ(log.text(),
            "texttolzwunpacked: 25% of 2.097.152 Bytes.\n"
            "texttolzwunpacked: 75% of 2.097.152 Bytes.\n");
}

namespace {

// The codes of the format written out plainly, a dictionary of strings: the
// codec's tables must give exactly these.
std::vector<LzwCode> plainCodes(const std::vector<std::uint8_t>& bytes) {
  std::unordered_map<std::uint64_t, LzwCode> strings;
  std::vector<LzwCode> codes;
  LzwCode next = 256;
  LzwCode current = bytes[0];
  for (std::size_t i = 1; i < bytes.size(); ++i) {
    const std::uint64_t key = std::uint64_t{current} << 8 | bytes[i];
    const auto found = strings.find(key);
    if (found != strings.end()) {
      current = found->second;
      continue;
    }
    strings.emplace(key, next++);
    codes.push_back(current);
    current = bytes[i];
  }
  codes.push_back(current);
  return codes;
}

}  // namespace

TEST(Lzw, TablesGiveThePlainDictionarysCodes) {
  std::mt19937 random(7);
  // random bytes: once most pairs are known, strings of mostly two bytes, so
  // that the hash table outgrows the size it starts with (513,000 entries,
  // room for 393,000)
  std::vector<std::uint8_t> noise(1100000);
  for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
  // photo-like: a smooth gradient with noise in the low four bits
  std::vector<std::uint8_t> photo(600000);
  for (std::size_t i = 0; i < photo.size(); ++i) {
    photo[i] = static_cast<std::uint8_t>(((i / 3000) & 0xF0) | (random() & 0x0F));
  }
  std::vector<std::uint8_t> text;
  for (int i = 0; i < 3000; ++i) {
    for (char c : "Du stehst im Garten. Ein Weg fuehrt nach Norden. " + std::to_string(i)) {
      text.push_back(static_cast<std::uint8_t>(c));
    }
  }
  for (const auto* input : {&noise, &photo, &text}) {
    const std::vector<LzwCode> expected = plainCodes(*input);
    const LzwCodes encoded = texttolzwunpacked(*input);
    ASSERT_EQ(encoded.codes, expected);
    EXPECT_EQ(lzwunpackedtotext(expected), *input);
    // in pieces of codes, and through a buffer that has to grow
    EXPECT_EQ(lzw::unpackStoredBlock(lzw::packStoredBlock(*input)), *input);
  }
}
