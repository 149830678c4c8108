#include "host/terminal/MainLoop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace terminal {
namespace {
// Set once by the loop; read by the signal handler, which may only touch
// lock-free atomics.
std::atomic<int> signalWakeDescriptor{-1};
std::atomic<bool> signalArrived{false};

void drain(int descriptor) {
  std::array<char, 64> bytes;
  while (read(descriptor, bytes.data(), bytes.size()) > 0) {
  }
}
}  // namespace

MainLoop::MainLoop() : mainThread_(std::this_thread::get_id()) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeRead_ = ends[0];
    wakeWrite_ = ends[1];
  }
  signalWakeDescriptor = wakeWrite_;
}

MainLoop::~MainLoop() {
  signalWakeDescriptor = -1;
  if (wakeRead_ >= 0) close(wakeRead_);
  if (wakeWrite_ >= 0) close(wakeWrite_);
}

void MainLoop::wake() {
  const char byte = 1;
  // A full pipe already holds a wake-up; nothing is lost when this fails.
  [[maybe_unused]] ssize_t written = write(wakeWrite_, &byte, 1);
}

void MainLoop::wakeFromSignal() {
  signalArrived = true;
  const int descriptor = signalWakeDescriptor;
  if (descriptor < 0) return;
  const int savedErrno = errno;
  const char byte = 1;
  [[maybe_unused]] ssize_t written = write(descriptor, &byte, 1);
  errno = savedErrno;
}

void MainLoop::post(std::function<void()> work) {
  work_.push(std::move(work));
  wake();
}

void MainLoop::runAndWait(const std::function<void()>& work) {
  if (isMainThread()) {
    work();
    return;
  }
  host::postAndWait([this](std::function<void()> queued) { post(std::move(queued)); }, work);
}

void MainLoop::runQueuedWork() {
  while (work_.runOldest()) {
  }
}

MainLoop::Wakeup MainLoop::wait(int inputDescriptor, std::chrono::milliseconds timeout) {
  Wakeup wakeup;
  if (!work_.empty()) timeout = std::chrono::milliseconds(0);
  if (signalArrived) timeout = std::chrono::milliseconds(0);
  std::array<pollfd, 2> descriptors = {{{wakeRead_, POLLIN, 0}, {inputDescriptor, POLLIN, 0}}};
  const nfds_t count = inputDescriptor >= 0 ? 2 : 1;
  const int result = poll(descriptors.data(), count, static_cast<int>(timeout.count()));
  if (result > 0 && (descriptors[0].revents & POLLIN) != 0) drain(wakeRead_);
  wakeup.input = result > 0 && count == 2 && (descriptors[1].revents & (POLLIN | POLLHUP)) != 0;
  wakeup.signal = signalArrived.exchange(false);
  return wakeup;
}

}  // namespace terminal
