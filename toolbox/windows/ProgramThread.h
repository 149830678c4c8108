// How the game gets a thread of its own, and the application delegate's
// launch and termination steps that start it.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

// 1 GiB: the program thread's stack. The game recurses through its script
// interpreter like the firmware programs it imitates; a default stack is not enough.
inline constexpr std::int64_t kProgramStackSize = 0x40000000;

// Threads started by startprocess whose routine has not yet returned (or
// unwound through t_QuitProgram). Scripted play ends when it drops to 0;
// each drop is announced with notifyInputObservers (InputWait.h).
extern std::atomic<int> ProgramThreadsRunning;

// Starts routine on a new thread with a stack of stackSize bytes (at least the
// platform minimum); returns once the thread exists, without waiting for the
// routine. Any thread. A ProgramThreadExit thrown by the routine ends the
// thread quietly (t_QuitProgram). The thread is joined by endProgramThreads.
void startprocess(std::function<void()> routine, std::int64_t stackSize);

// The end of the application: waits at most timeout for every program thread
// to end and joins them. A caller that wants them to end asks first
// (t_RequestProgramEnd: one at an input wait then ends at once). False when
// one still runs (busy, or waiting unasked): the caller then leaves without
// destructors. Not on a program thread; the caller's main thread must keep
// serving meanwhile, or be the one thread that nothing waits for.
bool endProgramThreads(std::chrono::milliseconds timeout);

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
