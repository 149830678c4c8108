#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "toolbox/windows/Events.h"
#include "toolbox/windows/InputWait.h"

namespace {

constexpr auto kTestTimeout = std::chrono::seconds(30);

bool keyQueued() {
  return KeyAvailable.load();
}

class InputWait : public ::testing::Test {
 protected:
  void SetUp() override { KeyEventQueue.clear(); }
  void TearDown() override {
    setInputWaitListener({});
    KeyEventQueue.clear();
  }
};

InputWaitState awaitAny() {
  return awaitInputWait([] { return false; }, kTestTimeout);
}

}  // namespace

TEST_F(InputWait, AQueuedKeyEndsTheWait) {
  auto waiter =
      std::async(std::launch::async, [] { waitForInput(InputWaitKind::Poll, keyQueued); });
  EXPECT_EQ(awaitAny().kind, InputWaitKind::Poll);
  t_KeyPostText("k");
  ASSERT_EQ(waiter.wait_for(kTestTimeout), std::future_status::ready);
  EXPECT_EQ(currentInputWait().kind, InputWaitKind::None);
}

TEST_F(InputWait, AReadyConditionPublishesNoWait) {
  t_KeyPostText("k");
  const std::uint64_t before = currentInputWait().serial;
  waitForInput(InputWaitKind::Key, keyQueued);
  EXPECT_EQ(currentInputWait().serial, before);
}

TEST_F(InputWait, LineInputScopeNamesTheWaitsInsideIt) {
  EXPECT_EQ(keyWaitKind(), InputWaitKind::Key);
  {
    const LineInputScope outer;
    {
      const LineInputScope inner;
      EXPECT_EQ(keyWaitKind(), InputWaitKind::Line);
    }
    EXPECT_EQ(keyWaitKind(), InputWaitKind::Line);  // the inner scope restores, not clears
  }
  EXPECT_EQ(keyWaitKind(), InputWaitKind::Key);
  // The scope belongs to its thread: another thread's waits stay key waits.
  const LineInputScope editing;
  EXPECT_EQ(std::async(std::launch::async, keyWaitKind).get(), InputWaitKind::Key);
}

// An observer must not take a wait whose key is already queued for an idle
// one: scripted play would type twice into one wait.
TEST_F(InputWait, ObserversSeeNoIdleWaitWhileAKeyIsQueued) {
  std::atomic<bool> release{false};
  auto waiter = std::async(std::launch::async, [&] {
    waitForInput(InputWaitKind::Key, [&] { return release.load(); });
  });
  EXPECT_EQ(awaitAny().kind, InputWaitKind::Key);
  t_KeyPostText("k");  // the condition ignores keys, so the wait stays
  EXPECT_EQ(awaitInputWait([] { return false; }, std::chrono::milliseconds(20)).kind,
            InputWaitKind::None);
  KeyEventQueue.clear();
  release = true;
  notifyInputEvent();
  ASSERT_EQ(waiter.wait_for(kTestTimeout), std::future_status::ready);
}

// An observer that hands the program a menu choice waits for the wait that
// follows the answer, not for the one the choice ends.
TEST_F(InputWait, AnObserverCanAskForAWaitNewerThanTheOneItSaw) {
  std::atomic<int> answered{0};
  auto waiter = std::async(std::launch::async, [&] {
    waitForInput(InputWaitKind::Key, [&] { return answered.load() > 0; });
    waitForInput(InputWaitKind::Line, [&] { return answered.load() > 1; });
  });
  const InputWaitState first = awaitAny();
  EXPECT_EQ(first.kind, InputWaitKind::Key);
  EXPECT_EQ(awaitInputWait([] { return false; }, std::chrono::milliseconds(20), first.serial).kind,
            InputWaitKind::None);
  answered = 1;
  notifyInputEvent();
  const InputWaitState next = awaitInputWait([] { return false; }, kTestTimeout, first.serial);
  EXPECT_EQ(next.kind, InputWaitKind::Line);
  EXPECT_EQ(next.serial, first.serial + 1);
  answered = 2;
  notifyInputEvent();
  ASSERT_EQ(waiter.wait_for(kTestTimeout), std::future_status::ready);
}

TEST_F(InputWait, FinishingEndsAnObserversWaitAndTheListenerHearsOfIt) {
  std::atomic<bool> finished{false};
  std::mutex heardLock;
  std::vector<InputWaitKind> heard;
  setInputWaitListener([&](InputWaitState state) {
    std::lock_guard guard(heardLock);
    heard.push_back(state.kind);
  });
  auto observer = std::async(std::launch::async, [&] {
    return awaitInputWait([&] { return finished.load(); }, kTestTimeout).kind;
  });
  finished = true;
  notifyInputObservers();
  ASSERT_EQ(observer.wait_for(kTestTimeout), std::future_status::ready);
  EXPECT_EQ(observer.get(), InputWaitKind::None);

  // One notice per wait, with the wait's own kind, as it begins.
  auto waiter =
      std::async(std::launch::async, [] { waitForInput(InputWaitKind::Pause, keyQueued); });
  EXPECT_EQ(awaitAny().kind, InputWaitKind::Pause);
  t_KeyPostText("k");
  waiter.get();
  std::lock_guard guard(heardLock);
  EXPECT_EQ(heard, (std::vector{InputWaitKind::None, InputWaitKind::Pause}));
}

// Whoever removes the listener may destroy what it uses right afterwards
// (scripted play does): removing it must wait for a call already under way.
TEST_F(InputWait, RemovingTheListenerWaitsForACallUnderWay) {
  std::promise<void> entered;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> returned{false};
  setInputWaitListener([&entered, released, &returned](InputWaitState) {
    entered.set_value();
    released.wait();
    returned = true;
  });
  auto notifier = std::async(std::launch::async, [] { notifyInputObservers(); });
  entered.get_future().wait();
  auto remover = std::async(std::launch::async, [] { setInputWaitListener({}); });
  // the remover waits for the listener; nothing else ends its wait
  EXPECT_EQ(remover.wait_for(std::chrono::milliseconds(20)), std::future_status::timeout);
  release.set_value();
  remover.get();
  EXPECT_TRUE(returned.load());
  notifier.get();
}
