#include "host/qt/MainThreadQueue.h"

#include <QCoreApplication>
#include <QEvent>

namespace {
const QEvent::Type kWakeUp = static_cast<QEvent::Type>(QEvent::registerEventType());
}

void MainThreadQueue::post(std::function<void()> work) {
  work_.push(std::move(work));
  QCoreApplication::postEvent(this, new QEvent(kWakeUp));
}

void MainThreadQueue::customEvent(QEvent*) {
  // one wake-up per posted work: the oldest runs
  work_.runOldest();
}
