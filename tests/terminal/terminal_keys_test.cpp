#include <gtest/gtest.h>

#include "host/terminal/Clipboard.h"
#include "host/terminal/ToolboxKeys.h"
#include "support/Utf8.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/KeyCodes.h"
#include "toolbox/windows/KeyTranslation.h"

namespace terminal {
namespace {

// What the toolbox's key translation makes of a terminal key: the Value of
// the key event, or -1 for none.
int valueOf(const std::string& bytes) {
  InputDecoder decoder;
  std::vector<InputEvent> keys;
  decoder.feed(bytes, keys);
  decoder.flushPending(keys);
  if (keys.size() != 1) return -2;
  const std::optional<ToolboxKeyPress> press = toolboxKeyOf(keys[0]);
  if (!press) return -3;
  const std::u32string characters = utf8ToScalars(press->characters);
  const keys::Translation translation = keys::translateKey(
      press->code, characters.empty() ? 0 : characters[0], characters.empty(), press->flags);
  return translation.value.value_or(-1);
}

TEST(TerminalKeys, CharactersGoByThemselves) {
  EXPECT_EQ(valueOf("a"), 'a');
  EXPECT_EQ(valueOf("\xC3\xA4"), 0xE4);  // ä
  EXPECT_EQ(valueOf("\xC3\x9F"), 0xDF);  // ß
  EXPECT_EQ(valueOf("\xC3\x96"), 0xD6);  // Ö
  // å typed as a character of its own is å, not the key table's Option-A.
  EXPECT_EQ(valueOf("\xC3\xA5"), 0xE5);
  // Beyond Latin-1 no key event.
  EXPECT_EQ(valueOf("\xE3\x81\x82"), -1);
}

TEST(TerminalKeys, CursorAndEditingKeysAsOnTheDesktop) {
  EXPECT_EQ(valueOf("\x1b[D"), 8);
  EXPECT_EQ(valueOf("\x1b[C"), 0x15);
  EXPECT_EQ(valueOf("\x1b[A"), 0x0B);
  EXPECT_EQ(valueOf("\x1b[B"), 0x0A);
  EXPECT_EQ(valueOf("\x1b[H"), 0x02);
  EXPECT_EQ(valueOf("\x1b[F"), 0x05);
  EXPECT_EQ(valueOf("\x1b[5~"), 0x12);
  EXPECT_EQ(valueOf("\x1b[6~"), 0x03);
  EXPECT_EQ(valueOf("\x1b[3~"), 0x07);  // forward delete
  EXPECT_EQ(valueOf("\x7f"), 0x7F);     // backspace
  EXPECT_EQ(valueOf("\r"), 0x0D);
  EXPECT_EQ(valueOf("\x1b"), 0x1B);
  EXPECT_EQ(valueOf("\t"), 0x09);
  EXPECT_EQ(valueOf("\x1b[Z"), 0x14);  // Shift-Tab
  EXPECT_EQ(valueOf("\x16"), 0x16);    // Ctrl-V pastes in the line editor
}

TEST(TerminalKeys, FunctionKeysBeyondTheHostsOwn) {
  EXPECT_EQ(valueOf("\x1b[23~"), 129 + 10);  // F11
  EXPECT_EQ(valueOf("\x1b[24~"), 129 + 11);  // F12
}

TEST(TerminalKeys, ModifiersBecomeTheToolboxFlags) {
  InputEvent key;
  key.kind = InputKind::Named;
  key.key = NamedKey::Left;
  key.shift = true;
  key.control = true;
  const std::optional<ToolboxKeyPress> press = toolboxKeyOf(key);
  ASSERT_TRUE(press);
  EXPECT_EQ(press->code, keycode::kLeftArrow);
  EXPECT_EQ(press->flags, kModifierShift | kModifierControl);
  InputEvent paste;
  paste.kind = InputKind::Paste;
  EXPECT_FALSE(toolboxKeyOf(paste));
}

TEST(Clipboard, Osc52CarriesTheTextInBase64) {
  EXPECT_EQ(base64(""), "");
  EXPECT_EQ(base64("f"), "Zg==");
  EXPECT_EQ(base64("fo"), "Zm8=");
  EXPECT_EQ(base64("foo"), "Zm9v");
  EXPECT_EQ(base64("\xFF\xFE"), "//4=");  // high bytes, the last alphabet letters
  EXPECT_EQ(clipboardSequence("T\xC3\xBCr"), "\x1b]52;c;VMO8cg==\a");
}

TEST(Clipboard, LongTextIsCutAtACharacterBoundary) {
  // ü is two bytes; the limit falls between them.
  std::string text(kLongestClipboardBytes - 1, 'a');
  text += "\xC3\xBC";
  const std::string sequence = clipboardSequence(text);
  EXPECT_EQ(sequence, "\x1b]52;c;" + base64(std::string(kLongestClipboardBytes - 1, 'a')) + "\a");
}

}  // namespace
}  // namespace terminal
