// The program prints and waits for keys while the host, on its own thread,
// opens documents, chooses menu items, sets the pasteboard, resizes a window
// and types, 1,000 rounds: every event reaches the program once and in
// order. Under ThreadSanitizer (make test-tsan) a race in the queues, the
// waits or the hand-offs to the main thread shows here.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "GraphicWindowFixture.h"
#include "toolbox/core/MainThread.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Documents.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/KeyCodes.h"
#include "toolbox/windows/Menus.h"
#include "toolbox/windows/WindowManagement.h"

namespace {

constexpr int kRounds = 1000;
constexpr int kProgramsItem = 300;  // a tag without a built-in action
constexpr const char* kLetters = "abcdefghijklmnopqrstuvwxyz";

class EventStress : public windowtest::GraphicWindowTest {};

TEST_F(EventStress, NoEventIsLostOrDoubledWhileTheProgramPrintsAndWaits) {
  t_InitWindow(0, 24, false, 320, 160, 0, 0, windowtest::fontWithData(8, 16), true);
  const t_EventCounts start = t_EventCountsNow();
  std::string keys;
  std::string lastPaste;
  t_EventCounts seen = start;
  std::thread program([&] {
    while (keys.size() < kRounds || seen.menuEvents - start.menuEvents < kRounds ||
           seen.fileEvents - start.fileEvents < kRounds) {
      t_Print(0, "Zeile " + std::to_string(keys.size()));
      t_Cr(0);
      lastPaste = onMainThread([] { return host::current().pasteboardText(); });
      const std::optional<std::string> key = t_KeyWaitOrEvent(0, seen);
      if (key) keys += *key;
      seen = t_EventCountsNow();
    }
  });
  std::string typed;
  for (int round = 0; round < kRounds; ++round) {
    // Each round is one turn of the host's main thread: the screenless host
    // runs the program's hand-offs under the same lock.
    desktop.runOnMainAndWait([&] {
      int error = 0;
      Document().readFromURL("/tmp/Stand-" + std::to_string(round) + ".velmorat", "velmorat",
                             &error);
      t_MenuEventHandler(MenuSender{true, "Ablage", "", "", 0, kProgramsItem});
      desktop.setPasteboardText("Text " + std::to_string(round));
      desktop.setFrame(&desktop.window(0), {10, 10, 320.0 + round % 7, 160});
      t_WindowDidResize();
      const std::string letter(1, kLetters[round % 26]);
      viewKeyDown(0, keycode::kOther, letter, 0);
      viewKeyUp(0);
      typed += letter;
    });
  }
  program.join();
  EXPECT_EQ(keys, typed);
  const std::vector<t_Event> files = FileEventQueueCopy();
  ASSERT_EQ(files.size(), static_cast<std::size_t>(start.fileEvents + kRounds));
  for (int round = 0; round < kRounds; ++round) {
    EXPECT_EQ(files[start.fileEvents + round].Description,
              "/tmp/Stand-" + std::to_string(round) + ".velmorat");
  }
  EXPECT_EQ(t_MenuEventCount(), start.menuEvents + kRounds);
  EXPECT_EQ(lastPaste.substr(0, 5), "Text ");
}

}  // namespace
