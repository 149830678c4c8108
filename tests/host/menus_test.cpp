// Every item of the menu bar does what its tag's row of the action table says.
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <map>

#include "HostFixture.h"
#include "RequireBuilt.h"
#include "support/ThreadLaunch.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Menus.h"
#include "toolbox/windows/WindowManagement.h"

namespace {
QAction* itemWithTag(int tag) {
  for (QAction* action : testHost().menuBar().taggedActions()) {
    if (action->data().toInt() == tag) return action;
  }
  return nullptr;
}

void choose(int tag) {
  QAction* action = itemWithTag(tag);
  ASSERT_NE(action, nullptr) << "no item with tag " << tag;
  action->trigger();
  QCoreApplication::processEvents();
}

bool visible(int window) {
  return testHost().window(window)->isVisible();
}

void makeMain(int window) {
  t_WindowFront(static_cast<std::uint8_t>(window));
  serveEventsUntil([&] { return t_WindowMain() == window; }, 1000);
}

class MenuActions : public ::testing::Test {
 protected:
  void SetUp() override { setUpGraphicWindow(1, 32, 40, 0); }
};
}  // namespace

TEST_F(MenuActions, EveryBuiltInTagHasAnItem) {
  std::vector<int> tags = {100, 101, 110, 111, 112, 113, 114, 200, 201, 205,
                           206, 207, 208, 209, 210, 211, 212, 229, 230};
  for (int tag = 213; tag <= 228; ++tag) tags.push_back(tag);
  for (int tag : tags) EXPECT_NE(itemWithTag(tag), nullptr) << tag;
  // The panels 100 and 101 are the game's own entries, registered by its main routine.
  EXPECT_EQ(MenuActionTableCopy().size(), 37u);
}

TEST_F(MenuActions, ShowAndHideEachFixedWindow) {
  const std::map<int, int> frontTags = {{12, 205}, {11, 207}, {9, 209}, {8, 211}, {10, 229}};
  for (auto [window, tag] : frontTags) {
    int before = t_MenuEventCount();
    choose(tag);
    EXPECT_TRUE(visible(window)) << window;
    choose(tag + 1);
    EXPECT_FALSE(visible(window)) << window;
    EXPECT_EQ(t_MenuEventCount(), before + 2);
  }
  t_MenuEvent last = MenuEventQueueCopy().back();
  EXPECT_EQ(last.Kind, 3);
  EXPECT_EQ(last.ItemAction, 206);
  EXPECT_EQ(last.MenuTitle, "Ausblenden");
  EXPECT_EQ(last.ItemTitle, "Über Velmorat");
}

TEST_F(MenuActions, BuiltInActionsDoNotRunTheProgramMenuHandler) {
  std::atomic<int> handled{0};
  t_SetProgramMenuHandler([&] { ++handled; });
  choose(209);
  t_MenuEventHandler(MenuSender{true, "Fenster", "Frei", "", 0, 202});  // in the table, no effect
  // Every worker those two choices could have started has ended by now.
  EXPECT_TRUE(
      serveEventsUntil([] { return awaitDetachedThreads(std::chrono::milliseconds(0)); }, 10000));
  EXPECT_EQ(handled, 0);
  EXPECT_TRUE(t_MenuAvailable());
  // An item whose tag the table does not know goes to the program, once.
  MenuSender unknown{true, "Hilfe", "Etwas", "", 0, 999};
  t_MenuEventHandler(unknown);
  EXPECT_TRUE(serveEventsUntil([&] { return handled == 1; }, 1000));
  t_MenuEventHandler(MenuSender{});  // outside any menu
  EXPECT_TRUE(serveEventsUntil([&] { return handled == 2; }, 1000));
  EXPECT_EQ(MenuEventQueueCopy().back().Kind, 0);
  t_SetProgramMenuHandler(nullptr);
}

TEST_F(MenuActions, GraphicWindowTagsFrontOddHideAndRefuseUninitialisedWindows) {
  setUpGraphicWindow(3, 32, 32, 0);
  choose(220);  // offset 7: hide window 3
  EXPECT_FALSE(visible(3));
  EXPECT_FALSE(windowRecord(3).Visible);
  choose(219);  // offset 6: window 3 to the front
  EXPECT_TRUE(visible(3));
  EXPECT_TRUE(windowRecord(3).Visible);
  std::string log = capturedLog([] { choose(227); });  // window 7 was never set up
  EXPECT_NE(log.find("t_MenuEventHandler: Window #7 not initialized."), std::string::npos) << log;
  EXPECT_FALSE(visible(7));
}

TEST_F(MenuActions, HideAllAndHideMain) {
  choose(209);
  makeMain(9);
  choose(201);
  EXPECT_FALSE(visible(9));
  choose(211);
  choose(229);
  choose(200);
  for (int window = 0; window <= 12; ++window) EXPECT_FALSE(visible(window)) << window;
}

TEST_F(MenuActions, ClearPrinterAndConsoleEvenWhenHidden) {
  testHost().setTextViewString(9, "Druck");
  testHost().setTextViewString(10, "Konsole");
  choose(210);
  choose(112);
  choose(114);
  EXPECT_EQ(testHost().textViewString(9), "");
  EXPECT_EQ(testHost().textViewString(10), "");
}

TEST_F(MenuActions, CopyTextOfConsoleAndPictureOfGraphicWindow) {
  testHost().setTextViewString(10, "Zeile 1\nZeile 2");
  makeMain(10);
  choose(111);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Zeile 1\nZeile 2"));

  makeMain(1);
  choose(110);
  QImage picture = QGuiApplication::clipboard()->image();
  EXPECT_EQ(picture.width(), 32);
  EXPECT_EQ(picture.height(), 40);
}

TEST_F(MenuActions, CopyTextOfTextWindowReachesTheClipboardWithLineFeeds) {
  VELMORAT_REQUIRE_BUILT(setUpTextWindow(), "the game's font in the bundle");
  onProgramThread([] {
    t_Print(0, "Ab");
    t_Cr(0);
    t_Print(0, std::string("\xC2\x8C\xC2\x8A\xC2\x9C"));  // 140, 138, 156 as UTF-8
  });
  makeMain(0);
  choose(111);
  QString text = QGuiApplication::clipboard()->text();
  // The toolbox ends the lines with carriage returns; other Linux programs
  // get line feeds. The rule character 156 copies as a dash.
  EXPECT_TRUE(text.startsWith(QStringLiteral("Ab\n-|-"))) << text.toStdString();
  EXPECT_FALSE(text.contains(QLatin1Char('\r')));
  // Read back, the toolbox finds its own form again.
  EXPECT_EQ(testHost().pasteboardText().substr(0, 4), "Ab\r-");
}

TEST_F(MenuActions, ProgramActionHookRunsForGraphicMainWindowOnly) {
  int hooked = 0;
  t_SetProgramActionHook([&] { ++hooked; });
  makeMain(1);
  choose(113);
  EXPECT_EQ(hooked, 1);
  makeMain(11);
  choose(113);  // preferences in front: a beep instead
  EXPECT_EQ(hooked, 1);
  t_SetProgramActionHook(nullptr);
}

TEST_F(MenuActions, CancelledPanelsStoreEmptyPaths) {
  t_MenuActionAdd(100);
  t_MenuActionAdd(101);
  for (int tag : {100, 101}) {
    QTimer::singleShot(200, [] {
      if (QWidget* panel = QApplication::activeModalWidget()) panel->close();
    });
    choose(tag);
    for (const t_MenuAction& entry : MenuActionTableCopy()) {
      if (entry.Tag == tag) {
        EXPECT_EQ(entry.FilePath, "");
        EXPECT_EQ(entry.FileName, "");
      }
    }
  }
}

TEST(ProgramMenuItems, StandWhereMainPutsThemAndOnlyWhenHandedOver) {
  auto tagsOf = [](const MenuBar& bar) {
    std::map<int, QString> items;
    for (QAction* action : bar.taggedActions()) {
      items[action->data().toInt()] = QString::fromStdString(MenuBar::senderOf(action).menuTitle);
    }
    return items;
  };
  const MenuBar bare(MenuBarHooks{}, ProgramMenuTags{});
  const std::map<int, QString> builtIn = tagsOf(bare);
  const MenuBar game(MenuBarHooks{}, {.loadGame = 1001,
                                      .saveGame = 1002,
                                      .loadLastState = 1003,
                                      .saveTranscript = 1004,
                                      .takeBackMove = 1005,
                                      .showTranscript = 1006});
  std::map<int, QString> added = tagsOf(game);
  for (const auto& [tag, menu] : builtIn) added.erase(tag);
  EXPECT_EQ(added, (std::map<int, QString>{{1001, "Ablage"},
                                           {1002, "Ablage"},
                                           {1003, "Ablage"},
                                           {1004, "Ablage"},
                                           {1005, "Bearbeiten"},
                                           {1006, "Fenster"}}));
  EXPECT_EQ(game.taggedActions().size(), bare.taggedActions().size() + 6);
}
