#include "host/qt/KeyMapping.h"

#include <array>

#include "support/Utf8.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/KeyCodes.h"
#include "toolbox/windows/NamedKeys.h"

namespace {
// Codes of keys that the key table does not name; the table needs them only
// in the Index field of the event.
constexpr int kCodeG = 5;
constexpr int kCodeZ = 6;
constexpr int kCodeC = 8;
constexpr int kCodeQ = 12;
constexpr int kCodeR = 15;
constexpr int kCodeO = 31;
constexpr int kCodeM = 46;

constexpr std::array<int, 26> kLetterCodes = {
    keycode::kA, keycode::kB, kCodeC,      keycode::kD, keycode::kE, keycode::kF, kCodeG,
    keycode::kH, keycode::kI, keycode::kJ, keycode::kK, keycode::kL, kCodeM,      keycode::kN,
    kCodeO,      keycode::kP, kCodeQ,      kCodeR,      keycode::kS, keycode::kT, keycode::kU,
    keycode::kV, keycode::kW, keycode::kX, keycode::kY, kCodeZ};
constexpr std::array<int, 10> kDigitCodes = {keycode::k0, 18, keycode::k2, 20, 21,
                                             23,          22, 26,          28, 25};

// The characters the key table tests for, each with the key that produces it
// with Option on the layout the table was made on. On Linux these arrive with
// AltGr or from a compose sequence, from whatever key; naming the table's key
// gives them the table's codes.
struct TableCharacter {
  char32_t character;
  int code;
};
constexpr std::array<TableCharacter, 27> kTableCharacters = {{
    {U'\u00E5', keycode::kA},         {U'\u201A', keycode::kS},
    {U'\u2202', keycode::kD},         {U'\u0192', keycode::kF},
    {U'\u00AA', keycode::kH},         {U'\u2248', keycode::kX},
    {U'\u221A', keycode::kV},         {U'\u222B', keycode::kB},
    {U'\u2211', keycode::kW},         {U'\u20AC', keycode::kE},
    {U'\u03A9', keycode::kY},         {U'\u2020', keycode::kT},
    {U'\u201C', keycode::k2},         {U'\u00BF', keycode::kMinus},
    {U'\u2260', keycode::k0},         {U'\u2022', keycode::kLeftBracket},
    {U'\u2044', keycode::kI},         {U'\u03C0', keycode::kP},
    {U'\u220F', keycode::kP},         {U'\u00BA', keycode::kJ},
    {U'\u2206', keycode::kK},         {U'\u0153', keycode::kSemicolon},
    {U'\u2018', keycode::kBackslash}, {U'\u221E', keycode::kComma},
    {U'\u2013', keycode::kSlash},     {U'\u2026', keycode::kPeriod},
    {U'\u2264', keycode::kGrave},
}};
constexpr char32_t kGreaterEqual = U'\u2265';
constexpr char32_t kLastLatin1 = 0xFF;

std::string utf8Of(char32_t scalar) {
  std::string text;
  appendUtf8(text, scalar);
  return text;
}

ToolboxKey key(int code, char32_t character, std::uint32_t flags) {
  return {code, character == 0 ? std::string() : utf8Of(character), flags};
}

int keypadCode(int digit) {
  if (digit <= 6) return keycode::kKeypad0 + digit;
  if (digit == 7) return keycode::kKeypad7;
  return digit == 8 ? keycode::kKeypad8 : keycode::kKeypad9;
}

// Qt's names of the keys the toolbox knows by name.
struct QtNamedKey {
  int qtKey;
  keycode::NamedKey key;
};
constexpr std::array<QtNamedKey, 18> kQtNamedKeys = {{
    {Qt::Key_Left, keycode::NamedKey::Left},
    {Qt::Key_Right, keycode::NamedKey::Right},
    {Qt::Key_Up, keycode::NamedKey::Up},
    {Qt::Key_Down, keycode::NamedKey::Down},
    {Qt::Key_Home, keycode::NamedKey::Home},
    {Qt::Key_End, keycode::NamedKey::End},
    {Qt::Key_PageUp, keycode::NamedKey::PageUp},
    {Qt::Key_PageDown, keycode::NamedKey::PageDown},
    {Qt::Key_Delete, keycode::NamedKey::Delete},
    {Qt::Key_Backspace, keycode::NamedKey::Backspace},
    {Qt::Key_Return, keycode::NamedKey::Return},
    {Qt::Key_Enter, keycode::NamedKey::KeypadEnter},
    {Qt::Key_Escape, keycode::NamedKey::Escape},
    {Qt::Key_Tab, keycode::NamedKey::Tab},
    {Qt::Key_Backtab, keycode::NamedKey::BackTab},
    {Qt::Key_Clear, keycode::NamedKey::KeypadClear},
    {Qt::Key_Insert, keycode::NamedKey::Insert},
    {Qt::Key_Help, keycode::NamedKey::Insert},
}};

// Keys whose code does not depend on the characters.
bool fixedKey(int qtKey, std::uint32_t flags, ToolboxKey& result) {
  for (const QtNamedKey& named : kQtNamedKeys) {
    if (named.qtKey != qtKey) continue;
    const keycode::KeyPress press = keycode::namedKeyPress(named.key);
    // Shift-Tab is a Tab with Shift, whatever the platform says of Shift.
    const bool backTab = named.key == keycode::NamedKey::BackTab;
    result = key(press.code, press.character, backTab ? flags | kModifierShift : flags);
    return true;
  }
  switch (qtKey) {
    // Dead keys type nothing themselves; the table gives the accent its own code.
    case Qt::Key_Dead_Circumflex:
      result = key(keycode::kSection, 0, flags);
      return true;
    case Qt::Key_Dead_Acute:
      result = key(keycode::kEquals, 0, flags & ~kModifierShift);
      return true;
    case Qt::Key_Dead_Grave:
      result = key(keycode::kEquals, 0, flags | kModifierShift);
      return true;
    case Qt::Key_Dead_Tilde:
      result = key(keycode::kN, 0, flags | kModifierOption);
      return true;
    case Qt::Key_Dead_Diaeresis:
      result = key(keycode::kU, 0, flags);
      return true;
    default:
      break;
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F35) {
    const keycode::KeyPress press =
        keycode::functionKeyPress(static_cast<std::size_t>(qtKey - Qt::Key_F1));
    result = key(press.code, press.character, flags);
    return true;
  }
  return false;
}

bool isDeadKey(int qtKey) {
  return qtKey >= Qt::Key_Dead_Grave && qtKey <= Qt::Key_Dead_Longsolidusoverlay;
}

// A control character for Ctrl with a letter when the platform gave none.
char32_t controlCharacterOf(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<char32_t>(qtKey - Qt::Key_A + 1);
  if (qtKey == Qt::Key_AsciiCircum) return 0x1E;
  if (qtKey == Qt::Key_At) return 0;
  return 0x110000;  // none
}

int positionCode(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
    return kLetterCodes[static_cast<std::size_t>(qtKey - Qt::Key_A)];
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
    return kDigitCodes[static_cast<std::size_t>(qtKey - Qt::Key_0)];
  if (qtKey == Qt::Key_Space) return keycode::kSpace;
  return keycode::kOther;
}
}  // namespace

std::uint32_t toolboxModifierFlags(Qt::KeyboardModifiers modifiers) {
  std::uint32_t flags = 0;
  if (modifiers & Qt::ShiftModifier) flags |= kModifierShift;
  if (modifiers & Qt::ControlModifier) flags |= kModifierControl;
  if (modifiers & (Qt::AltModifier | Qt::GroupSwitchModifier)) flags |= kModifierOption;
  if (modifiers & Qt::MetaModifier) flags |= kModifierCommand;
  if (modifiers & Qt::KeypadModifier) flags |= kModifierNumericPad;
  return flags;
}

bool isModifierKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
      return true;
    default:
      return false;
  }
}

std::uint32_t modifierFlagsAfter(int qtKey, bool pressed, Qt::KeyboardModifiers modifiers) {
  std::uint32_t flags = toolboxModifierFlags(modifiers);
  std::uint32_t bit = 0;
  switch (qtKey) {
    case Qt::Key_Shift:
      bit = kModifierShift;
      break;
    case Qt::Key_Control:
      bit = kModifierControl;
      break;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
      bit = kModifierOption;
      break;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
      bit = kModifierCommand;
      break;
    case Qt::Key_CapsLock:
      bit = kModifierCapsLock;
      break;
    default:
      break;
  }
  return pressed ? flags | bit : flags & ~bit;
}

ToolboxKey toolboxKeyOf(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text) {
  std::uint32_t flags = toolboxModifierFlags(modifiers);
  ToolboxKey result;
  if ((modifiers & Qt::KeypadModifier) && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
    int digit = qtKey - Qt::Key_0;
    return key(keypadCode(digit), U'0' + static_cast<char32_t>(digit), flags);
  }
  if (fixedKey(qtKey, flags, result)) return result;

  std::u32string scalars = text.toStdU32String();
  if (scalars.empty() && (modifiers & Qt::ControlModifier)) {
    char32_t control = controlCharacterOf(qtKey);
    if (control <= 0x1F) scalars.push_back(control);
  }
  result.flags = flags;
  result.characters = scalarsToUtf8(scalars);
  result.code = positionCode(qtKey);
  // Compose, media and launch keys bring no characters; they are no dead keys
  // either, and the desktop the table was made on never reports them.
  result.typesNothing = scalars.empty() && result.code == keycode::kOther && !isDeadKey(qtKey);
  if (!scalars.empty()) {
    char32_t first = scalars.front();
    if (first == kGreaterEqual) result.code = keycode::kGrave;
    // A Latin-1 character of the table (å, ª, º, ¿) is the table's only when
    // typed with Option (AltGr); a layout with a key of its own for it types
    // the character itself.
    bool optionLayer = (flags & kModifierOption) != 0;
    for (const TableCharacter& entry : kTableCharacters) {
      if (entry.character == first && (optionLayer || entry.character > kLastLatin1)) {
        result.code = entry.code;
      }
    }
  }
  return result;
}
