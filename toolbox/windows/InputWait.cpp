#include "toolbox/windows/InputWait.h"

#include <condition_variable>
#include <mutex>

#include <atomic>

#include "support/Log.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/WindowManagement.h"

namespace {

// One lock for the published wait and both condition variables: a notice
// taken under it can never fall between a waiter's check and its sleep.
// Never destroyed: a program thread may still wait on them while the process
// exits, and destroying a condition variable with a waiter hangs.
std::mutex& waitLock = *new std::mutex;
std::condition_variable& programWakeup = *new std::condition_variable;
std::condition_variable& observerWakeup = *new std::condition_variable;
InputWaitState published;

std::mutex listenerLock;
std::function<void(InputWaitState)> waitListener;

thread_local bool insideLineInput = false;
std::atomic<bool> programEndRequested{false};

// Under listenerLock (never under waitLock), so that setInputWaitListener
// returns only once no call of the listener it replaces is in flight: the
// listener's owner may go away right after removing it.
void tellListener(InputWaitState state) {
  std::lock_guard guard(listenerLock);
  if (waitListener) waitListener(state);
}

bool waitsWithNoKeyQueued() {
  return published.kind != InputWaitKind::None && !KeyAvailable.load();
}

}  // namespace

void waitForInput(InputWaitKind kind, const std::function<bool()>& ready) {
  std::unique_lock lock(waitLock);
  if (ready()) return;
  if (programEndRequested) throw ProgramThreadExit{};
  published.kind = kind;
  ++published.serial;
  const InputWaitState state = published;
  observerWakeup.notify_all();
  lock.unlock();
  tellListener(state);
  lock.lock();
  while (!ready()) {
    if (programEndRequested) {
      published.kind = InputWaitKind::None;
      throw ProgramThreadExit{};
    }
    programWakeup.wait(lock);
  }
  published.kind = InputWaitKind::None;
}

void t_RequestProgramEnd() {
  if (programEndRequested.exchange(true)) return;
  logLine("t_RequestProgramEnd: Program thread asked to end.");
  notifyInputEvent();
}

LineInputScope::LineInputScope() : outer_(insideLineInput) {
  insideLineInput = true;
}

LineInputScope::~LineInputScope() {
  insideLineInput = outer_;
}

InputWaitKind keyWaitKind() {
  return insideLineInput ? InputWaitKind::Line : InputWaitKind::Key;
}

void notifyInputEvent() {
  std::lock_guard guard(waitLock);
  programWakeup.notify_all();
  observerWakeup.notify_all();
}

void notifyInputObservers() {
  InputWaitState state;
  {
    std::lock_guard guard(waitLock);
    observerWakeup.notify_all();
    state = published;
  }
  tellListener(state);
}

InputWaitState currentInputWait() {
  std::lock_guard guard(waitLock);
  return published;
}

InputWaitState awaitInputWait(const std::function<bool()>& finished,
                              std::chrono::milliseconds timeout, std::uint64_t newerThan) {
  std::unique_lock lock(waitLock);
  const bool settled = observerWakeup.wait_for(lock, timeout, [&] {
    return finished() || (waitsWithNoKeyQueued() && published.serial > newerThan);
  });
  if (!settled || finished()) return {InputWaitKind::None, published.serial};
  return published;
}

void setInputWaitListener(std::function<void(InputWaitState)> listener) {
  std::lock_guard guard(listenerLock);
  waitListener = std::move(listener);
}
