// Thread numbers, thread names and background work of qbtools.
#include <pthread.h>

#include <atomic>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "support/Log.h"
#include "support/ThreadName.h"
#include "support/qbtools.h"

namespace {

// Numbers go out in the order in which threads first ask. The host's main
// thread asks first (its launch and initqbtools run before any other thread
// exists), then the program thread in t_InitMemory: 1 and 2.
constexpr int kFirstThreadNumber = 1;

std::atomic<int> nextThreadNumber{kFirstThreadNumber};
thread_local int currentThreadNumber = 0;

void* runBackgroundRoutine(void* argument) {
  std::unique_ptr<std::function<void()>> routine(static_cast<std::function<void()>*>(argument));
  try {
    (*routine)();
  } catch (const std::exception& error) {
    logLine(std::string("startbackground: Routine ended with an exception: ") + error.what());
  } catch (...) {
    logLine("startbackground: Routine ended with an exception.");
  }
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
  pthread_setname_np(pthread_self(), shortName.c_str());
}

namespace {
std::optional<pthread_t> startBackgroundThread(std::function<void()> routine, bool joinable) {
  auto owned = std::make_unique<std::function<void()>>(std::move(routine));
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, kBackgroundStackBytes);
  pthread_attr_setdetachstate(&attributes,
                              joinable ? PTHREAD_CREATE_JOINABLE : PTHREAD_CREATE_DETACHED);
  pthread_t thread;
  const int error = pthread_create(&thread, &attributes, runBackgroundRoutine, owned.get());
  pthread_attr_destroy(&attributes);
  if (error != 0) {
    logLine("startbackground: Error #" + std::to_string(error) + " (" + std::strerror(error) +
            "), routine not started.");
    return std::nullopt;
  }
  owned.release();  // the thread owns it now
  return thread;
}
}  // namespace

void startbackground(std::function<void()> routine) {
  startBackgroundThread(std::move(routine), false);
}

std::optional<pthread_t> startjoinablebackground(std::function<void()> routine) {
  return startBackgroundThread(std::move(routine), true);
}
