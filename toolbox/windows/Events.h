// Keyboard and mouse events: the key and mouse queues, the global key, button
// and modifier state, and the program's side of reading keys.
//
// Threads: the view* entry points, t_KeyTranslate and t_MouseEventHandler run
// on the host's main thread; t_KeyNext, t_KeyWait, t_KeyPause and
// t_KeyPostText on the program thread. The queues are EventQueues
// (EventQueue.h); the state flags are atomics.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "toolbox/windows/Event.h"
#include "toolbox/windows/EventQueue.h"

// The host's device-independent modifier flags; t_Event::Mods holds them >> 16.
inline constexpr std::uint32_t kModifierCapsLock = 0x10000;
inline constexpr std::uint32_t kModifierShift = 0x20000;
inline constexpr std::uint32_t kModifierControl = 0x40000;
inline constexpr std::uint32_t kModifierOption = 0x80000;
inline constexpr std::uint32_t kModifierCommand = 0x100000;
inline constexpr std::uint32_t kModifierNumericPad = 0x200000;
inline constexpr std::uint32_t kModifierHelp = 0x400000;
inline constexpr std::uint32_t kModifierFunction = 0x800000;

inline constexpr int kKeyEventKind = 1;
inline constexpr int kMouseEventKind = 2;
// t_KeyPostText's events claim to come from this window.
inline constexpr std::uint8_t kPostedTextWindow = 1;

// Mouse button mask of a click: bit 0 left, bit 1 right.
inline constexpr int kLeftMouseButton = 1;
inline constexpr int kRightMouseButton = 2;

extern std::atomic<bool> KeyAvailable;
extern std::atomic<bool> MouseAvailable;
extern EventQueue<t_Event> KeyEventQueue;
extern EventQueue<t_Event> MouseEventQueue;
// The key event last taken from the queue. Program thread only.
extern t_Event CurrentKeyEvent;

extern std::atomic<bool> KeyDown;
extern std::atomic<bool> LeftButtonDown;
extern std::atomic<bool> RightButtonDown;
extern std::atomic<bool> CapsLockDown;
extern std::atomic<bool> ShiftDown;
extern std::atomic<bool> ControlDown;
extern std::atomic<bool> OptionDown;
extern std::atomic<bool> CommandDown;
extern std::atomic<bool> FunctionDown;

// --- Host side (main thread) -------------------------------------------------
// The host maps its own key to keyCode in the numbering of toolbox/windows/
// KeyCodes.h (-1 for a key that has no code there), passes the characters the
// key produced as UTF-8 (empty for a dead key) and its modifier flags in the
// kModifier* bits above.
void viewKeyDown(std::uint8_t window, int keyCode, const std::string& characters,
                 std::uint32_t modifierFlags);
// Clears KeyDown.
void viewKeyUp(std::uint8_t window);
// Sets the six modifier globals; queues nothing.
void viewFlagsChanged(std::uint32_t modifierFlags);
// x, y: the click in its host window, points, y counted upward from the bottom
// of the window. buttons: the pressed-button mask (kLeftMouseButton, ...).
void viewMouseDown(std::uint8_t window, double x, double y, int buttons,
                   std::uint32_t modifierFlags, bool right);
// Any button up: clears LeftButtonDown and RightButtonDown.
void viewMouseUp(std::uint8_t window);

// Turns one key press into a queued key event (or an action without event).
void t_KeyTranslate(std::uint8_t window, int keyCode, const std::string& characters,
                    std::uint32_t modifierFlags);
// Builds and queues the mouse event of a click, then starts t_EventMouse.
void t_MouseEventHandler(std::uint8_t window, int buttons, std::uint32_t modifierFlags, double x,
                         double y);
// The worker that t_MouseEventHandler starts after every click: runs the
// program's mouse handler (the game installs none; it reads the mouse queue).
void t_EventMouse();
// Installs ProgramMouseHandler; an empty routine puts the one that does
// nothing back. Any thread.
void t_SetProgramMouseHandler(std::function<void()> handler);
// The close box of a window was clicked: hides the window and logs it; queues
// no event. Called by the window delegate logic on the main thread.
void t_MouseEventPostCloseBoxClick(std::uint8_t window);

// --- Program side (program thread) ---------------------------------------------
// The Value of the oldest key event, taken into CurrentKeyEvent; -1 when none.
int t_KeyNext();
// Waits (cursor shown) for a key and returns its character as one Unicode
// scalar in UTF-8. The wait is published (InputWait.h) and ends the moment a
// key is queued.
std::string t_KeyWait(std::uint8_t window);
// How many menu items had been chosen and files opened (the lengths of the
// menu and file event queues, which only grow). Any thread.
struct t_EventCounts {
  int menuEvents = 0;
  int fileEvents = 0;
  friend bool operator==(const t_EventCounts&, const t_EventCounts&) = default;
};
t_EventCounts t_EventCountsNow();
// As t_KeyWait, but a wait that the program can leave for a chosen menu item
// or an opened file: returns nothing, and takes no key, as soon as the counts
// differ from seen (also at once, before looking at the key queue).
std::optional<std::string> t_KeyWaitOrEvent(std::uint8_t window, const t_EventCounts& seen);
// The pause check of text output: when the newest queued key has Value code,
// empties the queue and (with wait) waits for the next key, which it consumes.
bool t_KeyPause(int code, bool wait);
// Appends one key event per character of text (UTF-8; a letter with its
// combining marks is one character, support/Characters.h), as if typed in
// window 1: Description the character, Value its first scalar.
void t_KeyPostText(const std::string& text);
