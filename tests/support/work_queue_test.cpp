// The queue that carries other threads' work to a host's main thread, and
// the wait for work handed over that way.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "port/WorkQueue.h"

namespace {

TEST(WorkQueue, RunsInOrderAndLetsWorkQueueMore) {
  host::WorkQueue queue;
  std::string ran;
  queue.push([&] {
    ran += "a";
    queue.push([&] { ran += "c"; });  // the lock is not held while work runs
  });
  queue.push([&] { ran += "b"; });
  while (queue.runOldest()) {
  }
  EXPECT_EQ(ran, "abc");
  EXPECT_TRUE(queue.empty());
  EXPECT_FALSE(queue.runOldest());
}

TEST(WorkQueue, PostAndWaitReturnsOnceTheMainThreadRanTheWork) {
  host::WorkQueue queue;
  std::atomic<bool> stop{false};
  std::thread mainThread([&] {
    while (!stop) {
      if (!queue.runOldest()) std::this_thread::yield();
    }
  });
  int written = 0;  // no atomic: the wait itself must order it
  host::postAndWait([&](std::function<void()> work) { queue.push(std::move(work)); },
                    [&] { written = 42; });
  EXPECT_EQ(written, 42);
  stop = true;
  mainThread.join();
}

TEST(WorkQueue, WorkDroppedUnrunStillEndsTheWait) {
  bool ran = false;
  // a host going away destroys what it was handed without running it
  host::postAndWait([](std::function<void()> dropped) { dropped = nullptr; }, [&] { ran = true; });
  EXPECT_FALSE(ran);
}

}  // namespace
