#include "toolbox/windows/ProgramThread.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "port/Host.h"
#include "support/Log.h"
#include "support/ThreadLaunch.h"
#include "support/ThreadName.h"
#include "support/qbtools.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/WindowManagement.h"

std::atomic<bool> StartPending{false};
std::atomic<int> ProgramThreadsRunning{0};

namespace {
// Handed from startprocess to the new thread under startLock. Only the caller
// that set StartPending writes them, and only the thread it starts takes them,
// before it clears the flag; a second caller waits on startTaken meanwhile.
std::mutex startLock;
std::condition_variable startTaken;
std::function<void()> ProgramEntry;
std::int64_t ProgramStackSize = 0;

// Takes the routine handed over and lets the next startprocess go ahead.
std::function<void()> takeProgramEntry() {
  std::function<void()> routine;
  {
    std::lock_guard guard(startLock);
    routine = std::move(ProgramEntry);
    ProgramEntry = nullptr;
    StartPending = false;
  }
  startTaken.notify_all();
  return routine;
}
}  // namespace

void startprocess(std::function<void()> routine, std::int64_t stackSize) {
  {
    std::unique_lock lock(startLock);
    startTaken.wait(lock, [] { return !StartPending.load(); });
    StartPending = true;
    ProgramStackSize = stackSize;
    ProgramEntry = std::move(routine);
  }
  ++ProgramThreadsRunning;
  host::current().runOnMainAndWait([] { new startprogramclass(); });
}

startprogramclass::startprogramclass() {
  std::int64_t requested = 0;
  {
    std::lock_guard guard(startLock);
    requested = ProgramStackSize;
  }
  // The thread owns this object from here on and deletes it at its end.
  int failure = launchDetachedThread(
      [this] {
        std::unique_ptr<startprogramclass> owner(this);
        owner->startprogramthread();
      },
      static_cast<std::size_t>(std::max<std::int64_t>(requested, 0)), "startprocess");
  if (failure != 0) {
    logLine("startprocess: Thread could not be created, error #" + std::to_string(failure) + ".");
    takeProgramEntry();
    --ProgramThreadsRunning;
    notifyInputObservers();
    delete this;
  }
}

void startprogramclass::startprogramthread() {
  std::function<void()> routine = takeProgramEntry();
  nameCurrentThread("Main Program");
  // However the routine ends, the count drops and observers hear of it (a
  // headless run may be over); another exception than ProgramThreadExit goes
  // on to the thread's launcher, which logs it.
  struct Ended {
    ~Ended() {
      --ProgramThreadsRunning;
      notifyInputObservers();
    }
  } ended;
  try {
    if (routine) routine();
  } catch (const ProgramThreadExit&) {
    // t_QuitProgram's normal end of the program thread.
  }
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
