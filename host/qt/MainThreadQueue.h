// Work that other threads hand to the Qt host's main thread: it travels in
// the host's work queue, and Qt's posted event only wakes the main thread and
// carries nothing of ours (Qt's own locking lies in libraries not built for
// the sanitizer, which cannot see it).
#pragma once

#include <QObject>

#include <functional>

#include "port/WorkQueue.h"

class MainThreadQueue : public QObject {
 public:
  // Any thread: queues work and wakes the main thread; returns at once. Work
  // runs in the order it was posted. Work still queued when the queue is
  // destroyed is destroyed unrun.
  void post(std::function<void()> work);

 protected:
  // Qt hands it the queue's own wake-ups, the only custom events it gets. It
  // does not look at the event: the event comes from another thread through
  // Qt's queue alone, which the sanitizer cannot follow.
  void customEvent(QEvent* wakeUp) override;

 private:
  host::WorkQueue work_;
};
