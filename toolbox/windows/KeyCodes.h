// Hardware key codes, in the numbering that key translation works with (the
// positions are those of a US keyboard; the codes of the desktop the toolbox
// comes from). A host maps its own keys onto these; keys without a code
// here may be passed as keycode::kOther and go by their characters alone.
#pragma once

#include <array>

namespace keycode {

inline constexpr int kOther = -1;
inline constexpr int kA = 0;
inline constexpr int kS = 1;
inline constexpr int kD = 2;
inline constexpr int kF = 3;
inline constexpr int kH = 4;
inline constexpr int kX = 7;
inline constexpr int kV = 9;
inline constexpr int kSection = 10;  // the key left of 1 on an ISO keyboard (^ on German)
inline constexpr int kB = 11;
inline constexpr int kW = 13;
inline constexpr int kE = 14;
inline constexpr int kY = 16;
inline constexpr int kT = 17;
inline constexpr int k2 = 19;
inline constexpr int kEquals = 24;  // ´ and ` on German
inline constexpr int kMinus = 27;   // ß on German
inline constexpr int k0 = 29;
inline constexpr int kU = 32;
inline constexpr int kLeftBracket = 33;  // ü on German
inline constexpr int kI = 34;
inline constexpr int kP = 35;
inline constexpr int kReturn = 36;
inline constexpr int kL = 37;
inline constexpr int kJ = 38;
inline constexpr int kK = 40;
inline constexpr int kSemicolon = 41;  // ö on German
inline constexpr int kBackslash = 42;  // # on German
inline constexpr int kComma = 43;
inline constexpr int kSlash = 44;  // - on German
inline constexpr int kN = 45;
inline constexpr int kPeriod = 47;
inline constexpr int kTab = 48;
inline constexpr int kSpace = 49;
inline constexpr int kGrave = 50;   // < on German ISO
inline constexpr int kDelete = 51;  // backspace
inline constexpr int kEscape = 53;
inline constexpr int kKeypadClear = 71;
inline constexpr int kKeypadEnter = 76;
inline constexpr int kKeypad0 = 82;
inline constexpr int kKeypad6 = 88;
inline constexpr int kKeypad7 = 89;
inline constexpr int kKeypad8 = 91;
inline constexpr int kKeypad9 = 92;
inline constexpr int kF1 = 122;
inline constexpr int kHome = 115;
inline constexpr int kPageUp = 116;
inline constexpr int kForwardDelete = 117;
inline constexpr int kEnd = 119;
inline constexpr int kPageDown = 121;
inline constexpr int kLeftArrow = 123;
inline constexpr int kRightArrow = 124;
inline constexpr int kDownArrow = 125;
inline constexpr int kUpArrow = 126;
// F1 to F20; the keys above have no code of their own and go by their character.
inline constexpr std::array<int, 20> kFunctionKeyCodes = {
    kF1, 120, 99, 118, 96, 97, 98, 100, 101, 109, 103, 111, 105, 107, 113, 106, 64, 79, 80, 90};

// Function keys arrive as characters from this code point on (F1, F2, ...).
inline constexpr char32_t kFunctionKeyCharacterBase = 0xF704;  // F1; F2 is U+F705, ...

// The characters the desktop the toolbox comes from reports for its
// cursor and editing keys; hosts pass them along with the key codes above.
inline constexpr char32_t kUpArrowCharacter = 0xF700;
inline constexpr char32_t kDownArrowCharacter = 0xF701;
inline constexpr char32_t kLeftArrowCharacter = 0xF702;
inline constexpr char32_t kRightArrowCharacter = 0xF703;
inline constexpr char32_t kForwardDeleteCharacter = 0xF728;
inline constexpr char32_t kHomeCharacter = 0xF729;
inline constexpr char32_t kEndCharacter = 0xF72B;
inline constexpr char32_t kPageUpCharacter = 0xF72C;
inline constexpr char32_t kPageDownCharacter = 0xF72D;
inline constexpr char32_t kHelpCharacter = 0xF746;
inline constexpr int kHelp = 114;  // the key in the Insert position

}  // namespace keycode
