// The lines a player entered at one prompt, for recalling them with the keys
// that the line editor leaves unused (the game uses Ctrl-P and Ctrl-N). Like a
// shell's history: the newest line first, a line repeated right after itself
// is kept once, and stepping past the newest line gives back the draft that
// was being typed when the recall began.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

class InputHistory {
 public:
  explicit InputHistory(std::size_t capacity) : capacity_(capacity) {}

  // Keeps an entered line (not an empty one) and ends any recall.
  void add(const std::string& line);
  // One line older than the one shown; draft is the field's text now, kept
  // when the recall begins. Nothing when there is no older line.
  std::optional<std::string> previous(const std::string& draft);
  // One line newer; past the newest, the draft. Nothing when no recall runs.
  std::optional<std::string> next();
  std::size_t size() const { return lines_.size(); }

 private:
  std::size_t capacity_;
  std::deque<std::string> lines_;  // oldest first
  std::size_t shown_ = 0;          // lines_.size() while no line is recalled
  std::string draft_;
};
