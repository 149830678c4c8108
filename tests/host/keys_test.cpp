// Keys reach the toolbox the way the window system delivers them: as
// QKeyEvents sent to the view of a graphic window.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "HostFixture.h"
#include "graphics/LogCapture.h"
#include "host/qt/Windows.h"
#include "launcher/ScriptedPlay.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/Scrollback.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/ProgramThread.h"

namespace {
class ViewKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    setUpGraphicWindow(0, 64, 32, 0);
    KeyEventQueue.clear();
    KeyEventQueue.recomputeAvailable();
  }

  void press(int key, Qt::KeyboardModifiers modifiers, const QString& text = {}) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(testHost().view(0), &event);
  }

  // The one event that the key queued.
  t_Event only() {
    EXPECT_EQ(KeyEventQueue.size(), 1u);
    std::optional<t_Event> event = KeyEventQueue.takeFront();
    KeyEventQueue.recomputeAvailable();
    return event.value_or(t_Event{});
  }
};
}  // namespace

TEST_F(ViewKeys, CursorKeysBecomeControlCodesMarkedAsCursorKeys) {
  const std::pair<int, int> keys[] = {
      {Qt::Key_Left, 8}, {Qt::Key_Right, 0x15}, {Qt::Key_Up, 0x0B},     {Qt::Key_Down, 0x0A},
      {Qt::Key_Home, 2}, {Qt::Key_End, 5},      {Qt::Key_PageUp, 0x12}, {Qt::Key_PageDown, 3}};
  for (auto [key, value] : keys) {
    press(key, Qt::NoModifier);
    t_Event event = only();
    EXPECT_EQ(event.Value, value) << key;
    EXPECT_TRUE(event.CursorKeyPressed) << key;
    EXPECT_EQ(event.Kind, 1);
    EXPECT_EQ(event.Window, 0);
  }
}

TEST_F(ViewKeys, BackspaceForwardDeleteReturnEscapeAndShiftTab) {
  press(Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
  t_Event backspace = only();
  EXPECT_EQ(backspace.Value, 127);
  EXPECT_FALSE(backspace.CursorKeyPressed);
  press(Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
  t_Event forwardDelete = only();
  EXPECT_EQ(forwardDelete.Value, 7);
  EXPECT_FALSE(forwardDelete.CursorKeyPressed);
  press(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  EXPECT_EQ(only().Value, 13);
  press(Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r"));
  EXPECT_EQ(only().Value, 13);
  press(Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
  EXPECT_EQ(only().Value, 27);
  press(Qt::Key_Backtab, Qt::ShiftModifier);
  t_Event shiftTab = only();
  EXPECT_EQ(shiftTab.Value, 0x14);
  EXPECT_TRUE(shiftTab.ShiftPressed);
}

TEST_F(ViewKeys, FunctionKeysCountFrom129) {
  press(Qt::Key_F1, Qt::NoModifier);
  t_Event f1 = only();
  EXPECT_EQ(f1.Value, 129);
  EXPECT_TRUE(f1.FunctionKeyPressed);
  press(Qt::Key_F12, Qt::NoModifier);
  EXPECT_EQ(only().Value, 140);
}

TEST_F(ViewKeys, KeysWithoutTextTypeWhatTheToolboxsDesktopReports) {
  press(Qt::Key_F13, Qt::NoModifier);
  t_Event f13 = only();
  EXPECT_EQ(f13.Value, 141);
  EXPECT_TRUE(f13.FunctionKeyPressed);
  press(Qt::Key_F35, Qt::NoModifier);
  EXPECT_EQ(only().Value, 163);
  press(Qt::Key_Insert, Qt::NoModifier);  // the Help key there
  EXPECT_EQ(only().Value, 195);
  // Compose and media keys bring no characters and are no dead keys: nothing.
  press(Qt::Key_Multi_key, Qt::NoModifier);
  press(Qt::Key_VolumeUp, Qt::NoModifier);
  EXPECT_EQ(KeyEventQueue.size(), 0u);
  // A dead key that the table does not name still types code 0.
  press(Qt::Key_Dead_Cedilla, Qt::NoModifier);
  EXPECT_EQ(only().Value, 0);
}

TEST_F(ViewKeys, GermanLettersAndAltGrCharactersArriveAsTheTableSays) {
  press(Qt::Key_Adiaeresis, Qt::NoModifier, QStringLiteral("ä"));
  EXPECT_EQ(only().Value, 0xE4);
  press(Qt::Key_ssharp, Qt::NoModifier, QStringLiteral("ß"));
  EXPECT_EQ(only().Value, 0xDF);
  // AltGr+E on a German layout.
  press(Qt::Key_E, Qt::GroupSwitchModifier, QStringLiteral("€"));
  t_Event euro = only();
  EXPECT_EQ(euro.Value, 0xA4);
  EXPECT_TRUE(euro.OptionPressed);
  // Characters outside Latin-1 that the table does not name are dropped.
  press(Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\u3042"));
  EXPECT_EQ(KeyEventQueue.size(), 0u);
}

TEST_F(ViewKeys, LatinOneTableCharactersNeedTheOptionLayer) {
  // Swedish å has a key of its own: the letter itself.
  press(Qt::Key_Aring, Qt::NoModifier, QStringLiteral("å"));
  EXPECT_EQ(only().Value, 0xE5);
  // With AltGr it is the Option layer's å, which the table turns into 0xB0.
  press(Qt::Key_Aring, Qt::GroupSwitchModifier, QStringLiteral("å"));
  EXPECT_EQ(only().Value, 0xB0);
  press(Qt::Key_questiondown, Qt::NoModifier, QStringLiteral("¿"));
  EXPECT_EQ(only().Value, 0xBF);
}

TEST_F(ViewKeys, DeadCircumflexTypesItsAccentWithEmptyDescription) {
  press(Qt::Key_Dead_Circumflex, Qt::NoModifier);
  t_Event accent = only();
  EXPECT_EQ(accent.Value, 0x5E);
  EXPECT_TRUE(accent.Description.empty());
  press(Qt::Key_Dead_Acute, Qt::NoModifier);
  EXPECT_EQ(only().Value, 0xB4);
  press(Qt::Key_Dead_Grave, Qt::ShiftModifier);
  EXPECT_EQ(only().Value, 0x60);
}

TEST_F(ViewKeys, ControlWithKeypadRedirectsOutputInsteadOfTyping) {
  press(Qt::Key_8, Qt::ControlModifier | Qt::KeypadModifier, QStringLiteral("8"));
  EXPECT_EQ(KeyEventQueue.size(), 0u);
  EXPECT_EQ(windowRecord(0).TextRedirectOutput, 2);
  press(Qt::Key_9, Qt::ControlModifier | Qt::KeypadModifier, QStringLiteral("9"));
  EXPECT_EQ(KeyEventQueue.size(), 0u);
  EXPECT_EQ(windowRecord(0).TextRedirectOutput, 1);
  // With AltGr the keypad 9 types the table's replacement character.
  press(Qt::Key_9, Qt::GroupSwitchModifier | Qt::KeypadModifier, QStringLiteral("9"));
  EXPECT_EQ(only().Value, 0xBC);
}

TEST_F(ViewKeys, ControlLettersWithoutTextStillTypeControlCodes) {
  press(Qt::Key_S, Qt::ControlModifier);
  t_Event pause = only();
  EXPECT_EQ(pause.Value, 19);
  EXPECT_TRUE(pause.ControlPressed);
}

TEST_F(ViewKeys, KeyFileKeysQueueInOrder) {
  for (ScriptKey key :
       {ScriptKey{ScriptKeyKind::Character, 'a'}, ScriptKey{ScriptKeyKind::Character, 'B'},
        ScriptKey{ScriptKeyKind::Return, 0}, ScriptKey{ScriptKeyKind::Control, 'A'},
        ScriptKey{ScriptKeyKind::Function, 3}}) {
    typeScriptKey(testHost().view(0), key);
  }
  ASSERT_EQ(KeyEventQueue.size(), 5u);
  int expected[] = {97, 66, 13, 1, 131};
  for (int value : expected) EXPECT_EQ(t_KeyNext(), value);
  EXPECT_EQ(t_KeyNext(), -1);
  EXPECT_FALSE(KeyDown);  // every press had its release
}

TEST_F(ViewKeys, ModifierKeysChangeStateWithoutEvents) {
  press(Qt::Key_Shift, Qt::NoModifier);
  EXPECT_TRUE(ShiftDown);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
  QCoreApplication::sendEvent(testHost().view(0), &release);
  EXPECT_FALSE(ShiftDown);
  EXPECT_EQ(KeyEventQueue.size(), 0u);
}

namespace {
void click(int window, QPointF position, Qt::MouseButton button) {
  QWidget* content = testHost().window(window)->content();
  QMouseEvent press(QEvent::MouseButtonPress, position, content->mapToGlobal(position), button,
                    button, Qt::NoModifier);
  QCoreApplication::sendEvent(content, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, position, content->mapToGlobal(position), button,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(content, &release);
}

t_Event takeMouseEvent() {
  std::optional<t_Event> event = MouseEventQueue.takeFront();
  MouseEventQueue.recomputeAvailable();
  return event.value_or(t_Event{});
}
}  // namespace

TEST(ViewClicks, ClassifyPositionsAgainstTheGraphicArea) {
  setUpGraphicWindow(3, 64, 32, 10);  // content 84 x 52, graphic area at (10, 10)
  MouseEventQueue.clear();
  click(3, {15, 13}, Qt::LeftButton);  // 5 right of the border, 3 below its top
  t_Event inside = takeMouseEvent();
  EXPECT_EQ(inside.Kind, 2);
  EXPECT_EQ(inside.ClickX, 5);
  EXPECT_EQ(inside.ClickY, 3);
  EXPECT_EQ(inside.Window, 3);
  EXPECT_EQ(inside.Index, 1);
  EXPECT_FALSE(LeftButtonDown);  // released again

  click(3, {2, 2}, Qt::RightButton);  // above and left of the area
  t_Event outside = takeMouseEvent();
  EXPECT_EQ(outside.ClickX, -1);
  EXPECT_EQ(outside.ClickY, -1);
  EXPECT_EQ(outside.Index, 2);

  click(3, {80, 49}, Qt::LeftButton);  // right of and below it
  t_Event beyond = takeMouseEvent();
  EXPECT_EQ(beyond.ClickX, -2);
  EXPECT_EQ(beyond.ClickY, -2);

  // The middle button is not the toolbox's: no event, no button state.
  LogCapture log;
  click(3, {15, 13}, Qt::MiddleButton);
  EXPECT_EQ(MouseEventQueue.size(), 0u);
  EXPECT_EQ(log.text(), "");
}

TEST_F(ViewKeys, ScriptedPlayTypesEachKeyWhenTheProgramWaits) {
  std::vector<std::string> taken;
  startprocess(
      [&] {
        for (int index = 0; index < 3; ++index) taken.push_back(t_KeyWait(0));
      },
      0x100000);
  // A {Menu N} is chosen, not typed, in its turn between the keys.
  std::vector<int> chosen;
  ScriptedPlay play(
      testHost().view(0), [&](int tag) { chosen.push_back(tag); }, parseKeyScript("a{Menu 303}ß\n"),
      false);
  play.start();
  EXPECT_TRUE(serveEventsUntil([] { return ProgramThreadsRunning == 0; }, 3000));
  EXPECT_EQ(taken, (std::vector<std::string>{"a", "ß", "\r"}));
  EXPECT_EQ(chosen, std::vector<int>{303});
  EXPECT_EQ(play.keysTyped(), 4u);
  EXPECT_EQ(KeyEventQueue.size(), 0u);  // nothing typed ahead of the program
}

// Page Up and Page Down leaf through the text window's past where the
// program offers one (a view only: no key reaches the program), and any
// other key comes back to the live screen and is typed.
TEST_F(ViewKeys, PageKeysLeafThroughThePastOnlyWhereTheProgramOffersIt) {
  press(Qt::Key_PageUp, Qt::NoModifier);
  EXPECT_EQ(only().Value, 18) << "without the offer the line editor's key";
  t_SetScrollbackSource(0, {[] { return std::size_t{50}; },
                            [](std::size_t, std::size_t count) {
                              return std::vector<std::string>(count, "damals");
                            }});
  t_EnableScrollback(0, true);
  GraphicView* view = testHost().view(0);
  press(Qt::Key_PageUp, Qt::NoModifier);
  EXPECT_EQ(KeyEventQueue.size(), 0u);
  EXPECT_TRUE(view->scrollPast(80));
  EXPECT_EQ(view->linesBack(), 50u) << "held to the lines kept";
  view->repaint();
  press(Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  EXPECT_EQ(view->linesBack(), 0u);
  EXPECT_EQ(only().Value, 'a');
  t_EnableScrollback(0, false);
  t_SetScrollbackSource(0, {});
}
