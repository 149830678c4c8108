#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
#include <thread>
#include <utility>
#include <vector>

#include "graphics/LogCapture.h"
#include "text/TextWindowFixture.h"
#include "toolbox/windows/Documents.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/KeyCodes.h"
#include "toolbox/windows/KeyTranslation.h"
#include "toolbox/windows/Menus.h"
#include "toolbox/windows/ProgramThread.h"
#include "toolbox/windows/WindowManagement.h"

using namespace texttest;

namespace {

constexpr std::uint32_t kOption = kModifierOption;
constexpr std::uint32_t kControl = kModifierControl;
constexpr std::uint32_t kShift = kModifierShift;

class Events : public ::testing::Test {
 protected:
  void SetUp() override {
    setUpTextWindow(0, 24, 10, 6);
    setUpTextWindowAlso(1);
    MouseEventQueue.clear();
  }
  // A second window, so that keys for window 1 have somewhere to go.
  static void setUpTextWindowAlso(std::uint8_t window) {
    t_InitWindow(window, 24, false, 80, 48, 0, 0, makeTestFont(8, 8), true);
  }
  // The Value of the one event a key press queues, or -1 for none.
  static int valueOf(int keyCode, const std::string& characters, std::uint32_t flags = 0) {
    KeyEventQueue.clear();
    viewKeyDown(0, keyCode, characters, flags);
    EXPECT_LE(KeyEventQueue.size(), 1u);
    return t_KeyNext();
  }
};

TEST_F(Events, TypeAheadKeepsOrder) {
  viewKeyDown(0, keycode::kOther, "a", 0);
  viewKeyDown(0, keycode::kOther, "b", 0);
  viewKeyDown(0, keycode::kReturn, "\r", 0);
  EXPECT_TRUE(KeyAvailable);
  EXPECT_EQ(t_KeyNext(), 97);
  EXPECT_EQ(t_KeyNext(), 98);
  EXPECT_EQ(t_KeyNext(), 13);
  EXPECT_EQ(t_KeyNext(), -1);
  EXPECT_FALSE(KeyAvailable);
}

TEST_F(Events, CursorAndEditingKeys) {
  EXPECT_EQ(valueOf(keycode::kLeftArrow, "\xEF\x9C\x82"), 8);
  EXPECT_TRUE(CurrentKeyEvent.CursorKeyPressed);
  EXPECT_EQ(valueOf(keycode::kDelete, "\x7F"), 127);
  EXPECT_FALSE(CurrentKeyEvent.CursorKeyPressed);
  EXPECT_EQ(valueOf(keycode::kForwardDelete, ""), 7);
  EXPECT_FALSE(CurrentKeyEvent.CursorKeyPressed);
  EXPECT_EQ(valueOf(keycode::kRightArrow, ""), 0x15);
  EXPECT_EQ(valueOf(keycode::kUpArrow, ""), 0x0B);
  EXPECT_EQ(valueOf(keycode::kDownArrow, ""), 0x0A);
  EXPECT_EQ(valueOf(keycode::kHome, ""), 0x02);
  EXPECT_EQ(valueOf(keycode::kEnd, ""), 0x05);
  EXPECT_EQ(valueOf(keycode::kPageUp, ""), 0x12);
  EXPECT_EQ(valueOf(keycode::kPageDown, ""), 0x03);
  EXPECT_TRUE(CurrentKeyEvent.CursorKeyPressed);
  EXPECT_EQ(valueOf(keycode::kKeypadClear, ""), 0x1B);
  EXPECT_EQ(valueOf(keycode::kKeypadEnter, "\x03"), 0x0D);
}

TEST_F(Events, FunctionKeysAndTheGeneralRule) {
  EXPECT_EQ(valueOf(keycode::kF1, "\xEF\x9C\x84"), 129);  // U+F704
  EXPECT_TRUE(CurrentKeyEvent.FunctionKeyPressed);
  EXPECT_EQ(valueOf(keycode::kOther, "\xEF\x9C\x8F"), 140);     // F12, U+F70F
  EXPECT_EQ(valueOf(keycode::kOther, "\xE3\x81\x82"), -1);      // U+3042
  EXPECT_EQ(valueOf(keycode::kOther, "\xF0\x9F\x98\x80"), -1);  // an emoji has no 8-bit code
  EXPECT_EQ(valueOf(keycode::kOther, "\xC3\xA4"), 0xE4);
  EXPECT_EQ(valueOf(keycode::kOther, "\xC3\x9F"), 0xDF);
  EXPECT_EQ(valueOf(keycode::kEscape, "\x1B"), 0x1B);
  EXPECT_EQ(valueOf(keycode::kTab, "\t"), 9);
  EXPECT_FALSE(CurrentKeyEvent.FunctionKeyPressed);
}

// Every row of the key table: key code, characters, flags, expected Value.
struct Row {
  int keyCode;
  const char* characters;
  std::uint32_t flags;
  int value;
};

TEST_F(Events, EveryRowOfTheKeyTable) {
  const Row rows[] = {
      {keycode::kA, "\xC3\xA5", kOption, 0xB0},
      {keycode::kS, "\xE2\x80\x9A", kOption, 0xA8},
      {keycode::kD, "\xE2\x88\x82", kOption, 0xAD},
      {keycode::kF, "\xC6\x92", kOption, 0x82},
      {keycode::kH, "\xC2\xAA", kOption, 0x83},
      {keycode::kX, "\xE2\x89\x88", kOption, 0x84},
      {keycode::kV, "\xE2\x88\x9A", kOption, 0xFD},
      {keycode::kSection, "", 0, 0x5E},
      {keycode::kB, "\xE2\x88\xAB", kOption, 0xDE},
      {keycode::kW, "\xE2\x88\x91", kOption, 0xDD},
      {keycode::kE, "\xE2\x82\xAC", kOption, 0xA4},
      {keycode::kY, "\xCE\xA9", kOption, 0x80},
      {keycode::kT, "\xE2\x80\xA0", kOption, 0xBD},
      {keycode::k2, "\xE2\x80\x9C", kOption, 0xA3},
      {keycode::kEquals, "", kShift, 0x60},
      {keycode::kEquals, "", 0, 0xB4},
      {keycode::kMinus, "\xC2\xBF", kOption, 0xA6},
      {keycode::k0, "\xE2\x89\xA0", kOption, 0xAC},
      {keycode::kU, "", kOption, 0xAF},
      {keycode::kLeftBracket, "\xE2\x80\xA2", kOption, 0xB8},
      {keycode::kI, "\xE2\x81\x84", kOption, 0x81},
      {keycode::kP, "\xCF\x80", kOption, 0xF0},
      {keycode::kP, "\xE2\x88\x8F", kOption, 0xD0},
      {keycode::kL, "\x0C", kOption | kControl, 0x00},
      {keycode::kJ, "\xC2\xBA", kOption, 0xB7},
      {keycode::kK, "\xE2\x88\x86", kOption, 0xFE},
      {keycode::kSemicolon, "\xC5\x93", kOption, 0xBE},
      {keycode::kBackslash, "\xE2\x80\x98", kOption, 0xB4},
      {keycode::kComma, "\xE2\x88\x9E", kOption, 0xFF},
      {keycode::kSlash, "\xE2\x80\x93", kOption, 0x9A},
      {keycode::kN, "", kOption, 0x7E},
      {keycode::kPeriod, "\xE2\x80\xA6", kOption, 0xBF},
      {keycode::kTab, "\x19", kShift, 0x14},
      {keycode::kGrave, "\xE2\x89\xA4", kOption, 0xC5},
      {keycode::kGrave, "\xE2\x89\xA5", kOption, 0xC6},
      {keycode::kKeypad0, "0", kOption, 0xD8},
      {keycode::kKeypad0 + 1, "1", kOption, 0xB9},
      {keycode::kKeypad0 + 2, "2", kOption, 0xB2},
      {keycode::kKeypad0 + 3, "3", kOption, 0xB3},
      {keycode::kKeypad0 + 4, "4", kOption, 0xAA},
      {keycode::kKeypad0 + 5, "5", kOption, 0xD7},
      {keycode::kKeypad6, "6", kOption, 0xBA},
      {keycode::kKeypad7, "7", kOption, 0xE5},
      {keycode::kKeypad8, "8", kOption, 0xE6},
      {keycode::kKeypad9, "9", kOption, 0xBC},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "key " << row.keyCode << " value " << row.value);
    EXPECT_EQ(valueOf(row.keyCode, row.characters, row.flags), row.value);
    EXPECT_EQ(CurrentKeyEvent.Index, row.keyCode);
    EXPECT_EQ(CurrentKeyEvent.Description, row.characters);
  }
  // Conditions that do not hold fall back to the general rule.
  EXPECT_EQ(valueOf(keycode::kN, "n"), 'n');
  EXPECT_EQ(valueOf(keycode::kL, "\x0C", kControl), 0x0C);
  EXPECT_EQ(valueOf(keycode::kKeypad0, "0"), '0');
  EXPECT_EQ(valueOf(keycode::kKeypad9, "9"), '9');
  // A reported NUL is a character, not the empty report of a dead key.
  EXPECT_EQ(valueOf(keycode::kSection, std::string(1, '\0')), 0);
  EXPECT_EQ(valueOf(keycode::kEquals, std::string(1, '\0')), 0);
  EXPECT_EQ(valueOf(keycode::kU, std::string(1, '\0'), kOption), 0);
}

TEST_F(Events, ControlKeypadRedirectsOutputWithoutAnEvent) {
  EXPECT_EQ(valueOf(keycode::kKeypad8, "8", kControl), -1);
  EXPECT_EQ(windowRecord(0).TextRedirectOutput, 2);
  EXPECT_EQ(valueOf(keycode::kKeypad7, "7", kControl), -1);
  EXPECT_EQ(windowRecord(0).TextRedirectOutput, 0);
  EXPECT_EQ(valueOf(keycode::kKeypad9, "9", kControl), -1);
  EXPECT_EQ(windowRecord(0).TextRedirectOutput, 1);
}

TEST_F(Events, EventsCarryModifiersTimeAndWindow) {
  viewKeyDown(0, keycode::kOther, "A", kShift | kModifierCapsLock | kModifierFunction);
  EXPECT_EQ(t_KeyNext(), 'A');
  EXPECT_EQ(CurrentKeyEvent.Kind, 1);
  EXPECT_EQ(CurrentKeyEvent.Mods, 0x83);
  EXPECT_TRUE(CurrentKeyEvent.ShiftPressed);
  EXPECT_TRUE(CurrentKeyEvent.CapsLockPressed);
  EXPECT_TRUE(CurrentKeyEvent.FnPressed);
  EXPECT_FALSE(CurrentKeyEvent.ControlPressed);
  EXPECT_GT(CurrentKeyEvent.Time, 0);
  EXPECT_TRUE(ShiftDown);
  EXPECT_TRUE(KeyDown);
  viewKeyUp(0);
  EXPECT_FALSE(KeyDown);
  viewFlagsChanged(kControl);
  EXPECT_TRUE(ControlDown);
  EXPECT_FALSE(ShiftDown);
}

TEST_F(Events, KeysForWindowsThatCannotTakeThemQueueNothing) {
  LogCapture log;
  viewKeyDown(4, keycode::kOther, "a", 0);
  windowRecord(0).IgnoreEvents = true;
  viewKeyDown(0, keycode::kOther, "a", 0);
  EXPECT_EQ(KeyEventQueue.size(), 0u);
  EXPECT_TRUE(KeyDown);
  EXPECT_EQ(log.text(), "viewKeyDown: Graphic window (4) not initialized.\n");
}

// A letter with a combining mark is one character: one event, its Value the
// letter, its Description the whole character.
TEST_F(Events, PostedTextQueuesOneEventPerCharacter) {
  const struct {
    const char* text;
    std::vector<std::pair<int, std::string>> events;  // Value, Description
  } cases[] = {
      {"\xC3\x96l", {{0xD6, "\xC3\x96"}, {'l', "l"}}},
      {"e\xCC\x81x", {{'e', "e\xCC\x81"}, {'x', "x"}}},
      {"\xCC\x81"
       "e",
       {{0x301, "\xCC\x81"}, {'e', "e"}}},  // a mark without a base stands alone
      {"a\r\nb", {{'a', "a"}, {'\r', "\r\n"}, {'b', "b"}}},
      {"", {}},
  };
  for (const auto& posted : cases) {
    t_KeyPostText(posted.text);
    for (const auto& [value, description] : posted.events) {
      EXPECT_EQ(t_KeyNext(), value) << posted.text;
      EXPECT_EQ(CurrentKeyEvent.Description, description);
      EXPECT_EQ(CurrentKeyEvent.Window, 1);
    }
    EXPECT_FALSE(KeyAvailable) << posted.text;
  }
}

TEST_F(Events, PauseDiscardsOnlyWhenCtrlSIsNewest) {
  t_KeyPostText(
      "a\x13"
      "b");
  EXPECT_FALSE(t_KeyPause(19, false));
  EXPECT_EQ(KeyEventQueue.size(), 3u);
  t_KeyPostText("\x13");
  EXPECT_TRUE(t_KeyPause(19, false));
  EXPECT_EQ(KeyEventQueue.size(), 0u);
  EXPECT_FALSE(KeyAvailable);
}

// The typist waits for the program to say that it waits, the way scripted
// play does; no sleep decides the order.
InputWaitKind awaitWait() {
  return awaitInputWait([] { return false; }, std::chrono::seconds(30)).kind;
}

TEST_F(Events, PauseWaitsForTheNextKeyAndConsumesIt) {
  t_KeyPostText("x\x13");
  std::thread typist([] {
    EXPECT_EQ(awaitWait(), InputWaitKind::Pause);
    viewKeyDown(0, keycode::kOther, "w", 0);
  });
  EXPECT_TRUE(t_KeyPause(19, true));
  typist.join();
  EXPECT_EQ(CurrentKeyEvent.Value, 'w');
  EXPECT_EQ(t_KeyNext(), -1);
  EXPECT_EQ(currentInputWait().kind, InputWaitKind::None);
}

TEST_F(Events, KeyWaitSkipsNegativeValuesAndShowsTheCursorWhileWaiting) {
  t_Event negative;
  negative.Kind = 1;
  negative.Value = -5;
  KeyEventQueue.append(negative);
  std::thread typist([] {
    EXPECT_EQ(awaitWait(), InputWaitKind::Key);
    EXPECT_EQ(windowRecord(0).TextCursorLevel, 1);
    viewKeyDown(0, keycode::kOther, "\xC3\xBC", 0);
  });
  EXPECT_EQ(t_KeyWait(0), "\xC3\xBC");
  typist.join();
  EXPECT_EQ(windowRecord(0).TextCursorLevel, 0);
  EXPECT_EQ(currentInputWait().kind, InputWaitKind::None);
}

TEST_F(Events, AMenuChoiceEndsAnOutputPause) {
  t_KeyPostText("\x13");
  std::thread chooser([] {
    EXPECT_EQ(awaitWait(), InputWaitKind::Pause);
    MenuSender sender;
    sender.inMenu = true;
    sender.menuTitle = "Spiel";
    sender.itemTitle = "Weiter";
    t_MenuEventHandler(sender);
  });
  EXPECT_TRUE(t_KeyPause(19, true));
  chooser.join();
  EXPECT_FALSE(KeyAvailable);
}

// The command prompt's wait: a menu choice or an opened file ends it without
// taking a key, so that the program can answer and then wait again.
TEST_F(Events, KeyWaitOrEventEndsForAMenuChoiceOrAnOpenedFileAndLeavesKeysQueued) {
  t_EventCounts seen = t_EventCountsNow();
  std::thread chooser([] {
    EXPECT_EQ(awaitWait(), InputWaitKind::Key);
    MenuSender sender;
    sender.inMenu = true;
    sender.tag = 300;
    t_MenuEventHandler(sender);
  });
  EXPECT_EQ(t_KeyWaitOrEvent(0, seen), std::nullopt);
  chooser.join();
  EXPECT_EQ(windowRecord(0).TextCursorLevel, 0);
  EXPECT_EQ(currentInputWait().kind, InputWaitKind::None);
  t_KeyPostText("k");
  EXPECT_EQ(t_KeyWaitOrEvent(0, seen), std::nullopt);  // the counts differ already
  EXPECT_EQ(t_KeyNext(), 'k');

  seen = t_EventCountsNow();
  std::thread opener([] {
    EXPECT_EQ(awaitWait(), InputWaitKind::Key);
    Document document;
    int error = 0;
    document.readFromURL("/tmp/Spielstand.velmorat", "velmorat", &error);
  });
  EXPECT_EQ(t_KeyWaitOrEvent(0, seen), std::nullopt);
  opener.join();
  EXPECT_EQ(t_EventCountsNow().fileEvents, seen.fileEvents + 1);

  seen = t_EventCountsNow();
  t_KeyPostText("\xC3\xBC");
  EXPECT_EQ(t_KeyWaitOrEvent(0, seen), "\xC3\xBC");
}

// Quitting the application ends a program that waits for a key, as
// t_QuitProgram would. The request stays for the rest of the process, so the
// case runs in a child process of its own.
TEST_F(Events, ProgramEndRequestEndsKeyWaitAndPause) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        int ended = 0;
        std::thread stopper([] {
          awaitWait();
          t_RequestProgramEnd();
        });
        try {
          t_KeyWait(0);
        } catch (const ProgramThreadExit&) {
          ++ended;
        }
        stopper.join();
        t_KeyPostText("\x13");
        try {
          t_KeyPause(19, true);
        } catch (const ProgramThreadExit&) {
          ++ended;
        }
        std::exit(ended == 2 && currentInputWait().kind == InputWaitKind::None ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

// The application's end wakes a program thread that waits for a key and joins
// it; the request stays, so the case runs in a child process of its own.
TEST_F(Events, EndingTheProgramWakesItsWaitAndJoinsIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        startprocess([] { t_KeyWait(0); }, 0x100000);
        awaitWait();
        t_RequestProgramEnd();
        const bool ended = endProgramThreads(std::chrono::seconds(30));
        std::exit(ended && ProgramThreadsRunning == 0 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

// The host appends on its thread while the program drains on another: no
// event is lost or taken twice, and the flag ends false.
TEST_F(Events, ConcurrentAppendAndDrainLoseNothing) {
  constexpr int kKeys = 2000;
  std::thread host([] {
    for (int index = 0; index < kKeys; ++index) viewKeyDown(0, keycode::kOther, "k", 0);
  });
  int taken = 0;
  while (taken < kKeys) {
    if (t_KeyNext() >= 0) ++taken;
  }
  host.join();
  EXPECT_EQ(t_KeyNext(), -1);
  EXPECT_FALSE(KeyAvailable);
}

TEST_F(Events, ClicksAreClassifiedAgainstTheGraphicArea) {
  windowRecord(1).BorderWidth = 0;
  const int height = windowRecord(1).Height;  // 48
  LogCapture log;
  viewMouseDown(1, 5.7, height - 3, kLeftMouseButton, 0, false);
  ASSERT_EQ(MouseEventQueue.size(), 1u);
  t_Event click = *MouseEventQueue.takeFront();
  EXPECT_EQ(click.Kind, 2);
  EXPECT_EQ(click.ClickX, 5);
  EXPECT_EQ(click.ClickY, 3);
  EXPECT_EQ(click.WindowX, 5);
  EXPECT_TRUE(LeftButtonDown);
  viewMouseDown(1, -2, height + 10, kRightMouseButton, 0, true);  // left of it, on the title bar
  click = *MouseEventQueue.takeFront();
  EXPECT_EQ(click.ClickX, -1);
  EXPECT_EQ(click.ClickY, -1);
  viewMouseDown(1, 200, -4, kRightMouseButton, 0, true);
  click = *MouseEventQueue.takeFront();
  EXPECT_EQ(click.ClickX, -2);
  EXPECT_EQ(click.ClickY, -2);
  EXPECT_TRUE(RightButtonDown);
  EXPECT_FALSE(LeftButtonDown);
  viewMouseDown(1, std::nan(""), 1e300, kLeftMouseButton, 0, false);  // a broken event
  click = *MouseEventQueue.takeFront();
  EXPECT_EQ(click.ClickX, 0);
  EXPECT_EQ(click.ClickY, -1);
  viewMouseUp(1);
  EXPECT_FALSE(RightButtonDown);
  t_MouseEventHandler(9, 1, 0, 3, 4);
  EXPECT_EQ(MouseEventQueue.size(), 0u);
  const std::string text = log.text();
  EXPECT_NE(text.find("t_MouseEventHandler: Graphic #1 window, X = 5, Y = 3\n"), std::string::npos);
  EXPECT_NE(text.find("t_MouseEventHandler: Unknown window, AbsX = 3, AbsY = 4\n"
                      "t_MouseEventHandler:  window, X = -3, Y = -3\n"),
            std::string::npos);
}

TEST_F(Events, EveryClickRunsTheProgramMouseHandlerOnAWorker) {
  std::promise<std::thread::id> ran;
  t_SetProgramMouseHandler([&ran] { ran.set_value(std::this_thread::get_id()); });
  std::future<std::thread::id> runner = ran.get_future();
  viewMouseDown(1, 5, 5, kLeftMouseButton, 0, false);
  ASSERT_EQ(runner.wait_for(std::chrono::seconds(30)), std::future_status::ready);
  EXPECT_NE(runner.get(), std::this_thread::get_id());
  t_SetProgramMouseHandler(nullptr);
}

TEST_F(Events, CloseBoxHidesTheWindowWithoutAnEvent) {
  t_WindowVisible(1, true);
  LogCapture log;
  t_MouseEventPostCloseBoxClick(1);
  EXPECT_FALSE(windowRecord(1).Visible);
  EXPECT_EQ(MouseEventQueue.size(), 0u);
  EXPECT_NE(log.text().find("t_MouseEventPostCloseBoxClick: Window = 1\n"), std::string::npos);
}

}  // namespace
