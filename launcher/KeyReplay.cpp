#include "launcher/KeyReplay.h"

#include "toolbox/windows/Events.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/ProgramThread.h"

namespace {
// Time the program gets to take a chosen menu item before the wait it left
// alone gets the next key; it answers within milliseconds.
constexpr std::chrono::milliseconds kMenuAnswerTime{200};
}  // namespace

KeyReplay::KeyReplay(KeyScript script, KeyReplayHooks hooks)
    : hooks_(std::move(hooks)), keys_(std::move(script.keys)), lines_(std::move(script.lines)) {}

int KeyReplay::firstUnusedLine() const {
  for (std::size_t index = next_; index < keys_.size(); ++index) {
    if (keys_[index].kind != ScriptKeyKind::Return)
      return index < lines_.size() ? lines_[index] : 0;
  }
  return 0;
}

bool KeyReplay::answerKeyWait(bool poll) {
  static const ScriptKey kReturn{ScriptKeyKind::Return, 0};
  if (next_ >= keys_.size()) return false;
  if (poll) {
    // "Weiter...": the file's own Return (a blank line) or one of ours.
    if (keys_[next_].kind == ScriptKeyKind::Return) ++next_;
    hooks_.typeKey(kReturn);
    return true;
  }
  const std::size_t answer = next_++;
  hooks_.typeKey(keys_[answer]);
  // "nimm lampe" at "noch einmal spielen?" would answer with its "n" and type
  // the rest into the next wait.
  if (keys_[answer].kind == ScriptKeyKind::Character && next_ < keys_.size() &&
      keys_[next_].kind == ScriptKeyKind::Character && answer < lines_.size()) {
    misfits_.push_back("line " + std::to_string(lines_[answer]) +
                       ": more than one key typed where the program waited for one key");
  }
  return true;
}

void KeyReplay::programChanged() {
  if (finished_) return;
  if (ProgramThreadsRunning == 0) {
    finish();
    return;
  }
  const InputWaitState wait = currentInputWait();
  if (wait.kind == InputWaitKind::None || KeyAvailable || wait.serial == servedWait_) return;
  servedWait_ = wait.serial;
  // A menu choice at a key wait is made below, as at a line input.
  const bool menuNext = next_ < keys_.size() && keys_[next_].kind == ScriptKeyKind::Menu;
  if ((wait.kind == InputWaitKind::Poll || wait.kind == InputWaitKind::Key) && !menuNext) {
    if (!answerKeyWait(wait.kind == InputWaitKind::Poll)) finish();
    return;
  }
  while (next_ < keys_.size()) {
    const ScriptKey& key = keys_[next_++];
    if (key.kind == ScriptKeyKind::Menu) {
      hooks_.chooseMenuItem(static_cast<int>(key.character));
      // The program answers a menu choice in a wait of its own. A wait that
      // leaves menu items for later (a plain key wait) gets the next key
      // once it has clearly stayed.
      hooks_.runAfter(kMenuAnswerTime, [this, wait] {
        if (currentInputWait().serial != wait.serial) return;
        servedWait_ = 0;
        programChanged();
      });
      return;
    }
    hooks_.typeKey(key);
    // A key that queues nothing (a character outside Latin-1, a keypad
    // redirect) leaves the program in the same wait: the next key serves it.
    const InputWaitState after = currentInputWait();
    if (KeyAvailable || after.serial != wait.serial || after.kind == InputWaitKind::None) return;
  }
  finish();
}

void KeyReplay::finish() {
  finished_ = true;
  if (hooks_.finished) hooks_.finished();
}
