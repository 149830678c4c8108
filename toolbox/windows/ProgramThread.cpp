#include "toolbox/windows/ProgramThread.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "port/Host.h"
#include "support/Log.h"
#include "support/ThreadLaunch.h"
#include "support/ThreadName.h"
#include "support/qbtools.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/WindowManagement.h"

std::atomic<int> ProgramThreadsRunning{0};

namespace {
// The program threads started and not yet joined, and the end of each run.
std::mutex threadsLock;
std::condition_variable programEnded;
std::vector<pthread_t> programThreads;

void runProgram(const std::function<void()>& routine) {
  nameCurrentThread("Main Program");
  // However the routine ends, the count drops and observers hear of it (a
  // headless run may be over); another exception than ProgramThreadExit goes
  // on to the thread's launcher, which logs it.
  struct Ended {
    ~Ended() {
      {
        std::lock_guard guard(threadsLock);
        --ProgramThreadsRunning;
      }
      programEnded.notify_all();
      notifyInputObservers();
    }
  } ended;
  try {
    if (routine) routine();
  } catch (const ProgramThreadExit&) {
    // t_QuitProgram's normal end of the program thread.
  }
}
}  // namespace

void startprocess(std::function<void()> routine, std::int64_t stackSize) {
  int failure = 0;
  {
    // Held until the thread is listed: a routine that ends at once waits
    // for it here, so endProgramThreads never misses a thread to join.
    std::lock_guard guard(threadsLock);
    ++ProgramThreadsRunning;
    pthread_t thread;
    failure = launchJoinableThread([routine = std::move(routine)] { runProgram(routine); },
                                   static_cast<std::size_t>(std::max<std::int64_t>(stackSize, 0)),
                                   "startprocess", thread);
    if (failure == 0) {
      programThreads.push_back(thread);
      return;
    }
    --ProgramThreadsRunning;
  }
  logLine("startprocess: Thread could not be created, error #" + std::to_string(failure) + ".");
  programEnded.notify_all();
  notifyInputObservers();
}

bool endProgramThreads(std::chrono::milliseconds timeout) {
  std::vector<pthread_t> threads;
  {
    std::unique_lock lock(threadsLock);
    if (!programEnded.wait_for(lock, timeout, [] { return ProgramThreadsRunning == 0; })) {
      return false;
    }
    threads.swap(programThreads);
  }
  for (pthread_t thread : threads) pthread_join(thread, nullptr);
  return true;
}

void applicationWillFinishLaunching() {
  logLine("applicationWillFinishLaunching: Called.");
  if (threadnumber() == 1) nameCurrentThread("AppDelegate");
}

void applicationDidFinishLaunching(const std::function<void()>& program) {
  logLine("applicationDidFinishLaunching: Start.");
  initqbtools();
  host::Host& desktop = host::current();
  host::HostWindow* pasteboardWindow = desktop.fixedWindow(host::kPasteboardWindow);
  if (pasteboardWindow != nullptr && desktop.hasTextView(host::kPasteboardWindow)) {
    double height = desktop.frame(pasteboardWindow).height -
                    desktop.scrollViewFrame(host::kPasteboardWindow).height - 20;
    TitleBarHeight = static_cast<int>(height);
  }
  logLine("Program: Start.");
  startprocess(program, kProgramStackSize);
  logLine("applicationDidFinishLaunching: End.");
}

void applicationWillTerminate() {
  logLine("applicationWillTerminate: Called.");
}
