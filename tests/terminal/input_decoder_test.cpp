#include "host/terminal/InputDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace terminal {
namespace {

std::vector<InputEvent> decode(std::string_view bytes) {
  InputDecoder decoder;
  std::vector<InputEvent> keys;
  decoder.feed(bytes, keys);
  return keys;
}

// Feeds the bytes one at a time, as a slow connection would deliver them.
std::vector<InputEvent> decodeByteByByte(std::string_view bytes) {
  InputDecoder decoder;
  std::vector<InputEvent> keys;
  for (char byte : bytes) decoder.feed(std::string_view(&byte, 1), keys);
  return keys;
}

InputEvent character(char32_t scalar, bool control = false, bool alt = false) {
  InputEvent key;
  key.character = scalar;
  key.control = control;
  key.alt = alt;
  return key;
}

InputEvent named(NamedKey name, bool shift = false, bool alt = false, bool control = false) {
  InputEvent key;
  key.kind = InputKind::Named;
  key.key = name;
  key.shift = shift;
  key.alt = alt;
  key.control = control;
  return key;
}

InputEvent function(int number, bool shift = false, bool control = false) {
  InputEvent key;
  key.kind = InputKind::Function;
  key.functionNumber = number;
  key.shift = shift;
  key.control = control;
  return key;
}

TEST(InputDecoder, UmlautsAndEszettFromUtf8) {
  EXPECT_EQ(decode("\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xC3\x84"),
            (std::vector<InputEvent>{character(U'ä'), character(U'ö'), character(U'ü'),
                                     character(U'ß'), character(U'Ä')}));
  // Characters beyond Latin-1 are decoded too; the key translation drops them.
  EXPECT_EQ(decode("\xE2\x82\xAC\xF0\x9F\x98\x80"),
            (std::vector<InputEvent>{character(U'€'), character(U'\U0001F600')}));
}

TEST(InputDecoder, Utf8SplitAcrossReadsWaitsForItsRest) {
  EXPECT_EQ(decodeByteByByte("n\xC3\xA4h\xE2\x82\xAC"),
            (std::vector<InputEvent>{character(U'n'), character(U'ä'), character(U'h'),
                                     character(U'€')}));
  InputDecoder decoder;
  std::vector<InputEvent> keys;
  decoder.feed("\xC3", keys);
  EXPECT_TRUE(keys.empty());
  EXPECT_TRUE(decoder.hasPending());
}

TEST(InputDecoder, BytesThatAreNoUtf8AreLatin1) {
  // A terminal set to Latin-1 sends ä as the single byte 0xE4, followed here
  // by a plain letter that cannot continue a UTF-8 sequence.
  EXPECT_EQ(decode("\xE4r"), (std::vector<InputEvent>{character(U'ä'), character(U'r')}));
  // A stray continuation byte, an overlong form and a surrogate.
  EXPECT_EQ(decode("\x80"), (std::vector<InputEvent>{character(0x80)}));
  EXPECT_EQ(decode("\xC0\xAF").front(), character(0xC0));
  EXPECT_EQ(decode("\xED\xA0\x80").front(), character(0xED));
  // A lead byte left alone when the wait is over.
  InputDecoder decoder;
  std::vector<InputEvent> keys;
  decoder.feed("\xC3", keys);
  decoder.flushPending(keys);
  EXPECT_EQ(keys, (std::vector<InputEvent>{character(0xC3)}));
  EXPECT_FALSE(decoder.hasPending());
}

TEST(InputDecoder, ControlKeys) {
  EXPECT_EQ(
      decode("\r\t\x7F\b\x03\x13\x16"),
      (std::vector<InputEvent>{named(NamedKey::Return), named(NamedKey::Tab),
                               named(NamedKey::Backspace), named(NamedKey::Backspace),
                               character(3, true), character(0x13, true), character(0x16, true)}));
}

TEST(InputDecoder, CursorAndEditingKeysOfCommonTerminals) {
  // xterm normal and application cursor modes, VT220 editing keys, rxvt and
  // the Linux console's Home and End.
  EXPECT_EQ(decode("\x1b[A\x1bOB\x1b[C\x1bOD"),
            (std::vector<InputEvent>{named(NamedKey::Up), named(NamedKey::Down),
                                     named(NamedKey::Right), named(NamedKey::Left)}));
  EXPECT_EQ(
      decode("\x1b[H\x1b[F\x1b[1~\x1b[4~\x1b[7~\x1b[8~"),
      (std::vector<InputEvent>{named(NamedKey::Home), named(NamedKey::End), named(NamedKey::Home),
                               named(NamedKey::End), named(NamedKey::Home), named(NamedKey::End)}));
  EXPECT_EQ(
      decode("\x1b[2~\x1b[3~\x1b[5~\x1b[6~\x1b[Z\x1bOM"),
      (std::vector<InputEvent>{named(NamedKey::Insert), named(NamedKey::Delete),
                               named(NamedKey::PageUp), named(NamedKey::PageDown),
                               named(NamedKey::BackTab, true), named(NamedKey::KeypadEnter)}));
}

TEST(InputDecoder, FunctionKeysOfCommonTerminals) {
  EXPECT_EQ(decode("\x1bOP\x1bOQ\x1bOR\x1bOS"),
            (std::vector<InputEvent>{function(1), function(2), function(3), function(4)}));
  EXPECT_EQ(decode("\x1b[15~\x1b[17~\x1b[21~\x1b[23~\x1b[24~\x1b[34~"),
            (std::vector<InputEvent>{function(5), function(6), function(10), function(11),
                                     function(12), function(20)}));
  // The Linux console's F1 to F5.
  EXPECT_EQ(decode("\x1b[[A\x1b[[E"), (std::vector<InputEvent>{function(1), function(5)}));
  // VT220 numbers 16, 22, 27 and 30 name no key.
  EXPECT_TRUE(decode("\x1b[16~\x1b[22~\x1b[30~").empty());
}

TEST(InputDecoder, ModifierParameters) {
  EXPECT_EQ(decode("\x1b[1;5A"),
            (std::vector<InputEvent>{named(NamedKey::Up, false, false, true)}));
  EXPECT_EQ(decode("\x1b[1;2D"), (std::vector<InputEvent>{named(NamedKey::Left, true)}));
  EXPECT_EQ(decode("\x1b[3;3~"), (std::vector<InputEvent>{named(NamedKey::Delete, false, true)}));
  EXPECT_EQ(decode("\x1b[1;2P"), (std::vector<InputEvent>{function(1, true)}));
  EXPECT_EQ(decode("\x1b[15;5~"), (std::vector<InputEvent>{function(5, false, true)}));
  // xterm's modifyOtherKeys reports Ctrl-Shift-ä with its code point.
  EXPECT_EQ(decode("\x1b[27;6;228~").front().character, U'ä');
  // A cursor position report is not F3.
  EXPECT_TRUE(decode("\x1b[12;40R").empty());
}

TEST(InputDecoder, AltIsAnEscapePrefix) {
  EXPECT_EQ(decode("\x1bx\x1b\xC3\xA4"),
            (std::vector<InputEvent>{character(U'x', false, true), character(U'ä', false, true)}));
}

TEST(InputDecoder, LoneEscapeIsTheEscapeKeyOnlyAfterTheWait) {
  InputDecoder decoder;
  std::vector<InputEvent> keys;
  decoder.feed("\x1b", keys);
  EXPECT_TRUE(keys.empty());
  EXPECT_TRUE(decoder.hasPending());
  decoder.flushPending(keys);
  EXPECT_EQ(keys, (std::vector<InputEvent>{named(NamedKey::Escape)}));
  // Two Escapes in a row: the first is a key at once, the second waits.
  keys.clear();
  decoder.feed("\x1b\x1b", keys);
  EXPECT_EQ(keys, (std::vector<InputEvent>{named(NamedKey::Escape)}));
  decoder.flushPending(keys);
  EXPECT_EQ(keys.size(), 2u);
}

TEST(InputDecoder, SequenceSplitAtEveryByteGivesTheSameKeys) {
  const std::string bytes = "\x1b[1;5A\x1bOP\x1b[15~a\x1b[200~x\x1b[201~\x1b[?62;4c";
  EXPECT_EQ(decodeByteByByte(bytes), decode(bytes));
  EXPECT_EQ(decode(bytes).size(), 6u);
}

TEST(InputDecoder, EscapeBracketAloneIsAltBracketAfterTheWait) {
  InputDecoder decoder;
  std::vector<InputEvent> keys;
  decoder.feed("\x1b[", keys);
  EXPECT_TRUE(keys.empty());
  decoder.flushPending(keys);
  EXPECT_EQ(keys, (std::vector<InputEvent>{character(U'[', false, true)}));
}

TEST(InputDecoder, MalformedSequencesAreDroppedAndWhatFollowsSurvives) {
  // Unknown final byte, intermediates, a private mouse report.
  EXPECT_EQ(decode("\x1b[5za"), (std::vector<InputEvent>{character(U'a')}));
  EXPECT_EQ(decode("\x1b[1 qb"), (std::vector<InputEvent>{character(U'b')}));
  EXPECT_EQ(decode("\x1b[<0;10;5Mc"), (std::vector<InputEvent>{character(U'c')}));
  // Broken by a control character: the sequence goes, Return stays.
  EXPECT_EQ(decode("\x1b[12\r"), (std::vector<InputEvent>{named(NamedKey::Return)}));
  // Broken by a new sequence.
  EXPECT_EQ(decode("\x1b[1;\x1b[B"), (std::vector<InputEvent>{named(NamedKey::Down)}));
  // Numbers beyond int do not overflow.
  EXPECT_TRUE(decode("\x1b[99999999999999999999~").empty());
  // An unfinished sequence is dropped when the wait is over.
  InputDecoder decoder;
  std::vector<InputEvent> keys;
  decoder.feed("\x1b[1;5", keys);
  decoder.flushPending(keys);
  EXPECT_TRUE(keys.empty());
  EXPECT_FALSE(decoder.hasPending());
}

TEST(InputDecoder, EndlessSequenceIsDroppedAtTheLimit) {
  InputDecoder decoder;
  std::vector<InputEvent> keys;
  decoder.feed("\x1b[" + std::string(kLongestSequenceBytes * 4, '1'), keys);
  decoder.feed("~z", keys);
  EXPECT_EQ(keys, (std::vector<InputEvent>{character(U'z')}));
}

// An overlong sequence ends the same way whether it arrives in one read or
// byte by byte: where it breaks, the breaking byte is a key of its own.
TEST(InputDecoder, OverlongSequenceEndsAlikeInAnySplit) {
  const std::string many(kLongestSequenceBytes, '1');
  const std::string bytes[] = {
      "\x1b[" + many + "((;Ax",        // a parameter after the intermediates
      "\x1b[" + many + "(A\x1b[Bx",    // intermediates, then the final byte
      "\x1bO" + many + "Px",           // "ESC O" with endless parameters
      "\x1bO" + many + "(Px",          // broken by an intermediate byte
      "\x1b[" + many.substr(2) + "A",  // exactly at the limit
  };
  for (const std::string& sequence : bytes) {
    InputDecoder whole;
    InputDecoder split;
    std::vector<InputEvent> wholeKeys;
    std::vector<InputEvent> splitKeys;
    whole.feed(sequence, wholeKeys);
    for (char byte : sequence) split.feed(std::string_view(&byte, 1), splitKeys);
    whole.flushPending(wholeKeys);
    split.flushPending(splitKeys);
    EXPECT_EQ(splitKeys, wholeKeys) << sequence;
    EXPECT_FALSE(wholeKeys.empty() && sequence.back() == 'x') << sequence;
  }
}

TEST(InputDecoder, BracketedPasteIsOneEvent) {
  std::vector<InputEvent> keys = decode("\x1b[200~nimm l\xC3\xA4mpchen\r\x1b[Adrin\x1b[201~!");
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].kind, InputKind::Paste);
  EXPECT_EQ(keys[0].text, "nimm l\xC3\xA4mpchen\r\x1b[Adrin");
  EXPECT_EQ(keys[1], character(U'!'));
}

TEST(InputDecoder, PasteEndMarkerSplitAcrossReads) {
  InputDecoder decoder;
  std::vector<InputEvent> keys;
  decoder.feed("\x1b[200~abc\x1b[2", keys);
  decoder.flushPending(keys);  // a paste is not cut by the wait
  EXPECT_TRUE(keys.empty());
  decoder.feed("01~", keys);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].text, "abc");
}

TEST(InputDecoder, HugePasteIsBounded) {
  InputDecoder decoder;
  std::vector<InputEvent> keys;
  decoder.feed("\x1b[200~", keys);
  const std::string chunk(64 * 1024, 'x');
  for (int count = 0; count < 4; ++count) decoder.feed(chunk, keys);
  decoder.feed("\x1b[201~", keys);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].text.size(), kLongestPasteBytes);
}

// Only the wheel of the mouse is a key; clicks, releases and moves are not.
TEST(InputDecoder, MouseWheelStepsAndNothingElseOfTheMouse) {
  InputEvent up;
  up.kind = InputKind::Wheel;
  InputEvent down = up;
  down.key = NamedKey::Down;
  InputEvent controlDown = down;
  controlDown.control = true;
  EXPECT_EQ(decodeByteByByte("\x1b[<64;10;5M\x1b[<65;1;1M\x1b[<81;3;3M"),
            (std::vector<InputEvent>{up, down, controlDown}));
  EXPECT_EQ(decode("\x1b[<0;10;5M\x1b[<0;10;5m\x1b[<35;2;2M\x1b[<64;1;1mx"),
            (std::vector<InputEvent>{character(U'x')}));
}

TEST(InputDecoder, DeviceAttributesAnswer) {
  std::vector<InputEvent> keys = decode("\x1b[?62;4;22c");
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].kind, InputKind::DeviceAttributes);
  EXPECT_EQ(keys[0].text, "?62;4;22");
}

}  // namespace
}  // namespace terminal
