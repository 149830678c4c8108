#include "host/terminal/Dialogs.h"

#include <algorithm>
#include <utility>

#include "support/Utf8.h"

namespace terminal {
namespace {

constexpr std::size_t kLongestPromptAnswer = 4096;

bool isNamed(const InputEvent& key, NamedKey name) {
  return key.kind == InputKind::Named && key.key == name;
}

char32_t upperAscii(char32_t character) {
  return character >= U'a' && character <= U'z' ? character - U'a' + U'A' : character;
}

}  // namespace

QuestionDialog::QuestionDialog(std::string title, std::string question, bool defaultYes)
    : title_(std::move(title)), question_(std::move(question)), answer_(defaultYes) {}

void QuestionDialog::handle(const InputEvent& key) {
  if (isNamed(key, NamedKey::Return) || isNamed(key, NamedKey::KeypadEnter)) {
    finish();
  } else if (isNamed(key, NamedKey::Escape)) {
    answer_ = false;
    finish();
  } else if (key.kind == InputKind::Character) {
    const char32_t letter = upperAscii(key.character);
    if (letter == U'J' || letter == U'Y') {
      answer_ = true;
      finish();
    } else if (letter == U'N' || (key.control && key.character == 3)) {
      answer_ = false;  // a second Ctrl-C means: no, go on
      finish();
    }
  }
}

DialogView QuestionDialog::view() const {
  DialogView view;
  view.title = title_;
  view.lines = {question_, "",
                answer_ ? "[J]a / Nein  (Return: Ja)" : "Ja / [N]ein  (Return: Nein)"};
  return view;
}

MessageDialog::MessageDialog(std::string title, std::vector<std::string> lines)
    : title_(std::move(title)), lines_(std::move(lines)) {}

void MessageDialog::handle(const InputEvent& key) {
  if (key.kind != InputKind::DeviceAttributes) finish();
}

DialogView MessageDialog::view() const {
  DialogView view;
  view.title = title_;
  view.lines = lines_;
  return view;
}

MenuDialog::MenuDialog(std::string title, std::vector<Entry> entries)
    : title_(std::move(title)), entries_(std::move(entries)) {}

void MenuDialog::handle(const InputEvent& key) {
  const int count = static_cast<int>(entries_.size());
  if (isNamed(key, NamedKey::Escape)) {
    finish();
  } else if (isNamed(key, NamedKey::Up) && count > 0) {
    highlighted_ = (highlighted_ + count - 1) % count;
  } else if ((isNamed(key, NamedKey::Down) || isNamed(key, NamedKey::Tab)) && count > 0) {
    highlighted_ = (highlighted_ + 1) % count;
  } else if ((isNamed(key, NamedKey::Return) || isNamed(key, NamedKey::KeypadEnter)) && count > 0) {
    chosen_ = highlighted_;
    finish();
  } else if (key.kind == InputKind::Function) {
    for (int index = 0; index < count; ++index) {
      if (entries_[static_cast<std::size_t>(index)].functionKey == key.functionNumber) {
        chosen_ = index;
        finish();
      }
    }
  }
}

DialogView MenuDialog::view() const {
  DialogView view;
  view.title = title_;
  for (const Entry& entry : entries_) {
    std::string label = entry.functionKey > 0 ? "F" + std::to_string(entry.functionKey) : "";
    label.resize(5, ' ');
    view.lines.push_back(label + entry.title);
  }
  view.highlighted = highlighted_;
  return view;
}

PromptDialog::PromptDialog(std::string title, std::vector<std::string> lines,
                           std::string initialUtf8)
    : title_(std::move(title)), lines_(std::move(lines)), text_(utf8ToScalars(initialUtf8)) {
  cursor_ = static_cast<int>(text_.size());
}

void PromptDialog::handle(const InputEvent& key) {
  constexpr char32_t kCtrlA = 1, kCtrlC = 3, kCtrlE = 5, kCtrlK = 11, kCtrlU = 21;
  const int length = static_cast<int>(text_.size());
  const bool proposed = std::exchange(proposed_, false);
  if (key.kind == InputKind::Character && key.character < 0x20) {
    switch (key.character) {
      case kCtrlA:
        cursor_ = 0;
        break;
      case kCtrlE:
        cursor_ = length;
        break;
      case kCtrlK:
        text_.erase(static_cast<std::size_t>(cursor_));
        break;
      case kCtrlU:
        text_.erase(0, static_cast<std::size_t>(cursor_));
        cursor_ = 0;
        break;
      case kCtrlC:
        finish();  // Ctrl-C cancels
        break;
      default:
        break;
    }
    return;
  }
  if (key.kind == InputKind::Named) {
    switch (key.key) {
      case NamedKey::Return:
      case NamedKey::KeypadEnter:
        accepted_ = true;
        finish();
        break;
      case NamedKey::Escape:
        finish();
        break;
      case NamedKey::Left:
        cursor_ = std::max(cursor_ - 1, 0);
        break;
      case NamedKey::Right:
        cursor_ = std::min(cursor_ + 1, length);
        break;
      case NamedKey::Home:
        cursor_ = 0;
        break;
      case NamedKey::End:
        cursor_ = length;
        break;
      case NamedKey::Backspace:
        if (cursor_ > 0) text_.erase(static_cast<std::size_t>(--cursor_), 1);
        break;
      case NamedKey::Delete:
        if (cursor_ < length) text_.erase(static_cast<std::size_t>(cursor_), 1);
        break;
      default:
        break;
    }
    return;
  }
  std::u32string typed;
  if (key.kind == InputKind::Character && !key.control) {
    typed.push_back(key.character);
  } else if (key.kind == InputKind::Paste) {
    for (char32_t character : utf8ToScalars(key.text)) {
      if (character == U'\n' || character == U'\r') break;
      if (character >= 0x20) typed.push_back(character);
    }
  }
  if (proposed && !typed.empty()) {
    text_.clear();
    cursor_ = 0;
  }
  typed.resize(std::min(typed.size(), kLongestPromptAnswer - text_.size()));
  text_.insert(static_cast<std::size_t>(cursor_), typed);
  cursor_ += static_cast<int>(typed.size());
}

DialogView PromptDialog::view() const {
  DialogView view;
  view.title = title_;
  view.lines = lines_;
  view.lines.push_back("Return: bestätigen   Esc: abbrechen");
  view.hasInput = true;
  view.input = text_;
  view.inputCursor = cursor_;
  return view;
}

std::string PromptDialog::answer() const {
  return accepted_ ? scalarsToUtf8(text_) : std::string();
}

}  // namespace terminal
