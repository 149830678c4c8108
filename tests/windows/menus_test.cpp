// The menu logic against a fake menu bar: lookups by title and position, the
// trimming of the host's Edit and Window menus, and the plain-text mapping.
#include <gtest/gtest.h>

#include <memory>

#include "host/fake/FakeHost.h"
#include "toolbox/windows/Menus.h"

namespace {
class FakeMenus : public ::testing::Test {
 protected:
  void SetUp() override { host::install(&desktop); }
  void TearDown() override { host::install(nullptr); }

  host::HostMenu& addMenu(const std::string& title, std::vector<std::string> items) {
    desktop.menuBar.push_back(
        std::make_unique<host::HostMenu>(host::HostMenu{title, std::move(items)}));
    return *desktop.menuBar.back();
  }

  std::string log(const std::function<void()>& work) {
    testing::internal::CaptureStdout();
    work();
    return testing::internal::GetCapturedStdout();
  }

  host::FakeHost desktop;
};
}  // namespace

TEST_F(FakeMenus, IndexFindsTheFirstOfEqualTitlesAndReportsMissingMenus) {
  addMenu("Ablage", {"Neu", "Öffnen", "Neu"});
  EXPECT_EQ(t_MenuItemIndex("Ablage", "Neu"), 0);
  EXPECT_EQ(t_MenuItemIndex("Ablage", "Öffnen"), 1);
  EXPECT_EQ(t_MenuItemIndex("Ablage", "Sichern"), -1);
  std::string lines = log([] { EXPECT_EQ(t_MenuItemIndex("File", "Neu"), -2); });
  EXPECT_EQ(lines, "t_MenuItemIndex: Menu not found.\n");
}

// A terminal has no menu bar: its menus are never found, and that is not
// worth a log line; the built-in actions are there all the same.
TEST_F(FakeMenus, AHostWithoutMenuBarLogsNoMissingMenus) {
  desktop.withMenuBar = false;
  const std::size_t before = MenuActionTableCopy().size();
  std::string lines = log([] {
    t_MenuPrepare();
    EXPECT_EQ(t_MenuItemIndex("Ablage", "Neu"), -2);
    EXPECT_EQ(t_MenuItemTitle("Ablage", 0), "");
    t_MenuItemDelete("Ablage", 0);
  });
  EXPECT_EQ(lines, "");
  EXPECT_EQ(MenuActionTableCopy().size(), before + 37u);
}

TEST_F(FakeMenus, DeleteAndTitleTakeLastItemAndRejectPositionsOutside) {
  host::HostMenu& menu = addMenu("Fenster", {"Eins", "Zwei", "Drei"});
  EXPECT_EQ(t_MenuItemTitle("Fenster", 65535), "Drei");
  t_MenuItemDelete("Fenster", 65535);
  EXPECT_EQ(menu.items, (std::vector<std::string>{"Eins", "Zwei"}));
  t_MenuItemDelete("Fenster", 0);
  EXPECT_EQ(menu.items, (std::vector<std::string>{"Zwei"}));
  EXPECT_EQ(log([] { t_MenuItemDelete("Fenster", 1); }),
            "t_MenuItemDelete: Item position out of range\n");
  EXPECT_EQ(log([] { EXPECT_EQ(t_MenuItemTitle("Fenster", -1), ""); }),
            "t_MenuItemTitle: Item position out of range\n");
  addMenu("Leer", {});
  EXPECT_EQ(log([] { t_MenuItemDelete("Leer", 65535); }),
            "t_MenuItemDelete: Item position out of range\n");
}

TEST_F(FakeMenus, PrepareTrimsEditAndWindowMenusAndFillsTheTable) {
  host::HostMenu& edit =
      addMenu("Bearbeiten", {"Kopieren", "", "Emoji & Symbole", "Diktat starten \u2026", ""});
  host::HostMenu& window = addMenu("Fenster", {"Vollbildmodus", "Zoom"});
  const std::size_t before = MenuActionTableCopy().size();  // earlier set-ups of this process
  std::string lines = log([] { t_MenuPrepare(); });
  EXPECT_EQ(edit.items, (std::vector<std::string>{"Kopieren", ""}));
  EXPECT_EQ(window.items, (std::vector<std::string>{"Zoom"}));
  EXPECT_NE(lines.find("*** Found Fenster Menu Item Vollbildmodus\n"), std::string::npos);
  // The English menus are missing here; their lookups say so.
  EXPECT_NE(lines.find("t_MenuItemIndex: Menu not found."), std::string::npos);
  std::vector<t_MenuAction> all = MenuActionTableCopy();
  std::vector<t_MenuAction> table(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
  // Exactly the built-in actions: a program registers its own panels itself.
  ASSERT_EQ(table.size(), 37u);
  EXPECT_EQ(table.front().Tag, 200);
  EXPECT_EQ(table[31].Tag, 231);
  EXPECT_EQ(table[32].Tag, 110);
  EXPECT_EQ(table[36].Tag, 114);
  for (const t_MenuAction& entry : table) {
    EXPECT_EQ(entry.Action, entry.Tag);
    EXPECT_TRUE(entry.Title.empty() && entry.FileName.empty() && entry.FileTypes.empty());
  }
}

// A program's own panel entry: its fields reach the panel, the chosen path
// comes back into the entry, and the choice is queued for the program.
TEST_F(FakeMenus, AProgramsPanelEntryAsksWithItsFieldsAndKeepsTheAnswer) {
  t_MenuActionAdd(101);
  EXPECT_TRUE(t_MenuActionSetPanel(101, "Spiel sichern", "Sichere den Spielstand.",
                                   "Velmorat.velmorat", "velmorat"));
  EXPECT_FALSE(t_MenuActionSetPanel(99999, "", "", "", ""));
  desktop.savePanelAnswer = "/home/spieler/Vor der Gruft.velmorat";
  const int queued = t_MenuEventCount();
  MenuSender sender{true, "Ablage", "Spiel sichern\u2026", "", 0, 101};
  t_MenuEventHandler(sender);
  ASSERT_FALSE(desktop.savePanelRequests.empty());
  const host::SavePanelRequest& asked = desktop.savePanelRequests.back();
  EXPECT_EQ(asked.title, "Spiel sichern");
  EXPECT_EQ(asked.proposedName, "Velmorat.velmorat");
  EXPECT_EQ(asked.allowedTypes, "velmorat");
  for (const t_MenuAction& entry : MenuActionTableCopy()) {
    if (entry.Tag != 101) continue;
    EXPECT_EQ(entry.FilePath, "/home/spieler/Vor der Gruft.velmorat");
    EXPECT_EQ(entry.FileName, "Vor der Gruft.velmorat");
  }
  EXPECT_EQ(t_MenuEventCount(), queued + 1);
  EXPECT_EQ(MenuEventQueueCopy().back().ItemAction, 101);
}

TEST(TextToPlain, MapsBoxAndSymbolCodes) {
  auto program = [](std::initializer_list<char32_t> codes) {
    std::string text;
    for (char32_t code : codes) {
      if (code < 0x80) {
        text += static_cast<char>(code);
      } else {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
      }
    }
    return text;
  };
  EXPECT_EQ(t_TextToPlain(program({'A', 127, 128, 129, 130, 131, 132, 133})), "A#*#<=>O");
  EXPECT_EQ(t_TextToPlain(program({134, 137, 142, 153, 158, 159})), "+++++=");
  EXPECT_EQ(t_TextToPlain(program({138, 139, 157})), "|||");
  EXPECT_EQ(t_TextToPlain(program({140, 141, 154, 155})), "----");
  // The horizontal rule of the title screen copies as dashes, not bars.
  EXPECT_EQ(t_TextToPlain(program({156, 156, 156})), "---");
  EXPECT_EQ(t_TextToPlain(program({160})), "\u02FD");
  EXPECT_EQ(t_TextToPlain("äß€"), "äß€");
}

TEST_F(FakeMenus, PasteboardTextViewIsSetUpPlainAndClearsReportMissingViews) {
  desktop.setTextViewString(8, "alt");
  t_PasteboardPrepare();
  EXPECT_EQ(desktop.textViewFont, "Menlo 12");
  EXPECT_EQ(desktop.textViewString(8), "");
  EXPECT_TRUE(t_WindowTextView(9));
  EXPECT_FALSE(t_WindowTextView(11));
  desktop.setTextViewString(10, "Konsole");
  t_SystemTextClear(10, "t_MenuEventHandler");
  EXPECT_EQ(desktop.textViewString(10), "");
  int beeps = desktop.systemBeeps + desktop.soundsPlayed;
  EXPECT_EQ(log([] { t_SystemTextClear(11, "t_MenuEventHandler"); }),
            "t_MenuEventHandler: System console window is nil, resource undefined.\n");
  EXPECT_GT(desktop.systemBeeps + desktop.soundsPlayed, beeps);
}

// A reader that keeps its place gets only what came after it, in order.
TEST_F(FakeMenus, CopyFromGivesTheEventsAfterTheReadersPlace) {
  const std::size_t start = MenuEventQueueCopy().size();
  for (int tag : {301, 302, 303})
    log([tag] { t_MenuEventHandler(MenuSender{true, "Ablage", "", "", 0, tag}); });
  const std::vector<t_MenuEvent> after = MenuEventQueueCopyFrom(start + 1);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0].ItemAction, 302);
  EXPECT_EQ(after[1].ItemAction, 303);
  EXPECT_TRUE(MenuEventQueueCopyFrom(start + 3).empty());
  EXPECT_TRUE(MenuEventQueueCopyFrom(start + 100).empty());
}
