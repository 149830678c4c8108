#include <gtest/gtest.h>

#include "support/qbtools.h"

namespace {

TEST(FormatNumber, GroupsPadsAndKeepsTheSignInFront) {
  EXPECT_EQ(formatnumber(1234567, ' ', 1, true), "1.234.567");
  EXPECT_EQ(formatnumber(-1234, ' ', 1, true), "-1.234");
  EXPECT_EQ(formatnumber(123, ' ', 1, true), "123");
  EXPECT_EQ(formatnumber(5, '0', 3, false), "005");
  EXPECT_EQ(formatnumber(12345, '0', 3, false), "12345");
  EXPECT_EQ(formatnumber(-1, '0', 3, false), "0-1");  // DATA0-1.word, as the data names show
  EXPECT_EQ(formatnumber(7, -1, 4, false), "7");
  EXPECT_EQ(formatnumber(7, 0xD800, 4, false), "7");
  EXPECT_EQ(formatnumber(7, U'·', 3, false), "··7");  // pads characters, not bytes
}

TEST(DoubleToString, UsesTheDecimalCommaAndDropsATrailingZero) {
  EXPECT_EQ(doubletostring(3.0), "3");
  EXPECT_EQ(doubletostring(2.5), "2,5");
  EXPECT_EQ(doubletostring(-0.125), "-0,125");
  EXPECT_EQ(doubletostring(0.1), "0,1");
  EXPECT_EQ(doubletostring(1e20), "1e+20");
}

TEST(FormatDouble, WritesKilobytesTheWayTheWindowSetUpLogsThem) {
  EXPECT_EQ(formatdouble(' ', 1, 2, true, 2875392 / 1024.0), "2.808,00");
  EXPECT_EQ(formatdouble(' ', 1, 2, true, 3.0), "3,00");
  EXPECT_EQ(formatdouble(' ', 1, 2, true, 4000.5), "4.000,50");
}

TEST(FormatDouble, CutsTheFractionAndResolvesExponents) {
  EXPECT_EQ(formatdouble(' ', 1, 2, false, 2.999), "2,99");  // cut, not rounded
  EXPECT_EQ(formatdouble(' ', 1, 2, true, 1e20), "100.000.000.000.000.000.000,00");
  EXPECT_EQ(formatdouble(' ', 1, 6, false, 1.5e-5), "0,000015");
  EXPECT_EQ(formatdouble(' ', 1, 0, false, 12.75), "12");
  EXPECT_EQ(formatdouble(' ', 1, -3, false, 12.75), "12");
  EXPECT_EQ(formatdouble('*', 7, 1, false, -1.25), "***-1,2");
}

TEST(Hexadecimal, WritesFixedCountsOfUpperCaseDigits) {
  EXPECT_EQ(hexbyte(0x1AB), "AB");
  EXPECT_EQ(wordtohex(0x20AC), Text::fromBytes("20AC"));
  EXPECT_EQ(longtohex(0xD42000), "00D42000");
  EXPECT_EQ(longtohex(static_cast<std::uint64_t>(-1)), "FFFFFFFF");
  EXPECT_EQ(hexvalues['f'], 15);
  EXPECT_EQ(hexvalues['F'], 15);
  EXPECT_EQ(hexvalues['g'], -1);
  EXPECT_EQ(hexdigits[10], 'A');
}

}  // namespace
