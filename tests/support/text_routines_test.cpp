#include <gtest/gtest.h>

#include "graphics/LogCapture.h"
#include "support/qbtools.h"

namespace {

Text bytes(std::string_view text) {
  return Text::fromBytes(text);
}

std::vector<std::string> asStrings(const std::vector<Text>& pieces) {
  std::vector<std::string> result;
  for (const Text& piece : pieces)
    result.emplace_back(piece.Elements.begin(), piece.Elements.end());
  return result;
}

TEST(TextToString, ResolvesEscapeSequencesAndReadsOtherBytesAsLatin1) {
  EXPECT_EQ(texttostring(bytes("\x1b"
                               "00E9\x1d")),
            "é");
  EXPECT_EQ(texttostring(bytes("\xE4")), "ä");
  EXPECT_EQ(texttostring(bytes("a\x1b"
                               "20AC\x1d"
                               "b")),
            "a€b");
}

TEST(TextToString, KeepsTheEscapeOfAnIncompleteOrInvalidSequence) {
  EXPECT_EQ(texttostring(bytes("\x1b"
                               "00E")),
            "\x1b"
            "00E");
  EXPECT_EQ(texttostring(bytes("\x1b"
                               "00G9\x1d")),
            "\x1b"
            "00G9\x1d");
  // a surrogate is no character: the bytes stand for themselves
  EXPECT_EQ(texttostring(bytes("\x1b"
                               "D800\x1d")),
            "\x1b"
            "D800\x1d");
}

TEST(StringToText, MapsCharactersAbove255AndBrokenUtf8To127) {
  EXPECT_EQ(stringtotext("ä€"), bytes("\xE4\x7F"));
  EXPECT_EQ(stringtotext("a\xC3"), bytes("a\x7F"));
  EXPECT_EQ(stringtobytes("ä"), bytes("\xC3\xA4"));
}

TEST(TextForLog, ShowsUtf8AsItIsAndOtherBytesAsLatin1) {
  EXPECT_EQ(textforlog(bytes("\xC3\xA4")), "ä");
  EXPECT_EQ(textforlog(bytes("\xE4")), "ä");
}

TEST(TextToInt, ReadsSignBlanksAndDigitsUpToTheFirstOtherByte) {
  EXPECT_EQ(texttoint(bytes("  -  42x7")), -42);
  EXPECT_EQ(texttoint(bytes("17")), 17);
  EXPECT_EQ(texttoint(bytes("x17")), 0);
  EXPECT_EQ(texttoint(bytes("-")), 0);
}

TEST(TextToInt, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(texttoint(bytes("99999999999999999999999")), INT64_MAX);
  EXPECT_EQ(texttoint(bytes("-99999999999999999999999")), INT64_MIN);
  EXPECT_EQ(texttoint(bytes("-9223372036854775808")), INT64_MIN);
  EXPECT_EQ(inttotext(-120), bytes("-120"));
  EXPECT_EQ(inttotext(0), bytes("0"));
}

TEST(TextCompare, ComparesUnsignedBytesAndSortsPrefixesFirst) {
  EXPECT_EQ(textcompare(bytes("\xE4"), bytes("z")), 1);  // signed bytes would sort it first
  EXPECT_EQ(textcompare(bytes("ab"), bytes("abc")), -1);
  EXPECT_EQ(textcompare(bytes("abc"), bytes("abc")), 0);
}

TEST(Position, FindsTheFirstOccurrenceAtOrAfterStart) {
  EXPECT_EQ(position(bytes("abcabc"), bytes("bc"), 1), 2);
  EXPECT_EQ(position(bytes("abcabc"), bytes("bc"), 3), 5);
  EXPECT_EQ(position(bytes("abcabc"), bytes("bc"), 6), 0);
  EXPECT_EQ(position(bytes("abc"), bytes(""), 1), 0);
  EXPECT_EQ(position(bytes("abc"), bytes("abc"), 1), 1);
}

TEST(Position, RejectsAStartBelowOneWithALogLine) {
  LogCapture log;
  EXPECT_EQ(position(bytes("abc"), bytes("b"), 0), 0);
  EXPECT_EQ(log.text(), "position: Startposition must be >= 1 (b)\n");
}

TEST(TextSplit, KeepsEmptyPiecesBetweenSeparatorsButNoneAtTheEnd) {
  EXPECT_EQ(asStrings(textsplit(bytes("a,,b,"), ',')), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(asStrings(textsplit(bytes(",a"), ',')), (std::vector<std::string>{"", "a"}));
  EXPECT_TRUE(textsplit(bytes(""), ',').empty());
  EXPECT_EQ(asStrings(textlines(bytes("a\r\nb\n"))), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(textjoin(textsplit(bytes("a,,b"), ','), ','), bytes("a,,b"));
}

TEST(TextLeftAndFrom, AnswerOutOfRangeCountsWithEmptyOrWholeText) {
  EXPECT_EQ(textleft(bytes("abc"), 0), bytes(""));
  EXPECT_EQ(textleft(bytes("abc"), 2), bytes("ab"));
  EXPECT_EQ(textleft(bytes("abc"), 9), bytes("abc"));
  EXPECT_EQ(textfrom(bytes("abc"), -3), bytes("abc"));
  EXPECT_EQ(textfrom(bytes("abc"), 3), bytes("c"));
  EXPECT_EQ(textfrom(bytes("abc"), 4), bytes(""));
}

TEST(TextCase, MapsLatin1LettersAndSharpS) {
  EXPECT_EQ(textupper(bytes("stra\xDF"
                            "e")),
            bytes("STRASSE"));
  EXPECT_EQ(textupper(bytes("\xE4\xF6\xFC\xF7\xFF")), bytes("\xC4\xD6\xDC\xF7\xFF"));
  EXPECT_EQ(textlower(bytes("\xC4\xD6\xDC\xD7Z")), bytes("\xE4\xF6\xFC\xD7z"));
}

TEST(TextTrimAndPad, RemoveOuterBlanksThenFill) {
  EXPECT_EQ(texttrim(bytes("  a b  ")), bytes("a b"));
  EXPECT_EQ(texttrim(bytes("   ")), bytes(""));
  EXPECT_EQ(textpad(bytes(" ab "), 4), bytes("ab  "));
  EXPECT_EQ(textpad(bytes("abcdef"), 3), bytes("abcdef"));
}

}  // namespace
