// Characters as a reader sees them: a base scalar with the marks that join it
// ("e" + U+0301 is one character, "é"), and CR LF as one line end. Routines
// that hand out one thing per character (posted keys) split text here; the
// string routines keep counting scalars.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The characters of UTF-8 text, each as its UTF-8 bytes, in order. A mark
// with no base before it stands alone. Covers the combining marks of the
// Latin, Greek and Cyrillic scripts, variation selectors, zero-width joiners
// and emoji modifiers; other scripts' clusters split into their scalars.
std::vector<std::string> splitCharacters(std::string_view utf8);
