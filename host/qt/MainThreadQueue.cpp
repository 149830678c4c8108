#include "host/qt/MainThreadQueue.h"

#include <QCoreApplication>
#include <QEvent>

namespace {
const QEvent::Type kWakeUp = static_cast<QEvent::Type>(QEvent::registerEventType());
}

void MainThreadQueue::post(std::function<void()> work) {
  {
    std::lock_guard guard(lock_);
    work_.push_back(std::move(work));
  }
  QCoreApplication::postEvent(this, new QEvent(kWakeUp));
}

void MainThreadQueue::customEvent(QEvent*) {
  // one wake-up per posted work: the oldest runs, outside the lock, so that
  // it may post more
  std::function<void()> work;
  {
    std::lock_guard guard(lock_);
    if (work_.empty()) return;
    work = std::move(work_.front());
    work_.pop_front();
  }
  work();
}
