// Building the engine's Latin-1 messages from UTF-8 literals, numbers and
// script text.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "support/Text.h"

namespace adventure {

// A UTF-8 literal of this source as Latin-1 bytes ("Ausgänge: ").
Text latin1(const std::string& utf8);
// Decimal digits without padding.
Text decimal(std::int64_t value);
// A number in at least three digits (7 gives 007), as in file names and trace.
Text threeDigits(std::int64_t value);
// A number read from a script (texttoint), held to the range of int.
int scriptNumber(const Text& text);
// A wide number held to the range of int.
int heldToInt(std::int64_t value);
Text concat(std::initializer_list<Text> parts);
// What follows a keyword of keywordLength bytes and its separator, blanks
// removed at both ends ("INVENTORY Lampe" with 9 gives "Lampe").
Text argumentsAfter(const Text& line, int keywordLength);
// The same after the keyword itself ("INVENTORY Lampe" after "INVENTORY").
Text argumentsAfter(const Text& line, const char* keyword);
// A keyword test: the first bytes of text are keyword, byte for byte.
bool startsWith(const Text& text, const char* keyword);
// An exact test: the whole text is keyword.
bool equals(const Text& text, const char* keyword);

}  // namespace adventure
