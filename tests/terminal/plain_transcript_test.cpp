#include "host/terminal/PlainTranscript.h"

#include <gtest/gtest.h>

namespace terminal {
namespace {

outputlines::FinishedLine finished(const std::string& text, bool typed = false) {
  static std::uint64_t number = 0;
  outputlines::FinishedLine line;
  line.textUtf8 = text;
  line.typed = typed;
  line.number = ++number;
  return line;
}

FollowedText pictureAmong(std::vector<outputlines::FinishedLine> lines, std::size_t before,
                          const std::string& caption) {
  FollowedText followed;
  followed.pictureUtf8 = caption;
  followed.pictureChanged = true;
  followed.pictureAfterLine = lines.at(before).number - 1;
  followed.lines = std::move(lines);
  return followed;
}

FollowedText waiting(const std::string& pending, int caret) {
  FollowedText followed;
  followed.waiting = true;
  followed.lineInput = true;
  followed.pendingUtf8 = pending;
  followed.caret = caret;
  return followed;
}

struct Step {
  const char* what;
  FollowedText followed;
  std::string bytes;
};

// One game's worth of screen changes and the bytes each must write: only
// CR LF and backspace ever move the cursor.
TEST(PlainTranscript, WritesEachLineOnceAndEditsOnlyThePendingLine) {
  FollowedText scene = pictureAmong({finished("Vor dem Tor."), finished("")}, 0, "Ein Tor");
  scene.statusUtf8 = "Vor dem Tor, Ausg\u00E4nge: v";
  scene.statusChanged = true;
  FollowedText answer;
  answer.lines = {finished(">>> Befehl ? nimm", true), finished("OK.")};
  const std::vector<Step> steps = {
      {"picture, lines, then the place read at the wait", scene,
       "Bild: Ein Tor\r\nVor dem Tor.\r\n\r\nVor dem Tor, Ausg\u00E4nge: v\r\n"},
      {"a picture drawn between two lines is told between them",
       pictureAmong({finished("Du gehst."), finished("Im Hof.")}, 1, "Ein Hof"),
       "Du gehst.\r\nBild: Ein Hof\r\nIm Hof.\r\n"},
      {"the prompt", waiting(">>> Befehl ? ", 13), ">>> Befehl ? "},
      {"typed", waiting(">>> Befehl ? nimt", 17), "nimt"},
      {"corrected", waiting(">>> Befehl ? nim", 16), "\b \b"},
      {"cursor moved left", waiting(">>> Befehl ? nim", 14), "\b\b"},
      {"inserted there", waiting(">>> Befehl ? nimm", 15), "imm\b\b"},
      {"Return: the typed line ends, the answer follows", answer, "mm\r\nOK.\r\n"},
      {"nothing new", FollowedText{}, ""},
  };
  PlainTranscript transcript;
  for (const Step& step : steps)
    EXPECT_EQ(transcript.follow(step.followed), step.bytes) << step.what;
  EXPECT_EQ(transcript.repeatCaption(), "Bild: Ein Hof\r\n");
}

TEST(PlainTranscript, BoxesWriteTheirLinesOnceThenTheirInput) {
  PlainTranscript transcript;
  EXPECT_EQ(transcript.follow(waiting(">>> Befehl ? ", 13)), ">>> Befehl ? ");
  DialogView prompt;
  prompt.title = "Spiel sichern";
  prompt.lines = {"Sichern unter:"};
  prompt.hasInput = true;
  prompt.input = U"a";
  prompt.inputCursor = 1;
  EXPECT_EQ(transcript.showDialog(prompt), "\r\nSpiel sichern\r\nSichern unter:\r\na");
  prompt.input = U"ab";
  prompt.inputCursor = 2;
  EXPECT_EQ(transcript.showDialog(prompt), "b");
  EXPECT_EQ(transcript.closeDialog(), "\r\n");
  EXPECT_EQ(transcript.follow(waiting(">>> Befehl ? ", 13)), ">>> Befehl ? ");
}

TEST(PlainTranscript, WordsStandForFunctionKeys) {
  const std::vector<std::pair<std::string, int>> words = {
      {"sichern", 2},       {" Laden ", 3},   {"zur\u00FCcknehmen", 4}, {"ZURUECKNEHMEN", 4},
      {"letzter stand", 5}, {"Men\u00DC", 9}, {"beenden", 10}};
  for (const auto& [word, key] : words) EXPECT_EQ(functionKeyOfWord(word), key) << word;
  for (const char* other : {"", "sichern x", "lese brief", "bilder"})
    EXPECT_FALSE(functionKeyOfWord(other).has_value()) << other;
}

}  // namespace
}  // namespace terminal
