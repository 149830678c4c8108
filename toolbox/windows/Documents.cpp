#include "toolbox/windows/Documents.h"

#include <atomic>
#include <mutex>

#include "support/Clock.h"
#include "support/Log.h"
#include "support/ThreadName.h"
#include "support/qbtools.h"

namespace {
std::mutex fileEventLock;
std::vector<t_Event> fileEvents;
std::atomic<bool> fileAvailable{false};
std::atomic<int> fileEventCount{0};
std::function<void()> fileEventHandler = [] {};

constexpr int kFileEventKind = 4;
constexpr int kFirstWorkerThreadNumber = 3;

bool refuse(int* error) {
  if (error != nullptr) *error = kDocumentUnimplemented;
  return false;
}
}  // namespace

std::vector<t_Event> FileEventQueueCopy() {
  std::lock_guard guard(fileEventLock);
  return fileEvents;
}

std::vector<t_Event> FileEventQueueCopyFrom(std::size_t first) {
  std::lock_guard guard(fileEventLock);
  if (first >= fileEvents.size()) return {};
  return {fileEvents.begin() + static_cast<std::ptrdiff_t>(first), fileEvents.end()};
}

bool FileAvailable() {
  return fileAvailable;
}

int FileEventCount() {
  return fileEventCount;
}

void setFileEventHandler(std::function<void()> handler) {
  std::lock_guard guard(fileEventLock);
  fileEventHandler = handler ? std::move(handler) : [] {};
}

bool Document::readFromURL(const std::string& path, const std::string&, int* error) {
  if (path.empty()) return refuse(error);
  t_Event event;
  event.Kind = kFileEventKind;
  event.Description = path;
  event.Value = fileexists(path);
  event.Time = absoluteTimeMilliseconds();
  {
    std::lock_guard guard(fileEventLock);
    fileEvents.push_back(event);
    fileEventCount = static_cast<int>(fileEvents.size());
    fileAvailable = true;
  }
  startbackground(t_StartEventFile);
  // The host keeps no document windows and no list of recent documents, so
  // there is nothing to close or clear afterwards.
  return true;
}

void t_StartEventFile() {
  if (threadnumber() >= kFirstWorkerThreadNumber) nameCurrentThread("t_StartEventFile");
  std::function<void()> handler;
  {
    std::lock_guard guard(fileEventLock);
    handler = fileEventHandler;
  }
  handler();
}
