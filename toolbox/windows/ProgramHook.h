// One of the program's hooks (its mouse handler, menu handler and action
// hook): a routine that the program may replace from any thread while a
// worker runs it. The worker runs a copy, so a replacement never pulls the
// routine away in the middle of a run.
#pragma once

#include <functional>
#include <mutex>
#include <utility>

class ProgramHook {
 public:
  explicit ProgramHook(std::function<void()> fallback)
      : fallback_(std::move(fallback)), routine_(fallback_) {}

  // An empty routine puts the fallback back.
  void set(std::function<void()> routine) {
    std::lock_guard guard(lock_);
    routine_ = routine ? std::move(routine) : fallback_;
  }

  void run() const {
    std::function<void()> routine;
    {
      std::lock_guard guard(lock_);
      routine = routine_;
    }
    routine();
  }

 private:
  mutable std::mutex lock_;
  const std::function<void()> fallback_;
  std::function<void()> routine_;
};
