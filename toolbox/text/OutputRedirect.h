// Text output sent to the diagnostic log instead of the window. The log takes
// whole lines, so redirected characters are collected and written as one line
// at each carriage return or line feed, and what is left when the redirect
// or the program ends.
#pragma once

#include <cstddef>

namespace textoutput {

// Lines longer than this are written in pieces, so output without line ends
// cannot grow the buffer without bound.
inline constexpr std::size_t kMaxRedirectedLineLength = 4096;

// Any thread; character is a Unicode scalar.
void logRedirectedCharacter(char32_t character);
// Writes the text of an unfinished line, if there is any, as a line of its
// own: when a redirect ends and when the program ends nothing is lost.
void flushRedirectedLine();

}  // namespace textoutput
