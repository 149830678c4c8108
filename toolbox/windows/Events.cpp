#include "toolbox/windows/Events.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "support/Characters.h"
#include "support/Clock.h"
#include "support/Log.h"
#include "support/ThreadName.h"
#include "support/Utf8.h"
#include "support/qbtools.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Documents.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/KeyTranslation.h"
#include "toolbox/windows/Menus.h"
#include "toolbox/windows/ProgramHook.h"
#include "toolbox/windows/WindowManagement.h"

namespace {

// Threads 1 and 2 are the host's main thread and the program thread.
constexpr int kFirstWorkerThreadNumber = 3;
constexpr int kOutsideWindow = -3;
constexpr int kBeforeArea = -1;
constexpr int kBeyondArea = -2;
constexpr double kMaxCoordinate = 1e9;

void setModifierGlobals(std::uint32_t modifierFlags) {
  CapsLockDown = (modifierFlags & kModifierCapsLock) != 0;
  ShiftDown = (modifierFlags & kModifierShift) != 0;
  ControlDown = (modifierFlags & kModifierControl) != 0;
  OptionDown = (modifierFlags & kModifierOption) != 0;
  CommandDown = (modifierFlags & kModifierCommand) != 0;
  FunctionDown = (modifierFlags & kModifierFunction) != 0;
}

// Whether window can take a key or click now; logs a window that is not set up.
bool windowTakesEvents(std::uint8_t window, const char* routine) {
  if (!MemoryReady.load() || window >= kGraphicWindowCount) return false;
  const t_Window& record = windowRecord(window);
  if (!record.Initialized) {
    logLine(std::string(routine) + ": Graphic window (" + std::to_string(window) +
            ") not initialized.");
    return false;
  }
  return !record.IgnoreEvents;
}

// A host coordinate truncated to an integer; NaN and values beyond any window
// (a broken event) give 0 or the nearest bound instead of an undefined cast.
int truncatedCoordinate(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int>(std::clamp(std::trunc(value), -kMaxCoordinate, kMaxCoordinate));
}

int classify(int coordinate, int size) {
  if (coordinate < 0) return kBeforeArea;
  if (coordinate >= size) return kBeyondArea;
  return coordinate;
}

// The character of the next key event with a Value of 0 or more, taken into
// CurrentKeyEvent; nothing (and no key taken) once interrupted() holds. A
// menu choice and an opened file wake the wait at once.
template <typename Interrupted>
std::optional<std::string> keyOrInterruption(std::uint8_t window, Interrupted interrupted) {
  for (;;) {
    if (interrupted()) return std::nullopt;
    if (!KeyAvailable.load()) {
      t_CursorOn(window);
      waitForInput(keyWaitKind(), [&] { return KeyAvailable.load() || interrupted(); });
      t_CursorOff(window);
      continue;
    }
    std::optional<t_Event> event = KeyEventQueue.takeFront();
    if (!event) continue;
    CurrentKeyEvent = std::move(*event);
    if (CurrentKeyEvent.Value < 0) continue;
    const char32_t scalar =
        isUnicodeScalar(CurrentKeyEvent.Value) ? static_cast<char32_t>(CurrentKeyEvent.Value) : 0;
    std::string character;
    appendUtf8(character, scalar);
    return character;
  }
}

}  // namespace

// --- Globals --------------------------------------------------------------------

std::atomic<bool> KeyAvailable{false};
std::atomic<bool> MouseAvailable{false};
EventQueue<t_Event> KeyEventQueue{KeyAvailable};
EventQueue<t_Event> MouseEventQueue{MouseAvailable};
t_Event CurrentKeyEvent;

std::atomic<bool> KeyDown{false};
std::atomic<bool> LeftButtonDown{false};
std::atomic<bool> RightButtonDown{false};
std::atomic<bool> CapsLockDown{false};
std::atomic<bool> ShiftDown{false};
std::atomic<bool> ControlDown{false};
std::atomic<bool> OptionDown{false};
std::atomic<bool> CommandDown{false};
std::atomic<bool> FunctionDown{false};

namespace {
// Runs after every click, on a worker (t_EventMouse).
ProgramHook ProgramMouseHandler{[] {}};
}  // namespace

// --- Host side --------------------------------------------------------------------

void viewKeyDown(std::uint8_t window, int keyCode, const std::string& characters,
                 std::uint32_t modifierFlags) {
  if (windowTakesEvents(window, "viewKeyDown")) {
    t_KeyTranslate(window, keyCode, characters, modifierFlags);
  }
  KeyDown = true;
}

void viewKeyUp(std::uint8_t) {
  KeyDown = false;
}

void viewFlagsChanged(std::uint32_t modifierFlags) {
  setModifierGlobals(modifierFlags);
}

void viewMouseDown(std::uint8_t window, double x, double y, int buttons,
                   std::uint32_t modifierFlags, bool right) {
  if (windowTakesEvents(window, "viewMouseDown")) {
    t_MouseEventHandler(window, buttons, modifierFlags, x, y);
  }
  LeftButtonDown = !right;
  RightButtonDown = right;
}

void viewMouseUp(std::uint8_t) {
  LeftButtonDown = false;
  RightButtonDown = false;
}

void t_KeyTranslate(std::uint8_t window, int keyCode, const std::string& characters,
                    std::uint32_t modifierFlags) {
  const std::int64_t time = absoluteTimeMilliseconds();
  setModifierGlobals(modifierFlags);
  const std::u32string scalars = utf8ToScalars(characters);
  const char32_t first = scalars.empty() ? 0 : scalars.front();
  const keys::Translation translation =
      keys::translateKey(keyCode, first, scalars.empty(), modifierFlags);
  if (translation.redirectMode) t_RedirectOutput(window, *translation.redirectMode);
  if (!translation.value) return;
  KeyEventQueue.append(keys::keyEvent(window, keyCode, characters, *translation.value,
                                      modifierFlags, time, translation.cursorKey,
                                      translation.functionKey));
}

void t_MouseEventHandler(std::uint8_t window, int buttons, std::uint32_t modifierFlags, double x,
                         double y) {
  const std::int64_t time = absoluteTimeMilliseconds();
  const int windowX = truncatedCoordinate(x);
  const int windowY = truncatedCoordinate(y);
  int column = kOutsideWindow;
  int row = kOutsideWindow;
  bool valid = false;
  if (window >= kGraphicWindowCount) {
    logLine("t_MouseEventHandler: Unknown window, AbsX = " + std::to_string(windowX) +
            ", AbsY = " + std::to_string(windowY));
  } else if (!MemoryReady.load() || !windowRecord(window).Initialized) {
    logLine("t_MouseEventHandler: Window #" + std::to_string(window) + " not initialized.");
  } else {
    const t_Window& record = windowRecord(window);
    // The host counts y upward from the bottom; row 0 is the picture's top row.
    column = classify(windowX - record.BorderWidth, record.Width);
    row = classify(record.BorderHeight + record.Height - windowY, record.Height);
    t_Event event = keys::eventWithModifiers(modifierFlags);
    event.Kind = kMouseEventKind;
    event.Index = buttons;
    event.WindowX = windowX;
    event.WindowY = windowY;
    event.ClickX = column;
    event.ClickY = row;
    event.Window = window;
    event.Time = time;
    MouseEventQueue.append(event);
    valid = true;
  }
  logLine("t_MouseEventHandler: " + (valid ? "Graphic #" + std::to_string(window) : std::string()) +
          " window, X = " + std::to_string(column) + ", Y = " + std::to_string(row));
  MouseEventQueue.recomputeAvailable();
  startbackground(t_EventMouse);
  logLine("t_MouseEventHandler: Calling program mouse handler asynchronously.");
}

void t_EventMouse() {
  if (threadnumber() >= kFirstWorkerThreadNumber) nameCurrentThread("t_EventMouse");
  ProgramMouseHandler.run();
}

void t_SetProgramMouseHandler(std::function<void()> handler) {
  ProgramMouseHandler.set(std::move(handler));
}

void t_MouseEventPostCloseBoxClick(std::uint8_t window) {
  t_WindowVisible(window, false);
  logLine("t_MouseEventPostCloseBoxClick: Window = " + std::to_string(window));
}

// --- Program side -------------------------------------------------------------------

int t_KeyNext() {
  if (!KeyAvailable.load()) return -1;
  std::optional<t_Event> event = KeyEventQueue.takeFront();
  if (!event) return -1;
  CurrentKeyEvent = std::move(*event);
  return CurrentKeyEvent.Value;
}

std::string t_KeyWait(std::uint8_t window) {
  return *keyOrInterruption(window, [] { return false; });
}

t_EventCounts t_EventCountsNow() {
  return {t_MenuEventCount(), FileEventCount()};
}

std::optional<std::string> t_KeyWaitOrEvent(std::uint8_t window, const t_EventCounts& seen) {
  return keyOrInterruption(window, [seen] { return t_EventCountsNow() != seen; });
}

bool t_KeyPause(int code, bool wait) {
  if (!KeyAvailable.load()) return false;
  const std::optional<t_Event> newest = KeyEventQueue.back();
  if (!newest || newest->Value != code) return false;
  KeyEventQueue.clear();
  if (!wait) return true;
  const int menuEvents = t_MenuEventCount();
  waitForInput(InputWaitKind::Pause,
               [menuEvents] { return KeyAvailable.load() || t_MenuEventCount() != menuEvents; });
  if (KeyAvailable.load()) t_KeyNext();
  KeyEventQueue.recomputeAvailable();
  return true;
}

void t_KeyPostText(const std::string& text) {
  const std::int64_t time = absoluteTimeMilliseconds();
  for (const std::string& character : splitCharacters(text)) {
    t_Event event;
    event.Kind = kKeyEventKind;
    event.Description = character;
    event.Value = static_cast<int>(utf8ToScalars(character).front());
    event.Window = kPostedTextWindow;
    event.Time = time;
    KeyEventQueue.append(event);
  }
  KeyEventQueue.recomputeAvailable();
}
