// The player's desktop on real Qt windows: the fitted layout, zoom, memory
// between runs, quitting, titles, the menus and German dialogs.
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <memory>

#include "HostFixture.h"
#include "host/qt/FileDialogs.h"
#include "host/qt/Translations.h"
#include "host/terminal/TerminalActions.h"
#include "toolbox/core/PixelChanges.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/Menus.h"
#include "toolbox/windows/WindowManagement.h"

namespace {
// Two windows of their own with the application's menu bar, laid out by a
// layout of their own: no other test's windows take part in the fit.
class DesktopFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int number : {1, 0}) {
      auto window = std::make_unique<VelmoratWindow>(number, graphicWindowName(number));
      testHost().menuBar().attachTo(window.get());
      window->resize(640, 480 + title());
      layout.adopt(window.get());
      window->show();
      windows.push_back(std::move(window));
    }
    QCoreApplication::processEvents();
  }
  static int title() { return testHost().titleBarHeight(); }
  VelmoratWindow* picture() { return windows[0].get(); }
  VelmoratWindow* text() { return windows[1].get(); }
  // The game's placement: the text window right of the 1280 points of the picture window.
  void placeLikeTheGame() {
    layout.setFrame(picture(), {0, 100, 1280, 800.0 + title()});
    layout.setFrame(text(), {1280, 100, 1280, 800.0 + title()});
    QCoreApplication::processEvents();
  }
  void zoom(bool in) {
    layout.zoom(picture(), in);
    QCoreApplication::processEvents();
  }

  DesktopLayout layout{testHost().titleBarHeight()};
  std::vector<std::unique_ptr<VelmoratWindow>> windows;
};

QRect available() {
  return QGuiApplication::primaryScreen()->availableGeometry();
}

// The offscreen platform gives windows a frame of 2 pixels and may move them
// by that much after they are placed.
constexpr int kFrameJitter = 2;

bool near(const QRect& shown, const QRect& expected) {
  return std::abs(shown.x() - expected.x()) <= kFrameJitter &&
         std::abs(shown.y() - expected.y()) <= kFrameJitter && shown.size() == expected.size();
}
}  // namespace

TEST_F(DesktopFixture, GameWindowsFitTheScreenSideBySideAndReadBackTheirPoints) {
  placeLikeTheGame();
  QRect screen = available().marginsAdded(QMargins(1, 1, 1, 1) * kFrameJitter);
  EXPECT_TRUE(screen.contains(picture()->geometry()));
  EXPECT_TRUE(screen.contains(text()->geometry()));
  EXPECT_LE(picture()->geometry().right(), text()->geometry().left() + kFrameJitter);
  EXPECT_EQ(picture()->geometry().top(), text()->geometry().top());
  // The program reads back exactly what it set, in its own points.
  host::Rect frame = layout.frame(text());
  EXPECT_EQ(frame.x, 1280);
  EXPECT_EQ(frame.y, 100);
  EXPECT_EQ(frame.width, 1280);
  // Its screen is the real one in the same points.
  double scale = layout.mapping().scale;
  EXPECT_LT(scale, 1);  // the offscreen screen is far smaller than 2560 points
  EXPECT_NEAR(layout.screenFrame(text()).width, available().width() / scale, 1e-6);
  // The content scales with the window: one scale for both.
  EXPECT_NEAR(text()->content()->placement().scale, scale, 1.0 / 1280);
}

TEST_F(DesktopFixture, PlayerMovesChangeThePositionNotTheSize) {
  placeLikeTheGame();
  double scale = layout.mapping().scale;
  text()->move(text()->pos() + QPoint(20, 10));
  QCoreApplication::processEvents();
  host::Rect frame = layout.frame(text());
  EXPECT_NEAR(frame.x, 1280 + 20 / scale, 1 / scale);
  EXPECT_NEAR(frame.y, 100 - 10 / scale, 1 / scale);
  EXPECT_EQ(frame.width, 1280);
}

TEST_F(DesktopFixture, ZoomStepsStayOnScreenAndFitUndoesThem) {
  placeLikeTheGame();
  const QRect fitted = picture()->geometry();
  const double before = picture()->content()->placement().scale;
  zoom(false);
  EXPECT_LT(picture()->content()->placement().scale, before);
  zoom(true);
  zoom(true);
  zoom(true);
  // However often it grows, it stays whole on the screen.
  EXPECT_TRUE(available()
                  .marginsAdded(QMargins(1, 1, 1, 1) * kFrameJitter)
                  .contains(picture()->geometry()));
  EXPECT_GT(picture()->content()->placement().scale, before);
  // The text window stepped aside, still on the screen, and smaller.
  const QRect inside = text()->geometry().marginsRemoved(QMargins(1, 1, 1, 1) * kFrameJitter);
  EXPECT_FALSE(picture()->geometry().intersects(inside));
  EXPECT_TRUE(
      available().marginsAdded(QMargins(1, 1, 1, 1) * kFrameJitter).contains(text()->geometry()));
  layout.fitAll();
  QCoreApplication::processEvents();
  EXPECT_TRUE(near(picture()->geometry(), fitted));
}

TEST_F(DesktopFixture, SavedPlacesComeBackOnlyWhileTheyFit) {
  placeLikeTheGame();
  QTemporaryDir folder;
  QSettings settings(folder.filePath(QStringLiteral("velmorat.ini")), QSettings::IniFormat);
  picture()->setGeometry(QRect(10, 40, 300, 200 + title()));
  QCoreApplication::processEvents();
  layout.saveTo(settings);
  layout.fitAll();
  ASSERT_FALSE(near(picture()->geometry(), QRect(10, 40, 300, 200 + title())));
  EXPECT_TRUE(layout.restoreFrom(settings, picture()));
  EXPECT_TRUE(near(picture()->geometry(), QRect(10, 40, 300, 200 + title())));
  // A place from a larger screen than this one is forgotten.
  settings.setValue(QStringLiteral("Fenster/1"), QRect(3000, 40, 300, 200));
  EXPECT_FALSE(layout.restoreFrom(settings, picture()));
  EXPECT_FALSE(settings.contains(QStringLiteral("Fenster/1")));
}

TEST(DesktopView, PictureIsLetterboxedInTheBorderColourAndClicksCountInPoints) {
  setUpGraphicWindow(4, 40, 32, 0);
  onProgramThread([] {
    t_ColorBorder(4, 13);  // yellow bars
    for (int offset = 0; offset < 40 * 32 * 3; offset += 3) {
      VideoMemory[windowRecord(4).MemoryStart + offset] = 255;  // red picture
    }
    markWindowChanged(4);  // written by hand: marked as the drawing routines mark
  });
  VelmoratWindow* window = testHost().window(4);
  // Higher than the picture's aspect ratio allows: bars above and below.
  window->resize(200, 200 + testHost().titleBarHeight());
  QCoreApplication::processEvents();
  QImage shown = testHost().view(4)->grab().toImage();
  ASSERT_EQ(shown.size(), QSize(200, 200));
  // The picture 5 times as large (160 high, from 20 to 180), bars around it.
  EXPECT_EQ(shown.pixelColor(100, 100), QColor(255, 0, 0));
  EXPECT_EQ(shown.pixelColor(100, 21), QColor(255, 0, 0));
  EXPECT_EQ(shown.pixelColor(100, 18), QColor(255, 255, 0));
  EXPECT_EQ(shown.pixelColor(100, 182), QColor(255, 255, 0));
  // A click in the middle of the scaled picture is its middle in points.
  MouseEventQueue.clear();
  QWidget* content = window->content();
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, 100),
                    content->mapToGlobal(QPointF(100, 100)), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(content, &press);
  std::optional<t_Event> click = MouseEventQueue.takeFront();
  ASSERT_TRUE(click);
  EXPECT_EQ(click->ClickX, 20);
  EXPECT_EQ(click->ClickY, 16);
  viewMouseUp(4);
  t_WindowVisible(4, false);
}

TEST(DesktopTitles, SayWhichWindowIsWhich) {
  testHost().setTitle(testHost().window(1)->handle(), "Velmorat");
  testHost().setTitle(testHost().window(0)->handle(), "Velmorat");
  EXPECT_EQ(testHost().window(1)->windowTitle(), QStringLiteral("Bildfenster \u2013 Velmorat"));
  EXPECT_EQ(testHost().window(0)->windowTitle(), QStringLiteral("Textfenster \u2013 Velmorat"));
  testHost().setTitle(testHost().window(9)->handle(), "Drucker");
  EXPECT_EQ(testHost().window(9)->windowTitle(), QStringLiteral("Drucker"));
}

namespace {
class Quitting : public ::testing::Test {
 protected:
  void SetUp() override {
    testHost().setQuitRoutine([this] { ++quits; });
  }
  void TearDown() override { testHost().setQuitRoutine(nullptr); }
  static void hideAll() {
    for (int number = 0; number <= 12; ++number) testHost().window(number)->hide();
  }
  int quits = 0;
};
}  // namespace

TEST_F(Quitting, BothQuitShortcutsGoToTheMenuNotToTheKeyQueue) {
  setUpGraphicWindow(0, 32, 32, 0);
  t_WindowFront(0);
  serveEventsUntil([] { return t_WindowMain() == 0; }, 1000);
  KeyEventQueue.clear();
  QTest::keyClick(testHost().view(0), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(quits, 1);
  QTest::keyClick(testHost().view(0), Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(quits, 2);
  EXPECT_EQ(KeyEventQueue.size(), 0u);
}

TEST_F(Quitting, TheLastCloseBoxQuitsTheOthersOnlyHide) {
  hideAll();
  t_WindowFront(9);
  t_WindowFront(10);
  testHost().window(9)->close();
  QCoreApplication::processEvents();
  EXPECT_FALSE(testHost().window(9)->isVisible());
  EXPECT_EQ(quits, 0);
  testHost().window(10)->close();
  QCoreApplication::processEvents();
  EXPECT_EQ(quits, 1);
}

TEST_F(Quitting, HidingEveryWindowByMenuQuitsToo) {
  setUpGraphicWindow(1, 32, 40, 0);  // the toolbox's menu actions are registered
  t_WindowFront(9);
  for (QAction* action : testHost().menuBar().taggedActions()) {
    if (action->data().toInt() == kActionHideAll) action->trigger();
  }
  for (int n = 0; n <= 12; ++n) EXPECT_FALSE(testHost().window(n)->isVisible()) << n;
  EXPECT_EQ(quits, 1);
}

namespace {
QMenu* topMenu(const char* title) {
  return testHost().menuBar().topLevel(title)->menu;
}

QMenu* submenu(QMenu* menu, const QString& title) {
  for (QAction* action : menu->actions()) {
    if (MenuBar::plainTitle(action->text()) == title) return action->menu();
  }
  return nullptr;
}

QStringList titlesOf(const QMenu* menu) {
  QStringList titles;
  for (QAction* action : menu->actions()) titles << MenuBar::plainTitle(action->text());
  return titles;
}

void collectShortcuts(const QMenu* menu, QList<QKeySequence>& shortcuts) {
  for (QAction* action : menu->actions()) {
    if (action->menu() != nullptr) collectShortcuts(action->menu(), shortcuts);
    shortcuts << action->shortcuts();
  }
}
}  // namespace

TEST(DesktopMenus, PlayersSeeTheGameToolsWaitInWerkzeuge) {
  QStringList fenster = titlesOf(topMenu("Fenster"));
  EXPECT_TRUE(fenster.contains(QStringLiteral("Werkzeuge")));
  EXPECT_TRUE(fenster.contains(QStringLiteral("Vollbild")));
  for (const char* internal : {"Zwischenablage", "Systemkonsole", "Grafikfenster 2"})
    EXPECT_FALSE(fenster.contains(QString::fromUtf8(internal))) << internal;
  EXPECT_FALSE(titlesOf(topMenu("Bearbeiten")).contains(QStringLiteral("Drucker leeren")));
  QMenu* tools = submenu(topMenu("Fenster"), QStringLiteral("Werkzeuge"));
  ASSERT_NE(tools, nullptr);
  QStringList werkzeuge = titlesOf(tools);
  for (const char* tool : {"Zwischenablage", "Virtueller Drucker", "Systemkonsole", "Einstellungen",
                           "Grafikfenster 7", "Drucker leeren", "Programmaktion"})
    EXPECT_TRUE(werkzeuge.contains(QString::fromUtf8(tool))) << tool;
  EXPECT_EQ(titlesOf(topMenu("Hilfe")),
            (QStringList{QStringLiteral("Spielhilfe"), QStringLiteral("Tastenkürzel"), QString(),
                         QStringLiteral("Über Velmorat")}));
}

// A script reads the same menu event whichever host the player uses: the
// terminal's function keys and menu send what the desktop's items send.
TEST(DesktopMenus, TheTerminalsMenuItemsSendWhatTheDesktopsSend) {
  int compared = 0;
  for (const terminal::TerminalAction& action : terminal::terminalActions()) {
    if (action.kind != terminal::ActionKind::MenuItem) continue;
    const MenuSender terminalSent = terminal::menuSenderOf(action);
    bool found = false;
    for (QAction* item : testHost().menuBar().taggedActions()) {
      const MenuSender desktopSent = MenuBar::senderOf(item);
      if (desktopSent.tag != action.tag) continue;
      found = true;
      EXPECT_EQ(terminalSent.menuTitle, desktopSent.menuTitle) << action.title;
      EXPECT_EQ(terminalSent.itemTitle, desktopSent.itemTitle);
      EXPECT_EQ(terminalSent.keyChar, desktopSent.keyChar) << action.title;
      EXPECT_EQ(terminalSent.keyMods, desktopSent.keyMods) << action.title;
      EXPECT_TRUE(terminalSent.inMenu);
      ++compared;
      break;
    }
    EXPECT_TRUE(found) << action.title << " has no desktop menu item";
  }
  EXPECT_EQ(compared, 9);
}

TEST(DesktopMenus, NoShortcutTakesAKeyOfTheLineEditor) {
  // Ctrl with a letter types the editor's control codes (Ctrl-A to the start,
  // Ctrl-V pastes ...); only Ctrl+Q is free.
  QList<QKeySequence> shortcuts;
  for (const char* title : {"Ablage", "Bearbeiten", "Fenster", "Hilfe"})
    collectShortcuts(topMenu(title), shortcuts);
  for (const QKeySequence& shortcut : shortcuts) {
    QKeyCombination combination = shortcut[0];
    bool controlLetter = combination.keyboardModifiers() == Qt::ControlModifier &&
                         combination.key() >= Qt::Key_A && combination.key() <= Qt::Key_Z;
    EXPECT_TRUE(!controlLetter || combination.key() == Qt::Key_Q)
        << shortcut.toString().toStdString();
  }
  EXPECT_GT(shortcuts.size(), 10);
}

TEST(DesktopMenus, HelpWindowsShowTheGameHelpAndTheShortcuts) {
  testHost().setGameHelp([] { return QStringLiteral("lese/schau = Aktuelle Szene anzeigen\n"); });
  for (QAction* action : testHost().menuBar().topLevel("Hilfe")->menu->actions()) {
    if (action->text().contains(QStringLiteral("Spielhilfe")) ||
        action->text().contains(QStringLiteral("Tastenk")))
      action->trigger();
  }
  EXPECT_TRUE(testHost().gameHelpWindow().widget()->toPlainText().contains(
      QStringLiteral("Aktuelle Szene anzeigen")));
  QString shortcuts = testHost().shortcutsWindow().widget()->toPlainText();
  EXPECT_TRUE(shortcuts.contains(QStringLiteral("Beenden"))) << shortcuts.toStdString();
  EXPECT_TRUE(shortcuts.contains(QStringLiteral("Vollbild")));
  EXPECT_TRUE(shortcuts.contains(QStringLiteral("Befehl abschicken")));
  // Esc and Ctrl+W close them, as any other window.
  for (const auto& [window, keys] :
       {std::pair{testHost().gameHelpWindow().widget(), QKeySequence(Qt::Key_Escape)},
        std::pair{testHost().shortcutsWindow().widget(), QKeySequence(QKeySequence::Close)}}) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keySequence(window, keys);
    EXPECT_FALSE(window->isVisible()) << window->windowTitle().toStdString();
    window->hide();
  }
}

// The Verlauf is paper: typing leaves it as printed, and the caret walks it
// from the newest line back, a line a key.
TEST(DesktopMenus, VerlaufIsReadOnlyPaperReadByTheCaret) {
  QPlainTextEdit* paper = testHost().textView(host::kVirtualPrinterWindow);
  ASSERT_NE(paper, nullptr);
  testHost().setTextViewString(host::kVirtualPrinterWindow, "eins\rzwei\rdrei");
  QTest::keyClicks(paper, "nimm");
  QTest::keyClick(paper, Qt::Key_Backspace);
  QTest::keyClick(paper, Qt::Key_Return);
  EXPECT_EQ(paper->toPlainText(), QStringLiteral("eins\nzwei\ndrei"));
  EXPECT_EQ(paper->textCursor().blockNumber(), 2);
  QTest::keyClick(paper, Qt::Key_Up);
  EXPECT_EQ(paper->textCursor().blockNumber(), 1);
  QTest::keyClick(paper, Qt::Key_Up);
  EXPECT_EQ(paper->textCursor().block().text(), QStringLiteral("eins"));
}

// Ctrl+F asks without a nested event loop (a scripted run would wait on it for
// ever) and the answer finds its line.
TEST(DesktopMenus, VerlaufSearchAsksWithoutHoldingTheCaller) {
  QPlainTextEdit* paper = testHost().textView(host::kVirtualPrinterWindow);
  ASSERT_NE(paper, nullptr);
  testHost().setTextViewString(host::kVirtualPrinterWindow, "eins\rzwei\rdrei");
  QWidget* window = paper->window();
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  QTest::keySequence(window, QKeySequence::Find);
  auto* question = window->findChild<QInputDialog*>();
  ASSERT_NE(question, nullptr);
  question->setTextValue(QStringLiteral("zwei"));
  question->accept();
  EXPECT_EQ(paper->textCursor().block().text(), QStringLiteral("zwei"));
  window->hide();
}

// Only the author's run has the item; its window follows each report handed over.
TEST(DesktopMenus, TheAuthorsRunShowsTheGameStateLive) {
  QMenu* tools = submenu(topMenu("Fenster"), QStringLiteral("Werkzeuge"));
  ASSERT_NE(tools, nullptr);
  EXPECT_FALSE(titlesOf(tools).contains(QStringLiteral("Spielzustand")));
  testHost().enableGameStateWindow();
  ASSERT_EQ(titlesOf(tools).value(0), QStringLiteral("Spielzustand"));
  const auto shown = [] {
    QCoreApplication::processEvents();
    QPlainTextEdit* window = testHost().gameStateWindow().widget();
    return window != nullptr && window->isVisible() ? window->toPlainText() : QString();
  };
  testHost().showGameState("Zustand\nSzene 1\n");
  QCoreApplication::processEvents();
  EXPECT_EQ(shown(), QString()) << "shown only when chosen";
  tools->actions().value(0)->trigger();
  EXPECT_EQ(shown(), QStringLiteral("Zustand\nSzene 1\n"));
  testHost().showGameState("Zustand\nSzene 2\nFlag 3: Tor offen\n");
  EXPECT_EQ(shown(), QStringLiteral("Zustand\nSzene 2\nFlag 3: Tor offen\n"));
  testHost().gameStateWindow().widget()->hide();
}

TEST(German, QtsOwnDialogsAndButtonsSpeakGerman) {
  ASSERT_TRUE(installGermanTranslations()) << "qt6-translations-l10n is not installed";
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
  EXPECT_EQ(QLocale().language(), QLocale::German);
  // The file dialog's questions say "Du", as the game does.
  for (const char* english :
       {"Are you sure you want to delete '%1'?",
        "'%1' is write protected.\nDo you want to delete it anyway?",
        "%1\nFile not found.\nPlease verify the correct file name was given."}) {
    const QString german = QCoreApplication::translate("QFileDialog", english);
    EXPECT_NE(german, QString::fromUtf8(english));
    EXPECT_FALSE(german.contains(QStringLiteral("Sie"))) << german.toStdString();
  }
}

// Each file dialog starts in the folder of the file chosen last, in any dialog.
TEST(German, FileDialogsStartInTheFolderOfTheLastFileChosen) {
  QTemporaryDir folder;
  const QString saved = QSettings().value(QStringLiteral("dialogs/lastFolder")).toString();
  QString shownFolder;
  QTimer::singleShot(0, [&folder] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(folder.filePath(QStringLiteral("stand.sav")));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  host::SavePanelRequest save;
  save.proposedName = "stand.sav";
  EXPECT_EQ(runSavePanel(save), folder.filePath(QStringLiteral("stand.sav")).toStdString());
  QTimer::singleShot(0, [&shownFolder] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    shownFolder = dialog->directory().absolutePath();
    QMetaObject::invokeMethod(dialog, "reject");
  });
  EXPECT_TRUE(runOpenPanel(host::OpenPanelRequest{}).empty());
  EXPECT_EQ(shownFolder, QDir(folder.path()).absolutePath());
  QSettings().setValue(QStringLiteral("dialogs/lastFolder"), saved);
}

TEST(German, FileFiltersNameTheKindsOfFiles) {
  EXPECT_EQ(nameFilters("", false), QStringList{QStringLiteral("Alle Dateien (*)")});
  EXPECT_EQ(nameFilters("txt", false), QStringList{QStringLiteral("Textdateien (*.txt *.TXT)")});
  EXPECT_EQ(nameFilters("txt, gr", true),
            (QStringList{QStringLiteral("Alle passenden Dateien (*.txt *.TXT *.gr *.GR)"),
                         QStringLiteral("Textdateien (*.txt *.TXT)"),
                         QStringLiteral("Bilder des Spiels (*.gr *.GR)"),
                         QStringLiteral("Alle Dateien (*)")}));
  EXPECT_EQ(nameFilters("sav", false), QStringList{QStringLiteral("SAV-Dateien (*.sav *.SAV)")});
}
