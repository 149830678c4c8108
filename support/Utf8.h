// UTF-8 to Unicode scalars and back, for the string routines whose positions
// count characters. Broken input never fails: each byte that does not start a
// well-formed sequence reads as U+FFFD.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

std::u32string utf8ToScalars(std::string_view utf8);
std::string scalarsToUtf8(std::u32string_view scalars);
// Appends one scalar; surrogates and codes above 0x10FFFF append U+FFFD.
void appendUtf8(std::string& utf8, char32_t scalar);
bool isValidUtf8(std::string_view bytes);
bool isUnicodeScalar(std::int64_t code);
