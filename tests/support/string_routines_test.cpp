#include <gtest/gtest.h>

#include "support/qbtools.h"

namespace {

// "äb€d": positions count characters, not the 7 bytes
const std::string kMixed = "äb€d";

TEST(StringPositions, CountUnicodeCharacters) {
  EXPECT_EQ(stringchar(kMixed, 3), "€");
  EXPECT_EQ(stringchar(kMixed, 0), "");
  EXPECT_EQ(stringchar(kMixed, 5), "");
  EXPECT_EQ(stringfrom(kMixed, 2), "b€d");
  EXPECT_EQ(stringfrom(kMixed, 0), kMixed);
  EXPECT_EQ(stringfrom(kMixed, 5), "");
  EXPECT_EQ(stringmid(kMixed, 2, 2), "b€");
  EXPECT_EQ(stringmid(kMixed, -4, 1), "ä");
  EXPECT_EQ(stringmid(kMixed, 3, 0), "");
  EXPECT_EQ(stringmid(kMixed, 9, 2), "");
}

TEST(StringInstr, CountsFromTheStartOfTheText) {
  EXPECT_EQ(stringinstr("ä-ä-ä", "ä", 2), 3);
  EXPECT_EQ(stringinstr("abc", "C", 1), 0);
  EXPECT_EQ(stringinstr("abc", "", 1), 0);
  EXPECT_EQ(stringinstr("abc", "c", 4), 0);
}

TEST(StringRepeatAndSpaces, RefuseCountsOutsideTheLimit) {
  EXPECT_EQ(stringrepeat("ab", 3), "ababab");
  EXPECT_EQ(stringrepeat("ab", 0), "");
  EXPECT_EQ(stringrepeat("ab", 32768), "");
  EXPECT_EQ(stringrepeat("", 5), "");
  EXPECT_EQ(stringspaces(3), "   ");
  EXPECT_EQ(stringspaces(-1), "");
  EXPECT_EQ(stringspaces(32768), "");
  EXPECT_EQ(stringspaces(32767).size(), 32767u);
}

TEST(StringFirstLine, PrefersCarriageReturnOverLineFeed) {
  EXPECT_EQ(stringfirstline("a\nb\rc"), "a\nb");
  EXPECT_EQ(stringfirstline("a\nb"), "a");
  EXPECT_EQ(stringfirstline("ab"), "ab");
}

TEST(StringJustify, FillsWithBlanksOrCutsToWidth) {
  EXPECT_EQ(stringjustify("Name", "12", 10), "Name    12");
  EXPECT_EQ(stringjustify("Name", "12", 5), "Name1");
  EXPECT_EQ(stringjustify("Name", "12", 6), "Name12");  // no blank fits
  EXPECT_EQ(stringjustify("Näme", "€", 6), "Näme €");
  EXPECT_EQ(stringjustify("Name", "12", 0), "");
}

TEST(CharacterCodes, AscAndCaseMappingWorkOnUnicodeCharacters) {
  EXPECT_EQ(asc(""), 0);
  EXPECT_EQ(asc("€x"), 0x20AC);
  EXPECT_EQ(chrupper(0xE4), 0xC4);
  EXPECT_EQ(chrlower(0xC4), 0xE4);
  EXPECT_EQ(chrupper(0xDF), 'S');  // ß becomes "SS"
  EXPECT_EQ(chrupper(0x3B1), 0x391);
  EXPECT_EQ(chrupper('1'), '1');
  EXPECT_EQ(chrupper(-5), 0);
  EXPECT_EQ(chrlower(-5), 0);
}

}  // namespace
