// The program thread's waits for input and who watches them.
//
// Every routine of the toolbox that waits for the player (t_KeyWait, the pause
// of text output, INKEY) waits here: it publishes what it waits for, then
// blocks on a condition variable that queueing a key, mouse or menu event
// signals, so a key is taken the moment it is queued and a waiting program
// never wakes for nothing. Whatever can end a wait (a key, a menu choice, an
// opened file, the request to end) notifies it.
//
// The published wait is the one reliable sign that the program has done all
// it can with the input it had: scripted play types its next key then, and
// test harnesses look at the screen then. Nobody needs to guess from the
// screen or the thread's state.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

enum class InputWaitKind : std::uint8_t {
  None,   // the program is not waiting for input
  Key,    // one key (t_KeyWait outside line input)
  Line,   // a key of the line being edited (t_KeyWait inside t_InputForm)
  Pause,  // the key that ends the output pause (Ctrl-S)
  Poll,   // a key polled for with a timeout (INKEY)
};

// What an observer sees: the kind of the current wait and a number that grows
// with every wait that begins, so a stale notice can be told from a new one.
struct InputWaitState {
  InputWaitKind kind = InputWaitKind::None;
  std::uint64_t serial = 0;
};

// --- Program side -----------------------------------------------------------
// Blocks until ready() holds, publishing kind meanwhile. ready() is checked
// first and after every event notice (notifyInputEvent), so whatever makes it
// true must notify. A wait that finds ready() true at once publishes nothing.
void waitForInput(InputWaitKind kind, const std::function<bool()>& ready);

// Makes waits inside the calling scope report Line instead of Key: the line
// editor's keys are read with t_KeyWait like any other. Program thread only.
class LineInputScope {
 public:
  LineInputScope();
  ~LineInputScope();
  LineInputScope(const LineInputScope&) = delete;
  LineInputScope& operator=(const LineInputScope&) = delete;

 private:
  bool outer_;
};
// Key inside a LineInputScope on this thread, Line there.
InputWaitKind keyWaitKind();

// --- Ending the program when the application quits --------------------------
// Asks the program thread to end: its present wait for input, and any it
// begins later, ends it as t_QuitProgram does (ProgramThreadExit), without a
// message. The host calls it when the player quits the application. Any thread.
void t_RequestProgramEnd();

// --- Event side (any thread) ------------------------------------------------
// An event was queued (or a queue changed): wakes a waiting program. Call it
// after the queue and its availability flag are updated.
void notifyInputEvent();
// The program thread has ended, or something else that observers wait for
// changed outside a wait: wakes observers.
void notifyInputObservers();

// --- Observer side (any thread) ---------------------------------------------
InputWaitState currentInputWait();
// Blocks until the program waits for input with no key queued (returns the
// wait) or finished() holds (returns kind None), at most timeout (kind None).
// Only a wait whose serial is above newerThan counts: an observer that hands
// the program an event other than a key (a menu choice, an opened file) passes
// the serial from before it, so the wait that the event ends does not count.
// finished() is checked under the same lock; whoever makes it true calls
// notifyInputObservers afterwards.
InputWaitState awaitInputWait(const std::function<bool()>& finished,
                              std::chrono::milliseconds timeout, std::uint64_t newerThan = 0);
// Called as each wait begins (on the program thread, with the new wait) and by
// notifyInputObservers (on its caller's thread, with the state then), never
// under the lock of the waits; scripted play passes the notice on to its own
// thread. Set it before the program starts; an empty function removes it.
// Setting it waits until a call of the old listener has returned, so the
// listener must not wait for the thread that sets it.
void setInputWaitListener(std::function<void(InputWaitState)> listener);
