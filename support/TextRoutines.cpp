// The Text routines of qbtools: Latin-1 byte strings, positions count bytes from 1.
#include <algorithm>
#include <limits>
#include <string>

#include "support/Log.h"
#include "support/Utf8.h"
#include "support/qbtools.h"

namespace {

constexpr std::uint8_t kEscape = 27;
constexpr std::uint8_t kGroupSeparator = 29;
constexpr std::size_t kEscapeSequenceLength = 6;  // ESC, four hex digits, GS
constexpr std::uint8_t kBlank = 32;
constexpr std::uint8_t kNotLatin1 = 127;

// The code of the escape sequence at index, or -1 when there is none there.
int escapedCodeAt(const std::vector<std::uint8_t>& bytes, std::size_t index) {
  if (index + kEscapeSequenceLength > bytes.size() || bytes[index] != kEscape ||
      bytes[index + 5] != kGroupSeparator) {
    return -1;
  }
  int code = 0;
  for (std::size_t digit = 1; digit <= 4; ++digit) {
    const int value = hexvalues[bytes[index + digit]];
    if (value < 0) return -1;
    code = code * 16 + value;
  }
  return isUnicodeScalar(code) ? code : -1;
}

Text textOf(std::vector<std::uint8_t>::const_iterator first,
            std::vector<std::uint8_t>::const_iterator last) {
  return Text(std::vector<std::uint8_t>(first, last));
}

template <typename IsSeparator>
std::vector<Text> splitAt(const Text& text, IsSeparator isSeparator) {
  std::vector<Text> pieces;
  auto pieceStart = text.Elements.begin();
  for (auto at = text.Elements.begin(); at != text.Elements.end(); ++at) {
    if (isSeparator(*at)) {
      pieces.push_back(textOf(pieceStart, at));
      pieceStart = at + 1;
    }
  }
  // a separator at the very end adds no empty piece
  if (pieceStart != text.Elements.end()) pieces.push_back(textOf(pieceStart, text.Elements.end()));
  return pieces;
}

bool inRange(std::uint8_t byte, int low, int high) {
  return byte >= low && byte <= high;
}

}  // namespace

std::string texttostring(const Text& text) {
  const std::vector<std::uint8_t>& bytes = text.Elements;
  std::string result;
  result.reserve(bytes.size() + bytes.size() / 4);
  for (std::size_t index = 0; index < bytes.size();) {
    const int code = bytes[index] == kEscape ? escapedCodeAt(bytes, index) : -1;
    if (code >= 0) {
      appendUtf8(result, static_cast<char32_t>(code));
      index += kEscapeSequenceLength;
    } else {
      appendUtf8(result, bytes[index]);
      ++index;
    }
  }
  return result;
}

Text stringtotext(const std::string& text) {
  Text result;
  result.Elements.reserve(text.size());
  for (char32_t scalar : utf8ToScalars(text)) {
    result.Elements.push_back(scalar < 256 ? static_cast<std::uint8_t>(scalar) : kNotLatin1);
  }
  return result;
}

Text stringtobytes(const std::string& text) {
  return Text::fromBytes(text);
}

std::string textforlog(const Text& text) {
  std::string_view bytes(reinterpret_cast<const char*>(text.Elements.data()), text.size());
  return isValidUtf8(bytes) ? std::string(bytes) : texttostring(text);
}

std::int64_t texttoint(const Text& text) {
  const std::vector<std::uint8_t>& bytes = text.Elements;
  std::size_t index = 0;
  while (index < bytes.size() && bytes[index] == kBlank) ++index;
  bool negative = false;
  if (index < bytes.size() && bytes[index] == '-') {
    negative = true;
    ++index;
    while (index < bytes.size() && bytes[index] == kBlank) ++index;
  }
  // Accumulated as a negative number, whose range includes the minimum.
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  bool saturated = false;
  for (; index < bytes.size() && bytes[index] >= '0' && bytes[index] <= '9'; ++index) {
    const int digit = bytes[index] - '0';
    if (value < (kMin + digit) / 10) {
      saturated = true;
    } else {
      value = value * 10 - digit;
    }
  }
  if (negative) return saturated ? kMin : value;
  if (saturated || value == kMin) return std::numeric_limits<std::int64_t>::max();
  return -value;
}

Text inttotext(std::int64_t value) {
  return Text::fromBytes(std::to_string(value));
}

int textcompare(const Text& a, const Text& b) {
  // Unsigned bytes, a prefix first (written out: not every standard library
  // compares vectors with <=>).
  const auto [inA, inB] =
      std::mismatch(a.Elements.begin(), a.Elements.end(), b.Elements.begin(), b.Elements.end());
  if (inA != a.Elements.end() && inB != b.Elements.end()) return *inA < *inB ? -1 : 1;
  if (inA != a.Elements.end()) return 1;
  if (inB != b.Elements.end()) return -1;
  return 0;
}

int position(const Text& haystack, const Text& needle, int start) {
  if (start < 1) {
    logLine("position: Startposition must be >= 1 (" + textforlog(needle) + ")");
    return 0;
  }
  if (needle.empty()) return 0;
  const std::size_t first = static_cast<std::size_t>(start) - 1;
  if (haystack.size() < first + needle.size()) return 0;
  const auto found =
      std::search(haystack.Elements.begin() + static_cast<std::ptrdiff_t>(first),
                  haystack.Elements.end(), needle.Elements.begin(), needle.Elements.end());
  if (found == haystack.Elements.end()) return 0;
  return static_cast<int>(found - haystack.Elements.begin()) + 1;
}

std::vector<Text> textsplit(const Text& text, std::uint8_t separator) {
  return splitAt(text, [separator](std::uint8_t byte) { return byte == separator; });
}

std::vector<Text> textlines(const Text& text) {
  return splitAt(text, [](std::uint8_t byte) { return byte == 13 || byte == 10; });
}

Text textjoin(const std::vector<Text>& pieces, std::uint8_t separator) {
  Text joined;
  for (std::size_t index = 0; index < pieces.size(); ++index) {
    if (index > 0) joined.Elements.push_back(separator);
    joined.Elements.insert(joined.Elements.end(), pieces[index].Elements.begin(),
                           pieces[index].Elements.end());
  }
  return joined;
}

Text textleft(const Text& text, int count) {
  if (count < 1) return Text();
  if (static_cast<std::size_t>(count) >= text.size()) return text;
  return textOf(text.Elements.begin(), text.Elements.begin() + count);
}

Text textfrom(const Text& text, int start) {
  if (start < 2) return text;
  if (static_cast<std::size_t>(start) > text.size()) return Text();
  return textOf(text.Elements.begin() + (start - 1), text.Elements.end());
}

Text textupper(const Text& text) {
  Text result;
  result.Elements.reserve(text.size());
  for (std::uint8_t byte : text.Elements) {
    if (byte == 223) {  // ß has no capital in Latin-1
      result.Elements.push_back('S');
      result.Elements.push_back('S');
    } else if (inRange(byte, 'a', 'z') || inRange(byte, 224, 228) || inRange(byte, 231, 246) ||
               inRange(byte, 249, 252)) {
      result.Elements.push_back(byte - 32);
    } else {
      result.Elements.push_back(byte);
    }
  }
  return result;
}

Text textlower(const Text& text) {
  Text result = text;
  for (std::uint8_t& byte : result.Elements) {
    if (inRange(byte, 'A', 'Z') || inRange(byte, 192, 196) || inRange(byte, 199, 214) ||
        inRange(byte, 217, 220)) {
      byte += 32;
    }
  }
  return result;
}

Text texttrim(const Text& text) {
  const auto isBlank = [](std::uint8_t byte) { return byte == kBlank; };
  const auto first = std::find_if_not(text.Elements.begin(), text.Elements.end(), isBlank);
  if (first == text.Elements.end()) return Text();
  const auto last = std::find_if_not(text.Elements.rbegin(), text.Elements.rend(), isBlank).base();
  return textOf(first, last);
}

Text textpad(const Text& text, int width) {
  Text result = texttrim(text);
  if (width > 0 && result.size() < static_cast<std::size_t>(width)) {
    result.Elements.resize(static_cast<std::size_t>(width), kBlank);
  }
  return result;
}
