// The terminal host's main thread: a queue of work that other threads hand
// to it, and a wait for that work, for input on the terminal, for a signal
// (window size changed) or for a timeout, whichever comes first. No polling:
// the thread sleeps in poll() until something happens.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "port/WorkQueue.h"

namespace terminal {

class MainLoop {
 public:
  // The calling thread becomes the main thread.
  MainLoop();
  ~MainLoop();
  MainLoop(const MainLoop&) = delete;
  MainLoop& operator=(const MainLoop&) = delete;

  bool isMainThread() const { return std::this_thread::get_id() == mainThread_; }
  // Any thread. Runs work on the main thread and returns when it has run.
  void runAndWait(const std::function<void()>& work);
  // Any thread. Queues work and returns at once.
  void post(std::function<void()> work);
  // Main thread: runs the queued work.
  void runQueuedWork();

  struct Wakeup {
    bool input = false;   // the terminal has bytes to read
    bool signal = false;  // wakeFromSignal was called
  };
  // Main thread: sleeps until input on inputDescriptor, queued work, a
  // signal, or the timeout (negative: none).
  Wakeup wait(int inputDescriptor, std::chrono::milliseconds timeout);

  // Async-signal-safe: wakes the main thread's wait and reports a signal.
  static void wakeFromSignal();

 private:
  void wake();

  std::thread::id mainThread_;
  host::WorkQueue work_;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
};

}  // namespace terminal
