// How the game gets a thread of its own, and the application delegate's
// launch and termination steps that start it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

// 1 GiB: the program thread's stack. The game recurses through its script
// interpreter like the firmware programs it imitates; a default stack is not enough.
inline constexpr std::int64_t kProgramStackSize = 0x40000000;

// True while a startprocess call has stored its routine and the new thread has
// not yet taken it.
extern std::atomic<bool> StartPending;
// Threads started by startprocess whose routine has not yet returned (or
// unwound through t_QuitProgram). Scripted play ends when it drops to 0;
// each drop is announced with notifyInputObservers (InputWait.h).
extern std::atomic<int> ProgramThreadsRunning;

// Starts routine on a new thread with a stack of stackSize bytes (at least the
// platform minimum); returns once the thread exists, without waiting for the
// routine. Any thread. A ProgramThreadExit thrown by the routine ends the
// thread quietly (t_QuitProgram).
void startprocess(std::function<void()> routine, std::int64_t stackSize);

// Created on the main thread by startprocess: starts the thread whose body is
// startprogramthread.
class startprogramclass {
 public:
  startprogramclass();
  void startprogramthread();
};

// The application delegate (host main thread).
void applicationWillFinishLaunching();
// initqbtools, TitleBarHeight from the pasteboard window, then program (the
// game's VelmoratMain; tests pass a routine of their own) on the program thread.
void applicationDidFinishLaunching(const std::function<void()>& program);
void applicationWillTerminate();
// The application stays open when its last window is hidden or closed.
inline bool applicationShouldTerminateAfterLastWindowClosed() {
  return false;
}
