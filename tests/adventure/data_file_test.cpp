// Loading data files: line ends, the end mark and what may follow it, file
// names, broken files, and finding labels.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EngineHarness.h"
#include "adventure/DataFile.h"
#include "support/qbtools.h"
#include "toolbox/graphics/Lzw.h"

using testing::ElementsAre;
using testing_engine::TestBundle;

namespace {

std::vector<std::uint8_t> stored(const std::string& latin1Text) {
  return lzw::packStoredBlock(std::vector<std::uint8_t>(latin1Text.begin(), latin1Text.end()));
}

Text bytes(const std::string& text) {
  return Text::fromBytes(text);
}

class DataFile : public testing::Test {
 protected:
  DataFile() : bundle_("datafile") {}
  std::vector<Text> load(const std::string& latin1Text) {
    bundle_.addRawDataFile(5, stored(latin1Text));
    return VelmoratLoadData(bundle_.dataFolder(), 5);
  }
  TestBundle bundle_;
};

TEST_F(DataFile, LoadsLinesWithoutTheEndMark) {
  EXPECT_THAT(load("?Hallo\n@END\n"), ElementsAre(bytes("?Hallo")));
  EXPECT_THAT(load("?Hallo\n@END"), ElementsAre(bytes("?Hallo"))) << "no line end after @END";
  EXPECT_THAT(load("?Hallo\n@END\n\n\n"), ElementsAre(bytes("?Hallo")));
  EXPECT_THAT(load(std::string("?Hallo\n@END\n\0\0\0", 15)), ElementsAre(bytes("?Hallo")))
      << "padding bytes after the end mark";
  EXPECT_THAT(load("?a\r\n?b\r\n@END\r\n"), ElementsAre(bytes("?a"), Text(), bytes("?b"), Text()))
      << "CR LF gives an empty line after every line";
  EXPECT_THAT(load("?Gr\xFC\xDF"
                   "e\n@END\n"),
              ElementsAre(bytes("?Gr\xFC\xDF"
                                "e")));
}

TEST_F(DataFile, RefusesFilesWithoutAProperEndMark) {
  EXPECT_TRUE(load("?Hallo\n@END\nREM danach\n").empty());
  EXPECT_TRUE(load("?Hallo\n@end\n").empty());
  EXPECT_TRUE(load("?Hallo\n").empty());
  EXPECT_TRUE(load("").empty());
  bundle_.addRawDataFile(5, {12});  // only the width byte
  EXPECT_TRUE(VelmoratLoadData(bundle_.dataFolder(), 5).empty());
  bundle_.addRawDataFile(5, {0, 1, 2, 3});  // width 0
  EXPECT_TRUE(VelmoratLoadData(bundle_.dataFolder(), 5).empty());
  bundle_.addRawDataFile(5, {200, 0xFF, 0xFF, 0xFF, 0xFF});  // a width no code can have
  EXPECT_TRUE(VelmoratLoadData(bundle_.dataFolder(), 5).empty());
  EXPECT_TRUE(VelmoratLoadData(bundle_.dataFolder(), 77).empty()) << "missing file";
  EXPECT_TRUE(VelmoratLoadData(bundle_.dataFolder(), -1).empty());
}

// Real scripts far larger than the game's load; a few kilobytes of codes that
// decode to more than 64 MiB, or to millions of empty lines, are refused
// instead of being split into lines.
TEST_F(DataFile, LoadsLargeScriptsAndRefusesBombs) {
  const std::string longRemark = "' " + std::string(std::size_t{3} << 20, 'x') + "\n";
  const std::vector<Text> lines = load("?Hallo\n" + longRemark + "@END\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].size(), longRemark.size() - 1);
  std::vector<LzwCode> chain{'x'};  // 12,000 codes, each one byte longer: 72 MB
  for (LzwCode code = 256; code < 256 + 12'000; ++code) chain.push_back(code);
  std::vector<std::uint8_t> bomb{14};
  const std::vector<std::uint8_t> packed = codestobits(chain, 14);
  bomb.insert(bomb.end(), packed.begin(), packed.end());
  bundle_.addRawDataFile(5, bomb);
  EXPECT_TRUE(VelmoratLoadData(bundle_.dataFolder(), 5).empty());
  EXPECT_TRUE(load(std::string(kMaxScriptLineEnds, '\n') + "@END\n").empty());
  EXPECT_THAT(load(std::string(1000, '\n') + "@END\n"), testing::SizeIs(1000));
}

TEST(DataFileName, HasAtLeastThreeDigits) {
  EXPECT_EQ(VelmoratDataFileName(5), "DATA005.word");
  EXPECT_EQ(VelmoratDataFileName(100), "DATA100.word");
  EXPECT_EQ(VelmoratDataFileName(1234), "DATA1234.word");
  EXPECT_EQ(VelmoratDataFileName(-1), "DATA0-1.word") << "the sign counts as a digit place";
}

TEST(FindLabel, ComparesTrimmedNamesByteForByte) {
  std::vector<Text> lines = {bytes("LABEL start"), bytes("LABEL   Start  "), bytes("LABEL Start"),
                             bytes("LABEL")};
  EXPECT_EQ(VelmoratFindLabel(lines, bytes("Start")), 1) << "the first one counts";
  EXPECT_EQ(VelmoratFindLabel(lines, bytes("start")), 0);
  EXPECT_EQ(VelmoratFindLabel(lines, Text()), 3);
  EXPECT_EQ(VelmoratFindLabel(lines, bytes("Ende")), -1);
}

}  // namespace
