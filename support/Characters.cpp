#include "support/Characters.h"

#include "support/Utf8.h"

namespace {

constexpr char32_t kZeroWidthJoiner = 0x200D;

// Scalars that belong to the character before them.
bool extendsCharacter(char32_t scalar) {
  struct Range {
    char32_t first, last;
  };
  static constexpr Range kExtending[] = {
      {0x0300, 0x036F},    // combining diacritical marks
      {0x0483, 0x0489},    // Cyrillic combining marks
      {0x1AB0, 0x1AFF},    // combining diacritical marks, extended
      {0x1DC0, 0x1DFF},    // combining diacritical marks, supplement
      {0x200C, 0x200D},    // zero-width non-joiner and joiner
      {0x20D0, 0x20FF},    // combining marks for symbols
      {0xFE00, 0xFE0F},    // variation selectors
      {0xFE20, 0xFE2F},    // combining half marks
      {0x1F3FB, 0x1F3FF},  // emoji skin-tone modifiers
      {0xE0020, 0xE007F},  // tag characters (flag sequences)
      {0xE0100, 0xE01EF},  // variation selectors, supplement
  };
  for (const Range& range : kExtending) {
    if (scalar >= range.first && scalar <= range.last) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> splitCharacters(std::string_view utf8) {
  std::vector<std::string> characters;
  char32_t previous = 0;
  for (char32_t scalar : utf8ToScalars(utf8)) {
    const bool joins =
        !characters.empty() && (extendsCharacter(scalar) || previous == kZeroWidthJoiner ||
                                (previous == U'\r' && scalar == U'\n'));
    if (!joins) characters.emplace_back();
    appendUtf8(characters.back(), scalar);
    previous = scalar;
  }
  return characters;
}
