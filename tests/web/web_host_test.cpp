// The browser host's decisions that need no browser: which toolbox key a
// page key is, which lines of the text screen are new for the transcript, and
// which rows of a window go to the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>

#include "host/web/FrameRows.h"
#include "host/web/ScreenTranscript.h"
#include "host/web/WebKeys.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/KeyCodes.h"

namespace {

using web::kPageControl;
using web::kPageShift;
using web::WebKeyPress;

TEST(WebKeys, MapsNamesTextAndModifiers) {
  struct Case {
    const char* name;
    const char* text;
    int pageFlags;
    WebKeyPress expected;
  };
  const Case cases[] = {
      {"Enter", "", 0, {keycode::kReturn, "\r", 0}},
      // Shift-Tab is the back tab character the line editor knows.
      {"Tab", "", kPageShift, {keycode::kTab, "\x19", kModifierShift}},
      {"Backspace", "", 0, {keycode::kDelete, "\x7F", 0}},
      {"ArrowLeft", "", 0, {keycode::kLeftArrow, "\xEF\x9C\x82", 0}},
      // F5 is the fifth code of the table and the fifth function character.
      {"F5", "", 0, {keycode::kFunctionKeyCodes[4], "\xEF\x9C\x88", 0}},
      {"", "\xC3\xB6", 0, {keycode::kOther, "\xC3\xB6", 0}},  // ö as typed
      {"", "s", kPageControl, {keycode::kOther, "\x13", kModifierControl}},
      {"",
       "S",
       kPageControl | kPageShift,
       {keycode::kOther, "\x13", kModifierControl | kModifierShift}},
      // Control with a non-letter keeps the character.
      {"", "5", kPageControl, {keycode::kOther, "5", kModifierControl}},
  };
  for (const Case& key : cases) {
    SCOPED_TRACE(std::string(key.name) + "/" + key.text);
    const std::optional<WebKeyPress> press = web::webKeyPress(key.name, key.text, key.pageFlags);
    ASSERT_TRUE(press.has_value());
    EXPECT_EQ(*press, key.expected);
  }
}

TEST(WebKeys, RefusesWhatIsNoKey) {
  for (const auto& [name, text] :
       {std::pair{"F21", ""}, {"F0", ""}, {"Fx", ""}, {"Shift", ""}, {"", ""}, {"", "ab"}}) {
    EXPECT_FALSE(web::webKeyPress(name, text, 0).has_value()) << name << "/" << text;
  }
}

// Screens of five lines: a status line above the scrolling area (line 2 on).
std::vector<std::string> screen(std::initializer_list<const char*> lines) {
  std::vector<std::string> rows(lines.begin(), lines.end());
  rows.resize(5);
  return rows;
}

TEST(ScreenTranscript, FollowsCommandsScrollingAndNewScreens) {
  web::ScreenTranscript transcript;
  using Lines = std::vector<std::string>;
  // The first look reports everything above the cursor.
  EXPECT_EQ(transcript.finishedLines(screen({"Halle", "Du bist in der Halle.", "> "}), 2, 3),
            (Lines{"Halle", "Du bist in der Halle."}));
  // A command and its answer without scrolling: the prompt line as typed.
  EXPECT_EQ(transcript.finishedLines(
                screen({"Halle", "Du bist in der Halle.", "> nimm", "OK.", "> "}), 2, 5),
            (Lines{"> nimm", "OK."}));
  // Two lines scrolled away, the status line changed: nothing twice.
  EXPECT_EQ(transcript.finishedLines(screen({"Keller", "OK.", "> n", "Keller.", "> "}), 2, 5),
            (Lines{"> n", "Keller."}));
  // Keys typed at the prompt finish no line.
  EXPECT_TRUE(
      transcript.finishedLines(screen({"Keller", "OK.", "> n", "Keller.", "> s"}), 2, 5).empty());
  // A cleared screen: everything in the area above the cursor is new.
  EXPECT_EQ(transcript.finishedLines(screen({"Turm", "Oben.", "", "> "}), 2, 4), (Lines{"Oben."}));
}

// More than a screen scrolls between two looks: what left the area comes from
// the program's record, once, in order, after a clear screen too.
TEST(ScreenTranscript, TakesTheLinesThatScrolledAwayBetweenLooks) {
  web::ScreenTranscript transcript;
  using Lines = std::vector<std::string>;
  transcript.finishedLines(screen({"Halle", "Eins.", "> "}), 2, 3);
  EXPECT_EQ(transcript.finishedLines(screen({"Halle", "Drei.", "Vier.", "Fuenf.", "> "}), 2, 5,
                                     {"Eins.", "> lies", "Zwei."}),
            (Lines{"> lies", "Zwei.", "Drei.", "Vier.", "Fuenf."}));
  // Fewer lines scrolled away than were read: those are not read again.
  EXPECT_EQ(transcript.finishedLines(screen({"Halle", "Fuenf.", "> x", "Sechs.", "> "}), 2, 5,
                                     {"Drei.", "Vier."}),
            (Lines{"> x", "Sechs."}));
  // The area was cleared, then scrolled: everything since is new.
  EXPECT_EQ(transcript.finishedLines(screen({"Turm", "C", "D", "E", "> "}), 2, 5, {"A", "B"}),
            (Lines{"A", "B", "C", "D", "E"}));
}

}  // namespace

// Each step changes the pixels (or not) and names the band the page gets.
TEST(FrameRows, SendsTheBandOfChangedRowsConverted) {
  struct Step {
    const char* what;
    int bitDepth;
    int width;
    std::vector<std::pair<std::size_t, std::uint8_t>> writes;  // byte, value
    int top;
    int rows;
  };
  const Step steps[] = {
      {"the first frame is whole", 24, 4, {}, 0, 6},
      {"nothing changed", 24, 4, {}, 0, 0},
      {"rows 2 and 4 (12 bytes a row)", 24, 4, {{24, 1}, {59, 2}}, 2, 3},
      {"the same bytes again", 24, 4, {{24, 1}}, 0, 0},
      {"another depth is whole", 8, 4, {}, 0, 6},
      {"the last row", 8, 4, {{23, 9}}, 5, 1},
      // 1-bit rows of 12 pixels share bytes: always whole.
      {"rows that share bytes", 1, 12, {{0, 0x80}}, 0, 6},
      {"rows that share bytes, unchanged", 1, 12, {}, 0, 6},
  };
  web::FrameRows frames;
  std::vector<std::uint8_t> memory(6 * 12, 0);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    for (const auto& [byte, value] : step.writes) memory[byte] = value;
    const WindowPixels pixels{memory.data(), step.bitDepth, step.width, 6};
    const web::FrameBand band = frames.changedBand(pixels);
    EXPECT_EQ(band.top, step.top);
    EXPECT_EQ(band.rows, step.rows);
    ASSERT_EQ(band.rgba != nullptr, step.rows > 0);
    if (step.rows > 0 && step.bitDepth == 24) {
      // The band's first pixel as the canvas takes it.
      const std::uint8_t* first = memory.data() + band.top * 12;
      EXPECT_EQ(std::vector<int>(band.rgba, band.rgba + 4),
                (std::vector<int>{first[0], first[1], first[2], 255}));
    }
    std::free(band.rgba);
  }
}

// A window scrolling by two rows: the page moves what it has and gets only
// the two new rows.
TEST(FrameRows, AScrollMovesTheRowsSeenBefore) {
  constexpr int kRowBytes = 12;  // 4 pixels of 24 bits
  std::vector<std::uint8_t> memory(6 * kRowBytes);
  for (std::size_t byte = 0; byte < memory.size(); ++byte)
    memory[byte] = static_cast<std::uint8_t>(byte / kRowBytes + 1);
  web::FrameRows frames;
  const WindowPixels pixels{memory.data(), 24, 4, 6};
  std::free(frames.changedBand(pixels).rgba);
  std::copy(memory.begin() + 2 * kRowBytes, memory.end(), memory.begin());
  std::fill(memory.begin() + 4 * kRowBytes, memory.end(), 0x77);
  const web::FrameBand band = frames.changedBand(pixels);
  EXPECT_EQ((std::array<int, 5>{band.moveTop, band.moveRows, band.moveBy, band.top, band.rows}),
            (std::array<int, 5>{0, 4, 2, 4, 2}));
  ASSERT_NE(band.rgba, nullptr);
  EXPECT_EQ(band.rgba[0], 0x77);
  std::free(band.rgba);
}
