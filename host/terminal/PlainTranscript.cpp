#include "host/terminal/PlainTranscript.h"

#include <array>
#include <utility>

#include "support/Utf8.h"

namespace terminal {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kEraseCharacter = "\b \b";
constexpr char kBackspace = '\b';

struct ActionWord {
  std::string_view word;
  int functionKey;
};
// Lower case; the forms with ae, oe, ue as well, as the game takes them.
constexpr std::array<ActionWord, 12> kActionWords = {{
    {"tasten", 1},
    {"sichern", 2},
    {"laden", 3},
    {"zur\u00FCcknehmen", 4},
    {"zuruecknehmen", 4},
    {"letzter stand", 5},
    {"protokoll", 6},
    {"verlauf", 7},
    {"bild", 8},
    {"men\u00FC", 9},
    {"menue", 9},
    {"beenden", 10},
}};

char32_t lowered(char32_t c) {
  if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  return c;
}

}  // namespace

std::string PlainTranscript::editPendingTo(const std::u32string& target, int caret) {
  // Back to the end of what is shown, then take back what differs.
  std::string out =
      scalarsToUtf8(std::u32string_view(shown_).substr(static_cast<std::size_t>(cursor_)));
  std::size_t common = 0;
  while (common < shown_.size() && common < target.size() && shown_[common] == target[common])
    ++common;
  for (std::size_t i = common; i < shown_.size(); ++i) out += kEraseCharacter;
  out += scalarsToUtf8(std::u32string_view(target).substr(common));
  shown_ = target;
  cursor_ = static_cast<int>(shown_.size());
  if (caret >= 0 && caret < cursor_) {
    out.append(static_cast<std::size_t>(cursor_ - caret), kBackspace);
    cursor_ = caret;
  }
  return out;
}

std::string PlainTranscript::finishLine(const std::u32string& line) {
  std::string out = editPendingTo(line, -1);
  out += kLineEnd;
  shown_.clear();
  cursor_ = 0;
  return out;
}

// A line of its own while something else stands unfinished: the unfinished
// line stays as it is and is written anew below.
std::string PlainTranscript::leavePending() {
  if (shown_.empty()) return {};
  std::string out =
      scalarsToUtf8(std::u32string_view(shown_).substr(static_cast<std::size_t>(cursor_)));
  out += kLineEnd;
  shown_.clear();
  cursor_ = 0;
  return out;
}

std::string PlainTranscript::follow(const FollowedText& followed) {
  std::string out;
  // What stood on the pending line at the last wait ends with the first new
  // line (the typed command, an answered question), or was cleared away.
  std::size_t next = 0;
  if (!shown_.empty() && !followed.lines.empty()) {
    out += finishLine(utf8ToScalars(followed.lines.front().textUtf8));
    next = 1;
  } else if (!shown_.empty() && (followed.statusChanged || followed.pictureChanged)) {
    out += editPendingTo(U"", -1);
  }
  // The caption stands where the picture changed among the lines.
  bool pictureToTell = followed.pictureChanged;
  for (; next <= followed.lines.size(); ++next) {
    const bool last = next == followed.lines.size();
    if (pictureToTell && (last || followed.lines[next].number > followed.pictureAfterLine)) {
      pictureToTell = false;
      caption_ = followed.pictureUtf8;
      out += finishLine(utf8ToScalars("Bild: " + caption_));
    }
    if (!last) out += finishLine(utf8ToScalars(followed.lines[next].textUtf8));
  }
  // The place is read at a wait, after all that was printed before it.
  if (followed.statusChanged) out += finishLine(utf8ToScalars(followed.statusUtf8));
  if (followed.waiting) out += editPendingTo(utf8ToScalars(followed.pendingUtf8), followed.caret);
  return out;
}

std::string PlainTranscript::repeatCaption() {
  std::string out = leavePending();
  out += finishLine(utf8ToScalars("Bild: " + (caption_.empty() ? std::string("-") : caption_)));
  return out;
}

std::string PlainTranscript::showDialog(const DialogView& view) {
  std::string out;
  if (!dialog_ || dialog_->title != view.title || dialog_->lines != view.lines) {
    out += leavePending();
    if (!view.title.empty()) out += finishLine(utf8ToScalars(view.title));
    for (const std::string& line : view.lines) out += finishLine(utf8ToScalars(line));
  }
  dialog_ = view;
  if (view.hasInput) {
    out += editPendingTo(view.input, view.inputCursor);
  } else if (view.highlighted >= 0 && view.highlighted < static_cast<int>(view.lines.size())) {
    out += editPendingTo(
        utf8ToScalars("> " + view.lines[static_cast<std::size_t>(view.highlighted)]), -1);
  }
  return out;
}

std::string PlainTranscript::closeDialog() {
  if (!dialog_) return {};
  dialog_.reset();
  return leavePending();
}

std::optional<int> functionKeyOfWord(const std::string& typedUtf8) {
  std::u32string typed = utf8ToScalars(typedUtf8);
  while (!typed.empty() && typed.back() == U' ') typed.pop_back();
  while (!typed.empty() && typed.front() == U' ') typed.erase(typed.begin());
  for (char32_t& c : typed) c = lowered(c);
  const std::string word = scalarsToUtf8(typed);
  for (const ActionWord& action : kActionWords) {
    if (word == action.word) return action.functionKey;
  }
  return std::nullopt;
}

}  // namespace terminal
