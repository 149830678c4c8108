#include "launcher/TerminationSignal.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace {
// The handler may only write to a pipe; the main thread's event loop reads it.
int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
  const char note = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &note, 1);
}
}  // namespace

void quitOnTerminationSignal(std::function<void()> quit) {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  // Lives as long as the process, which ends without destructors.
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier, &QSocketNotifier::activated, [quit = std::move(quit)] {
    char note = 0;
    while (::read(signalPipe[0], &note, 1) == 1) {
    }
    quit();
  });
  struct sigaction action {};
  action.sa_handler = onTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
}
