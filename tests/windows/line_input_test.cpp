#include <gtest/gtest.h>

#include "graphics/LogCapture.h"
#include "support/Utf8.h"
#include "text/TextWindowFixture.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/LineInput.h"

using namespace texttest;

namespace {

constexpr int kWide = 78;

class LineInput : public ::testing::Test {
 protected:
  void SetUp() override { setUpTextWindow(0, 24, kWide, 4); }
  t_Window& w() { return windowRecord(0); }
  // Opens a field at the start of line 1 after a prompt.
  void open(const std::string& prompt, int mode = 0, int maxCharacters = 80,
            const std::string& text = "") {
    t_InputForm(0, prompt, text, true, mode, maxCharacters);
  }
  void type(const std::string& keys) {
    for (char32_t key : utf8ToScalars(keys)) t_InputEdit(0, static_cast<int>(key));
  }
};

TEST_F(LineInput, TheCommandPromptLeavesRoomForSixtyFourCharacters) {
  open(">>> Befehl ? ");
  EXPECT_EQ(w().InputHpos, 14);
  type(std::string(80, 'x'));
  EXPECT_EQ(utf8ToScalars(w().InputString).size(), 64u);
  EXPECT_EQ(screenLine(1)[kWide - 1], ' ');  // the last column stays free
  EXPECT_EQ(w().TextVpos, 1);
}

TEST_F(LineInput, InitialTextIsCutToTheMaximum) {
  EXPECT_EQ(t_InputForm(0, "", "abcdef", true, 0, 3), "abc");
  EXPECT_EQ(w().InputCursorPos, 3);
  EXPECT_EQ(t_InputForm(0, "", "abcdef", true, 0, 0), "");
}

TEST_F(LineInput, DecimalModeTakesOneCommaOneExponentAndSignsWhereTheyBelong) {
  open("", 3);
  type("1.5E-3");
  EXPECT_EQ(w().InputString, "1,5e-3");
  type(".,-e");
  EXPECT_EQ(w().InputString, "1,5e-3");
}

TEST_F(LineInput, IntegerAndInnerMinusModesPlaceTheMinusDifferently) {
  open("", 2);
  type("-1-2");
  EXPECT_EQ(w().InputString, "-12");
  open("", 4);
  type("-3-4-");
  EXPECT_EQ(w().InputString, "3-4");
}

TEST_F(LineInput, InsertingAfterTheProgramShortenedTheFieldStaysInsideIt) {
  open("", 3, 80, "1e");
  // The program replaces the field behind the editor's back; the cursor now
  // lies beyond the text (and, after that, before it).
  w().InputString = "";
  type("-");
  EXPECT_EQ(w().InputString, "-");
  EXPECT_EQ(w().InputCursorPos, 1);
  w().InputString = "5";
  w().InputCursorPos = -3;
  t_InputInsert(0, '-');
  EXPECT_EQ(w().InputString, "-5");
  EXPECT_EQ(w().InputCursorPos, 1);
}

TEST_F(LineInput, WordMovesStopAfterBlanks) {
  open("", 0, 80, "eins zwei drei");
  type("\x01");
  EXPECT_EQ(w().InputCursorPos, 0);
  type("\x04");
  EXPECT_EQ(w().InputCursorPos, 5);
  type("\x04\x04");
  EXPECT_EQ(w().InputCursorPos, 14);
  type("\x13");
  EXPECT_EQ(w().InputCursorPos, 10);
  type("\x13\x13\x13");
  EXPECT_EQ(w().InputCursorPos, 0);
}

TEST_F(LineInput, DeletingKeysRedrawAndBlankTheFreedCells) {
  open("> ", 0, 80, "abcd");
  type("\x08\x7F");  // left, then delete backward: removes "c"
  EXPECT_EQ(w().InputString, "abd");
  EXPECT_EQ(screenLine(1).substr(2, 5), "abd  ");
  type("\x07");  // forward delete removes "d"
  EXPECT_EQ(w().InputString, "ab");
  type("\x01\x7F");  // at the start nothing goes
  EXPECT_EQ(w().InputString, "ab");
}

TEST_F(LineInput, CtrlXKeepsTheRestAndCtrlZClears) {
  open("", 0, 80, "hallo welt");
  type("\x01\x04\x18");
  EXPECT_EQ(w().InputString, "welt");
  EXPECT_EQ(w().InputCursorPos, 0);
  EXPECT_EQ(screenLine(1).substr(0, 10), "welt      ");
  type("\x1A");
  EXPECT_EQ(w().InputString, "");
  EXPECT_EQ(screenLine(1).substr(0, 10), std::string(10, ' '));
}

TEST_F(LineInput, EscapeReturnsEmptyAndBlanksTheText) {
  t_KeyPostText("abc\x1B");
  EXPECT_EQ(t_InputForm(0, "? ", "", false, 0, 80), "");
  EXPECT_EQ(screenLine(1).substr(0, 5), "?    ");
  EXPECT_EQ(w().TextVpos, 2);
  t_KeyPostText("nimm\r");
  EXPECT_EQ(t_InputForm(0, "? ", "", false, 0, 80), "nimm");
  EXPECT_TRUE(w().InputFinished);
}

TEST_F(LineInput, CtrlCaretTakesADecimalCodeAndDropsTheKeyThatEndsIt) {
  t_KeyPostText("65\rx");
  open("");
  type("\x1E");
  EXPECT_EQ(w().InputString, "A");
  EXPECT_EQ(t_KeyNext(), 'x');
  t_KeyPostText("q");
  type("\x1E");  // a non-digit first: nothing
  EXPECT_EQ(w().InputString, "A");
  t_KeyPostText("007");  // below 32 only in mode 1
  type("\x1E");
  EXPECT_EQ(w().InputString, "A");
}

std::string takeQueuedKeys() {
  std::string keys;
  for (int key = t_KeyNext(); key >= 0; key = t_KeyNext()) keys.push_back(static_cast<char>(key));
  return keys;
}

// A character above 255 is posted in its escape form: Escape, four hex digits,
// group separator. Its Escape key then cancels what was typed before it.
TEST_F(LineInput, PastePostsTheFirstLineWithCharactersBeyondLatinOneEscaped) {
  fakeHost().setPasteboardText(
      "a\xC3\xA4\xE3\x81\x82\xE2\x82\xAC"
      "b\nzweite Zeile");
  open("");
  type("\x16");
  const std::string keys = takeQueuedKeys();
  EXPECT_EQ(keys,
            "a\xE4\x1B"
            "3042\x1D\x1B"
            "20AC\x1D"
            "b");
  for (unsigned char key : keys) t_InputEdit(0, key);
  EXPECT_EQ(w().InputString, "20ACb");
}

// The line ends at the first line end of either kind: a carriage return after
// a line feed must not post a Return that would end the command early.
TEST_F(LineInput, PasteEndsAtTheFirstLineEndOfEitherKind) {
  const struct {
    const char* pasteboard;
    const char* keys;
  } cases[] = {{"a\nb\rc", "a"}, {"a\rb\nc", "a"}, {"a\r\nb", "a"}, {"\nab", ""}, {"ab", "ab"}};
  open("");
  for (const auto& paste : cases) {
    fakeHost().setPasteboardText(paste.pasteboard);
    type("\x16");
    EXPECT_EQ(takeQueuedKeys(), paste.keys) << paste.pasteboard;
  }
}

// A field holds one screen line at most; a pasteboard of megabytes must not
// turn into as many queued key events, and no escape form is cut in two.
TEST_F(LineInput, PasteOfAHugeLinePostsABoundedNumberOfKeys) {
  fakeHost().setPasteboardText(std::string(1'000'000, 'x'));
  open("");
  type("\x16");
  EXPECT_GE(KeyEventQueue.size(), 256u);
  EXPECT_LE(KeyEventQueue.size(), 4096u);
  KeyEventQueue.clear();
  std::string euros;
  for (int i = 0; i < 100'000; ++i) euros += "\xE2\x82\xAC";
  fakeHost().setPasteboardText(euros);
  type("\x16");
  const std::string keys = takeQueuedKeys();
  EXPECT_GE(keys.size(), 4000u);
  EXPECT_LE(keys.size(), 4096u);
  EXPECT_EQ(keys.size() % 6, 0u);
  EXPECT_EQ(keys.back(), '\x1D');
}

TEST_F(LineInput, CopyPutsTheUnescapedFieldOnThePasteboard) {
  open("", 0, 80,
       "x\x1B"
       "00E4\x1Dy");
  type("\x0C");
  EXPECT_EQ(fakeHost().pasteboardText(), "x\xC3\xA4y");
}

TEST(StringEscape, RoundTripsCharactersBeyondLatin1) {
  EXPECT_EQ(stringescape("a\nb\xE2\x82\xAC"),
            "a\rb\x1B"
            "20AC\x1D");
  EXPECT_EQ(stringunescape("a\x1B"
                           "20AC\x1D"
                           "b"),
            "a\xE2\x82\xAC"
            "b");
  EXPECT_EQ(stringunescape("\x1B"
                           "20G0\x1D"),
            "\x1B"
            "20G0\x1D");
  EXPECT_EQ(stringunescape("\x1B"
                           "20A"),
            "\x1B"
            "20A");
}

}  // namespace
