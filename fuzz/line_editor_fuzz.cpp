// The line input editor with any key sequence: the input's bytes are the
// keys (Latin-1), the first byte chooses the input mode and the field's
// length. Keys are queued first, since Ctrl-^ and the paste take theirs from
// the queue.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzScreen.h"
#include "support/Utf8.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/LineInput.h"

namespace {
constexpr std::uint8_t kWindow = 0;
constexpr int kColumns = 40;
constexpr int kLines = 4;
constexpr int kCell = 4;
constexpr std::size_t kMaxKeys = 1024;
constexpr int kTypedCodeKey = 30;  // Ctrl-^, then up to three digits
constexpr int kPauseKey = 19;      // Ctrl-S
constexpr int kNoKey = -1;         // before the first key: the prompt's output
constexpr std::string_view kClosingKeys = "xxxx";

// Nobody types here, where a player would: a Ctrl-^ near the queue's end
// waits for its digits, and output pauses while Ctrl-S is the newest key.
// Non-digits queued then finish either.
void typeAheadBefore(int key) {
  const std::optional<t_Event> newest = KeyEventQueue.back();
  if ((newest && newest->Value == kPauseKey) ||
      (key == kTypedCodeKey && KeyEventQueue.size() < kClosingKeys.size()))
    t_KeyPostText(std::string(kClosingKeys));
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzscreen::openWindow(kWindow, 8, kColumns * kCell, kLines * kCell,
                         fuzzscreen::testFont(kCell, kCell));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > kMaxKeys) return 0;
  fuzzscreen::restoreWindows();
  const int mode = data[0] % 6;
  const int maxCharacters = data[0] / 6;
  std::u32string keys(data + 1, data + size);
  t_KeyPostText(scalarsToUtf8(keys));
  typeAheadBefore(kNoKey);
  t_InputForm(kWindow, "> ", "", true, mode, maxCharacters);
  // Every key, those that pastes posted included. A field holding Ctrl-V (typed
  // with Ctrl-^ 22) that is copied and pasted posts Ctrl-V again, without end,
  // so the keys are counted: eight for each of the input's own leaves room for
  // several pastes, and a longer input reaches more.
  const std::size_t maxHandled = 8 * (size + kClosingKeys.size());
  std::size_t handled = 0;
  for (int key = t_KeyNext(); key >= 0 && handled < maxHandled; key = t_KeyNext(), ++handled) {
    typeAheadBefore(key);
    t_InputEdit(kWindow, key);
  }
  return 0;
}
