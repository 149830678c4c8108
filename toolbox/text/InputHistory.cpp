#include "toolbox/text/InputHistory.h"

void InputHistory::add(const std::string& line) {
  if (!line.empty() && (lines_.empty() || lines_.back() != line)) {
    lines_.push_back(line);
    if (lines_.size() > capacity_) lines_.pop_front();
  }
  shown_ = lines_.size();
  draft_.clear();
}

std::optional<std::string> InputHistory::previous(const std::string& draft) {
  if (shown_ == 0) return std::nullopt;
  if (shown_ == lines_.size()) draft_ = draft;
  return lines_[--shown_];
}

std::optional<std::string> InputHistory::next() {
  if (shown_ >= lines_.size()) return std::nullopt;
  ++shown_;
  return shown_ == lines_.size() ? draft_ : lines_[shown_];
}
