// The terminal host's plain mode (TerminalOptions::plain): its redraw writes
// lines (PlainTranscript) and the function keys' actions are typed as words.
#include <algorithm>

#include "host/terminal/TerminalHost.h"
#include "support/Utf8.h"

namespace terminal {

void TerminalHost::redrawPlain() {
  textMarked_ = false;
  dirty_ = false;
  std::string out;
  if (modal_ != nullptr) {
    out = plain_.showDialog(modal_->view());
  } else if (shownWindow_ >= 0) {
    out = plain_.showDialog(fixedWindowView());
  } else {
    out = plain_.closeDialog();
    followed_ = follower_.follow();
    out += plain_.follow(followed_);
    if (pictureOnDemand_) {
      // F8 shows the picture: here, its words once more.
      pictureOnDemand_ = false;
      out += plain_.repeatCaption();
    }
  }
  device_.writeRaw(out);
}

bool TerminalHost::runTypedAction(const InputEvent& key) {
  const bool isReturn = key.kind == InputKind::Named &&
                        (key.key == NamedKey::Return || key.key == NamedKey::KeypadEnter);
  if (!isReturn || modal_ != nullptr || shownWindow_ >= 0 || !followed_.lineInput) return false;
  const std::u32string pending = utf8ToScalars(followed_.pendingUtf8);
  const std::size_t from = std::min(pending.size(), static_cast<std::size_t>(followed_.typedFrom));
  const std::optional<int> functionKey = functionKeyOfWord(scalarsToUtf8(pending.substr(from)));
  if (!functionKey) return false;
  // Escape empties the line, so the game asks again instead of reading the word.
  InputEvent escape;
  escape.kind = InputKind::Named;
  escape.key = NamedKey::Escape;
  typeKey(escape);
  for (const TerminalAction& action : terminalActions()) {
    if (action.functionKey == *functionKey) {
      performAction(action);
      break;
    }
  }
  return true;
}

}  // namespace terminal
