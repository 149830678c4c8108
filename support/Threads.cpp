// Thread numbers, thread names and background work of qbtools.
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <string>

#include "support/Log.h"
#include "support/ThreadLaunch.h"
#include "support/ThreadName.h"
#include "support/qbtools.h"

namespace {

// Numbers go out in the order in which threads first ask. The host's main
// thread asks first (its launch and initqbtools run before any other thread
// exists), then the program thread in t_InitMemory: 1 and 2.
constexpr int kFirstThreadNumber = 1;

// In a browser a thread's stack is taken from the program's own memory, a few
// dozen megabytes there; a larger request gets this much, which the game's
// deepest scripts use only a fraction of.
#ifdef __EMSCRIPTEN__
constexpr std::size_t kLargestStackBytes = std::size_t{8} << 20;
#else
constexpr std::size_t kLargestStackBytes = SIZE_MAX;
#endif

std::atomic<int> nextThreadNumber{kFirstThreadNumber};
thread_local int currentThreadNumber = 0;

struct LaunchedRoutine {
  std::function<void()> routine;
  const char* logName;
  bool detached;
};

// Detached routines that have not yet returned. Never destroyed: the last
// such thread signals them while the process may already be ending.
std::mutex& detachedLock = *new std::mutex;
std::condition_variable& detachedEnded = *new std::condition_variable;
int detachedRunning = 0;

void countDetached(int change) {
  std::lock_guard guard(detachedLock);
  detachedRunning += change;
  if (detachedRunning == 0) detachedEnded.notify_all();
}

void runRoutine(const LaunchedRoutine& launched) {
  try {
    launched.routine();
  } catch (const std::exception& error) {
    logLine(std::string(launched.logName) + ": Routine ended with an exception: " + error.what());
  } catch (...) {
    logLine(std::string(launched.logName) + ": Routine ended with an exception.");
  }
}

void* runLaunchedRoutine(void* argument) {
  bool detached = false;
  {
    std::unique_ptr<LaunchedRoutine> launched(static_cast<LaunchedRoutine*>(argument));
    detached = launched->detached;
    runRoutine(*launched);
  }  // what the routine held goes first
  if (detached) countDetached(-1);
  return nullptr;
}

}  // namespace

int threadnumber() {
  if (currentThreadNumber == 0) {
    currentThreadNumber = nextThreadNumber.fetch_add(1, std::memory_order_relaxed);
  }
  return currentThreadNumber;
}

void nameCurrentThread(std::string_view name) {
  const std::string shortName(name.substr(0, kMaxThreadNameLength));
#ifdef __EMSCRIPTEN__
  // A browser's threads have no names of their own to set.
  (void)shortName;
#else
  pthread_setname_np(pthread_self(), shortName.c_str());
#endif
}

namespace {
int launchThread(std::function<void()> routine, std::size_t stackBytes, const char* logName,
                 bool joinable, pthread_t& thread) {
  auto owned =
      std::make_unique<LaunchedRoutine>(LaunchedRoutine{std::move(routine), logName, !joinable});
  if (!joinable) countDetached(+1);
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(
      &attributes,
      std::max<std::size_t>(std::min(stackBytes, kLargestStackBytes), PTHREAD_STACK_MIN));
  pthread_attr_setdetachstate(&attributes,
                              joinable ? PTHREAD_CREATE_JOINABLE : PTHREAD_CREATE_DETACHED);
  const int error = pthread_create(&thread, &attributes, runLaunchedRoutine, owned.get());
  pthread_attr_destroy(&attributes);
  if (error == 0) {
    owned.release();  // the thread owns it now
  } else if (!joinable) {
    countDetached(-1);
  }
  return error;
}
}  // namespace

int launchDetachedThread(std::function<void()> routine, std::size_t stackBytes,
                         const char* logName) {
  pthread_t thread;
  return launchThread(std::move(routine), stackBytes, logName, false, thread);
}

int launchJoinableThread(std::function<void()> routine, std::size_t stackBytes, const char* logName,
                         pthread_t& thread) {
  return launchThread(std::move(routine), stackBytes, logName, true, thread);
}

bool awaitDetachedThreads(std::chrono::milliseconds timeout) {
  std::unique_lock lock(detachedLock);
  return detachedEnded.wait_for(lock, timeout, [] { return detachedRunning == 0; });
}

void startbackground(std::function<void()> routine) {
  const int error =
      launchDetachedThread(std::move(routine), kBackgroundStackBytes, "startbackground");
  if (error != 0) {
    logLine("startbackground: Error #" + std::to_string(error) + " (" + std::strerror(error) +
            "), routine not started.");
  }
}
