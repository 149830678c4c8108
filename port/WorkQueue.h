// Work that other threads hand to a host's main thread. The work travels in
// this queue under a mutex of ours, so that ThreadSanitizer sees everything
// the sender wrote before as written before the main thread runs it, whatever
// wakes the main thread (a Qt event, a pipe).
#pragma once

#include <deque>
#include <functional>
#include <mutex>

namespace host {

class WorkQueue {
 public:
  // Any thread: queues work. Work runs in the order it was pushed; work
  // still queued when the queue is destroyed is destroyed unrun.
  void push(std::function<void()> work);
  // Main thread: runs the oldest work, outside the lock so that it may push
  // more. False when there was none.
  bool runOldest();
  bool empty() const;

 private:
  mutable std::mutex lock_;
  std::deque<std::function<void()>> work_;
};

// Hands work to the main thread through post and returns once it has run.
// Work that is dropped unrun (the host is going away) also ends the wait.
void postAndWait(const std::function<void(std::function<void()>)>& post,
                 const std::function<void()>& work);

}  // namespace host
