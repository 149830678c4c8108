#include "app/ProgramThread.h"

#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "host/Host.h"
#include "support/Log.h"
#include "support/ThreadName.h"
#include "support/qbtools.h"
#include "toolbox/text/VideoMemory.h"
#include "toolbox/windows/WindowManagement.h"

std::atomic<bool> StartPending{false};
std::atomic<int> ProgramThreadsRunning{0};
std::atomic<int> ProgramThreadKernelId{0};

namespace {
// Handed from startprocess to the new thread. Only the caller that won
// StartPending writes them, and only the thread it starts reads them, before
// it clears the flag; thread creation orders the two.
std::function<void()> ProgramEntry;
std::int64_t ProgramStackSize = 0;

std::mutex quitHandlerLock;
std::function<void()> ProgramQuitHandler = [] {};

constexpr auto kStartPendingPoll = std::chrono::milliseconds(1);
// Gives an earlier program thread time to take its routine before the next.
constexpr auto kStartSettle = std::chrono::milliseconds(10);

void* programThreadBody(void* argument) {
  std::unique_ptr<startprogramclass> owner(static_cast<startprogramclass*>(argument));
  owner->startprogramthread();
  return nullptr;
}
}  // namespace

void startprocess(std::function<void()> routine, std::int64_t stackSize) {
  // Two callers may look at the same moment; only one may fill the hand-over
  // fields, so claiming the flag is one atomic exchange rather than look-then-set.
  bool expected = false;
  while (!StartPending.compare_exchange_weak(expected, true)) {
    expected = false;
    std::this_thread::sleep_for(kStartPendingPoll);
  }
  ProgramStackSize = stackSize;
  ProgramEntry = std::move(routine);
  ++ProgramThreadsRunning;
  std::this_thread::sleep_for(kStartSettle);
  host::current().runOnMainAndWait([] { new startprogramclass(); });
}

startprogramclass::startprogramclass() {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  std::size_t stackBytes = ProgramStackSize > PTHREAD_STACK_MIN
                               ? static_cast<std::size_t>(ProgramStackSize)
                               : static_cast<std::size_t>(PTHREAD_STACK_MIN);
  pthread_attr_setstacksize(&attributes, stackBytes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  pthread_t thread;
  // The thread owns this object from here on (programThreadBody deletes it).
  int failure = pthread_create(&thread, &attributes, programThreadBody, this);
  pthread_attr_destroy(&attributes);
  if (failure != 0) {
    logLine("startprocess: Thread could not be created, error #" + std::to_string(failure) + ".");
    ProgramEntry = nullptr;
    --ProgramThreadsRunning;
    StartPending = false;
    delete this;
  }
}

void startprogramclass::startprogramthread() {
  std::function<void()> routine = std::move(ProgramEntry);
  ProgramEntry = nullptr;
  StartPending = false;
  ProgramThreadKernelId = static_cast<int>(gettid());
  nameCurrentThread("Main Program");
  try {
    if (routine) routine();
  } catch (const ProgramThreadExit&) {
    // t_QuitProgram's normal end of the program thread.
  }
  --ProgramThreadsRunning;
}

void setProgramQuitHandler(std::function<void()> handler) {
  std::lock_guard guard(quitHandlerLock);
  ProgramQuitHandler = handler ? std::move(handler) : [] {};
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
  std::function<void()> handler;
  {
    std::lock_guard guard(quitHandlerLock);
    handler = ProgramQuitHandler;
  }
  handler();
}
