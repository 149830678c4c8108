#include "adventure/TextBuild.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "support/qbtools.h"

namespace adventure {

Text latin1(const std::string& utf8) {
  return stringtotext(utf8);
}

Text decimal(std::int64_t value) {
  return inttotext(value);
}

Text threeDigits(std::int64_t value) {
  return Text::fromBytes(formatnumber(value, '0', 3, false));
}

int scriptNumber(const Text& text) {
  return heldToInt(texttoint(text));
}

int heldToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

Text concat(std::initializer_list<Text> parts) {
  Text result;
  for (const Text& part : parts) {
    result.Elements.insert(result.Elements.end(), part.Elements.begin(), part.Elements.end());
  }
  return result;
}

Text argumentsAfter(const Text& line, int keywordLength) {
  return texttrim(textfrom(line, keywordLength + 1));
}

Text argumentsAfter(const Text& line, const char* keyword) {
  return argumentsAfter(line, static_cast<int>(std::strlen(keyword)));
}

bool startsWith(const Text& text, const char* keyword) {
  std::size_t length = std::strlen(keyword);
  return text.size() >= length &&
         std::equal(keyword, keyword + length, text.Elements.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

bool equals(const Text& text, const char* keyword) {
  return text.size() == std::strlen(keyword) && startsWith(text, keyword);
}

}  // namespace adventure
