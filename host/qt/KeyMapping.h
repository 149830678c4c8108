// Qt's key events in the toolbox's terms: the hardware key code of the key
// table (US positions), the characters the key produced, and the modifier
// flags. The toolbox's key translation does the rest.
#pragma once

#include <QString>
#include <Qt>
#include <cstdint>
#include <string>

struct ToolboxKey {
  int code = -1;            // keycode::kOther when the table has no code for the key
  std::string characters;   // UTF-8; empty for a dead key
  std::uint32_t flags = 0;  // kModifier* bits
  // A key without characters that is no dead key (compose, media keys): the
  // view passes it on instead of queueing a key.
  bool typesNothing = false;
};

std::uint32_t toolboxModifierFlags(Qt::KeyboardModifiers modifiers);
// Shift, Control, Alt, AltGr, Meta, Super, Caps Lock: they change the modifier
// state and type nothing.
bool isModifierKey(int qtKey);
// The modifier flags after a modifier key went down (pressed) or up.
std::uint32_t modifierFlagsAfter(int qtKey, bool pressed, Qt::KeyboardModifiers modifiers);
ToolboxKey toolboxKeyOf(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);
