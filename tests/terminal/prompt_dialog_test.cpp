// The terminal's one-line prompt (file names for saving and loading): the
// proposal gives way to typing, and the shell's editing keys work.
#include <gtest/gtest.h>

#include "host/terminal/Dialogs.h"
#include "host/terminal/InputDecoder.h"

namespace terminal {
namespace {

std::string answerAfter(const std::string& bytes) {
  PromptDialog prompt("Spiel sichern", {}, "Velmorat.velmorat");
  InputDecoder decoder;
  std::vector<InputEvent> keys;
  decoder.feed(bytes, keys);
  decoder.flushPending(keys);
  for (const InputEvent& key : keys) prompt.handle(key);
  return prompt.answer();
}

TEST(PromptDialog, TypingReplacesTheProposalAndEditingKeysWork) {
  const std::pair<const char*, const char*> cases[] = {
      {"\r", "Velmorat.velmorat"},
      {"turm.velmorat\r", "turm.velmorat"},     // not appended to the proposal
      {"\x1b[Dx\r", "Velmorat.velmoraxt"},      // Left first: the proposal is edited
      {"\x01neu-\r", "neu-Velmorat.velmorat"},  // Ctrl-A: to the start
      {"\x01\x0bkeller\r", "keller"},           // Ctrl-K: erase to the end
      {"\x01\x05\x15"
       "a\r",
       "a"},          // Ctrl-E, Ctrl-U: erase to the start
      {"x\x1b", ""},  // Escape cancels
  };
  for (const auto& [bytes, answer] : cases) EXPECT_EQ(answerAfter(bytes), answer) << bytes;
}

}  // namespace
}  // namespace terminal
