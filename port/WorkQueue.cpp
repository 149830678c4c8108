#include "port/WorkQueue.h"

#include <future>
#include <memory>

namespace host {

void WorkQueue::push(std::function<void()> work) {
  std::lock_guard guard(lock_);
  work_.push_back(std::move(work));
}

bool WorkQueue::runOldest() {
  std::function<void()> work;
  {
    std::lock_guard guard(lock_);
    if (work_.empty()) return false;
    work = std::move(work_.front());
    work_.pop_front();
  }
  work();
  return true;
}

bool WorkQueue::empty() const {
  std::lock_guard guard(lock_);
  return work_.empty();
}

void postAndWait(const std::function<void(std::function<void()>)>& post,
                 const std::function<void()>& work) {
  // The promise goes with the work: destroyed unrun, it is broken, and the
  // wait ends all the same.
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> finished = done->get_future();
  post([&work, done = std::move(done)] {
    work();
    done->set_value();
  });
  finished.wait();
}

}  // namespace host
