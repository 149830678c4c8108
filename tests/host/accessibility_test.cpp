// The game's windows as assistive technology finds them, and the story told
// to it and to the narrator, on the offscreen platform: events are caught by
// an update handler where a desktop would hand them to AT-SPI.
#include <gtest/gtest.h>
#include <QAccessible>

#include "HostFixture.h"
#include "host/qt/HighContrast.h"
#include "host/qt/Narrator.h"
#include "host/qt/StoryAnnouncer.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/WindowDescription.h"

namespace {

// Says nothing: keeps what it was asked, and finishes when the test says so.
class RecordingEngine : public SpeechEngine {
 public:
  explicit RecordingEngine(QStringList& said, QString reason = {})
      : said_(said), reason_(std::move(reason)) {}
  QString unavailableReason() const override { return reason_; }
  void say(const QString& text) override { said_ << text; }
  void stop() override { said_ << QStringLiteral("<stop>"); }

 private:
  QStringList& said_;
  QString reason_;
};

// The offscreen platform has no AT-SPI bridge: the announcer's events are
// taken where the bridge would take them.
TEST(Accessibility, TextWindowReadsAsTheDumpAndAnnouncesEachFinishedLineOnce) {
  if (!setUpTextWindow()) GTEST_SKIP() << "the game's font is not built";
  QStringList inserted;
  QStringList said;
  Narrator narrator(std::make_unique<RecordingEngine>(said));
  narrator.setEnabled(true);
  StoryAnnouncer announcer(testHost().view(0), testHost().view(1), &narrator,
                           [](std::function<void()> work) { testHost().runOnMainAsync(work); });
  announcer.setEventSink([&inserted](QAccessibleEvent& event) {
    if (event.type() == QAccessible::TextInserted)
      inserted << static_cast<QAccessibleTextInsertEvent&>(event).textInserted();
  });
  // 20 x 4 cells: "drei" stays unfinished, "vier" scrolls "eins" away.
  onProgramThread([] { t_Print(0, std::string("eins\rzwei\rdrei")); });
  announcer.update();
  announcer.update();
  EXPECT_EQ(inserted, (QStringList{"eins\n", "zwei\n"}));
  QAccessibleInterface* text = QAccessible::queryAccessibleInterface(testHost().view(0));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->role(), QAccessible::Terminal);
  EXPECT_EQ(text->text(QAccessible::Name), "Textfenster");
  ASSERT_NE(text->textInterface(), nullptr);
  const int count = text->textInterface()->characterCount();
  // As --dump-text writes it: each line and a line feed, after the last one too.
  EXPECT_EQ(text->textInterface()->text(0, count), "eins\nzwei\ndrei\n\n\n");

  onProgramThread([] {
    t_Print(0, std::string("\rvier\r"));
    t_SetWindowDescription(1, "Ein Tor im Nebel");
  });
  announcer.update();
  EXPECT_EQ(inserted,
            (QStringList{"eins\n", "zwei\n", "drei\n", "vier\n", "Bild: Ein Tor im Nebel\n"}))
      << "the picture is told after the lines printed before it, however late the look";
  EXPECT_EQ(text->textInterface()->text(0, text->textInterface()->characterCount()),
            "zwei\ndrei\nvier\n\n\n");
  QAccessibleInterface* picture = QAccessible::queryAccessibleInterface(testHost().view(1));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->text(QAccessible::Name), "Bildfenster");
  EXPECT_EQ(picture->text(QAccessible::Description), "Ein Tor im Nebel");
  // The narrator was asked for the same lines, one at a time.
  EXPECT_EQ(said, QStringList{"eins"});
}

// The narrator speaks one line after the other, stops at a key, repeats the
// last answer, and keeps a bounded queue; without an engine it stays off.
TEST(Narrator, SpeaksInTurnStopsAtAKeyAndRepeatsTheLastAnswer) {
  QStringList said;
  auto engine = std::make_unique<RecordingEngine>(said);
  RecordingEngine* speaker = engine.get();
  Narrator narrator(std::move(engine));
  narrator.speak({"vorher"});
  EXPECT_TRUE(said.isEmpty()) << "off by default";
  narrator.setEnabled(true);
  narrator.speak({"eins", "zwei"});
  narrator.speak({"drei"});
  EXPECT_EQ(said, QStringList{"eins"});
  for (int line = 0; line < 3; ++line) speaker->finished();
  EXPECT_EQ(said, (QStringList{"eins", "zwei", "drei"}));
  narrator.interrupt();
  narrator.speak({"vier"});
  narrator.interrupt();
  EXPECT_EQ(said, (QStringList{"eins", "zwei", "drei", "vier", "<stop>"}));
  said.clear();
  narrator.repeatLast();
  EXPECT_EQ(said, QStringList{"vier"});
  narrator.interrupt();
  said.clear();
  QStringList many;
  for (std::size_t i = 0; i < Narrator::kMaxQueuedLines + 100; ++i) many << QString::number(i);
  narrator.speak(many);
  for (std::size_t i = 0; i < Narrator::kMaxQueuedLines + 100; ++i) speaker->finished();
  EXPECT_EQ(static_cast<std::size_t>(said.size()), Narrator::kMaxQueuedLines);
  EXPECT_EQ(said.front(), "100") << "the newest lines are kept";

  QStringList none;
  Narrator mute(std::make_unique<RecordingEngine>(none, "keine Sprachausgabe installiert"));
  mute.setEnabled(true);
  mute.speak({"eins"});
  EXPECT_FALSE(mute.enabled());
  EXPECT_TRUE(none.isEmpty());
}

}  // namespace

// Whatever the game's colours, high contrast gives white ink on black paper.
TEST(HighContrast, InkOfAnyColourBecomesWhiteOnBlack) {
  struct Colours {
    const char* what;
    QRgb paper;
    QRgb ink;
  };
  const Colours cases[] = {{"dim green on black", qRgb(0, 0, 0), qRgb(40, 120, 60)},
                           {"dark on light grey", qRgb(200, 210, 200), qRgb(20, 60, 20)},
                           {"white on blue", qRgb(0, 0, 170), qRgb(255, 255, 255)}};
  for (const Colours& colours : cases) {
    QImage text(40, 10, QImage::Format_RGB32);
    text.fill(colours.paper);
    text.setPixel(5, 5, colours.ink);
    const QImage contrasted = highContrastImage(text);
    EXPECT_EQ(contrasted.pixel(0, 0), qRgb(0, 0, 0)) << colours.what;
    EXPECT_EQ(contrasted.pixel(5, 5), qRgb(255, 255, 255)) << colours.what;
  }
}
