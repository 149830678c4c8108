// Text crossing between the toolbox (carriage returns) and the Linux desktop
// (line feeds): the clipboard and the system text views.
#include <QClipboard>
#include <QGuiApplication>

#include "HostFixture.h"
#include "host/qt/LineEnds.h"

TEST(LineEnds, EveryKindOfLineEndBecomesTheOtherSidesOne) {
  // CR LF must count once: a doubled line end would add blank lines on paste.
  EXPECT_EQ(toPlatformLineEnds("a\rb\r\nc\nd\r"), "a\nb\nc\nd\n");
  EXPECT_EQ(toToolboxLineEnds("a\nb\r\nc\rd\n"), "a\rb\rc\rd\r");
  EXPECT_EQ(toPlatformLineEnds("\r\r"), "\n\n");
  EXPECT_EQ(toToolboxLineEnds(""), "");
  // Other bytes, UTF-8 included, pass untouched.
  EXPECT_EQ(toPlatformLineEnds("Gr\xC3\xBC\xC3\x9F\te"), "Gr\xC3\xBC\xC3\x9F\te");
}

TEST(LineEnds, ClipboardHoldsLineFeedsAndTheToolboxReadsCarriageReturns) {
  testHost().setPasteboardText("Zeile 1\rZeile 2\r");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Zeile 1\nZeile 2\n"));
  EXPECT_EQ(testHost().pasteboardText(), "Zeile 1\rZeile 2\r");
  // Text another program copied with line feeds (or CR LF) comes back in the
  // toolbox's form.
  QGuiApplication::clipboard()->setText(QStringLiteral("eins\r\nzwei\ndrei"));
  EXPECT_EQ(testHost().pasteboardText(), "eins\rzwei\rdrei");
}

TEST(LineEnds, PasteboardWindowShowsLinesNotOneLongLine) {
  testHost().setTextViewString(8, "oben\runten");
  EXPECT_EQ(testHost().textView(8)->document()->blockCount(), 2);
  EXPECT_EQ(testHost().textViewString(8), "oben\runten");
}
