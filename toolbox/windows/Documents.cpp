#include "toolbox/windows/Documents.h"

#include <atomic>

#include "support/Clock.h"
#include "support/Log.h"
#include "support/ThreadName.h"
#include "support/qbtools.h"
#include "toolbox/windows/EventQueue.h"
#include "toolbox/windows/ProgramHook.h"

namespace {
// Nothing takes file events, so fileAvailable stays set after the first.
std::atomic<bool> fileAvailable{false};
EventQueue<t_Event> fileEvents{fileAvailable};
// The program's hook for opened files (empty in this program).
ProgramHook fileEventHandler{[] {}};

constexpr int kFileEventKind = 4;
constexpr int kFirstWorkerThreadNumber = 3;

bool refuse(int* error) {
  if (error != nullptr) *error = kDocumentUnimplemented;
  return false;
}
}  // namespace

std::vector<t_Event> FileEventQueueCopy() {
  return fileEvents.copy();
}

std::vector<t_Event> FileEventQueueCopyFrom(std::size_t first) {
  return fileEvents.copyFrom(first);
}

bool FileAvailable() {
  return fileAvailable;
}

int FileEventCount() {
  return static_cast<int>(fileEvents.appended());
}

void setFileEventHandler(std::function<void()> handler) {
  fileEventHandler.set(std::move(handler));
}

bool Document::readFromURL(const std::string& path, const std::string&, int* error) {
  if (path.empty()) return refuse(error);
  t_Event event;
  event.Kind = kFileEventKind;
  event.Description = path;
  event.Value = fileexists(path);
  event.Time = absoluteTimeMilliseconds();
  fileEvents.append(event);  // a prompt that waits for a key or an event ends for it
  startbackground(t_StartEventFile);
  // The host keeps no document windows and no list of recent documents, so
  // there is nothing to close or clear afterwards.
  return true;
}

void t_StartEventFile() {
  if (threadnumber() >= kFirstWorkerThreadNumber) nameCurrentThread("t_StartEventFile");
  fileEventHandler.run();
}
