#include "toolbox/windows/KeyTranslation.h"

#include <array>

#include "toolbox/windows/Events.h"
#include "toolbox/windows/KeyCodes.h"

namespace keys {

namespace {

constexpr char32_t kLastLatin1 = 0xFF;

// Keys that the Option layer of a German keyboard turns into characters
// outside Latin-1; the program keeps them in its own upper half.
struct OptionCharacter {
  int keyCode;
  char32_t character;
  int value;
};

constexpr std::array<OptionCharacter, 28> kOptionCharacters = {{
    {keycode::kA, 0x00E5, 0xB0},         {keycode::kS, 0x201A, 0xA8},
    {keycode::kD, 0x2202, 0xAD},         {keycode::kF, 0x0192, 0x82},
    {keycode::kH, 0x00AA, 0x83},         {keycode::kX, 0x2248, 0x84},
    {keycode::kV, 0x221A, 0xFD},         {keycode::kB, 0x222B, 0xDE},
    {keycode::kW, 0x2211, 0xDD},         {keycode::kE, 0x20AC, 0xA4},
    {keycode::kY, 0x03A9, 0x80},         {keycode::kT, 0x2020, 0xBD},
    {keycode::k2, 0x201C, 0xA3},         {keycode::kMinus, 0x00BF, 0xA6},
    {keycode::k0, 0x2260, 0xAC},         {keycode::kLeftBracket, 0x2022, 0xB8},
    {keycode::kI, 0x2044, 0x81},         {keycode::kP, 0x03C0, 0xF0},
    {keycode::kP, 0x220F, 0xD0},         {keycode::kJ, 0x00BA, 0xB7},
    {keycode::kK, 0x2206, 0xFE},         {keycode::kSemicolon, 0x0153, 0xBE},
    {keycode::kBackslash, 0x2018, 0xB4}, {keycode::kComma, 0x221E, 0xFF},
    {keycode::kSlash, 0x2013, 0x9A},     {keycode::kPeriod, 0x2026, 0xBF},
    {keycode::kGrave, 0x2264, 0xC5},     {keycode::kGrave, 0x2265, 0xC6},
}};

// Keys that always give the same code, whatever they print.
struct FixedKey {
  int keyCode;
  int value;
  bool cursorKey;
};

constexpr std::array<FixedKey, 12> kFixedKeys = {{
    {keycode::kDelete, 0x7F, false},
    {keycode::kKeypadClear, 0x1B, false},
    {keycode::kKeypadEnter, 0x0D, false},
    {keycode::kHome, 0x02, true},
    {keycode::kPageUp, 0x12, true},
    {keycode::kForwardDelete, 0x07, false},
    {keycode::kEnd, 0x05, true},
    {keycode::kPageDown, 0x03, true},
    {keycode::kLeftArrow, 0x08, true},
    {keycode::kRightArrow, 0x15, true},
    {keycode::kDownArrow, 0x0A, true},
    {keycode::kUpArrow, 0x0B, true},
}};

// Keypad 0..6 with Option.
constexpr std::array<int, 7> kOptionKeypad = {0xD8, 0xB9, 0xB2, 0xB3, 0xAA, 0xD7, 0xBA};

// Keypad 7, 8, 9: with Control (no Option) the output redirection, with Option
// a character that then goes by the general rule.
struct KeypadSwitch {
  int keyCode;
  int redirectMode;
  char32_t optionCharacter;
};

constexpr std::array<KeypadSwitch, 3> kKeypadSwitches = {{
    {keycode::kKeypad7, 0, 0x00E5},
    {keycode::kKeypad8, 2, 0x00E6},
    {keycode::kKeypad9, 1, 0x00BC},
}};

Translation character(int value) {
  return Translation{value, false, false, std::nullopt};
}

Translation generalRule(char32_t c) {
  if (c <= kLastLatin1) return character(static_cast<int>(c));
  if (c >= keycode::kFunctionKeyCharacterBase) {
    const auto value =
        static_cast<long long>(c - keycode::kFunctionKeyCharacterBase) + kFirstFunctionKeyValue;
    // Beyond the 8-bit character set there is no code to give; such a
    // character (an emoji, say) is dropped like other non-Latin-1 characters.
    if (value <= kLastFunctionKeyValue) {
      return Translation{static_cast<int>(value), false, true, std::nullopt};
    }
  }
  return Translation{};
}

// The key table: a result when keyCode is in it and its condition holds.
std::optional<Translation> tableRule(int keyCode, char32_t c, bool dead, std::uint32_t flags) {
  const bool option = (flags & kModifierOption) != 0;
  const bool control = (flags & kModifierControl) != 0;
  for (const OptionCharacter& row : kOptionCharacters) {
    if (row.keyCode == keyCode && row.character == c) return character(row.value);
  }
  for (const FixedKey& row : kFixedKeys) {
    if (row.keyCode == keyCode) return Translation{row.value, row.cursorKey, false, std::nullopt};
  }
  for (const KeypadSwitch& row : kKeypadSwitches) {
    if (row.keyCode != keyCode) continue;
    if (control && !option) return Translation{std::nullopt, false, false, row.redirectMode};
    if (option) return generalRule(row.optionCharacter);
    return std::nullopt;
  }
  switch (keyCode) {
    case keycode::kSection:
      if (dead) return character(0x5E);
      break;
    case keycode::kEquals:
      if (dead) return character((flags & kModifierShift) ? 0x60 : 0xB4);
      break;
    case keycode::kU:
      if (dead) return character(0xAF);
      break;
    case keycode::kN:
      if (dead && option) return character(0x7E);
      break;
    case keycode::kL:
      if (c == 0x0C && option) return character(0x00);
      break;
    case keycode::kTab:
      if (c == 0x19) return character(0x14);
      break;
    default:
      if (keyCode >= keycode::kKeypad0 && keyCode <= keycode::kKeypad6 && option) {
        return character(kOptionKeypad[keyCode - keycode::kKeypad0]);
      }
      break;
  }
  return std::nullopt;
}

}  // namespace

Translation translateKey(int keyCode, char32_t c, bool deadKey, std::uint32_t modifierFlags) {
  if (std::optional<Translation> fromTable = tableRule(keyCode, c, deadKey, modifierFlags)) {
    return *fromTable;
  }
  return generalRule(c);
}

t_Event eventWithModifiers(std::uint32_t modifierFlags) {
  t_Event event;
  event.Mods = static_cast<int>((modifierFlags >> 16) & 0xFFFF);
  event.CapsLockPressed = (event.Mods & 0x01) != 0;
  event.ShiftPressed = (event.Mods & 0x02) != 0;
  event.ControlPressed = (event.Mods & 0x04) != 0;
  event.OptionPressed = (event.Mods & 0x08) != 0;
  event.CommandPressed = (event.Mods & 0x10) != 0;
  event.NumericPadPressed = (event.Mods & 0x20) != 0;
  event.HelpPressed = (event.Mods & 0x40) != 0;
  event.FnPressed = (event.Mods & 0x80) != 0;
  return event;
}

t_Event keyEvent(std::uint8_t window, int keyCode, const std::string& characters, int value,
                 std::uint32_t modifierFlags, std::int64_t time, bool cursorKey, bool functionKey) {
  t_Event event = eventWithModifiers(modifierFlags);
  event.Kind = kKeyEventKind;
  event.Index = keyCode;
  event.Description = characters;
  event.Value = value;
  event.Window = window;
  event.Time = time;
  event.CursorKeyPressed = cursorKey;
  event.FunctionKeyPressed = functionKey;
  return event;
}

}  // namespace keys
