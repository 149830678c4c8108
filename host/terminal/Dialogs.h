// The terminal host's own boxes: a yes/no question, a menu of actions, a
// message, and a one-line prompt (the terminal's open and save panels). While
// one is open it takes every key; the host runs its loop until it is done.
#pragma once

#include <string>
#include <vector>

#include "host/terminal/InputDecoder.h"
#include "host/terminal/TerminalScreen.h"

namespace terminal {

class Dialog {
 public:
  virtual ~Dialog() = default;
  virtual void handle(const InputEvent& key) = 0;
  bool finished() const { return finished_; }
  virtual DialogView view() const = 0;

 protected:
  void finish() { finished_ = true; }

 private:
  bool finished_ = false;
};

// "J" (or "Y") answers yes, "N" and Escape no; Return takes the default.
class QuestionDialog : public Dialog {
 public:
  QuestionDialog(std::string title, std::string question, bool defaultYes);
  void handle(const InputEvent& key) override;
  DialogView view() const override;
  bool answer() const { return answer_; }

 private:
  std::string title_;
  std::string question_;
  bool answer_;
};

// Any key closes it.
class MessageDialog : public Dialog {
 public:
  MessageDialog(std::string title, std::vector<std::string> lines);
  void handle(const InputEvent& key) override;
  DialogView view() const override;

 private:
  std::string title_;
  std::vector<std::string> lines_;
};

// Up and Down choose, Return takes the choice, a function key takes the
// entry labelled with it, Escape closes without a choice.
class MenuDialog : public Dialog {
 public:
  struct Entry {
    std::string title;
    int functionKey = 0;  // 0: none
  };
  MenuDialog(std::string title, std::vector<Entry> entries);
  void handle(const InputEvent& key) override;
  DialogView view() const override;
  // The chosen entry's index; -1 when closed without a choice.
  int chosen() const { return chosen_; }

 private:
  std::string title_;
  std::vector<Entry> entries_;
  int highlighted_ = 0;
  int chosen_ = -1;
};

// One line of text: typing inserts, Left/Right/Home/End (and Ctrl-A, Ctrl-E)
// move, Backspace and Delete erase, Ctrl-K and Ctrl-U erase to the end and to
// the start, Return accepts, Escape cancels (the answer is then empty). The
// proposed text is replaced by the first character typed, as a desktop's
// selected proposal is, unless a key moved or edited in it first.
class PromptDialog : public Dialog {
 public:
  PromptDialog(std::string title, std::vector<std::string> lines, std::string initialUtf8);
  void handle(const InputEvent& key) override;
  DialogView view() const override;
  bool accepted() const { return accepted_; }
  std::string answer() const;

 private:
  std::string title_;
  std::vector<std::string> lines_;
  std::u32string text_;
  int cursor_ = 0;
  bool accepted_ = false;
  bool proposed_ = true;  // text_ is the untouched proposal
};

}  // namespace terminal
